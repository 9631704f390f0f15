#include "graph/Volume.h"

#include <cmath>

int32_t VolumeFromPercent(int32_t percent) {
    if (percent <= 0) return kVolumeSilence;
    if (percent > 100) percent = 100;
    return static_cast<int32_t>(2000.0 * std::log10(percent / 100.0));
}
