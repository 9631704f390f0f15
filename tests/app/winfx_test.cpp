// The dialog framework under Wine: handlers reached through the one dialog procedure, WM_NOTIFY
// results delivered to the sender, our modal loop (results, Enter/Escape, owner disabling,
// WM_QUIT, modeless dialogs inside it), modeless lifetime, and the data-exchange helpers.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogTemplateBuilder.h"
#include "winfx/DataExchange.h"
#include "winfx/Dialog.h"

namespace lumoka {
namespace {

using testing::AsTemplate;
using testing::CDialogTemplateBuilder;

constexpr int kEditId = 100;
constexpr int kCheckId = 101;
constexpr int kComboId = 102;
constexpr UINT kRunScript = WM_APP + 1;  // posted by tests: run the test's scenario step
constexpr int kNotifyCode = -1234;

// Under Wine without a window manager, hiding a shown top-level window waits about 2 s for the
// manager's answer, so tests show a window only where showing is what they check.
std::vector<WORD> MakeTestTemplate(DWORD extraStyle = 0) {
    return CDialogTemplateBuilder(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | extraStyle,
                                  L"Test", 200, 120)
        .AddItem(CDialogTemplateBuilder::kEdit, kEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                 10, 10, 100, 14)
        .AddItem(CDialogTemplateBuilder::kButton, kCheckId, BS_AUTOCHECKBOX | WS_TABSTOP, 10, 30,
                 100, 14, L"Check")
        .AddItem(CDialogTemplateBuilder::kComboBox, kComboId,
                 CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 50, 100, 80)
        .Build();
}

// Records every handler call and runs a scenario step when kRunScript arrives.
class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(const DLGTEMPLATE* t) : CDialog(t) {}

    std::vector<std::string> calls;
    std::function<void(CProbeDialog&)> onInit;
    std::function<void(CProbeDialog&)> script;
    LRESULT notifyResult = 0;
    UINT lastNotifyCode = 0;
    bool visibleAtDestroy = false;

protected:
    BOOL OnInitDialog() override {
        calls.push_back("init");
        if (onInit) onInit(*this);
        return TRUE;
    }
    bool OnCommand(WPARAM wParam, LPARAM) override {
        // Control notifications (focus changes of the edit box) are not what these tests count.
        if (HIWORD(wParam) == 0) calls.push_back("command:" + std::to_string(LOWORD(wParam)));
        return LOWORD(wParam) == 500;
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam) override {
        lastNotifyCode = reinterpret_cast<NMHDR*>(lParam)->code;
        calls.push_back("notify");
        return notifyResult;
    }
    void OnOK() override {
        calls.push_back("ok");
        CDialog::OnOK();
    }
    void OnCancel() override {
        calls.push_back("cancel");
        CDialog::OnCancel();
    }
    void OnClose() override {
        calls.push_back("close");
        CDialog::OnClose();
    }
    void OnDestroy() override {
        visibleAtDestroy = IsWindowVisible(GetHwnd()) != FALSE;
        calls.push_back("destroy");
    }
    INT_PTR DialogProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kRunScript) {
            if (script) script(*this);
            return TRUE;
        }
        return CDialog::DialogProc(msg, wParam, lParam);
    }
};

// Posts the next scenario step behind whatever the scenario posted before.
void PostScript(CDialog& d) { PostMessageW(d.GetHwnd(), kRunScript, 0, 0); }

class WinfxDialogTest : public ::testing::Test {
protected:
    std::vector<WORD> words_ = MakeTestTemplate();
    CProbeDialog dialog_{AsTemplate(words_)};
};

TEST_F(WinfxDialogTest, ModalRunsHandlersInOrderAndReturnsTheEndResult) {
    HWND seen = nullptr;
    dialog_.onInit = [&](CProbeDialog& d) {
        seen = d.GetHwnd();
        PostScript(d);
    };
    dialog_.script = [&](CProbeDialog& d) {
        EXPECT_TRUE(IsWindowVisible(d.GetHwnd())) << "the modal loop shows the dialog";
        EXPECT_TRUE(d.IsModal());
        SendMessageW(d.GetHwnd(), WM_COMMAND, MAKEWPARAM(500, 0), 0);
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog_.DoModal(nullptr), 42);
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "command:500", "destroy"}));
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_FALSE(dialog_.IsOpen());
}

TEST_F(WinfxDialogTest, NotifyResultReachesTheSender) {
    dialog_.notifyResult = -7;
    dialog_.onInit = [](CProbeDialog& d) { PostScript(d); };
    LRESULT delivered = 0;
    dialog_.script = [&](CProbeDialog& d) {
        NMHDR header{d.GetItem(kEditId), static_cast<UINT_PTR>(kEditId),
                     static_cast<UINT>(kNotifyCode)};
        delivered =
            SendMessageW(d.GetHwnd(), WM_NOTIFY, kEditId, reinterpret_cast<LPARAM>(&header));
        d.EndDialog(1);
    };
    ASSERT_EQ(dialog_.DoModal(nullptr), 1);
    EXPECT_EQ(delivered, -7);
    EXPECT_EQ(dialog_.lastNotifyCode, static_cast<UINT>(kNotifyCode));
}

