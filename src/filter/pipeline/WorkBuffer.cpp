#include "filter/pipeline/WorkBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace lumoka {

namespace {
// Wide enough for every row kernel's widest register; also a cache line.
constexpr size_t kAlignment = 64;
}  // namespace

CWorkBuffer::~CWorkBuffer() { Free(); }

void CWorkBuffer::Free() {
    ::operator delete[](block_, std::align_val_t{kAlignment});
    block_ = nullptr;
    data_ = nullptr;
    size_ = 0;
    skew_ = 0;
}

uint8_t* CWorkBuffer::Request(size_t n, size_t skew) {
    if (n == 0) return nullptr;
    if (data_ != nullptr && size_ == n && skew_ == skew) return data_;
    Free();
    block_ = static_cast<uint8_t*>(
        ::operator new[](n + skew, std::align_val_t{kAlignment}, std::nothrow));
    if (block_ == nullptr) return nullptr;
    data_ = block_ + skew;
    size_ = n;
    skew_ = skew;
    std::memset(data_, 0x80, n);
    return data_;
}

}  // namespace lumoka
