// window_internal.h - the window layer's own records, shared by its .cpp files only.
// Depends on: SDL2, window.h.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/window/window.h"

struct VelunarWindow {
    SDL_Window* sdl = nullptr;  // null for a child window (a control), which draws in its parent
    Uint32 sdlId = 0;
    WNDPROC proc = nullptr;
    std::string title;
    std::string className;
    bool visible = false;  // top-level windows only; children never take the idle paint
    bool destroying = false;
    HWND parent = nullptr;
    int id = 0;                 // a child's control identifier
    LONG_PTR userData = 0;      // GWLP_USERDATA, the owner layer's own record
};

namespace velunar::window::detail {

// Every live window, in creation order; null if the handle is not one of them.
VelunarWindow* Find(HWND hWnd);
VelunarWindow* FindBySdlId(Uint32 id);
std::vector<HWND> AllWindows();
// The first live visible window, the one that gets the idle paint.
VelunarWindow* FirstVisible();
bool AnyVisible();
// Visible windows post the activation messages of a window that comes to the front.
void PostActivation(HWND hWnd, bool active, bool minimised);
// Drops every queued message for a window that is going away.
void DropMessages(HWND hWnd);
// Forgets the input state of an app that lost the focus.
void OnFocusLost();
void OnFocusGained();

// The icon image: 32 x 32 ARGB, our own drawing.
SDL_Surface* CreateIconSurface();

}  // namespace velunar::window::detail
