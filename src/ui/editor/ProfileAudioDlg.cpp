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

constexpr int kNoneHandled = 2147483647;  // the next selection always counts as a change
constexpr AudioValue kValues[3] = {AudioValue::Channels, AudioValue::Bits, AudioValue::Rate};
constexpr int kBars[3] = {IDC_AUDIO_CHANNELS_BAR, IDC_AUDIO_BITS_BAR, IDC_AUDIO_RATE_BAR};
constexpr int kCombos[3] = {IDC_AUDIO_CHANNELS, IDC_AUDIO_BITS, IDC_AUDIO_RATE};

int Slot(AudioValue which) { return static_cast<int>(which); }

}  // namespace

CProfileAudioDlg::CProfileAudioDlg()
    : CDialog(IDD_PROFILE_AUDIO), m_invalidBrush(::CreateSolidBrush(kInvalidBackground)) {
    // Enter and Escape on this page neither confirm nor cancel the editor.
    SetSwallowEnterEscape(true);
}

BOOL CProfileAudioDlg::OnInitDialog() {
    m_pinList.Attach(GetItem(IDC_AUDIO_PINS));
    m_pinList.AddColumn(L"方向", 50);
    m_pinList.AddColumn(L"ピン名", 100);
    m_pinList.AddColumn(L"ピンカテゴリ", 100);
    m_pinList.AddColumn(L"メディアタイプ", 95);
    m_pinList.SetCellText([this](int row, int column) {
        return row < static_cast<int>(m_pins.size()) ? PinCellText(m_pins[row], column)
                                                     : std::wstring();
    });
    m_pinList.SetRowColours([this](int row, COLORREF& text, COLORREF& background) {
        text = kBlack;
        background = row < static_cast<int>(m_pins.size()) ? PinRowColour(m_pins[row]) : kWhite;
    });
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

void CProfileAudioDlg::FillDevices(const std::vector<DeviceEntry>& devices) {
    m_devices = devices;
    lumoka::ClearCombo(GetHwnd(), IDC_AUDIO_DEVICE);
    lumoka::AddComboItem(GetHwnd(), IDC_AUDIO_DEVICE, L"オーディオを出力しない");
    for (const DeviceEntry& d : m_devices) {
        lumoka::AddComboItem(GetHwnd(), IDC_AUDIO_DEVICE, d.FriendlyName);
    }
    SetComboSelection(GetHwnd(), IDC_AUDIO_DEVICE, 0);
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

void CProfileAudioDlg::Validate(AudioValue which, const std::wstring& text) {
    const int i = Slot(which);
    const Validation v = ValidateAudioValue(text, Range(which));
    m_valid[i] = v.Valid;
    if (v.Valid && v.Position >= 0 && m_scroll[i].Enabled)
        SetBarPosition(GetHwnd(), kBars[i], v.Position);
    RepaintCombo(GetHwnd(), kCombos[i]);
}

void CProfileAudioDlg::OnValueTyped(AudioValue which) {
    Validate(which, GetItemText(GetHwnd(), kCombos[Slot(which)]));
}

void CProfileAudioDlg::OnValueChosen(AudioValue which) {
    const int i = Slot(which);
    const int selection = GetComboSelection(GetHwnd(), kCombos[i]);
    if (selection < 0) return;
    const AudioRange range = Range(which);
    if (m_scroll[i].Enabled && range.Granularity != 0) {
        const int32_t value = ReadDecimalInt(ComboItemText(GetHwnd(), kCombos[i], selection));
        SetBarPosition(GetHwnd(), kBars[i], (value - range.Low()) / range.Granularity);
    }
    m_valid[i] = true;
    RepaintCombo(GetHwnd(), kCombos[i]);
}

bool CProfileAudioDlg::OnHScroll(HWND scrollBar, int code, int position) {
    for (AudioValue which : kValues) {
        const int i = Slot(which);
        if (scrollBar != GetItem(kBars[i])) continue;
        const int32_t next = NextAudioPosition(ScrollCodeFrom(code), position,
                                               GetBarPosition(GetHwnd(), kBars[i]), m_scroll[i]);
        SetBarPosition(GetHwnd(), kBars[i], next);
        SetItemText(GetHwnd(), kCombos[i], DecimalText(AudioValueAt(next, Range(which))));
        m_valid[i] = true;
        RepaintCombo(GetHwnd(), kCombos[i]);
        return true;
    }
    return false;
}

bool CProfileAudioDlg::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_AUDIO_DEVICE && code == CBN_SELCHANGE) {
        OnDeviceChange();
        return true;
    }
    if (id == IDC_AUDIO_FORMAT && code == CBN_SELCHANGE) {
        OnFormatChange();
        return true;
    }
    if (id == IDC_AUDIO_USE_BUFFER && code == BN_CLICKED) {
        EnableBufferLength(lumoka::IsItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER));
        return true;
    }
    for (AudioValue which : kValues) {
        if (id != kCombos[Slot(which)]) continue;
        if (code == CBN_EDITCHANGE) OnValueTyped(which);
        if (code == CBN_SELCHANGE) OnValueChosen(which);
        return code == CBN_EDITCHANGE || code == CBN_SELCHANGE;
    }
    return false;
}

LRESULT CProfileAudioDlg::OnNotify(WPARAM, LPARAM lParam) {
    const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
    LRESULT result = 0;
    if (m_pinList.HandleNotify(header, result) || m_info.HandleNotify(header, result)) {
        return result;
    }
    return 0;
}

HBRUSH CProfileAudioDlg::OnCtlColor(UINT msg, HDC dc, HWND control) {
    if (msg != WM_CTLCOLOREDIT) return nullptr;
    for (int i = 0; i < 3; ++i) {
        if (!m_valid[i] && IsComboOrItsEdit(control, GetItem(kCombos[i]))) {
            ::SetTextColor(dc, kBlack);
            ::SetBkColor(dc, kInvalidBackground);
            return static_cast<HBRUSH>(m_invalidBrush.Get());
        }
    }
    return nullptr;
}

void CProfileAudioDlg::Load(const Profile& profile) {
    const int index =
        FindDeviceEntry(m_devices, profile.Audio.FriendlyName, profile.Audio.DevicePath);
    SetComboSelection(GetHwnd(), IDC_AUDIO_DEVICE, index + 1);
    // Always describe the device afresh, so nothing of the profile shown before stays.
    m_lastDevice = kNoneHandled;
    OnDeviceChange();
    if (index < 0) return;
    const AudioProfileLoad load = LoadAudioProfile(profile, m_formats.size());
    SendDlgItemMessageW(GetHwnd(), IDC_AUDIO_BUFFER_SPIN, UDM_SETPOS32, 0, load.BufferSize);
    lumoka::SetItemChecked(GetHwnd(), IDC_AUDIO_USE_BUFFER, load.UseBufferSize);
    EnableBufferLength(load.UseBufferSize);
    if (!load.FormatValid) return;
    SetComboSelection(GetHwnd(), IDC_AUDIO_FORMAT, load.Format);
    OnFormatChange();
    const std::wstring* texts[3] = {&load.ChannelsText, &load.BitsText, &load.RateText};
    for (AudioValue which : kValues) {
        SetItemText(GetHwnd(), kCombos[Slot(which)], *texts[Slot(which)]);
        Validate(which, *texts[Slot(which)]);
    }
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
