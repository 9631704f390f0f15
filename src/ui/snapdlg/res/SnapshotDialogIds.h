// Template and control ids of the snapshot settings dialog and the version dialog. Included by
// SnapshotDialogs.rc (so only preprocessor definitions here) and by the dialog code.
#pragma once

#define IDD_VERSION 141
#define IDD_SNAPSHOT_SETTINGS 143

// "静止画保存設定"
#define IDC_SNAPSHOT_FOLDER 1096
#define IDC_SNAPSHOT_BROWSE 1031
#define IDC_SNAPSHOT_BMP 1097
#define IDC_SNAPSHOT_JPEG 1098
#define IDC_SNAPSHOT_PNG 1099
#define IDC_SNAPSHOT_INPUT_SIZE 1106
#define IDC_SNAPSHOT_ASPECT_SIZE 1100
#define IDC_SNAPSHOT_DISPLAY_SIZE 1101
#define IDC_SNAPSHOT_CROP 1103
#define IDC_SNAPSHOT_QUALITY_BAR 1105
#define IDC_SNAPSHOT_QUALITY_TEXT 1006

// "バージョン情報"
#define IDC_VERSION_NAME 1094
#define IDC_VERSION_NOTE 1095
#define IDC_VERSION_LINK 1093
