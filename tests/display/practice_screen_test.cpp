// practice_screen_test.cpp -- the practice characters, the look-ahead and the typed line,
// checked on the pixels of an 800 x 600 client area.
#include "display/practice_screen.h"

#include "display/keyboard.h"
#include "placement/placement.h"
#include "shell/main_window.h"
#include "test_support.h"

constexpr uint32_t WHITE = 0xFFFFFF, GREEN = 0x00FF00;

// Pixels in b of exactly colour c, or with any bit of mask set.
static int count_pixels(const IRect& b, uint32_t c) { return count_colour(b.x0, b.y0, b.x1, b.y1, c); }
static int count_masked(const IRect& b, uint32_t mask)
{
    int n = 0;
    for (int y = b.y0; y < b.y1; y++)
        for (int x = b.x0; x < b.x1; x++)
            n += (headless_pixel(x, y) & mask) != 0;
    return n;
}

// The cell of byte i in typing mode 1, size 2, no note band: 30 px cells over
// an area 770 wide and 600 - 30 - 200 - 15 - 20 = 335 high below the bar.
static IRect cell_of(int i)
{
    int x = char_pos[i].x * 770 / 1000, y = char_pos[i].y * 335 / 1000 + 15;
    return {x, y, x + 30, y + 30};
}

constexpr IRect PRACTICE_AREA{0, 15, 800, 380}; // between the bar and the typed line

TEST(PracticeScreen, CurrentInGreenLookAheadDarkerTypedBlackedOut)
{
    play_game(); // look-ahead 2: byte 0 in green, byte 1 darker
    const IRect glyph{cell_of(0).x0, cell_of(0).y0, cell_of(0).x1 - 1, cell_of(0).y1}; // char_size - 1 wide
    // Green with nothing but black beside it; the look-ahead, and red nowhere else.
    EXPECT_EQ((Ints{count_pixels(glyph, GREEN) > 0, count_masked(glyph, 0xFF00FF),
                    count_pixels(cell_of(1), 0x999900) > 0}),
              (Ints{1, 0, 1}));
    EXPECT_EQ(count_masked(cell_of(1), 0xFF0000), count_masked(PRACTICE_AREA, 0xFF0000));
    lookahead = 1;
    clear_screen();
    full_redraw();
    EXPECT_EQ((Ints{count_masked(PRACTICE_AREA, 0xFF0000), count_pixels(glyph, GREEN) > 0}), (Ints{0, 1}));

    type_and_run(rest_of_line().substr(0, 1).c_str());
    const IRect typed = cell_of(0), now = cell_of(1), both = rect_intersect(typed, now);
    EXPECT_EQ(count_pixels(typed, 0) - count_pixels(both, 0), typed.area() - both.area()) << "typed, not blacked out";
    EXPECT_GT(count_pixels(now, GREEN), 0);
}

TEST(PracticeScreen, TypedLineIsRightAlignedBeyondFortyCharacters)
{
    play_game();
    // 'W' at bytes 0 and 40, spaces between. Every cell is typed_cell - 1 =
    // 19 px wide, so 40 bytes from x = 0 end at 760, and 41 bytes from x = -20
    // put byte 40 at 740 to 759.
    static std::string line = "W" + std::string(39, ' ') + "WW";
    line_table[line_index] = &line[0];
    const IRect first_cell{0, 380, 18, 400}, last_cell{742, 380, 758, 400};
    const struct {
        int typed;
        bool first, last;
    } cases[] = {{40, true, false}, {41, false, true}};
    for (const auto& c : cases) {
        char_index = c.typed;
        clear_screen();
        draw_typed_line();
        EXPECT_EQ((Ints{count_pixels(first_cell, GREEN) > 0, count_pixels(last_cell, GREEN) > 0}),
                  (Ints{c.first, c.last}))
            << c.typed << " typed";
    }
}

// Look-ahead 3 and 5 on a line with a space: the current byte in green, each
// byte after it a shade darker, a space as a hollow square, nothing past the
// end of the line. Cells are set apart on one row so none covers another.
TEST(PracticeScreen, LookAheadShadesEachByteAndStopsAtTheEndOfTheLine)
{
    play_game("[set]\ntypemode=3\n");
    static char line[12] = "AB CDEFG";
    line_table[line_index] = line;
    for (int i = 0; i < 10; i++)
        char_pos[i] = {i * 100, 500};
    const struct {
        int ahead, k;
        int colour_of[10]; // -1 nothing, 0 green, j look-ahead shade j
    } cases[] = {
        {5, 0, {0, 1, 2, 3, 4, -1, -1, -1, -1, -1}},
        {3, 0, {0, 1, 2, -1, -1, -1, -1, -1, -1, -1}},
        {5, 5, {-1, -1, -1, -1, -1, 0, 1, 2, -1, -1}},
    };
    for (const auto& c : cases) {
        lookahead = c.ahead;
        char_index = c.k;
        clear_screen();
        draw_practice_screen();
        for (int i = 0; i < 10; i++) {
            int x, y;
            practice_cell(i, &x, &y);
            const uint32_t want = c.colour_of[i] < 0    ? 0
                                  : c.colour_of[i] == 0 ? GREEN
                                                        : rgb(LOOKAHEAD_COLORS[c.colour_of[i] - 1]);
            const int lit = char_size * char_size - count_colour(x, y, x + char_size, y + char_size, 0);
            EXPECT_EQ(lit > 0, want != 0) << "look-ahead " << c.ahead << " at " << c.k << ", cell " << i;
            EXPECT_TRUE(!want || count_colour(x, y, x + char_size, y + char_size, want) > 0) << "cell " << i;
            if (line[i] == ' ' && want) { // a frame round a black inside
                EXPECT_EQ(headless_pixel(x, y), want);
                EXPECT_EQ(headless_pixel(x + char_size - 1, y + char_size - 1), want);
                EXPECT_EQ(headless_pixel(x + char_size / 2, y + char_size / 2), 0u);
            }
        }
    }
}

// Typing mode 3 at every size the settings file can give: no keyboard, and
// the characters' area reaches down to the typed line.
TEST(PracticeScreen, ModeThreeAtEverySizeUsesTheWholeHeight)
{
    start_game(800, 600);
    for (int size = 1; size <= SIZE_COUNT; size++) {
        const int h = 600 + 40 * size; // a new height: the layout is made afresh
        write_file(settings_file(), "[set]\ntypemode=3\nsizeflag=" + std::to_string(size) + "\n");
        read_settings();
        headless_resize(800, h + GetSystemMetrics(SM_CYMENU));
        run_until_idle();
        ASSERT_EQ(client_h, h);
        EXPECT_EQ(char_size, h / CHAR_SIZE_DIVISORS[size - 1]) << size;
        EXPECT_EQ(count_colour(0, bar_h(), 800, h, WHITE), 0) << "a keyboard at size " << size;
        int x, y;
        practice_cell(0, &x, &y);
        EXPECT_GT(count_colour(x, y, x + char_size, y + char_size, GREEN), 0) << size;
        char_pos[0] = {grid_cols - 1, grid_rows - 1};
        practice_cell(0, &x, &y);
        EXPECT_TRUE(x + char_size <= 800 && y + char_size <= h - typed_cell() && y + char_size > h - typed_cell() - 5)
            << size << ": the last cell at " << x << "," << y;
    }
}
