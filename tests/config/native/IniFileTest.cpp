// The INI document: how lines become sections and entries, typed values, and the text written.
#include <gtest/gtest.h>

#include "config/IniFile.h"

namespace {

std::wstring Get(const CIniFile& ini, const std::wstring& section, const std::wstring& key) {
    std::wstring value;
    return ini.GetString(section, key, value, L"<missing>") ? value : L"<missing>";
}

CIniFile Parsed(const std::wstring& text) {
    CIniFile ini;
    ini.ParseText(text);
    return ini;
}

}  // namespace

TEST(IniParseTest, SectionLines) {
    const CIniFile ini =
        Parsed(L"[Window\nA=1\n[]\nB=2\n[Snap]Shot] trailing\nC=3\n[Empty]\n[Window]\nD=4\n");
    // "[Window" without its bracket starts Window; "[]" keeps it; text after "]" is ignored.
    EXPECT_EQ(Get(ini, L"Window", L"A"), L"1");
    EXPECT_EQ(Get(ini, L"Window", L"B"), L"2");
    EXPECT_EQ(Get(ini, L"Snap", L"C"), L"3");
    EXPECT_EQ(Get(ini, L"Window", L"D"), L"4");
    // A section line alone creates nothing; a repeated one continues the first.
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.Sections()[0].Name, L"Window");
    EXPECT_EQ(ini.Sections()[0].Entries.size(), 3u);
    EXPECT_EQ(ini.Sections()[1].Name, L"Snap");
}

TEST(IniParseTest, KeyIsBeforeTheLastEqualsSign) {
    const CIniFile ini = Parsed(L"[S]\na=b=c\nx==y\nempty=\nv=w x = y\n");
    EXPECT_EQ(Get(ini, L"S", L"b"), L"c");
    EXPECT_EQ(Get(ini, L"S", L"a"), L"<missing>");
    // "x==y" has an empty buffer at its second "=": the whole line is ignored.
    EXPECT_EQ(Get(ini, L"S", L"x"), L"<missing>");
    EXPECT_EQ(Get(ini, L"S", L""), L"<missing>");
    EXPECT_EQ(Get(ini, L"S", L"empty"), L"");
    EXPECT_EQ(Get(ini, L"S", L"w x "), L" y");
    EXPECT_EQ(ini.Sections()[0].Entries.size(), 3u);
}

TEST(IniParseTest, OnlyLinesStartingWithALetterAreEntries) {
    const CIniFile ini = Parsed(
        L"[Window]\n  TopMost=1\nTopMost = 1\n;Snap=0\n#Drag=0\n=Frame\n1Frame=0\nt=ok\n\n\nZ=z\n");
    EXPECT_EQ(Get(ini, L"Window", L"TopMost"), L"<missing>");
    EXPECT_EQ(Get(ini, L"Window", L"TopMost "), L" 1");  // nothing is trimmed
    EXPECT_EQ(Get(ini, L"Window", L"Snap"), L"<missing>");
    EXPECT_EQ(Get(ini, L"Window", L"Drag"), L"<missing>");
    EXPECT_EQ(Get(ini, L"Window", L"1Frame"), L"<missing>");
    EXPECT_EQ(Get(ini, L"Window", L"t"), L"ok");
    EXPECT_EQ(Get(ini, L"Window", L"Z"), L"z");
    EXPECT_EQ(ini.Sections()[0].Entries.size(), 3u);
}

TEST(IniParseTest, NamesAreCaseSensitive) {
    const CIniFile ini = Parsed(L"[Window]\ntopmost=1\nTopMost=2\n[window]\nTopMost=3\n");
    EXPECT_EQ(Get(ini, L"Window", L"TopMost"), L"2");
    EXPECT_EQ(Get(ini, L"Window", L"topmost"), L"1");
    EXPECT_EQ(Get(ini, L"window", L"TopMost"), L"3");
    EXPECT_EQ(ini.Sections().size(), 2u);
}

