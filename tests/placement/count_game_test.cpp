// count_game_test.cpp -- the counting game's scatters: the letter to type is
// the single most (or least) frequent, letter case follows it, the letters do
// not overlap, and the game's screen is drawn and redrawn in the drill.
#include "display/count_screen.h"
#include "placement/count_game.h"
#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "shell/main_window.h"
#include "placement/placement.h"
#include "text/random_lines.h"

// How often each byte is shown in the current scatter.
static std::map<char, int> tally()
{
    std::map<char, int> n;
    for (char c : count_shown)
        n[c]++;
    return n;
}

// The group letters were drawn distinct (their 4,096-draw limit never ran out).
static bool group_letters_distinct()
{
    std::set<char> s(group_letter, group_letter + 25);
    return s.size() == 25;
}

// Expected bytes to hide: capitals, 'Z' (never a group letter otherwise), a
// small letter, a digit, a space and a Shift-JIS lead byte.
constexpr char HIDDEN[] = {'A', 'K', 'Y', 'Z', 'q', '5', ' ', (char)0x82};

// Letters shown take the case of an expected letter; 'Z' is only ever the
// expected letter's own group.
static void expect_case_follows(char e, int round)
{
    for (auto [c, k] : tally()) {
        if (e >= 'a' && e <= 'z') {
            ASSERT_TRUE(c >= 'a' && c <= 'z') << "round " << round << ": '" << c << "'";
        } else if (e >= 'A' && e <= 'Z') {
            ASSERT_TRUE((c >= 'A' && c <= 'Y') || c == e) << "round " << round << ": '" << c << "'";
        }
    }
    if (e == 'Z') {
        EXPECT_EQ(group_letter[0], 'Z');
        EXPECT_EQ(std::count(group_letter + 1, group_letter + 25, 'Z'), 0);
    }
}

TEST(CountMost, ExpectedLetterIsTheSingleMostFrequentShownInItsCase)
{
    build_case_tables();
    game_kind = 1;
    srand(17);
    std::set<int> answer_counts;
    for (int round = 0; round < 3000; round++) {
        const char e = HIDDEN[round % sizeof HIDDEN];
        build_count_letters(e);
        expect_case_follows(e, round);
        if (!group_letters_distinct())
            continue;
        auto n = tally();
        answer_counts.insert(n[e]);
        for (auto [c, k] : n) {
            if (c != e) {
                ASSERT_LT(k, n[e]) << "round " << round << ": '" << c << "' shown as often as the answer";
            }
        }
    }
    // Every answer count from 2 to 25 came up, the extremes included.
    EXPECT_EQ(answer_counts.size(), 24u);
    EXPECT_EQ(*answer_counts.begin(), 2);
    EXPECT_EQ(*answer_counts.rbegin(), 25);
}

TEST(CountFewest, ExpectedLetterIsShownOnceInItsCaseAndEveryOtherAtLeastTwice)
{
    build_case_tables();
    game_kind = 2;
    srand(23);
    int fallbacks = 0;
    for (int round = 0; round < 3000; round++) {
        const char e = HIDDEN[round % sizeof HIDDEN];
        build_count_letters(e);
        expect_case_follows(e, round);
        const unsigned char* seq = group_seq[1];
        // A sequence that ran out of attempts may cut its last group short.
        if (!(seq[22] == seq[23] && seq[23] == seq[24] && seq[24] == seq[25])) {
            fallbacks++;
            continue;
        }
        if (!group_letters_distinct())
            continue;
        auto n = tally();
        ASSERT_EQ(n[e], 1) << "round " << round;
        for (auto [c, k] : n) {
            if (c != e) {
                ASSERT_GE(k, 2) << "round " << round << ": '" << c << "'";
            }
        }
        EXPECT_GE(n[count_shown[25]], 4) << "round " << round << ": the last shown group";
    }
    EXPECT_EQ(fallbacks, 0);
}

