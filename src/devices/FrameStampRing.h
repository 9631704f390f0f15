// The test card's frame stamps, for measuring the latency from capture to screen in another
// process: for every picture a video pin of the card fills, the frame counter it drew into the
// picture and the performance-counter time (QueryPerformanceCounter) at which it drew it.
//
// Where: a named file mapping "Local\LumokaFrameStamps-<DevicePath>" (the card's "DevicePath",
// or its "FriendlyName" when the path is empty), created by the first card or reader that opens
// it, sizeof(FrameStampRing) bytes.
// Layout: FrameStampRing below. The writer fills entries[written % kCapacity] and then raises
// `written` with a full barrier, so a reader that sees `written` = n may read entries n - 1 back
// to n - kCapacity; an entry older than that has been overwritten. `written` never goes back.
// Several video pins of one card (capture and preview) all write; each entry is one picture.
// Entries hold the counter as drawn (modulo 2^16, as the picture carries it).
#pragma once

#include <string>  // before platform headers, see DeviceIds.h

#include <windows.h>

#include <cstdint>

namespace lumoka {

struct FrameStamp {
    int64_t counter;  // the value drawn, 0 .. 65535
    int64_t qpc;      // QueryPerformanceCounter when it was drawn
};

struct FrameStampRing {
    static constexpr uint32_t kMagic = 0x534D4C46;  // "FLMS"
    static constexpr uint32_t kCapacity = 4096;
    uint32_t magic;  // kMagic once initialised
    uint32_t capacity;
    volatile LONG64 written;  // entries written since the mapping was created
    FrameStamp entries[kCapacity];
};

// One view of the ring. Threads: Publish from one thread at a time (the card serialises its
// pins' calls), reads from any thread.
class CFrameStampRing {
public:
    explicit CFrameStampRing(const std::wstring& deviceName);
    ~CFrameStampRing();
    CFrameStampRing(const CFrameStampRing&) = delete;
    CFrameStampRing& operator=(const CFrameStampRing&) = delete;

    bool IsOpen() const { return m_ring != nullptr; }
    void Publish(int64_t counter, int64_t qpc);
    // Entries written so far; Read gets entry i (false when it has been overwritten or is not
    // written yet).
    int64_t Written() const;
    bool Read(int64_t i, FrameStamp* out) const;

private:
    HANDLE m_mapping = nullptr;
    FrameStampRing* m_ring = nullptr;
};

inline std::wstring FrameStampMappingName(const std::wstring& deviceName) {
    return L"Local\\LumokaFrameStamps-" + deviceName;
}

inline CFrameStampRing::CFrameStampRing(const std::wstring& deviceName) {
    m_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(FrameStampRing),
                                   FrameStampMappingName(deviceName).c_str());
    if (!m_mapping) return;
    m_ring = static_cast<FrameStampRing*>(
        MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FrameStampRing)));
    // A new mapping is zero-filled; whoever comes first writes the header.
    if (m_ring && m_ring->magic != FrameStampRing::kMagic) {
        m_ring->capacity = FrameStampRing::kCapacity;
        InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_ring->magic),
                            static_cast<LONG>(FrameStampRing::kMagic));
    }
}

inline CFrameStampRing::~CFrameStampRing() {
    if (m_ring) UnmapViewOfFile(m_ring);
    if (m_mapping) CloseHandle(m_mapping);
}

inline void CFrameStampRing::Publish(int64_t counter, int64_t qpc) {
    if (!m_ring) return;
    // The entry first, then the count that makes it visible.
    const int64_t slot = m_ring->written;
    m_ring->entries[slot % FrameStampRing::kCapacity] = FrameStamp{counter, qpc};
    InterlockedIncrement64(&m_ring->written);
}

inline int64_t CFrameStampRing::Written() const {
    return m_ring ? InterlockedCompareExchange64(&m_ring->written, 0, 0) : 0;
}

inline bool CFrameStampRing::Read(int64_t i, FrameStamp* out) const {
    const int64_t n = Written();
    if (!m_ring || i < 0 || i >= n || n - i > FrameStampRing::kCapacity) return false;
    *out = m_ring->entries[i % FrameStampRing::kCapacity];
    return true;
}

}  // namespace lumoka
