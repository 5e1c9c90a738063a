// keyboard.cpp -- the key table, drawing keys, lighting and restoring them.
#include "display/keyboard.h"

#include "display/geometry.h"
#include "shell/windows.h"

KeyCell key_table[KEY_TABLE_SIZE];
int kb_left, kb_top;

// One colour per finger, left little to right little.
const COLORREF finger_colors[FINGER_COUNT] = {
    RGB(0, 0, 255),   RGB(0, 0, 192),   RGB(0, 128, 255),   RGB(0, 128, 192),
    RGB(128, 0, 255), RGB(128, 0, 192), RGB(128, 128, 255), RGB(128, 128, 192),
};

struct KeyRow {
    char ch;
    int col, row;
    unsigned key_code, shifted;
    int finger;
};

// Plain keys first, then the characters typed with Shift: drawing the whole
// keyboard stops at the first shifted entry.
static constexpr KeyRow KEY_ROWS[] = {
    {'1', 0, 0, 49, 0, 0},   {'2', 1, 0, 50, 0, 1}, {'3', 2, 0, 51, 0, 2},  {'4', 3, 0, 52, 0, 3},
    {'5', 4, 0, 53, 0, 3},   {'6', 5, 0, 54, 0, 4}, {'7', 6, 0, 55, 0, 4},  {'8', 7, 0, 56, 0, 5},
    {'9', 8, 0, 57, 0, 6},   {'0', 9, 0, 48, 0, 7}, {'-', 10, 0, 45, 0, 7}, {'^', 11, 0, 94, 0, 7},
    {'\\', 12, 0, 92, 0, 7}, // the yen key of a JIS keyboard types byte 92
    {'Q', 0, 1, 81, 0, 0},   {'W', 1, 1, 87, 0, 1}, {'E', 2, 1, 69, 0, 2},  {'R', 3, 1, 82, 0, 3},
    {'T', 4, 1, 84, 0, 3},   {'Y', 5, 1, 89, 0, 4}, {'U', 6, 1, 85, 0, 4},  {'I', 7, 1, 73, 0, 5},
    {'O', 8, 1, 79, 0, 6},   {'P', 9, 1, 80, 0, 7}, {'@', 10, 1, 64, 0, 7}, {'[', 11, 1, 91, 0, 7},
    {'A', 0, 2, 65, 0, 0},   {'S', 1, 2, 83, 0, 1}, {'D', 2, 2, 68, 0, 2},  {'F', 3, 2, 70, 0, 3},
    {'G', 4, 2, 71, 0, 3},   {'H', 5, 2, 72, 0, 4}, {'J', 6, 2, 74, 0, 4},  {'K', 7, 2, 75, 0, 5},
    {'L', 8, 2, 76, 0, 6},   {';', 9, 2, 59, 0, 7}, {':', 10, 2, 58, 0, 7}, {']', 11, 2, 93, 0, 7},
    {'Z', 0, 3, 90, 0, 0},   {'X', 1, 3, 88, 0, 1}, {'C', 2, 3, 67, 0, 2},  {'V', 3, 3, 86, 0, 3},
    {'B', 4, 3, 66, 0, 3},   {'N', 5, 3, 78, 0, 4}, {'M', 6, 3, 77, 0, 4},  {',', 7, 3, 44, 0, 5},
    {'.', 8, 3, 46, 0, 6},   {'/', 9, 3, 47, 0, 7}, {' ', 0, 4, 32, 0, 0}, // the space bar, nine keys wide
    {'?', 9, 3, 47, 1, 3}, // shifted entries carry their own colours, not always the base key's
    {'\'', 6, 0, 55, 1, 0},  {'!', 0, 0, 49, 1, 0}, {'"', 1, 0, 50, 1, 1},
};
static_assert(sizeof KEY_ROWS / sizeof KEY_ROWS[0] == KEY_COUNT, "52 keys before the terminator");

static const char SHIFT_LABEL[] = "Shift";
static const char YEN_LABEL[] = "＼";

// The keys without an entry of their own, all in the Z row: the left Shift
// starts a key left of the keyboard's origin, "＼" and the right Shift stand
// in columns 10 and 11 of that row, both Shifts two keys wide.
constexpr int SHIFT_ROW = 3;
constexpr int SHIFT_KEYS = 2;
constexpr int YEN_COL = 10;
constexpr int RIGHT_SHIFT_COL = 11;
constexpr int KEY_FRAME = 2; // pixels of frame colour around a key's label

void init_key_table()
{
    for (int i = 0; i < KEY_COUNT; i++) {
        const KeyRow& r = KEY_ROWS[i];
        key_table[i] = KeyCell{r.ch, r.col, r.row, r.key_code, r.shifted, finger_colors[r.finger]};
    }
    key_table[KEY_COUNT] = KeyCell{0, -1, -1, 0, 0, 0};
}

const KeyCell* find_key(char ch)
{
    const KeyCell* e = key_table;
    while (e->ch != ch && e->ch != 0)
        e++;
    return e;
}

