#include "graph/GraphFactory.h"

namespace {
constexpr DWORD kGraphContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
}

HRESULT CPlatformGraphFactory::CreateFilterGraph(ComPtr<IGraphBuilder>& graph) {
    graph.Reset();
    return CoCreateInstance(CLSID_FilterGraph, nullptr, kGraphContext, IID_PPV_ARGS(&graph));
}

HRESULT CPlatformGraphFactory::CreateCaptureBuilder(ComPtr<ICaptureGraphBuilder2>& builder) {
    builder.Reset();
    return CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, kGraphContext,
                            IID_PPV_ARGS(&builder));
}

HRESULT CPlatformGraphFactory::CreateFilter(const GUID& clsid, ComPtr<IBaseFilter>& filter) {
    filter.Reset();
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&filter));
}

bool CPlatformGraphFactory::FindDevice(DeviceKind kind, const std::wstring& friendlyName,
                                       const std::wstring& devicePath,
                                       ComPtr<IBaseFilter>& filter) {
    return ::FindDevice(kind, friendlyName, devicePath, FindVariant::GraphBuild, filter);
}

HRESULT CPlatformGraphFactory::CreateTransform(ComPtr<IBaseFilter>& filter) {
    filter.Reset();
    if (!m_createTransform) return REGDB_E_CLASSNOTREG;
    return m_createTransform(filter);
}
