// Test filters built on the library: a live test source with configurable types and frame
// contents, an aggregating outer object, and small helpers for reference counts and types.
// Shared by the base-library tests and the transform filter's tests.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dsbase/LiveSource.h"
#include "dsbase/MediaType.h"

// A video type with a VIDEOINFOHEADER: width x height, bit count, the FOURCC or BI_RGB
// compression, and the subtype. avgTimePerFrame in 100 ns units.
CMediaType MakeVideoType(const GUID& subtype, LONG width, LONG height, WORD bitCount,
                         DWORD compression, REFERENCE_TIME avgTimePerFrame = 100000);

// The current reference count of an object (AddRef then Release).
ULONG RefCount(IUnknown* unk);

class CTestSource;

// Calls the source's fill function for each frame; by default fills byte i of frame n with
// (n * 7 + i) & 0xFF and sets the actual length to the type's image size.
// It also answers IMediaSeeking with a fixed duration and position, so seeking pass-throughs
// downstream can be seen forwarding.
class CTestSourcePin : public CLivePushPin, public IMediaSeeking {
public:
    static constexpr LONGLONG kDuration = 123456789;
    static constexpr LONGLONG kPosition = 4242;

    CTestSourcePin(CTestSource* filter, CCritSec* lock, const wchar_t* name);

    DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* caps) override;
    HRESULT STDMETHODCALLTYPE CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTimeFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDuration(LONGLONG* duration) override;
    HRESULT STDMETHODCALLTYPE GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LONGLONG* current) override;
    HRESULT STDMETHODCALLTYPE ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG,
                                                const GUID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRate(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRate(double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

protected:
    HRESULT FillBuffer(IMediaSample* sample) override;

private:
    CTestSource* source_;
    long index_ = 0;
};

// Thread: the fill function runs on the pin's streaming thread.
class CTestSource : public CLiveSourceFilter {
public:
    using FillFn = std::function<HRESULT(IMediaSample* sample, long index)>;

    explicit CTestSource(std::vector<CMediaType> types);

    CTestSourcePin* Pin() { return static_cast<CTestSourcePin*>(PushPin(0)); }
    // Replaces the frame generator (set before running).
    void SetFill(FillFn fill) { fill_ = std::move(fill); }
    // Adds another output pin (to test enumerators noticing a changed pin set).
    void AddOutput(const wchar_t* name);

    static void DefaultFill(IMediaSample* sample, long index);

private:
    friend class CTestSourcePin;
    std::vector<CMediaType> types_;
    FillFn fill_;
};

// A minimal property bag over a map, for IPersistPropertyBag tests.
class CTestPropertyBag : public CComObject<IPropertyBag> {
public:
    explicit CTestPropertyBag(std::map<std::wstring, std::wstring> values)
        : values_(std::move(values)) {}
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    std::map<std::wstring, std::wstring> values_;
};
