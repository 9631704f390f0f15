// libFuzzer target over the path a settings or profile file takes: bytes -> text -> CIniFile ->
// the settings record and the ten profiles -> saved text -> bytes -> loaded again.
//
// Every input is read as both files and through two decodings:
//  - the native file layer (textfile_detail::DecodeDiskText: CR LF rule, then UTF-8), which is
//    what the native build runs;
//  - the CR LF rule followed by code page 932 through iconv, standing in for the Windows path
//    (the user's ANSI code page; MultiByteToWideChar itself cannot run here). Invalid bytes
//    decode to U+FFFD and characters the code page lacks encode to "?", as the Windows
//    conversion's default character does.
// Invariants, each an abort (a finding) when broken: no sanitizer report; the saved bytes,
// loaded again, give the same records as the first load (unless the code page had to replace
// a character) and save to the very same bytes (a fixed point).
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>

#include "config/Config.h"
#include "config/TextFileDetail.h"

namespace {

const DesktopMetrics kDesktop{4, 4, 19, 1280, 1024};

void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A conversion through iconv; a character it cannot take becomes `replacement`, one per
// offending input unit. False when the conversion itself is unavailable.
bool Convert(const char* to, const char* from, const char* in, size_t inSize, size_t unit,
             const std::string& replacement, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out.clear();
    char buffer[4096];
    char* src = const_cast<char*>(in);
    size_t left = inSize;
    while (left > 0) {
        char* dst = buffer;
        size_t room = sizeof buffer;
        const size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            out += replacement;
            const size_t skip = unit < left ? unit : left;
            src += skip;
            left -= skip;
        }
    }
    iconv_close(cd);
    return true;
}

struct CodePage932 {
    // True when a character had to be replaced on the way.
    bool replaced = false;

    std::wstring Decode(const std::string& bytes) {
        return FromCodePage(textfile_detail::FromDiskLineEnds(bytes));
    }

    std::wstring FromCodePage(const std::string& lines) {
        const wchar_t fffd = 0xFFFD;
        const std::string wideFffd(reinterpret_cast<const char*>(&fffd), sizeof fffd);
        std::string wide;
        if (!Convert("WCHAR_T", "CP932", lines.data(), lines.size(), 1, wideFffd, wide)) {
            Fail("iconv has no CP932");
        }
        std::wstring text(wide.size() / sizeof(wchar_t), L'\0');
        wide.copy(reinterpret_cast<char*>(&text[0]), text.size() * sizeof(wchar_t));
        if (text.find(fffd) != std::wstring::npos) replaced = true;
        return text;
    }

    std::string Encode(const std::wstring& text) {
        std::string bytes;
        Convert("CP932", "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                text.size() * sizeof(wchar_t), sizeof(wchar_t), "?", bytes);
        if (FromCodePage(bytes) != text) replaced = true;
        return textfile_detail::ToDiskLineEnds(bytes);
    }
};

struct NativeLayer {
    bool replaced = false;

    std::wstring Decode(const std::string& bytes) { return textfile_detail::DecodeDiskText(bytes); }
    std::string Encode(const std::wstring& text) {
        std::string bytes;
        if (!textfile_detail::EncodeDiskText(text, bytes)) Fail("native encoding refused text");
        return bytes;
    }
};

bool SameSettings(const CConfig& a, const CConfig& b) {
    auto fields = [](const CConfig& c) {
        return std::tie(c.Placement, c.AspectRatio, c.TitleBar, c.Frame, c.TopMost, c.Snap, c.Drag,
                        c.ScreenSaverStop, c.MonitorPowerOffStop, c.SystemStanbyStop, c.Folder,
                        c.Type, c.VideoSize, c.Crop, c.JpegQuality);
    };
    return fields(a) == fields(b);
}

bool SameProfiles(const CConfig& a, const CConfig& b) {
    return a.Selected == b.Selected && a.LastTab == b.LastTab && a.Profiles == b.Profiles;
}

CConfig MakeConfig() {
    CConfig config;
    config.InitFromModulePath(L"/opt/lumoka/Lumoka2.exe", L'/');
    return config;
}

// Loads bytes as one kind of file, saves, loads the saved bytes, saves again.
template <class Layer, class Load, class Save, class Same>
void RoundTrip(const std::string& input, Load load, Save save, Same same) {
    Layer layer;
    CConfig first = MakeConfig();
    load(first, layer.Decode(input));
    const std::string saved = layer.Encode(save(first));

    CConfig second = MakeConfig();
    load(second, layer.Decode(saved));
    if (!layer.replaced && !same(first, second)) Fail("second load gives other records");
    const std::string savedAgain = layer.Encode(save(second));
    if (savedAgain != saved) Fail("saving the loaded save gives other bytes");

    CConfig third = MakeConfig();
    load(third, layer.Decode(savedAgain));
    if (!same(second, third)) Fail("records change on a third load");
}

template <class Layer>
void CheckBothFiles(const std::string& input) {
    RoundTrip<Layer>(
        input, [](CConfig& c, const std::wstring& t) { c.LoadSettingsFromText(t, kDesktop); },
        [](const CConfig& c) { return c.SettingsText(); }, SameSettings);
    RoundTrip<Layer>(
        input, [](CConfig& c, const std::wstring& t) { c.LoadProfilesFromText(t); },
        [](const CConfig& c) { return c.ProfilesText(); }, SameProfiles);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckBothFiles<NativeLayer>(input);
    CheckBothFiles<CodePage932>(input);
    return 0;
}
