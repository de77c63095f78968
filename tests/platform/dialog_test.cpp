// The dialog layer on a hidden owner window (SDL's offscreen driver): the combo box and button
// messages, the user's actions and the order of their notifications, creation and ending, and the
// modal loop driven by keys.
#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/dialog/dialog_internal.h"

namespace {

using velunar::dialog::UserChooseEntry;
using velunar::dialog::UserClick;

constexpr WORD kTemplateId = 901;

const DialogItemTemplate kItems[] = {
    {DialogItemKind::Label, -1, "Label", 10, 10, 60, 20},
    {DialogItemKind::ComboBox, 100, "", 80, 10, 200, 24},
    {DialogItemKind::ComboBox, 101, "", 80, 40, 200, 24},
    {DialogItemKind::GroupBox, -1, "Group", 10, 70, 300, 60},
    {DialogItemKind::RadioButton, 200, "A", 20, 90, 60, 20, true},
    {DialogItemKind::RadioButton, 201, "B", 90, 90, 60, 20},
    {DialogItemKind::RadioButton, 202, "C", 160, 90, 60, 20, true},
    {DialogItemKind::RadioButton, 203, "D", 230, 90, 60, 20},
    {DialogItemKind::DefPushButton, IDOK, "OK", 120, 140, 80, 26},
    {DialogItemKind::PushButton, IDCANCEL, "Cancel", 210, 140, 80, 26},
};
const DialogTemplate kTemplate = {"Test", 320, 180, kItems, 10};

struct Msg {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Msg> g_log;
std::vector<Msg> g_comboLog;
WNDPROC g_oldCombo = nullptr;
// What the test procedure does on OK: EndDialog with this.
INT_PTR g_okResult = 1;

INT_PTR CALLBACK TestProc(HWND d, UINT m, WPARAM w, LPARAM l) {
    g_log.push_back({d, m, w, l});
    if (m == WM_INITDIALOG) {
        for (const char* s : {"zero", "one", "two"})
            SendDlgItemMessageA(d, 100, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        SendDlgItemMessageA(d, 100, CB_SETCURSEL, 0, 0);
        CheckDlgButton(d, 201, BST_CHECKED);
        if (l == 99) EndDialog(d, 42);
        return TRUE;
    }
    if (m == WM_COMMAND && LOWORD(w) == IDOK) return EndDialog(d, g_okResult);
    if (m == WM_COMMAND && LOWORD(w) == IDCANCEL) return EndDialog(d, 0);
    return FALSE;
}

LRESULT CALLBACK ComboSpy(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_COMMAND) g_comboLog.push_back({h, m, w, static_cast<LPARAM>(SendMessageA(h, CB_GETCURSEL, 0, 0))});
    return CallWindowProcA(g_oldCombo, h, m, w, l);
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_comboLog.clear();
        g_okResult = 1;
        ASSERT_TRUE(RegisterDialogResource(kTemplateId, &kTemplate));
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "dialog test owner";
        RegisterClassExA(&wc);
        owner_ = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(owner_)) DestroyWindow(owner_);
    }
    HWND Create(LPARAM param = 5) {
        return CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, param);
    }
    static LRESULT Item(HWND d, int id, UINT m, WPARAM w = 0, LPARAM l = 0) {
        return SendDlgItemMessageA(d, id, m, w, l);
    }
    static void PushKey(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    HWND owner_ = nullptr;
};

