// CDialogCentring: centres the next dialog the owner window opens on this thread (a property
// frame, whose position the platform would otherwise choose) over the owner.
//
// Threads: installs a hook for the calling thread only. Ownership: the object owns the hook;
// the hook removes itself at the first dialog it centres, and the destructor removes it when no
// dialog came (so a frame that failed to open leaves no hook behind).
#pragma once

#include <windows.h>

class CDialogCentring {
public:
    explicit CDialogCentring(HWND owner);
    ~CDialogCentring();
    CDialogCentring(const CDialogCentring&) = delete;
    CDialogCentring& operator=(const CDialogCentring&) = delete;

    bool Installed() const;
};
