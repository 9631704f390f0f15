// The audio source page's rules: the format entries, the channel, bit and rate candidates, the
// three scroll bars and validation over a capability's range, the information list's cells and
// row colours, and how the page's state is loaded from a profile and stored into one.
//
// A range (minimum, maximum, granularity) counts from the smaller of its two ends, lo'.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/PageRules.h"

namespace editor {

constexpr int kAudioInfoRows = 10;
constexpr int32_t kBufferSizeMaximum = 1000;  // milliseconds
constexpr int32_t kBufferSizeDefault = 50;

enum class AudioValue { Channels = 0, Bits = 1, Rate = 2 };

struct AudioRange {
    int32_t Minimum = 0;
    int32_t Maximum = 0;
    int32_t Granularity = 0;
    int32_t Low() const { return Minimum < Maximum ? Minimum : Maximum; }  // lo'
};
AudioRange RangeOf(const AudioFormatRecord& format, AudioValue which);
int32_t ValueOf(const AudioFormatRecord& format, AudioValue which);

// "%02d: %s %dch %dbit %dHz".
std::wstring AudioFormatText(int index, const AudioFormatRecord& format);

// Candidates: the grid rule over channels 1, 2, 4, 6, 8, 10, 12, 16; bits 8, 16, 24, 32; rates
// 8000, 11025, 22050, 32000, 44100, 48000, 96000.
std::vector<int32_t> AudioCandidates(AudioValue which, int32_t current, const AudioRange& range);

// The bar: positions 0 ... (maximum - lo') / granularity; disabled when the range is empty or
// narrower than one step, the granularity not positive or the current value outside.
ScrollSetup AudioScroll(int32_t current, const AudioRange& range);
int32_t AudioValueAt(int32_t position, const AudioRange& range);
int32_t NextAudioPosition(ScrollCode code, int32_t thumb, int32_t position,
                          const ScrollSetup& setup);
// A typed value: valid when lo' <= v <= maximum and on the grid counted from lo'.
Validation ValidateAudioValue(const std::wstring& text, const AudioRange& range);
// Only PCM capabilities (format tag 1) can be changed.
bool IsChangeableAudioFormat(const AudioFormatRecord& format);

std::wstring AudioInfoCell(const AudioFormatRecord& format, int row, int column);
// Odd rows light grey, even rows white.
uint32_t AudioInfoRowColour(int row);

// What the page's controls hold.
struct AudioPageState {
    int Device = 0;  // 0 "オーディオを出力しない", i + 1 device i, -1 no selection
    bool UseBufferSize = false;
    int32_t BufferSize = kBufferSizeDefault;
    int Format = -1;
    std::wstring ChannelsText;
    std::wstring BitsText;
    std::wstring RateText;
};

// Loading a profile after the device change ran: the buffer settings, and (when its format
// index names a format of the device) the format and the three texts.
struct AudioProfileLoad {
    bool UseBufferSize = false;
    int32_t BufferSize = kBufferSizeDefault;
    bool FormatValid = false;
    int Format = -1;
    std::wstring ChannelsText;
    std::wstring BitsText;
    std::wstring RateText;
};
AudioProfileLoad LoadAudioProfile(const Profile& profile, size_t formatCount);

// Stores the page into the profile's audio fields. No device: only the identity is emptied.
void StoreAudioProfile(const AudioPageState& state, const std::vector<DeviceEntry>& devices,
                       size_t formatCount, Profile& profile);

}  // namespace editor
