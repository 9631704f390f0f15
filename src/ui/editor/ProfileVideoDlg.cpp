#include "ui/editor/ProfileVideoDlg.h"

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

constexpr int kBars[3] = {IDC_VIDEO_WIDTH_BAR, IDC_VIDEO_HEIGHT_BAR, IDC_VIDEO_RATE_BAR};
constexpr int kCombos[3] = {IDC_VIDEO_WIDTH, IDC_VIDEO_HEIGHT, IDC_VIDEO_RATE};
constexpr int kCrossbarOutputs[kCrossbarRows] = {IDC_VIDEO_XBAR_OUT1, IDC_VIDEO_XBAR_OUT2,
                                                 IDC_VIDEO_XBAR_OUT3, IDC_VIDEO_XBAR_OUT4};
constexpr int kCrossbarInputs[kCrossbarRows] = {IDC_VIDEO_XBAR_IN1, IDC_VIDEO_XBAR_IN2,
                                                IDC_VIDEO_XBAR_IN3, IDC_VIDEO_XBAR_IN4};

}  // namespace

CProfileVideoDlg::CProfileVideoDlg()
    : CSourcePage(IDD_PROFILE_VIDEO, L"ビデオを出力しない", IDC_VIDEO_DEVICE, IDC_VIDEO_FORMAT,
                  kCombos, kBars) {
    SetLists(&m_pins, &m_info);
}

BOOL CProfileVideoDlg::OnInitDialog() {
    SetUpPinList(m_pins, GetItem(IDC_VIDEO_PINS), m_view.Pins);
    m_info.Attach(GetItem(IDC_VIDEO_INFO));
    m_info.AddColumn(L"フォーマット項目", 120);
    m_info.AddColumn(L"値", 190);
    m_info.SetCellText(
        [this](int row, int column) { return VideoInfoCell(m_format, row, column); });
    m_pins.Enable(false);
    m_info.Enable(false);
    for (int i = 0; i < kValueCount; ++i) {
        EnableItem(GetHwnd(), kCombos[i], false);
        EnableItem(GetHwnd(), kBars[i], false);
    }
    EnableItem(GetHwnd(), IDC_VIDEO_STANDARD, false);
    return TRUE;
}

void CProfileVideoDlg::OnDeviceChange() {
    const int selection = GetComboSelection(GetHwnd(), IDC_VIDEO_DEVICE);
    if (selection == m_lastDevice) return;
    m_lastDevice = selection;
    m_lastFormat = kNoneHandled;
    m_valid = {{true, true, true}};
    m_view = VideoDeviceView{};
    const bool chosen = selection >= 1 && selection <= static_cast<int>(m_devices.size());
    if (chosen) {
        CComScope com;
        VideoDeviceRecord record;
        InspectVideoDevice(m_devices[static_cast<size_t>(selection - 1)], record);
        m_view.Pins = std::move(record.Pins);
        for (const VideoFormatEntry& f : record.Formats) m_view.Formats.push_back(f.Record);
        m_view.CrossbarOutputs = std::move(record.FirstCrossbar.Outputs);
    }
    m_pins.SetCount(static_cast<int>(m_view.Pins.size()));
    m_pins.Enable(chosen);
    lumoka::ClearCombo(GetHwnd(), IDC_VIDEO_FORMAT);
    if (chosen && m_view.Formats.empty()) {
        lumoka::AddComboItem(GetHwnd(), IDC_VIDEO_FORMAT,
                             L"フィルタからフォーマットを取得できませんでした");
    }
    for (size_t i = 0; i < m_view.Formats.size(); ++i) {
        lumoka::AddComboItem(GetHwnd(), IDC_VIDEO_FORMAT,
                             VideoFormatText(static_cast<int>(i), m_view.Formats[i]));
    }
    if (chosen) SetComboSelection(GetHwnd(), IDC_VIDEO_FORMAT, 0);
    EnableItem(GetHwnd(), IDC_VIDEO_FORMAT, !m_view.Formats.empty());
    OnFormatChange();
    FillCrossbarRows();
}

