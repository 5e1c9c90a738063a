// menu.h -- the menu bar and its menus (menu.cpp).
//
// CreateMenu and AppendMenuA are declared in win32.h. The window code asks
// here how tall a window's bar is, the queue hands input here before any
// window sees it, and the composer draws the bar and the open menus.
#pragma once

#include "backend.h"
#include "surface.h"
#include "win32.h"
#include "window.h"

// Height of a menu bar at the desktop's scale (24 pixels at 1x: 16-pixel text
// and its margins).
int menu_bar_h();
// Height of the menu bar of a top-level window: 0 when it has none.
int menu_bar_height(const Window* w);
// A menu of the shown window's bar is entered (the bar or a menu highlighted).
bool menu_active();
// Gives an input event to the menus: it may enter the bar (F10, a press and
// release of Alt, a click on the bar) or work the open menus. True when the
// menus took the event, which then reaches no window.
bool menu_handle_event(const PlatformEvent& ev);
// True when the bar or an open menu covers part of the screen rectangle r.
bool menu_overlaps(const IRect& r);
// Draws the bar and the open menus over the screen, within clip.
void menu_draw(const Surface& screen, const IRect& clip);
// WM_SYSCOMMAND's menu loop: runs a modal loop until the menu closes.
void menu_track(Window* w, WPARAM kind, LPARAM where);
// Where an entry is on the screen: level 0 the bar, 1 the open drop-down
// menu, 2 its open sub-menu. False when that menu or entry is not shown.
bool menu_entry_rect(int level, int index, IRect* r);
// -1 when no menu is entered, else the deepest level shown (as above).
int menu_level();
