#include "ui/editor/ProfileAudioDlg.h"

#include <commctrl.h>

#include "graph/Catalogue.h"
#include "ui/editor/PageControls.h"
#include "ui/editor/res/ProfileEditorIds.h"
#include "winfx/DataExchange.h"

using namespace editor;
using lumoka::GetComboSelection;
using lumoka::GetItemText;
using lumoka::SetComboSelection;
using lumoka::SetItemText;

namespace {

constexpr AudioValue kValues[3] = {AudioValue::Channels, AudioValue::Bits, AudioValue::Rate};
constexpr int kBars[3] = {IDC_AUDIO_CHANNELS_BAR, IDC_AUDIO_BITS_BAR, IDC_AUDIO_RATE_BAR};
constexpr int kCombos[3] = {IDC_AUDIO_CHANNELS, IDC_AUDIO_BITS, IDC_AUDIO_RATE};

int Slot(AudioValue which) { return static_cast<int>(which); }
AudioValue ValueAt(int which) { return kValues[which]; }

}  // namespace

CProfileAudioDlg::CProfileAudioDlg()
    : CSourcePage(IDD_PROFILE_AUDIO, L"オーディオを出力しない", IDC_AUDIO_DEVICE, IDC_AUDIO_FORMAT,
                  kCombos, kBars) {
    // Enter and Escape on this page neither confirm nor cancel the editor.
    SetSwallowEnterEscape(true);
    SetLists(&m_pinList, &m_info);
}

BOOL CProfileAudioDlg::OnInitDialog() {
    SetUpPinList(m_pinList, GetItem(IDC_AUDIO_PINS), m_pins);
    m_info.Attach(GetItem(IDC_AUDIO_INFO));
    m_info.AddColumn(L"フォーマット項目", 170);
    m_info.AddColumn(L"値", 140);
    m_info.SetCellText(
        [this](int row, int column) { return AudioInfoCell(m_format, row, column); });
    m_info.SetRowColours([](int row, COLORREF& text, COLORREF& background) {
        text = kBlack;
        background = AudioInfoRowColour(row);
    });
    m_pinList.Enable(false);
    m_info.Enable(false);
    lumoka::SetItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER, false);
    SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_SETRANGE32, 0, kBufferSizeMaximum);
    SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_SETPOS32, 0, kBufferSizeDefault);
    EnableItem(GetHwnd(), IDC_AUDIO_USE_BUFFER, false);
    EnableBufferLength(false);
    for (int i = 0; i < 3; ++i) {
        EnableItem(GetHwnd(), kBars[i], false);
        EnableItem(GetHwnd(), kCombos[i], false);
        RightAlignComboEdit(GetItem(kCombos[i]));
    }
    return TRUE;
}

void CProfileAudioDlg::EnableBufferLength(bool enabled) {
    EnableItem(GetHwnd(), IDC_AUDIO_BUFFER, enabled);
    EnableItem(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, enabled);
}

void CProfileAudioDlg::ResetBuffer(bool deviceChosen) {
    lumoka::SetItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER, false);
    SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_SETPOS32, 0, kBufferSizeDefault);
    EnableItem(GetHwnd(), IDC_AUDIO_USE_BUFFER, deviceChosen);
    EnableBufferLength(false);
}

void CProfileAudioDlg::OnDeviceChange() {
    const int selection = GetComboSelection(GetHwnd(), IDC_AUDIO_DEVICE);
    if (selection == m_lastDevice) return;
    m_lastDevice = selection;
    m_lastFormat = kNoneHandled;
    m_valid = {{true, true, true}};
    m_pins.clear();
    m_formats.clear();
    const bool chosen = selection >= 1 && selection <= static_cast<int>(m_devices.size());
    lumoka::ClearCombo(GetHwnd(), IDC_AUDIO_FORMAT);
    if (chosen) {
        CComScope com;
        AudioDeviceRecord record;
        // A device without an audio capture pin still shows its pins, but no formats.
        InspectAudioDevice(m_devices[static_cast<size_t>(selection - 1)], record);
        m_pins = std::move(record.Pins);
        for (const AudioFormatEntry& f : record.Formats) m_formats.push_back(f.Record);
        if (m_formats.empty()) {
            lumoka::AddComboItem(GetHwnd(), IDC_AUDIO_FORMAT,
                                 L"フィルタからフォーマットを取得できませんでした");
        }
        for (size_t i = 0; i < m_formats.size(); ++i) {
            lumoka::AddComboItem(GetHwnd(), IDC_AUDIO_FORMAT,
                                 AudioFormatText(static_cast<int>(i), m_formats[i]));
        }
        SetComboSelection(GetHwnd(), IDC_AUDIO_FORMAT, 0);
    }
    EnableItem(GetHwnd(), IDC_AUDIO_FORMAT, !m_formats.empty());
    m_pinList.SetCount(static_cast<int>(m_pins.size()));
    m_pinList.Enable(chosen);
    ResetBuffer(chosen);
    OnFormatChange();
}

