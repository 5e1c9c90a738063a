// xresources.h -- the X resources a desktop sets for its programs (xresources.cpp).
//
// Read by the real window's backend at start, before its window exists.
#pragma once

#include <string>

// The value of one resource (e.g. "Xft.dpi", class "Xft.Dpi") as X programs
// see it: the screen's own resources over those of the whole display, which
// the desktop (or xrdb) sets on the root window. "" when it is not set or no
// X display can be opened.
std::string x11_screen_resource(const char* name, const char* cls);
