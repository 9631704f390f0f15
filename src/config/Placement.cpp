#include "config/Placement.h"

#include <array>

namespace {

constexpr size_t kEncodedLength = WindowPlacement::kSize * 2 + 2;

using PlacementBytes = std::array<uint8_t, WindowPlacement::kSize>;

void PutField(PlacementBytes& bytes, size_t field, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[field * 4 + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

uint32_t GetField(const PlacementBytes& bytes, size_t field) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(bytes[field * 4 + i]) << (8 * i);
    }
    return value;
}

// Little-endian memory order, whatever the host's byte order.
PlacementBytes ToBytes(const WindowPlacement& p) {
    const uint32_t fields[] = {p.length,
                               p.flags,
                               p.showCmd,
                               static_cast<uint32_t>(p.ptMinPosition.x),
                               static_cast<uint32_t>(p.ptMinPosition.y),
                               static_cast<uint32_t>(p.ptMaxPosition.x),
                               static_cast<uint32_t>(p.ptMaxPosition.y),
                               static_cast<uint32_t>(p.rcNormalPosition.left),
                               static_cast<uint32_t>(p.rcNormalPosition.top),
                               static_cast<uint32_t>(p.rcNormalPosition.right),
                               static_cast<uint32_t>(p.rcNormalPosition.bottom)};
    PlacementBytes bytes{};
    for (size_t i = 0; i < 11; ++i) PutField(bytes, i, fields[i]);
    return bytes;
}

WindowPlacement FromBytes(const PlacementBytes& bytes) {
    auto s = [&](size_t field) { return static_cast<int32_t>(GetField(bytes, field)); };
    WindowPlacement p;
    p.length = GetField(bytes, 0);
    p.flags = GetField(bytes, 1);
    p.showCmd = GetField(bytes, 2);
    p.ptMinPosition = PlacementPoint{s(3), s(4)};
    p.ptMaxPosition = PlacementPoint{s(5), s(6)};
    p.rcNormalPosition = PlacementRect{s(7), s(8), s(9), s(10)};
    return p;
}

uint8_t Checksum(const PlacementBytes& bytes) {
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    return static_cast<uint8_t>(sum);
}

void AppendHex(std::wstring& text, uint8_t byte) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
}

// Any character that is not a hex digit counts as 0, as the stored format always did.
uint8_t Nibble(wchar_t c) {
    if (c >= L'0' && c <= L'9') return static_cast<uint8_t>(c - L'0');
    if (c >= L'A' && c <= L'F') return static_cast<uint8_t>(c - L'A' + 10);
    if (c >= L'a' && c <= L'f') return static_cast<uint8_t>(c - L'a' + 10);
    return 0;
}

uint8_t HexByte(const std::wstring& text, size_t pos) {
    return static_cast<uint8_t>(Nibble(text[pos]) << 4 | Nibble(text[pos + 1]));
}

}  // namespace

bool operator==(const WindowPlacement& a, const WindowPlacement& b) {
    return ToBytes(a) == ToBytes(b);
}

std::wstring EncodePlacement(const WindowPlacement& placement) {
    const PlacementBytes bytes = ToBytes(placement);
    std::wstring text;
    text.reserve(kEncodedLength);
    for (uint8_t b : bytes) AppendHex(text, b);
    AppendHex(text, Checksum(bytes));
    return text;
}

bool DecodePlacement(const std::wstring& text, WindowPlacement* out) {
    // An 89-character value still holds all 44 bytes; its checksum is then read from the last
    // two characters, which overlap the last byte.
    if (text.size() != kEncodedLength && text.size() != kEncodedLength - 1) return false;
    PlacementBytes bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = HexByte(text, 2 * i);
    if (HexByte(text, text.size() - 2) != Checksum(bytes)) return false;
    *out = FromBytes(bytes);
    return true;
}

WindowPlacement MakeDefaultPlacement(const DesktopMetrics& desktop) {
    const int width = 640 + 2 * desktop.cxFrame;
    const int height = 480 + desktop.cyCaption + 2 * desktop.cyFrame;
    const int x = desktop.desktopWidth / 2 - width / 2;
    const int y = desktop.desktopHeight / 2 - height / 2;
    WindowPlacement p;
    if (x >= 0 && y >= 0) {
        p.rcNormalPosition = PlacementRect{x, y, x + width, y + height};
    } else {
        p.rcNormalPosition = PlacementRect{0, 0, width, height};
    }
    return p;
}
