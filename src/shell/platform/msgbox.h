// msgbox.h -- the message box overlay (msgbox.cpp).
//
// MessageBoxA itself is declared in win32.h; the queue routes input here while
// a box is up and the composer draws the boxes over the client pixels.
#pragma once

#include "backend.h"
#include "surface.h"

#include <string>

bool msgbox_active();
// The text of the box on top, CP932 ("" when none is up).
std::string msgbox_text();
// Gives an input event to the box; true when the box took it.
bool msgbox_handle_event(const PlatformEvent& ev);
void msgbox_draw(const Surface& screen, const IRect& clip);
