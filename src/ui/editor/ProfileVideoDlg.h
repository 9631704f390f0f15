// CProfileVideoDlg: the editor's "ビデオ出力" page (template 133), a modeless child of the
// frame's tab control. It edits the profile's video source: the device, its crossbar routes,
// the format, output size, frame rate and analogue standard. For the chosen device it shows
// the pins and the chosen format's details from the catalogue.
//
// The page is a thin window over VideoPageRules: candidates, scroll set-up and steps,
// validation, cell texts, and loading and storing the profile's fields are computed there;
// this class only moves values between the controls and those rules. What it shares with the
// audio page (device combo, value combos, colours, list notifications) is CSourcePage's.
//
// Threads: the editor's thread; the catalogue is asked inside a COM apartment opened for each
// device change. Ownership: the frame owns the page; the page owns its brush and its copy of
// the device list and of the chosen device's description.
#pragma once

#include <array>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/PageControls.h"
#include "ui/editor/VideoPageRules.h"
#include "winfx/VirtualListView.h"

class CProfileVideoDlg : public editor::CSourcePage {
public:
    // FillDevices: "ビデオを出力しない" and then every device's FriendlyName.
    CProfileVideoDlg();

    void Load(const Profile& profile);
    void Store(Profile& profile) const;

    // For tests: what the page shows of the chosen device.
    const editor::VideoDeviceView& DeviceView() const { return m_view; }

protected:
    BOOL OnInitDialog() override;
    void OnDeviceChange() override;
    void OnFormatChange() override;
    editor::Validation ValidateValue(int which, const std::wstring& text) const override;
    int32_t ChosenPosition(int which, const std::wstring& entry) const override;
    int32_t Step(int which, editor::ScrollCode code, int32_t thumb, int32_t position,
                 std::wstring& text) const override;

private:
    enum Value { kWidth = 0, kHeight = 1, kRate = 2 };

    void ClearFormatControls();
    void FillCrossbarRows();
    void SetUpSize(Value which, int32_t current, int32_t minimum, int32_t maximum,
                   int32_t granularity);
    void SetUpRate();
    void SetUpStandards();

    editor::VideoDeviceView m_view;
    VideoFormatRecord m_format;
    int m_lastFormat = -1;
    lumoka::CVirtualListView m_pins;
    lumoka::CVirtualListView m_info;
};