void CProfileVideoDlg::FillCrossbarRows() {
    for (size_t row = 0; row < kCrossbarRows; ++row) {
        const bool shown = row < m_view.CrossbarOutputs.size();
        SetItemText(GetHwnd(), kCrossbarOutputs[row],
                    shown ? m_view.CrossbarOutputs[row].Label : std::wstring());
        EnableItem(GetHwnd(), kCrossbarOutputs[row], shown);
        lumoka::ClearCombo(GetHwnd(), kCrossbarInputs[row]);
        EnableItem(GetHwnd(), kCrossbarInputs[row], shown);
        if (!shown) continue;
        const CrossbarOutput& output = m_view.CrossbarOutputs[row];
        for (const CrossbarInput& input : output.Inputs) {
            lumoka::AddComboItem(GetHwnd(), kCrossbarInputs[row], input.Label);
        }
        SetComboSelection(GetHwnd(), kCrossbarInputs[row], RoutedCandidate(output));
    }
}

void CProfileVideoDlg::OnFormatChange() {
    const int selection = GetComboSelection(GetHwnd(), IDC_VIDEO_FORMAT);
    if (selection == m_lastFormat) return;
    m_lastFormat = selection;
    m_valid = {{true, true, true}};
    if (selection < 0 || selection >= static_cast<int>(m_view.Formats.size())) {
        ClearFormatControls();
        return;
    }
    m_format = m_view.Formats[static_cast<size_t>(selection)];
    m_info.SetCount(kVideoInfoRows);
    m_info.Enable(true);
    SetUpSize(kWidth, m_format.InputWidth, m_format.MinOutputWidth, m_format.MaxOutputWidth,
              m_format.OutputGranularityX);
    SetUpSize(kHeight, m_format.InputHeight, m_format.MinOutputHeight, m_format.MaxOutputHeight,
              m_format.OutputGranularityY);
    SetUpRate();
    SetUpStandards();
}

void CProfileVideoDlg::ClearFormatControls() {
    m_format = VideoFormatRecord{};
    m_info.SetCount(0);
    m_info.Enable(false);
    for (int i = 0; i < kValueCount; ++i) {
        m_scroll[i] = ScrollSetup{};
        ApplyScroll(GetHwnd(), kBars[i], m_scroll[i]);
        ClearAndDisableCombo(GetHwnd(), kCombos[i]);
    }
    ClearAndDisableCombo(GetHwnd(), IDC_VIDEO_STANDARD);
}

void CProfileVideoDlg::SetUpSize(Value which, int32_t current, int32_t minimum, int32_t maximum,
                                 int32_t granularity) {
    FillCombo(GetHwnd(), kCombos[which],
              DecimalTexts(SizeCandidates(current, minimum, maximum, granularity)));
    SetItemText(GetHwnd(), kCombos[which], DecimalText(current));
    EnableItem(GetHwnd(), kCombos[which], true);
    m_scroll[which] = SizeScroll(current, minimum, maximum, granularity);
    ApplyScroll(GetHwnd(), kBars[which], m_scroll[which]);
}

void CProfileVideoDlg::SetUpRate() {
    std::vector<std::wstring> texts;
    for (int32_t r : FrameRateCandidates(m_format.AvgTimePerFrame, m_format.MinFrameInterval,
                                         m_format.MaxFrameInterval)) {
        texts.push_back(HundredthsText(r));
    }
    FillCombo(GetHwnd(), IDC_VIDEO_RATE, texts);
    SetItemText(GetHwnd(), IDC_VIDEO_RATE, RateText(m_format.AvgTimePerFrame));
    EnableItem(GetHwnd(), IDC_VIDEO_RATE, true);
    m_scroll[kRate] =
        RateScroll(m_format.AvgTimePerFrame, m_format.MinFrameInterval, m_format.MaxFrameInterval);
    ApplyScroll(GetHwnd(), IDC_VIDEO_RATE_BAR, m_scroll[kRate]);
}

