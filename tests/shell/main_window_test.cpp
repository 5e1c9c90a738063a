// main_window_test.cpp -- the main window: layout on a resize, the typing focus
// after activation and clicks, and a repaint under a message box.
#include "test_support.h"

#include "shell/main_window.h"

TEST(MainWindow, ResizeRecomputesLayoutAndRepaints)
{
    start_game(800, 600, "[set]\nsizeflag=9\n");
    const int first = char_size; // an unknown size keeps the start-up cell size
    EXPECT_EQ(first, client_h / 20);
    run_until_idle();
    headless_resize(1001, 1000 + GetSystemMetrics(SM_CYMENU)); // the client area 1001 x 1000
    run_until_idle();
    EXPECT_EQ((Ints{client_w, client_h, half_w, key_w, key_h, char_size}), (Ints{1001, 1000, 500, 66, 66, first}));
    // The bar's red part reaches the new right frame.
    EXPECT_EQ((Ints{(int)headless_pixel(998, 7), (int)headless_pixel(999, 7)}), (Ints{0xFF0000, 0xFFFFFF}));
    size_flag = 0; // an unknown size also keeps the size in use
    char_size = 77;
    layout_recompute();
    EXPECT_EQ(char_size, 77);
}

TEST(MainWindow, TypingReachesTheDrillAfterActivationAndClick)
{
    play_game();
    headless_focus(false);
    run_until_idle();
    ASSERT_EQ(GetFocus(), nullptr);
    headless_focus(true);
    run_until_idle();
    type_and_run(rest_of_line().substr(0, 1).c_str());
    EXPECT_EQ(typed_count, 2);
    SetFocus(nullptr);
    clear_screen();
    headless_click(1, 400, 300);
    run_until_idle();
    EXPECT_EQ(headless_pixel(56, 400), 0xFFFFFFu); // frame of key "1": redrawn
    type_and_run(rest_of_line().substr(0, 1).c_str());
    EXPECT_EQ(typed_count, 3);
}

// A repaint while the start box is up draws the keyboard but no character and
// no typed text, and leaves the focus with the box.
TEST(MainWindow, RepaintUnderTheStartBoxDrawsNoCharacterAndLeavesTheFocusAlone)
{
    start_game(800, 600);
    HWND focus = (HWND)1;
    unsigned key_pixel = 0;
    int green = -1;
    WaitScript script({[] {
                           clear_screen();
                           InvalidateRect(main_window, nullptr, TRUE);
                       },
                       [&] {
                           focus = GetFocus();
                           key_pixel = headless_pixel(56, 400);
                           green = count_colour(0, 0, client_w, client_h, 0x00FF00);
                           headless_key(VK_RETURN);
                       }});
    run_until_idle();
    EXPECT_EQ((Ints{(int)script.waits(), (int)key_pixel, green}), (Ints{2, 0xFFFFFF, 0}));
    EXPECT_EQ(focus, nullptr);
    EXPECT_EQ(GetFocus(), input_edit);
}
