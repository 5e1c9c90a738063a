// window.h -- the layer's windows (window.cpp).
//
// A Window is what an HWND points at: its procedure, style, place and text,
// and for the one top-level window its client framebuffer and what is known
// of it. window.cpp owns the live windows, the focus and the shown window;
// the rest of the layer reaches them through these calls.
#pragma once

#include "gdi.h"
#include "ink.h"
#include "surface.h"
#include "win32.h"

#include <string>
#include <vector>

struct Window {
    WNDPROC proc = nullptr;
    Window* parent = nullptr;
    DWORD style = 0;
    UINT class_style = 0;
    HBRUSH background = nullptr;
    int x = 0, y = 0, w = 0, h = 0; // outer rectangle
    int ctrl_id = 0;
    HMENU menu = nullptr;
    bool visible = false;
    bool is_edit = false;
    bool destroying = false;
    std::string text; // CP932; for an EDIT this is its content

    // Top-level windows only: the client framebuffer, where it may hold
    // colour (the rest is black), the pending paint.
    PixelBuffer fb;
    InkMap ink;
    IRect invalid;
    bool erase_pending = false;
    std::vector<TextRun> runs;  // text standing in fb as drawn (gdi.cpp)
    std::vector<FillRun> fills; // fills standing in fb as drawn (gdi.cpp)
};

Window* window_from(HWND hwnd); // nullptr when hwnd is not a live window
inline HWND hwnd_of(Window* w) { return reinterpret_cast<HWND>(w); }
Window* top_window(); // the window the backend shows, or nullptr
Window* focus_window();
IRect client_rect_of(const Window* w); // in client coordinates: 0, 0, cw, ch
// Where w's client area begins in its top-level window's client area.
void client_origin(const Window* w, int* x, int* y);
LRESULT send_message(Window* w, UINT msg, WPARAM wparam, LPARAM lparam);
// Applies a new outer size to the shown window after the desktop resized it.
void window_resized(int w, int h);
// Ensures the backend is up; false (after one clear message) when it cannot be.
bool platform_ready();
// Hands a title set since to the backend. A title changes on every key and
// costs a round of requests to the display server, so it goes out after the
// frame that the key changed has been presented, not before.
void window_title_flush();
