// CLumoka2App: the process's application object. It prepares the process-wide facilities
// (common controls, the C runtime locale, GDI+), decides with a named mutex whether this is the
// first running copy of the program, initialises the configuration, and runs the main window
// modally for the whole life of the program; the main window's modal loop is the program's
// only message loop.
//
// Threads: the main thread only. Ownership: Run owns the mutex handle, the GDI+ token and the
// main window object for the length of the run; the configuration is TheConfig().
#pragma once

#include <windows.h>

class CLumoka2App {
public:
    // Runs the program from start-up to shut-down; returns the process exit code.
    int Run();

private:
    // True when this process holds the instance mutex (or found it abandoned).
    static bool AcquireInstanceMutex(HANDLE mutex);
};
