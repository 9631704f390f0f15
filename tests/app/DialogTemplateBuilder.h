// Builds a DLGTEMPLATE with its items in memory, so framework tests need no resource script.
// Test helper; the layout is the documented one: a DLGTEMPLATE header, menu, class and title
// arrays, then one DWORD-aligned DLGITEMTEMPLATE per control with its class atom and title.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumoka::testing {

class CDialogTemplateBuilder {
public:
    // Predefined control classes, as the atoms a template may name them by.
    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kEdit = 0x0081;
    static constexpr WORD kStatic = 0x0082;
    static constexpr WORD kComboBox = 0x0085;

    CDialogTemplateBuilder(DWORD style, const std::wstring& title, short cx, short cy)
        : m_style(style), m_title(title), m_cx(cx), m_cy(cy) {}

    CDialogTemplateBuilder& AddItem(WORD classAtom, WORD id, DWORD style, short x, short y,
                                    short cx, short cy, const std::wstring& text = L"") {
        m_items.push_back(Item{classAtom, id, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy, text});
        return *this;
    }

    // The finished template; valid while the returned buffer lives.
    std::vector<WORD> Build() const {
        std::vector<WORD> words;
        DLGTEMPLATE header{};
        header.style = m_style;
        header.cdit = static_cast<WORD>(m_items.size());
        header.cx = m_cx;
        header.cy = m_cy;
        Append(words, &header, sizeof(header));
        words.push_back(0);  // no menu
        words.push_back(0);  // the standard dialog class
        AppendString(words, m_title);
        for (const Item& item : m_items) {
            if (words.size() % 2 != 0) words.push_back(0);  // DWORD alignment
            DLGITEMTEMPLATE t{};
            t.style = item.style;
            t.x = item.x;
            t.y = item.y;
            t.cx = item.cx;
            t.cy = item.cy;
            t.id = item.id;
            Append(words, &t, sizeof(t));
            words.push_back(0xFFFF);
            words.push_back(item.classAtom);
            AppendString(words, item.text);
            words.push_back(0);  // no creation data
        }
        return words;
    }

private:
    struct Item {
        WORD classAtom;
        WORD id;
        DWORD style;
        short x, y, cx, cy;
        std::wstring text;
    };

    static void Append(std::vector<WORD>& words, const void* data, size_t bytes) {
        const WORD* w = static_cast<const WORD*>(data);
        words.insert(words.end(), w, w + bytes / sizeof(WORD));
    }
    static void AppendString(std::vector<WORD>& words, const std::wstring& text) {
        for (wchar_t c : text) words.push_back(static_cast<WORD>(c));
        words.push_back(0);
    }

    DWORD m_style;
    std::wstring m_title;
    short m_cx, m_cy;
    std::vector<Item> m_items;
};

inline const DLGTEMPLATE* AsTemplate(const std::vector<WORD>& words) {
    return reinterpret_cast<const DLGTEMPLATE*>(words.data());
}

}  // namespace lumoka::testing
