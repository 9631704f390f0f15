// A 64-byte aligned block with a recorded size, the pipeline's persistent frame storage.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumoka {

// Owned by CFramePipeline; used on the streaming thread only.
class CWorkBuffer {
public:
    CWorkBuffer() = default;
    ~CWorkBuffer();
    CWorkBuffer(const CWorkBuffer&) = delete;
    CWorkBuffer& operator=(const CWorkBuffer&) = delete;

    // Makes the block n bytes long. When it is absent or of another size it is reallocated and
    // every byte set to 0x80; otherwise its contents stay. Returns the block, or null when
    // n is 0 or the allocation failed (the buffer is then absent with size 0).
    // skew: the block starts that many bytes (a multiple of 64) into its allocation, so that
    // two blocks read and written at the same offsets do not share their addresses' low bits
    // (which makes the processor take a load as depending on an unrelated store).
    uint8_t* Request(size_t n, size_t skew = 0);

    uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }

private:
    void Free();

    uint8_t* block_ = nullptr;  // the allocation; data_ is skew_ bytes into it
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t skew_ = 0;
};

}  // namespace lumoka
