#include "config/Profile.h"

#include <algorithm>
#include <tuple>

#include "config/IniFile.h"
#include "config/TextFile.h"

const wchar_t* const kVideoProcAmpNames[kVideoProcAmpCount] = {
    L"Brightness",  L"Contrast",     L"Hue",
    L"Saturation",  L"Sharpness",    L"Gamma",
    L"ColorEnable", L"WhiteBalance", L"BacklightCompensation",
    L"Gain"};

namespace {

std::wstring Numbered(const wchar_t* list, size_t n) {
    return std::wstring(list) + L'(' + std::to_wstring(n) + L").";
}

// Visits every field of a profile with its key, in the order the profile file keeps, so that
// reading and writing share one description of the layout.
template <class V>
void VisitDevice(V& v, const std::wstring& prefix, DeviceInfo& device) {
    v(prefix + L"FriendlyName", device.FriendlyName);
    v(prefix + L"DevicePath", device.DevicePath);
    v(prefix + L"Description", device.Description);
}

template <class V>
void VisitFilter(V& v, const std::wstring& prefix, FilterEntry& entry) {
    v(prefix + L"Check", entry.Check);
    v(prefix + L"FriendlyName", entry.Device.FriendlyName);
    v(prefix + L"Description", entry.Device.Description);
    v(prefix + L"DevicePath", entry.Device.DevicePath);
    v(prefix + L"Input", entry.Input);
    v(prefix + L"Output", entry.Output);
}

template <class V>
void VisitRoute(V& v, const std::wstring& prefix, CrossbarRoute& route) {
    v(prefix + L"Output", route.Output);
    v(prefix + L"Input", route.Input);
}

template <class V>
void VisitProfile(V& v, Profile& p) {
    v(L"Name", p.Name);
    VisitDevice(v, L"Video.", p.Video);
    v.List(L"Video.Crossbar", p.VideoCrossbar, VisitRoute<V>);
    v(L"Video.Format.Index", p.VideoFormatIndex);
    v(L"Video.Format.Width", p.VideoFormatWidth);
    v(L"Video.Format.Height", p.VideoFormatHeight);
    v(L"Video.Format.AvgTimePerFrame", p.VideoFormatAvgTimePerFrame);
    v(L"Video.Format.Standard", p.VideoFormatStandard);
    VisitDevice(v, L"Audio.", p.Audio);
    v(L"Audio.UseBufferSize", p.AudioUseBufferSize);
    v(L"Audio.BufferSize", p.AudioBufferSize);
    v(L"Audio.Format.Index", p.AudioFormatIndex);
    v(L"Audio.Format.Channels", p.AudioFormatChannels);
    v(L"Audio.Format.BitsPerSample", p.AudioFormatBitsPerSample);
    v(L"Audio.Format.SamplesPerSec", p.AudioFormatSamplesPerSec);
    v.List(L"Filter.Video", p.FilterVideo, VisitFilter<V>);
    v.List(L"Filter.Audio", p.FilterAudio, VisitFilter<V>);
    v(L"Preview.VideoSync", p.PreviewVideoSync);
    v(L"Preview.AudioSync", p.PreviewAudioSync);
    v(L"Preview.VideoRenderer", p.PreviewVideoRenderer);
    v(L"Preview.AudioRenderer", p.PreviewAudioRenderer);
    v(L"Preview.Transform", p.PreviewTransform);
    v(L"Preview.Transform.Copy", p.PreviewTransformCopy);
    v(L"Preview.Transform.Frame", p.PreviewTransformFrame);
    v(L"Preview.Transform.FieldOrder", p.PreviewTransformFieldOrder);
    v(L"Preview.Transform.FlipVertical", p.PreviewTransformFlipVertical);
    v(L"Preview.Transform.YCExpand", p.PreviewTransformYCExpand);
    v(L"Preview.AudioVolume", p.PreviewAudioVolume);
    v(L"Preview.AspectRatio", p.PreviewAspectRatio);
    v(L"Preview.ProcessPriority", p.PreviewProcessPriority);
    v(L"Preview.Cropping.Top", p.PreviewCropping.top);
    v(L"Preview.Cropping.Left", p.PreviewCropping.left);
    v(L"Preview.Cropping.Right", p.PreviewCropping.right);
    v(L"Preview.Cropping.Bottom", p.PreviewCropping.bottom);
    for (int i = 0; i < kVideoProcAmpCount; ++i) {
        const std::wstring prefix = std::wstring(L"VideoProcAmp.") + kVideoProcAmpNames[i] + L'.';
        v(prefix + L"Value", p.VideoProcAmp[i].Value);
        v(prefix + L"Flags", p.VideoProcAmp[i].Flags);
    }
}

// Reads the keys present in one section; a missing key leaves the field as it is.
class CProfileReader {
public:
    CProfileReader(const CIniFile& ini, const std::wstring& section)
        : m_ini(ini), m_section(section) {}

