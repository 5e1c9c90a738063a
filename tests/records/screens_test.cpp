// screens_test.cpp -- the two records screens on the pixels they should take at
// several window sizes, what an empty history shows, leaving them for the
// practice exactly as it was, and the menu and maze rules of the records.
// The frames are written to build/test-frames/ for a person to look at.
#include "records_test_support.h"

#include "display/keyboard.h"
#include "drill/results.h"
#include "maze/maze_play.h"
#include "records/canvas.h"
#include "records/chart_screen.h"
#include "records/history.h"
#include "records/key_screen.h"
#include "records/record_row.h"
#include "records/records_view.h"

#include <sys/stat.h>

static void keep_frame(const std::string& name)
{
    const std::string dir = std::string(LUMEKO_BINARY_DIR) + "/test-frames";
    mkdir(dir.c_str(), 0755);
    headless_write_png((dir + "/" + name + ".png").c_str(), true);
}

// Today: lines of 1.0 (mode 1), 2.0 (mode 2) and 3.0 (mode 3) characters per
// second; yesterday one of 1.0. Q averages 1200 ms and is missed half the
// time, typed as W; A averages 300 ms; no other key has a record.
static void write_small_history()
{
    std::string rows = hand_row(stamp_days_ago(1), 1, 0, "QA", {{1200, "W"}, {300, ""}}, "1.000000");
    rows += hand_row(stamp_days_ago(0), 1, 0, "QA", {{1200, ""}, {300, ""}}, "1.000000");
    rows += hand_row(stamp_days_ago(0), 2, 0, "QA", {{1200, "W"}, {300, ""}}, "2.000000");
    rows += hand_row(stamp_days_ago(0), 3, 0, "QA", {{1200, ""}, {300, ""}}, "3.000000");
    rows +=
        hand_row(stamp_days_ago(0), 3, 1, "ZZZZ", {{9, ""}, {9, ""}, {9, ""}, {9, ""}}, "9.000000"); // a counting game
    write_records(records_header() + rows);
}

// The desktop resizes the window so that its client area is w x h.
static void resize_client(int w, int h)
{
    headless_resize(w, h + GetSystemMetrics(SM_CYMENU));
    run_until_idle();
    ASSERT_EQ(client_w, w);
    ASSERT_EQ(client_h, h);
}

static const struct {
    int w, h;
} SIZES[] = {{800, 600}, {1920, 1080}, {3840, 2160}};

static int in_rect(const RECT& r, COLORREF c) { return count_colour(r.left, r.top, r.right, r.bottom, rgb(c)); }

TEST(RecordsScreens, ChartLandsOnItsPixelsAtEverySize)
{
    play_game();
    write_small_history();
    command(CMD_RECORDS_CHART);
    ASSERT_EQ(records_view, VIEW_CHART);
    for (const auto& size : SIZES) {
        SCOPED_TRACE(size.w);
        resize_client(size.w, size.h);
        keep_frame("chart-" + std::to_string(size.w));
        const ChartLayout c = chart_layout(size.w, size.h);
        const RECT& p = c.lines;
        auto y_of = [&](double v, const RECT& r, double top) { return r.bottom - (int)(v * (r.bottom - r.top) / top); };
        // Four lines up to 3.0: the axis tops at 3; the newest (mode 3) at
        // the right edge on the top, the one before it (mode 2) at 2.0.
        EXPECT_EQ(headless_pixel(p.right, p.top), rgb(MODE_COLORS[2]));
        EXPECT_EQ(headless_pixel(p.right - (p.right - p.left) / (CHART_LINES - 1), y_of(2.0, p, 3)),
                  rgb(MODE_COLORS[1]));
        EXPECT_EQ(headless_pixel(p.right, y_of(1.75, p, 3)), rgb(AVERAGE_COLOR)); // the average of all four
        EXPECT_EQ(headless_pixel(p.left - 1, (p.top + p.bottom) / 2), rgb(AXIS_COLOR));
        EXPECT_GT(in_rect(RECT{p.left, p.top, p.right + 5, p.bottom}, RGB(255, 96, 96)), 0);
        // Days: today averages 2.0, the axis tops at 2.0; yesterday 1.0.
        const RECT& d = c.days;
        const int slot = (d.right - d.left) / CHART_DAYS;
        const int today_x = d.left + (CHART_DAYS - 1) * slot + slot / 2, yesterday_x = today_x - slot;
        EXPECT_EQ(headless_pixel(today_x, d.top + 1), rgb(TODAY_BAR_COLOR));
        EXPECT_EQ(headless_pixel(today_x, d.bottom - 1), rgb(TODAY_BAR_COLOR));
        EXPECT_EQ(headless_pixel(yesterday_x, y_of(1.0, d, 2) + 1), rgb(DAY_BAR_COLOR));
        EXPECT_NE(headless_pixel(yesterday_x, y_of(1.0, d, 2) - 2), rgb(DAY_BAR_COLOR));
        EXPECT_EQ(in_rect(RECT{d.left, d.top, today_x - 2 * slot, d.bottom}, DAY_BAR_COLOR), 0);
    }
}

