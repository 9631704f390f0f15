// What the Windows tests of the configuration share: a scratch folder under the temporary
// folder, removed with its files when it goes, and whole-file byte reads and writes.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

class CWinTempFolder {
public:
    // "<temp><prefix><process>-<n>\" with n counting the folders of this process.
    explicit CWinTempFolder(const wchar_t* prefix = L"lumoka-config-") {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        m_path = std::wstring(base) + prefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++counter) + L"\\";
        m_created = CreateDirectoryW(m_path.c_str(), nullptr) != FALSE;
    }
    ~CWinTempFolder() {
        for (const std::wstring& name : Names()) {
            const std::wstring file = m_path + name;
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(m_path.c_str());
    }
    CWinTempFolder(const CWinTempFolder&) = delete;
    CWinTempFolder& operator=(const CWinTempFolder&) = delete;

    bool Created() const { return m_created; }
    // With its trailing backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const wchar_t* name) const { return m_path + name; }

    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((m_path + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

private:
    std::wstring m_path;
    bool m_created = false;
};

inline std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
        fclose(file);
    }
    return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}
