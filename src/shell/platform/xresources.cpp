// xresources.cpp -- the desktop's X resources, read through Xlib.
//
// Owns nothing past the call: a display connection of its own is opened, the
// resource databases read from it and both closed again. Kept apart from the
// rest of the layer, whose names Xlib's headers would clash with. Called by
// backend_sdl.cpp at start.
#include "xresources.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include <cstring>

// The value of a resource in one database's text; "" when it is not there.
static std::string lookup(const char* text, const char* name, const char* cls)
{
    if (!text)
        return "";
    XrmDatabase db = XrmGetStringDatabase(text);
    if (!db)
        return "";
    char* type = nullptr;
    XrmValue value{};
    std::string out;
    if (XrmGetResource(db, name, cls, &type, &value) && value.addr)
        out.assign(value.addr, strnlen(value.addr, value.size));
    XrmDestroyDatabase(db);
    return out;
}

std::string x11_screen_resource(const char* name, const char* cls)
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return "";
    XrmInitialize();
    char* screen_text = XScreenResourceString(DefaultScreenOfDisplay(dpy)); // ours to free
    std::string screen = lookup(screen_text, name, cls);
    if (screen_text)
        XFree(screen_text);
    std::string out = screen.empty() ? lookup(XResourceManagerString(dpy), name, cls) : screen;
    XCloseDisplay(dpy);
    return out;
}
