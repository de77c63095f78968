// dialog_internal.h - the dialog layer's records, shared by its .cpp files and its tests: the
// state behind each control's messages, the dialog being shown, and the user's actions as the
// widgets perform them.
// Depends on: dialog.h.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"

namespace velunar::dialog {

struct Control {
    const DialogItemTemplate* item = nullptr;
    HWND hwnd = nullptr;
    // Combo box: the entries, their item data and the selection (-1: none).
    std::vector<std::string> entries;
    std::vector<LONG_PTR> data;
    int selection = -1;
    // Radio button: BST_CHECKED or BST_UNCHECKED; `group` numbers the radio group.
    UINT check = BST_UNCHECKED;
    int group = -1;
};

struct Dialog {
    const DialogTemplate* tmpl = nullptr;
    DLGPROC proc = nullptr;
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    std::vector<std::unique_ptr<Control>> controls;  // template order, which is the tab order
    bool ended = false;
    INT_PTR result = 0;
};

// Null unless the handle is a live dialog or one of its controls.
Dialog* FindDialog(HWND dialog);
Control* FindControl(HWND control);

// The window procedures of the control classes ("Button", "ComboBox", "Static").
LRESULT ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void RegisterControlClasses();

// The user picks entry `index` of a combo box: the selection changes, then the combo's own
// procedure gets WM_COMMAND (id, CBN_SELCHANGE) as from its drop-down list, then the dialog the
// same notification. Picking the selected entry again changes nothing and notifies nobody.
void UserChooseEntry(HWND combo, int index);
// The user clicks a button: a radio button becomes the one checked in its group; every button
// then sends WM_COMMAND (id, BN_CLICKED) to the dialog.
void UserClick(HWND button);

// The modal loop of DialogBoxParamA (dialog_ui.cpp): shows the dialog until it has ended.
// False when it cannot be shown (no window to draw in, no OpenGL).
bool RunModal(HWND dialog);

}  // namespace velunar::dialog
