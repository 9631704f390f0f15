// The transform filter in real graphs: connection, the output types it proposes and accepts,
// its identity, the interfaces it answers and refuses, and reference counts back at 0.
#include <gtest/gtest.h>

#include <dshow.h>
#include <dvdmedia.h>

#include <cstring>

#include "FilterTestSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

// The address of a temporary type, valid to the end of the calling expression.
const AM_MEDIA_TYPE* Ptr(const CMediaType& t) { return &t; }

// The input type with wider rows, as a renderer asks for its padded surface.
CMediaType Widen(const CMediaType& type, LONG width) {
    CMediaType wide = type;
    BITMAPINFOHEADER& bmi = wide.VideoInfo()->bmiHeader;
    bmi.biSizeImage = bmi.biSizeImage / bmi.biWidth * width;
    bmi.biWidth = width;
    wide.lSampleSize = bmi.biSizeImage;
    return wide;
}

const VIDEOINFOHEADER2* Vih2(const AM_MEDIA_TYPE& mt) {
    return reinterpret_cast<const VIDEOINFOHEADER2*>(mt.pbFormat);
}

class TransformTypes : public ::testing::Test {
protected:
    CComScope com_;
};

CMediaType SinkType(CTransformGraph& g) {
    AM_MEDIA_TYPE mt{};
    g.sink->InputPin()->ConnectionMediaType(&mt);
    CMediaType result(mt);
    FreeMediaType(mt);
    return result;
}

TEST_F(TransformTypes, Yuy2AndRgbPassWithTheirOwnType) {
    for (const CMediaType& type : {Yuy2Type(), UyvyType(), Rgb24Type(), Rgb32Type(64, -48)}) {
        CTransformGraph g(type);
        ASSERT_EQ(S_OK, g.ConnectAll());
        const CMediaType out = SinkType(g);
        EXPECT_TRUE(out == type);
        EXPECT_EQ(type.lSampleSize, out.lSampleSize);
        EXPECT_TRUE(g.ReleaseAll());
        g.graph.Reset();
    }
}

