// Shared pieces of the Windows graph tests: the COM apartment, a top-level video window, and
// the stand-ins a test puts between the graph build and the platform: a graph that refuses
// chosen interfaces or filter names, a capture builder that refuses the graph, an event
// interface that refuses the notification window, a filter whose information cannot be read,
// and a factory that can make any creation or lookup fail.
#pragma once

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graph/GraphController.h"

// Keeps GUIDs usable as map keys.
struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof(GUID)) < 0; }
};

class ComApartment : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    }
    void TearDown() override { CoUninitialize(); }
};

// A visible top-level window of the given client size, destroyed with the object.
class CTestWindow {
public:
    CTestWindow(int clientWidth, int clientHeight, WNDPROC proc = nullptr);
    ~CTestWindow();
    HWND Get() const { return m_hwnd; }
    void Destroy();
    // Runs the message loop for the given time.
    static void Pump(DWORD milliseconds);

private:
    HWND m_hwnd = nullptr;
};

// Minimal reference counting for the stand-ins.
class CRefCounted {
public:
    virtual ~CRefCounted() = default;
    ULONG AddRefImpl() { return ++m_refs; }
    ULONG ReleaseImpl();

private:
    std::atomic<ULONG> m_refs{1};
};

#define STANDIN_IUNKNOWN                                               \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); } \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

// A filter graph that forwards to the real one, refuses chosen interfaces and filter names, and
// can hand out its own media event object.
class CStandInGraph : public IGraphBuilder, public CRefCounted {
public:
    explicit CStandInGraph(ComPtr<IGraphBuilder> inner) : m_inner(std::move(inner)) {}
    STANDIN_IUNKNOWN
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;

    HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter* f, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter* f) override {
        return m_inner->RemoveFilter(f);
    }
    HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters** e) override {
        return m_inner->EnumFilters(e);
    }
    HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR n, IBaseFilter** f) override {
        return m_inner->FindFilterByName(n, f);
    }
    HRESULT STDMETHODCALLTYPE ConnectDirect(IPin* o, IPin* i, const AM_MEDIA_TYPE* mt) override {
        return m_inner->ConnectDirect(o, i, mt);
    }
    HRESULT STDMETHODCALLTYPE Reconnect(IPin* p) override { return m_inner->Reconnect(p); }
    HRESULT STDMETHODCALLTYPE Disconnect(IPin* p) override { return m_inner->Disconnect(p); }
    HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() override {
        return m_inner->SetDefaultSyncSource();
    }
    HRESULT STDMETHODCALLTYPE Connect(IPin* o, IPin* i) override { return m_inner->Connect(o, i); }
    HRESULT STDMETHODCALLTYPE Render(IPin* p) override { return m_inner->Render(p); }
    HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR f, LPCWSTR l) override {
        return m_inner->RenderFile(f, l);
    }
    HRESULT STDMETHODCALLTYPE AddSourceFilter(LPCWSTR f, LPCWSTR n, IBaseFilter** o) override {
        return m_inner->AddSourceFilter(f, n, o);
    }
    HRESULT STDMETHODCALLTYPE SetLogFile(DWORD_PTR h) override { return m_inner->SetLogFile(h); }
    HRESULT STDMETHODCALLTYPE Abort() override { return m_inner->Abort(); }
    HRESULT STDMETHODCALLTYPE ShouldOperationContinue() override {
        return m_inner->ShouldOperationContinue();
    }

    std::set<GUID, GuidLess> RefusedInterfaces;
    std::set<std::wstring> RefusedNames;
    ComPtr<IMediaEventEx> Events;  // answered for IMediaEventEx when set

private:
    ComPtr<IGraphBuilder> m_inner;
};