void CProfileVideoDlg::SetUpStandards() {
    lumoka::ClearCombo(GetHwnd(), IDC_VIDEO_STANDARD);
    int chosen = 0;
    for (size_t i = 0; i < m_format.Standards.size(); ++i) {
        lumoka::AddComboItem(GetHwnd(), IDC_VIDEO_STANDARD, m_format.Standards[i].Text);
        if (static_cast<int32_t>(m_format.Standards[i].Bit) == m_format.CurrentStandard) {
            chosen = static_cast<int>(i);
        }
    }
    SetComboSelection(GetHwnd(), IDC_VIDEO_STANDARD, m_format.Standards.empty() ? -1 : chosen);
    EnableItem(GetHwnd(), IDC_VIDEO_STANDARD, !m_format.Standards.empty());
}

Validation CProfileVideoDlg::ValidateValue(int which, const std::wstring& text) const {
    if (which == kWidth) {
        return ValidateSize(text, m_format.MinOutputWidth, m_format.MaxOutputWidth,
                            m_format.OutputGranularityX);
    }
    if (which == kHeight) {
        return ValidateSize(text, m_format.MinOutputHeight, m_format.MaxOutputHeight,
                            m_format.OutputGranularityY);
    }
    return ValidateRate(text, m_format.MinFrameInterval, m_format.MaxFrameInterval);
}

int32_t CProfileVideoDlg::ChosenPosition(int which, const std::wstring& entry) const {
    if (which == kRate) return RatePositionOf(entry);
    return which == kWidth
               ? SizePositionOf(entry, m_format.MinOutputWidth, m_format.OutputGranularityX)
               : SizePositionOf(entry, m_format.MinOutputHeight, m_format.OutputGranularityY);
}

int32_t CProfileVideoDlg::Step(int which, ScrollCode code, int32_t thumb, int32_t position,
                               std::wstring& text) const {
    const ScrollSetup& setup = m_scroll[which];
    if (which == kRate) {
        const int32_t next = NextRatePosition(code, thumb, position, setup);
        text = HundredthsText(next);
        return next;
    }
    const int32_t next = NextSizePosition(code, thumb, position, setup);
    text = which == kWidth
               ? DecimalText(SizeAt(next, m_format.MinOutputWidth, m_format.OutputGranularityX))
               : DecimalText(SizeAt(next, m_format.MinOutputHeight, m_format.OutputGranularityY));
    return next;
}

void CProfileVideoDlg::Load(const Profile& profile) {
    if (SelectDevice(profile.Video.FriendlyName, profile.Video.DevicePath) < 0) return;
    const VideoProfileLoad load = LoadVideoProfile(profile, m_view);
    for (int row = 0; row < kCrossbarRows; ++row) {
        if (load.Crossbar[row] >= 0)
            SetComboSelection(GetHwnd(), kCrossbarInputs[row], load.Crossbar[row]);
    }
    if (!load.FormatValid) return;
    SetComboSelection(GetHwnd(), IDC_VIDEO_FORMAT, load.Format);
    OnFormatChange();
    ShowLoadedValue(kWidth, load.WidthText);
    ShowLoadedValue(kHeight, load.HeightText);
    ShowLoadedValue(kRate, load.RateText);
    if (load.Standard >= 0) SetComboSelection(GetHwnd(), IDC_VIDEO_STANDARD, load.Standard);
}

void CProfileVideoDlg::Store(Profile& profile) const {
    VideoPageState state;
    state.Device = GetComboSelection(GetHwnd(), IDC_VIDEO_DEVICE);
    for (int row = 0; row < kCrossbarRows; ++row) {
        state.Crossbar[row] = GetComboSelection(GetHwnd(), kCrossbarInputs[row]);
    }
    state.Format = GetComboSelection(GetHwnd(), IDC_VIDEO_FORMAT);
    state.WidthText = GetItemText(GetHwnd(), IDC_VIDEO_WIDTH);
    state.HeightText = GetItemText(GetHwnd(), IDC_VIDEO_HEIGHT);
    state.RateText = GetItemText(GetHwnd(), IDC_VIDEO_RATE);
    state.Standard = GetComboSelection(GetHwnd(), IDC_VIDEO_STANDARD);
    StoreVideoProfile(state, m_devices, m_view, profile);
}