TEST_F(DialogTest, CreationSendsInitDialogAndFindsControlsById) {
    HWND d = Create(5);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(g_log.empty());
    EXPECT_EQ(g_log[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(g_log[0].lParam, 5);
    // The focus candidate is the first control that takes input, not the label.
    EXPECT_EQ(reinterpret_cast<HWND>(g_log[0].wParam), GetDlgItem(d, 100));
    EXPECT_EQ(GetParent(GetDlgItem(d, 203)), d);
    EXPECT_EQ(GetDlgItem(d, 555), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(d, 202), GWLP_ID), 202);
    // Unknown templates and a second template under a taken id are refused.
    EXPECT_EQ(CreateDialogParamA(nullptr, MAKEINTRESOURCEA(4321), owner_, TestProc, 0), nullptr);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(4321), owner_, TestProc, 0), -1);
    static const DialogTemplate other = kTemplate;
    EXPECT_FALSE(RegisterDialogResource(kTemplateId, &other));
    // The owner takes its dialog and the controls with it.
    HWND combo = GetDlgItem(d, 100);
    DestroyWindow(owner_);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(g_log.back().message, static_cast<UINT>(WM_DESTROY));
}

TEST_F(DialogTest, ComboBoxMessagesFollowWin32) {
    HWND d = Create();
    const int id = 101;
    EXPECT_EQ(Item(d, id, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Item(d, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("alpha")), 0);
    EXPECT_EQ(Item(d, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta ")), 1);
    EXPECT_EQ(Item(d, id, CB_GETCOUNT), 2);
    EXPECT_EQ(Item(d, id, CB_SETCURSEL, 1), 1);
    EXPECT_EQ(Item(d, id, CB_GETCURSEL), 1);
    char buf[16] = {};
    EXPECT_EQ(Item(d, id, CB_GETLBTEXTLEN, 1), 5);
    EXPECT_EQ(Item(d, id, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buf)), 5);
    EXPECT_STREQ(buf, "beta ");
    EXPECT_EQ(Item(d, id, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(buf)), CB_ERR);
    EXPECT_EQ(Item(d, id, CB_SETITEMDATA, 1, 77), 0);
    EXPECT_EQ(Item(d, id, CB_GETITEMDATA, 1), 77);
    EXPECT_EQ(Item(d, id, CB_GETITEMDATA, 0), 0);
    EXPECT_EQ(Item(d, id, CB_SETITEMDATA, 9, 1), CB_ERR);
    // An index out of range, -1 included, clears the selection.
    EXPECT_EQ(Item(d, id, CB_SETCURSEL, 2), CB_ERR);
    EXPECT_EQ(Item(d, id, CB_GETCURSEL), CB_ERR);
    Item(d, id, CB_SETCURSEL, 0);
    EXPECT_EQ(Item(d, id, CB_SETCURSEL, static_cast<WPARAM>(-1)), CB_ERR);
    EXPECT_EQ(Item(d, id, CB_GETCURSEL), CB_ERR);
    Item(d, id, CB_SETCURSEL, 1);
    Item(d, id, CB_RESETCONTENT);
    EXPECT_EQ(Item(d, id, CB_GETCOUNT), 0);
    EXPECT_EQ(Item(d, id, CB_GETCURSEL), CB_ERR);
}

TEST_F(DialogTest, ClicksCheckOneRadioPerGroupAndNotifyTheDialog) {
    HWND d = Create();
    EXPECT_EQ(IsDlgButtonChecked(d, 201), static_cast<UINT>(BST_CHECKED));
    CheckDlgButton(d, 203, BST_CHECKED);
    // Setting a check is not a click: the others keep theirs.
    CheckDlgButton(d, 200, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(d, 201), static_cast<UINT>(BST_CHECKED));
    g_log.clear();
    UserClick(GetDlgItem(d, 201));
    EXPECT_EQ(IsDlgButtonChecked(d, 200), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, 201), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(d, 203), static_cast<UINT>(BST_CHECKED));  // the other group
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(g_log[0].wParam, MAKEWPARAM(201, BN_CLICKED));
    EXPECT_EQ(reinterpret_cast<HWND>(g_log[0].lParam), GetDlgItem(d, 201));
    // BM_CLICK is the user's click; on OK the procedure ends the dialog.
    g_okResult = 3;
    Item(d, IDOK, BM_CLICK);
    const auto* rec = velunar::dialog::FindDialog(d);
    ASSERT_NE(rec, nullptr);
    EXPECT_TRUE(rec->ended);
    EXPECT_EQ(rec->result, 3);
}

TEST_F(DialogTest, ASubclassedComboHearsTheChoiceBeforeTheDialog) {
    HWND d = Create();
    HWND combo = GetDlgItem(d, 100);
    g_oldCombo =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(combo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboSpy)));
    ASSERT_NE(g_oldCombo, nullptr);
    // The old procedure still answers through the subclass.
    EXPECT_EQ(Item(d, 100, CB_GETCOUNT), 3);
    g_log.clear();
    UserChooseEntry(combo, 2);
    ASSERT_EQ(g_comboLog.size(), 1u);
    EXPECT_EQ(g_comboLog[0].wParam, MAKEWPARAM(100, CBN_SELCHANGE));
    EXPECT_EQ(g_comboLog[0].lParam, 2);  // the selection had already changed
    ASSERT_EQ(g_log.size(), 1u);
    EXPECT_EQ(g_log[0].wParam, MAKEWPARAM(100, CBN_SELCHANGE));
    // The same entry again, or one that does not exist, changes nothing and tells nobody.
    UserChooseEntry(combo, 2);
    UserChooseEntry(combo, 3);
    UserChooseEntry(combo, -1);
    EXPECT_EQ(g_comboLog.size(), 1u);
    EXPECT_EQ(g_log.size(), 1u);
    EXPECT_EQ(Item(d, 100, CB_GETCURSEL), 2);
}

