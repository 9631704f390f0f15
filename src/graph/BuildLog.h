// CBuildLog: the text log of one graph build. Each message is formatted printf-style (wide; use
// %ls for wide strings, which means the same to every C runtime) and ended by "\n". A message
// that cannot be formatted or is longer than 1024 characters is replaced by the fixed line
// "ログ書き込みエラー", so the log never holds a cut-off message.
//
// Portable. Used on the main thread by the graph controller, which owns it.
#pragma once

#include <cstdarg>
#include <string>

class CBuildLog {
public:
    static constexpr size_t kMaxMessage = 1024;

    void Append(const wchar_t* format, ...);
    void AppendV(const wchar_t* format, va_list args);
    void Clear() { m_text.clear(); }
    const std::wstring& Text() const { return m_text; }

private:
    std::wstring m_text;
};
