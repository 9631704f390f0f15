// CProfilePreviewDlg: the editor's "プレビュー設定" page (template 135), a modeless child of the
// frame's tab control: whether video and audio preview wait for the graph's reference clock.
// It only exchanges its two radio values with its controls; the frame maps them to and from
// the profile's Preview.VideoSync and Preview.AudioSync (EditorRules).
//
// Threads: the editor's thread. Ownership: the frame owns the page.
#pragma once

#include <cstdint>

#include "winfx/Dialog.h"

class CProfilePreviewDlg : public lumoka::CDialog {
public:
    CProfilePreviewDlg();

    // 0 = the first button of its group ("同期しない"), 1 = the second ("同期する").
    int32_t VideoRadio = 0;
    int32_t AudioRadio = 0;

    // The values into the controls, and the controls back into the values.
    void ShowValues();
    void ReadValues();
};
