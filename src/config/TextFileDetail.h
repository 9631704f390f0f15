// Internal to the file layer: the byte-level rules that the Windows and the native text file
// implementations share.
#pragma once

#include <cstdint>
#include <string>

namespace textfile_detail {

// Text mode on the way out: every LF becomes CR LF.
std::string ToDiskLineEnds(const std::string& bytes);

// Text mode on the way in: reading stops at the first Ctrl-Z byte, CR LF becomes LF, a CR
// alone stays. Safe on multibyte text: no lead or trail byte of the code pages in use is a
// CR, LF or Ctrl-Z.
std::string FromDiskLineEnds(const std::string& bytes);

// The whole decoding of a file's bytes into text (line ends, then the platform's encoding:
// the ANSI code page on Windows, UTF-8 elsewhere) and the encoding back. EncodeDiskText is
// false when the text cannot be converted at all.
std::wstring DecodeDiskText(const std::string& bytes);
bool EncodeDiskText(const std::wstring& text, std::string& bytes);

// Kill points for tests of interrupted saves. Nothing happens unless the environment variable
// LUMOKA_SAVE_PAUSE names the point ("name" for its first passage, "name@n" for its n-th): the
// save then creates the file named by LUMOKA_SAVE_PAUSE_SIGNAL and stops there for good, so
// that the test can kill the process at a known point. The points: "before-temp" (temporary
// file created, nothing written), "mid-temp" (half of it written and flushed),
// "before-replace" (complete and closed), "profiles" (before the profile file is saved).
bool IsPausePointArmed(const char* name);
void PausePoint(const char* name);

// Consumes one write of the fault hook; true when this write is to fail.
bool ConsumeWriteFault();

}  // namespace textfile_detail
