// The Windows file layer. On disk the text is in the user's ANSI code page, byte for byte as
// the C runtime's text mode writes it under the locale start-up sets from the user's
// environment (setlocale(LC_ALL, "")): one multibyte character per wide character, CR LF line
// ends, no byte-order mark, reading stops at Ctrl-Z.
//
// Saving goes through a temporary file in the target's folder that then replaces the target
// (MoveFileExW), so a failure at any point leaves the old file whole.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "config/TextFile.h"
#include "config/TextFileDetail.h"
#include "wincom/ScopeExit.h"

namespace {

// Unrepresentable characters become the code page's default character ("?") instead of
// failing the whole save, as the C runtime's text mode would.
// A character outside the Basic Multilingual Plane (an emoji) is one character to the user:
// it becomes one "?", not one per surrogate (Wine converts each surrogate of a pair to its own
// "?"; ConfigWineTest.EmojiBecomesOneQuestionMark). No ANSI code page but UTF-8 holds such
// characters.
std::wstring ReplaceSurrogatePairs(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() &&
                          text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
        out += pair ? L'?' : c;
        if (pair) ++i;
    }
    return out;
}

bool ToAnsi(const std::wstring& wide, std::string& bytes) {
    bytes.clear();
    if (wide.empty()) return true;
    const UINT codePage = GetACP();
    const std::wstring text = codePage == CP_UTF8 ? wide : ReplaceSurrogatePairs(wide);
    const int length = static_cast<int>(text.size());
    // UTF-8 refuses a default-character argument; it represents everything anyway.
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultArg = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const int size =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, usedDefaultArg);
    if (size <= 0) return false;
    bytes.assign(static_cast<size_t>(size), '\0');
    return WideCharToMultiByte(codePage, 0, text.data(), length, &bytes[0], size, nullptr,
                               usedDefaultArg) == size;
}

std::wstring FromAnsi(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &text[0], size);
    return text;
}

// Temporary files are "lmk" and one to four hex digits, ".tmp" (GetTempFileNameW's pattern).
const wchar_t kTempPrefix[] = L"lmk";

bool IsOurTempName(const std::wstring& name) {
    const size_t prefix = 3;
    if (name.size() < prefix + 5 || name.size() > prefix + 8) return false;
    if (_wcsnicmp(name.c_str(), kTempPrefix, prefix) != 0) return false;
    const size_t digits = name.size() - prefix - 4;
    if (_wcsicmp(name.c_str() + prefix + digits, L".tmp") != 0) return false;
    return std::all_of(name.begin() + prefix, name.begin() + prefix + digits, iswxdigit);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    return path.substr(0, slash + 1);
}

bool WriteAll(HANDLE file, const char* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        if (textfile_detail::ConsumeWriteFault()) return false;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, data + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

bool WriteNewFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    textfile_detail::PausePoint("before-temp");
    // Written in two halves only while a kill test stops the save between them.
    const size_t half = textfile_detail::IsPausePointArmed("mid-temp") ? bytes.size() / 2 : 0;
    bool ok = WriteAll(file, bytes.data(), half);
    if (half > 0) {
        FlushFileBuffers(file);
        textfile_detail::PausePoint("mid-temp");
    }
    ok = ok && WriteAll(file, bytes.data() + half, bytes.size() - half);
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

// Windows refuses to replace a read-only file (MoveFileExW fails with access denied); Wine 8
// replaces it. Asking first gives the same result on both and spares writing the temporary
// file (ConfigWineTest.FailedSaveKeepsReadOnlyFile).
bool IsReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

bool ReadTextFile(const std::wstring& path, std::wstring& text) {
    // The sharing of the C runtime's fopen: others may read and write meanwhile.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    auto close = lumoka::MakeScopeExit([file] { CloseHandle(file); });
    std::string bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            return false;
        }
        if (read == 0) break;
        bytes.append(buffer.data(), read);
    }
    text = textfile_detail::DecodeDiskText(bytes);
    return true;
}

namespace textfile_detail {

std::wstring DecodeDiskText(const std::string& bytes) { return FromAnsi(FromDiskLineEnds(bytes)); }

bool EncodeDiskText(const std::wstring& text, std::string& bytes) {
    std::string ansi;
    if (!ToAnsi(text, ansi)) return false;
    bytes = ToDiskLineEnds(ansi);
    return true;
}

}  // namespace textfile_detail

void RemoveStaleTempFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + kTempPrefix + L"*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        // A save in progress holds its file open without delete sharing: it stays.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsOurTempName(data.cFileName))
            DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

bool ReplaceTextFile(const std::wstring& path, const std::wstring& text) {
    if (IsReadOnly(path)) return false;
    std::string bytes;
    if (!textfile_detail::EncodeDiskText(text, bytes)) return false;
    wchar_t temp[MAX_PATH + 1] = {};
    // Creates the temporary file, so the name is ours until we remove or rename it.
    if (!GetTempFileNameW(FolderOf(path).c_str(), kTempPrefix, 0, temp)) return false;
    bool ok = WriteNewFile(temp, bytes);
    if (ok) textfile_detail::PausePoint("before-replace");
    // Replacing needs delete access to the target: while another handle holds it open without
    // delete sharing, Windows fails with a sharing violation and Wine 8 with access denied
    // (ConfigWineTest.FailedSaveKeepsOpenFile). Either way the old file stays as it was.
    if (ok)
        ok = MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp);
    return ok;
}
