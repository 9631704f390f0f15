// The ten capture profiles and "Profile.ini": defaults, the text written, reading rules, bounds
// and round trips.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "config/Config.h"
#include "config/IniFile.h"
#include "config/TextFile.h"

namespace {

// One default profile section; "#" stands for the index.
const wchar_t kDefaultSection[] =
    L"[Profile:0#]\n"
    L"Name=プロファイル#\n"
    L"Video.FriendlyName=\n"
    L"Video.DevicePath=\n"
    L"Video.Description=\n"
    L"Video.Crossbar=0\n"
    L"Video.Format.Index=0\n"
    L"Video.Format.Width=0\n"
    L"Video.Format.Height=0\n"
    L"Video.Format.AvgTimePerFrame=0\n"
    L"Video.Format.Standard=0\n"
    L"Audio.FriendlyName=\n"
    L"Audio.DevicePath=\n"
    L"Audio.Description=\n"
    L"Audio.UseBufferSize=0\n"
    L"Audio.BufferSize=50\n"
    L"Audio.Format.Index=0\n"
    L"Audio.Format.Channels=0\n"
    L"Audio.Format.BitsPerSample=0\n"
    L"Audio.Format.SamplesPerSec=0\n"
    L"Filter.Video=0\n"
    L"Filter.Audio=0\n"
    L"Preview.VideoSync=1\n"
    L"Preview.AudioSync=1\n"
    L"Preview.VideoRenderer=0\n"
    L"Preview.AudioRenderer=0\n"
    L"Preview.Transform=1\n"
    L"Preview.Transform.Copy=0\n"
    L"Preview.Transform.Frame=0\n"
    L"Preview.Transform.FieldOrder=0\n"
    L"Preview.Transform.FlipVertical=0\n"
    L"Preview.Transform.YCExpand=0\n"
    L"Preview.AudioVolume=100\n"
    L"Preview.AspectRatio=0\n"
    L"Preview.ProcessPriority=3\n"
    L"Preview.Cropping.Top=0\n"
    L"Preview.Cropping.Left=0\n"
    L"Preview.Cropping.Right=0\n"
    L"Preview.Cropping.Bottom=0\n"
    L"VideoProcAmp.Brightness.Value=-2147483648\n"
    L"VideoProcAmp.Brightness.Flags=-2147483648\n"
    L"VideoProcAmp.Contrast.Value=-2147483648\n"
    L"VideoProcAmp.Contrast.Flags=-2147483648\n"
    L"VideoProcAmp.Hue.Value=-2147483648\n"
    L"VideoProcAmp.Hue.Flags=-2147483648\n"
    L"VideoProcAmp.Saturation.Value=-2147483648\n"
    L"VideoProcAmp.Saturation.Flags=-2147483648\n"
    L"VideoProcAmp.Sharpness.Value=-2147483648\n"
    L"VideoProcAmp.Sharpness.Flags=-2147483648\n"
    L"VideoProcAmp.Gamma.Value=-2147483648\n"
    L"VideoProcAmp.Gamma.Flags=-2147483648\n"
    L"VideoProcAmp.ColorEnable.Value=-2147483648\n"
    L"VideoProcAmp.ColorEnable.Flags=-2147483648\n"
    L"VideoProcAmp.WhiteBalance.Value=-2147483648\n"
    L"VideoProcAmp.WhiteBalance.Flags=-2147483648\n"
    L"VideoProcAmp.BacklightCompensation.Value=-2147483648\n"
    L"VideoProcAmp.BacklightCompensation.Flags=-2147483648\n"
    L"VideoProcAmp.Gain.Value=-2147483648\n"
    L"VideoProcAmp.Gain.Flags=-2147483648\n"
    L"\n";

std::wstring DefaultSection(int index) {
    std::wstring text = kDefaultSection;
    for (wchar_t& c : text) {
        if (c == L'#') c = static_cast<wchar_t>(L'0' + index);
    }
    return text;
}

std::wstring ReadText(const std::wstring& path) {
    std::wstring text;
    EXPECT_TRUE(ReadTextFile(path, text));
    return text;
}

// A profile with a value in every field, differing from the defaults.
Profile RichProfile() {
    Profile p = MakeDefaultProfile(3);
    p.Name = L"地デジ チューナー";
    p.Video = DeviceInfo{L"Capture Card", L"PCI video", L"\\\\?\\pci#ven_1234&dev_5678"};
    p.VideoCrossbar = {CrossbarRoute{0, 3}, CrossbarRoute{1, -1}};
    p.VideoFormatIndex = 4;
    p.VideoFormatWidth = 720;
    p.VideoFormatHeight = 480;
    p.VideoFormatAvgTimePerFrame = 333667;
    p.VideoFormatStandard = 0x10;
    p.Audio = DeviceInfo{L"ライン入力", L"", L"@device:cm:{33D9A762}\\Line"};
    p.AudioUseBufferSize = 1;
    p.AudioBufferSize = 80;
    p.AudioFormatIndex = 2;
    p.AudioFormatChannels = 65535;
    p.AudioFormatBitsPerSample = 16;
    p.AudioFormatSamplesPerSec = 48000;
    FilterEntry filter;
    filter.Check = 0;
    filter.Device = DeviceInfo{L"Sharpen", L"desc", L"path"};
    filter.Input = 1;
    filter.Output = 0;
    p.FilterVideo = {filter, FilterEntry{}};
    p.FilterAudio = {filter};
    p.PreviewVideoSync = 0;
    p.PreviewAudioSync = 0;
    p.PreviewVideoRenderer = 2;
    p.PreviewAudioRenderer = 1;
    p.PreviewTransform = 0;
    p.PreviewTransformCopy = 5;
    p.PreviewTransformFrame = 2;
    p.PreviewTransformFieldOrder = 1;
    p.PreviewTransformFlipVertical = 1;
    p.PreviewTransformYCExpand = 2;
    p.PreviewAudioVolume = 37;
    p.PreviewAspectRatio = 100;
    p.PreviewProcessPriority = 5;
    p.PreviewCropping = CropRect{1, 2, 3, 4};
    for (int i = 0; i < kVideoProcAmpCount; ++i) p.VideoProcAmp[i] = VideoProcAmpSetting{i - 5, i};
    return p;
}

CConfig LoadText(CTempFolder& folder, const std::string& bytes) {
    WriteBytes(folder.File("Profile.ini"), bytes);
    CConfig config;
    EXPECT_TRUE(config.LoadProfilesFrom(folder.WideFile("Profile.ini")));
    return config;
}

}  // namespace

