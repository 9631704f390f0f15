#include "dsbase/ClassFactory.h"

#include <new>

namespace {
std::atomic<long> g_locks{0};
}

CClassFactory::CClassFactory(const CFactoryTemplate* entry) : entry_(entry) {}

long CClassFactory::ServerLocks() { return g_locks.load(); }

HRESULT STDMETHODCALLTYPE CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // COM aggregation rule: the outer object may only ask for the inner IUnknown.
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    IUnknown* object = nullptr;
    const HRESULT hr = entry_->create(outer, &object);
    if (FAILED(hr)) return hr;
    if (!object) return E_OUTOFMEMORY;
    const HRESULT qi = object->QueryInterface(riid, ppv);
    object->Release();
    return qi;
}

HRESULT STDMETHODCALLTYPE CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ++g_locks;
    } else {
        --g_locks;
    }
    return S_OK;
}

HRESULT DsbaseGetClassObject(const CFactoryTemplate* table, size_t count, REFCLSID clsid,
                             REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    for (size_t i = 0; i < count; ++i) {
        if (*table[i].clsid != clsid) continue;
        auto* factory = new (std::nothrow) CClassFactory(&table[i]);
        if (!factory) return E_OUTOFMEMORY;
        *ppv = static_cast<IClassFactory*>(factory);
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DsbaseCanUnloadNow() {
    return CUnknown::ObjectsActive() == 0 && CClassFactory::ServerLocks() == 0 ? S_OK : S_FALSE;
}
