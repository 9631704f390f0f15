// COM object machinery shared by every filter, pin, enumerator and helper object: one atomic
// reference count per object, QueryInterface answered from a list of interfaces, and COM
// aggregation through an outer unknown (the "non-delegating" unknown DirectShow filters need,
// so that a filter can be aggregated and its seeking pass-through can be aggregated by it).
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

// The inner IUnknown of an aggregatable object. Laid out like IUnknown, so an outer object can
// hold it as an IUnknown pointer and call it without delegating back to itself.
struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;
};

// Returns the interface pointer with a reference added (the common tail of every QueryInterface).
inline HRESULT GetInterface(IUnknown* unk, void** ppv) {
    *ppv = unk;
    unk->AddRef();
    return S_OK;
}

// Base of every COM object of the library. Owns the object's one reference count; the object
// deletes itself when the count reaches 0. With an outer unknown the object's IUnknown methods
// go to the outer object (COM aggregation); without one they go to NonDelegating*.
// Thread: any thread; the count is atomic, everything else is fixed at construction.
class CUnknown : public INonDelegatingUnknown {
public:
    CUnknown(const wchar_t* name, IUnknown* outer);
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;
    virtual ~CUnknown();

    // The unknown that every interface of this object delegates to: the outer object when
    // aggregated, else this object's own non-delegating unknown.
    IUnknown* GetOwner() const { return owner_; }
    const wchar_t* ObjectName() const { return name_; }

    // Number of library objects alive in the process (for DllCanUnloadNow).
    static long ObjectsActive();

protected:
    IUnknown* NonDelegatingUnknown() {
        return reinterpret_cast<IUnknown*>(static_cast<INonDelegatingUnknown*>(this));
    }

private:
    const wchar_t* name_;
    IUnknown* owner_;  // not counted: the outer object owns us, never the reverse
    std::atomic<ULONG> refs_{1};
};

// IUnknown of an interface implemented by a CUnknown-derived class: everything goes to the
// owner, so all interfaces of one object (aggregated or not) share one identity and count.
#define DECLARE_IUNKNOWN                                                         \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override { \
        return GetOwner()->QueryInterface(riid, ppv);                            \
    }                                                                            \
    ULONG STDMETHODCALLTYPE AddRef() override { return GetOwner()->AddRef(); }   \
    ULONG STDMETHODCALLTYPE Release() override { return GetOwner()->Release(); }

// A non-aggregatable object implementing the interfaces Is...: QueryInterface answers IUnknown
// (through the first interface, which is the object's identity) and each listed interface;
// derived classes add base interfaces (IPersist for IMediaFilter...) in QueryExtra.
// Thread: any; the count is atomic. The object is created with a count of 1.
template <class... Is>
class CComObject : public Is... {
public:
    CComObject() { CUnknownObjectCounter(+1); }
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;
    virtual ~CComObject() { CUnknownObjectCounter(-1); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown) return GetInterface(Identity(), ppv);
        if ((TryOne<Is>(riid, ppv) || ...)) return S_OK;
        return QueryExtra(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

protected:
    virtual HRESULT QueryExtra(REFIID, void**) { return E_NOINTERFACE; }
    IUnknown* Identity() { return static_cast<FirstOf<Is...>*>(this); }

    static void CUnknownObjectCounter(long delta);

private:
    template <class F, class...>
    struct First {
        using Type = F;
    };
    template <class... Ts>
    using FirstOf = typename First<Ts...>::Type;

    template <class I>
    bool TryOne(REFIID riid, void** ppv) {
        if (riid != __uuidof(I)) return false;
        GetInterface(static_cast<I*>(this), ppv);
        return true;
    }

    std::atomic<ULONG> refs_{1};
};

// Counts library objects for DllCanUnloadNow; CComObject and CUnknown both report here.
void DsbaseObjectCounterAdd(long delta);

template <class... Is>
void CComObject<Is...>::CUnknownObjectCounter(long delta) {
    DsbaseObjectCounterAdd(delta);
}
