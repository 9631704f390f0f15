// The framework additions under Wine: child pages in a tab control (layout, showing the chosen
// page, tab order into the page, pre-translation reaching the page before its frame), the brush
// a WM_CTLCOLOR* handler returns (read back as pixels), WM_HSCROLL handlers (keyboard steps and
// a position beyond 16 bits), and a virtual list view (cell texts asked from the model and
// bounded by the caller's buffer, row colours as pixels, a check box clicked with the mouse).
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PumpMessages.h"
#include "res/WinfxPagesTestIds.h"
#include "wincom/UniqueHandle.h"
#include "winfx/Dialog.h"
#include "winfx/TabPages.h"
#include "winfx/VirtualListView.h"

namespace lumoka {
namespace {

constexpr COLORREF kPink = RGB(255, 200, 200);
constexpr COLORREF kBlue = RGB(200, 200, 255);

void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

class CTestPage : public CDialog {
public:
    CTestPage(UINT id, std::vector<std::string>& log, const char* name)
        : CDialog(id), m_log(log), m_name(name) {}

    UniqueGdiObject brush{CreateSolidBrush(kPink)};
    std::vector<std::pair<int, int>> scrolls;
    CVirtualListView list;
    std::vector<bool> checked{false, true, false};

protected:
    BOOL OnInitDialog() override {
        if (!GetItem(IDC_PAGE_B_LIST)) return TRUE;
        list.Attach(GetItem(IDC_PAGE_B_LIST), LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
        list.AddColumn(L"", 30);
        list.AddColumn(L"名前", 120);
        list.SetCellText([](int row, int column) {
            return column == 1 ? L"行" + std::to_wstring(row) + L" abcdef" : std::wstring();
        });
        list.SetRowColours([](int row, COLORREF& text, COLORREF& back) {
            text = RGB(0, 0, 0);
            back = row == 1 ? kBlue : RGB(255, 255, 255);
        });
        list.SetRowChecked([this](int row) { return checked[static_cast<size_t>(row)]; });
        list.SetCount(3);
        SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_POS, 0, 100000, 0, 70000, 0};
        SetScrollInfo(GetItem(IDC_PAGE_B_BAR), SB_CTL, &info, FALSE);
        return TRUE;
    }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5) m_log.push_back(m_name);
        return false;
    }
    HBRUSH OnCtlColor(UINT msg, HDC dc, HWND control) override {
        if (msg != WM_CTLCOLOREDIT || control != GetItem(IDC_PAGE_B_EDIT)) return nullptr;
        SetBkColor(dc, kPink);
        return static_cast<HBRUSH>(brush.Get());
    }
    bool OnHScroll(HWND bar, int code, int position) override {
        if (bar != GetItem(IDC_PAGE_B_BAR)) return false;
        scrolls.emplace_back(code, position);
        return true;
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam) override {
        const NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        LRESULT result = 0;
        if (list.HandleNotify(header, result)) return result;
        const int row = list.CheckBoxHit(header);
        if (row >= 0) {
            checked[static_cast<size_t>(row)] = !checked[static_cast<size_t>(row)];
            list.RedrawRow(row);
        }
        return 0;
    }

private:
    std::vector<std::string>& m_log;
    const char* m_name;
};

class CTestFrame : public CDialog {
public:
    CTestFrame() : CDialog(IDD_TEST_FRAME) {}
    std::vector<std::string> log;
    CTestPage pageA{IDD_TEST_PAGE_A, log, "pageA"};
    CTestPage pageB{IDD_TEST_PAGE_B, log, "pageB"};
    CTabPages tabs;

protected:
    BOOL OnInitDialog() override {
        tabs.Attach(GetItem(IDC_FRAME_TAB));
        tabs.AddPage(L"ページA", pageA);
        tabs.AddPage(L"ページB", pageB);
        tabs.Select(0);
        return TRUE;
    }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F5) log.push_back("frame");
        return false;
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam) override {
        tabs.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        return 0;
    }
};

class WinfxPages : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        ASSERT_TRUE(frame.Create(nullptr));
        SetWindowPos(frame.GetHwnd(), HWND_TOPMOST, 20, 20, 0, 0, SWP_NOSIZE);
        ShowWindow(frame.GetHwnd(), SW_SHOW);
        SetForegroundWindow(frame.GetHwnd());
        PumpFor(100);
    }
    CTestFrame frame;
};

