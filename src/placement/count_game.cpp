// count_game.cpp -- building, placing and drawing a counting-game scatter.
//
// Group sizes decide the answer: in "most" the letter to type gets more
// entries than any other group, in "fewest" exactly one while every other
// shown group has two or more. Letters are then given to the groups and the 26
// shown entries are placed on the practice grid without overlapping.
#include "placement/count_game.h"

#include <cstdlib>

#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "shell/main_window.h"
#include "shell/windows.h"
#include "text/random_lines.h"
#include "text/store.h"

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
    unsigned char* seq = group_seq[0];
    const int answer = rand() % 24 + 2;
    int n = 0;
    append_group(seq, &n, 0, answer);
    for (int g = 1; g <= 25; g++)
        append_group(seq, &n, g, rand() % (answer - 1) + 1);
}

// The group cut off by the end of the shown entries shows at least four:
// entries 22 .. 25 belong to one group.
static bool last_shown_group_whole_enough(const unsigned char* seq)
{
    return seq[22] == seq[23] && seq[23] == seq[24] && seq[24] == seq[25];
}

void make_groups_fewest()
{
    unsigned char* seq = group_seq[1];
    seq[0] = 0;
    for (int attempt = 0; attempt < FEWEST_ATTEMPTS; attempt++) {
        int n = 1;
        for (int g = 1; g <= 24; g++)
            append_group(seq, &n, g, rand() % 24 + 2);
        if (last_shown_group_whole_enough(seq))
            return;
    }
    // Out of attempts: the last sequence stands.
}

void pick_group_letters(char first)
{
    group_letter[0] = first;
    for (int i = 1; i <= 24; i++) {
        char c = 0;
        for (int draw = 0; draw < GROUP_LETTER_DRAWS; draw++) {
            c = (char)('A' + rand() % 25); // 'Z' is never drawn
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
    const unsigned char* seq = group_seq[fewest ? 1 : 0];
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

// The index in the line of the character the scatter stands for: the one now
// expected, or during a repaint the one whose scatter is on screen. -1 when
// the line has none left (it is complete, its result not yet shown).
static int scatter_index()
{
    const int k = repainting == 1 ? char_index - 1 : char_index;
    return k >= 0 && k < line_length ? k : -1;
}

void draw_count_screen()
{
    clear_screen();
    const int k = scatter_index();
    if (k < 0)
        return;
    if (repainting != 1)
        place_count_letters(line_table[line_index][k], COUNT_SHOWN, grid_cols, grid_rows);
    HDC dc = GetDC(main_window);
    for (int n = COUNT_SHOWN - 1; n >= 0; n--) {
        int x, y;
        grid_to_pixels(count_pos[n], &x, &y);
        y += bar_h();
        if (count_shown[n] == ' ') {
            draw_box(dc, x, y, char_size, char_size, COLOR_GREEN, COLOR_BLACK);
            continue;
        }
        const char one[2] = {count_shown[n], 0};
        draw_text_fit(dc, x, y, (unsigned)char_size, char_size, one, COLOR_GREEN, COLOR_BLACK);
    }
    ReleaseDC(main_window, dc);
}
