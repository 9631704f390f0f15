// The file layer under CIniFile: whole-file reads and crash-safe whole-file replacement of
// wide text. On disk the text is in the system's multibyte encoding (Windows: the user's ANSI
// code page, as the C runtime's text mode writes it; elsewhere UTF-8), with CR LF line ends.
//
// Threads: any thread; the functions share nothing but the test hook below.
#pragma once

#include <cstdint>
#include <string>

// Reads the whole file as text: CR LF becomes LF, reading stops at a Ctrl-Z byte, each
// multibyte character becomes one wide character. False when the file cannot be opened or read.
bool ReadTextFile(const std::wstring& path, std::wstring& text);

// Writes text to a temporary file in the target's folder and then replaces the target with
// it. On any failure the target keeps its old content and the temporary file is removed.
// Every LF is written as CR LF; characters the encoding cannot hold are written as "?".
bool ReplaceTextFile(const std::wstring& path, const std::wstring& text);

// The text as a save and a load give it back: through the file's encoding and back, so a
// character the encoding cannot hold comes back as the file would give it ("?", or the
// platform's nearest character). Line ends and Ctrl-Z are the caller's to keep out.
std::wstring AsReadBack(const std::wstring& text);

// Removes the temporary files an interrupted save of ReplaceTextFile left in the folder (with
// its trailing separator): only names of the layer's own pattern. Windows only; elsewhere the
// native tools leave such files to the user.
void RemoveStaleTempFiles(const std::wstring& folder);

// Test hook: while set to n >= 0, the n-th write into a temporary file (counted from 0)
// fails. -1 (the default) turns the fault off.
void SetTextFileWriteFaultForTesting(int64_t failingWrite);
