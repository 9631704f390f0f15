#include "ProbeDevices.h"

#include <cmath>

#include "ProbeOutput.h"
#include "graph/Catalogue.h"

namespace {

const wchar_t* KindName(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::VideoCapture:
            return L"video";
        case DeviceKind::AudioCapture:
            return L"audio";
        case DeviceKind::OtherFilter:
            break;
    }
    return L"filter";
}

void WritePins(const std::vector<PinEntry>& pins) {
    for (size_t i = 0; i < pins.size(); ++i) {
        const PinEntry& p = pins[i];
        WriteLine(L"  pin: " + std::to_wstring(i) + L"\t" + (p.IsInput ? L"in" : L"out") + L"\t" +
                  p.Name + L"\t" + p.Category + L"\t" + p.MajorType);
    }
}

std::wstring FrameRate(int64_t avgTimePerFrame) {
    if (avgTimePerFrame <= 0) return L"-";
    return Hundredths(std::llround(1000000000.0 / static_cast<double>(avgTimePerFrame)));
}

void WriteVideoFormats(const std::vector<VideoFormatEntry>& formats) {
    for (size_t i = 0; i < formats.size(); ++i) {
        const VideoFormatEntry& f = formats[i];
        std::wstring line = L"  format: " + std::to_wstring(i) + L"\t" + f.Record.SubtypeName + L"\t" +
                            std::to_wstring(f.Header.bmiHeader.biWidth) + L"x" +
                            std::to_wstring(f.Header.bmiHeader.biHeight) + L"\t" +
                            FrameRate(f.Header.AvgTimePerFrame) + L"\tstandards:";
        for (const VideoStandardName& s : f.Record.Standards) line += L" " + s.Text;
        line += L"\tcurrent: " + std::to_wstring(f.Record.CurrentStandard);
        WriteLine(line);
    }
}

void WriteAudioFormats(const std::vector<AudioFormatEntry>& formats) {
    for (size_t i = 0; i < formats.size(); ++i) {
        const AudioFormatEntry& f = formats[i];
        WriteLine(L"  format: " + std::to_wstring(i) + L"\t" + f.Record.SubtypeName + L"\t" +
                  std::to_wstring(f.Wave.nChannels) + L"ch\t" +
                  std::to_wstring(f.Wave.wBitsPerSample) + L"bit\t" +
                  std::to_wstring(f.Wave.nSamplesPerSec) + L"Hz");
    }
}

void WriteCrossbar(const wchar_t* which, const CrossbarInfo& info) {
    for (const CrossbarOutput& o : info.Outputs) {
        std::wstring line = std::wstring(L"  ") + which + L" output: " + o.Label + L"\trelated: " +
                            std::to_wstring(o.RelatedIndex) + L"\trouted: " +
                            std::to_wstring(o.RoutedInput) + L"\tinputs:";
        for (const CrossbarInput& in : o.Inputs) line += L" [" + in.Label + L"]";
        WriteLine(line);
    }
    for (const CrossbarInput& in : info.Inputs) {
        WriteLine(std::wstring(L"  ") + which + L" input: " + std::to_wstring(in.Index) + L"\t" +
                  in.Label + L"\trelated: " + std::to_wstring(in.RelatedIndex));
    }
}

void DescribeDevice(const DeviceEntry& d) {
    WriteLine(std::wstring(L"device: ") + KindName(d.Kind) + L"\t" + d.FriendlyName + L"\t" +
              d.DevicePath + L"\t" + d.Description);
    if (d.Kind == DeviceKind::VideoCapture) {
        VideoDeviceRecord record;
        if (!InspectVideoDevice(d, record)) WriteLine(L"  (not inspected)");
        WritePins(record.Pins);
        WriteVideoFormats(record.Formats);
        WriteCrossbar(L"crossbar1", record.FirstCrossbar);
        WriteCrossbar(L"crossbar2", record.SecondCrossbar);
    } else if (d.Kind == DeviceKind::AudioCapture) {
        AudioDeviceRecord record;
        if (!InspectAudioDevice(d, record)) WriteLine(L"  (no audio capture pin)");
        WritePins(record.Pins);
        WriteAudioFormats(record.Formats);
    } else {
        FilterRecord record;
        if (!InspectFilter(d, record)) WriteLine(L"  (not inspected)");
        WritePins(record.Pins);
    }
}

}  // namespace

int RunDevicesCommand() {
    for (DeviceKind kind :
         {DeviceKind::VideoCapture, DeviceKind::AudioCapture, DeviceKind::OtherFilter}) {
        std::vector<DeviceEntry> list;
        if (!EnumDevices(kind, list)) {
            WriteLine(std::wstring(L"category: ") + KindName(kind) + L"\tnone");
            continue;
        }
        WriteLine(std::wstring(L"category: ") + KindName(kind) + L"\t" +
                  std::to_wstring(list.size()));
        for (const DeviceEntry& d : list) DescribeDevice(d);
    }
    return 0;
}
