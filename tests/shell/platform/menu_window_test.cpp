// menu_window_test.cpp -- menus of the platform layer: the tree, the bar above
// the client area, a menu entered by the program, and input that changes only
// the menu reaching the screen before the program waits.
#include "window_fixture.h"

#include <gtest/gtest.h>

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

static std::vector<uint64_t> presents_at_wait;
static void note_presents_and_leave()
{
    presents_at_wait.push_back(headless_present_count());
    headless_key(VK_ESCAPE);
}

TEST(MenuWindow, AMenuChangeTakenInWhileLookingForWorkIsPresentedBeforeTheWait)
{
    open_test_window(320, 200, make_bar(nullptr));
    headless_key(VK_F10);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)); // the bar is entered
    ASSERT_EQ(m.message, WM_SYSCOMMAND);
    headless_screen();
    const uint64_t before = headless_present_count();
    headless_key(VK_DOWN); // taken in by the wait's own look for work
    headless_set_wait_hook(note_presents_and_leave);
    WaitMessage();
    headless_set_wait_hook(nullptr);
    ASSERT_EQ(presents_at_wait.size(), 1u);
    EXPECT_GT(presents_at_wait[0], before); // the open menu was on the screen before the wait
    EXPECT_EQ(headless_menu_level(), 1);
}

TEST(MenuWindow, AMenuEnteredByTheProgramSendsItsCommandAfterItCloses)
{
    open_test_window(320, 200, make_bar(nullptr));
    headless_key(VK_RIGHT);
    headless_key(VK_DOWN); // "B", its one item
    headless_key(VK_RETURN);
    SendMessageA(test_window, WM_SYSCOMMAND, SC_KEYMENU, 0); // returns when the menu has closed
    EXPECT_EQ(headless_menu_level(), -1);
    EXPECT_EQ(count_of(WM_COMMAND), 0);
    pump();
    ASSERT_EQ(count_of(WM_COMMAND), 1);
    for (const Recorded& r : recorded) {
        if (r.msg == WM_COMMAND) {
            EXPECT_EQ(r.wparam, 31u);
        }
    }
    char text[8];
    EXPECT_EQ(GetWindowTextA(test_edit, text, sizeof text), 0);
}
