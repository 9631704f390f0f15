// CProfileAudioDlg: the editor's "オーディオ出力" page (template 134), a modeless child of the
// frame's tab control. It edits the profile's audio source: the device (an audio capture
// device, or a video capture device with an audio capture pin), one of its capabilities with
// channels, bits and rate inside that capability's ranges, and the playback buffer setting.
//
// A thin window over AudioPageRules, as the video page is over its rules.
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
#include "wincom/UniqueHandle.h"
#include "winfx/Dialog.h"
#include "winfx/VirtualListView.h"

class CProfileAudioDlg : public lumoka::CDialog {
public:
    CProfileAudioDlg();

    // "オーディオを出力しない" and then every device's FriendlyName; the first entry selected.
    void FillDevices(const std::vector<DeviceEntry>& devices);
    void Load(const Profile& profile);
    void Store(Profile& profile) const;

    const std::vector<AudioFormatRecord>& Formats() const { return m_formats; }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam) override;
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND control) override;
    bool OnHScroll(HWND scrollBar, int code, int position) override;

private:
    void OnDeviceChange();
    void OnFormatChange();
    void ResetBuffer(bool deviceChosen);
    void EnableBufferLength(bool enabled);
    void OnValueTyped(editor::AudioValue which);
    void OnValueChosen(editor::AudioValue which);
    void Validate(editor::AudioValue which, const std::wstring& text);
    editor::AudioRange Range(editor::AudioValue which) const;

    std::vector<DeviceEntry> m_devices;
    std::vector<PinEntry> m_pins;
    std::vector<AudioFormatRecord> m_formats;
    AudioFormatRecord m_format;
    int m_lastDevice = -1;
    int m_lastFormat = 2147483647;
    std::array<bool, 3> m_valid{{true, true, true}};
    std::array<editor::ScrollSetup, 3> m_scroll{};
    lumoka::UniqueGdiObject m_invalidBrush;
    lumoka::CVirtualListView m_pinList;
    lumoka::CVirtualListView m_info;
};