TEST(IniParseTest, RepeatedKeysReplaceInPlace) {
    const CIniFile ini = Parsed(L"[S]\nA=1\nB=2\n[T]\nC=3\n[S]\nA=9\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    const auto& entries = ini.Sections()[0].Entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Key, L"A");
    EXPECT_EQ(entries[0].Value, L"9");
    EXPECT_EQ(entries[1].Key, L"B");
}

TEST(IniParseTest, LinesWithoutEqualsAndWithoutSection) {
    // Before any section only a non-empty key is stored; a line without "=" has an empty key.
    const CIniFile ini = Parsed(L"Lonely\nKey=v\n[S]\nJustText\nLast=no newline");
    EXPECT_EQ(Get(ini, L"", L"Key"), L"v");
    EXPECT_EQ(Get(ini, L"", L""), L"<missing>");
    EXPECT_EQ(Get(ini, L"S", L""), L"JustText");
    EXPECT_EQ(Get(ini, L"S", L"Last"), L"no newline");
}

TEST(IniParseTest, ParseRebuildsFromScratchAndKeepsCarriageReturns) {
    CIniFile ini;
    ini.SetString(L"Old", L"K", L"v");
    // Only CR LF pairs are turned into LF by the file layer; a CR alone is part of the value.
    ini.ParseText(L"[New]\nK=a\rb\n");
    EXPECT_EQ(Get(ini, L"Old", L"K"), L"<missing>");
    EXPECT_EQ(Get(ini, L"New", L"K"), L"a\rb");
    // The current section does not leak from one parse into the next.
    ini.ParseText(L"K=top\n");
    EXPECT_EQ(Get(ini, L"", L"K"), L"top");
    EXPECT_EQ(Get(ini, L"New", L"K"), L"<missing>");
}

TEST(IniNumberTest, NonNumbersReadZeroAndDefaultsOnlyForMissingKeys) {
    const CIniFile ini = Parsed(L"[S]\nWord=abc\nEmpty=\nSign=-\nSpaced= \t-42x7\nPlus=+17\n");
    int32_t value = 5;
    EXPECT_TRUE(ini.GetInt(L"S", L"Word", value, 99));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ini.GetInt(L"S", L"Empty", value, 99));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ini.GetInt(L"S", L"Sign", value, 99));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ini.GetInt(L"S", L"Spaced", value, 99));
    EXPECT_EQ(value, -42);
    EXPECT_TRUE(ini.GetInt(L"S", L"Plus", value, 99));
    EXPECT_EQ(value, 17);
    EXPECT_FALSE(ini.GetInt(L"S", L"Missing", value, 99));
    EXPECT_EQ(value, 99);
    EXPECT_FALSE(ini.GetInt(L"Nowhere", L"Word", value, -3));
    EXPECT_EQ(value, -3);

    uint16_t shortValue = 7;
    EXPECT_FALSE(ini.GetShort(L"S", L"Missing", shortValue));
    EXPECT_EQ(shortValue, 0);
    int64_t longValue = 7;
    EXPECT_FALSE(ini.GetInt64(L"S", L"Missing", longValue));
    EXPECT_EQ(longValue, 0);
    std::wstring text;
    EXPECT_FALSE(ini.GetString(L"S", L"Missing", text, L"fallback"));
    EXPECT_EQ(text, L"fallback");
}

TEST(IniNumberTest, ThirtyTwoBitValuesClampLikeTheRuntime) {
    EXPECT_EQ(CIniFile::ToInt32(L"2147483647"), 2147483647);
    EXPECT_EQ(CIniFile::ToInt32(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(CIniFile::ToInt32(L"2147483648"), INT32_MAX);
    EXPECT_EQ(CIniFile::ToInt32(L"-99999999999999999999999"), INT32_MIN);
    EXPECT_EQ(CIniFile::ToInt32(L"00000000000000000000012"), 12);
}

TEST(IniNumberTest, ShortValuesAreCutToSixteenBits) {
    CIniFile ini = Parsed(L"[S]\nA=65537\nB=65535\nC=-1\n");
    uint16_t value = 0;
    EXPECT_TRUE(ini.GetShort(L"S", L"A", value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(ini.GetShort(L"S", L"B", value));
    EXPECT_EQ(value, 65535);
    EXPECT_TRUE(ini.GetShort(L"S", L"C", value));
    EXPECT_EQ(value, 65535);
    ini.SetShort(L"S", L"D", 65535);
    std::wstring text;
    ini.GetString(L"S", L"D", text, L"");
    EXPECT_EQ(text, L"65535");
}

TEST(IniNumberTest, SixtyFourBitValuesAreWrittenUnsignedAndReadBack) {
    CIniFile ini;
    const int64_t values[] = {0, 333667, -1, INT64_MIN, INT64_MAX, 10000000000000LL};
    const wchar_t* texts[] = {L"0",
                              L"333667",
                              L"18446744073709551615",
                              L"9223372036854775808",
                              L"9223372036854775807",
                              L"10000000000000"};
    for (size_t i = 0; i < 6; ++i) {
        const std::wstring key = L"K" + std::to_wstring(i);
        ini.SetInt64(L"S", key, values[i]);
        std::wstring text;
        ini.GetString(L"S", key, text, L"");
        EXPECT_EQ(text, texts[i]);
        int64_t back = 0;
        EXPECT_TRUE(ini.GetInt64(L"S", key, back));
        EXPECT_EQ(back, values[i]);
    }
    EXPECT_EQ(CIniFile::ToInt64(L"-5"), -5);
    EXPECT_EQ(CIniFile::ToInt64(L" 12abc"), 12);
}

TEST(IniNumberTest, SignedWritesAndReplacements) {
    CIniFile ini;
    ini.SetInt(L"S", L"N", INT32_MIN);
    ini.SetInt(L"S", L"P", 42);
    ini.SetInt(L"S", L"N", -7);
    EXPECT_EQ(ini.Serialize(), L"[S]\nN=-7\nP=42\n\n");
}

TEST(IniSerializeTest, SectionsThenEntriesThenAnEmptyLine) {
    CIniFile ini;
    EXPECT_EQ(ini.Serialize(), L"");
    ini.SetString(L"B", L"x", L"1");
    ini.SetString(L"A", L"y", L"日本語");
    ini.SetString(L"B", L"z", L"a b ");
    EXPECT_EQ(ini.Serialize(), L"[B]\nx=1\nz=a b \n\n[A]\ny=日本語\n\n");
    CIniFile again = Parsed(ini.Serialize());
    EXPECT_EQ(again.Serialize(), ini.Serialize());
}