    void operator()(const std::wstring& key, std::wstring& field) {
        m_ini.GetString(m_section, key, field, field);
    }
    void operator()(const std::wstring& key, int32_t& field) {
        m_ini.GetInt(m_section, key, field, field);
    }
    void operator()(const std::wstring& key, uint16_t& field) {
        uint16_t value = 0;
        if (m_ini.GetShort(m_section, key, value)) field = value;
    }
    void operator()(const std::wstring& key, int64_t& field) {
        int64_t value = 0;
        if (m_ini.GetInt64(m_section, key, value)) field = value;
    }

    // Each entry starts from its defaults. At most kMaxListEntries are read: the count comes
    // from the file, and a damaged one must not make loading allocate without bound.
    template <class T, class Visit>
    void List(const wchar_t* key, std::vector<T>& list, Visit visit) {
        int32_t count = 0;
        m_ini.GetInt(m_section, key, count, 0);
        count = std::clamp(count, 0, kMaxListEntries);
        list.clear();
        list.reserve(static_cast<size_t>(count));
        for (int32_t n = 0; n < count; ++n) {
            T entry;
            visit(*this, Numbered(key, static_cast<size_t>(n)), entry);
            list.push_back(entry);
        }
    }

private:
    const CIniFile& m_ini;
    const std::wstring& m_section;
};

class CProfileWriter {
public:
    CProfileWriter(CIniFile& ini, const std::wstring& section) : m_ini(ini), m_section(section) {}

    void operator()(const std::wstring& key, std::wstring& field) {
        m_ini.SetString(m_section, key, field);
    }
    void operator()(const std::wstring& key, int32_t& field) {
        m_ini.SetInt(m_section, key, field);
    }
    void operator()(const std::wstring& key, uint16_t& field) {
        m_ini.SetShort(m_section, key, field);
    }
    void operator()(const std::wstring& key, int64_t& field) {
        m_ini.SetInt64(m_section, key, field);
    }

    template <class T, class Visit>
    void List(const wchar_t* key, std::vector<T>& list, Visit visit) {
        m_ini.SetInt(m_section, key, static_cast<int32_t>(list.size()));
        for (size_t n = 0; n < list.size(); ++n) visit(*this, Numbered(key, n), list[n]);
    }

private:
    CIniFile& m_ini;
    const std::wstring& m_section;
};

}  // namespace

bool operator==(const DeviceInfo& a, const DeviceInfo& b) {
    return std::tie(a.FriendlyName, a.Description, a.DevicePath) ==
           std::tie(b.FriendlyName, b.Description, b.DevicePath);
}

bool operator==(const CrossbarRoute& a, const CrossbarRoute& b) {
    return a.Output == b.Output && a.Input == b.Input;
}

bool operator==(const FilterEntry& a, const FilterEntry& b) {
    return a.Check == b.Check && a.Device == b.Device && a.Input == b.Input && a.Output == b.Output;
}

bool operator==(const VideoProcAmpSetting& a, const VideoProcAmpSetting& b) {
    return a.Value == b.Value && a.Flags == b.Flags;
}