AudioRange CProfileAudioDlg::Range(AudioValue which) const { return RangeOf(m_format, which); }

void CProfileAudioDlg::OnFormatChange() {
    const int selection = GetComboSelection(GetHwnd(), IDC_AUDIO_FORMAT);
    if (selection == m_lastFormat) return;
    m_lastFormat = selection;
    m_valid = {{true, true, true}};
    const bool chosen = GetComboSelection(GetHwnd(), IDC_AUDIO_DEVICE) >= 1 && selection >= 0 &&
                        selection < static_cast<int>(m_formats.size());
    if (!chosen) {
        m_format = AudioFormatRecord{};
        m_info.SetCount(0);
        m_info.Enable(false);
        for (int i = 0; i < 3; ++i) {
            m_scroll[i] = ScrollSetup{};
            ApplyScroll(GetHwnd(), kBars[i], m_scroll[i]);
            ClearAndDisableCombo(GetHwnd(), kCombos[i]);
        }
        return;
    }
    m_format = m_formats[static_cast<size_t>(selection)];
    m_info.SetCount(kAudioInfoRows);
    m_info.Enable(true);
    const bool changeable = IsChangeableAudioFormat(m_format);
    for (AudioValue which : kValues) {
        const int i = Slot(which);
        const int32_t value = ValueOf(m_format, which);
        FillCombo(GetHwnd(), kCombos[i], DecimalTexts(AudioCandidates(which, value, Range(which))));
        SetItemText(GetHwnd(), kCombos[i], DecimalText(value));
        m_scroll[i] = AudioScroll(value, Range(which));
        if (!changeable) m_scroll[i].Enabled = false;
        ApplyScroll(GetHwnd(), kBars[i], m_scroll[i]);
        // Only PCM capabilities can be changed; the others show their values.
        EnableItem(GetHwnd(), kCombos[i], changeable);
    }
}

Validation CProfileAudioDlg::ValidateValue(int which, const std::wstring& text) const {
    return ValidateAudioValue(text, Range(ValueAt(which)));
}

int32_t CProfileAudioDlg::ChosenPosition(int which, const std::wstring& entry) const {
    const AudioRange range = Range(ValueAt(which));
    if (range.Granularity == 0) return -1;
    return static_cast<int32_t>((static_cast<int64_t>(ReadDecimalInt(entry)) - range.Low()) /
                                range.Granularity);
}

int32_t CProfileAudioDlg::Step(int which, ScrollCode code, int32_t thumb, int32_t position,
                               std::wstring& text) const {
    const int32_t next = NextAudioPosition(code, thumb, position, m_scroll[which]);
    text = DecimalText(AudioValueAt(next, Range(ValueAt(which))));
    return next;
}

bool CProfileAudioDlg::OnOtherCommand(int id, int code) {
    if (id != IDC_AUDIO_USE_BUFFER || code != BN_CLICKED) return false;
    EnableBufferLength(lumoka::IsItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER));
    return true;
}

void CProfileAudioDlg::Load(const Profile& profile) {
    if (SelectDevice(profile.Audio.FriendlyName, profile.Audio.DevicePath) < 0) return;
    const AudioProfileLoad load = LoadAudioProfile(profile, m_formats.size());
    SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_SETPOS32, 0, load.BufferSize);
    lumoka::SetItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER, load.UseBufferSize);
    EnableBufferLength(load.UseBufferSize);
    if (!load.FormatValid) return;
    SetComboSelection(GetHwnd(), IDC_AUDIO_FORMAT, load.Format);
    OnFormatChange();
    const std::wstring* texts[3] = {&load.ChannelsText, &load.BitsText, &load.RateText};
    for (int which = 0; which < kValueCount; ++which) ShowLoadedValue(which, *texts[which]);
}

void CProfileAudioDlg::Store(Profile& profile) const {
    AudioPageState state;
    state.Device = GetComboSelection(GetHwnd(), IDC_AUDIO_DEVICE);
    state.UseBufferSize = lumoka::IsItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER);
    state.BufferSize = static_cast<int32_t>(
        SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_GETPOS32, 0, 0));
    state.Format = GetComboSelection(GetHwnd(), IDC_AUDIO_FORMAT);
    state.ChannelsText = GetItemText(GetHwnd(), IDC_AUDIO_CHANNELS);
    state.BitsText = GetItemText(GetHwnd(), IDC_AUDIO_BITS);
    state.RateText = GetItemText(GetHwnd(), IDC_AUDIO_RATE);
    StoreAudioProfile(state, m_devices, m_formats.size(), profile);
}
