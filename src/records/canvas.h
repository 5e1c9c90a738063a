// canvas.h -- the drawing the records screens share: labels at a height of
// their own, filled rectangles, lines, and the screens' colours and unit.
//
// Owns nothing. Each call obtains no drawing context of its own: the screens
// hold one for the whole screen and pass it. Text is drawn as the rest of the
// game draws it (draw_text_fit), each byte a cell half as wide as it is high.
#pragma once

#include "shell/platform/win32.h"

constexpr COLORREF TITLE_COLOR = RGB(255, 255, 255);
constexpr COLORREF LABEL_COLOR = RGB(220, 220, 220);
constexpr COLORREF AXIS_COLOR = RGB(160, 160, 160);
constexpr COLORREF GRID_COLOR = RGB(64, 64, 64);
constexpr int UNIT_DIVISOR = 40; // the unit of a records screen: a fortieth of the client height

extern const char BACK_HINT_TEXT[]; // how to go back to the practice

// The unit every size of a records screen is a multiple of, from client_h.
int screen_unit();
// Width of a label of height h: each byte half as wide as h, plus one.
int label_width(const char* text, int h);
// A label with its top-left corner at (x, y), on black; right_label ends at right.
void draw_label(HDC dc, int x, int y, int h, const char* text, COLORREF fg);
void draw_label_right(HDC dc, int right, int y, int h, const char* text, COLORREF fg);
void draw_label_centred(HDC dc, int centre, int y, int h, const char* text, COLORREF fg);
// The rectangle [x0, x1) x [y0, y1).
void fill_rect(HDC dc, int x0, int y0, int x1, int y1, COLORREF color);
// A solid line of the given width, both ends drawn.
void draw_line(HDC dc, int x0, int y0, int x1, int y1, int width, COLORREF color);
