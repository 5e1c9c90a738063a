// practice_screen.cpp -- drawing the practice characters and the typed line.
#include "display/practice_screen.h"

#include "display/count_screen.h"
#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "placement/placement.h"
#include "shell/main_window.h"
#include "shell/windows.h"
#include "text/store.h"

#include <cstring>

constexpr int NOTE_BAND_BARS = 2; // the note band is two progress bars high
static_assert(sizeof LOOKAHEAD_COLORS / sizeof LOOKAHEAD_COLORS[0] == LOOKAHEAD_MAX - 1,
              "a colour for each character shown after the one to type");

static int keyboard_band_h() { return keyboard_shown() ? keyboard_rows * key_h : 0; }
static int note_band_h() { return note_shown ? NOTE_BAND_BARS * bar_h() : 0; }

// The cells lie between the progress bar (and the note band) and the typed
// line, whose height the area gives up too.
void practice_cell(int i, int* x, int* y)
{
    int w = client_w - char_size;
    int h = client_h - char_size - keyboard_band_h() - bar_h() - note_band_h() - typed_cell();
    *x = char_pos[i].x * w / grid_cols;
    *y = char_pos[i].y * h / grid_rows + bar_h() + note_band_h();
}

// One byte in its cell: a space as a hollow square, anything else as text.
static void draw_cell_byte(HDC dc, int i, char byte, COLORREF color)
{
    int x, y;
    practice_cell(i, &x, &y);
    if (byte == ' ') {
        draw_box(dc, x, y, char_size, char_size, color, COLOR_BLACK);
        return;
    }
    char one[2] = {byte, 0};
    draw_text_fit(dc, x, y, (unsigned)char_size, char_size, one, color, COLOR_BLACK);
}

int draw_practice_screen()
{
    if (counting_game()) {
        draw_count_screen(); // the counting game shows its scatter instead
        return 1;
    }
    int k = repainting == 1 ? char_index - 1 : char_index;
    const char* line = line_table[line_index];
    draw_typed_line();
    HDC dc = GetDC(main_window);
    if (k > 0) {
        int x, y;
        practice_cell(k - 1, &x, &y);
        draw_box(dc, x, y, char_size, char_size, COLOR_BLACK, COLOR_BLACK);
    }
    // The farthest look-ahead first, so that nearer characters lie on top.
    for (int j = LOOKAHEAD_MAX - 1; j >= 1 && k >= 0; j--) {
        if (j >= lookahead)
            continue;
        bool present = true;
        for (int i = k; i <= k + j && present; i++)
            present = line[i] != 0;
        if (present)
            draw_cell_byte(dc, k + j, line[k + j], LOOKAHEAD_COLORS[j - 1]);
    }
    if (k >= 0 && line[k] != 0)
        draw_cell_byte(dc, k, line[k], COLOR_GREEN);
    ReleaseDC(main_window, dc);
    return 1;
}

// The last bytes of the first n bytes of the line, at most TYPED_SCRATCH_SIZE
// - 1 of them, cut at a character boundary. Only the last 40 cells are ever
// in view, so a longer typed part loses nothing that could be seen.
static int copy_typed_part(const char* line, int n, char* out)
{
    int len = (int)strnlen(line, (size_t)n);
    int start = 0;
    while (len - start > TYPED_SCRATCH_SIZE - 1) {
        start += IsDBCSLeadByte((BYTE)line[start]) ? 2 : 1;
    }
    if (start > len)
        start = len;
    std::memcpy(out, line + start, (size_t)(len - start));
    out[len - start] = 0;
    return len - start;
}

// Tells the input method to compose in the band right above the typed line,
// at its left end, where typed text begins: near the eyes, and hiding neither
// the line nor a key. Told again only when the line moved (a new size or mode).
static void place_composition(int y, int cell)
{
    static RECT told{};
    RECT band{0, y - cell, typed_line_cols * cell, y};
    if (std::memcmp(&band, &told, sizeof band) == 0)
        return;
    told = band;
    // The input method works in the coordinates of the window with the focus.
    MapWindowPoints(main_window, input_edit, reinterpret_cast<POINT*>(&band), 2);
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_RECT;
    form.ptCurrentPos.x = band.left;
    form.ptCurrentPos.y = band.top;
    form.rcArea = band;
    HIMC himc = ImmGetContext(input_edit);
    if (!himc)
        return;
    ImmSetCompositionWindow(himc, &form);
    ImmReleaseContext(input_edit, himc);
}

int draw_typed_line()
{
    static const char BLANK_LINE[typed_line_cols + 1] = "                                        ";
    static_assert(sizeof BLANK_LINE == typed_line_cols + 1, "one space per typed-line cell");
    int cell = typed_cell();
    int y = client_h - cell - keyboard_band_h();
    place_composition(y, cell);
    HDC dc = GetDC(main_window);
    if (char_index > 0) {
        int n = repainting == 1 ? char_index - 1 : char_index;
        char typed[TYPED_SCRATCH_SIZE];
        int m = copy_typed_part(line_table[line_index], n, typed);
        int x = m <= typed_line_cols ? 0 : client_w - m * cell;
        if (x == 0) {
            // The typed part's cells are opaque: only the cells after it need
            // blanking (both texts get the same cell width, one less than cell).
            draw_text_fit(dc, 0, y, (unsigned)(m * cell), cell, typed, COLOR_GREEN, COLOR_BLACK);
            int rest = typed_line_cols - m;
            draw_text_fit(dc, m * (cell - 1), y, (unsigned)(rest * cell), cell, BLANK_LINE + m, COLOR_GREEN,
                          COLOR_BLACK);
        } else {
            draw_text_fit(dc, 0, y, (unsigned)(typed_line_cols * cell), cell, BLANK_LINE, COLOR_GREEN, COLOR_BLACK);
            draw_text_fit(dc, x, y, (unsigned)(m * cell), cell, typed, COLOR_GREEN, COLOR_BLACK);
        }
    }
    ReleaseDC(main_window, dc);
    return 1;
}
