// Standard output of the probe: UTF-8 without byte-order mark, LF line ends, whatever the
// console or the C runtime's locale would do with wide text.
#pragma once

#include <cstdint>
#include <string>

void WriteLine(const std::wstring& line);
void WriteError(const std::wstring& line);

// A value in hundredths as text with two decimals ("29.97", "-0.05").
std::wstring Hundredths(int64_t value);
