// "LumokaProbe build <Profile.ini> <index> [seconds]": builds the graph of one profile into a
// top-level window of the probe's own, the way the main window does, runs it and reports.
#pragma once

#include <string>

// Exit status: 0 built, 1 the build failed, 2 the profile file could not be read.
int RunBuildCommand(const std::wstring& profilePath, int index, int seconds);