TEST_F(TransformTypes, HdycGoesOutAsUyvy) {
    CTransformGraph g(HdycType());
    ASSERT_EQ(S_OK, g.ConnectAll());
    const CMediaType out = SinkType(g);
    EXPECT_EQ(MEDIASUBTYPE_UYVY, out.subtype);
    ASSERT_NE(nullptr, out.VideoInfo());
    EXPECT_EQ(MAKEFOURCC('U', 'Y', 'V', 'Y'), out.VideoInfo()->bmiHeader.biCompression);
    EXPECT_EQ(64, out.VideoInfo()->bmiHeader.biWidth);
    // A type that keeps HDYC is refused.
    EXPECT_EQ(S_FALSE, g.Out()->QueryAccept(Ptr(HdycType())));
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, HardwareProposesVideoInfo2ForYuy2) {
    CTransformGraph g(Yuy2Type(64, -48));
    ASSERT_EQ(S_OK, g.Ctrl()->SetCopyMode(6));
    ASSERT_EQ(S_OK, g.ConnectAll());
    const CMediaType out = SinkType(g);
    ASSERT_EQ(FORMAT_VideoInfo2, out.formattype);
    ASSERT_GE(out.cbFormat, sizeof(VIDEOINFOHEADER2));
    EXPECT_EQ(0xA1u, Vih2(out)->dwInterlaceFlags);
    EXPECT_EQ(64u, Vih2(out)->dwPictAspectRatioX);
    EXPECT_EQ(48u, Vih2(out)->dwPictAspectRatioY);
    EXPECT_EQ(-48, Vih2(out)->bmiHeader.biHeight);
    EXPECT_EQ(100000, Vih2(out)->AvgTimePerFrame);
    // The video-info type is refused while Hardware is set.
    EXPECT_EQ(S_FALSE, g.Out()->QueryAccept(Ptr(Yuy2Type(64, -48))));
    int mode = -1;
    g.Ctrl()->GetCopyMode(&mode);
    EXPECT_EQ(6, mode);
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, HardwareWithRgbFallsBackToCopy) {
    CTransformGraph g(Rgb24Type());
    ASSERT_EQ(S_OK, g.Ctrl()->SetCopyMode(6));
    ASSERT_EQ(S_OK, g.ConnectAll());
    int mode = -1;
    g.Ctrl()->GetCopyMode(&mode);
    EXPECT_EQ(0, mode);
    const CMediaType out = SinkType(g);
    EXPECT_EQ(FORMAT_VideoInfo, out.formattype);
    EXPECT_TRUE(out == Rgb24Type());
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, WiderOutputAcceptedOtherFrameTimeRefused) {
    CTransformGraph g(Yuy2Type());
    ASSERT_EQ(S_OK, g.ConnectInput());
    EXPECT_EQ(S_OK, g.Out()->QueryAccept(Ptr(Widen(Yuy2Type(), 128))));
    CMediaType slower = Yuy2Type();
    slower.VideoInfo()->AvgTimePerFrame = 200000;
    EXPECT_EQ(S_FALSE, g.Out()->QueryAccept(&slower));
    EXPECT_EQ(S_FALSE, g.Out()->QueryAccept(Ptr(Widen(Yuy2Type(), 32))));
    EXPECT_EQ(S_FALSE, g.Out()->QueryAccept(Ptr(Rgb32Type())));
    // A padded connection gets a buffer large enough for the padded picture.
    CMediaType wide = Widen(Yuy2Type(), 128);
    ASSERT_EQ(S_OK, g.ConnectOutput(&wide));
    EXPECT_EQ(128, g.transform->OutputHeader().width);
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, g.sink->InputPin()->GetAllocator(&allocator));
    ALLOCATOR_PROPERTIES props{};
    ASSERT_EQ(S_OK, allocator->GetProperties(&props));
    EXPECT_EQ(1, props.cBuffers);
    EXPECT_GE(props.cbBuffer, static_cast<long>(wide.lSampleSize));
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, OneBufferOfTheInputSampleSize) {
    CTransformGraph g(Rgb32Type(32, 16));
    ASSERT_EQ(S_OK, g.ConnectAll());
    ComPtr<IMemAllocator> allocator;
    ASSERT_EQ(S_OK, g.sink->InputPin()->GetAllocator(&allocator));
    ALLOCATOR_PROPERTIES props{};
    ASSERT_EQ(S_OK, allocator->GetProperties(&props));
    EXPECT_EQ(1, props.cBuffers);
    EXPECT_EQ(32 * 16 * 4, props.cbBuffer);
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, MediaTypePositionsAndRefusedInputs) {
    CTransformGraph g(Yuy2Type());
    // Nothing to propose before the input is connected, and the output cannot connect.
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, g.Out()->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* got = nullptr;
    ULONG n = 7;
    EXPECT_EQ(S_FALSE, types->Next(1, &got, &n));
    EXPECT_EQ(0u, n);
    EXPECT_TRUE(FAILED(g.ConnectOutput()));
    EXPECT_EQ(S_FALSE, g.In()->QueryAccept(Ptr(CMediaType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM))));
    CMediaType vi2 = Yuy2Type();
    vi2.formattype = FORMAT_VideoInfo2;
    EXPECT_EQ(S_FALSE, g.In()->QueryAccept(&vi2));

    ASSERT_EQ(S_OK, g.ConnectInput());
    CMediaType mt;
    EXPECT_EQ(S_OK, g.transform->GetMediaType(0, &mt));
    EXPECT_EQ(VFW_S_NO_MORE_ITEMS, g.transform->GetMediaType(1, &mt));
    EXPECT_EQ(E_INVALIDARG, g.transform->GetMediaType(-1, &mt));
    types.Reset();
    ASSERT_EQ(S_OK, g.Out()->EnumMediaTypes(&types));
    EXPECT_EQ(S_OK, types->Next(1, &got, &n));
    EXPECT_EQ(MEDIASUBTYPE_YUY2, got->subtype);
    DeleteMediaType(got);
    types.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

