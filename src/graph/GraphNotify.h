// The message the filter graph posts to the video window when events are queued (WM_APP + 20,
// both parameters 0). Registered by the graph build; the window answers it with
// CGraphController::DrainEvents.
#pragma once

#include <windows.h>

constexpr UINT WM_GRAPH_NOTIFY = WM_APP + 20;
