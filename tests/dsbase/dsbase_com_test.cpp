// COM behaviour of the base library outside a graph: interface identity and refusals,
// aggregation, enumerator edge cases, media types, the class factory and property bags.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>
#include <wrl/client.h>

#include "TestFilters.h"
#include "dsbase/ClassFactory.h"
#include "dsbase/PosPassThru.h"
#include "dsbase/PropertyBag.h"
#include "dsbase/RecordingSink.h"
#include "dsbase/Registration.h"

using Microsoft::WRL::ComPtr;

namespace {

struct ComScope {
    ComScope() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~ComScope() { CoUninitialize(); }
};

CMediaType Yuy2() {
    return MakeVideoType(MEDIASUBTYPE_YUY2, 32, 16, 16, MAKEFOURCC('Y', 'U', 'Y', '2'));
}

TEST(DsbaseCom, FilterAndPinIdentityAndRefusals) {
    ComScope com;
    auto* source = new CTestSource({Yuy2()});
    IBaseFilter* filter = source;
    ComPtr<IUnknown> unk1, unk2;
    ComPtr<IMediaFilter> media;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&unk1)));
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&media)));
    ASSERT_EQ(S_OK, media->QueryInterface(IID_PPV_ARGS(&unk2)));
    EXPECT_EQ(unk1.Get(), unk2.Get());
    ComPtr<IPersist> persist;
    EXPECT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&persist)));

    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(IID_IPin, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, filter->QueryInterface(IID_IUnknown, nullptr));

    IPin* pin = source->Pin();
    ComPtr<IUnknown> pinUnk;
    ASSERT_EQ(S_OK, pin->QueryInterface(IID_PPV_ARGS(&pinUnk)));
    EXPECT_NE(unk1.Get(), pinUnk.Get());
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, pin->QueryInterface(IID_IMemInputPin, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_NOINTERFACE, pin->QueryInterface(IID_IBaseFilter, &out));
    ComPtr<IAMPushSource> push;
    ComPtr<IKsPropertySet> props;
    ComPtr<IQualityControl> quality;
    EXPECT_EQ(S_OK, pin->QueryInterface(IID_PPV_ARGS(&push)));
    EXPECT_EQ(S_OK, pin->QueryInterface(IID_PPV_ARGS(&props)));
    EXPECT_EQ(S_OK, pin->QueryInterface(IID_PPV_ARGS(&quality)));

    GUID category = GUID_NULL;
    DWORD returned = 0;
    EXPECT_EQ(S_OK, props->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category,
                               sizeof(category), &returned));
    EXPECT_EQ(PIN_CATEGORY_CAPTURE, category);
    EXPECT_EQ(sizeof(GUID), returned);
    REFERENCE_TIME latency = 0;
    EXPECT_EQ(S_OK, push->GetLatency(&latency));
    EXPECT_EQ(333333, latency);  // unconnected: the default interval
    // The filter answers for its first pin and says it is a source.
    ComPtr<IAMPushSource> filterPush;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&filterPush)));
    EXPECT_EQ(S_OK, filterPush->SetStreamOffset(1234));
    REFERENCE_TIME offset = 0;
    EXPECT_EQ(S_OK, push->GetStreamOffset(&offset));
    EXPECT_EQ(1234, offset);
    ComPtr<IAMFilterMiscFlags> misc;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IAMFilterMiscFlags,
                                           reinterpret_cast<void**>(misc.GetAddressOf())));
    EXPECT_EQ(static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE), misc->GetMiscFlags());
    ComPtr<IUnknown> viaPush;
    ASSERT_EQ(S_OK, filterPush->QueryInterface(IID_PPV_ARGS(&viaPush)));
    EXPECT_EQ(unk1.Get(), viaPush.Get());
    filterPush.Reset();
    misc.Reset();
    viaPush.Reset();

    // One count shared by the filter and its pins.
    const ULONG before = RefCount(filter);
    pin->AddRef();
    EXPECT_EQ(before + 1, RefCount(filter));
    pin->Release();

    PIN_INFO info{};
    ASSERT_EQ(S_OK, pin->QueryPinInfo(&info));
    EXPECT_EQ(filter, info.pFilter);
    EXPECT_STREQ(L"Capture", info.achName);
    EXPECT_EQ(PINDIR_OUTPUT, info.dir);
    info.pFilter->Release();
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, pin->QueryId(&id));
    EXPECT_STREQ(L"Capture", id);
    CoTaskMemFree(id);

    ComPtr<IPin> found;
    EXPECT_EQ(S_OK, filter->FindPin(L"Capture", &found));
    EXPECT_EQ(pin, found.Get());
    EXPECT_EQ(VFW_E_NOT_FOUND, filter->FindPin(L"Nope", &found));
    EXPECT_EQ(nullptr, found.Get());
    EXPECT_EQ(E_POINTER, filter->FindPin(L"Capture", nullptr));

    FILTER_INFO finfo{};
    ASSERT_EQ(S_OK, filter->QueryFilterInfo(&finfo));
    EXPECT_EQ(nullptr, finfo.pGraph);
    EXPECT_EQ(VFW_S_CANT_CUE, filter->Pause());
    EXPECT_EQ(S_OK, filter->Stop());

    unk1.Reset();
    unk2.Reset();
    media.Reset();
    persist.Reset();
    pinUnk.Reset();
    push.Reset();
    props.Reset();
    quality.Reset();
    found.Reset();
    EXPECT_EQ(0u, filter->Release());
}