TEST_F(TransformTypes, IdentityInterfacesAndPins) {
    CTransformGraph g(Yuy2Type());
    IBaseFilter* filter = g.transform;
    CLSID clsid{};
    ASSERT_EQ(S_OK, filter->GetClassID(&clsid));
    EXPECT_EQ(CLSID_LumokaTransform, clsid);
    FILTER_INFO info{};
    ASSERT_EQ(S_OK, filter->QueryFilterInfo(&info));
    EXPECT_STREQ(L"Lumoka Transform", info.achName);
    ASSERT_NE(nullptr, info.pGraph);
    info.pGraph->Release();

    ComPtr<ILumokaFilterCtrl> ctrl;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&ctrl)));
    EXPECT_EQ(__uuidof(ILumokaFilterCtrl), IID_ILumokaFilterCtrl);
    ComPtr<IUnknown> a, b;
    filter->QueryInterface(IID_PPV_ARGS(&a));
    ctrl->QueryInterface(IID_PPV_ARGS(&b));
    EXPECT_EQ(a.Get(), b.Get());
    for (REFIID iid : {IID_IBaseFilter, IID_IMediaFilter, IID_IPersist}) {
        ComPtr<IUnknown> p;
        EXPECT_EQ(S_OK, filter->QueryInterface(iid, reinterpret_cast<void**>(p.GetAddressOf())));
    }
    for (REFIID iid : {IID_IPin, IID_IMemInputPin, IID_IMediaSeeking, IID_IAMovieSetup,
                       IID_ISpecifyPropertyPages, IID_IPersistPropertyBag}) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(E_NOINTERFACE, filter->QueryInterface(iid, &p));
        EXPECT_EQ(nullptr, p);
    }

    // Settings are stored unchecked; getters refuse a null pointer.
    EXPECT_EQ(S_OK, ctrl->SetCopyMode(99));
    EXPECT_EQ(S_OK, ctrl->SetFrameMode(2));
    EXPECT_EQ(S_OK, ctrl->SetFieldOrder(1));
    EXPECT_EQ(S_OK, ctrl->SetYCExpand(2));
    EXPECT_EQ(S_OK, ctrl->SetFlipVertical(5));
    int v[5] = {};
    ctrl->GetCopyMode(&v[0]);
    ctrl->GetFrameMode(&v[1]);
    ctrl->GetFieldOrder(&v[2]);
    ctrl->GetYCExpand(&v[3]);
    ctrl->GetFlipVertical(&v[4]);
    EXPECT_EQ(99, v[0]);
    EXPECT_EQ(2, v[1]);
    EXPECT_EQ(1, v[2]);
    EXPECT_EQ(2, v[3]);
    EXPECT_EQ(5, v[4]);
    EXPECT_EQ(E_POINTER, ctrl->GetCopyMode(nullptr));

    ComPtr<IPin> pin;
    EXPECT_EQ(S_OK, filter->FindPin(L"Out", &pin));
    EXPECT_EQ(g.Out(), pin.Get());
    EXPECT_EQ(S_OK, filter->FindPin(L"In", &pin));
    EXPECT_EQ(g.In(), pin.Get());
    EXPECT_EQ(VFW_E_NOT_FOUND, filter->FindPin(L"XForm Out", &pin));
    EXPECT_EQ(nullptr, pin.Get());
    EXPECT_EQ(E_POINTER, filter->FindPin(L"Out", nullptr));

    PIN_INFO pinInfo{};
    ASSERT_EQ(S_OK, g.In()->QueryPinInfo(&pinInfo));
    EXPECT_STREQ(L"XForm In", pinInfo.achName);
    EXPECT_EQ(PINDIR_INPUT, pinInfo.dir);
    pinInfo.pFilter->Release();
    ASSERT_EQ(S_OK, g.Out()->QueryPinInfo(&pinInfo));
    EXPECT_STREQ(L"XForm Out", pinInfo.achName);
    EXPECT_EQ(PINDIR_OUTPUT, pinInfo.dir);
    pinInfo.pFilter->Release();

    ComPtr<IUnknown> q;
    EXPECT_EQ(S_OK, g.In()->QueryInterface(IID_IMemInputPin,
                                           reinterpret_cast<void**>(q.ReleaseAndGetAddressOf())));
    EXPECT_EQ(S_OK, g.In()->QueryInterface(IID_IQualityControl,
                                           reinterpret_cast<void**>(q.ReleaseAndGetAddressOf())));
    EXPECT_EQ(E_NOINTERFACE,
              g.In()->QueryInterface(IID_IMediaSeeking,
                                     reinterpret_cast<void**>(q.ReleaseAndGetAddressOf())));
    EXPECT_EQ(E_NOINTERFACE,
              g.Out()->QueryInterface(IID_IMemInputPin,
                                      reinterpret_cast<void**>(q.ReleaseAndGetAddressOf())));
    EXPECT_EQ(S_OK, g.Out()->QueryInterface(IID_IQualityControl,
                                            reinterpret_cast<void**>(q.ReleaseAndGetAddressOf())));

    // The output pin's seeking is a pass-through with the pin's identity, looking upstream.
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK, g.Out()->QueryInterface(IID_PPV_ARGS(&seeking)));
    ComPtr<IUnknown> pinUnk, seekUnk;
    g.Out()->QueryInterface(IID_PPV_ARGS(&pinUnk));
    seeking->QueryInterface(IID_PPV_ARGS(&seekUnk));
    EXPECT_EQ(pinUnk.Get(), seekUnk.Get());
    ComPtr<IMediaPosition> position;
    EXPECT_EQ(S_OK, seeking->QueryInterface(IID_IMediaPosition,
                                            reinterpret_cast<void**>(position.GetAddressOf())));
    DWORD caps = 0;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, seeking->GetCapabilities(&caps));
    ASSERT_EQ(S_OK, g.ConnectInput());
    LONGLONG current = 0;
    EXPECT_EQ(S_OK, seeking->GetCurrentPosition(&current));  // the source pin's answer
    EXPECT_EQ(CTestSourcePin::kPosition, current);

    ctrl.Reset();
    a.Reset();
    b.Reset();
    pin.Reset();
    q.Reset();
    seeking.Reset();
    pinUnk.Reset();
    seekUnk.Reset();
    position.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
}

