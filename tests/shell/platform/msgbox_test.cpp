// Message boxes: modal, drawn over the window, closed by keys or the button.
#include "window_fixture.h"

#include <gtest/gtest.h>
#include <string>

static int hook_calls = 0;

// Keeps the box up for 200 ms of virtual time, then closes it with Space.
static void slow_space()
{
    if (++hook_calls <= 4)
        headless_advance_ms(50);
    else
        headless_type(" ");
}

TEST(MessageBox, KeepsTimersGoingAndSwallowsItsClosingKey)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    headless_set_wait_hook(slow_space);
    EXPECT_EQ(MessageBoxA(test_window, "結果\n二行目", "", MB_OK), IDOK);
    EXPECT_EQ(count_of(WM_TIMER), 4);
    EXPECT_EQ(headless_box_log().back(), u8"結果\n二行目");
    headless_set_wait_hook(nullptr);
    pump();
    char buf[16];
    EXPECT_EQ(GetWindowTextA(test_edit, buf, sizeof buf), 0); // the Space did not become text
    EXPECT_EQ(GetFocus(), test_window);                       // the window is active again
}

static void type_then_click_ok()
{
    ++hook_calls;
    if (hook_calls == 1) {
        headless_type("abc");    // typing goes to the box, not to the window
        headless_click(1, 5, 5); // nor does a click beside the button
    } else if (hook_calls == 2) {
        Surface s = headless_screen();
        headless_click(1, s.w / 2, s.h / 2 + 30); // the OK button, below the one-line text
    }
}

TEST(MessageBox, IsAnOverlayThatOnlyItsButtonOrKeysClose)
{
    open_test_window(400, 300);
    headless_set_wait_hook(type_then_click_ok);
    MessageBoxA(test_window, "OK?", "", MB_OK);
    EXPECT_GE(hook_calls, 2);
    EXPECT_EQ(count_of(WM_LBUTTONDOWN), 0);
    char buf[16];
    EXPECT_EQ(GetWindowTextA(test_edit, buf, sizeof buf), 0);
    EXPECT_EQ(headless_pixel(200, 150), 0u); // the client framebuffer was never drawn on
}

static void close_with_escape_after_look()
{
    if (++hook_calls == 1) {
        Surface s = headless_screen();
        EXPECT_NE(s.row(s.h / 2)[s.w / 2], 0u); // the box shows over the black window
        EXPECT_EQ(headless_box_text(), u8"見出し");
    } else {
        headless_key(VK_ESCAPE);
    }
}

TEST(MessageBox, ShowsOverTheWindowUntilEscape)
{
    open_test_window(400, 300);
    headless_set_wait_hook(close_with_escape_after_look);
    MessageBoxA(test_window, "見出し", "", MB_OK);
    EXPECT_EQ(hook_calls, 2);
    EXPECT_EQ(headless_box_text(), "");
    Surface s = headless_screen();
    EXPECT_EQ(s.row(s.h / 2)[s.w / 2], 0u); // gone from the screen again
}