// The cell of a key as the practice draws it: its frame corner is white there
// and on the records' keyboard alike.
static RECT cell_of(char ch) { return key_cell_rect(*find_key(ch)); }
static int area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

TEST(RecordsScreens, KeyboardScreenColoursEachKeyWhereThePracticeDrawsIt)
{
    play_game();
    write_small_history();
    for (const auto& size : SIZES) {
        SCOPED_TRACE(size.w);
        resize_client(size.w, size.h);
        std::vector<RECT> cells;
        for (const KeyCell* e = key_table; e->ch && !e->shifted; e++) {
            cells.push_back(key_cell_rect(*e));
            ASSERT_EQ(headless_pixel(cells.back().left + 1, cells.back().top + 1), 0xFFFFFFu) << e->ch;
        }
        command(CMD_RECORDS_KEYS);
        keep_frame("keys-" + std::to_string(size.w));
        for (const RECT& r : cells)
            EXPECT_EQ(headless_pixel(r.left + 1, r.top + 1), 0xFFFFFFu);
        // Q: 1200 ms, missed 2 times in 4; A: 300 ms; W and the Shift keys: nothing.
        const struct {
            char key;
            COLORREF face;
            bool miss_rate;
        } keys[] = {{'Q', SPEED_COLORS[4], true}, {'A', SPEED_COLORS[0], true}, {'W', NO_DATA_FACE, false}};
        for (const auto& k : keys) {
            const RECT r = cell_of(k.key);
            EXPECT_GT(in_rect(r, k.face), area(r) / 3) << k.key;
            const RECT corner{r.right - key_w / 2, r.bottom - key_h * 2 / 5 - 3, r.right - 3, r.bottom - 3};
            EXPECT_EQ(in_rect(corner, COLOR_BLACK) > 0, k.miss_rate) << k.key; // the rate is drawn on black
        }
        const RECT shift{kb_left - key_w + 2, kb_top + 3 * key_h + 2, kb_left + key_w - 2, kb_top + 4 * key_h - 2};
        EXPECT_GT(in_rect(shift, NO_DATA_FACE), area(shift) / 3);
        const int u = screen_unit(), first_swatch = u + label_width("ミリ秒", u) + 2 * u / 3;
        EXPECT_EQ(headless_pixel(first_swatch + u / 2, 3 * u + u / 2), rgb(SPEED_COLORS[0]));
        EXPECT_EQ(in_rect(RECT{client_w - u / 2, 3 * u, client_w, 6 * u}, LABEL_COLOR), 0); // all within the width
        headless_key(VK_ESCAPE);
        run_until_idle();
        ASSERT_EQ(records_view, VIEW_NONE);
    }
}

TEST(RecordsScreens, AnEmptyHistorySaysSoInWords)
{
    play_game();
    command(CMD_RECORDS_CHART);
    keep_frame("chart-empty");
    const int u = screen_unit();
    EXPECT_GT(count_colour(0, client_h / 2 - 2 * u, client_w, client_h / 2, rgb(TITLE_COLOR)), 100);
    for (COLORREF c : {MODE_COLORS[0], MODE_COLORS[1], MODE_COLORS[2], DAY_BAR_COLOR, TODAY_BAR_COLOR})
        EXPECT_EQ(count_colour(0, 0, client_w, client_h, rgb(c)), 0);
    command(CMD_RECORDS_KEYS);
    for (const KeyCell* e = key_table; e->ch && !e->shifted; e++)
        EXPECT_GT(in_rect(key_cell_rect(*e), NO_DATA_FACE), area(key_cell_rect(*e)) / 3) << e->ch;
}

