// count_screen_test.cpp -- the counting game's screen in the drill: the answer
// hidden among the letters, a new scatter for every accepted key, the same one
// after a wrong key or a resize, a space as a frame, nothing once the line is
// complete.
#include "display/count_screen.h"
#include "test_support.h"

#include "placement/placement.h"
#include "shell/main_window.h"

// The top-left pixel of shown letter n at the geometry of the moment.
static void cell_at(int n, int* x, int* y)
{
    grid_to_pixels(count_pos[n], x, y);
    *y += bar_h();
}

// Whether every shown letter has green pixels in its cell.
static bool every_letter_on_screen()
{
    for (int n = 0; n < COUNT_SHOWN; n++) {
        int x, y;
        cell_at(n, &x, &y);
        if (count_colour(x, y, x + char_size, y + char_size, 0x00FF00) == 0)
            return false;
    }
    return true;
}

static int green_on_screen() { return count_colour(0, 0, client_w, client_h, 0x00FF00); }

// Starts the game as the counting commands do, and answers the start message.
static void start_counting(int kind)
{
    play_game();
    typing_mode = size_flag = 3;
    char_size = client_h / 10;
    lookahead = 1;
    game_kind = kind;
    restart_practice();
    run_until_idle();
}

// The letter the scatter counts, folded to the case of the line.
static char answer_shown()
{
    auto n = scatter_tally();
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
            ASSERT_TRUE(every_letter_on_screen());
            const std::string before = scatter_places();
            type_char(expected_char == 'B' ? 'C' : 'B');
            const int after_wrong = typed_count, same = scatter_places() == before;
            type_char(expected_char);
            EXPECT_EQ((Ints{after_wrong, same, typed_count, scatter_places() == before}),
                      (Ints{step + 1, 1, step + 2, 0}));
        }
    }
    // A resize repaints the same scatter at the new size.
    const std::string before = scatter();
    const int old_size = char_size;
    headless_resize(1000, 700);
    run_until_idle();
    EXPECT_NE(char_size, old_size);
    EXPECT_EQ(scatter(), before);
    EXPECT_TRUE(every_letter_on_screen());
}

TEST(CountGame, SpaceIsAGreenFrameAndNoLetterShowsOutsideALine)
{
    start_counting(1);
    std::memset(count_shown, ' ', sizeof count_shown);
    repainting = 1;
    draw_count_screen();
    repainting = 0;
    int x, y; // letter 0 is drawn last, over any other
    cell_at(0, &x, &y);
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
    EXPECT_EQ(green_on_screen(), 0);

    // Under the start box of a restart no line has been chosen: a repaint
    // there shows no letters, neither the old scatter nor a new one.
    int green = -1;
    WaitScript script({[] { InvalidateRect(main_window, nullptr, TRUE); },
                       [&] {
                           green = green_on_screen();
                           headless_key(VK_RETURN);
                       }});
    restart_practice();
    EXPECT_EQ((Ints{(int)script.waits(), green, green_on_screen() > 0}), (Ints{2, 0, 1})); // then the new scatter
}
