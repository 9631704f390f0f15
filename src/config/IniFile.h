// CIniFile: the program's own INI document, used for the settings file and the profile file.
// It holds ordered sections of ordered key/value entries (names compared case-sensitively,
// each section once, each key once per section), typed reads and writes, and a whole-file
// rewrite. Nothing is escaped: a value holding "=", CR or LF does not survive a round trip.
//
// Threads: used on the main thread only; one document lives for one load or one save.
// Ownership: the document owns its text and sections; files are opened and closed inside
// Load and Save.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/Placement.h"

class CIniFile {
public:
    struct Entry {
        std::wstring Key;
        std::wstring Value;
    };
    struct Section {
        std::wstring Name;
        std::vector<Entry> Entries;
    };

    // Empties the document and reads the whole file into the raw text; call Parse next.
    // False when the file cannot be opened; the document then stays empty.
    bool Load(const std::wstring& path);

    // Serialises the sections into the raw text and replaces the file with it. A failed save
    // leaves the file on disk as it was. Characters the file's code page cannot hold are
    // written as its default character rather than failing the save.
    bool Save(const std::wstring& path);

    // Removes all sections and rebuilds them from the raw text.
    void Parse();
    // Replaces the raw text and parses it.
    void ParseText(const std::wstring& text);

    // The text Save writes: per section "[name]", one "key=value" line per entry, one empty line.
    std::wstring Serialize() const;

    const std::wstring& RawText() const { return m_text; }
    const std::wstring& Path() const { return m_path; }
    const std::vector<Section>& Sections() const { return m_sections; }
    void Clear();

    // Reads: true when the key exists; otherwise out gets the default and false is returned.
    // Numbers convert like the C runtime's wide decimal conversion: leading white space,
    // optional sign, digits up to the first non-digit; no digits reads 0.
    bool GetString(const std::wstring& section, const std::wstring& key, std::wstring& out,
                   const std::wstring& def) const;
    bool GetInt(const std::wstring& section, const std::wstring& key, int32_t& out,
                int32_t def) const;
    bool GetShort(const std::wstring& section, const std::wstring& key, uint16_t& out) const;
    bool GetInt64(const std::wstring& section, const std::wstring& key, int64_t& out) const;
    // "Window"/"Placement"; out is untouched when the key is missing or its text is invalid.
    bool GetPlacement(WindowPlacement& out) const;

    bool SetString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    bool SetInt(const std::wstring& section, const std::wstring& key, int32_t value);
    bool SetShort(const std::wstring& section, const std::wstring& key, uint16_t value);
    // Written as unsigned decimal: a negative value appears as its 64-bit two's complement.
    bool SetInt64(const std::wstring& section, const std::wstring& key, int64_t value);
    bool SetPlacement(const WindowPlacement& placement);

    // A value as one line can hold it: each run of control characters (a line break would end
    // the line, a Ctrl-Z the whole text) becomes one space, and is dropped at either end.
    static std::wstring OneLine(const std::wstring& value);

    // The C runtime-style conversions, exposed for the few callers that convert text alone.
    static int32_t ToInt32(const std::wstring& text);
    static int64_t ToInt64(const std::wstring& text);

private:
    const std::wstring* Find(const std::wstring& section, const std::wstring& key) const;
    void ParseLine(const std::wstring& line);

    std::wstring m_path;
    std::wstring m_text;
    std::wstring m_currentSection;
    std::vector<Section> m_sections;
    // Positions in m_sections and in each section's entries by name: a file of many thousand
    // keys (a damaged list count) still loads and saves in linear time.
    std::unordered_map<std::wstring, size_t> m_sectionIndex;
    std::vector<std::unordered_map<std::wstring, size_t>> m_keyIndex;
};
