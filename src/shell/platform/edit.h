// edit.h -- the "EDIT" window class (edit.cpp).
//
// window.cpp gives every window of class "EDIT" this procedure; the program
// uses one, hidden, as the queue of typed-ahead bytes.
#pragma once

#include "win32.h"

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
