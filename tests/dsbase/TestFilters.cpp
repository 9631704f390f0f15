#include "TestFilters.h"

#include <algorithm>
#include <cstdlib>

// {3E0C2B51-8B63-4D3A-9F39-1A2B3C4D5E6F}: answers IPersist only; never registered.
static const GUID CLSID_LumokaTestSource = {
    0x3e0c2b51, 0x8b63, 0x4d3a, {0x9f, 0x39, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e, 0x6f}};

CMediaType MakeVideoType(const GUID& subtype, LONG width, LONG height, WORD bitCount,
                         DWORD compression, REFERENCE_TIME avgTimePerFrame) {
    CMediaType mt(MEDIATYPE_Video, subtype);
    mt.formattype = FORMAT_VideoInfo;
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormat(sizeof(VIDEOINFOHEADER)));
    vih->AvgTimePerFrame = avgTimePerFrame;
    BITMAPINFOHEADER& bmi = vih->bmiHeader;
    bmi.biSize = sizeof(BITMAPINFOHEADER);
    bmi.biWidth = width;
    bmi.biHeight = height;
    bmi.biPlanes = 1;
    bmi.biBitCount = bitCount;
    bmi.biCompression = compression;
    // RGB rows are padded to 4 bytes; packed YUV rows here are always a multiple of 4.
    const LONG stride = ((width * bitCount / 8) + 3) & ~3;
    bmi.biSizeImage = static_cast<DWORD>(stride * std::labs(height));
    vih->dwBitRate = static_cast<DWORD>(bmi.biSizeImage * 8ull * 10000000ull /
                                        static_cast<unsigned long long>(avgTimePerFrame));
    mt.bFixedSizeSamples = TRUE;
    mt.bTemporalCompression = FALSE;
    mt.lSampleSize = bmi.biSizeImage;
    return mt;
}

ULONG RefCount(IUnknown* unk) {
    unk->AddRef();
    return unk->Release();
}

CTestSourcePin::CTestSourcePin(CTestSource* filter, CCritSec* lock, const wchar_t* name)
    : CLivePushPin(L"test source pin", filter, lock, name), source_(filter) {}

HRESULT STDMETHODCALLTYPE CTestSourcePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    return CLivePushPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT STDMETHODCALLTYPE CTestSourcePin::GetCapabilities(DWORD* caps) {
    *caps = AM_SEEKING_CanGetDuration | AM_SEEKING_CanGetCurrentPos;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestSourcePin::GetDuration(LONGLONG* duration) {
    *duration = kDuration;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTestSourcePin::GetCurrentPosition(LONGLONG* current) {
    *current = kPosition;
    return S_OK;
}

void CTestSource::DefaultFill(IMediaSample* sample, long index) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const long size = sample->GetSize();
    for (long i = 0; i < size; ++i) data[i] = static_cast<BYTE>((index * 7 + i) & 0xFF);
    sample->SetActualDataLength(size);
}

HRESULT CTestSourcePin::FillBuffer(IMediaSample* sample) {
    const long index = index_++;
    const VIDEOINFOHEADER* vih = CurrentMediaType().VideoInfo();
    if (source_->fill_) return source_->fill_(sample, index);
    CTestSource::DefaultFill(sample, index);
    if (vih) sample->SetActualDataLength(static_cast<long>(vih->bmiHeader.biSizeImage));
    return S_OK;
}

CTestSource::CTestSource(std::vector<CMediaType> types)
    : CLiveSourceFilter(L"test source", nullptr, CLSID_LumokaTestSource), types_(std::move(types)) {
    AddOutput(L"Capture");
}

void CTestSource::AddOutput(const wchar_t* name) {
    auto pin = std::make_unique<CTestSourcePin>(this, &filterLock_, name);
    pin->SetMediaTypes(types_);
    AddPin(std::move(pin));
}

HRESULT STDMETHODCALLTYPE CTestPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    auto it = values_.find(name);
    if (it == values_.end()) return E_INVALIDARG;
    VariantInit(value);
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(it->second.c_str());
    return S_OK;
}
