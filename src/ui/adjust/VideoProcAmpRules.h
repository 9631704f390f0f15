// The rules of the video signal dialog that need no window: the scroll positions of a
// property's range, and what each row shows for the record the dialog holds.
//
// A row is one ProcAmpInfo. Its scroll bar has the positions 0 .. (Max - Min) / Step (or
// Max - Min when the step is 0 or less); a position stands for Min + position * Step. Every
// computation runs in 64 bits and is kept inside the range, so a device that reports extreme or
// missing numbers (kNotSet) cannot make a position or a value overflow.
//
// Portable: plain values only; pure functions, any thread.
#pragma once

#include <cstdint>

#include "graph/ProcAmpInfo.h"

// The video processing amplifier's mode bits.
constexpr int32_t kProcAmpAutomatic = 1;
constexpr int32_t kProcAmpManual = 2;
constexpr int32_t kProcAmpBothModes = kProcAmpAutomatic | kProcAmpManual;

// Flags that are known and hold the automatic bit.
bool IsAutomatic(int32_t flags);

// Min and Max reported, with Max >= Min: only then has the scroll bar a range.
bool HasScrollRange(const ProcAmpInfo& info);
// The last scroll position; 0 without a range.
int32_t LastProcAmpPosition(const ProcAmpInfo& info);
// The position of a value (integer division, kept inside 0..last).
int32_t ProcAmpPosition(const ProcAmpInfo& info, int32_t value);
// The value of a position (kept inside Min..Max).
int32_t ProcAmpValueAt(const ProcAmpInfo& info, int32_t position);

// The row's "既定値" button (and "すべて既定値" for the row): usable when the value is known
// or the device offers both modes, and the device reported a default to go back to.
bool CanResetToDefault(const ProcAmpInfo& info);

// What a row's controls show.
struct ProcAmpRowView {
    bool Checked = false;       // the "自動" box
    bool CheckEnabled = false;  // the box can be clicked: the device offers both modes
    bool ShowValue = false;     // the edit shows the record's Value with "%d", else it is empty
    bool ScrollEnabled = false;
    bool SetRange = false;  // the scroll bar gets 0..LastPosition and Position
    int32_t LastPosition = 0;
    int32_t Position = 0;
    bool DefaultEnabled = false;
};

// The row for a record. usable is false when there is no device interface (no controller or
// the ranges could not be read): every control of the row is then disabled.
ProcAmpRowView RowView(const ProcAmpInfo& info, bool usable);