// A capture graph builder that refuses every graph.
class CRefusingBuilder : public ICaptureGraphBuilder2, public CRefCounted {
public:
    STANDIN_IUNKNOWN
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE SetFiltergraph(IGraphBuilder*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE GetFiltergraph(IGraphBuilder** g) override {
        *g = nullptr;
        return E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter**,
                                                IFileSinkFilter**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindInterface(const GUID*, const GUID*, IBaseFilter*, REFIID,
                                            void**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RenderStream(const GUID*, const GUID*, IUnknown*, IBaseFilter*,
                                           IBaseFilter*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*,
                                            REFERENCE_TIME*, WORD, WORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AllocCapFile(LPCOLESTR, DWORDLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyCaptureFile(LPOLESTR, LPOLESTR, int,
                                              IAMCopyCaptureFileProgress*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindPin(IUnknown*, PIN_DIRECTION, const GUID*, const GUID*, BOOL, int,
                                      IPin**) override {
        return E_NOTIMPL;
    }
};

// An event interface whose notification window is always refused.
class CRefusingEvents : public IMediaEventEx, public CRefCounted {
public:
    STANDIN_IUNKNOWN
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEvent(long*, LONG_PTR*, LONG_PTR*, long) override {
        return E_ABORT;
    }
    HRESULT STDMETHODCALLTYPE WaitForCompletion(long, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CancelDefaultHandling(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RestoreDefaultHandling(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FreeEventParams(long, LONG_PTR, LONG_PTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND, long, LONG_PTR) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetNotifyFlags(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNotifyFlags(long*) override { return E_NOTIMPL; }
};

// A pinless filter; its information can be made unreadable and it can claim property pages.
class CStandInFilter : public IBaseFilter, public ISpecifyPropertyPages, public CRefCounted {
public:
    explicit CStandInFilter(bool infoFails, std::vector<CLSID> pages = {})
        : m_infoFails(infoFails), m_pages(std::move(pages)) {}
    STANDIN_IUNKNOWN
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
        *id = GUID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Pause() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE* s) override {
        *s = State_Stopped;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** c) override {
        *c = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** e) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin** p) override {
        *p = nullptr;
        return VFW_E_NOT_FOUND;
    }
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* g, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

private:
    bool m_infoFails;
    std::vector<CLSID> m_pages;
    IFilterGraph* m_graph = nullptr;  // not counted: the graph owns the filter
    std::wstring m_name;
};

// The build's factory with switches: creations that fail, classes put in place of others,
// lookups answered by a created object or refused, and the transform filter.
class CTestFactory : public IGraphFactory {
public:
    HRESULT CreateFilterGraph(ComPtr<IGraphBuilder>& graph) override;
    HRESULT CreateCaptureBuilder(ComPtr<ICaptureGraphBuilder2>& builder) override;
    HRESULT CreateFilter(const GUID& clsid, ComPtr<IBaseFilter>& filter) override;
    bool FindDevice(DeviceKind kind, const std::wstring& friendlyName,
                    const std::wstring& devicePath, ComPtr<IBaseFilter>& filter) override;
    HRESULT CreateTransform(ComPtr<IBaseFilter>& filter) override;

    bool FailGraph = false;
    bool FailBuilder = false;
    bool BuilderRefusesGraph = false;
    bool GraphNullWithSuccess = false;
    // Applied to the graph stand-in when set (the graph is then wrapped).
    std::set<GUID, GuidLess> RefusedGraphInterfaces;
    std::set<std::wstring> RefusedNames;
    bool RefuseNotifyWindow = false;
    std::set<GUID, GuidLess> FailingClasses;
    std::map<GUID, GUID, GuidLess> Substitutes;
    // Devices answered by creating this class instead of asking the device enumerator.
    std::map<std::wstring, GUID> DeviceClasses;
    TransformCreator Transform;

    ComPtr<CStandInGraph> LastGraph;
    std::vector<GUID> CreatedClasses;
    std::vector<std::wstring> LookedUp;
};

inline CGraphController MakeController(CTestFactory*& factory) {
    auto owned = std::make_unique<CTestFactory>();
    factory = owned.get();
    return CGraphController(std::move(owned));
}

// Registers the DLL that sits beside the test program (DllRegisterServer); false when the DLL
// is missing or refuses. The module stays loaded.
HRESULT RegisterDllBesideProgram(const wchar_t* dllName);

// The lines of a log text (each ended by "\n").
std::vector<std::wstring> LogLines(const std::wstring& text);

// Profiles the tests start from: a video device only, an audio device only.
Profile VideoProfile(const std::wstring& name, const std::wstring& path = L"");
Profile AudioProfile(const std::wstring& name, const std::wstring& path = L"");
