#include "graph/CatalogueRecords.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "graph/BuildRules.h"

bool HasAudioCapturePin(const std::vector<PinEntry>& pins) {
    return std::any_of(pins.begin(), pins.end(), [](const PinEntry& p) {
        return p.IsInput == 0 && p.Category == L"CAPTURE" && p.MajorType == L"Audio";
    });
}

int FindDeviceEntry(const std::vector<DeviceEntry>& list, const std::wstring& friendlyName,
                    const std::wstring& devicePath) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].FriendlyName == friendlyName && list[i].DevicePath == devicePath) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int32_t CapabilityWalkLength(int32_t reported) {
    return std::clamp(reported, int32_t{0}, kMaxCapabilities);
}

size_t CapsBufferBytes(int32_t reported, size_t minimum) {
    if (reported > kMaxCapsStructureBytes) return 0;
    return std::max(reported > 0 ? static_cast<size_t>(reported) : size_t{0}, minimum);
}

int32_t CrossbarPinsToRead(int32_t reported) {
    return std::clamp(reported, int32_t{0}, kMaxCrossbarPins);
}

bool IsUsableVideoPicture(int32_t width, int32_t height, int32_t bitCount) {
    if (width <= 0 || height == 0 || bitCount < 0) return false;
    const int64_t stride = StrideBytes(bitCount, width);
    const int64_t rows = std::llabs(static_cast<int64_t>(height));
    constexpr int64_t kMaxSample = std::numeric_limits<int32_t>::max();
    return stride <= kMaxSample && (stride == 0 || rows <= kMaxSample / stride);
}
