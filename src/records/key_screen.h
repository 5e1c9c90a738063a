// key_screen.h -- キー別の速さ: the practice keyboard with every key coloured
// by how long it takes to find and type, its miss rate on it, the slowest
// keys and the most frequent confusions.
//
// Owns nothing; draws from the history as read (history.h), with the
// keyboard drawing and layout of the practice. Called by the records view.
#pragma once

#include "shell/platform/win32.h"

constexpr int SPEED_BUCKETS = 6;
// A key averaging less than SPEED_LIMITS_MS[i] ms (and not less than the
// limit before) gets SPEED_COLORS[i]; the last colour is for the rest.
constexpr int SPEED_LIMITS_MS[SPEED_BUCKETS - 1] = {400, 600, 800, 1000, 1500};
constexpr COLORREF SPEED_COLORS[SPEED_BUCKETS] = {
    RGB(0, 150, 80), RGB(60, 170, 0), RGB(150, 160, 0), RGB(200, 130, 0), RGB(210, 70, 0), RGB(200, 0, 40),
};
constexpr COLORREF NO_DATA_FACE = RGB(48, 48, 48); // a key without records, and the keys no character uses
constexpr int LIST_ROWS = 8;                       // slowest keys and confusions listed
constexpr int LIST_MIN_SAMPLES = 5;                // a key is listed among the slowest from this many

COLORREF speed_color(int ms);
void draw_key_screen();
