// "LumokaProbe build <Profile.ini> <index> [seconds]": builds the graph of one profile into a
// top-level window of the probe's own, the way the main window does, runs it and reports.
#pragma once

#include <memory>
#include <string>

#include "graph/GraphController.h"

// Exit status: 0 built, 1 the build failed, 2 the profile file could not be read.
int RunBuildCommand(const std::wstring& profilePath, int index, int seconds);

// The probe's top-level video window (640 x 480 client) with the window side of the graph; it
// builds one profile's graph as the main window does. Destruction tears the graph down first.
// Thread: the one that pumps its messages.
class CProbeWindowSide;
class CProbeVideoWindow {
public:
    explicit CProbeVideoWindow(CGraphController* graph);
    ~CProbeVideoWindow();
    CProbeVideoWindow(const CProbeVideoWindow&) = delete;
    CProbeVideoWindow& operator=(const CProbeVideoWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    // Builds and runs the profile's graph, then applies its crop and places the video.
    bool Build(const Profile& profile);

private:
    CGraphController* m_graph;
    HWND m_hwnd = nullptr;
    std::unique_ptr<CProbeWindowSide> m_side;
};

// Dispatches the thread's messages for the given time.
void PumpProbeMessages(DWORD milliseconds);
