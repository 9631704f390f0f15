#include "ui/editor/AudioPageRules.h"

#include <algorithm>

namespace editor {

namespace {

const wchar_t* const kInfoItems[kAudioInfoRows] = {
    L"サブタイプ",
    L"最小チャンネル数",
    L"最大チャンネル数",
    L"チャンネル数細分度",
    L"サンプルあたりの最小ビット数",
    L"サンプルあたりの最大ビット数",
    L"ビット数細分度",
    L"最小サンプル周波数",
    L"最大サンプル周波数",
    L"周波数細分度",
};

std::wstring WithUnit(int32_t value, const wchar_t* unit) { return DecimalText(value) + unit; }

}  // namespace

AudioRange RangeOf(const AudioFormatRecord& f, AudioValue which) {
    switch (which) {
        case AudioValue::Channels:
            return {f.MinimumChannels, f.MaximumChannels, f.ChannelsGranularity};
        case AudioValue::Bits:
            return {f.MinimumBitsPerSample, f.MaximumBitsPerSample, f.BitsPerSampleGranularity};
        case AudioValue::Rate:
            break;
    }
    return {f.MinimumSampleFrequency, f.MaximumSampleFrequency, f.SampleFrequencyGranularity};
}

int32_t ValueOf(const AudioFormatRecord& f, AudioValue which) {
    switch (which) {
        case AudioValue::Channels:
            return f.Channels;
        case AudioValue::Bits:
            return f.BitsPerSample;
        case AudioValue::Rate:
            break;
    }
    return f.SamplesPerSec;
}

std::wstring AudioFormatText(int index, const AudioFormatRecord& f) {
    return TwoDigitText(index) + L": " + f.SubtypeName + L" " + WithUnit(f.Channels, L"ch ") +
           WithUnit(f.BitsPerSample, L"bit ") + WithUnit(f.SamplesPerSec, L"Hz");
}

std::vector<int32_t> AudioCandidates(AudioValue which, int32_t current, const AudioRange& r) {
    static const std::vector<int32_t> kChannels = {1, 2, 4, 6, 8, 10, 12, 16};
    static const std::vector<int32_t> kBits = {8, 16, 24, 32};
    static const std::vector<int32_t> kRates = {8000, 11025, 22050, 32000, 44100, 48000, 96000};
    const auto& fixed = which == AudioValue::Channels ? kChannels
                        : which == AudioValue::Bits   ? kBits
                                                      : kRates;
    return GridCandidates(current, r.Minimum, r.Maximum, r.Granularity, fixed);
}

ScrollSetup AudioScroll(int32_t current, const AudioRange& r) {
    ScrollSetup s;
    const int64_t low = r.Low();
    const int64_t span = static_cast<int64_t>(r.Maximum) - low;
    if (r.Maximum == low || current < low || current > r.Maximum || r.Granularity <= 0 ||
        span < r.Granularity) {
        return s;
    }
    s.Enabled = true;
    s.Maximum = static_cast<int32_t>(span / r.Granularity);
    s.Position = static_cast<int32_t>((current - low) / r.Granularity);
    return s;
}

int32_t AudioValueAt(int32_t position, const AudioRange& r) {
    const int64_t v = r.Low() + static_cast<int64_t>(r.Granularity) * position;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t NextAudioPosition(ScrollCode code, int32_t thumb, int32_t position,
                          const ScrollSetup& setup) {
    return NextPosition(code, thumb, position, 0, setup.Maximum);
}

Validation ValidateAudioValue(const std::wstring& text, const AudioRange& r) {
    const int64_t v = ReadDecimalInt(text);
    const int64_t low = r.Low();
    Validation result;
    result.Valid =
        v >= low && v <= r.Maximum && (r.Granularity <= 0 || (v - low) % r.Granularity == 0);
    if (result.Valid && r.Granularity > 0) {
        result.Position = static_cast<int32_t>((v - low) / r.Granularity);
    }
    return result;
}

bool IsChangeableAudioFormat(const AudioFormatRecord& f) { return f.FormatTag == 1; }

std::wstring AudioInfoCell(const AudioFormatRecord& f, int row, int column) {
    if (row < 0 || row >= kAudioInfoRows) return std::wstring();
    if (column == 0) return kInfoItems[row];
    if (column != 1) return std::wstring();
    switch (row) {
        case 0:
            return f.SubtypeName;
        case 1:
            return WithUnit(f.MinimumChannels, L"ch");
        case 2:
            return WithUnit(f.MaximumChannels, L"ch");
        case 3:
            return DecimalText(f.ChannelsGranularity);
        case 4:
            return WithUnit(f.MinimumBitsPerSample, L"bit");
        case 5:
            return WithUnit(f.MaximumBitsPerSample, L"bit");
        case 6:
            return DecimalText(f.BitsPerSampleGranularity);
        case 7:
            return WithUnit(f.MinimumSampleFrequency, L"Hz");
        case 8:
            return WithUnit(f.MaximumSampleFrequency, L"Hz");
        default:
            return DecimalText(f.SampleFrequencyGranularity);
    }
}

uint32_t AudioInfoRowColour(int row) { return row % 2 ? Rgb(240, 240, 240) : kWhite; }

AudioProfileLoad LoadAudioProfile(const Profile& profile, size_t formatCount) {
    AudioProfileLoad load;
    load.UseBufferSize = profile.AudioUseBufferSize != 0;
    load.BufferSize = std::clamp(profile.AudioBufferSize, 0, kBufferSizeMaximum);
    const int32_t index = profile.AudioFormatIndex;
    if (index < 0 || static_cast<size_t>(index) >= formatCount) return load;
    load.FormatValid = true;
    load.Format = index;
    load.ChannelsText = DecimalText(profile.AudioFormatChannels);
    load.BitsText = DecimalText(profile.AudioFormatBitsPerSample);
    load.RateText = DecimalText(profile.AudioFormatSamplesPerSec);
    return load;
}

void StoreAudioProfile(const AudioPageState& state, const std::vector<DeviceEntry>& devices,
                       size_t formatCount, Profile& profile) {
    if (state.Device < 1 || state.Device > static_cast<int>(devices.size())) {
        profile.Audio = DeviceInfo{};
        return;
    }
    const DeviceEntry& chosen = devices[static_cast<size_t>(state.Device - 1)];
    profile.Audio = {chosen.FriendlyName, chosen.Description, chosen.DevicePath};
    profile.AudioUseBufferSize = state.UseBufferSize ? 1 : 0;
    profile.AudioBufferSize = std::clamp(state.BufferSize, 0, kBufferSizeMaximum);
    if (formatCount == 0) {
        profile.AudioFormatIndex = -1;
        return;
    }
    profile.AudioFormatIndex = state.Format;
    // The 16-bit fields keep the low bits of what was typed, as the file reader does.
    profile.AudioFormatChannels = static_cast<uint16_t>(ReadDecimalInt(state.ChannelsText));
    profile.AudioFormatBitsPerSample = static_cast<uint16_t>(ReadDecimalInt(state.BitsText));
    profile.AudioFormatSamplesPerSec = ReadDecimalInt(state.RateText);
}

}  // namespace editor
