#include "ProbeOutput.h"

#include <windows.h>

#include <cstdio>

namespace {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                            nullptr, nullptr);
    }
    return out;
}

void Write(FILE* stream, const std::wstring& line) {
    const std::string bytes = ToUtf8(line) + "\n";
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

}  // namespace

void WriteLine(const std::wstring& line) { Write(stdout, line); }
void WriteError(const std::wstring& line) { Write(stderr, line); }

std::wstring Hundredths(int64_t value) {
    const bool negative = value < 0;
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const uint64_t fraction = magnitude % 100;
    return (negative ? L"-" : L"") + std::to_wstring(magnitude / 100) + L"." +
           (fraction < 10 ? L"0" : L"") + std::to_wstring(fraction);
}
