// input_globals.cpp - the demo's keyboard and mouse instances.
#include "input/input_globals.h"

CKeyboard* g_pKeyboard = nullptr;
CMouse* g_pMouse = nullptr;
