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
    ::operator delete[](data_, std::align_val_t{kAlignment});
    data_ = nullptr;
    size_ = 0;
}

uint8_t* CWorkBuffer::Request(size_t n) {
    if (n == 0) return nullptr;
    if (data_ != nullptr && size_ == n) return data_;
    Free();
    data_ = static_cast<uint8_t*>(::operator new[](n, std::align_val_t{kAlignment}, std::nothrow));
    if (data_ == nullptr) return nullptr;
    size_ = n;
    std::memset(data_, 0x80, n);
    return data_;
}

}  // namespace lumoka
