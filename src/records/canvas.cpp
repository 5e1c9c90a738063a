// canvas.cpp -- labels, rectangles and lines for the records screens.
#include "records/canvas.h"

#include "display/geometry.h"

#include <cstring>

const char BACK_HINT_TEXT[] = "Esc・Enter・Space・クリックで練習に戻ります。";

int screen_unit()
{
    int u = client_h / UNIT_DIVISOR;
    return u > 0 ? u : 1;
}

int label_width(const char* text, int h) { return (int)std::strlen(text) * (h / 2 + 1); }

void draw_label(HDC dc, int x, int y, int h, const char* text, COLORREF fg)
{
    draw_text_fit(dc, x, y, (unsigned)label_width(text, h), h, text, fg, COLOR_BLACK);
}

void draw_label_right(HDC dc, int right, int y, int h, const char* text, COLORREF fg)
{
    draw_label(dc, right - label_width(text, h), y, h, text, fg);
}

void draw_label_centred(HDC dc, int centre, int y, int h, const char* text, COLORREF fg)
{
    draw_label(dc, centre - label_width(text, h) / 2, y, h, text, fg);
}

void fill_rect(HDC dc, int x0, int y0, int x1, int y1, COLORREF color)
{
    RECT r{x0, y0, x1, y1};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void draw_line(HDC dc, int x0, int y0, int x1, int y1, int width, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    LineTo(dc, x0, y0); // back again: LineTo leaves out its end point
    SelectObject(dc, old);
    DeleteObject(pen);
}
