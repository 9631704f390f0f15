// HRESULT vocabulary for graph and filter code: a failed step returns its result at once,
// so a function reads as the list of its steps. Exceptions never cross a COM boundary; these
// macros only return.
#pragma once

#include <windows.h>

#define RETURN_IF_FAILED(expr)                 \
    do {                                       \
        const HRESULT hr_ = (expr);            \
        if (FAILED(hr_)) return hr_;           \
    } while (0)

// Returns hr when the condition holds.
#define RETURN_HR_IF(hr, cond)                 \
    do {                                       \
        if (cond) return (hr);                 \
    } while (0)

// Returns hr when the pointer is null.
#define RETURN_HR_IF_NULL(hr, ptr)             \
    do {                                       \
        if ((ptr) == nullptr) return (hr);     \
    } while (0)

// Returns E_POINTER for a null out-parameter, as every COM method must.
#define RETURN_IF_NULL_OUT(ptr) RETURN_HR_IF_NULL(E_POINTER, ptr)

// Evaluates a call whose failure is deliberately ignored; the name says so at the call site.
#define IGNORE_RESULT(expr) static_cast<void>(expr)

namespace lumoka {

// HRESULT of a Win32 error code (HRESULT_FROM_WIN32 as a function, usable in constant contexts).
constexpr HRESULT HResultFromWin32(unsigned long code) {
    return code == 0 ? S_OK
                     : static_cast<HRESULT>((code & 0x0000FFFFu) | (FACILITY_WIN32 << 16) |
                                            0x80000000u);
}

// The last Win32 error as an HRESULT; E_FAIL when the call left no error code.
inline HRESULT LastErrorHResult() {
    const DWORD e = GetLastError();
    return e == 0 ? E_FAIL : HResultFromWin32(e);
}

}  // namespace lumoka
