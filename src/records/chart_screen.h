// chart_screen.h -- 成績グラフ: the speed of the newest lines and of the last
// thirty days, drawn by the game over the whole client area.
//
// Owns nothing; draws from the history as read (history.h) and the layout of
// the moment. Called by the records view.
#pragma once

#include "shell/platform/win32.h"

constexpr int CHART_DAYS = 30;       // days of the daily averages, today the last
constexpr int MOVING_AVERAGE = 10;   // lines averaged for the line over the points
constexpr COLORREF MODE_COLORS[3] = {RGB(0, 200, 255), RGB(255, 200, 0), RGB(255, 96, 96)}; // modes 1, 2, 3
constexpr COLORREF AVERAGE_COLOR = RGB(255, 255, 255);
constexpr COLORREF DAY_BAR_COLOR = RGB(64, 160, 255);
constexpr COLORREF TODAY_BAR_COLOR = RGB(0, 255, 0);

// Where the two plots lie at a client size: the points of the newest lines,
// the newest at the right edge, and the days, today at the right.
struct ChartLayout {
    RECT lines; // plot area: values from 0 at the bottom to lines_top at the top
    RECT days;
    int unit;
};
ChartLayout chart_layout(int w, int h);
// The top of a speed axis for values up to v: a round number of 1, 2 or 5
// times a power of ten a step, at most five steps. *step gets the step.
double axis_top(double v, double* step);
// Draws the whole screen; an empty history says so in words.
void draw_chart_screen();