TEST(DsbaseCom, PinEnumeratorEdgeCases) {
    ComScope com;
    auto* source = new CTestSource({Yuy2()});
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, source->EnumPins(&pins));
    EXPECT_EQ(E_POINTER, pins->Next(1, nullptr, nullptr));
    IPin* got[3] = {};
    EXPECT_EQ(E_POINTER, pins->Next(2, got, nullptr));
    ULONG n = 99;
    EXPECT_EQ(S_FALSE, pins->Next(3, got, &n));
    EXPECT_EQ(1u, n);
    EXPECT_EQ(static_cast<IPin*>(source->Pin()), got[0]);
    got[0]->Release();
    EXPECT_EQ(S_FALSE, pins->Next(1, got, &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_OK, pins->Skip(1));
    EXPECT_EQ(S_FALSE, pins->Skip(1));
    EXPECT_EQ(S_OK, pins->Reset());
    ComPtr<IEnumPins> clone;
    EXPECT_EQ(E_POINTER, pins->Clone(nullptr));
    ASSERT_EQ(S_OK, pins->Clone(&clone));
    EXPECT_EQ(S_OK, clone->Next(1, got, nullptr));
    got[0]->Release();

    // A changed pin set puts every enumerator out of step until Reset.
    source->AddOutput(L"Preview");
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Next(1, got, &n));
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Skip(1));
    ComPtr<IEnumPins> clone2;
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Clone(&clone2));
    EXPECT_EQ(S_OK, pins->Reset());
    EXPECT_EQ(S_OK, pins->Next(2, got, &n));
    EXPECT_EQ(2u, n);
    got[0]->Release();
    got[1]->Release();
    pins.Reset();
    clone.Reset();
    EXPECT_EQ(0u, source->Release());
}

TEST(DsbaseCom, MediaTypeEnumeratorEdgeCases) {
    ComScope com;
    auto* source = new CTestSource({Yuy2(), MakeVideoType(MEDIASUBTYPE_RGB32, 32, 16, 32, BI_RGB)});
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, source->Pin()->EnumMediaTypes(&types));
    EXPECT_EQ(E_POINTER, types->Next(1, nullptr, nullptr));
    AM_MEDIA_TYPE* got[3] = {};
    ULONG n = 0;
    EXPECT_EQ(S_FALSE, types->Next(3, got, &n));
    ASSERT_EQ(2u, n);
    EXPECT_EQ(MEDIASUBTYPE_YUY2, got[0]->subtype);
    EXPECT_EQ(MEDIASUBTYPE_RGB32, got[1]->subtype);
    ASSERT_EQ(sizeof(VIDEOINFOHEADER), got[1]->cbFormat);
    EXPECT_EQ(32, reinterpret_cast<VIDEOINFOHEADER*>(got[1]->pbFormat)->bmiHeader.biBitCount);
    DeleteMediaType(got[0]);
    DeleteMediaType(got[1]);
    types->Reset();
    EXPECT_EQ(S_OK, types->Skip(2));
    EXPECT_EQ(S_FALSE, types->Skip(1));
    types->Reset();
    ComPtr<IEnumMediaTypes> clone;
    ASSERT_EQ(S_OK, types->Skip(1));
    ASSERT_EQ(S_OK, types->Clone(&clone));
    ASSERT_EQ(S_OK, clone->Next(1, got, nullptr));
    EXPECT_EQ(MEDIASUBTYPE_RGB32, got[0]->subtype);
    DeleteMediaType(got[0]);

    source->Pin()->SetMediaTypes({Yuy2()});
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, types->Next(1, got, &n));
    EXPECT_EQ(S_OK, types->Reset());
    EXPECT_EQ(S_OK, types->Next(1, got, &n));
    DeleteMediaType(got[0]);
    types.Reset();
    clone.Reset();
    EXPECT_EQ(0u, source->Release());
}

