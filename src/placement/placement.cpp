// placement.cpp -- random, non-overlapping places for the characters of a line.
//
// Owns char_pos, the grid place of every character index of the practice line.
// place_char tries up to PLACE_TRIES random places for one index and keeps the
// first that clears the `lookahead` places before it. Called by the random-line
// generator, the lesson loader and the drill; the counting game shares the
// grid-to-pixel mapping and the overlap test.
#include "placement/placement.h"

#include <cstdlib>

#include "display/geometry.h"
#include "display/view.h"
#include "text/random_lines.h"
#include "text/store.h"

PlacePos char_pos[CHAR_POS_SIZE];

// All four bounds are inclusive, so a point on the edge is inside.
int point_in_rect(int left, int top, int width, int height, int px, int py)
{
    return left <= px && px <= left + width && top <= py && py <= top + height;
}

// Tests B's corners against A: top-left, top-right, bottom-right, bottom-left.
// For two equal squares of side s this is |ax - bx| <= s and |ay - by| <= s, so
// squares that only touch count as overlapping.
int squares_overlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh)
{
    const int corner_x[4] = {bx, bx + bw, bx + bw, bx};
    const int corner_y[4] = {by, by, by + bh, by + bh};
    for (int c = 0; c < 4; c++)
        if (point_in_rect(ax, ay, aw, ah, corner_x[c], corner_y[c]))
            return 1;
    return 0;
}

// The client area less one character cell, the progress bar and, in the two
// beginner modes, the keyboard band; a character placed at the far grid corner
// thus still fits inside. Negative when the character is larger than the area.
void placement_area(int* w, int* h)
{
    *w = client_w - char_size;
    *h = client_h - char_size - bar_h() - (keyboard_shown() ? keyboard_rows * key_h : 0);
}

static int grid_to_px(int cell, int extent, int cells) { return cell * extent / cells; }

void grid_to_pixels(PlacePos pos, int* x_px, int* y_px)
{
    int w, h;
    placement_area(&w, &h);
    *x_px = grid_to_px(pos.x, w, grid_cols);
    *y_px = grid_to_px(pos.y, h, grid_rows);
}

static int cells_overlap(PlacePos a, PlacePos b, int w, int h)
{
    return squares_overlap(grid_to_px(a.x, w, grid_cols), grid_to_px(a.y, h, grid_rows), char_size, char_size,
                           grid_to_px(b.x, w, grid_cols), grid_to_px(b.y, h, grid_rows), char_size, char_size);
}

// 1 when the candidate in char_pos[k] overlaps one of the `lookahead` places
// just before it; places farther back may be overlapped freely.
static int window_rejects(int k, int w, int h)
{
    const int first = k - lookahead > 0 ? k - lookahead : 0;
    for (int j = first; j < k; j++)
        if (cells_overlap(char_pos[k], char_pos[j], w, h))
            return 1;
    return 0;
}

static void draw_candidate(int k, int cols, int rows)
{
    char_pos[k].x = rand() % cols; // x is drawn before y
    char_pos[k].y = rand() % rows;
}

// Places index k; 1 when the place clears the window, 0 when every try was
// rejected (char_pos[k] then keeps the last, overlapping candidate) or when k,
// cols or rows is out of range (nothing changes).
int place_char(int k, int cols, int rows)
{
    if (k < 0 || k >= CHAR_POS_SIZE || cols <= 0 || rows <= 0)
        return 0;
    if (k == 0) {
        draw_candidate(0, cols, rows);
        return 1;
    }
    int w, h;
    placement_area(&w, &h);
    for (int t = 0; t < PLACE_TRIES; t++) {
        draw_candidate(k, cols, rows);
        if (!window_rejects(k, w, h))
            return 1;
    }
    return 0;
}

// Re-places indices 0 .. random_line_len - 1 in order, each against the fresh
// places before it; later indices keep theirs. Nothing happens without lines.
void reposition_line()
{
    if (line_count <= 0)
        return;
    const int count = random_line_len < CHAR_POS_SIZE ? random_line_len : CHAR_POS_SIZE;
    for (int j = 0; j < count; j++)
        place_char(j, grid_cols, grid_rows);
}
