// window_test.cpp -- windows: activation, focus and the close box.
#include "window_fixture.h"

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
    EXPECT_EQ((Ints{IsWindow(test_window), IsWindow(test_edit), headless_window_open()}), (Ints{0, 0, 0}));
}
