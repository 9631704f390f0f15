#include "dsbase/Unknown.h"

namespace {
std::atomic<long> g_objects{0};
}

void DsbaseObjectCounterAdd(long delta) { g_objects += delta; }

long CUnknown::ObjectsActive() { return g_objects.load(); }

CUnknown::CUnknown(const wchar_t* name, IUnknown* outer)
    : name_(name), owner_(outer ? outer : NonDelegatingUnknown()) {
    DsbaseObjectCounterAdd(+1);
}

CUnknown::~CUnknown() { DsbaseObjectCounterAdd(-1); }

HRESULT STDMETHODCALLTYPE CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // The IUnknown of an aggregated object's inner side is its non-delegating unknown: that is
    // what the outer object asks for at creation and holds to control the inner object's life.
    if (riid == IID_IUnknown) return GetInterface(NonDelegatingUnknown(), ppv);
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingAddRef() { return ++refs_; }

ULONG STDMETHODCALLTYPE CUnknown::NonDelegatingRelease() {
    const ULONG n = --refs_;
    if (n == 0) {
        // Guard against a re-entrant Release from the destructor releasing an interface that
        // routes back to us.
        refs_ = 1;
        delete this;
    }
    return n;
}