TEST_F(WinfxDialogTest, CloseGoesThroughOnCloseToCancel) {
    dialog_.onInit = [](CProbeDialog& d) { PostMessageW(d.GetHwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(dialog_.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "close", "cancel", "destroy"}));
}

// Without swallowing, the loop's IsDialogMessage turns Escape into IDCANCEL and Enter into IDOK.
TEST_F(WinfxDialogTest, EscapeAndEnterReachTheDialogManagerUnlessSwallowed) {
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        CProbeDialog d(AsTemplate(words_));
        d.onInit = [key](CProbeDialog& self) {
            PostMessageW(self.GetItem(kEditId), WM_KEYDOWN, key, 0);
            PostScript(self);
        };
        d.script = [](CProbeDialog& self) { self.EndDialog(7); };
        EXPECT_EQ(d.DoModal(nullptr), key == VK_ESCAPE ? IDCANCEL : IDOK) << key;
    }
}

TEST_F(WinfxDialogTest, SwallowedEnterAndEscapeLeaveTheDialogOpen) {
    dialog_.SetSwallowEnterEscape(true);
    dialog_.onInit = [](CProbeDialog& d) {
        PostMessageW(d.GetItem(kEditId), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(d.GetItem(kEditId), WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(d.GetHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(d.GetHwnd(), WM_KEYDOWN, VK_RETURN, 0);
        PostScript(d);
    };
    dialog_.script = [](CProbeDialog& d) { d.EndDialog(7); };
    EXPECT_EQ(dialog_.DoModal(nullptr), 7);
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "destroy"}));
}

TEST_F(WinfxDialogTest, OwnerIsDisabledWhileModalAndEnabledAfter) {
    CProbeDialog owner(AsTemplate(words_));
    ASSERT_TRUE(owner.Create(nullptr));
    bool ownerEnabledInside = true;
    HWND ownerSeen = nullptr;
    dialog_.onInit = [](CProbeDialog& d) { PostScript(d); };
    dialog_.script = [&](CProbeDialog& d) {
        ownerEnabledInside = IsWindowEnabled(owner.GetHwnd()) != FALSE;
        ownerSeen = GetWindow(d.GetHwnd(), GW_OWNER);
        d.EndDialog(3);
    };
    // A child control as owner: the dialog is owned by its top-level window.
    EXPECT_EQ(dialog_.DoModal(owner.GetItem(kEditId)), 3);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_EQ(ownerSeen, owner.GetHwnd());
    EXPECT_TRUE(IsWindowEnabled(owner.GetHwnd()));
}

TEST_F(WinfxDialogTest, QuitMessageEndsTheModalLoopAndIsPostedAgain) {
    dialog_.onInit = [](CProbeDialog&) { PostQuitMessage(5); };
    EXPECT_EQ(dialog_.DoModal(nullptr), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(WinfxDialogTest, EndingDuringInitialisationNeverShowsTheDialog) {
    dialog_.onInit = [&](CProbeDialog& d) { d.EndDialog(9); };
    EXPECT_EQ(dialog_.DoModal(nullptr), 9);
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "destroy"}));
    EXPECT_FALSE(dialog_.visibleAtDestroy);
    EXPECT_FALSE(dialog_.IsOpen());
}

TEST(WinfxDialog, MissingTemplateFailsWithMinusOne) {
    CDialog missing(54321);
    EXPECT_EQ(missing.DoModal(nullptr), -1);
    EXPECT_FALSE(missing.Create(nullptr));
}

// A modeless dialog opened from a modal one keeps its keyboard handling in our loop.
TEST_F(WinfxDialogTest, ModelessDialogInsideModalLoopGetsItsKeys) {
    CProbeDialog modeless(AsTemplate(words_));
    dialog_.onInit = [](CProbeDialog& d) { PostScript(d); };
    int step = 0;
    dialog_.script = [&](CProbeDialog& d) {
        if (step++ == 0) {
            ASSERT_TRUE(modeless.Create(d.GetHwnd()));
            PostMessageW(modeless.GetItem(kEditId), WM_KEYDOWN, VK_ESCAPE, 0);
            PostScript(d);
        } else {
            d.EndDialog(modeless.IsOpen() ? 0 : 1);
        }
    };
    EXPECT_EQ(dialog_.DoModal(nullptr), 1);
    EXPECT_EQ(modeless.calls, (std::vector<std::string>{"init", "command:2", "cancel", "destroy"}));
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "destroy"}))
        << "Escape went to the modeless dialog only";
}

TEST(WinfxDialog, ModelessIsShownAsItsTemplateSays) {
    std::vector<WORD> visible = MakeTestTemplate(WS_VISIBLE);
    std::vector<WORD> hidden = MakeTestTemplate();
    CProbeDialog shown(AsTemplate(visible));
    CProbeDialog notShown(AsTemplate(hidden));
    ASSERT_TRUE(shown.Create(nullptr));
    ASSERT_TRUE(notShown.Create(nullptr));
    EXPECT_TRUE(IsWindowVisible(shown.GetHwnd()));
    EXPECT_FALSE(IsWindowVisible(notShown.GetHwnd()));
}

