// Test helpers that run Lumoka2.exe as a user would: a private folder holding a copy of the
// executable (its settings and profile files appear beside it), the started process, its main
// window, and the files it writes.
//
// Threads: the test's thread. Ownership: CTestFolder deletes its folder and everything in it;
// CAppProcess ends a process still running when it is destroyed (a failed test leaves nothing
// behind).
#pragma once

#include <windows.h>

#include <string>

#include "wincom/UniqueHandle.h"

namespace lumoka::testing {

class CTestFolder {
public:
    // A new empty folder under the temporary folder, unique to this process and call.
    CTestFolder();
    ~CTestFolder();
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    const std::wstring& Path() const { return m_path; }  // with a trailing backslash
    std::wstring File(const std::wstring& name) const { return m_path + name; }

    // The file name the program is copied under. The instance mutex is named after the file
    // name and every Wine process of the prefix shares one namespace, so a name of this
    // folder's own keeps tests that run at the same time (ours or others') from becoming each
    // other's second instances.
    const std::wstring& ProgramName() const { return m_programName; }
    // The mutex name the program in this folder uses (its file name without extension).
    std::wstring InstanceName() const;

    // Copies the program under test into the folder, as ProgramName() unless name is given.
    bool CopyProgram(const std::wstring& name = std::wstring()) const;
    bool Exists(const std::wstring& name) const;
    // The file's bytes; empty when it cannot be read.
    std::string ReadBytes(const std::wstring& name) const;
    bool WriteBytes(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_path;
    std::wstring m_programName;
};

class CAppProcess {
public:
    CAppProcess() = default;
    ~CAppProcess();
    CAppProcess(const CAppProcess&) = delete;
    CAppProcess& operator=(const CAppProcess&) = delete;

    // Starts exePath with its folder as the working folder.
    bool Start(const std::wstring& exePath);
    // Waits until the process shows a visible top-level window; null on time-out or exit.
    HWND WaitForWindow(DWORD timeoutMs = 15000);
    // Waits until the window title equals title; false on time-out.
    bool WaitForTitle(const std::wstring& title, DWORD timeoutMs = 15000) const;
    // Waits until the process has handled everything queued and waits for input again.
    void WaitUntilIdle(DWORD timeoutMs = 3000) const;

    HWND Window() const { return m_window; }
    HANDLE Process() const { return m_process.Get(); }
    std::wstring Title() const;
    RECT ClientRect() const;
    RECT WindowRect() const;
    bool IsRunning() const;

    // Posts WM_CLOSE and waits for the process to end; false when it did not end in time.
    bool Close(DWORD timeoutMs = 15000);
    DWORD ExitCode() const;

private:
    UniqueHandle m_process;
    DWORD m_processId = 0;
    HWND m_window = nullptr;
};

// The bytes of text in a code page (932 for the files a Japanese user's system writes).
std::string Encode(const std::wstring& text, UINT codePage);

// True when every LF in the bytes is preceded by CR and none stands alone.
bool HasOnlyCrLfLineEnds(const std::string& bytes);

}  // namespace lumoka::testing
