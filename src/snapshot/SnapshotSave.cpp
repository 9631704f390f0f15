// Saving a picture with the GDI+ flat interface: source bitmap from the DIB, a destination
// bitmap of the output size drawn with high-quality bicubic scaling, the encoder found by MIME
// type, the folder created with its parents, and a file under a name no file has yet.
#include "snapshot/Snapshot.h"

// GDI+ needs the COM declarations (PROPID) before it.
#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>

#include <memory>

#include "snapshot/SnapshotRules.h"

namespace gdip = Gdiplus::DllExports;

namespace {

// GDI+ objects, each deleted by its own function.
struct DisposeImage {
    void operator()(Gdiplus::GpImage* p) const { gdip::GdipDisposeImage(p); }
};
struct DeleteGraphics {
    void operator()(Gdiplus::GpGraphics* p) const { gdip::GdipDeleteGraphics(p); }
};
struct DisposeAttributes {
    void operator()(Gdiplus::GpImageAttributes* p) const { gdip::GdipDisposeImageAttributes(p); }
};
using BitmapPtr = std::unique_ptr<Gdiplus::GpBitmap, DisposeImage>;
using GraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, DeleteGraphics>;
using AttributesPtr = std::unique_ptr<Gdiplus::GpImageAttributes, DisposeAttributes>;

// {1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}: the encoder quality parameter.
constexpr GUID kEncoderQuality = {
    0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

// Results of SHCreateDirectoryEx that mean the folder is there.
bool FolderReady(int result) {
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

// The output bitmap: the cropped source drawn over all of it. The edges are sampled as if the
// picture continued mirrored, so the scaled picture has no darkened border.
BitmapPtr Scale(Gdiplus::GpBitmap* source, int32_t width, int32_t height, const IntRect& from) {
    Gdiplus::PixelFormat format = 0;
    Gdiplus::GpBitmap* raw = nullptr;
    if (gdip::GdipGetImagePixelFormat(source, &format) != Gdiplus::Ok ||
        gdip::GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &raw) != Gdiplus::Ok) {
        return nullptr;
    }
    BitmapPtr target(raw);
    Gdiplus::GpGraphics* rawGraphics = nullptr;
    if (gdip::GdipGetImageGraphicsContext(target.get(), &rawGraphics) != Gdiplus::Ok)
        return nullptr;
    GraphicsPtr graphics(rawGraphics);
    Gdiplus::GpImageAttributes* rawAttributes = nullptr;
    if (gdip::GdipCreateImageAttributes(&rawAttributes) != Gdiplus::Ok) return nullptr;
    AttributesPtr attributes(rawAttributes);
    gdip::GdipSetImageAttributesWrapMode(attributes.get(), Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    gdip::GdipSetSmoothingMode(graphics.get(), Gdiplus::SmoothingModeNone);
    gdip::GdipSetInterpolationMode(graphics.get(), Gdiplus::InterpolationModeHighQualityBicubic);
    if (gdip::GdipDrawImageRectRectI(graphics.get(), source, 0, 0, width, height, from.left,
                                     from.top, from.Width(), from.Height(), Gdiplus::UnitPixel,
                                     attributes.get(), nullptr, nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    return target;
}

// Claims a name by creating the file: nobody else can have it between the test and the write.
ClaimResult ClaimFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return ClaimResult::kClaimed;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? ClaimResult::kExists
                                                                       : ClaimResult::kFailed;
}

SnapshotTime LocalNow() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return SnapshotTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                        now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace

std::wstring MakeSnapshotFileName(int32_t type) { return MakeSnapshotFileName(type, LocalNow()); }

bool FindEncoderByMime(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0;
    UINT size = 0;
    if (!mime || gdip::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) {
        return false;
    }
    // The codec records and the strings they point at share one block.
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size]);
    if (!block) return false;
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.get());
    if (gdip::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SaveSnapshot(const std::vector<uint8_t>& pixels, const BITMAPINFOHEADER& header,
                  const std::wstring& folder, int32_t type, int32_t width, int32_t height,
                  const CropRect& crop, int32_t jpegQuality, std::wstring* savedPath) {
    if (pixels.empty() || header.biClrUsed != 0) return false;
    BITMAPINFO info{};
    info.bmiHeader = header;
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Gdiplus::GpBitmap* rawSource = nullptr;
    if (gdip::GdipCreateBitmapFromGdiDib(&info, const_cast<uint8_t*>(pixels.data()), &rawSource) !=
        Gdiplus::Ok) {
        return false;
    }
    BitmapPtr source(rawSource);
    UINT sourceWidth = 0;
    UINT sourceHeight = 0;
    gdip::GdipGetImageWidth(source.get(), &sourceWidth);
    gdip::GdipGetImageHeight(source.get(), &sourceHeight);
    if (width <= 0 || height <= 0) {
        width = static_cast<int32_t>(sourceWidth);
        height = static_cast<int32_t>(sourceHeight);
    }
    const IntRect from = SnapshotSourceRect(crop, static_cast<int32_t>(sourceWidth),
                                            static_cast<int32_t>(sourceHeight));
    BitmapPtr target = Scale(source.get(), width, height, from);
    if (!target) return false;

    // Quality outside 0-100 would make the encoder refuse the parameter and save nothing.
    ULONG quality = static_cast<ULONG>(ClampJpegQuality(jpegQuality));
    Gdiplus::EncoderParameters parameters{};
    parameters.Count = 0;
    if (type == kSnapshotJpeg) {
        parameters.Count = 1;
        parameters.Parameter[0].Guid = kEncoderQuality;
        parameters.Parameter[0].NumberOfValues = 1;
        parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
        parameters.Parameter[0].Value = &quality;
    }
    CLSID encoder{};
    if (!FindEncoderByMime(SnapshotMimeType(type), encoder)) return false;
    if (!FolderReady(SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr))) return false;

    const std::optional<std::wstring> path = ClaimSnapshotPath(folder, type, LocalNow(), ClaimFile);
    if (!path) return false;
    if (gdip::GdipSaveImageToFile(target.get(), path->c_str(), &encoder, &parameters) !=
        Gdiplus::Ok) {
        // Nothing half-written stays behind under a snapshot's name.
        DeleteFileW(path->c_str());
        return false;
    }
    if (savedPath) *savedPath = *path;
    return true;
}
