// The profile editor behind one function: runs "プロファイル設定" modally over the model and
// returns true after OK (the model then holds the edited profiles, the profile and the tab the
// user left it on) and false after Cancel (only LastTab is meaningful then).
//
// Threads: the main thread; the editor initialises COM itself where it asks the catalogue.
#pragma once

#include <windows.h>

#include "ui/editor/EditorRules.h"

bool RunProfileEditor(HWND owner, ProfileEditorModel& model);
