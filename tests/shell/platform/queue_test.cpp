// queue_test.cpp -- the message queue: order, made-up paint and timer messages,
// and when the first frame goes out.
#include "window_fixture.h"

// Posted messages come first, then a paint (kept until painted), then a
// timer; the quit message comes after what was posted before it.
TEST(Queue, PostedThenPaintThenTimerThenQuit)
{
    open_test_window();
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // an empty queue answers at once
    SetTimer(test_window, 1, 50, nullptr);
    headless_advance_ms(50);
    InvalidateRect(test_window, nullptr, FALSE);
    PostMessageA(test_window, WM_USER, 1, 0);
    PostMessageA(test_window, WM_USER, 2, 0);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)); // looked at, left in place
    EXPECT_EQ(m.message, WM_USER);
    std::vector<UINT> order;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        order.push_back(m.message);
        if (order.size() != 3) // the first paint is left undone: it comes again
            DispatchMessageA(&m);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_USER, WM_PAINT, WM_PAINT, WM_TIMER}));
    PostQuitMessage(3);
    PostMessageA(test_window, WM_USER, 0, 0);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ((Ints{(int)m.message, (int)m.wParam}), (Ints{WM_QUIT, 3}));
}

TEST(Queue, TimerKeepsItsScheduleWithAtMostOneMessagePending)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    // Ten intervals pass while the program is busy: one message, not a burst.
    const int steps[][2] = {{49, 0}, {1, 1}, {500, 1}, {49, 0}, {1, 1}}; // milliseconds, messages
    for (const auto& [ms, n] : steps) {
        headless_advance_ms(ms);
        EXPECT_EQ(pump(), n) << ms;
    }
    EXPECT_EQ(count_of(WM_TIMER), 3);
    KillTimer(test_window, 1);
    headless_advance_ms(100);
    EXPECT_EQ(pump(), 0);
}

// The first frame waits for the program's first wait, so that a box shown
// before it goes out in the same present instead of a second one; a program
// that keeps busy instead shows it after a tenth of a second all the same.
TEST(Queue, TheFirstFrameGoesOutWithTheBoxShownBeforeTheFirstWait)
{
    open_test_window(320, 200); // shown and painted, never waited
    HDC dc = GetDC(test_window);
    fill(dc, RECT{10, 10, 100, 50}, RGB(0, 255, 0));
    ReleaseDC(test_window, dc);
    MSG m; // the program looks at its queue and goes on drawing
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(headless_present_count(), 0u);
    uint64_t presents = 0;
    bool box_up = false;
    WaitScript script({[&] {
        presents = headless_present_count();
        box_up = box_shown("Start");
        press(VK_RETURN)();
    }});
    EXPECT_EQ(MessageBoxA(test_window, "Start", "", MB_OK), IDOK);
    EXPECT_TRUE(box_up);
    EXPECT_EQ(presents, 1u);
}

TEST(Queue, ABusyProgramShowsItsFirstFrameAfterATenthOfASecond)
{
    open_test_window(320, 200);
    MSG m;
    for (unsigned presents : {0u, 1u}) { // at 99 ms, at 100 ms
        headless_advance_ms(presents ? 1 : 99);
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        EXPECT_EQ(headless_present_count(), presents);
    }
}
