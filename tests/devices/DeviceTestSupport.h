// Helpers for the Windows tests of the virtual devices: COM for the test thread, registering
// the DLLs that sit beside the test program, looking devices up through the system device
// enumerator, and small graph utilities.
#pragma once

#include <string>  // before platform headers: strsafe.h renames what <string> needs

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include <vector>

#include <gtest/gtest.h>

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
// flags as CreateClassEnumerator takes them (the program's editor uses 0xA0 for filters).
std::vector<EnumeratedDevice> EnumerateCategory(REFGUID category, DWORD flags = 0);
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

// Redirects HKEY_CLASSES_ROOT of this process to a private, empty key for its lifetime, so
// a test can register and unregister without touching the shared prefix.
class PrivateClassesRoot {
public:
    PrivateClassesRoot() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) == ERROR_SUCCESS) {
            overridden_ = RegOverridePredefKey(HKEY_CLASSES_ROOT, key_) == ERROR_SUCCESS;
        }
    }
    ~PrivateClassesRoot() {
        if (overridden_) RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (key_) RegCloseKey(key_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    }
    bool Active() const { return overridden_; }

private:
    static constexpr wchar_t kRoot[] = L"Software\\Lumoka2\\TestClassesRoot";
    HKEY key_ = nullptr;
    bool overridden_ = false;
};

// Whether a key exists under HKEY_CLASSES_ROOT.
bool KeyExists(const std::wstring& path);

constexpr wchar_t kDevicesDll[] = L"LumokaTestDevices.dll";

// A test with the devices registered and a fresh graph; at the end the graph is released and
// every object of the devices DLL must be gone (references back to zero).
class DeviceGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Once per process: the registration is shared by everything in the prefix.
        static const HRESULT registered = CallDllExport(kDevicesDll, "DllRegisterServer");
        ASSERT_EQ(registered, S_OK);
        ASSERT_EQ(MakeGraph(&g_), S_OK);
    }
    void TearDown() override {
        if (g_.control) g_.control->Stop();
        g_ = Graph();
        // Every object of the DLL (filters, pins, crossbars) is gone with the graph.
        EXPECT_EQ(CallDllExport(kDevicesDll, "DllCanUnloadNow"), S_OK);
    }

    ComPtr<IBaseFilter> AddCard(const wchar_t* name = L"Lumoka Test Card",
                                const wchar_t* path = L"lumoka-testcard-0") {
        ComPtr<IBaseFilter> card = BindDevice(CLSID_VideoInputDeviceCategory, name, path);
        EXPECT_TRUE(card);
        if (card) {
            EXPECT_EQ(g_.graph->AddFilter(card.Get(), name), S_OK);
        }
        return card;
    }

    ComPtr<IAMStreamConfig> Config(IBaseFilter* card,
                                   const GUID* category = &PIN_CATEGORY_CAPTURE) {
        ComPtr<IAMStreamConfig> config;
        g_.builder->FindInterface(category, &MEDIATYPE_Video, card, IID_IAMStreamConfig,
                                  reinterpret_cast<void**>(config.GetAddressOf()));
        return config;
    }

    // The capability's own type with another size and interval, as the program sets it.
    static AM_MEDIA_TYPE* CapabilityType(IAMStreamConfig* config, int index, int w, int h,
                                         REFERENCE_TIME interval) {
        AM_MEDIA_TYPE* mt = nullptr;
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (config->GetStreamCaps(index, &mt, reinterpret_cast<BYTE*>(&caps)) != S_OK)
            return nullptr;
        if (mt->formattype == FORMAT_VideoInfo) {
            auto* v = reinterpret_cast<VIDEOINFOHEADER*>(mt->pbFormat);
            v->bmiHeader.biWidth = w;
            v->bmiHeader.biHeight = h;
            v->bmiHeader.biSizeImage = 1;  // wrong on purpose: the pin recomputes it
            v->AvgTimePerFrame = interval;
        }
        return mt;
    }

    // Connects the card's capture pin to a new sink and runs the graph until n samples came.
    ComPtr<CRecordingSink> RunInto(IBaseFilter* card, size_t n,
                                   const GUID* category = &PIN_CATEGORY_CAPTURE) {
        ComPtr<CRecordingSink> sink = MakeSink();
        EXPECT_EQ(g_.graph->AddFilter(sink.Get(), L"Sink"), S_OK);
        ComPtr<IPin> out =
            FindPin(g_.builder.Get(), card, PINDIR_OUTPUT, category, &MEDIATYPE_Video);
        EXPECT_TRUE(out);
        if (!out) return sink;
        EXPECT_EQ(g_.graph->ConnectDirect(out.Get(), SinkPin(sink.Get()).Get(), nullptr), S_OK);
        EXPECT_TRUE(SUCCEEDED(g_.control->Run()));
        EXPECT_TRUE(sink->WaitForSamples(n, 5000));
        return sink;
    }

    CComScope com_;
    Graph g_;
};

}  // namespace lumoka::test