// An outer object aggregating a recording sink... the sink takes no outer, so aggregate the
// seeking pass-through, which every transform's output pin aggregates.
class COuter : public CComObject<IPersist> {
public:
    COuter() : inner_(new CPosPassThru(L"inner", Identity(), nullptr)) {}
    ~COuter() override { inner_->NonDelegatingRelease(); }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        *clsid = GUID_NULL;
        return S_OK;
    }
    CPosPassThru* Inner() { return inner_; }

protected:
    HRESULT QueryExtra(REFIID riid, void** ppv) override {
        return inner_->NonDelegatingQueryInterface(riid, ppv);
    }

private:
    CPosPassThru* inner_;
};

TEST(DsbaseCom, AggregationDelegatesIdentityAndCount) {
    ComScope com;
    auto* outer = new COuter();
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, outer->QueryInterface(IID_PPV_ARGS(&seeking)));
    // The inner interface answers with the outer identity and counts on the outer object.
    ComPtr<IUnknown> viaInner;
    ASSERT_EQ(S_OK, seeking->QueryInterface(IID_PPV_ARGS(&viaInner)));
    EXPECT_EQ(static_cast<IUnknown*>(static_cast<IPersist*>(outer)), viaInner.Get());
    ComPtr<IPersist> persist;
    EXPECT_EQ(S_OK, seeking->QueryInterface(IID_PPV_ARGS(&persist)));
    const ULONG before = RefCount(static_cast<IPersist*>(outer));
    seeking->AddRef();
    EXPECT_EQ(before + 1, RefCount(static_cast<IPersist*>(outer)));
    seeking->Release();
    ComPtr<IMediaPosition> position;
    EXPECT_EQ(S_OK, outer->QueryInterface(IID_IMediaPosition,
                                          reinterpret_cast<void**>(position.GetAddressOf())));
    seeking.Reset();
    viaInner.Reset();
    persist.Reset();
    position.Reset();
    EXPECT_EQ(0u, outer->Release());
}

TEST(DsbaseCom, PassThroughNeedsAConnectedUpstreamPin) {
    ComScope com;
    auto* sink = new CRecordingSink();
    auto* source = new CTestSource({Yuy2()});
    auto* pass = new CPosPassThru(L"pass", nullptr, sink->InputPin());
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, pass->NonDelegatingQueryInterface(IID_PPV_ARGS(&seeking)));
    pass->NonDelegatingRelease();
    DWORD caps = 0;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, seeking->GetCapabilities(&caps));
    EXPECT_EQ(E_POINTER, seeking->GetCapabilities(nullptr));
    ASSERT_EQ(S_OK, source->Pin()->Connect(sink->InputPin(), nullptr));
    // Forwarded to the upstream pin.
    EXPECT_EQ(S_OK, seeking->GetCapabilities(&caps));
    EXPECT_EQ(static_cast<DWORD>(AM_SEEKING_CanGetDuration | AM_SEEKING_CanGetCurrentPos), caps);
    LONGLONG duration = 0;
    EXPECT_EQ(S_OK, seeking->GetDuration(&duration));
    EXPECT_EQ(CTestSourcePin::kDuration, duration);
    // The upstream pin has no IMediaPosition.
    ComPtr<IMediaPosition> position;
    ASSERT_EQ(S_OK, seeking->QueryInterface(IID_IMediaPosition,
                                            reinterpret_cast<void**>(position.GetAddressOf())));
    REFTIME length = 0;
    EXPECT_EQ(E_NOTIMPL, position->get_Duration(&length));
    position.Reset();
    seeking.Reset();
    EXPECT_EQ(S_OK, source->Pin()->Disconnect());
    EXPECT_EQ(S_OK, sink->InputPin()->Disconnect());
    EXPECT_EQ(0u, source->Release());
    EXPECT_EQ(0u, sink->Release());
}

