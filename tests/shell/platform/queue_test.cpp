// The message queue: order, made-up paint and timer messages, typed input.
#include "window_fixture.h"

#include <gtest/gtest.h>
#include <string>

static std::string edit_text()
{
    char buf[256];
    int n = GetWindowTextA(test_edit, buf, sizeof buf);
    return std::string(buf, (size_t)n);
}

TEST(Queue, PostedMessagesComeBeforePaintAndPaintBeforeTimer)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    headless_advance_ms(50);
    InvalidateRect(test_window, nullptr, FALSE);
    PostMessageA(test_window, WM_USER, 1, 0);
    PostMessageA(test_window, WM_USER, 2, 0);
    MSG m;
    std::vector<UINT> order;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(m.message);
        DispatchMessageA(&m);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_USER, WM_PAINT, WM_TIMER}));
}

TEST(Queue, PaintStaysUntilValidatedAndNeverBlocks)
{
    open_test_window();
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // an empty queue answers at once
    InvalidateRect(test_window, nullptr, FALSE);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // not removed: nothing painted yet
    EXPECT_EQ(m.message, WM_PAINT);
    DispatchMessageA(&m); // DefWindowProcA paints, which validates
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST(Queue, TimerKeepsItsScheduleWithAtMostOneMessagePending)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    headless_advance_ms(49);
    EXPECT_EQ(pump(), 0);
    headless_advance_ms(1);
    EXPECT_EQ(pump(), 1);
    headless_advance_ms(500); // ten intervals pass while the program is busy
    EXPECT_EQ(pump(), 1);     // one message, not a burst
    headless_advance_ms(49);
    EXPECT_EQ(pump(), 0);
    headless_advance_ms(1);
    EXPECT_EQ(pump(), 1);
    EXPECT_EQ(count_of(WM_TIMER), 3);
    KillTimer(test_window, 1);
    headless_advance_ms(100);
    EXPECT_EQ(pump(), 0);
}

TEST(Queue, QuitComesAfterPostedMessages)
{
    open_test_window();
    PostQuitMessage(3);
    PostMessageA(test_window, WM_USER, 0, 0);
    MSG m;
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
}

TEST(EditQueue, TypedTextIsAppendedAsShiftJis)
{
    open_test_window();
    headless_type("Ab");
    headless_text(u8"あ漢"); // an input-method commit: text without key presses
    headless_key(VK_RETURN);
    pump();
    EXPECT_EQ(edit_text(), "Abあ漢\r\n");
    EXPECT_EQ(edit_text(), "Ab\x82\xA0\x8A\xBF\r\n");
    EXPECT_GE(count_of(WM_COMMAND), 1); // the parent hears of the change
}

TEST(EditQueue, BackspaceRemovesAWholeCharacter)
{
    open_test_window();
    headless_text(u8"aソ"); // ソ is 0x83 0x5C: its second byte looks like a backslash
    headless_key(VK_BACK);
    pump();
    EXPECT_EQ(edit_text(), "a");
    headless_key(VK_BACK);
    headless_key(VK_BACK);
    pump();
    EXPECT_EQ(edit_text(), "");
}

TEST(EditQueue, KeysReachOnlyTheFocusWindow)
{
    open_test_window();
    SetFocus(test_window);
    headless_type("x");
    pump();
    EXPECT_EQ(edit_text(), "");
    EXPECT_EQ(count_of(WM_CHAR), 1);
    headless_key(VK_TAB); // keys that type a control character
    headless_key(VK_ESCAPE);
    pump();
    std::vector<WPARAM> chars;
    for (const Recorded& r : recorded)
        if (r.msg == WM_CHAR)
            chars.push_back(r.wparam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{'x', '\t', 0x1B}));
    SetFocus(nullptr);
    headless_type("y");
    pump();
    EXPECT_EQ(count_of(WM_CHAR), 3);
}

TEST(EditQueue, SettingTheTextReplacesItWithoutNotifying)
{
    open_test_window();
    headless_type("abc");
    pump();
    recorded.clear();
    SetWindowTextA(test_edit, "bc");
    EXPECT_EQ(edit_text(), "bc");
    EXPECT_EQ(count_of(WM_COMMAND), 0);
    char small[3];
    EXPECT_EQ(GetWindowTextA(test_edit, small, sizeof small), 2);
    SetWindowTextA(test_edit, "wxyz");
    EXPECT_EQ(GetWindowTextA(test_edit, small, sizeof small), 2);
    EXPECT_STREQ(small, "wx");
}

TEST(Window, ActivationGivesTheFocusToTheWindowAndCloseDestroysIt)
{
    open_test_window();
    headless_focus(false);
    pump();
    EXPECT_EQ(GetFocus(), nullptr);
    headless_focus(true);
    pump();
    EXPECT_EQ(GetFocus(), test_window);
    EXPECT_EQ(count_of(WM_SETFOCUS), 1);
    headless_close();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0))
        DispatchMessageA(&m);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(IsWindow(test_window));
    EXPECT_FALSE(IsWindow(test_edit));
    EXPECT_FALSE(headless_window_open());
}

TEST(Window, ResizeSendsSizeAndRepaintsEverything)
{
    open_test_window(320, 200);
    headless_resize(400, 300);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    RECT r;
    GetClientRect(test_window, &r);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 300);
    EXPECT_EQ(count_of(WM_SIZE), 1);
    pump();
    EXPECT_EQ(count_of(WM_ERASEBKGND), 1); // the whole client area, erased once
}
