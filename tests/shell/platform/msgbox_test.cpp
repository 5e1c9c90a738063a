// Message boxes: modal, drawn over the window, closed by keys or the button.
#include "window_fixture.h"

#include <algorithm>
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

static bool second_box = false;

static void look_type_then_click_ok()
{
    ++hook_calls;
    if (hook_calls == 1) {
        Surface s = headless_screen();
        EXPECT_NE(s.row(s.h / 2)[s.w / 2], 0u); // the box shows over the black window
        EXPECT_EQ(headless_box_text(), u8"見出し");
        headless_type("abc");    // typing goes to the box, not to the window
        headless_click(1, 5, 5); // nor does a click beside the button
    } else if (hook_calls == 2) {
        Surface s = headless_screen();
        headless_click(1, s.w / 2, s.h / 2 + 30); // the OK button, below the one-line text
    } else {
        headless_key(second_box && hook_calls == 3 ? VK_ESCAPE : VK_RETURN); // Return: a box that stayed up
    }
}

TEST(MessageBox, IsAnOverlayThatOnlyItsButtonOrKeysClose)
{
    open_test_window(400, 300);
    headless_set_wait_hook(look_type_then_click_ok);
    EXPECT_EQ(MessageBoxA(test_window, "見出し", "", MB_OK), IDOK);
    EXPECT_EQ(hook_calls, 2);
    EXPECT_EQ(count_of(WM_LBUTTONDOWN), 0);
    char buf[16];
    EXPECT_EQ(GetWindowTextA(test_edit, buf, sizeof buf), 0);
    EXPECT_EQ(headless_pixel(200, 150), 0u); // the client framebuffer was never drawn on
    EXPECT_EQ(headless_box_text(), "");
    Surface s = headless_screen();
    EXPECT_EQ(s.row(s.h / 2)[s.w / 2], 0u); // gone from the screen again
    second_box = true;                      // and a box closed with Escape
    MessageBoxA(test_window, "OK?", "", MB_OK);
    EXPECT_EQ(hook_calls, 3);
}

// The extent of the box's frame colour on the composed screen.
static IRect box_on_screen()
{
    Surface s = headless_screen();
    IRect r{s.w, s.h, 0, 0};
    for (int y = 0; y < s.h; y++)
        for (int x = 0; x < s.w; x++)
            if (s.row(y)[x] == 0x505050) {
                r.x0 = std::min(r.x0, x);
                r.y0 = std::min(r.y0, y);
                r.x1 = std::max(r.x1, x + 1);
                r.y1 = std::max(r.y1, y + 1);
            }
    return r;
}

static IRect seen_box;

static void look_then_close()
{
    seen_box = box_on_screen();
    headless_key(VK_RETURN);
}

TEST(MessageBox, IsCentredOnItsOwnerAndKeptInsideTheWindow)
{
    open_test_window(800, 600);
    HWND pane = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 500, 100, 280, 200, test_window, nullptr, nullptr,
                                nullptr);
    headless_set_wait_hook(look_then_close);
    MessageBoxA(pane, "OK?", "", MB_OK);
    EXPECT_EQ((seen_box.x0 + seen_box.x1) / 2, 640);
    EXPECT_EQ((seen_box.y0 + seen_box.y1) / 2, 200);

    HWND corner =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 760, 560, 40, 40, test_window, nullptr, nullptr, nullptr);
    MessageBoxA(corner, "OK?", "", MB_OK);
    EXPECT_LE(seen_box.x1, 800);
    EXPECT_LE(seen_box.y1, 600);

    MessageBoxA(test_window, "OK?", "", MB_OK); // the whole window: its middle
    EXPECT_EQ((seen_box.x0 + seen_box.x1) / 2, 400);
    EXPECT_EQ((seen_box.y0 + seen_box.y1) / 2, 300);
    DestroyWindow(corner);
    DestroyWindow(pane);
}