TEST_F(WinfxDialogTest, ModelessLivesUntilEndedAndReportsItsDestruction) {
    ASSERT_TRUE(dialog_.Create(nullptr));
    HWND hwnd = dialog_.GetHwnd();
    EXPECT_FALSE(dialog_.IsModal());
    EXPECT_FALSE(dialog_.Create(nullptr)) << "one window per object";
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(dialog_.IsOpen());
    EXPECT_EQ(dialog_.calls, (std::vector<std::string>{"init", "command:1", "ok", "destroy"}));
    // The object can open its dialog again.
    ASSERT_TRUE(dialog_.Create(nullptr));
    dialog_.DestroyWindow();
    EXPECT_FALSE(dialog_.IsOpen());
}

TEST(WinfxDialog, DestroyingTheObjectDestroysItsOpenWindow) {
    std::vector<WORD> words = MakeTestTemplate();
    HWND hwnd = nullptr;
    {
        CProbeDialog d(AsTemplate(words));
        ASSERT_TRUE(d.Create(nullptr));
        hwnd = d.GetHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

class WinfxDataExchangeTest : public WinfxDialogTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog_.Create(nullptr));
        dlg_ = dialog_.GetHwnd();
    }
    HWND dlg_ = nullptr;
};

TEST_F(WinfxDataExchangeTest, TextRoundTripsIncludingJapanese) {
    EXPECT_TRUE(SetItemText(dlg_, kEditId, L"プロファイル0"));
    EXPECT_EQ(GetItemText(dlg_, kEditId), L"プロファイル0");
    EXPECT_TRUE(SetItemText(dlg_, kEditId, L""));
    EXPECT_EQ(GetItemText(dlg_, kEditId), L"");
    EXPECT_FALSE(SetItemText(dlg_, 999, L"x"));
    EXPECT_EQ(GetItemText(dlg_, 999), L"");
}

TEST_F(WinfxDataExchangeTest, IntegersAreSignedAndRejectWhatIsNotANumber) {
    int32_t value = 0;
    ASSERT_TRUE(SetItemInt(dlg_, kEditId, -2147483647 - 1));
    ASSERT_TRUE(GetItemInt(dlg_, kEditId, value));
    EXPECT_EQ(value, INT32_MIN);
    SetItemText(dlg_, kEditId, L"  42 ");
    ASSERT_TRUE(GetItemInt(dlg_, kEditId, value));
    EXPECT_EQ(value, 42);
    for (const wchar_t* bad : {L"", L"12a", L"abc", L"2147483648", L"-2147483649"}) {
        value = 77;
        SetItemText(dlg_, kEditId, bad);
        EXPECT_FALSE(GetItemInt(dlg_, kEditId, value)) << bad;
        EXPECT_EQ(value, 77) << "left untouched";
    }
    EXPECT_FALSE(GetItemInt(dlg_, 999, value));
}

TEST_F(WinfxDataExchangeTest, CheckBoxes) {
    EXPECT_FALSE(IsItemChecked(dlg_, kCheckId));
    SetItemChecked(dlg_, kCheckId, true);
    EXPECT_TRUE(IsItemChecked(dlg_, kCheckId));
    SetItemChecked(dlg_, kCheckId, false);
    EXPECT_FALSE(IsItemChecked(dlg_, kCheckId));
    EXPECT_FALSE(IsItemChecked(dlg_, 999));
}

TEST_F(WinfxDataExchangeTest, ComboSelectionAndItemData) {
    EXPECT_EQ(GetComboSelection(dlg_, kComboId), -1);
    EXPECT_EQ(AddComboItem(dlg_, kComboId, L"通常", 10), 0);
    EXPECT_EQ(AddComboItem(dlg_, kComboId, L"高", 20), 1);
    EXPECT_EQ(GetComboCount(dlg_, kComboId), 2);
    EXPECT_TRUE(SetComboSelection(dlg_, kComboId, 1));
    EXPECT_EQ(GetComboSelection(dlg_, kComboId), 1);
    EXPECT_EQ(GetItemText(dlg_, kComboId), L"高");
    EXPECT_EQ(GetComboItemData(dlg_, kComboId, 1), 20);
    EXPECT_EQ(GetComboItemData(dlg_, kComboId, 5), 0);
    EXPECT_FALSE(SetComboSelection(dlg_, kComboId, 2));
    EXPECT_EQ(GetComboSelection(dlg_, kComboId), -1) << "an out-of-range index clears";
    ClearCombo(dlg_, kComboId);
    EXPECT_EQ(GetComboCount(dlg_, kComboId), 0);
    EXPECT_EQ(AddComboItem(dlg_, 999, L"x"), CB_ERR);
    EXPECT_EQ(GetComboSelection(dlg_, 999), -1);
}

}  // namespace
}  // namespace lumoka