TEST(DsbaseCom, MediaTypeDeepCopies) {
    ComScope com;
    CMediaType a = Yuy2();
    CMediaType b = a;
    ASSERT_NE(a.pbFormat, b.pbFormat);
    EXPECT_TRUE(a == b);
    b.VideoInfo()->bmiHeader.biWidth = 64;
    EXPECT_FALSE(a == b);
    EXPECT_EQ(32, a.VideoInfo()->bmiHeader.biWidth);
    AM_MEDIA_TYPE* copy = CreateMediaType(&a);
    ASSERT_NE(nullptr, copy);
    EXPECT_TRUE(a == *copy);
    DeleteMediaType(copy);
    CMediaType moved = std::move(b);
    EXPECT_EQ(nullptr, b.pbFormat);
    EXPECT_EQ(64, moved.VideoInfo()->bmiHeader.biWidth);
    EXPECT_TRUE(a.MatchesPartial(CMediaType(MEDIATYPE_Video)));
    EXPECT_FALSE(a.MatchesPartial(CMediaType(MEDIATYPE_Video, MEDIASUBTYPE_RGB24)));
    CMediaType tooShort(MEDIATYPE_Video);
    tooShort.formattype = FORMAT_VideoInfo;
    tooShort.AllocFormat(10);
    EXPECT_EQ(nullptr, tooShort.VideoInfo());

    // pUnk is counted by every copy.
    auto* holder = new CRecordingSink();
    a.pUnk = static_cast<IBaseFilter*>(holder);
    holder->AddRef();
    {
        CMediaType c = a;
        EXPECT_EQ(3u, RefCount(static_cast<IBaseFilter*>(holder)));
    }
    a.Clear();
    EXPECT_EQ(0u, holder->Release());
}

HRESULT CreateSink(IUnknown* outer, IUnknown** out) {
    if (outer) return CLASS_E_NOAGGREGATION;
    *out = static_cast<IBaseFilter*>(new CRecordingSink());
    return S_OK;
}

// {0B4E7F3C-2C1D-4A8E-B6F1-5D2E3C4B5A69}
const CLSID kSinkClsid = {
    0x0b4e7f3c, 0x2c1d, 0x4a8e, {0xb6, 0xf1, 0x5d, 0x2e, 0x3c, 0x4b, 0x5a, 0x69}};
const CFactoryTemplate kTable[] = {{L"recording sink", &kSinkClsid, &CreateSink}};

TEST(DsbaseCom, ClassFactoryTable) {
    ComScope com;
    EXPECT_EQ(S_OK, DsbaseCanUnloadNow());
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              DsbaseGetClassObject(kTable, 1, GUID_NULL, IID_PPV_ARGS(&factory)));
    ASSERT_EQ(S_OK, DsbaseGetClassObject(kTable, 1, kSinkClsid, IID_PPV_ARGS(&factory)));
    EXPECT_EQ(S_FALSE, DsbaseCanUnloadNow());
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&filter)));
    CLSID clsid{};
    EXPECT_EQ(S_OK, filter->GetClassID(&clsid));
    ComPtr<IBaseFilter> aggregated;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(filter.Get(), IID_PPV_ARGS(&aggregated)));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    filter.Reset();
    factory.Reset();
    EXPECT_EQ(S_FALSE, DsbaseCanUnloadNow());
    // Any factory works for the server-wide lock.
    ASSERT_EQ(S_OK, DsbaseGetClassObject(kTable, 1, kSinkClsid, IID_PPV_ARGS(&factory)));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, DsbaseCanUnloadNow());
}

