// The snapshot command: the picture (renderer first, then the transform filter's frame grab),
// the size choice and crop margins from the settings, and the save.
#include "snapshot/Snapshot.h"

#include <cstring>
#include <optional>

#include <shellapi.h>

#include "config/Config.h"
#include "filter/LumokaFrameGrab.h"
#include "graph/GraphController.h"
#include "graph/PictureCopy.h"
#include "snapshot/SnapshotRules.h"
#include "wincom/UniqueHandle.h"

namespace {

// The transform filter's next frame, in the layout GetCurrentImage gives.
bool GrabFromTransform(IBaseFilter* transform, BITMAPINFOHEADER& header,
                       std::vector<uint8_t>& pixels) {
    ComPtr<ILumokaFrameGrab> grab;
    if (!transform || FAILED(transform->QueryInterface(IID_PPV_ARGS(&grab))) || !grab) {
        return false;
    }
    lumoka::UniqueCoTaskMem<BYTE> block;
    DWORD size = 0;
    if (grab->GrabNextFrame(kFrameGrabTimeoutMs, block.Put(), &size) != S_OK || !block.Get() ||
        size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, block.Get(), sizeof(bih));
    return CopyPicture(bih, block.Get() + sizeof(bih), size - sizeof(bih), header, pixels);
}

}  // namespace

bool GetSnapshotPicture(CGraphController& graph, BITMAPINFOHEADER& header,
                        std::vector<uint8_t>& pixels) {
    if (graph.GetCurrentImage(header, pixels)) return true;
    // Under Wine no renderer gives its picture, so without the transform filter in the graph
    // (Preview.Transform 0) no snapshot can be had there
    // (FrameGrab.WithoutTheTransformWineGivesNothingToSave shows it).
    return GrabFromTransform(graph.TransformFilter(), header, pixels);
}

bool TakeSnapshot(HWND window, CGraphController& graph, const CConfig& config) {
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> pixels;
    if (!GetSnapshotPicture(graph, header, pixels)) return false;

    std::optional<IntSize> native;
    int32_t nw = 0, nh = 0;
    if (graph.GetNativeVideoSize(nw, nh)) native = IntSize{nw, nh};
    RECT client{};
    if (window) GetClientRect(window, &client);
    const IntSize size = ChooseSnapshotSize(config.VideoSize, native, {client.right, client.bottom},
                                            graph.Aspect(), graph.NativeSize());
    CropRect crop;
    const Profile* profile = config.SelectedProfile();
    if (config.Crop != 0 && profile) crop = profile->PreviewCropping;
    return SaveSnapshot(pixels, header, config.Folder, config.Type, size.cx, size.cy, crop,
                        config.JpegQuality);
}

void OpenSnapshotFolder(const CConfig& config) {
    ShellExecuteW(nullptr, L"open", config.Folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
