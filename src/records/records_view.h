// records_view.h -- the records screens in the window: which one is shown,
// showing and leaving them, and the keys that leave them.
//
// Owns records_view. A records screen covers the whole client area, drawn by
// the game as the maze is. While one is shown the practice waits where it
// was: the drill types nothing, the line's clock stands, and the keyboard
// focus rests on the main window, so that the key which leaves the screen is
// never typed into the line. The shell shows and leaves the screens (menu
// commands, the window's keys and clicks) and redraws the practice after.
#pragma once

#include "shell/platform/win32.h"

enum RecordsView { VIEW_NONE = 0, VIEW_CHART = 1, VIEW_KEYS = 2 };

extern int records_view; // the screen shown, VIEW_NONE while practising

// Reads what the records file gained, stops the line's clock, takes the
// focus from the typing and draws the screen; another screen shown is
// replaced.
void records_view_show(int view);
// Back to VIEW_NONE, the line's clock going on; the caller redraws the practice.
void records_view_leave();
// Draws the screen shown at the layout of the moment (a repaint).
void records_view_draw();
// A key message the main window got while a screen is shown: true when it
// leaves the screen, that is the release of Esc, Enter or Space pressed while
// the screen was up (the release of the key that chose the menu item does not).
bool records_view_key(UINT msg, WPARAM vk);
