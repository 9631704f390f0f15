// IGraphFactory: the one place where the graph build obtains platform objects (the filter
// graph, capture graph builders, tees and renderers, capture devices and extra filters, the
// transform filter). The product uses CPlatformGraphFactory; tests put a factory of their own in
// its place to make any single step fail or to hand out stand-in objects.
//
// Threads: called on the thread that builds the graph, in its COM apartment. Ownership: every
// object is returned as a new reference the caller owns.
#pragma once

#include <functional>
#include <string>

#include "graph/Catalogue.h"
#include "graph/GraphPlatform.h"

class IGraphFactory {
public:
    virtual ~IGraphFactory() = default;

    virtual HRESULT CreateFilterGraph(ComPtr<IGraphBuilder>& graph) = 0;
    virtual HRESULT CreateCaptureBuilder(ComPtr<ICaptureGraphBuilder2>& builder) = 0;
    // Tees and renderers by class identifier.
    virtual HRESULT CreateFilter(const GUID& clsid, ComPtr<IBaseFilter>& filter) = 0;
    // A capture device or extra filter by identity (the graph-build lookup of the catalogue).
    virtual bool FindDevice(DeviceKind kind, const std::wstring& friendlyName,
                            const std::wstring& devicePath, ComPtr<IBaseFilter>& filter) = 0;
    // The program's own transform filter, created in-process.
    virtual HRESULT CreateTransform(ComPtr<IBaseFilter>& filter) = 0;
};

// Creates the transform filter; supplied by whoever links the filter library (the program, the
// probe, the tests), so the graph library does not depend on it.
using TransformCreator = std::function<HRESULT(ComPtr<IBaseFilter>&)>;

class CPlatformGraphFactory : public IGraphFactory {
public:
    explicit CPlatformGraphFactory(TransformCreator createTransform = nullptr)
        : m_createTransform(std::move(createTransform)) {}

    HRESULT CreateFilterGraph(ComPtr<IGraphBuilder>& graph) override;
    HRESULT CreateCaptureBuilder(ComPtr<ICaptureGraphBuilder2>& builder) override;
    HRESULT CreateFilter(const GUID& clsid, ComPtr<IBaseFilter>& filter) override;
    bool FindDevice(DeviceKind kind, const std::wstring& friendlyName,
                    const std::wstring& devicePath, ComPtr<IBaseFilter>& filter) override;
    HRESULT CreateTransform(ComPtr<IBaseFilter>& filter) override;

private:
    TransformCreator m_createTransform;
};
