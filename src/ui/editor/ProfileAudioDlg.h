// CProfileAudioDlg: the editor's "オーディオ出力" page (template 134), a modeless child of the
// frame's tab control. It edits the profile's audio source: the device (an audio capture
// device, or a video capture device with an audio capture pin), one of its capabilities with
// channels, bits and rate inside that capability's ranges, and the playback buffer setting.
//
// A thin window over AudioPageRules, as the video page is over its rules; what the two pages
// share (device combo, value combos, colours, list notifications) is CSourcePage's.
//
// Threads: the editor's thread; the catalogue is asked inside a COM apartment opened for each
// device change. Ownership: the frame owns the page; the page owns its brush and its copies of
// the device list and of the chosen device's description.
#pragma once

#include <array>
#include <vector>

#include "config/Profile.h"
#include "graph/CatalogueRecords.h"
#include "ui/editor/AudioPageRules.h"
#include "ui/editor/PageControls.h"
#include "winfx/VirtualListView.h"

class CProfileAudioDlg : public editor::CSourcePage {
public:
    // FillDevices: "オーディオを出力しない" and then every device's FriendlyName.
    CProfileAudioDlg();

    void Load(const Profile& profile);
    void Store(Profile& profile) const;

    const std::vector<AudioFormatRecord>& Formats() const { return m_formats; }

protected:
    BOOL OnInitDialog() override;
    void OnDeviceChange() override;
    void OnFormatChange() override;
    editor::Validation ValidateValue(int which, const std::wstring& text) const override;
    int32_t ChosenPosition(int which, const std::wstring& entry) const override;
    int32_t Step(int which, editor::ScrollCode code, int32_t thumb, int32_t position,
                 std::wstring& text) const override;
    bool OnOtherCommand(int id, int code) override;

private:
    void ResetBuffer(bool deviceChosen);
    void EnableBufferLength(bool enabled);
    editor::AudioRange Range(editor::AudioValue which) const;

    std::vector<PinEntry> m_pins;
    std::vector<AudioFormatRecord> m_formats;
    AudioFormatRecord m_format;
    int m_lastFormat = kNoneHandled;
    lumoka::CVirtualListView m_pinList;
    lumoka::CVirtualListView m_info;
};
