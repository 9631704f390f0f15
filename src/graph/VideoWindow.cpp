// Placing, painting and reading the picture of the windowless video renderer.
#include <cstring>
#include <new>

#include "graph/GraphController.h"
#include "graph/PictureCopy.h"
#include "wincom/Result.h"
#include "wincom/UniqueHandle.h"

namespace {

bool IsVmr9(int32_t kind) { return kind == kRendererVmr9; }
bool IsEvr(int32_t kind) { return kind == kRendererEvr; }

ComPtr<IMFVideoDisplayControl> EvrDisplay(IBaseFilter* renderer) {
    ComPtr<IMFGetService> service;
    ComPtr<IMFVideoDisplayControl> display;
    if (!renderer || FAILED(renderer->QueryInterface(IID_PPV_ARGS(&service))) ||
        FAILED(service->GetService(MR_VIDEO_RENDER_SERVICE, IID_PPV_ARGS(&display)))) {
        return nullptr;
    }
    return display;
}

RECT ToRect(const IntRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The client area minus the destination rectangle, as a region (for invalidating and filling).
lumoka::UniqueGdiObject BorderRegion(const RECT& client, const RECT& dest) {
    HRGN all = CreateRectRgnIndirect(&client);
    HRGN inner = CreateRectRgnIndirect(&dest);
    if (all && inner) CombineRgn(all, all, inner, RGN_DIFF);
    if (inner) DeleteObject(inner);
    return lumoka::UniqueGdiObject(all);
}

}  // namespace

bool CopyPicture(const BITMAPINFOHEADER& source, const BYTE* pixels, size_t available,
                 BITMAPINFOHEADER& header, std::vector<uint8_t>& out) {
    if (source.biClrUsed != 0) return false;  // a colour table would follow the header
    size_t size = source.biSizeImage;
    if (size == 0) size = ImageSizeBytes(source.biBitCount, source.biWidth, source.biHeight);
    if (size == 0 || size > available || !pixels) return false;
    try {
        out.assign(pixels, pixels + size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    header = source;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biSizeImage = static_cast<DWORD>(size);
    return true;
}

bool CGraphController::GetNativeVideoSize(int32_t& width, int32_t& height) {
    if (!m_videoRenderer) return false;
    LONG w = 0, h = 0;
    HRESULT hr = E_NOINTERFACE;
    if (IsEvr(m_rendererKind)) {
        ComPtr<IMFVideoDisplayControl> display = EvrDisplay(m_videoRenderer.Get());
        SIZE size{};
        if (display) hr = display->GetNativeVideoSize(&size, nullptr);
        w = size.cx;
        h = size.cy;
    } else if (IsVmr9(m_rendererKind)) {
        ComPtr<IVMRWindowlessControl9> control;
        if (SUCCEEDED(m_videoRenderer.As(&control))) {
            hr = control->GetNativeVideoSize(&w, &h, nullptr, nullptr);
        }
    } else {
        ComPtr<IVMRWindowlessControl> control;
        if (SUCCEEDED(m_videoRenderer.As(&control))) {
            hr = control->GetNativeVideoSize(&w, &h, nullptr, nullptr);
        }
    }
    if (FAILED(hr)) return false;
    width = w;
    height = h;
    return true;
}

bool CGraphController::UpdateVideoPosition() {
    RECT client{};
    if (!m_videoRenderer || !GetClientRect(m_window, &client)) return false;
    const IntSize fit = FitSize(client.right, client.bottom, true, true);
    RECT dest = ToRect(CentredRect(client.right, client.bottom, fit));
    int32_t nw = 0, nh = 0;
    if (IsEvr(m_rendererKind)) {
        ComPtr<IMFVideoDisplayControl> display = EvrDisplay(m_videoRenderer.Get());
        if (!display) return false;
        SIZE native{};
        if (FAILED(display->GetNativeVideoSize(&native, nullptr))) return false;
        const NormRect n = CroppedSourceNormalized(m_crop, native.cx, native.cy);
        const MFVideoNormalizedRect source{n.left, n.top, n.right, n.bottom};
        if (FAILED(display->SetVideoPosition(&source, &dest))) return false;
    } else {
        if (!GetNativeVideoSize(nw, nh)) return false;
        RECT source = ToRect(CroppedSource(m_crop, nw, nh));
        HRESULT hr = E_NOINTERFACE;
        if (IsVmr9(m_rendererKind)) {
            ComPtr<IVMRWindowlessControl9> control;
            if (SUCCEEDED(m_videoRenderer.As(&control)))
                hr = control->SetVideoPosition(&source, &dest);
        } else {
            ComPtr<IVMRWindowlessControl> control;
            if (SUCCEEDED(m_videoRenderer.As(&control)))
                hr = control->SetVideoPosition(&source, &dest);
        }
        if (FAILED(hr)) return false;
    }
    lumoka::UniqueGdiObject border = BorderRegion(client, dest);
    if (border) InvalidateRgn(m_window, static_cast<HRGN>(border.Get()), TRUE);
    return true;
}

bool CGraphController::PaintVideo() {
    if (!m_videoRenderer) return false;
    ComPtr<IVMRWindowlessControl> vmr7;
    ComPtr<IVMRWindowlessControl9> vmr9;
    ComPtr<IMFVideoDisplayControl> evr;
    RECT dest{};
    HRESULT hr = E_NOINTERFACE;
    if (IsEvr(m_rendererKind)) {
        evr = EvrDisplay(m_videoRenderer.Get());
        if (evr) hr = evr->GetVideoPosition(nullptr, &dest);
        // Some renderers refuse a null source rectangle; ask again with one.
        if (evr && FAILED(hr)) {
            MFVideoNormalizedRect source{};
            hr = evr->GetVideoPosition(&source, &dest);
        }
    } else if (IsVmr9(m_rendererKind)) {
        if (SUCCEEDED(m_videoRenderer.As(&vmr9))) {
            RECT source{};
            hr = vmr9->GetVideoPosition(&source, &dest);
        }
    } else if (SUCCEEDED(m_videoRenderer.As(&vmr7))) {
        RECT source{};
        hr = vmr7->GetVideoPosition(&source, &dest);
    }
    if (FAILED(hr)) return false;
    RECT client{};
    GetClientRect(m_window, &client);
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(m_window, &ps);
    if (vmr9) {
        vmr9->RepaintVideo(m_window, dc);
    } else if (vmr7) {
        vmr7->RepaintVideo(m_window, dc);
    } else {
        evr->RepaintVideo();
    }
    lumoka::UniqueGdiObject border = BorderRegion(client, dest);
    if (border)
        FillRgn(dc, static_cast<HRGN>(border.Get()),
                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(m_window, &ps);
    return true;
}

bool CGraphController::NotifyDisplayChange() {
    if (!m_videoRenderer) return false;
    if (IsEvr(m_rendererKind)) return true;
    if (IsVmr9(m_rendererKind)) {
        ComPtr<IVMRWindowlessControl9> control;
        return SUCCEEDED(m_videoRenderer.As(&control)) && SUCCEEDED(control->DisplayModeChanged());
    }
    ComPtr<IVMRWindowlessControl> control;
    return SUCCEEDED(m_videoRenderer.As(&control)) && SUCCEEDED(control->DisplayModeChanged());
}

bool CGraphController::GetCurrentImage(BITMAPINFOHEADER& header, std::vector<uint8_t>& pixels) {
    if (!m_videoRenderer) return false;
    if (IsEvr(m_rendererKind)) {
        ComPtr<IMFVideoDisplayControl> display = EvrDisplay(m_videoRenderer.Get());
        if (!display) return false;
        SIZE native{};
        display->GetNativeVideoSize(&native, nullptr);
        // The renderer hands out the picture at the size it draws: draw it at native size for
        // the moment of the copy, then put the on-screen position back.
        const MFVideoNormalizedRect whole{0.0f, 0.0f, 1.0f, 1.0f};
        RECT nativeRect{0, 0, native.cx, native.cy};
        display->SetVideoPosition(&whole, &nativeRect);
        BITMAPINFOHEADER bih{};
        bih.biSize = sizeof(BITMAPINFOHEADER);
        lumoka::UniqueCoTaskMem<BYTE> block;
        DWORD blockSize = 0;
        LONGLONG timeStamp = 0;
        const HRESULT hr = display->GetCurrentImage(&bih, block.Put(), &blockSize, &timeStamp);
        UpdateVideoPosition();
        if (FAILED(hr) || !block.Get()) return false;
        return CopyPicture(bih, block.Get(), blockSize, header, pixels);
    }
    lumoka::UniqueCoTaskMem<BYTE> block;
    HRESULT hr = E_NOINTERFACE;
    if (IsVmr9(m_rendererKind)) {
        ComPtr<IVMRWindowlessControl9> control;
        if (SUCCEEDED(m_videoRenderer.As(&control))) hr = control->GetCurrentImage(block.Put());
    } else {
        ComPtr<IVMRWindowlessControl> control;
        if (SUCCEEDED(m_videoRenderer.As(&control))) hr = control->GetCurrentImage(block.Put());
    }
    if (FAILED(hr) || !block.Get()) return false;
    BITMAPINFOHEADER bih;
    std::memcpy(&bih, block.Get(), sizeof(bih));
    if (bih.biSize < sizeof(BITMAPINFOHEADER)) return false;
    // The block's size is not reported; the header's own picture size is what it holds.
    const BYTE* start = block.Get() + bih.biSize;
    return CopyPicture(bih, start, SIZE_MAX, header, pixels);
}

bool CGraphController::GetRenderStats(int32_t& avgFrameRate, int32_t& framesDropped) {
    if (!m_videoRenderer) return false;
    ComPtr<IQualProp> quality;
    if (FAILED(m_videoRenderer.As(&quality))) return false;
    int rate = 0;
    int dropped = 0;
    if (FAILED(quality->get_AvgFrameRate(&rate))) return false;
    if (FAILED(quality->get_FramesDroppedInRenderer(&dropped))) return false;
    avgFrameRate = rate;
    framesDropped = dropped;
    return true;
}
