// Where the tests find the Lumoka2.exe they check: "--exe-dir=<folder>" on the command line,
// else the LUMOKA_EXE_DIR environment variable, else the test program's own folder (the build
// puts every executable into one bin folder). A Unix path (as CTest may pass one under Wine)
// is turned into Wine's Z: drive path.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

namespace lumoka::testing {

inline std::wstring ToWindowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    if (!path.empty() && path.back() != L'\\') path.push_back(L'\\');
    return path;
}

inline std::wstring ProgramFolder() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring option = L"--exe-dir=";
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg.compare(0, option.size(), option) == 0) {
            LocalFree(argv);
            return ToWindowsPath(arg.substr(option.size()));
        }
    }
    if (argv) LocalFree(argv);
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"LUMOKA_EXE_DIR", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return ToWindowsPath(buffer);
    const DWORD own = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring self(buffer, own < MAX_PATH ? own : 0);
    return self.substr(0, self.find_last_of(L'\\') + 1);
}

inline std::wstring ProgramPath() { return ProgramFolder() + L"Lumoka2.exe"; }

}  // namespace lumoka::testing
