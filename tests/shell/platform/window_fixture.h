// window_fixture.h -- a shown top-level window that records its messages,
// with a hidden EDIT child, for the platform layer's tests.
#pragma once

#include "test_support.h"

struct Recorded {
    UINT msg;
    WPARAM wparam;
};

extern std::vector<Recorded> recorded;
extern HWND test_window;
extern HWND test_edit;

// Opens a w x h window (the headless screen is set to the same size) and an
// EDIT child that holds the focus, with the menu bar given. Returns after the
// first paint is handled.
void open_test_window(int w = 320, int h = 200, HMENU menu = nullptr);
// Dispatches every message that is waiting; returns how many there were.
int pump();
int count_of(UINT msg);
// Fills r with a solid colour, as a program paints a rectangle.
void fill(HDC dc, RECT r, COLORREF c);
// A bar "A" with item 11 and a sub-menu "sub" holding 21, and "B" with item 31.
HMENU make_bar(HMENU* sub_out = nullptr);
