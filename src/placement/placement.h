// placement.h -- random, non-overlapping places for the characters of a line.
//
// Owns char_pos: the place of every character index of the practice line on a
// 1000 x 1000 grid that is scaled onto the practice area when drawn. Called by
// the random-line generator, the lesson loader and the drill between lines; the
// practice screen and the counting game read the places.
#pragma once

struct PlacePos {
    int x;
    int y;
};

constexpr int grid_cols = 1000;
constexpr int grid_rows = 1000;
constexpr int CHAR_POS_SIZE = 16384;
constexpr int PLACE_TRIES = 512;

extern PlacePos char_pos[CHAR_POS_SIZE];

int point_in_rect(int left, int top, int width, int height, int px, int py);
int squares_overlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh);
// Width and height in pixels of the area the placement spreads characters over.
void placement_area(int* w, int* h);
// Pixel offset of a grid place within that area (the counting game draws with it).
void grid_to_pixels(PlacePos pos, int* x_px, int* y_px);
int place_char(int k, int cols, int rows);
void reposition_line();