TEST(ProfilesTest, MissingOrEmptyFileGivesTenDefaultProfiles) {
    CTempFolder folder;
    CConfig config;
    config.Selected = 4;
    config.LastTab = 2;
    EXPECT_FALSE(config.LoadProfilesFrom(folder.WideFile("none.ini")));
    ASSERT_EQ(config.Profiles.size(), 10u);
    EXPECT_EQ(config.Selected, 0);
    EXPECT_EQ(config.LastTab, 0);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(config.Profiles[i], MakeDefaultProfile(i));
        EXPECT_EQ(config.Profiles[i].Name, L"プロファイル" + std::to_wstring(i));
    }
    const CConfig empty = LoadText(folder, "");
    ASSERT_EQ(empty.Profiles.size(), 10u);
    EXPECT_EQ(empty.Profiles[9], MakeDefaultProfile(9));
}

TEST(ProfilesTest, DefaultFileTextLineByLine) {
    CTempFolder folder;
    CConfig config;
    config.ResetProfiles();
    const std::wstring path = folder.WideFile("Profile.ini");
    ASSERT_TRUE(config.SaveProfilesTo(path));
    std::wstring expectedText = L"[Common]\nFileVersion=4\n\n[Profile]\nSelected=0\nLastTab=0\n\n";
    for (int i = 0; i < 10; ++i) expectedText += DefaultSection(i);
    const std::vector<std::wstring> expected = SplitLines(expectedText);
    const std::vector<std::wstring> lines = SplitLines(ReadText(path));
    ASSERT_EQ(lines.size(), expected.size());
    ASSERT_EQ(lines.size(), 7u + 10u * 60u);
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i;
}

