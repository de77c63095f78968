// controls.cpp - the button and combo box controls: the state their messages read and write, and
// the user's actions on them.
#include <algorithm>
#include <cstring>

#include "platform/dialog/dialog_internal.h"

namespace velunar::dialog {
namespace {

LRESULT StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

void Register(const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);  // a second registration fails harmlessly
}

bool InRange(const Control& c, WPARAM index) { return index < c.entries.size(); }

}  // namespace

void RegisterControlClasses() {
    Register("Button", ButtonProc);
    Register("ComboBox", ComboBoxProc);
    Register("Static", StaticProc);
}

LRESULT ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* c = FindControl(hWnd);
    if (!c) return DefWindowProcA(hWnd, message, wParam, lParam);
    switch (message) {
        case BM_GETCHECK:
            return c->check;
        case BM_SETCHECK:
            c->check = wParam == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED;
            return 0;
        case BM_CLICK:
            UserClick(hWnd);
            return 0;
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

LRESULT ComboBoxProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* c = FindControl(hWnd);
    if (!c) return DefWindowProcA(hWnd, message, wParam, lParam);
    switch (message) {
        case CB_ADDSTRING: {
            const char* text = reinterpret_cast<const char*>(lParam);
            c->entries.emplace_back(text ? text : "");
            c->data.push_back(0);
            return static_cast<LRESULT>(c->entries.size() - 1);
        }
        case CB_GETCOUNT:
            return static_cast<LRESULT>(c->entries.size());
        case CB_GETCURSEL:
            return c->selection;
        case CB_SETCURSEL:
            // Out of range (-1 included) clears the selection and reports CB_ERR, as Win32 does.
            if (!InRange(*c, wParam)) {
                c->selection = -1;
                return CB_ERR;
            }
            c->selection = static_cast<int>(wParam);
            return c->selection;
        case CB_GETLBTEXTLEN:
            return InRange(*c, wParam) ? static_cast<LRESULT>(c->entries[wParam].size()) : CB_ERR;
        case CB_GETLBTEXT: {
            if (!InRange(*c, wParam) || !lParam) return CB_ERR;
            const std::string& s = c->entries[wParam];
            std::memcpy(reinterpret_cast<char*>(lParam), s.c_str(), s.size() + 1);
            return static_cast<LRESULT>(s.size());
        }
        case CB_RESETCONTENT:
            c->entries.clear();
            c->data.clear();
            c->selection = -1;
            return 0;
        case CB_GETITEMDATA:
            return InRange(*c, wParam) ? c->data[wParam] : CB_ERR;
        case CB_SETITEMDATA:
            if (!InRange(*c, wParam)) return CB_ERR;
            c->data[wParam] = lParam;
            return 0;
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

void UserChooseEntry(HWND combo, int index) {
    Control* c = FindControl(combo);
    if (!c || c->item->kind != DialogItemKind::ComboBox) return;
    if (index < 0 || index >= static_cast<int>(c->entries.size()) || index == c->selection) return;
    c->selection = index;
    const WPARAM command = MAKEWPARAM(c->item->id, CBN_SELCHANGE);
    const LPARAM from = reinterpret_cast<LPARAM>(combo);
    HWND dialog = GetParent(combo);
    // Through the current procedure, so a subclass sees it first.
    SendMessageA(combo, WM_COMMAND, command, from);
    if (IsWindow(dialog)) SendMessageA(dialog, WM_COMMAND, command, from);
}

void UserClick(HWND button) {
    Control* c = FindControl(button);
    if (!c) return;
    const DialogItemKind kind = c->item->kind;
    if (kind != DialogItemKind::PushButton && kind != DialogItemKind::DefPushButton &&
        kind != DialogItemKind::RadioButton)
        return;
    HWND dialog = GetParent(button);
    if (kind == DialogItemKind::RadioButton) {
        if (Dialog* d = FindDialog(dialog))
            for (auto& other : d->controls)
                if (other->group == c->group) other->check = BST_UNCHECKED;
        c->check = BST_CHECKED;
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(c->item->id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace velunar::dialog
