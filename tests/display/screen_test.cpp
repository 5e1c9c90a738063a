// screen_test.cpp -- progress bar, keyboard keys and their highlight, practice screen and
// typed line, checked on the pixels of an 800 x 600 client area.
#include "display/practice_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "display/geometry.h"
#include "display/keyboard.h"
#include "drill/engine.h"
#include "placement/placement.h"
#include "shell/main_window.h"
#include "shell/platform/headless.h"
#include "shell/settings.h"
#include "test_support.h"
#include "text/store.h"

constexpr uint32_t WHITE = 0xFFFFFF, GREEN = 0x00FF00, RED = 0xFF0000, PINK = 0xFF80FF;

struct Box {
    int x0, y0, x1, y1;
    bool has(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// Pixels in b that match: colour == want, or (colour & mask) != 0 when mask is given.
static int count_pixels(Box b, uint32_t want, uint32_t mask = 0)
{
    int n = 0;
    for (int y = b.y0; y < b.y1; y++)
        for (int x = b.x0; x < b.x1; x++)
            n += mask ? (headless_pixel(x, y) & mask) != 0 : headless_pixel(x, y) == want;
    return n;
}

TEST(ProgressBar, WhiteFrameGreenDonePartRedRest)
{
    start_game(800, 600);
    run_until_idle();
    line_length = 30;
    const struct {
        int index, green, red;
    } cases[] = {{0, 0, 796}, {7, 186, 610}, {29, 773, 23}, {30, 798, 0}}; // a full bar covers the right frame
    for (const auto& c : cases) {
        char_index = c.index;
        draw_progress_bar();
        EXPECT_EQ(count_pixels({0, 7, 800, 8}, GREEN), c.green) << "char_index " << c.index;
        EXPECT_EQ(count_pixels({0, 2, 800, 13}, RED), 11 * c.red) << "char_index " << c.index;
        EXPECT_EQ(count_pixels({0, 0, 800, 2}, WHITE) + count_pixels({0, 13, 800, 15}, WHITE), 3200);
        EXPECT_EQ(count_pixels({0, 2, 2, 13}, WHITE), 22);
    }
}

// Keys at 800 x 600: key_w 53, key_h 40, the keyboard from (56, 400).
constexpr Box KEY_1{56, 400, 109, 440}, KEY_A{91, 480, 144, 520}, KEY_SLASH{586, 520, 639, 560},
    SPACE_BAR{126, 560, 603, 600}, LEFT_SHIFT{3, 520, 109, 560}, RIGHT_SHIFT{692, 520, 798, 560},
    YEN_KEY{639, 520, 692, 560};

// A white frame at the corners and the face colour over most of the inside.
static void expect_key(Box k, uint32_t face, const char* what)
{
    for (auto p : {std::pair<int, int>{k.x0, k.y0},
                   {k.x1 - 1, k.y0},
                   {k.x0, k.y1 - 1},
                   {k.x1 - 1, k.y1 - 1},
                   {k.x0 + 1, k.y0 + 1}})
        EXPECT_EQ(headless_pixel(p.first, p.second), WHITE) << what << " frame at " << p.first << "," << p.second;
    EXPECT_EQ(headless_pixel(k.x0 + 2, k.y1 - 3), face) << what;
    const Box inside{k.x0 + 2, k.y0 + 2, k.x1 - 2, k.y1 - 2};
    EXPECT_GT(2 * count_pixels(inside, face), (inside.x1 - inside.x0) * (inside.y1 - inside.y0)) << what;
}

TEST(Keyboard, KeyCellsFacesAndShiftedHighlight)
{
    start_game(800, 600, "[set]\ntypemode=2\n"); // no key lit by the drill
    run_until_idle();
    const struct {
        Box key;
        uint32_t face;
        const char* name;
    } keys[] = {
        {KEY_1, 0x0000FF, "1"},     {KEY_A, 0x0000FF, "A"},           {KEY_SLASH, 0x8080C0, "/"},
        {SPACE_BAR, 0x0000FF, " "}, {LEFT_SHIFT, 0x0000FF, "lShift"}, {RIGHT_SHIFT, 0x0000FF, "rShift"},
        {YEN_KEY, 0x0000C0, "yen"},
    };
    for (const auto& k : keys)
        expect_key(k.key, k.face, k.name);
    EXPECT_EQ(headless_pixel(55, 420), 0u); // left of the digit row

    const struct {
        char ch;
        bool light;
        Box base;
        uint32_t face;
    } steps[] = {
        {'?', true, KEY_SLASH, PINK},
        {'?', false, KEY_SLASH, 0x0080C0}, // the colour of "?", not of "/"
        {'!', true, KEY_1, PINK},
        {'!', false, KEY_1, 0x0000FF},
    };
    for (const auto& s : steps) {
        s.light ? light_key(s.ch, COLOR_PINK) : restore_key(s.ch);
        const std::string what = std::string(s.light ? "lit " : "restored ") + s.ch;
        for (Box k : {LEFT_SHIFT, RIGHT_SHIFT, s.base})
            expect_key(k, s.face, what.c_str());
    }
    EXPECT_EQ(headless_box_log().size(), 1u); // only the start box: each of them has a key
}

// The cell of byte i in typing mode 1, size 2, no note band: 30 px cells over
// an area 770 wide and 600 - 30 - 200 - 15 - 20 = 335 high below the bar.
static Box cell_of(int i)
{
    int x = char_pos[i].x * 770 / 1000, y = char_pos[i].y * 335 / 1000 + 15;
    return {x, y, x + 30, y + 30};
}

constexpr Box PRACTICE_AREA{0, 15, 800, 380}; // between the bar and the typed line

TEST(PracticeScreen, CurrentInGreenLookAheadDarkerTypedBlackedOut)
{
    start_game(800, 600); // look-ahead 2: byte 0 in green, byte 1 darker
    run_until_idle();
    const Box glyph{cell_of(0).x0, cell_of(0).y0, cell_of(0).x1 - 1, cell_of(0).y1}; // char_size - 1 wide
    EXPECT_GT(count_pixels(glyph, GREEN), 0);
    EXPECT_EQ(count_pixels(glyph, 0, 0xFF00FF), 0); // nothing but black and green
    EXPECT_GT(count_pixels(cell_of(1), 0x999900), 0);
    EXPECT_EQ(count_pixels(cell_of(1), 0, 0xFF0000), count_pixels(PRACTICE_AREA, 0, 0xFF0000));

    lookahead = 1;
    clear_screen();
    full_redraw();
    EXPECT_EQ(count_pixels(PRACTICE_AREA, 0, 0xFF0000), 0);
    EXPECT_GT(count_pixels(glyph, GREEN), 0);

    type_and_run(rest_of_line().substr(0, 1).c_str());
    const Box typed = cell_of(0), now = cell_of(1);
    for (int y = typed.y0; y < typed.y1; y++)
        for (int x = typed.x0; x < typed.x1; x++)
            if (!now.has(x, y)) {
                ASSERT_EQ(headless_pixel(x, y), 0u) << x << "," << y;
            }
    EXPECT_GT(count_pixels(now, GREEN), 0);
}

TEST(PracticeScreen, TypedLineIsRightAlignedBeyondFortyCharacters)
{
    start_game(800, 600);
    run_until_idle();
    // 'W' at bytes 0 and 40, spaces between. Every cell is typed_cell - 1 =
    // 19 px wide, so 40 bytes from x = 0 end at 760, and 41 bytes from x = -20
    // put byte 40 at 740 to 759.
    static std::string line = "W" + std::string(39, ' ') + "WW";
    line_table[line_index] = &line[0];
    const Box first_cell{0, 380, 18, 400}, last_cell{742, 380, 758, 400};
    const struct {
        int typed;
        bool first, last;
    } cases[] = {{40, true, false}, {41, false, true}};
    for (const auto& c : cases) {
        char_index = c.typed;
        clear_screen();
        draw_typed_line();
        EXPECT_EQ(count_pixels(first_cell, GREEN) > 0, c.first) << c.typed << " typed";
        EXPECT_EQ(count_pixels(last_cell, GREEN) > 0, c.last) << c.typed << " typed";
    }
}
