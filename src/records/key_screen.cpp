// key_screen.cpp -- drawing キー別の速さ.
//
// Above the keyboard: the legend of the colours, the slowest keys and the
// confusions. The keyboard is the practice keyboard in the same place, each
// key's face its speed colour, and the share of its occurrences that had a
// wrong key typed first in its lower right corner.
#include "records/key_screen.h"

#include "display/geometry.h"
#include "display/keyboard.h"
#include "records/canvas.h"
#include "records/history.h"
#include "shell/windows.h"

#include <algorithm>
#include <cstdio>

static const char LEGEND_UNIT[] = "ミリ秒";
static const char* const BUCKET_NAMES[SPEED_BUCKETS] = {"〜399", "400〜", "600〜", "800〜", "1000〜", "1500〜"};

COLORREF speed_color(int ms)
{
    int i = 0;
    while (i < SPEED_BUCKETS - 1 && ms >= SPEED_LIMITS_MS[i])
        i++;
    return SPEED_COLORS[i];
}

// How a key or a typed byte is named in the lists.
static const char* key_name(char c, char* room)
{
    if (c == ' ')
        return "スペース";
    if (c == '\r')
        return "Enter";
    room[0] = c;
    room[1] = 0;
    return room;
}

static void draw_swatch(HDC dc, int* x, int y, int u, COLORREF color, const char* name)
{
    fill_rect(dc, *x, y + u / 6, *x + 3 * u / 2, y + u - u / 6, color);
    draw_label(dc, *x + 3 * u / 2 + u / 4, y, u, name, LABEL_COLOR);
    *x += 3 * u / 2 + u / 4 + label_width(name, u) + 2 * u / 3;
}

// One row of colours and what they mean, and one on how the figures are
// made; both fit 800 pixels.
static void draw_legend(HDC dc, int u)
{
    int x = u;
    draw_label(dc, x, 3 * u, u, LEGEND_UNIT, LABEL_COLOR);
    x += label_width(LEGEND_UNIT, u) + 2 * u / 3;
    for (int i = 0; i < SPEED_BUCKETS; i++)
        draw_swatch(dc, &x, 3 * u, u, SPEED_COLORS[i], BUCKET_NAMES[i]);
    draw_swatch(dc, &x, 3 * u, u, NO_DATA_FACE, "記録なし");
    char text[160];
    std::snprintf(text, sizeof text, "各キーの最近%d回の平均（文字が出てから打つまで）。右下は打ち間違えた割合。",
                  KEY_SAMPLES);
    draw_label(dc, u, 9 * u / 2, u, text, LABEL_COLOR);
}

static void draw_slowest(HDC dc, int x, int y, int u)
{
    int order[KEY_CODES], n = 0;
    for (int k = 1; k < KEY_CODES; k++)
        if (key_samples(k) >= LIST_MIN_SAMPLES)
            order[n++] = k;
    std::sort(order, order + n, [](int a, int b) { return key_average_ms(a) > key_average_ms(b); });
    draw_label(dc, x, y, u, "遅いキー", TITLE_COLOR);
    if (n == 0)
        draw_label(dc, x, y + 3 * u / 2, u, "まだありません", LABEL_COLOR);
    char room[2], text[96];
    for (int i = 0; i < n && i < LIST_ROWS; i++) {
        std::snprintf(text, sizeof text, "%-8s %5dミリ秒　打ち間違い %3d%%", key_name((char)order[i], room),
                      key_average_ms(order[i]), key_miss_percent(order[i]));
        draw_label(dc, x, y + 3 * u / 2 + i * 7 * u / 5, u, text, LABEL_COLOR);
    }
}

static void draw_confusions(HDC dc, int x, int y, int u)
{
    Confusion list[LIST_ROWS];
    int n = history_confusions(list, LIST_ROWS);
    draw_label(dc, x, y, u, "よくある打ち間違い", TITLE_COLOR);
    if (n == 0)
        draw_label(dc, x, y + 3 * u / 2, u, "まだありません", LABEL_COLOR);
    char a[2], b[2], text[96];
    for (int i = 0; i < n; i++) {
        std::snprintf(text, sizeof text, "「%s」のところで「%s」　%d回", key_name(list[i].expected, a),
                      key_name(list[i].typed, b), list[i].count);
        draw_label(dc, x, y + 3 * u / 2 + i * 7 * u / 5, u, text, LABEL_COLOR);
    }
}

// Every plain key on its speed colour, then each measured key's miss rate.
static void draw_speed_keyboard()
{
    COLORREF faces[KEY_COUNT];
    for (int i = 0; i < KEY_COUNT; i++) {
        int key = (int)key_table[i].key_code & 0x7F;
        faces[i] = key_samples(key) > 0 ? speed_color(key_average_ms(key)) : NO_DATA_FACE;
    }
    draw_keyboard_faces(faces, NO_DATA_FACE);
    HDC dc = GetDC(main_window);
    int h = key_h * 2 / 5;
    char text[8];
    for (const KeyCell* e = key_table; e->ch != 0 && !e->shifted; e++) {
        int key = (int)e->key_code & 0x7F;
        if (key_samples(key) == 0)
            continue;
        RECT r = key_cell_rect(*e);
        std::snprintf(text, sizeof text, "%d%%", key_miss_percent(key));
        draw_label_right(dc, r.right - 3, r.bottom - 3 - h, h, text, COLOR_WHITE);
    }
    ReleaseDC(main_window, dc);
}

void draw_key_screen()
{
    int u = screen_unit();
    clear_screen();
    HDC dc = GetDC(main_window);
    draw_label(dc, u, u / 2, 2 * u, "キー別の速さ", TITLE_COLOR);
    draw_legend(dc, u);
    draw_slowest(dc, u, 13 * u / 2, u);
    draw_confusions(dc, client_w / 2, 13 * u / 2, u);
    int kb_top_now = client_h - key_h * keyboard_rows;
    draw_label(dc, u, kb_top_now - 3 * u / 2, u, BACK_HINT_TEXT, LABEL_COLOR);
    ReleaseDC(main_window, dc);
    draw_speed_keyboard();
}
