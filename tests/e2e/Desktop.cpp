#include "Desktop.h"

#include <cstdlib>


namespace lumoka::testing {

bool Xdotool(const std::string& args, DWORD timeoutMs) {
    // Wine starts Unix programs but hands back no handle to wait on: the shell leaves the exit
    // status in a file of its own instead.
    static int calls = 0;
    const std::string marker = "/tmp/lumoka-xdotool-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++calls);
    const std::string command = "Z:\\bin\\sh -c \"xdotool " + args + "; echo $? >" + marker +
                                ".tmp; mv " + marker + ".tmp " + marker + "\"";
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    std::wstring done = L"Z:" + std::wstring(marker.begin(), marker.end());
    for (wchar_t& c : done) {
        if (c == L'/') c = L'\\';
    }
    if (!WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   timeoutMs)) {
        return false;
    }
    char status[8] = {};
    HANDLE file = CreateFileW(done.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, status, sizeof(status) - 1, &read, nullptr);
        CloseHandle(file);
    }
    DeleteFileW(done.c_str());
    return read > 0 && std::atoi(status) == 0;
}

bool RightClickClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT middle{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &middle);
    return Xdotool("mousemove " + std::to_string(middle.x) + " " + std::to_string(middle.y) +
                   " click 3");
}

std::vector<HWND> ProcessWindows(DWORD processId, const std::wstring& cls,
                                 const std::wstring& captionPrefix) {
    struct Search {
        DWORD pid;
        const std::wstring& cls;
        const std::wstring& prefix;
        std::vector<HWND> found;
    } search{processId, cls, captionPrefix, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            wchar_t name[64] = {};
            wchar_t title[256] = {};
            GetClassNameW(hwnd, name, 64);
            GetWindowTextW(hwnd, title, 256);
            if (pid == s->pid && IsWindowVisible(hwnd) && s->cls == name &&
                std::wstring(title).compare(0, s->prefix.size(), s->prefix) == 0) {
                s->found.push_back(hwnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace lumoka::testing
