// count_game_test.cpp -- the counting game's scatters: the letter to type is
// the single most (or least) frequent, letter case follows it, and the letters
// do not overlap.
#include "placement/count_game.h"
#include "test_support.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "placement/placement.h"
#include "text/random_lines.h"

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
    const bool lower = e >= 'a' && e <= 'z', upper = e >= 'A' && e <= 'Z';
    for (auto [c, k] : scatter_tally())
        ASSERT_TRUE(lower ? c >= 'a' && c <= 'z' : !upper || (c >= 'A' && c <= 'Y') || c == e)
            << "round " << round << ": '" << c << "' shown for '" << e << "'";
    EXPECT_TRUE(e != 'Z' || (group_letter[0] == 'Z' && std::count(group_letter + 1, group_letter + 25, 'Z') == 0));
}

// Most: the expected letter is the single most frequent, and every answer
// count from 2 to 25 comes up, the extremes included. Fewest: it is shown
// once and every other letter at least twice, the last shown group four
// times or more, and no sequence runs out of attempts.
TEST(CountGames, ExpectedLetterIsTheSingleMostOrFewestFrequentShownInItsCase)
{
    build_case_tables();
    for (int kind = 1; kind <= 2; kind++) {
        game_kind = kind;
        srand(kind == 1 ? 17 : 23);
        std::set<int> answer_counts;
        int fallbacks = 0;
        for (int round = 0; round < 3000; round++) {
            const char e = HIDDEN[round % sizeof HIDDEN];
            build_count_letters(e);
            expect_case_follows(e, round);
            const unsigned char* seq = group_seq[SEQ_FEWEST];
            // A sequence that ran out of attempts may cut its last group short.
            if (kind == 2 && !(seq[22] == seq[23] && seq[23] == seq[24] && seq[24] == seq[25])) {
                fallbacks++;
                continue;
            }
            if (!group_letters_distinct())
                continue;
            auto n = scatter_tally();
            answer_counts.insert(n[e]);
            for (auto [c, k] : n)
                ASSERT_TRUE(c == e || (kind == 1 ? k < n[e] : k >= 2))
                    << "kind " << kind << ", round " << round << ": '" << c << "' shown " << k << " times";
            if (kind == 2) {
                ASSERT_EQ(n[e], 1) << "round " << round;
                EXPECT_GE(n[count_shown[25]], 4) << "round " << round << ": the last shown group";
            }
        }
        if (kind == 1) {
            EXPECT_EQ((Ints{(int)answer_counts.size(), *answer_counts.begin(), *answer_counts.rbegin()}),
                      (Ints{24, 2, 25}));
        }
        EXPECT_EQ(fallbacks, 0);
    }
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
