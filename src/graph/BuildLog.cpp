#include "graph/BuildLog.h"

#include <cwchar>
#include <vector>

void CBuildLog::Append(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    AppendV(format, args);
    va_end(args);
}

void CBuildLog::AppendV(const wchar_t* format, va_list args) {
    // One character of room beyond the limit tells an over-long message from one that fits,
    // whichever way the C runtime reports truncation.
    std::vector<wchar_t> buffer(kMaxMessage + 2, L'\0');
    const int n = format ? std::vswprintf(buffer.data(), buffer.size(), format, args) : -1;
    if (n < 0 || static_cast<size_t>(n) > kMaxMessage || buffer[kMaxMessage] != L'\0') {
        m_text += L"ログ書き込みエラー\n";
        return;
    }
    m_text.append(buffer.data(), static_cast<size_t>(n));
    m_text += L'\n';
}
