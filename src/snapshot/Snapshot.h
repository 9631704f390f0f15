// Still images of the playing picture: the "静止画保存" command (TakeSnapshot), opening the
// snapshot folder, and the GDI+ saving underneath. Everything is silent: results are for
// callers and tests, nothing is shown to the user.
//
// Threads: the main window's thread (the graph controller's thread). GDI+ must have been
// started by the application. Ownership: every GDI+ object and buffer is released on every path.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/Profile.h"

class CConfig;
class CGraphController;

// How long the transform filter's frame grab may take before the snapshot gives up.
constexpr DWORD kFrameGrabTimeoutMs = 500;

// The picture the user sees: the renderer's current image, or, when the renderer cannot give
// one (Wine's mixing renderers, overlay surfaces), the next frame of the transform filter.
// The renderer's picture wins where it exists.
bool GetSnapshotPicture(CGraphController& graph, BITMAPINFOHEADER& header,
                        std::vector<uint8_t>& pixels);

// Saves the current picture with the settings' folder, format, size choice, cropping (the
// selected profile's margins) and JPEG quality. False when no picture could be had or saving
// failed; nothing is created in the first case.
bool TakeSnapshot(HWND window, CGraphController& graph, const CConfig& config);

// Opens the snapshot folder in the shell; a failure (e.g. a missing folder) is not reported.
void OpenSnapshotFolder(const CConfig& config);

// Scales the picture (cropped by the margins) to width x height (0 in either: the picture's
// own size), creates the folder with its parents and writes the file under the first free
// time-stamped name; an existing file is never replaced. savedPath (when given) receives the
// file's path. False when any step failed; a file begun is then removed.
bool SaveSnapshot(const std::vector<uint8_t>& pixels, const BITMAPINFOHEADER& header,
                  const std::wstring& folder, int32_t type, int32_t width, int32_t height,
                  const CropRect& crop, int32_t jpegQuality, std::wstring* savedPath = nullptr);

// The name for a snapshot taken now (local time).
std::wstring MakeSnapshotFileName(int32_t type);

// The class identifier of the installed image encoder whose MIME type is exactly mime.
bool FindEncoderByMime(const wchar_t* mime, CLSID& clsid);
