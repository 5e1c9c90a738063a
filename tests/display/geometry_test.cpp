// geometry_test.cpp -- the progress bar, checked on the pixels of an 800 x 600 client area.
#include "test_support.h"

constexpr uint32_t WHITE = 0xFFFFFF, GREEN = 0x00FF00, RED = 0xFF0000;

TEST(ProgressBar, WhiteFrameGreenDonePartRedRest)
{
    play_game();
    line_length = 30;
    const struct {
        int index, green, red;
    } cases[] = {{0, 0, 796}, {7, 186, 610}, {29, 773, 23}, {30, 798, 0}}; // a full bar covers the right frame
    for (const auto& c : cases) {
        char_index = c.index;
        draw_progress_bar();
        EXPECT_EQ(count_colour(0, 7, 800, 8, GREEN), c.green) << "char_index " << c.index;
        EXPECT_EQ(count_colour(0, 2, 800, 13, RED), 11 * c.red) << "char_index " << c.index;
        EXPECT_EQ(count_colour(0, 0, 800, 2, WHITE) + count_colour(0, 13, 800, 15, WHITE), 3200);
        EXPECT_EQ(count_colour(0, 2, 2, 13, WHITE), 22);
    }
}
