// placement_test.cpp -- overlap rule, placement area, place_char and reposition_line.
#include "placement/placement.h"
#include "test_support.h"

#include <cstdlib>
#include <utility>

#include "text/random_lines.h"

static std::pair<int, int> xy(PlacePos p) { return {p.x, p.y}; }

// Mode 3 with a 1000 x 1000 pixel area (bar 25, so 1035 - 10 - 25 high):
// grid places are pixel offsets.
static void set_square_screen(int ahead) { set_layout(1010, 1035, 10, 69, 3, ahead); }
// A cell larger than the client area: any two places on the grid overlap.
static void set_cramped_screen(int ahead) { set_layout(100, 100, 200, 6, 3, ahead); }

// Off the grid, far from every place the cramped screen can draw.
constexpr PlacePos FAR_AWAY = {100000, 100000};

TEST(SquaresOverlap, TouchingCountsAndOnePixelApartPasses)
{
    constexpr int side = 10;
    for (int dx = -side - 2; dx <= side + 2; dx++)
        for (int dy = -side - 2; dy <= side + 2; dy++) {
            const int expected = abs(dx) <= side && abs(dy) <= side;
            EXPECT_EQ(squares_overlap(100, 100, side, side, 100 + dx, 100 + dy, side, side), expected)
                << "dx " << dx << " dy " << dy;
        }
}

TEST(PlacementArea, KeyboardModesLeaveOutTheKeyboardBandAndTheLastCellStaysInside)
{
    set_layout(800, 600, 30, 40, 1, lookahead); // bar 15
    const struct {
        int mode, w, h;
    } cases[] = {{1, 770, 600 - 30 - 200 - 15}, {2, 770, 600 - 30 - 200 - 15}, {3, 770, 600 - 30 - 15}};
    for (const auto& c : cases) {
        typing_mode = c.mode;
        int w = 0, h = 0;
        placement_area(&w, &h);
        EXPECT_EQ((Ints{w, h}), (Ints{c.w, c.h})) << "mode " << c.mode;
    }
    const struct {
        int cw, ch, cs, mode;
    } screens[] = {{1366, 768, 38, 3}, {800, 600, 30, 1}, {1001, 700, 1, 2}, {640, 480, 96, 3}};
    for (const auto& c : screens) {
        set_layout(c.cw, c.ch, c.cs, c.ch / 15, c.mode, lookahead);
        int w, h, x, y;
        placement_area(&w, &h);
        grid_to_pixels({grid_cols - 1, grid_rows - 1}, &x, &y);
        EXPECT_TRUE(x < w && x + char_size < client_w && y < h) << c.cw << " x " << c.ch << ": " << x << "," << y;
    }
}

TEST(PlaceChar, ComparesOnlyTheLookaheadWindowAndIgnoresWhatIsOutOfRange)
{
    const struct {
        int ahead, k, overlapping, expected;
    } cases[] = {
        {1, 2, 0, 1}, {1, 2, 1, 0},                             // only the place just before counts
        {5, 6, 0, 1}, {5, 6, 1, 0}, {5, 6, 5, 0}, {5, 3, 0, 0}, // the window is cut at the start of the line
        {2, 3, 4, 1},                                           // later places are not looked at
        {5, 0, 0, 1},                                           // the first index has nothing to clear
    };
    for (const auto& c : cases) {
        set_cramped_screen(c.ahead);
        for (int j = 0; j <= c.k + 1; j++)
            char_pos[j] = FAR_AWAY;
        char_pos[c.overlapping] = {500, 500};
        EXPECT_EQ(place_char(c.k, grid_cols, grid_rows), c.expected)
            << "lookahead " << c.ahead << " k " << c.k << " overlapping " << c.overlapping;
    }
    // Indices and grids out of range place nothing.
    set_square_screen(2);
    char_pos[3] = {-7, -7};
    EXPECT_EQ((Ints{place_char(-1, grid_cols, grid_rows), place_char(CHAR_POS_SIZE, grid_cols, grid_rows),
                    place_char(3, 0, grid_rows), place_char(3, grid_cols, -1)}),
              (Ints{0, 0, 0, 0}));
    EXPECT_EQ(xy(char_pos[3]), std::make_pair(-7, -7));
}

// On the square screen a grid place is a pixel offset, so drawing x from
// 0 .. cols - 1 on one row beside a place at 0 leaves 0 .. 10 touching it
// (rejected) and 11 .. clear. Every try rejected: 0, and a place on the grid.
TEST(PlaceChar, KeepsTheFirstCandidateClearOfTheWindowOrGivesUp)
{
    set_square_screen(1);
    bool boundary_seen = false;
    for (unsigned seed = 1; seed <= 200; seed++) {
        srand(seed);
        char_pos[0] = {0, 0};
        ASSERT_EQ(place_char(1, 22, 1), 1) << seed;
        ASSERT_TRUE(char_pos[1].x >= 11 && char_pos[1].x <= 21 && char_pos[1].y == 0) << char_pos[1].x;
        boundary_seen |= char_pos[1].x == 11;
        ASSERT_EQ(place_char(1, 11, 1), 0) << seed;
        ASSERT_TRUE(char_pos[1].x >= 0 && char_pos[1].x <= 10) << char_pos[1].x;
    }
    EXPECT_TRUE(boundary_seen) << "a place one pixel clear was never kept";
}

TEST(RepositionLine, ReplacesOnlyTheFirstRandomLineLenIndicesAndNothingWithoutLines)
{
    set_square_screen(5);
    random_line_len = 30;
    for (int j = 0; j < 100; j++)
        char_pos[j] = {-1, -1};
    line_count = 0;
    reposition_line();
    EXPECT_EQ(xy(char_pos[0]), std::make_pair(-1, -1));
    line_count = 1024;
    srand(3);
    reposition_line();
    for (int j = 0; j < 30; j++) {
        ASSERT_TRUE(char_pos[j].x >= 0 && char_pos[j].x < grid_cols && char_pos[j].y >= 0 && char_pos[j].y < grid_rows)
            << "index " << j;
        for (int i = j - lookahead > 0 ? j - lookahead : 0; i < j; i++)
            EXPECT_TRUE(abs(char_pos[j].x - char_pos[i].x) > char_size ||
                        abs(char_pos[j].y - char_pos[i].y) > char_size)
                << "index " << j << " overlaps " << i;
    }
    for (int j = 30; j < 100; j++)
        EXPECT_EQ(xy(char_pos[j]), std::make_pair(-1, -1)) << "index " << j;
}
