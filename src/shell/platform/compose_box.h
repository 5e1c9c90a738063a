// compose_box.h -- the input method's composition on show (compose_box.cpp).
//
// queue.cpp feeds it the input method's events; screen.cpp syncs it before
// every flush and draws it where it overlaps what is composed.
#pragma once

#include "backend.h"
#include "surface.h"

// A Compose event: the composition as it now stands ("" ends it).
void compose_box_update(const PlatformEvent& ev);
// The composition ended without a Compose event (text committed, focus lost).
void compose_box_clear();
// True while a composition is on show in the window: keys that reach the
// window then belong to the input method, not to the program.
bool compose_box_shown();
// Before each flush: marks the box's old and new places when it moved, came or
// went, and gives the backend the text-input rectangle when that changed.
void compose_box_sync();
bool compose_box_overlaps(const IRect& screen_rect);
void compose_box_draw(const Surface& screen, const IRect& clip);