// A key: its cell filled with the frame colour, its label drawn in the frame
// colour on the face colour, 2 pixels in from every edge.
static void draw_cell(HDC dc, int x0, int y0, int w, int h, const char* label, COLORREF frame, COLORREF face)
{
    RECT cell{x0, y0, x0 + w, y0 + h};
    HBRUSH brush = CreateSolidBrush(frame);
    FillRect(dc, &cell, brush);
    DeleteObject(brush);
    draw_text_fit(dc, x0 + KEY_FRAME, y0 + KEY_FRAME, (unsigned)(w - 2 * KEY_FRAME), h - 2 * KEY_FRAME, label, frame,
                  face);
}

static int cell_x(int col, int row, int kw) { return kb_left + col * kw + (row * kw) / row_stagger; }

// The keyboard is centred on its widest row and stands on the window's bottom.
static void set_origin(int kw, int kh)
{
    kb_left = half_w - (keyboard_cols * kw) / 2;
    kb_top = client_h - kh * keyboard_rows;
}

static void draw_left_shift(HDC dc, int kw, int kh, COLORREF frame, COLORREF face)
{
    draw_cell(dc, kb_left - kw, kb_top + SHIFT_ROW * kh, SHIFT_KEYS * kw, kh, SHIFT_LABEL, frame, face);
}

// The right Shift is always framed in white and sized by the window's key size.
static void draw_right_shift(HDC dc, COLORREF face)
{
    draw_cell(dc, cell_x(RIGHT_SHIFT_COL, SHIFT_ROW, key_w), kb_top + SHIFT_ROW * key_h, SHIFT_KEYS * key_w, key_h,
              SHIFT_LABEL, COLOR_WHITE, face);
}

int draw_key(char ch, int kw, int kh, COLORREF frame, COLORREF face)
{
    HDC dc = GetDC(main_window);
    set_origin(kw, kh);
    const KeyCell* e = ch ? find_key(ch) : nullptr;
    if (!e || e->ch == 0) {
        ReleaseDC(main_window, dc);
        return e ? KEY_MISSING : 0;
    }
    char label[2] = {ch, 0};
    int x0 = cell_x(e->col, e->row, kw);
    int y0 = kb_top + e->row * kh;
    if (ch == ' ') {
        draw_cell(dc, x0, y0, space_bar_keys * kw, kh, label, frame, face);
    } else if (e->shifted) {
        draw_left_shift(dc, kw, kh, frame, face);
        draw_cell(dc, x0, y0, kw, kh, label, frame, face);
        draw_right_shift(dc, face);
    } else {
        draw_cell(dc, x0, y0, kw, kh, label, frame, face);
    }
    ReleaseDC(main_window, dc);
    return 1;
}

// The whole keyboard: the plain keys in their faces (their finger colours
// when faces is null), then the keys that have no entry.
static int draw_keyboard_in(const COLORREF* faces, COLORREF shift_face, COLORREF yen_face)
{
    for (const KeyCell* e = key_table; e->ch != 0 && !e->shifted; e++)
        draw_key(e->ch, key_w, key_h, COLOR_WHITE, faces ? faces[e - key_table] : e->color);
    HDC dc = GetDC(main_window);
    set_origin(key_w, key_h);
    draw_left_shift(dc, key_w, key_h, COLOR_WHITE, shift_face);
    draw_right_shift(dc, shift_face);
    draw_cell(dc, cell_x(YEN_COL, SHIFT_ROW, key_w), kb_top + SHIFT_ROW * key_h, key_w, key_h, YEN_LABEL, COLOR_WHITE,
              yen_face);
    ReleaseDC(main_window, dc);
    return 1;
}

int draw_keyboard() { return draw_keyboard_in(nullptr, SHIFT_FACE, YEN_KEY_FACE); }

int draw_keyboard_faces(const COLORREF faces[KEY_COUNT], COLORREF other_face)
{
    return draw_keyboard_in(faces, other_face, other_face);
}

RECT key_cell_rect(const KeyCell& e)
{
    set_origin(key_w, key_h);
    int x0 = cell_x(e.col, e.row, key_w), y0 = kb_top + e.row * key_h;
    return RECT{x0, y0, x0 + (e.ch == ' ' ? space_bar_keys : 1) * key_w, y0 + key_h};
}

int light_key(char ch, COLORREF face) { return draw_key(ch, key_w, key_h, COLOR_WHITE, face); }

// The base key whose label a shifted character covered, or 0.
static char base_key_of(char ch)
{
    switch (ch) {
    case '?':
        return '/';
    case '!':
        return '1';
    case '"':
        return '2';
    case '\'':
        return '7';
    default:
        return 0;
    }
}

int restore_key(char ch)
{
    const KeyCell* e = find_key(ch);
    int drawn = draw_key(ch, key_w, key_h, COLOR_WHITE, e->color);
    char base = base_key_of(ch);
    if (base)
        draw_key(base, key_w, key_h, COLOR_WHITE, e->color);
    return drawn;
}
