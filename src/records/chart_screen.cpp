// chart_screen.cpp -- drawing 成績グラフ.
//
// Top: one point per line, newest right, coloured by typing mode, with the
// average of the last MOVING_AVERAGE lines drawn over them. Below: one bar
// per day of the last CHART_DAYS days, today's in the practice green. Every
// size is a multiple of the screen unit, so the screen reads the same from
// 800 x 600 to 3840 x 2160.
#include "records/chart_screen.h"

#include "display/geometry.h"
#include "records/canvas.h"
#include "records/history.h"
#include "records/record_row.h"
#include "shell/windows.h"

#include <cstdio>

static const char* const MODE_NAMES[3] = {"初心者１", "初心者２", "中上者"};
constexpr int AXIS_STEPS_MAX = 5;
constexpr int LINE_LABEL_EVERY = 50; // lines between the labels under the points
constexpr int DAY_LABEL_EVERY = 7;

ChartLayout chart_layout(int w, int h)
{
    int u = h / UNIT_DIVISOR > 0 ? h / UNIT_DIVISOR : 1;
    int left = u + label_width("00.0", u) + u / 2;
    ChartLayout c;
    c.unit = u;
    c.lines = RECT{left, 13 * u / 2, w - 2 * u, 21 * u};
    c.days = RECT{left, 25 * u, w - 2 * u, 69 * u / 2};
    return c;
}

double axis_top(double v, double* step)
{
    static constexpr double FIRST_STEPS[3] = {0.1, 0.2, 0.5}; // then ten times each, and so on
    double s = FIRST_STEPS[0];
    for (int i = 0; v > s * AXIS_STEPS_MAX && i < 30; i++) {
        double scale = 1;
        for (int k = 0; k < (i + 1) / 3; k++)
            scale *= 10;
        s = FIRST_STEPS[(i + 1) % 3] * scale;
    }
    *step = s;
    int steps = 1;
    while (steps * s < v - 1e-9)
        steps++;
    return steps * s;
}

static int value_y(const RECT& plot, double v, double top)
{
    return plot.bottom - (int)(v * (plot.bottom - plot.top) / top);
}

// The axes, the grid and the value labels of a plot.
static void draw_axes(HDC dc, const RECT& plot, double top, double step, int u)
{
    char text[32];
    for (int k = 0; k * step <= top + 1e-9; k++) {
        int y = value_y(plot, k * step, top);
        if (k > 0)
            fill_rect(dc, plot.left, y, plot.right, y + 1, GRID_COLOR);
        std::snprintf(text, sizeof text, step < 1 ? "%.1f" : "%.0f", k * step);
        draw_label_right(dc, plot.left - u / 2, y - u / 2, u, text, LABEL_COLOR);
    }
    fill_rect(dc, plot.left - 1, plot.top, plot.left, plot.bottom + 1, AXIS_COLOR);
    fill_rect(dc, plot.left - 1, plot.bottom, plot.right, plot.bottom + 1, AXIS_COLOR);
}

static int line_x(const RECT& plot, int ago) { return plot.right - ago * (plot.right - plot.left) / (CHART_LINES - 1); }

static void draw_legend(HDC dc, int right, int y, int u)
{
    int x = right - label_width("移動平均", u) - 2 * u;
    draw_line(dc, x, y + u / 2, x + 3 * u / 2, y + u / 2, u / 8 + 1, AVERAGE_COLOR);
    draw_label(dc, x + 2 * u, y, u, "移動平均", LABEL_COLOR);
    for (int m = 2; m >= 0; m--) {
        x -= label_width(MODE_NAMES[m], u) + 2 * u;
        fill_rect(dc, x, y + u / 4, x + u / 2, y + 3 * u / 4, MODE_COLORS[m]);
        draw_label(dc, x + u, y, u, MODE_NAMES[m], LABEL_COLOR);
    }
}

