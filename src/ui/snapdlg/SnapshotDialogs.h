// The two small dialogs of the snapshot menu and the version item, behind one function each:
// "静止画保存設定..." (CSnapShotDlg, template 143) and "バージョン情報..." (CVersionDlg,
// template 141). The dialog classes stay inside their sources.
//
// Threads: the main window's thread. The templates must be in the executable's resources
// (SnapshotDialogs.rc, included by the program's resource script).
#pragma once

#include <windows.h>

#include <string>

class CConfig;

// Copies the five snapshot settings into the dialog, runs it, and copies them back on OK.
// True when the dialog ended with OK.
bool EditSnapshotSettings(HWND owner, CConfig& config);

// Shows the version dialog; its link opens the user guide beside the executable.
void ShowVersionDialog(HWND owner);

// How the version dialog hands an address to the shell. The program uses ShellExecuteW
// (owner, verb, file, no parameters, no directory, show); tests put a recorder in its place.
// Returns the previous function; null puts the program's own back.
using ShellOpenFunction = void (*)(HWND owner, const wchar_t* verb, const wchar_t* file, int show);
ShellOpenFunction SetShellOpenFunction(ShellOpenFunction function);