TEST(ProfilesTest, ListEntriesAreWrittenInTheirKeyOrder) {
    CIniFile ini;
    WriteProfile(ini, L"P", RichProfile());
    const std::wstring text = ini.Serialize();
    const wchar_t* const inOrder[] = {
        L"Video.FriendlyName=Capture Card\n",
        L"Video.DevicePath=\\\\?\\pci#ven_1234&dev_5678\n",
        L"Video.Description=PCI video\n",
        L"Video.Crossbar=2\nVideo.Crossbar(0).Output=0\nVideo.Crossbar(0).Input=3\n"
        L"Video.Crossbar(1).Output=1\nVideo.Crossbar(1).Input=-1\nVideo.Format.Index=4\n",
        L"Video.Format.AvgTimePerFrame=333667\n",
        L"Audio.Format.Channels=65535\n",
        L"Filter.Video=2\nFilter.Video(0).Check=0\nFilter.Video(0).FriendlyName=Sharpen\n"
        L"Filter.Video(0).Description=desc\nFilter.Video(0).DevicePath=path\n"
        L"Filter.Video(0).Input=1\nFilter.Video(0).Output=0\nFilter.Video(1).Check=1\n",
        L"Filter.Video(1).Output=-1\nFilter.Audio=1\nFilter.Audio(0).Check=0\n",
        L"Preview.Cropping.Top=2\nPreview.Cropping.Left=1\nPreview.Cropping.Right=3\n"
        L"Preview.Cropping.Bottom=4\n",
        L"VideoProcAmp.Brightness.Value=-5\nVideoProcAmp.Brightness.Flags=0\n",
        L"VideoProcAmp.Gain.Value=4\nVideoProcAmp.Gain.Flags=9\n\n",
    };
    size_t at = 0;
    for (const wchar_t* piece : inOrder) {
        const size_t found = text.find(piece, at);
        ASSERT_NE(found, std::wstring::npos) << std::string(piece, piece + wcslen(piece));
        at = found;
    }
}

