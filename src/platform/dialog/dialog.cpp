// dialog.cpp - dialog resources, creating a dialog and its controls, EndDialog, the item messages
// and the modal dialog around the loop of dialog_ui.cpp.
#include <map>

#include "platform/dialog/dialog_internal.h"

namespace velunar::dialog {
namespace {

constexpr const char* kDialogClass = "#32770";

std::map<WORD, const DialogTemplate*>& Resources() {
    static std::map<WORD, const DialogTemplate*> resources;
    return resources;
}

std::map<HWND, std::unique_ptr<Dialog>>& Dialogs() {
    static std::map<HWND, std::unique_ptr<Dialog>> dialogs;
    return dialogs;
}

// The dialog class's procedure: everything goes to the dialog procedure; the record goes with
// the window.
LRESULT DialogWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* d = FindDialog(hWnd);
    const LRESULT r = d && d->proc ? d->proc(hWnd, message, wParam, lParam) : 0;
    if (message == WM_DESTROY) Dialogs().erase(hWnd);
    return r;
}

const char* ClassFor(DialogItemKind kind) {
    switch (kind) {
        case DialogItemKind::PushButton:
        case DialogItemKind::DefPushButton:
        case DialogItemKind::RadioButton:
            return "Button";
        case DialogItemKind::ComboBox:
            return "ComboBox";
        default:
            return "Static";
    }
}

}  // namespace

Dialog* FindDialog(HWND dialog) {
    auto it = Dialogs().find(dialog);
    return it == Dialogs().end() ? nullptr : it->second.get();
}

Control* FindControl(HWND control) {
    if (!IsWindow(control)) return nullptr;
    Dialog* d = FindDialog(GetParent(control));
    if (!d) return nullptr;
    for (auto& c : d->controls)
        if (c->hwnd == control) return c.get();
    return nullptr;
}

}  // namespace velunar::dialog

using namespace velunar::dialog;

bool RegisterDialogResource(WORD id, const DialogTemplate* tmpl) {
    if (!tmpl) return false;
    auto [it, added] = Resources().emplace(id, tmpl);
    return added || it->second == tmpl;
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM initParam) {
    // Only numbered resources exist here.
    const std::uintptr_t name = reinterpret_cast<std::uintptr_t>(templateName);
    if (name > 0xffff) return nullptr;
    auto res = Resources().find(static_cast<WORD>(name));
    if (res == Resources().end() || !proc) return nullptr;
    if (!owner) owner = GetForegroundWindow();
    if (!IsWindow(owner)) return nullptr;

    RegisterControlClasses();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DialogWindowProc;
    wc.lpszClassName = kDialogClass;
    RegisterClassExA(&wc);

    const DialogTemplate* t = res->second;
    HWND hDlg = CreateWindowExA(0, kDialogClass, t->title, WS_CHILD | WS_VISIBLE, 0, 0, t->cx, t->cy, owner, nullptr,
                                instance, nullptr);
    if (!hDlg) return nullptr;
    auto d = std::make_unique<Dialog>();
    d->tmpl = t;
    d->proc = proc;
    d->hwnd = hDlg;
    d->owner = owner;
    Dialog& dialog = *d;
    Dialogs()[hDlg] = std::move(d);

    int group = -1;
    for (int i = 0; i < t->count; ++i) {
        const DialogItemTemplate& item = t->items[i];
        HWND h = CreateWindowExA(0, ClassFor(item.kind), item.text, WS_CHILD | WS_VISIBLE, item.x, item.y, item.cx,
                                 item.cy, hDlg, reinterpret_cast<HMENU>(static_cast<std::intptr_t>(item.id)),
                                 instance, nullptr);
        auto c = std::make_unique<Control>();
        c->item = &item;
        c->hwnd = h;
        if (item.kind == DialogItemKind::RadioButton) {
            if (item.group || group < 0) group = i;
            c->group = group;
        } else {
            group = -1;
        }
        dialog.controls.push_back(std::move(c));
    }

    HWND first = nullptr;
    for (auto& c : dialog.controls)
        if (c->item->kind != DialogItemKind::GroupBox && c->item->kind != DialogItemKind::Label) {
            first = c->hwnd;
            break;
        }
    SendMessageA(hDlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    return hDlg;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM initParam) {
    HWND hDlg = CreateDialogParamA(instance, templateName, owner, proc, initParam);
    Dialog* d = FindDialog(hDlg);
    if (!d) return -1;
    const bool shown = d->ended || RunModal(hDlg);
    // The dialog may have gone with its owner while it ran.
    d = FindDialog(hDlg);
    const INT_PTR result = shown && d ? d->result : -1;
    DestroyWindow(hDlg);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Dialog* d = FindDialog(dialog);
    if (!d) return FALSE;
    d->ended = true;
    d->result = result;
    return TRUE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}