TEST_F(WinfxPages, PagesFillTheTabAndTheKeyboardReachesTheShownOne) {
    ASSERT_EQ(frame.tabs.Count(), 2);
    RECT area{};
    GetClientRect(frame.GetItem(IDC_FRAME_TAB), &area);
    SendMessageW(frame.GetItem(IDC_FRAME_TAB), TCM_ADJUSTRECT, FALSE,
                 reinterpret_cast<LPARAM>(&area));
    RECT page{};
    GetWindowRect(frame.pageA.GetHwnd(), &page);
    MapWindowPoints(nullptr, frame.GetItem(IDC_FRAME_TAB), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_TRUE(EqualRect(&page, &area));
    EXPECT_EQ(GetParent(frame.pageA.GetHwnd()), frame.GetItem(IDC_FRAME_TAB));
    EXPECT_TRUE(IsWindowVisible(frame.pageA.GetHwnd()));
    EXPECT_FALSE(IsWindowVisible(frame.pageB.GetHwnd()));

    // Tab from the frame's edit goes into the shown page, not to the hidden one.
    SetFocus(frame.GetItem(IDC_FRAME_EDIT));
    PostMessageW(frame.GetItem(IDC_FRAME_EDIT), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == frame.pageA.GetItem(IDC_PAGE_A_FIRST); }))
        << "focus went to " << GetDlgCtrlID(GetFocus());
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == frame.pageA.GetItem(IDC_PAGE_A_SECOND); }));

    // A key of a page's control is offered to the page first, then to its frame.
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(PumpUntil([&] { return frame.log.size() == 2; }));
    EXPECT_EQ(frame.log, (std::vector<std::string>{"pageA", "frame"}));

    // The tab control's selection change shows the other page.
    SendMessageW(frame.GetItem(IDC_FRAME_TAB), TCM_SETCURSEL, 1, 0);
    NMHDR change{frame.GetItem(IDC_FRAME_TAB), IDC_FRAME_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(frame.GetHwnd(), WM_NOTIFY, IDC_FRAME_TAB, reinterpret_cast<LPARAM>(&change));
    EXPECT_TRUE(IsWindowVisible(frame.pageB.GetHwnd()));
    EXPECT_FALSE(IsWindowVisible(frame.pageA.GetHwnd()));
    frame.tabs.Select(5);
    EXPECT_FALSE(IsWindowVisible(frame.pageB.GetHwnd()));
}

TEST_F(WinfxPages, ColourScrollAndVirtualListOnAPage) {
    frame.tabs.Select(1);
    CTestPage& page = frame.pageB;
    HWND edit = page.GetItem(IDC_PAGE_B_EDIT);
    // The dialog procedure hands the brush itself back for WM_CTLCOLOR*.
    HDC dc = GetDC(edit);
    EXPECT_EQ(SendMessageW(page.GetHwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(edit)),
              reinterpret_cast<LRESULT>(page.brush.Get()));
    ReleaseDC(edit, dc);
    InvalidateRect(edit, nullptr, TRUE);
    RECT r{};
    GetClientRect(edit, &r);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(edit, r.right - 3, r.bottom / 2) == kPink; }))
        << std::hex << ScreenPixel(edit, r.right - 3, r.bottom / 2);

    // Arrow keys on the focused bar reach OnHScroll; the thumb position is the 32-bit one.
    HWND bar = page.GetItem(IDC_PAGE_B_BAR);
    SetFocus(bar);
    PostMessageW(bar, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(PumpUntil([&] { return !page.scrolls.empty(); }));
    ASSERT_FALSE(page.scrolls.empty());
    EXPECT_EQ(page.scrolls[0].first, SB_LINERIGHT);
    page.scrolls.clear();
    SendMessageW(page.GetHwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 70000 & 0xFFFF),
                 reinterpret_cast<LPARAM>(bar));
    ASSERT_EQ(page.scrolls.size(), 1u);
    EXPECT_EQ(page.scrolls[0], std::make_pair(static_cast<int>(SB_THUMBPOSITION), 70000));

    // Cell texts come from the model, cut to the caller's buffer.
    HWND list = page.list.GetHwnd();
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, L"行2 abcdef");
    item.cchTextMax = 4;
    SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, L"行0 ");
    const auto checkState = [&](int row) {
        return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >>
               12;
    };
    EXPECT_EQ(checkState(0), 1u);
    EXPECT_EQ(checkState(1), 2u);

    // Row 1 is drawn in its model colour; row 0 white.
    RECT row1{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row1));
    RECT row0{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0));
    const int x = 140;
    EXPECT_TRUE(PumpUntil([&] {
        return ScreenPixel(list, x, (row1.top + row1.bottom) / 2) == kBlue &&
               ScreenPixel(list, x, (row0.top + row0.bottom) / 2) == RGB(255, 255, 255);
    })) << std::hex
        << ScreenPixel(list, x, (row1.top + row1.bottom) / 2);

    // A mouse click on row 0's check box toggles the model's state.
    LVHITTESTINFO probe{};
    for (probe.pt = {1, (row0.top + row0.bottom) / 2}; probe.pt.x < 40; ++probe.pt.x) {
        SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&probe));
        if (probe.flags & LVHT_ONITEMSTATEICON) break;
    }
    ASSERT_TRUE(probe.flags & LVHT_ONITEMSTATEICON);
    POINT click = probe.pt;
    ClientToScreen(list, &click);
    SetCursorPos(click.x, click.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
    EXPECT_TRUE(PumpUntil([&] { return page.checked[0]; }));
    EXPECT_EQ(checkState(0), 2u);
}

}  // namespace
}  // namespace lumoka