// Records quality notifications.
class CQualitySink : public CComObject<IQualityControl> {
public:
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* self, Quality q) override {
        from = self;
        proportion = q.Proportion;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSink(IQualityControl*) override { return E_NOTIMPL; }
    IBaseFilter* from = nullptr;
    long proportion = 0;
};

TEST_F(TransformTypes, QualityMessagesGoUpstream) {
    CTransformGraph g(Yuy2Type());
    ASSERT_EQ(S_OK, g.ConnectAll());
    ComPtr<IQualityControl> outQuality, inQuality;
    ASSERT_EQ(S_OK, g.Out()->QueryInterface(IID_PPV_ARGS(&outQuality)));
    ASSERT_EQ(S_OK, g.In()->QueryInterface(IID_PPV_ARGS(&inQuality)));
    Quality q{Famine, 800, 0, 0};
    // No sink set: to the upstream pin, which (the test source) does not take them.
    EXPECT_EQ(E_NOTIMPL, outQuality->Notify(g.sink, q));
    auto* sink = new CQualitySink();
    ASSERT_EQ(S_OK, inQuality->SetSink(sink));
    EXPECT_EQ(S_OK, outQuality->Notify(g.sink, q));
    EXPECT_EQ(static_cast<IBaseFilter*>(g.transform), sink->from);
    EXPECT_EQ(800, sink->proportion);
    inQuality->SetSink(nullptr);
    outQuality.Reset();
    inQuality.Reset();
    EXPECT_TRUE(g.ReleaseAll());
    g.graph.Reset();
    EXPECT_EQ(0u, sink->Release());
}

// An outer object aggregating the transform: every interface carries the outer identity.
class CTransformOwner : public CComObject<IPersist> {
public:
    CTransformOwner() : inner_(new CMyTransform(Identity())) {}
    ~CTransformOwner() override { inner_->NonDelegatingRelease(); }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        *clsid = GUID_NULL;
        return S_OK;
    }

protected:
    HRESULT QueryExtra(REFIID riid, void** ppv) override {
        return inner_->NonDelegatingQueryInterface(riid, ppv);
    }

private:
    CMyTransform* inner_;
};

TEST_F(TransformTypes, AggregatedTransformKeepsTheOuterIdentity) {
    auto* owner = new CTransformOwner();
    IUnknown* outer = static_cast<IPersist*>(owner);
    ComPtr<ILumokaFilterCtrl> ctrl;
    ASSERT_EQ(S_OK, outer->QueryInterface(IID_PPV_ARGS(&ctrl)));
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(S_OK, ctrl->QueryInterface(IID_PPV_ARGS(&filter)));
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_PPV_ARGS(&identity)));
    EXPECT_EQ(outer, identity.Get());
    // Pins count on the outer object too.
    ComPtr<IPin> pin;
    ASSERT_EQ(S_OK, filter->FindPin(L"In", &pin));
    const ULONG before = RefCount(outer);
    pin->AddRef();
    EXPECT_EQ(before + 1, RefCount(outer));
    pin->Release();
    ctrl.Reset();
    filter.Reset();
    identity.Reset();
    pin.Reset();
    EXPECT_EQ(0u, outer->Release());
}

TEST_F(TransformTypes, NotInAGraphReleasesToZero) {
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(S_OK, CreateLumokaTransform(&filter));
    EXPECT_EQ(E_POINTER, CreateLumokaTransform(nullptr));
    IEnumPins* pins = nullptr;
    ASSERT_EQ(S_OK, filter->EnumPins(&pins));
    IPin* got[3] = {};
    ULONG n = 0;
    EXPECT_EQ(S_FALSE, pins->Next(3, got, &n));
    EXPECT_EQ(2u, n);
    got[0]->Release();
    got[1]->Release();
    EXPECT_EQ(0u, pins->Release());
    // Pausing with nothing connected succeeds; stopping too.
    EXPECT_EQ(S_OK, filter->Pause());
    EXPECT_EQ(S_OK, filter->Stop());
    EXPECT_EQ(0u, filter->Release());
}

}  // namespace
