#include "graph/CatalogueRecords.h"

#include <algorithm>

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