TEST(CountPlace, EveryLetterClearsAllTheEarlierOnes)
{
    build_case_tables();
    set_layout(1920, 1080, 54, 72, 3, lookahead); // no keyboard: an area of 1866 x 999
    game_kind = 1;
    srand(31);
    EXPECT_EQ(place_count_letters('A', 0, grid_cols, grid_rows), 0);
    for (int round = 0; round < 200; round++) {
        place_count_letters('A', COUNT_SHOWN, grid_cols, grid_rows);
        for (int i = 0; i < COUNT_SHOWN; i++) {
            ASSERT_TRUE(count_pos[i].x >= 0 && count_pos[i].x < grid_cols && count_pos[i].y >= 0 &&
                        count_pos[i].y < grid_rows);
            int x, y;
            grid_to_pixels(count_pos[i], &x, &y);
            for (int j = 0; j < i; j++) {
                int ex, ey;
                grid_to_pixels(count_pos[j], &ex, &ey);
                ASSERT_FALSE(abs(x - ex) <= char_size && abs(y - ey) <= char_size)
                    << "round " << round << ": letters " << j << " and " << i;
            }
        }
    }
}

// Green pixels in the cell of shown letter n at the geometry of the moment.
static int green_in_cell(int n)
{
    int x, y;
    grid_to_pixels(count_pos[n], &x, &y);
    y += bar_h();
    return count_colour(x, y, x + char_size, y + char_size, 0x00FF00);
}

// Starts the game as the counting commands do, and answers the start message.
static void start_counting(int kind)
{
    play_game();
    typing_mode = 3;
    size_flag = 3;
    char_size = client_h / 10;
    lookahead = 1;
    game_kind = kind;
    restart_practice();
    run_until_idle();
}

// The letter the scatter counts, folded to the case of the line.
static char answer_shown()
{
    auto n = tally();
    char best = 0;
    for (auto [c, k] : n)
        if (best == 0 || (game_kind == 1 ? k > n[best] : k < n[best]))
            best = c;
    return best;
}

TEST(CountGame, RightLetterAdvancesWrongOneChangesNothingAndAResizeKeepsTheScatter)
{
    for (int kind = 1; kind <= 2; kind++) {
        start_counting(kind);
        ASSERT_EQ(typed_count, 1);
        for (int step = 0; step < 5; step++) {
            ASSERT_EQ(answer_shown(), expected_char) << "kind " << kind << ", step " << step;
            for (int n = 0; n < COUNT_SHOWN; n++)
                ASSERT_GT(green_in_cell(n), 0) << "letter " << n << " is not on screen";
            PlacePos before[COUNT_SHOWN];
            std::memcpy(before, count_pos, sizeof before);
            type_char(expected_char == 'B' ? 'C' : 'B');
            EXPECT_EQ(typed_count, step + 1);
            EXPECT_EQ(std::memcmp(before, count_pos, sizeof before), 0);
            type_char(expected_char);
            EXPECT_EQ(typed_count, step + 2);
            EXPECT_NE(std::memcmp(before, count_pos, sizeof before), 0);
        }
    }
    // A resize repaints the same scatter at the new size.
    char shown[COUNT_SHOWN];
    PlacePos places[COUNT_SHOWN];
    std::memcpy(shown, count_shown, sizeof shown);
    std::memcpy(places, count_pos, sizeof places);
    const int old_size = char_size;
    headless_resize(1000, 700);
    run_until_idle();
    EXPECT_NE(char_size, old_size);
    EXPECT_EQ(std::memcmp(shown, count_shown, sizeof shown), 0);
    EXPECT_EQ(std::memcmp(places, count_pos, sizeof places), 0);
    for (int n = 0; n < COUNT_SHOWN; n++)
        EXPECT_GT(green_in_cell(n), 0) << "letter " << n;
}

TEST(CountGame, SpaceIsAGreenFrameAndACompleteLineShowsNothing)
{
    start_counting(1);
    std::memset(count_shown, ' ', sizeof count_shown);
    repainting = 1;
    draw_count_screen();
    repainting = 0;
    int x, y; // letter 0 is drawn last, over any other
    grid_to_pixels(count_pos[0], &x, &y);
    y += bar_h();
    EXPECT_EQ(headless_pixel(x, y), 0x00FF00u);
    EXPECT_EQ(headless_pixel(x + char_size - 1, y + char_size - 1), 0x00FF00u);
    EXPECT_EQ(headless_pixel(x + char_size / 2, y + char_size / 2), 0x000000u);

    // Once the last character of the line is typed there is nothing left to
    // hide: the screen stays black until the result, also on a repaint.
    char_index = line_length;
    draw_count_screen();
    repainting = 1;
    char_index = line_length + 1;
    draw_count_screen();
    repainting = 0;
    EXPECT_EQ(count_colour(0, 0, client_w, client_h, 0x00FF00), 0);
}
