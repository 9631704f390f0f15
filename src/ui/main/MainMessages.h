// The main window's private messages. Both parameters are always 0; the handlers return 0.
#pragma once

#include <windows.h>

// The filter graph's event notification: drain the graph's event queue. Defined by the graph,
// which registers it.
#include "graph/GraphNotify.h"

// Posted once a second by the title refresh worker: refresh the window title.
constexpr UINT WM_UPDATE_TITLE = WM_APP + 10;
// Posted by the cursor auto-hide worker after about a second without mouse movement.
constexpr UINT WM_HIDE_CURSOR = WM_APP + 15;