// Chooses item `item` of the 記録 menu with the keyboard: F10, Left twice
// (past ヘルプ to 記録), Down to open it, Down to the item, Enter.
static void choose_records_item(int item)
{
    std::vector<std::function<void()>> steps = {press(VK_LEFT), press(VK_LEFT), press(VK_DOWN)};
    for (int i = 0; i < item; i++)
        steps.push_back(press(VK_DOWN));
    steps.push_back(press(VK_RETURN));
    headless_key(VK_F10);
    WaitScript script(steps, [] {});
    run_until_idle();
}

TEST(RecordsScreens, LeavingPutsThePracticeBackAsItWasAndTheLinesClockStood)
{
    play_game();
    const struct {
        int item; // of the 記録 menu
        std::function<void()> leave;
    } ways[] = {
        {0, press(VK_ESCAPE)},
        {1, press(VK_RETURN)},
        {0, [] { headless_type(" "); }},
        {1, [] { headless_click(1, 400, 300); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.item);
        wait_ms(100);
        // The practice comes back as a repaint draws it (a left click redraws
        // too), which shows the progress bar a key further than the keys did.
        headless_click(1, 10, 300);
        run_until_idle();
        const std::vector<uint32_t> pixels = client_pixels();
        const LineState line = line_state();
        choose_records_item(way.item);
        ASSERT_EQ(records_view, way.item == 0 ? VIEW_CHART : VIEW_KEYS); // the menu's Enter did not leave it
        EXPECT_FALSE(client_pixels() == pixels);
        type_and_run("abc"); // reaches neither the line nor the queue
        wait_ms(1000);
        EXPECT_EQ(line_ticks, line.ticks);
        way.leave();
        run_until_idle();
        EXPECT_TRUE(client_pixels() == pixels);
        EXPECT_EQ(line_state(), line);
        EXPECT_EQ((Ints{records_view, GetWindowTextLengthA(input_edit)}), (Ints{VIEW_NONE, 0}));
        wait_ms(50);
        type_char(expected_char);
    }
    type_and_run(rest_of_line().c_str());
    // The four characters typed after a screen took 150 ms each: the second
    // the screen was up is no character's.
    const std::vector<std::string> entries = split(split(record_rows().back(), ',')[COL_PER_CHAR], ' ');
    ASSERT_EQ(entries.size(), 30u);
    EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.begin() + 4), std::vector<std::string>(4, "150"));
}

TEST(RecordsMenu, TheMazeRefusesTheScreensAndTheWeakPracticeTheFileOpensAsTheHelpPage)
{
    play_game();
    command(CMD_RECORDS_CHART);
    command(CMD_RECORDS_OPEN); // no file yet: a message over the screen, which stays
    EXPECT_EQ(headless_box_log().back().rfind(u8"まだ記録がありません。", 0), 0u);
    ASSERT_EQ(records_view, VIEW_CHART);
    headless_key(VK_ESCAPE);
    run_until_idle();
    EXPECT_EQ(records_view, VIEW_NONE);
    command(CMD_MAZE_6);
    for (unsigned id : {CMD_RECORDS_CHART, CMD_RECORDS_KEYS, CMD_RECORDS_WEAK}) {
        command(id);
        EXPECT_EQ(headless_box_log().back(), u8"ゲーム→迷路モード→元に戻す。をしてください。") << id;
        EXPECT_EQ((Ints{records_view, text_source}), (Ints{VIEW_NONE, TEXT_SOURCE_RANDOM})) << id;
    }
    command(CMD_RECORDS_OPEN);
    EXPECT_EQ(headless_box_log().back(),
              u8"まだ記録がありません。\n\n練習で１行打ち終えると、記録ファイルが作られます。\n場所：" + records_csv());
    command(CMD_MAZE_OFF);
    type_and_run(rest_of_line().c_str());
    const std::string dir = make_temp_dir("opener");
    setenv("LUMEKO_OPENER", write_opener(dir).c_str(), 1);
    command(CMD_RECORDS_OPEN);
    EXPECT_TRUE(eventually([&] { return read_file(dir + "/opened") == records_csv(); })) << read_file(dir + "/opened");
}
