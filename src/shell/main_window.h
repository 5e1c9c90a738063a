// main_window.h -- the main window: its procedure, layout and full redraw.
//
// Owns practice_started and repainting. The window procedure keeps the layout
// in step with the client size, repaints, counts timer ticks, redraws on a left
// click and ends the program when the window is destroyed. Keys never pass
// through here: they go to the hidden EDIT, which the drill reads.
#pragma once

#include "shell/platform/win32.h"

extern int practice_started; // a practice line has ever started
extern int repainting;       // a repaint is redrawing the practice screen

constexpr UINT_PTR TICK_TIMER_ID = 1;
constexpr UINT TICK_MS = 50;

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Reads the client size and derives every layout value from it.
void layout_recompute();
// Draws everything the practice screen shows, from the current state.
void full_redraw();
// Leaves the records screen shown for the practice, drawn as it was.
void leave_records_view();
