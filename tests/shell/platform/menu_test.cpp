// menu_test.cpp -- menus of the platform layer: the tree and the bar above the
// client area; the game's menu bar worked by keys and by mouse: the right
// command arrives once the menu has closed, keys used in the menu type
// nothing, the window keeps its timer while a menu is open, and what an open
// menu covered comes back exactly when it closes.
#include "window_fixture.h"

#include "drill/results.h"
#include "maze/maze.h"
#include "text/random_lines.h"

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

static std::vector<int> levels;        // the menu level seen at each wait
static std::vector<uint64_t> presents; // presents done before each wait

// Runs until idle, doing steps[n] at the n-th wait inside a menu (or a box)
// and Esc at every wait after them.
static void play(std::vector<std::function<void()>> steps)
{
    levels.clear();
    presents.clear();
    auto note = [] {
        levels.push_back(headless_menu_level());
        presents.push_back(headless_present_count());
    };
    for (auto& step : steps)
        step = [note, step] {
            note();
            step();
        };
    WaitScript script(steps, [note] {
        note();
        headless_key(VK_ESCAPE);
    });
    run_until_idle();
}

// A click (or only a pointer move) on an entry of the menus as they are shown then.
static std::function<void()> click(int level, int index, bool down = true)
{
    return [=] {
        int x = 0, y = 0;
        ASSERT_TRUE(headless_menu_point(level, index, &x, &y)) << level << "/" << index;
        down ? headless_click(1, x, y) : headless_mouse_move(x, y);
    };
}
static std::function<void()> hover(int level, int index) { return click(level, index, false); }

static int edit_length() { return GetWindowTextLengthA(input_edit); }

static void start()
{
    play_game();
    ASSERT_EQ(typed_count, 1);
}

TEST(MenuKeys, F10ArrowsAndEnterChooseAfterTheMenuClosesAndWrap)
{
    start();
    headless_key(VK_F10);
    play({press(VK_RIGHT), press(VK_DOWN), press(VK_DOWN), press(VK_DOWN), press(VK_RETURN)});
    EXPECT_EQ(std::to_string(typing_mode) + saved_setting("typemode"), "33");
    // F10 and Right leave the bar lit; Down opens "モード"; after Enter the
    // menu is gone before the command's start message waits.
    EXPECT_EQ(levels, (std::vector<int>{0, 0, 1, 1, 1, -1}));
    // Each key's change reached the screen before the game waited for the next.
    for (size_t i = 1; i + 1 < presents.size(); i++)
        EXPECT_GT(presents[i], presents[i - 1]) << "key " << i;
    EXPECT_EQ(edit_length(), 0);
    EXPECT_EQ(headless_menu_level(), -1);

    headless_key(VK_F10);
    // Left wraps to "ヘルプ", Right back to "ファイル"; Up in the menu wraps to
    // its last item, Down back to the first; the second item opens its
    // sub-menu with Right, where Up wraps to "６０文字".
    play({press(VK_LEFT), press(VK_RIGHT), press(VK_DOWN), press(VK_UP), press(VK_DOWN), press(VK_DOWN),
          press(VK_RIGHT), press(VK_UP), press(VK_RETURN)});
    EXPECT_EQ(levels, (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 2, 2, -1}));
    EXPECT_EQ((Ints{random_line_len, line_length, edit_length()}), (Ints{60, 60, 0}));
}

TEST(MenuKeys, EscClosesOneLevelAndAltEntersTheBar)
{
    start();
    const int mode = typing_mode, size = size_flag;
    headless_key(VK_MENU); // a press and release of Alt alone
    play({press(VK_RIGHT), press(VK_RIGHT), press(VK_DOWN), press(VK_ESCAPE), press(VK_DOWN), press(VK_ESCAPE),
          press(VK_ESCAPE)});
    EXPECT_EQ(levels, (std::vector<int>{0, 0, 0, 1, 0, 1, 0}));
    EXPECT_EQ((Ints{typing_mode, size_flag}), (Ints{mode, size}));
    headless_key(VK_F10);
    play({press(VK_F10)}); // F10 again leaves the bar
    EXPECT_EQ(levels, (std::vector<int>{0}));
    EXPECT_EQ((Ints{headless_menu_level(), edit_length()}), (Ints{-1, 0}));
}

TEST(MenuMouse, ClickMoveAlongTheBarHoverIntoASubMenuAndChoose)
{
    start();
    click(0, 3)(); // "文字"
    play({hover(0, 1), click(1, 2)});
    EXPECT_EQ(levels, (std::vector<int>{1, 1, -1}));
    // "中上者　モード" of the menu the pointer moved to
    EXPECT_EQ((Ints{typing_mode, size_flag, edit_length()}), (Ints{3, 2, 0}));

    click(0, 2)(); // "ゲーム"
    play({hover(1, 2), hover(2, 2), click(2, 2)});
    EXPECT_EQ(levels, (std::vector<int>{1, 2, 2, -1}));
    EXPECT_EQ(maze_cols, 9); // "８×８"
    EXPECT_EQ(headless_box_log().back(), u8"マウスの右ボタンを押すと次の迷路が出ます。");
}

TEST(MenuMouse, AClickOutsideOrOnTheOpenEntryClosesWithoutACommand)
{
    start();
    const int mode = typing_mode, line = line_index;
    click(0, 1)();
    play({[] { headless_click(1, 400, 400); }});
    EXPECT_EQ(levels, (std::vector<int>{1}));
    click(0, 1)();
    play({click(0, 1)});
    EXPECT_EQ(levels, (std::vector<int>{1}));
    EXPECT_EQ((Ints{headless_menu_level(), typing_mode, line_index}), (Ints{-1, mode, line}));
}

TEST(MenuLoop, TimerKeepsTickingTheDrillWaitsAndKeysTypeNothing)
{
    start();
    const int ticks = line_ticks;
    auto tick = [] { headless_advance_ms(50); };
    headless_key(VK_F10);
    play({press(VK_DOWN), tick, tick, [] { headless_type("abc"); }, tick, tick, press(VK_ESCAPE), press(VK_ESCAPE)});
    // Every tick reached the window while the menu was open; nothing typed in
    // the menu reached the EDIT.
    EXPECT_EQ((Ints{line_ticks, edit_length(), typed_count}), (Ints{ticks + 4, 0, 1}));
    type_and_run(rest_of_line().substr(0, 1).c_str()); // after it, typing works as before
    EXPECT_EQ(typed_count, 2);
}

TEST(MenuLoop, AnOpenMenuCoversOnlyItsPlaceAndLeavesTheScreenAsItWas)
{
    start();
    const Surface s0 = headless_screen();
    const std::vector<uint32_t> before(s0.px, s0.px + (size_t)s0.w * s0.h);
    const std::vector<uint32_t> client_before = client_pixels();
    uint64_t presented = 0, changed = 0;
    std::vector<uint32_t> client_open;
    click(0, 2)();
    play({hover(1, 2), [&] {
              presented = headless_present_pixels();
              Surface s = headless_screen();
              for (size_t i = 0; i < before.size(); i++)
                  changed += s.px[i] != before[i];
              client_open = client_pixels();
              headless_key(VK_ESCAPE);
          }});
    EXPECT_GT(changed, 1000u);                                           // the two menus are on the screen
    EXPECT_LT(changed, before.size() / 4);                               // and nowhere else
    EXPECT_EQ(client_open, client_before);                               // never drawn into the window
    EXPECT_LT(headless_present_pixels() - presented, before.size() / 4); // closing presents only what they covered
    Surface s = headless_screen();
    EXPECT_TRUE(std::equal(before.begin(), before.end(), s.px));
}