static void draw_lines_plot(HDC dc, const ChartLayout& c)
{
    static LinePoint points[CHART_LINES];
    const RECT& p = c.lines;
    int u = c.unit, n = history_recent(points, CHART_LINES);
    double most = 0, step;
    for (int i = 0; i < n; i++)
        most = points[i].speed > most ? points[i].speed : most;
    double top = axis_top(most, &step);
    draw_label(dc, u, 5 * u, u, "最近の行の速さ（文字／秒）", TITLE_COLOR);
    draw_legend(dc, p.right, 5 * u, u);
    draw_axes(dc, p, top, step, u);
    int ps = u / 3 > 3 ? u / 3 : 3;
    for (int i = 0; i < n; i++) {
        int x = line_x(p, n - 1 - i), y = value_y(p, points[i].speed, top);
        fill_rect(dc, x - ps / 2, y - ps / 2, x - ps / 2 + ps, y - ps / 2 + ps, MODE_COLORS[(points[i].mode - 1) % 3]);
    }
    double sum = 0;
    int last_x = 0, last_y = 0;
    for (int i = 0; i < n; i++) {
        sum += points[i].speed - (i >= MOVING_AVERAGE ? points[i - MOVING_AVERAGE].speed : 0);
        int x = line_x(p, n - 1 - i), y = value_y(p, sum / (i < MOVING_AVERAGE ? i + 1 : MOVING_AVERAGE), top);
        if (i > 0)
            draw_line(dc, last_x, last_y, x, y, u / 8 + 1, AVERAGE_COLOR);
        last_x = x;
        last_y = y;
    }
    char text[32];
    for (int ago = LINE_LABEL_EVERY; ago < CHART_LINES; ago += LINE_LABEL_EVERY) {
        std::snprintf(text, sizeof text, "%d行前", ago);
        draw_label_centred(dc, line_x(p, ago), p.bottom + u / 3, u, text, LABEL_COLOR);
    }
    draw_label_right(dc, p.right + u, p.bottom + u / 3, u, "最新", LABEL_COLOR);
}

static int today()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return day_number(t.wYear, t.wMonth, t.wDay);
}

static void draw_days_plot(HDC dc, const ChartLayout& c, int now)
{
    const RECT& p = c.days;
    int u = c.unit, slot = (p.right - p.left) / CHART_DAYS;
    float average[CHART_DAYS] = {}, best;
    int lines;
    double most = 0, step;
    for (int i = 0; i < CHART_DAYS; i++)
        if (history_day(now - (CHART_DAYS - 1 - i), &average[i], &best, &lines) && average[i] > most)
            most = average[i];
    double top = axis_top(most, &step);
    draw_label(dc, u, 47 * u / 2, u, "日ごとの平均（最近30日、文字／秒）", TITLE_COLOR);
    draw_axes(dc, p, top, step, u);
    if (most == 0)
        draw_label_centred(dc, (p.left + p.right) / 2, (p.top + p.bottom - u) / 2, u, "最近30日の記録はありません。",
                           LABEL_COLOR);
    char text[32];
    for (int i = 0; i < CHART_DAYS; i++) {
        int x0 = p.left + i * slot + slot / 6, x1 = x0 + slot * 2 / 3 > x0 ? x0 + slot * 2 / 3 : x0 + 1;
        if (average[i] > 0)
            fill_rect(dc, x0, value_y(p, average[i], top), x1, p.bottom,
                      i == CHART_DAYS - 1 ? TODAY_BAR_COLOR : DAY_BAR_COLOR);
        if ((CHART_DAYS - 1 - i) % DAY_LABEL_EVERY != 0)
            continue;
        int y, m, d;
        date_of_day(now - (CHART_DAYS - 1 - i), &y, &m, &d);
        std::snprintf(text, sizeof text, "%d/%d", m, d);
        draw_label_centred(dc, p.left + i * slot + slot / 2, p.bottom + u / 3, u,
                           i == CHART_DAYS - 1 ? "今日" : text, LABEL_COLOR);
    }
}

// Today's best, the best ever and how many lines there are.
static void draw_summary(HDC dc, int u, int now)
{
    float average, best_today = 0, best_ever;
    int lines, best_day, y, m, d;
    char today_text[32] = "―", text[256];
    if (history_day(now, &average, &best_today, &lines))
        std::snprintf(today_text, sizeof today_text, "%.2f", best_today);
    history_best(&best_ever, &best_day);
    date_of_day(best_day, &y, &m, &d);
    std::snprintf(text, sizeof text, "今日の最高 %s　これまでの最高 %.2f（%d/%d/%d）　記録した行 %d", today_text,
                  best_ever, y, m, d, history_rows());
    draw_label(dc, u, 3 * u, u, text, LABEL_COLOR);
}

void draw_chart_screen()
{
    ChartLayout c = chart_layout(client_w, client_h);
    int u = c.unit, now = today();
    float best;
    int best_day;
    clear_screen();
    HDC dc = GetDC(main_window);
    draw_label(dc, u, u / 2, 2 * u, "成績グラフ", TITLE_COLOR);
    if (history_best(&best, &best_day)) {
        draw_summary(dc, u, now);
        draw_lines_plot(dc, c);
        draw_days_plot(dc, c, now);
    } else {
        draw_label_centred(dc, client_w / 2, client_h / 2 - 2 * u, 2 * u, "まだ記録がありません。", TITLE_COLOR);
        draw_label_centred(dc, client_w / 2, client_h / 2 + u, u,
                           "練習で１行打ち終えるたびに、その速さがここに記録されます。", LABEL_COLOR);
    }
    draw_label(dc, u, 75 * u / 2, u, BACK_HINT_TEXT, LABEL_COLOR);
    ReleaseDC(main_window, dc);
}
