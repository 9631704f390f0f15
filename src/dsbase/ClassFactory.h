// In-process COM server support: a table of the classes a DLL serves, the class factory that
// creates them, and the bodies of DllGetClassObject and DllCanUnloadNow.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

#include "dsbase/Unknown.h"

// One class a DLL serves. create makes a new object (aggregated when outer is not null) with
// a count of 1 and returns it as its non-delegating IUnknown (or its IUnknown when not
// aggregatable).
struct CFactoryTemplate {
    const wchar_t* name;
    const CLSID* clsid;
    HRESULT (*create)(IUnknown* outer, IUnknown** out);
};

// Thread: any; the lock count is process-wide and atomic.
class CClassFactory : public CComObject<IClassFactory> {
public:
    explicit CClassFactory(const CFactoryTemplate* entry);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    static long ServerLocks();

private:
    const CFactoryTemplate* entry_;
};

// DllGetClassObject over a table of count entries.
HRESULT DsbaseGetClassObject(const CFactoryTemplate* table, size_t count, REFCLSID clsid,
                             REFIID riid, void** ppv);
// DllCanUnloadNow: S_OK when no object of the library lives and no lock is held.
HRESULT DsbaseCanUnloadNow();
