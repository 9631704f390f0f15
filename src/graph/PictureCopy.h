// The copy of a renderer's current picture for the caller: the 40-byte header and the pixels,
// refused when a colour table would follow the header, never reading beyond the renderer's block.
//
// Windows-only (BITMAPINFOHEADER); any thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// available: bytes of pixels the block holds after the header (SIZE_MAX when the renderer does
// not say). A zero biSizeImage is computed from the header.
bool CopyPicture(const BITMAPINFOHEADER& source, const BYTE* pixels, size_t available,
                 BITMAPINFOHEADER& header, std::vector<uint8_t>& out);
