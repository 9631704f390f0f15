// One owning-handle template for every platform handle type, with the close function and the
// invalid value as template arguments. Move-only; Reset closes the old handle first.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace lumoka {

template <typename T, typename Close, T Invalid = T()>
class UniqueAny {
public:
    UniqueAny() = default;
    explicit UniqueAny(T value) : value_(value) {}
    UniqueAny(UniqueAny&& other) noexcept : value_(other.Release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }

    // Closes the current handle and takes ownership of value.
    void Reset(T value = Invalid) {
        if (value_ != Invalid) Close()(value_);
        value_ = value;
    }
    // Gives up ownership without closing.
    T Release() { return std::exchange(value_, Invalid); }
    // For out-parameters: closes the current handle and returns the address to fill.
    T* Put() {
        Reset();
        return &value_;
    }

private:
    T value_ = Invalid;
};

struct CloseHandleFn {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct FindCloseFn {
    void operator()(HANDLE h) const { ::FindClose(h); }
};
struct DeleteObjectFn {
    void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct DestroyMenuFn {
    void operator()(HMENU h) const { ::DestroyMenu(h); }
};
struct DestroyIconFn {
    void operator()(HICON h) const { ::DestroyIcon(h); }
};
struct CoTaskMemFreeFn {
    void operator()(void* p) const { ::CoTaskMemFree(p); }
};

// Kernel handles whose invalid value is null (mutexes, events, threads).
using UniqueHandle = UniqueAny<HANDLE, CloseHandleFn, nullptr>;
using UniqueGdiObject = UniqueAny<HGDIOBJ, DeleteObjectFn, nullptr>;
using UniqueMenu = UniqueAny<HMENU, DestroyMenuFn, nullptr>;
using UniqueIcon = UniqueAny<HICON, DestroyIconFn, nullptr>;

// A block from the COM task allocator (strings from GetDisplayName, format blocks, etc.).
template <typename T>
class UniqueCoTaskMem {
public:
    UniqueCoTaskMem() = default;
    explicit UniqueCoTaskMem(T* p) : p_(p) {}
    UniqueCoTaskMem(UniqueCoTaskMem&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    UniqueCoTaskMem& operator=(UniqueCoTaskMem&& o) noexcept {
        if (this != &o) Reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    UniqueCoTaskMem(const UniqueCoTaskMem&) = delete;
    UniqueCoTaskMem& operator=(const UniqueCoTaskMem&) = delete;
    ~UniqueCoTaskMem() { Reset(); }

    T* Get() const { return p_; }
    T* Release() { return std::exchange(p_, nullptr); }
    void Reset(T* p = nullptr) {
        if (p_) ::CoTaskMemFree(p_);
        p_ = p;
    }
    T** Put() {
        Reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

}  // namespace lumoka
