// Message boxes: modal, drawn over the window, closed by keys or the button.
#include "window_fixture.h"

#include <algorithm>

TEST(MessageBox, KeepsTimersGoingAndSwallowsItsClosingKey)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    auto tick = [] { headless_advance_ms(50); };
    {
        WaitScript script({tick, tick, tick, tick}, [] { headless_type(" "); }); // up for 200 ms, closed with Space
        EXPECT_EQ(MessageBoxA(test_window, "結果\n二行目", "", MB_OK), IDOK);
    }
    EXPECT_EQ(count_of(WM_TIMER), 4);
    EXPECT_EQ(headless_box_log().back(), u8"結果\n二行目");
    pump();
    EXPECT_EQ(GetWindowTextLengthA(test_edit), 0); // the Space did not become text
    EXPECT_EQ(GetFocus(), test_window);            // the window is active again
}

TEST(MessageBox, IsAnOverlayThatOnlyItsButtonOrKeysClose)
{
    open_test_window(400, 300);
    {
        WaitScript script({[] {
                               Surface s = headless_screen();
                               EXPECT_NE(s.row(s.h / 2)[s.w / 2], 0u); // the box shows over the black window
                               EXPECT_EQ(headless_box_text(), u8"見出し");
                               headless_type("abc");    // typing goes to the box, not to the window
                               headless_click(1, 5, 5); // nor does a click beside the button
                           },
                           [] { headless_click(1, 200, 150 + 30); }}); // the OK button, below the text
        EXPECT_EQ(MessageBoxA(test_window, "見出し", "", MB_OK), IDOK);
        EXPECT_EQ(script.waits(), 2u);
    }
    EXPECT_EQ(count_of(WM_LBUTTONDOWN) + GetWindowTextLengthA(test_edit), 0);
    EXPECT_EQ(headless_pixel(200, 150), 0u); // the client framebuffer was never drawn on
    EXPECT_EQ(headless_box_text(), "");
    Surface s = headless_screen();
    EXPECT_EQ(s.row(s.h / 2)[s.w / 2], 0u);  // gone from the screen again
    WaitScript script({}, press(VK_ESCAPE)); // and a box closed with Escape
    MessageBoxA(test_window, "OK?", "", MB_OK);
    EXPECT_EQ(script.waits(), 1u);
}

// The middle of the box shown for an owner window, and its extent.
static IRect box_for(HWND owner)
{
    IRect seen{};
    WaitScript script({[&] { seen = extent(headless_screen(), 0x505050); }});
    MessageBoxA(owner, "OK?", "", MB_OK);
    return seen;
}

TEST(MessageBox, IsCentredOnItsOwnerAndKeptInsideTheWindow)
{
    open_test_window(800, 600);
    HWND pane = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 500, 100, 280, 200, test_window, nullptr, nullptr,
                                nullptr);
    IRect box = box_for(pane);
    EXPECT_EQ((Ints{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2}), (Ints{640, 200}));
    HWND corner =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 760, 560, 40, 40, test_window, nullptr, nullptr, nullptr);
    box = box_for(corner);
    EXPECT_TRUE(box.x1 <= 800 && box.y1 <= 600) << box.x1 << "," << box.y1;
    box = box_for(test_window); // the whole window: its middle
    EXPECT_EQ((Ints{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2}), (Ints{400, 300}));
    DestroyWindow(corner);
    DestroyWindow(pane);
}
