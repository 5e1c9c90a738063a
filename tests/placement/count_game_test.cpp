// count_game_test.cpp -- the counting game's scatters: the letter to type is
// the single most (or least) frequent, letter case follows it, and the letters
// do not overlap.
#include "placement/count_game.h"
#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

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
