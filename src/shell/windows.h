// windows.h -- the program's two windows: the main window and the hidden EDIT.
//
// Owns main_window, which everything draws on and owns every message box, and
// input_edit, the invisible EDIT whose text is the queue of typed-ahead bytes
// (the drill takes them from its front). create_windows makes both at
// start-up; they live until the main window is destroyed.
#pragma once

#include "shell/platform/win32.h"

extern HWND main_window;
extern HWND input_edit;

extern const char MAIN_CLASS_NAME[];

// Registers the main window's class, then creates the main window with the
// menu bar and the hidden EDIT inside it. False, with nothing created, when
// the class cannot be registered.
bool create_windows(HINSTANCE instance, LPSTR cmd_line, int outer_w, int outer_h);
