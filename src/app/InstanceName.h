// The name of the instance mutex: the executable's file name without its folder and without
// its extension, so copies of the program under one name share one first instance and a copy
// under another name is a first instance of its own.
//
// Portable: pure function, any thread.
#pragma once

#include <string>

// "C:\\Tools\\Lumoka2.exe" gives "Lumoka2". Both "\\" and "/" end a folder; the extension is
// the part from the last dot of the file name on (a dot in a folder name does not count).
std::wstring InstanceMutexName(const std::wstring& modulePath);
