#include "config/IniFile.h"

#include <limits>

#include "config/TextFile.h"

namespace {

const wchar_t kWindowSection[] = L"Window";
const wchar_t kPlacementKey[] = L"Placement";

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsCSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Skips white space and reads the sign; returns the position of the first digit candidate.
size_t ScanSign(const std::wstring& text, bool& negative) {
    size_t pos = 0;
    while (pos < text.size() && IsCSpace(text[pos])) ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == L'+' || text[pos] == L'-')) {
        negative = text[pos] == L'-';
        ++pos;
    }
    return pos;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// C0, DEL and C1: none of them is text a person means to keep in a name or a path.
bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

}  // namespace

std::wstring CIniFile::OneLine(const std::wstring& value) {
    std::wstring line;
    line.reserve(value.size());
    bool pendingSpace = false;
    for (wchar_t c : value) {
        if (IsControl(c)) {
            pendingSpace = !line.empty();
            continue;
        }
        if (pendingSpace) line += L' ';
        pendingSpace = false;
        line += c;
    }
    return line;
}

void CIniFile::Clear() {
    m_text.clear();
    m_currentSection.clear();
    m_sections.clear();
    m_sectionIndex.clear();
    m_keyIndex.clear();
}

bool CIniFile::Load(const std::wstring& path) {
    Clear();
    m_path = path;
    return ReadTextFile(path, m_text);
}

bool CIniFile::Save(const std::wstring& path) {
    m_path = path;
    m_text = Serialize();
    return ReplaceTextFile(path, m_text);
}

std::wstring CIniFile::Serialize() const {
    std::wstring text;
    for (const Section& section : m_sections) {
        text += L'[';
        text += section.Name;
        text += L"]\n";
        for (const Entry& entry : section.Entries) {
            text += entry.Key;
            text += L'=';
            text += entry.Value;
            text += L'\n';
        }
        text += L'\n';
    }
    return text;
}

void CIniFile::ParseText(const std::wstring& text) {
    m_text = text;
    Parse();
}

void CIniFile::Parse() {
    m_sections.clear();
    m_sectionIndex.clear();
    m_keyIndex.clear();
    m_currentSection.clear();
    size_t start = 0;
    while (start < m_text.size()) {
        size_t end = m_text.find(L'\n', start);
        if (end == std::wstring::npos) end = m_text.size();
        // A last line without its LF (a file edited by hand) still counts.
        if (end > start) ParseLine(m_text.substr(start, end - start));
        start = end + 1;
    }
    m_currentSection.clear();
}

void CIniFile::ParseLine(const std::wstring& line) {
    if (line[0] == L'[') {
        const size_t close = line.find(L']', 1);
        const std::wstring name =
            line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        if (!name.empty()) m_currentSection = name;
        return;
    }
    if (!IsAsciiLetter(line[0])) return;
    // The key is the text between the last two "=" (or the start and the only "="), the value
    // what follows the last "="; an empty key before any "=" makes the line invalid.
    std::wstring key;
    std::wstring buffer;
    for (wchar_t c : line) {
        if (c != L'=') {
            buffer += c;
            continue;
        }
        if (buffer.empty()) return;
        key.swap(buffer);
        buffer.clear();
    }
    if (!m_currentSection.empty() || !key.empty()) SetString(m_currentSection, key, buffer);
}

const std::wstring* CIniFile::Find(const std::wstring& section, const std::wstring& key) const {
    const auto s = m_sectionIndex.find(section);
    if (s == m_sectionIndex.end()) return nullptr;
    const auto& keys = m_keyIndex[s->second];
    const auto e = keys.find(key);
    return e == keys.end() ? nullptr : &m_sections[s->second].Entries[e->second].Value;
}

int32_t CIniFile::ToInt32(const std::wstring& text) {
    // Like _wtoi: out-of-range values clamp to the nearest 32-bit limit.
    bool negative = false;
    int64_t value = 0;
    for (size_t pos = ScanSign(text, negative); pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 + (text[pos] - L'0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

int64_t CIniFile::ToInt64(const std::wstring& text) {
    // Digits accumulate modulo 2^64, so every value SetInt64 writes as unsigned decimal
    // (a negative one as its two's complement) reads back as the same 64-bit value.
    bool negative = false;
    uint64_t value = 0;
    for (size_t pos = ScanSign(text, negative); pos < text.size() && IsDigit(text[pos]); ++pos) {
        value = value * 10 + static_cast<uint64_t>(text[pos] - L'0');
    }
    if (negative) value = 0 - value;
    return static_cast<int64_t>(value);
}

bool CIniFile::GetString(const std::wstring& section, const std::wstring& key, std::wstring& out,
                         const std::wstring& def) const {
    const std::wstring* value = Find(section, key);
    out = value ? *value : def;
    return value != nullptr;
}

bool CIniFile::GetInt(const std::wstring& section, const std::wstring& key, int32_t& out,
                      int32_t def) const {
    const std::wstring* value = Find(section, key);
    out = value ? ToInt32(*value) : def;
    return value != nullptr;
}

bool CIniFile::GetShort(const std::wstring& section, const std::wstring& key, uint16_t& out) const {
    const std::wstring* value = Find(section, key);
    out = value ? static_cast<uint16_t>(static_cast<uint32_t>(ToInt32(*value))) : 0;
    return value != nullptr;
}

bool CIniFile::GetInt64(const std::wstring& section, const std::wstring& key, int64_t& out) const {
    const std::wstring* value = Find(section, key);
    out = value ? ToInt64(*value) : 0;
    return value != nullptr;
}

bool CIniFile::GetPlacement(WindowPlacement& out) const {
    const std::wstring* value = Find(kWindowSection, kPlacementKey);
    return value && DecodePlacement(*value, &out);
}

bool CIniFile::SetString(const std::wstring& section, const std::wstring& key,
                         const std::wstring& value) {
    const auto s = m_sectionIndex.emplace(section, m_sections.size());
    if (s.second) {
        m_sections.push_back(Section{section, {}});
        m_keyIndex.emplace_back();
    }
    Section& target = m_sections[s.first->second];
    const auto e = m_keyIndex[s.first->second].emplace(key, target.Entries.size());
    if (e.second) {
        target.Entries.push_back(Entry{key, value});
    } else {
        target.Entries[e.first->second].Value = value;
    }
    return true;
}

bool CIniFile::SetInt(const std::wstring& section, const std::wstring& key, int32_t value) {
    return SetString(section, key, std::to_wstring(value));
}

bool CIniFile::SetShort(const std::wstring& section, const std::wstring& key, uint16_t value) {
    return SetString(section, key, std::to_wstring(static_cast<unsigned>(value)));
}

bool CIniFile::SetInt64(const std::wstring& section, const std::wstring& key, int64_t value) {
    return SetString(
        section, key,
        std::to_wstring(static_cast<unsigned long long>(static_cast<uint64_t>(value))));
}

bool CIniFile::SetPlacement(const WindowPlacement& placement) {
    return SetString(kWindowSection, kPlacementKey, EncodePlacement(placement));
}
