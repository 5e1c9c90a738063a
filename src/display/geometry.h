// geometry.h -- screen geometry, colours and the drawing primitives.
//
// Owns the layout variables (derived by the shell from the client size) and draws
// the building blocks every screen uses: framed boxes, text stretched to fill a
// box, the cleared screen, the progress bar and the note band. Every drawing
// obtains a drawing context of main_window and releases it before returning.
#pragma once

#include "shell/platform/win32.h"

extern int client_w, client_h; // client area in pixels
extern int half_w;             // client_w / 2
extern int char_size;          // side of a practice character cell
extern int key_w, key_h;       // one key of the on-screen keyboard

constexpr int keyboard_rows = 5;  // key rows of the keyboard band
constexpr int keyboard_cols = 13; // keys in the widest row; the keyboard is centred on it
constexpr int row_stagger = 3;    // each row starts 1/row_stagger of a key right of the one above
constexpr int space_bar_keys = 9; // the space bar is this many keys wide
constexpr int key_divisor = 15;   // key_w = client_w / key_divisor, key_h = client_h / key_divisor

// The practice cell for character sizes 1 to 4 (size_flag): client_h divided by these.
constexpr int SIZE_COUNT = 4;
constexpr int CHAR_SIZE_DIVISORS[SIZE_COUNT] = {40, 20, 10, 5};
static_assert(sizeof CHAR_SIZE_DIVISORS / sizeof CHAR_SIZE_DIVISORS[0] == SIZE_COUNT, "one divisor per size");
constexpr int MEDIUM_SIZE = 2;  // the size the first layout uses, whatever the setting holds
constexpr int bar_divisor = 40; // bar_h = client_h / bar_divisor
constexpr int typed_line_cols = 40;

inline int bar_h() { return client_h / bar_divisor; }
inline int typed_cell() { return client_w / typed_line_cols; }

// Screen colours, 0x00BBGGRR.
constexpr COLORREF COLOR_BLACK = RGB(0, 0, 0);
constexpr COLORREF COLOR_WHITE = RGB(255, 255, 255);
constexpr COLORREF COLOR_GREEN = RGB(0, 255, 0);
constexpr COLORREF COLOR_RED = RGB(255, 0, 0);
constexpr COLORREF COLOR_PINK = RGB(255, 128, 255);
constexpr COLORREF LOOKAHEAD_COLORS[4] = {RGB(153, 153, 0), RGB(102, 102, 0), RGB(76, 76, 0), RGB(51, 51, 0)};

// Reads the size of main_window's client area into client_w and client_h;
// no other layout value changes.
void read_client_size();

int draw_box(HDC dc, int x, int y, int w, int h, COLORREF outer, COLORREF inner);
int draw_text_fit(HDC dc, int x, int y, unsigned box_w, int box_h, const char* text, COLORREF fg, COLORREF bg);
int clear_screen();
int draw_progress_bar();
int draw_note_line();
