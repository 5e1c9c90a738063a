// keyboard.h -- the on-screen JIS keyboard: key table, drawing and highlight.
//
// Owns key_table (one KeyCell per labelled key and per shifted punctuation
// mark), the finger colours and the keyboard origin. In the beginner modes
// the keyboard fills the bottom third of the window, every key in the colour
// of the finger that presses it; in beginner 1 the next key is lit pink.
#pragma once

#include "shell/platform/win32.h"

struct KeyCell {
    char ch;           // the character on the key; 0 ends the table
    int col;           // key column, 0 = leftmost key of its row
    int row;           // 0 digit row, 1 Q row, 2 A row, 3 Z row, 4 space bar
    unsigned key_code; // character of the unshifted physical key
    unsigned shifted;  // 1 for a character typed with Shift on the key at col, row
    unsigned color;    // face colour, 0x00BBGGRR
};

constexpr int KEY_TABLE_SIZE = 256;
constexpr int KEY_COUNT = 52; // entries before the terminator
constexpr int FINGER_COUNT = 8;

extern KeyCell key_table[KEY_TABLE_SIZE];
extern const COLORREF finger_colors[FINGER_COUNT];
extern int kb_left, kb_top; // top-left corner of the keyboard's first row

constexpr COLORREF SHIFT_FACE = RGB(0, 0, 255);
constexpr COLORREF YEN_KEY_FACE = RGB(0, 0, 192);

void init_key_table();
// The entry of a character: its key, or the terminator when it has none.
const KeyCell* find_key(char ch);
constexpr int KEY_MISSING = -1; // what draw_key gives for a character that has no key

// Draws the key of ch: 1 when drawn, 0 for ch 0 (nothing to draw), and
// KEY_MISSING, with nothing drawn, for a character the keyboard has no key
// for. The keyboard only reports it: what follows is the caller's to decide.
// light_key and restore_key return what draw_key gave for ch.
int draw_key(char ch, int kw, int kh, COLORREF frame, COLORREF face);
int draw_keyboard();
// The keyboard as draw_keyboard draws it, but each plain key (entry i of
// key_table) on faces[i] and the keys without an entry (both Shift keys and
// "＼") on other_face: the records' per-key screen.
int draw_keyboard_faces(const COLORREF faces[KEY_COUNT], COLORREF other_face);
// The cell a plain key is drawn in at the window's key size.
RECT key_cell_rect(const KeyCell& e);
int light_key(char ch, COLORREF face);
int restore_key(char ch);
