// screen.h -- composing the shown window and presenting what changed (screen.cpp).
//
// Drawing marks what it changed; the overlays (menus, message boxes, the
// composition box) mark their own places; the queue flushes before it reports
// or waits for messages.
#pragma once

#include "surface.h"

// Marks a rectangle of the top window's client area as changed.
void screen_mark_dirty(const IRect& client_rect);
// True when client_rect will be composed anyway (a repaint, the first frame):
// finding out which of its pixels change would then buy nothing.
bool screen_dirty_covers(const IRect& client_rect);
// Marks a rectangle of the screen itself (overlays) as changed.
void screen_mark_screen_dirty(const IRect& screen_rect);
// Composes what changed (client pixels, then overlays) and presents it.
void screen_flush();
// True when something is marked for the next flush.
bool screen_dirty();
// The whole window is to be composed again (new size, new screen surface).
void screen_invalidate_all();
// The display lost the window's content; the screen surface still holds it.
void screen_present_all();
// Height of the strip above the client area (the menu bar), in pixels.
int screen_client_top();
