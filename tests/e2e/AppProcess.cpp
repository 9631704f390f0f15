#include "AppProcess.h"

#include <atomic>
#include <vector>

#include "e2e/ProgramPath.h"

namespace lumoka::testing {

namespace {

std::atomic<int> g_folderCounter{0};

void DeleteTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER)) {
        return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

}  // namespace

CTestFolder::CTestFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring suffix =
        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L"-";
    const size_t suffixLength = suffix.size();
    const std::wstring base = std::wstring(temp) + L"lumoka-e2e-" + suffix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = base + std::to_wstring(g_folderCounter++);
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            m_path = path + L"\\";
            m_programName = L"Lumoka2-" + path.substr(base.size() - suffixLength) + L".exe";
            return;
        }
    }
}

CTestFolder::~CTestFolder() {
    if (!m_path.empty()) DeleteTree(m_path);
}

bool CTestFolder::CopyProgram(const std::wstring& name) const {
    const std::wstring target = File(name.empty() ? m_programName : name);
    return !m_path.empty() && CopyFileW(ProgramPath().c_str(), target.c_str(), TRUE);
}

std::wstring CTestFolder::InstanceName() const {
    return m_programName.substr(0, m_programName.rfind(L'.'));
}

bool CTestFolder::Exists(const std::wstring& name) const {
    return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CTestFolder::ReadBytes(const std::wstring& name) const {
    std::string bytes;
    if (FILE* file = _wfopen(File(name).c_str(), L"rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.append(buffer, n);
        fclose(file);
    }
    return bytes;
}

bool CTestFolder::WriteBytes(const std::wstring& name, const std::string& bytes) const {
    FILE* file = _wfopen(File(name).c_str(), L"wb");
    if (!file) return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

CAppProcess::~CAppProcess() {
    if (IsRunning()) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 5000);
    }
}

bool CAppProcess::Start(const std::wstring& exePath) {
    const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + exePath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_processId = info.dwProcessId;
    m_window = nullptr;
    return true;
}

HWND CAppProcess::WaitForWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs && IsRunning()) {
        WindowSearch search{m_processId, nullptr};
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            m_window = search.found;
            return m_window;
        }
        Sleep(50);
    }
    return nullptr;
}

bool CAppProcess::WaitForTitle(const std::wstring& title, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    do {
        if (Title() == title) return true;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return Title() == title;
}

void CAppProcess::WaitUntilIdle(DWORD timeoutMs) const {
    WaitForInputIdle(m_process.Get(), timeoutMs);
}

std::wstring CAppProcess::Title() const {
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    // A hung window must fail the test, not hang it.
    if (!SendMessageTimeoutW(m_window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::wstring();
    }
    return std::wstring(text, length < 512 ? length : 511);
}

RECT CAppProcess::ClientRect() const {
    RECT rect{};
    GetClientRect(m_window, &rect);
    return rect;
}

RECT CAppProcess::WindowRect() const {
    RECT rect{};
    GetWindowRect(m_window, &rect);
    return rect;
}

bool CAppProcess::IsRunning() const {
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool CAppProcess::Close(DWORD timeoutMs) {
    if (!m_process) return false;
    if (m_window) PostMessageW(m_window, WM_CLOSE, 0, 0);
    return WaitForSingleObject(m_process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD CAppProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

std::string Encode(const std::wstring& text, UINT codePage) {
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    }
    return out;
}

bool HasOnlyCrLfLineEnds(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
    }
    return true;
}

}  // namespace lumoka::testing