TEST_F(DialogTest, EndingInInitDialogReturnsWithoutShowingAndDestroysTheDialog) {
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, 99), 42);
    ASSERT_FALSE(g_log.empty());
    EXPECT_FALSE(IsWindow(g_log[0].hwnd));
    EXPECT_EQ(g_log.back().message, static_cast<UINT>(WM_DESTROY));
}

TEST_F(DialogTest, ModalLoopTakesTabArrowsSpaceAndReturn) {
    // Down steps the first combo; Tab twice reaches the first radio group at its checked button
    // (201); Down moves to 200 and checks it; Tab, Tab, Tab, Shift+Tab land on OK; Space presses it.
    g_okResult = 7;
    for (SDL_Keycode k : {SDLK_DOWN, SDLK_TAB, SDLK_TAB, SDLK_DOWN, SDLK_TAB, SDLK_TAB, SDLK_TAB}) PushKey(k);
    PushKey(SDLK_TAB, KMOD_LSHIFT);
    PushKey(SDLK_SPACE);
    HWND seen = nullptr;
    const INT_PTR r = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, 5);
    ASSERT_NE(r, -1) << "the dialog could not be shown (no OpenGL?)";
    EXPECT_EQ(r, 7);
    std::vector<WPARAM> commands;
    for (const Msg& m : g_log) {
        if (m.message == WM_COMMAND) commands.push_back(m.wParam);
        seen = m.hwnd;
    }
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(100, CBN_SELCHANGE), MAKEWPARAM(200, BN_CLICKED),
                                             MAKEWPARAM(IDOK, BN_CLICKED)}));
    EXPECT_FALSE(IsWindow(seen));

    // Return on a control that is not a push button presses the default button.
    g_log.clear();
    g_okResult = 8;
    PushKey(SDLK_TAB);
    PushKey(SDLK_RETURN);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, 5), 8);
}

TEST_F(DialogTest, EscapeAndClosingTheOwnerAreCancel) {
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, 5), 0);
    EXPECT_EQ(g_log[g_log.size() - 2].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));

    g_log.clear();
    PostMessageA(owner_, WM_CLOSE, 0, 0);
    EXPECT_EQ(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(kTemplateId), owner_, TestProc, 5), 0);
    // The owner was not closed: the close was the dialog's.
    EXPECT_TRUE(IsWindow(owner_));
    EXPECT_EQ(g_log[g_log.size() - 2].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
}

}  // namespace
