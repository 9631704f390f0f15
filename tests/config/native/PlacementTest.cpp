// The placement record's text form and the centred default.
#include <gtest/gtest.h>

#include "config/IniFile.h"
#include "config/Placement.h"

namespace {

WindowPlacement Sample() {
    WindowPlacement p;
    p.flags = 2;
    p.showCmd = 3;
    p.ptMinPosition = PlacementPoint{-1, -2};
    p.ptMaxPosition = PlacementPoint{16, 32};
    p.rcNormalPosition = PlacementRect{100, 200, 300, 400};
    return p;
}

const std::wstring kSampleText =
    L"2C0000000200000003000000FFFFFFFFFEFFFFFF100000002000000064000000C80000002C0100009001000042";

std::wstring Lowercase(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'F') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

}  // namespace

TEST(PlacementTest, EncodesLittleEndianUppercaseWithChecksum) {
    EXPECT_EQ(kSampleText.size(), 90u);
    EXPECT_EQ(EncodePlacement(Sample()), kSampleText);
}

TEST(PlacementTest, DecodesUpperAndLowercaseDigits) {
    WindowPlacement out;
    ASSERT_TRUE(DecodePlacement(kSampleText, &out));
    EXPECT_EQ(out, Sample());
    WindowPlacement lower;
    ASSERT_TRUE(DecodePlacement(Lowercase(kSampleText), &lower));
    EXPECT_EQ(lower, Sample());
}

TEST(PlacementTest, EightyNineCharactersTakeTheChecksumFromTheLastTwo) {
    // Bytes 0-43 use characters 0-87; the checksum then overlaps the last byte's low digit.
    // With a last byte of 0x04 the sum is 0x46, whose high digit is that same "4".
    WindowPlacement p = Sample();
    p.rcNormalPosition.bottom = 0x04000190;
    const std::wstring full = EncodePlacement(p);
    ASSERT_EQ(full.substr(86), L"0446");
    WindowPlacement out;
    ASSERT_TRUE(DecodePlacement(full.substr(0, 88) + L"6", &out));
    EXPECT_EQ(out, p);
    EXPECT_FALSE(DecodePlacement(full.substr(0, 88) + L"7", &out));

    WindowPlacement zero;
    zero.length = 0;
    ASSERT_TRUE(DecodePlacement(std::wstring(89, L'0'), &out));
    EXPECT_EQ(out, zero);
}

TEST(PlacementTest, InvalidTextLeavesTheRecordUntouched) {
    const WindowPlacement before = Sample();
    for (const std::wstring& text : {std::wstring(), std::wstring(88, L'0'), std::wstring(91, L'0'),
                                     kSampleText.substr(0, 88) + L"43", kSampleText + L"0"}) {
        WindowPlacement out = before;
        EXPECT_FALSE(DecodePlacement(text, &out)) << text.size();
        EXPECT_EQ(out, before);
    }
}

TEST(PlacementTest, NonHexCharactersCountAsZero) {
    std::wstring text = kSampleText;
    text[2] = L'x';  // byte 1 "00" becomes "x0": still 0
    text[3] = L'G';
    WindowPlacement out;
    ASSERT_TRUE(DecodePlacement(text, &out));
    EXPECT_EQ(out, Sample());
}

TEST(PlacementTest, IniDocumentStoresItUnderWindowPlacement) {
    CIniFile ini;
    ini.SetPlacement(Sample());
    EXPECT_EQ(ini.Serialize(), L"[Window]\nPlacement=" + kSampleText + L"\n\n");
    WindowPlacement out;
    ASSERT_TRUE(ini.GetPlacement(out));
    EXPECT_EQ(out, Sample());

    CIniFile damaged;
    damaged.SetString(L"Window", L"Placement", kSampleText.substr(0, 88) + L"00");
    WindowPlacement untouched = Sample();
    untouched.showCmd = 9;
    const WindowPlacement copy = untouched;
    EXPECT_FALSE(damaged.GetPlacement(untouched));
    EXPECT_EQ(untouched, copy);
    EXPECT_FALSE(CIniFile().GetPlacement(untouched));
}

TEST(PlacementTest, DefaultIsCentredWithA640By480ClientArea) {
    const DesktopMetrics desktop{4, 4, 19, 1280, 1024};
    const WindowPlacement p = MakeDefaultPlacement(desktop);
    EXPECT_EQ(p.length, 44u);
    EXPECT_EQ(p.flags, 0u);
    EXPECT_EQ(p.showCmd, 0u);
    // W = 648, H = 507: x = 640 - 324, y = 512 - 253 (halves truncated).
    EXPECT_EQ(p.rcNormalPosition.left, 316);
    EXPECT_EQ(p.rcNormalPosition.top, 259);
    EXPECT_EQ(p.rcNormalPosition.right, 964);
    EXPECT_EQ(p.rcNormalPosition.bottom, 766);
    EXPECT_EQ(p.ptMinPosition.x, 0);
    EXPECT_EQ(p.ptMaxPosition.y, 0);
}

TEST(PlacementTest, DefaultStartsAtTheOriginOnASmallDesktop) {
    // Wide enough but too low: y < 0 sends the whole rectangle to (0, 0).
    const WindowPlacement p = MakeDefaultPlacement(DesktopMetrics{3, 3, 20, 1024, 500});
    EXPECT_EQ(p.rcNormalPosition.left, 0);
    EXPECT_EQ(p.rcNormalPosition.top, 0);
    EXPECT_EQ(p.rcNormalPosition.right, 646);
    EXPECT_EQ(p.rcNormalPosition.bottom, 506);
    // Exactly fitting gives (0, 0) by the centring rule itself.
    const WindowPlacement fit = MakeDefaultPlacement(DesktopMetrics{0, 0, 0, 640, 480});
    EXPECT_EQ(fit.rcNormalPosition.left, 0);
    EXPECT_EQ(fit.rcNormalPosition.bottom, 480);
}
