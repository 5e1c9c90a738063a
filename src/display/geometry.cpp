// geometry.cpp -- layout variables and the drawing primitives.
#include "display/geometry.h"

int client_w, client_h;
int half_w;
int char_size;
int key_w, key_h;

#include "display/view.h"
#include "drill/engine.h"
#include "shell/windows.h"
#include "text/store.h"

#include <algorithm>
#include <cstring>

// The Gothic face the whole screen is drawn in.
static const char SCREEN_FACE[] = "ＭＳゴシック";

void read_client_size()
{
    RECT r{};
    GetClientRect(main_window, &r);
    client_w = r.right - r.left;
    client_h = r.bottom - r.top;
}

int draw_box(HDC dc, int x, int y, int w, int h, COLORREF outer, COLORREF inner)
{
    RECT all{x, y, x + w, y + h};
    RECT face{x + 2, y + 2, x + w - 2, y + h - 2};
    HBRUSH outer_brush = CreateSolidBrush(outer);
    FillRect(dc, &all, outer_brush);
    DeleteObject(outer_brush);
    if (face.right > face.left && face.bottom > face.top) {
        HBRUSH inner_brush = CreateSolidBrush(inner);
        FillRect(dc, &face, inner_brush);
        DeleteObject(inner_brush);
    }
    return 1;
}

int draw_text_fit(HDC dc, int x, int y, unsigned box_w, int box_h, const char* text, COLORREF fg, COLORREF bg)
{
    if (!text || !text[0])
        return 0;
    unsigned n = (unsigned)std::strlen(text);
    unsigned cell_w = box_w / n - 1; // wraps to a huge width when the box is narrower than the text
    HFONT font =
        CreateFontA(box_h, (int)cell_w, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, SCREEN_FACE);
    COLORREF old_fg = SetTextColor(dc, fg);
    COLORREF old_bg = SetBkColor(dc, bg);
    HGDIOBJ old_font = SelectObject(dc, font);
    TextOutA(dc, x, y, text, (int)n);
    SetTextColor(dc, old_fg);
    SetBkColor(dc, old_bg);
    SelectObject(dc, old_font);
    DeleteObject(font);
    return 1;
}

static void fill(HDC dc, int x0, int y0, int x1, int y1, COLORREF color)
{
    RECT r{x0, y0, x1, y1};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

int clear_screen()
{
    HDC dc = GetDC(main_window);
    fill(dc, 0, 0, client_w, client_h, COLOR_BLACK);
    ReleaseDC(main_window, dc);
    return 1;
}

int draw_progress_bar()
{
    // A line of no length never runs; should one be drawn, it shows no progress.
    long long p = line_length > 0 ? (long long)client_w * char_index / line_length : 0;
    int bar = bar_h();
    // A white frame two pixels wide, green up to the progress and red after
    // it. Each part is filled once, never over another, so that a key moves
    // only the pixels between the old and the new progress.
    bool red = p + 2 <= client_w - 2;
    int green_end = red ? (int)p + 2 : (int)std::min<long long>(p + 4, client_w);
    HDC dc = GetDC(main_window);
    fill(dc, 0, 0, client_w, 2, COLOR_WHITE);
    fill(dc, 0, bar - 2, client_w, bar, COLOR_WHITE);
    fill(dc, 0, 2, 2, bar - 2, COLOR_WHITE);
    fill(dc, 2, 2, green_end, bar - 2, COLOR_GREEN);
    if (red)
        fill(dc, (int)p + 2, 2, client_w - 2, bar - 2, COLOR_RED);
    fill(dc, red ? client_w - 2 : green_end, 2, client_w, bar - 2, COLOR_WHITE);
    ReleaseDC(main_window, dc);
    return 1;
}

int draw_note_line()
{
    if (note_shown != 1)
        return 0;
    const char* note = line_note[line_index];
    unsigned n = (unsigned)std::strlen(note);
    unsigned w = (unsigned)(n * (unsigned long long)client_h / bar_divisor);
    int x = (client_w - (int)w) / 2;
    if (x < 0)
        x = 0;
    HDC dc = GetDC(main_window);
    draw_text_fit(dc, x, bar_h(), w, 2 * bar_h(), note, COLOR_GREEN, COLOR_BLACK);
    ReleaseDC(main_window, dc);
    return 1;
}
