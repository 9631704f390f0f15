#include "CardStamps.h"

#include <algorithm>


namespace lumoka::testing {

CCardStamps::CCardStamps(const std::wstring& devicePath)
    : m_ring(std::make_unique<CFrameStampRing>(devicePath)) {}

CCardStamps::~CCardStamps() = default;

bool CCardStamps::IsOpen() const { return m_ring->IsOpen(); }

int64_t CCardStamps::Now() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double CCardStamps::Seconds(int64_t from, int64_t to) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) / static_cast<double>(frequency.QuadPart);
}

std::vector<FrameStamp> CCardStamps::DrawnBetween(int64_t from, int64_t to) const {
    std::vector<FrameStamp> drawn;
    // Newest first, until a stamp at or before the span's start; running out of entries
    // before it means the start was overwritten (unless the ring never wrapped).
    const int64_t written = m_ring->Written();
    int64_t i = written - 1;
    for (; i >= 0; --i) {
        FrameStamp stamp{};
        if (!m_ring->Read(i, &stamp)) return {};
        if (stamp.qpc <= from) break;
        if (stamp.qpc <= to) drawn.push_back(stamp);
    }
    std::reverse(drawn.begin(), drawn.end());
    return drawn;
}

double CCardStamps::RateBetween(int64_t from, int64_t to) const {
    const double seconds = Seconds(from, to);
    return seconds > 0.0 ? static_cast<double>(DrawnBetween(from, to).size()) / seconds : 0.0;
}

double CCardStamps::GapQuantile(const std::vector<FrameStamp>& drawn, double share) {
    if (drawn.size() < 2) return 0.0;
    std::vector<double> gaps;
    for (size_t i = 1; i < drawn.size(); ++i) {
        gaps.push_back(Seconds(drawn[i - 1].qpc, drawn[i].qpc));
    }
    std::sort(gaps.begin(), gaps.end());
    const size_t at = std::min(gaps.size() - 1, static_cast<size_t>(share * gaps.size()));
    return gaps[at];
}

bool CCardStamps::FindRestart(int64_t since, long* lastBefore) const {
    // From the last picture drawn at or before `since` on: the first counter below the one
    // before it.
    const int64_t written = m_ring->Written();
    FrameStamp stamp{};
    int64_t i = written - 1;
    for (; i >= 0; --i) {
        if (!m_ring->Read(i, &stamp)) return false;
        if (stamp.qpc <= since) break;
    }
    FrameStamp previous{-1, 0};
    for (int64_t j = std::max<int64_t>(i, 0); j < written; ++j) {
        if (!m_ring->Read(j, &stamp)) return false;
        if (previous.counter >= 0 && stamp.counter < previous.counter) {
            *lastBefore = static_cast<long>(previous.counter);
            return true;
        }
        previous = stamp;
    }
    return false;
}

}  // namespace lumoka::testing
