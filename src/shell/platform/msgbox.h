// msgbox.h -- the message box overlay (msgbox.cpp).
//
// MessageBoxA itself is declared in win32.h; the queue routes input here while
// a box is up and the composer draws the boxes over the client pixels.
#pragma once

#include "backend.h"
#include "surface.h"
#include "win32.h"

#include <string>

bool msgbox_active();
// The text of the box on top, UTF-8 ("" when none is up).
std::string msgbox_text();
// MessageBoxA with UTF-8 text: the layer's own messages, which may quote a
// file name CP932 cannot hold. Returns IDOK once the box is closed.
int msgbox_show(HWND owner, const std::string& utf8);
// Gives an input event to the box; true when the box took it.
bool msgbox_handle_event(const PlatformEvent& ev);
void msgbox_draw(const Surface& screen, const IRect& clip);
