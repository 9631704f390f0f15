// The application's name as the framework gives it: the executable's file name without its
// folder and its extension ("C:\\Tools\\Lumoka2.exe" gives "Lumoka2"). Message boxes of the
// program are captioned with it.
//
// Threads: any. Reads the module path each time.
#pragma once

#include <string>

namespace lumoka {

std::wstring ApplicationName();

}  // namespace lumoka
