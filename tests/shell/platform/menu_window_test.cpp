// menu_window_test.cpp -- menus of the platform layer: the tree and the bar
// above the client area. (The menus at work are tested through the game.)
#include "window_fixture.h"

// A bar "A" with items 11 and a sub-menu holding 21, and "B" with item 31.
static HMENU make_bar(HMENU* sub_out)
{
    HMENU sub = CreateMenu();
    AppendMenuA(sub, MF_STRING, 21, "21");
    HMENU a = CreateMenu();
    AppendMenuA(a, MF_STRING, 11, "11");
    AppendMenuA(a, MF_POPUP, (UINT_PTR)sub, "sub");
    HMENU b = CreateMenu();
    AppendMenuA(b, MF_STRING, 31, "31");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)a, "A");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)b, "B");
    if (sub_out)
        *sub_out = sub;
    return bar;
}

TEST(MenuWindow, TheBarTakesItsHeightFromTheClientAreaAndDiesWithItsSubMenus)
{
    HMENU sub = nullptr;
    HMENU bar = make_bar(&sub);
    EXPECT_FALSE(AppendMenuA(bar, MF_POPUP, (UINT_PTR)12345, "not a menu"));
    open_test_window(320, 200, bar);
    EXPECT_EQ(GetMenu(test_window), bar);
    RECT r;
    GetClientRect(test_window, &r);
    EXPECT_EQ(r.bottom - r.top, 200 - GetSystemMetrics(SM_CYMENU));
    EXPECT_GT(GetSystemMetrics(SM_CYMENU), 0);
    // A click on the bar works the menu; it is no click in the client area.
    headless_click(1, 300, 5);
    pump();
    EXPECT_EQ(count_of(WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(AppendMenuA(sub, MF_STRING, 22, "22")); // gone with the bar
    EXPECT_FALSE(DestroyMenu(bar));
}