class CBagFilter : public CPersistPropertyBag {
public:
    CBagFilter() : CPersistPropertyBag(kSinkClsid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOTIMPL; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    std::wstring extra;

protected:
    HRESULT OnLoad(IPropertyBag* bag) override { return ReadBagString(bag, L"Extra", &extra); }
};

TEST(DsbaseCom, PropertyBagLoadReadsDeviceValues) {
    ComScope com;
    auto* bag = new CTestPropertyBag(
        {{L"FriendlyName", L"Virtual Cam"}, {L"DevicePath", L"lumoka:cam0"}, {L"Extra", L"x"}});
    CBagFilter filter;
    EXPECT_EQ(E_POINTER, filter.Load(nullptr, nullptr));
    EXPECT_EQ(S_OK, filter.Load(bag, nullptr));
    EXPECT_EQ(L"Virtual Cam", filter.BagFriendlyName());
    EXPECT_EQ(L"lumoka:cam0", filter.BagDevicePath());
    EXPECT_EQ(L"", filter.BagDescription());
    EXPECT_EQ(L"x", filter.extra);
    std::wstring missing = L"old";
    EXPECT_EQ(S_FALSE, ReadBagString(bag, L"Missing", &missing));
    EXPECT_EQ(L"", missing);
    EXPECT_EQ(0u, bag->Release());
}

TEST(DsbaseCom, CategoryRegistrationIsListedByTheDeviceEnumerator) {
    ComScope com;
    // A private category, so no other test's device list changes while this one runs.
    // {6A1F0C2E-4B3D-4E5F-8A7B-9C0D1E2F3A4B}
    const GUID category = {
        0x6a1f0c2e, 0x4b3d, 0x4e5f, {0x8a, 0x7b, 0x9c, 0x0d, 0x1e, 0x2f, 0x3a, 0x4b}};
    CCategoryEntry entry;
    entry.clsid = kSinkClsid;
    entry.category = category;
    entry.friendlyName = L"Lumoka Test Device";
    entry.description = L"test entry";
    entry.devicePath = L"lumoka:test#1";
    entry.instanceKey = L"LumokaDsbaseTest";
    ASSERT_EQ(S_OK, RegisterInCategory(entry));

    ComPtr<ICreateDevEnum> devices;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&devices)));
    ComPtr<IEnumMoniker> monikers;
    ASSERT_EQ(S_OK, devices->CreateClassEnumerator(category, &monikers, 0));
    ComPtr<IMoniker> moniker;
    bool found = false;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        ASSERT_EQ(S_OK, moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)));
        std::wstring name, path;
        ReadBagString(bag.Get(), L"FriendlyName", &name);
        ReadBagString(bag.Get(), L"DevicePath", &path);
        if (name == entry.friendlyName) {
            found = true;
            EXPECT_EQ(entry.devicePath, path);
        }
        moniker.Reset();
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(S_OK, UnregisterFromCategory(entry));
    EXPECT_EQ(S_FALSE, UnregisterFromCategory(entry));

    // Through the filter mapper: the same entry, with the extra values in its bag.
    REGFILTER2 data{};
    data.dwVersion = 1;
    data.dwMerit = MERIT_DO_NOT_USE;
    ASSERT_EQ(S_OK, RegisterWithFilterMapper(entry, data));
    monikers.Reset();
    ASSERT_EQ(S_OK, devices->CreateClassEnumerator(category, &monikers, 0));
    found = false;
    while (monikers->Next(1, &moniker, nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        ASSERT_EQ(S_OK, moniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&bag)));
        std::wstring name, path, description;
        ReadBagString(bag.Get(), L"FriendlyName", &name);
        ReadBagString(bag.Get(), L"DevicePath", &path);
        ReadBagString(bag.Get(), L"Description", &description);
        if (name == entry.friendlyName) {
            found = true;
            EXPECT_EQ(entry.devicePath, path);
            EXPECT_EQ(entry.description, description);
        }
        moniker.Reset();
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(S_OK, UnregisterFromCategory(entry));

    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    ASSERT_EQ(S_OK, RegisterComServer(kSinkClsid, L"recording sink", module, L"Both"));
    HKEY key = nullptr;
    const std::wstring path = L"CLSID\\" + GuidString(kSinkClsid) + L"\\InprocServer32";
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key));
    wchar_t model[32] = {};
    DWORD size = sizeof(model);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"ThreadingModel", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(model), &size));
    EXPECT_STREQ(L"Both", model);
    RegCloseKey(key);
    EXPECT_EQ(S_OK, UnregisterComServer(kSinkClsid));
}

}  // namespace
