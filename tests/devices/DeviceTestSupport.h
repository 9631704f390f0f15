// Helpers for the Windows tests of the virtual devices: COM for the test thread, registering
// the DLLs that sit beside the test program, looking devices up through the system device
// enumerator, and small graph utilities.
#pragma once

#include <string>  // before platform headers: strsafe.h renames what <string> needs

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <vector>

#include "dsbase/RecordingSink.h"

namespace lumoka::test {

using Microsoft::WRL::ComPtr;

// COM (apartment-threaded, as the program's UI thread) for one test.
class CComScope {
public:
    CComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

// Loads dllName from the test program's folder and calls the named export (DllRegisterServer,
// DllUnregisterServer or DllCanUnloadNow). The module stays loaded.
HRESULT CallDllExport(const wchar_t* dllName, const char* exportName);
std::wstring BesideTestProgram(const wchar_t* fileName);

struct EnumeratedDevice {
    std::wstring friendlyName;
    std::wstring description;
    std::wstring devicePath;
    ComPtr<IMoniker> moniker;
};
std::vector<EnumeratedDevice> EnumerateCategory(REFGUID category);
// The filter of the first device with this name and path (exact), or null.
ComPtr<IBaseFilter> BindDevice(REFGUID category, const std::wstring& name,
                               const std::wstring& path);

struct Graph {
    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};
HRESULT MakeGraph(Graph* g);

// A recording sink owned by a counted reference.
ComPtr<CRecordingSink> MakeSink(const wchar_t* pinName = L"In");

// Pin lookups through the capture builder (direction, category, major type, n-th).
ComPtr<IPin> FindPin(ICaptureGraphBuilder2* b, IBaseFilter* f, PIN_DIRECTION dir,
                     const GUID* category, const GUID* type, int index = 0);
ComPtr<IPin> SinkPin(CRecordingSink* sink);

// Waits for an event code from the graph; true when it came within the timeout.
bool WaitForEvent(IMediaEventEx* events, long code, DWORD timeoutMs, LONG_PTR* p1 = nullptr,
                  LONG_PTR* p2 = nullptr);

// The reference count of an object (AddRef then Release).
ULONG RefCount(IUnknown* unk);

}  // namespace lumoka::test
