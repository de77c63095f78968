// dialog.h - the Win32-shaped face of the dialog layer: dialog templates by resource id, modal
// dialogs (DialogBoxParamA, EndDialog) drawn with Dear ImGui inside the owner's window, and the
// button and combo box controls with the messages that drive them.
// Depends on: the window layer (child windows, window longs, the message queue); Dear ImGui, SDL2
// and OpenGL inside dialog_ui.cpp only.
#pragma once

#include <cstdint>

#include "platform/window/window.h"

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

#define MAKEINTRESOURCE_ID(p) ((WORD)(std::uintptr_t)(p))

// Standard command identifiers.
#define IDOK 1
#define IDCANCEL 2

// Buttons.
#define BM_GETCHECK 0x00F0
#define BM_SETCHECK 0x00F1
#define BM_CLICK 0x00F5
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define BN_CLICKED 0

// Combo boxes (drop-down lists).
#define CB_ADDSTRING 0x0143
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_RESETCONTENT 0x014B
#define CB_SETCURSEL 0x014E
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
#define CB_ERR (-1)
#define CBN_SELCHANGE 1

// What a template item is. Group boxes and labels are static: no identifier messages reach them.
enum class DialogItemKind { PushButton, DefPushButton, RadioButton, ComboBox, GroupBox, Label };

// One control of a template. Positions are pixels from the dialog's client top-left. A radio
// button with `group` set starts a new group; the following ones join it, as WS_GROUP does.
struct DialogItemTemplate {
    DialogItemKind kind;
    int id;
    const char* text;
    int x, y, cx, cy;
    bool group = false;
};

// A dialog resource: the title, the client size in pixels and the items in tab order.
struct DialogTemplate {
    const char* title;
    int cx, cy;
    const DialogItemTemplate* items;
    int count;
};

// The executable's dialog resources: registers `tmpl` (kept by pointer) under `id`. False when
// the id is taken by another template.
bool RegisterDialogResource(WORD id, const DialogTemplate* tmpl);

// Creates the dialog and its controls over `owner` (the foreground window when null), sends
// WM_INITDIALOG with `initParam`, and returns the dialog without running a loop. Null when the
// template is unknown or there is no window to show it in.
HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM initParam);

// The modal dialog: created as above, then shown in the owner's window until the procedure calls
// EndDialog. Returns EndDialog's result, or -1 when the dialog could not be created or shown.
// While it runs, the owner gets no paint: the keys and the mouse belong to the dialog. Closing the
// owner window is the dialog's Cancel (WM_COMMAND IDCANCEL). Keys: Tab and Shift+Tab move between
// controls, arrows move within a radio group or step a combo box, Space presses the focused button,
// Return presses the focused push button or else the default one, Escape is Cancel. The mouse
// opens a combo box's list.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM initParam);

// Marks the dialog ended with `result`; the modal loop returns it once the procedure is back.
BOOL EndDialog(HWND dialog, INT_PTR result);

// A user's change of a combo box's selection reaches the combo's own procedure first, as
// WM_COMMAND (id, CBN_SELCHANGE) from its list (a subclass sees it there), then the dialog.
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
