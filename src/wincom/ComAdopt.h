// Taking over a reference that a call has already counted for us.
//
// MinGW-w64's Microsoft::WRL::ComPtr::Attach adds a reference of its own (Microsoft's does not),
// so `p.Attach(raw)` on a freshly returned pointer leaks one reference with MinGW and is right
// with Microsoft's compiler. Adopt fills the pointer through ReleaseAndGetAddressOf, which both
// implementations leave uncounted. wincom_test's AdoptTakesOverTheReference shows the difference.
#pragma once

#include <wrl/client.h>

namespace lumoka {

template <typename T>
Microsoft::WRL::ComPtr<T> Adopt(T* counted) {
    Microsoft::WRL::ComPtr<T> p;
    *p.ReleaseAndGetAddressOf() = counted;
    return p;
}

}  // namespace lumoka
