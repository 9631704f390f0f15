#include "ui/main/DeliveredRateMeter.h"

double CDeliveredRateMeter::Update(uint64_t count, int64_t ticks, int64_t frequency) {
    if (frequency <= 0) {
        Reset();
        return 0.0;
    }
    if (!m_haveReading || count < m_count || ticks <= m_ticks) {
        m_haveReading = true;
        m_count = count;
        m_ticks = ticks;
        m_rate = 0.0;
        return 0.0;
    }
    const double seconds = static_cast<double>(ticks - m_ticks) / static_cast<double>(frequency);
    if (seconds < kMinimumSeconds) return m_rate;
    m_rate = static_cast<double>(count - m_count) / seconds;
    m_count = count;
    m_ticks = ticks;
    return m_rate;
}

void CDeliveredRateMeter::Reset() {
    m_haveReading = false;
    m_count = 0;
    m_ticks = 0;
    m_rate = 0.0;
}
