// input_globals.h - the demo's one keyboard and one mouse, created by start-up and deleted by
// shutdown (mouse first).
// Depends on: keyboard.h, mouse.h.
#pragma once

class CKeyboard;
class CMouse;

extern CKeyboard* g_pKeyboard;
extern CMouse* g_pMouse;