bool operator==(const CropRect& a, const CropRect& b) {
    return std::tie(a.left, a.top, a.right, a.bottom) == std::tie(b.left, b.top, b.right, b.bottom);
}

bool operator==(const Profile& a, const Profile& b) {
    return std::tie(a.Name, a.Video, a.VideoCrossbar, a.VideoFormatIndex, a.VideoFormatWidth,
                    a.VideoFormatHeight, a.VideoFormatAvgTimePerFrame, a.VideoFormatStandard,
                    a.Audio, a.AudioUseBufferSize, a.AudioBufferSize, a.AudioFormatIndex,
                    a.AudioFormatChannels, a.AudioFormatBitsPerSample, a.AudioFormatSamplesPerSec,
                    a.FilterVideo, a.FilterAudio) ==
               std::tie(b.Name, b.Video, b.VideoCrossbar, b.VideoFormatIndex, b.VideoFormatWidth,
                        b.VideoFormatHeight, b.VideoFormatAvgTimePerFrame, b.VideoFormatStandard,
                        b.Audio, b.AudioUseBufferSize, b.AudioBufferSize, b.AudioFormatIndex,
                        b.AudioFormatChannels, b.AudioFormatBitsPerSample,
                        b.AudioFormatSamplesPerSec, b.FilterVideo, b.FilterAudio) &&
           std::tie(a.PreviewVideoSync, a.PreviewAudioSync, a.PreviewVideoRenderer,
                    a.PreviewAudioRenderer, a.PreviewTransform, a.PreviewTransformCopy,
                    a.PreviewTransformFrame, a.PreviewTransformFieldOrder,
                    a.PreviewTransformFlipVertical, a.PreviewTransformYCExpand,
                    a.PreviewAudioVolume, a.PreviewAspectRatio, a.PreviewProcessPriority,
                    a.PreviewCropping, a.VideoProcAmp) ==
               std::tie(b.PreviewVideoSync, b.PreviewAudioSync, b.PreviewVideoRenderer,
                        b.PreviewAudioRenderer, b.PreviewTransform, b.PreviewTransformCopy,
                        b.PreviewTransformFrame, b.PreviewTransformFieldOrder,
                        b.PreviewTransformFlipVertical, b.PreviewTransformYCExpand,
                        b.PreviewAudioVolume, b.PreviewAspectRatio, b.PreviewProcessPriority,
                        b.PreviewCropping, b.VideoProcAmp);
}

Profile MakeDefaultProfile(int index) {
    Profile profile;
    profile.Name = L"プロファイル" + std::to_wstring(index);
    return profile;
}

std::wstring ProfileSectionName(int index) {
    std::wstring digits = std::to_wstring(index);
    if (digits.size() < 2) digits.insert(digits.begin(), 2 - digits.size(), L'0');
    return L"Profile:" + digits;
}

void ReadProfile(const CIniFile& ini, const std::wstring& section, Profile& profile) {
    CProfileReader reader(ini, section);
    VisitProfile(reader, profile);
}

void WriteProfile(CIniFile& ini, const std::wstring& section, const Profile& profile) {
    Profile copy = profile;  // the visitor walks mutable fields; the writer only reads them
    CProfileWriter writer(ini, section);
    VisitProfile(writer, copy);
}

std::wstring StorableProfileName(const std::wstring& typed, ReadBackFunction readBack) {
    std::wstring name = CIniFile::OneLine(typed);
    std::replace(name.begin(), name.end(), L'=', L'\uFF1D');
    // The encoding may give back an "=" of its own (a nearest-character mapping of "＝"); an
    // ASCII character is put in for it, which every code page gives back as it is.
    name = readBack ? readBack(name) : AsReadBack(name);
    std::replace(name.begin(), name.end(), L'=', L'-');
    return name;
}

void ResetVideoProcAmp(Profile& profile) { profile.VideoProcAmp.fill(VideoProcAmpSetting{}); }