TEST(ProfilesTest, SaveThenLoadGivesTheSameProfiles) {
    CTempFolder folder;
    CConfig config;
    config.ResetProfiles();
    config.Selected = 7;
    config.LastTab = 3;
    config.Profiles[3] = RichProfile();
    config.Profiles[9].VideoFormatAvgTimePerFrame = -1;
    config.Profiles[9].Name = L"";
    const std::wstring path = folder.WideFile("Profile.ini");
    ASSERT_TRUE(config.SaveProfilesTo(path));

    CConfig loaded;
    ASSERT_TRUE(loaded.LoadProfilesFrom(path));
    EXPECT_EQ(loaded.Selected, 7);
    EXPECT_EQ(loaded.LastTab, 3);
    ASSERT_EQ(loaded.Profiles.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(loaded.Profiles[i] == config.Profiles[i]) << i;
    // An empty stored name stays empty: the default applies only to a missing key.
    EXPECT_EQ(loaded.Profiles[9].Name, L"");
}

TEST(ProfilesTest, FileVersionBelowFourResetsTheDeinterlaceMode) {
    CTempFolder folder;
    const std::string profiles =
        "[Profile:00]\nPreview.Transform.Copy=3\nPreview.Transform.Frame=2\n"
        "[Profile:05]\nPreview.Transform.Copy=6\n";
    const CConfig old = LoadText(folder, "[Common]\nFileVersion=3\n" + profiles);
    EXPECT_EQ(old.Profiles[0].PreviewTransformCopy, 0);
    EXPECT_EQ(old.Profiles[0].PreviewTransformFrame, 2);
    EXPECT_EQ(old.Profiles[5].PreviewTransformCopy, 0);

    const CConfig unversioned = LoadText(folder, profiles);
    EXPECT_EQ(unversioned.Profiles[0].PreviewTransformCopy, 3);
    EXPECT_EQ(unversioned.Profiles[5].PreviewTransformCopy, 6);

    const CConfig current = LoadText(folder, "[Common]\nFileVersion=4\n" + profiles);
    EXPECT_EQ(current.Profiles[5].PreviewTransformCopy, 6);
}

TEST(ProfilesTest, ListEntriesWithMissingKeysTakeTheirDefaults) {
    CTempFolder folder;
    const CConfig config = LoadText(folder,
                                    "[Profile:01]\n"
                                    "Video.Crossbar=2\n"
                                    "Video.Crossbar(0).Output=4\n"
                                    "Filter.Video=1\n"
                                    "Filter.Audio=-3\n"
                                    "Filter.Audio(0).Check=0\n");
    const Profile& p = config.Profiles[1];
    ASSERT_EQ(p.VideoCrossbar.size(), 2u);
    EXPECT_EQ(p.VideoCrossbar[0].Output, 4);
    EXPECT_EQ(p.VideoCrossbar[0].Input, -1);
    EXPECT_EQ(p.VideoCrossbar[1].Output, -1);
    EXPECT_EQ(p.VideoCrossbar[1].Input, -1);
    ASSERT_EQ(p.FilterVideo.size(), 1u);
    EXPECT_EQ(p.FilterVideo[0].Check, 1);
    EXPECT_TRUE(p.FilterVideo[0].Device.IsEmpty());
    EXPECT_EQ(p.FilterVideo[0].Input, -1);
    EXPECT_EQ(p.FilterVideo[0].Output, -1);
    EXPECT_TRUE(p.FilterAudio.empty());
}

TEST(ProfilesTest, HugeListCountsAreBounded) {
    CTempFolder folder;
    std::string text = "[Profile:02]\nVideo.Crossbar=2147483647\nFilter.Video=5000\n";
    text += "Video.Crossbar(1023).Output=7\nVideo.Crossbar(1024).Output=8\n";
    text += "Filter.Video(1024).Check=0\n";
    const CConfig config = LoadText(folder, text);
    const Profile& p = config.Profiles[2];
    ASSERT_EQ(p.VideoCrossbar.size(), static_cast<size_t>(kMaxListEntries));
    EXPECT_EQ(p.VideoCrossbar[1023].Output, 7);
    ASSERT_EQ(p.FilterVideo.size(), 1024u);
    EXPECT_EQ(p.FilterVideo[1023].Check, 1);
    EXPECT_TRUE(config.Profiles[3].VideoCrossbar.empty());
}

TEST(ProfilesTest, SectionsBeyondNineAreIgnoredAndNotWrittenBack) {
    CTempFolder folder;
    CConfig config = LoadText(folder,
                              "[Profile:10]\nName=eleventh\n"
                              "[Profile:9]\nName=one digit\n"
                              "[Profile:09]\nName=tenth\nUnknown.Key=1\n"
                              "[Other]\nX=1\n");
    ASSERT_EQ(config.Profiles.size(), 10u);
    EXPECT_EQ(config.Profiles[9].Name, L"tenth");
    ASSERT_TRUE(config.SaveProfilesTo(folder.WideFile("Profile.ini")));
    const std::string bytes = ReadBytes(folder.File("Profile.ini"));
    EXPECT_EQ(bytes.find("Profile:10"), std::string::npos);
    EXPECT_EQ(bytes.find("eleventh"), std::string::npos);
    EXPECT_EQ(bytes.find("[Profile:9]"), std::string::npos);
    EXPECT_EQ(bytes.find("Unknown.Key"), std::string::npos);
    EXPECT_EQ(bytes.find("[Other]"), std::string::npos);
}

TEST(ProfilesTest, NumbersReadWithTheirOwnWidths) {
    CTempFolder folder;
    const CConfig config = LoadText(folder,
                                    "[Profile]\nSelected=12\nLastTab=-1\n"
                                    "[Profile:00]\n"
                                    "Audio.Format.Channels=65537\n"
                                    "Audio.Format.BitsPerSample=x\n"
                                    "Audio.BufferSize=\n"
                                    "Video.Format.AvgTimePerFrame=18446744073709551615\n"
                                    "Preview.AudioVolume=abc\n"
                                    "VideoProcAmp.Hue.Value=-2147483648\n"
                                    "VideoProcAmp.Hue.Flags=2\n");
    const Profile& p = config.Profiles[0];
    EXPECT_EQ(p.AudioFormatChannels, 1);
    EXPECT_EQ(p.AudioFormatBitsPerSample, 0);
    EXPECT_EQ(p.AudioBufferSize, 0);     // present but not a number: 0, not 50
    EXPECT_EQ(p.PreviewAudioVolume, 0);  // likewise, not 100
    EXPECT_EQ(p.VideoFormatAvgTimePerFrame, -1);
    EXPECT_EQ(p.VideoProcAmp[2].Value, kNotSet);
    EXPECT_EQ(p.VideoProcAmp[2].Flags, 2);
    // Selected and LastTab are kept as stored; no profile is selected then.
    EXPECT_EQ(config.Selected, 12);
    EXPECT_EQ(config.LastTab, -1);
}

TEST(ProfilesTest, SelectedProfileOnlyInsideTheList) {
    CConfig config;
    EXPECT_EQ(config.SelectedProfile(), nullptr);  // nothing loaded yet
    config.ResetProfiles();
    for (int selected : {-1, 10, INT32_MIN}) {
        config.Selected = selected;
        EXPECT_EQ(config.SelectedProfile(), nullptr) << selected;
    }
    config.Selected = 9;
    ASSERT_NE(config.SelectedProfile(), nullptr);
    EXPECT_EQ(config.SelectedProfile()->Name, L"プロファイル9");
    config.SelectedProfile()->PreviewAudioVolume = 12;
    EXPECT_EQ(config.Profiles[9].PreviewAudioVolume, 12);
}

TEST(ProfilesTest, ResettingTheVideoSignalMarksEveryPropertyNotSet) {
    Profile p = RichProfile();
    ResetVideoProcAmp(p);
    for (const VideoProcAmpSetting& setting : p.VideoProcAmp) {
        EXPECT_EQ(setting.Value, kNotSet);
        EXPECT_EQ(setting.Flags, kNotSet);
    }
    EXPECT_EQ(kNotSet, static_cast<int32_t>(0x80000000u));
    EXPECT_EQ(p.PreviewCropping, RichProfile().PreviewCropping);
}

// A code page without "＝" whose nearest character for it is "=".
std::wstring NearestEquals(const std::wstring& text) {
    std::wstring out = text;
    for (wchar_t& c : out) c = c == L'\uFF1D' ? L'=' : c;
    return out;
}

TEST(ProfilesTest, TypedNamesAreStoredAsTheFileGivesThemBack) {
    const std::wstring thousand(1000, L'名');
    const struct Row {
        std::wstring typed, stored;
    } rows[] = {
        {L"地デジ チューナー", L"地デジ チューナー"},
        {L"", L""},
        {L"  spaced  ", L"  spaced  "},
        {L"two\r\nlines", L"two lines"},
        {L"\r\npasted\r\n", L"pasted"},
        {L"tab\there\x1a"
         L"end",
         L"tab here end"},
        {L"\x85\x7f", L""},
        {L"a=b", L"a＝b"},
        {L"=", L"＝"},
        {L"[Profile:05]", L"[Profile:05]"},
        {L"]x[", L"]x["},
        {L"Name=x\n[Profile:01]\nName=y", L"Name＝x [Profile:01] Name＝y"},
        {thousand, thousand},
    };
    for (const Row& r : rows) {
        const std::wstring stored = StorableProfileName(r.typed);
        EXPECT_EQ(stored, r.stored) << testing::PrintToString(r.typed);
        EXPECT_EQ(StorableProfileName(stored), stored);
        // Through the profile file and back, with a profile after it to be disturbed.
        CConfig config;
        config.ResetProfiles();
        config.Profiles[0].Name = stored;
        CConfig loaded;
        loaded.LoadProfilesFromText(config.ProfilesText());
        EXPECT_EQ(loaded.Profiles[0].Name, stored) << testing::PrintToString(r.typed);
        EXPECT_TRUE(loaded.Profiles[1] == config.Profiles[1]);
    }
    EXPECT_EQ(StorableProfileName(L"a=b\n", NearestEquals), L"a-b");
    EXPECT_EQ(StorableProfileName(L"a-b", NearestEquals), L"a-b");
}
