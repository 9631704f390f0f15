// The video signal dialog "映像信号調整" (template 138): one row per property of the capture
// device's video processing amplifier, each change sent to the device at once so the user
// watches the result.
//
// Threads: the main window's thread (the dialog is modal).
#pragma once

#include <windows.h>

class CGraphController;
struct Profile;

// Runs the dialog over the graph's capture device. The profile's ten video signal pairs first
// take the device's values as they are when the dialog opens and, after OK, the values the user
// left; in every case the pairs are then applied to the device again, so Cancel puts the device
// back as it was. Without a device interface the controls are disabled and the profile is left
// alone. True after OK.
bool EditVideoProcAmp(HWND owner, CGraphController& graph, Profile& profile);
