// count_game.cpp -- building and placing a counting-game scatter.
//
// Group sizes decide the answer: in "most" the letter to type gets more
// entries than any other group, in "fewest" exactly one while every other
// shown group has two or more. Letters are then given to the groups and the 26
// shown entries are placed on the practice grid without overlapping.
#include "placement/count_game.h"

#include "display/geometry.h"
#include "display/view.h"
#include "text/random_lines.h"

#include <cstdlib>

// "Most": the letter to type takes MOST_ANSWER_MIN .. MOST_ANSWER_MAX entries,
// each of MOST_OTHER_GROUPS further groups fewer than that.
constexpr int MOST_ANSWER_MIN = 2;
constexpr int MOST_ANSWER_MAX = 25;
constexpr int MOST_OTHER_GROUPS = 25;
// "Fewest": the letter to type takes one entry, each of FEWEST_OTHER_GROUPS
// further groups FEWEST_GROUP_MIN .. FEWEST_GROUP_MAX, and the group cut off
// at the end of the shown entries shows at least LAST_GROUP_SHOWN_MIN.
constexpr int FEWEST_OTHER_GROUPS = 24;
constexpr int FEWEST_GROUP_MIN = 2;
constexpr int FEWEST_GROUP_MAX = 25;
constexpr int LAST_GROUP_SHOWN_MIN = 4;
// Group letters: the letter to type, then 24 more drawn from 'A' .. 'Y'.
constexpr int GROUP_LETTERS = 25;
constexpr int LETTERS_DRAWN = 25; // 'A' + 0 .. 24: 'Z' is never drawn
static_assert(GROUP_LETTERS <= GROUP_LETTER_SIZE, "every group letter has room");

// A whole number from lo to hi, both included.
static int draw_between(int lo, int hi) { return rand() % (hi - lo + 1) + lo; }

unsigned char group_seq[2][GROUP_SEQ_SIZE];
char group_letter[GROUP_LETTER_SIZE];
char count_shown[COUNT_SHOWN];
PlacePos count_pos[COUNT_POS_SIZE];

// Appends k entries of group g at *n; entries past the end are dropped.
static void append_group(unsigned char* seq, int* n, int g, int k)
{
    for (int i = 0; i < k && *n < GROUP_SEQ_SIZE; i++)
        seq[(*n)++] = (unsigned char)g;
}

void make_groups_most()
{
    unsigned char* seq = group_seq[SEQ_MOST];
    const int answer = draw_between(MOST_ANSWER_MIN, MOST_ANSWER_MAX);
    int n = 0;
    append_group(seq, &n, 0, answer);
    for (int g = 1; g <= MOST_OTHER_GROUPS; g++)
        append_group(seq, &n, g, draw_between(1, answer - 1));
}

// The group cut off by the end of the shown entries shows at least
// LAST_GROUP_SHOWN_MIN: the last that many shown entries belong to one group.
static bool last_shown_group_whole_enough(const unsigned char* seq)
{
    for (int i = COUNT_SHOWN - LAST_GROUP_SHOWN_MIN + 1; i < COUNT_SHOWN; i++)
        if (seq[i] != seq[i - 1])
            return false;
    return true;
}

void make_groups_fewest()
{
    unsigned char* seq = group_seq[SEQ_FEWEST];
    seq[0] = 0;
    for (int attempt = 0; attempt < FEWEST_ATTEMPTS; attempt++) {
        int n = 1;
        for (int g = 1; g <= FEWEST_OTHER_GROUPS; g++)
            append_group(seq, &n, g, draw_between(FEWEST_GROUP_MIN, FEWEST_GROUP_MAX));
        if (last_shown_group_whole_enough(seq))
            return;
    }
    // Out of attempts: the last sequence stands.
}

void pick_group_letters(char first)
{
    group_letter[0] = first;
    for (int i = 1; i < GROUP_LETTERS; i++) {
        char c = 0;
        for (int draw = 0; draw < GROUP_LETTER_DRAWS; draw++) {
            c = (char)('A' + rand() % LETTERS_DRAWN);
            bool repeats = false;
            for (int j = 0; j < i && !repeats; j++)
                repeats = (signed char)group_letter[j] == (signed char)c;
            if (!repeats)
                break;
        }
        group_letter[i] = c;
    }
}

void build_count_letters(char e)
{
    const bool fewest = game_kind == GAME_COUNT_FEWEST;
    if (fewest)
        make_groups_fewest();
    else
        make_groups_most();
    const unsigned char* seq = group_seq[fewest ? SEQ_FEWEST : SEQ_MOST];
    const bool lower = (signed char)e >= 'a' && (signed char)e <= 'z';
    pick_group_letters(lower ? (char)upper_table[(unsigned char)e] : e);
    for (int i = 0; i < COUNT_SHOWN; i++) {
        char letter = group_letter[seq[i] < GROUP_LETTER_SIZE ? seq[i] : 0];
        count_shown[i] = lower ? (char)lower_table[(unsigned char)letter] : letter;
    }
}

static void draw_place(PlacePos* p, int cols, int rows)
{
    p->x = rand() % cols; // x is drawn before y
    p->y = rand() % rows;
}

int place_count_letters(char e, int count, int cols, int rows)
{
    if (count <= 0 || cols <= 0 || rows <= 0)
        return 0;
    if (count > COUNT_POS_SIZE)
        count = COUNT_POS_SIZE;
    build_count_letters(e);
    draw_place(&count_pos[0], cols, rows);
    for (int i = 1; i < count; i++) {
        for (int t = 0; t < COUNT_PLACE_TRIES; t++) {
            draw_place(&count_pos[i], cols, rows);
            int x, y, clear = 1;
            grid_to_pixels(count_pos[i], &x, &y);
            for (int j = 0; j < i && clear; j++) {
                int ex, ey;
                grid_to_pixels(count_pos[j], &ex, &ey);
                clear = !squares_overlap(x, y, char_size, char_size, ex, ey, char_size, char_size);
            }
            if (clear)
                break;
        }
    }
    return 1;
}
