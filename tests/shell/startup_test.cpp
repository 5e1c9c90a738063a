// startup_test.cpp -- settings at start-up, layout, focus and the end of the main loop.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "shell/main_window.h"

using Ints = std::vector<int>;

// No file gives the defaults and creates none; values that cannot be used fall
// back one by one through the profile reader.
TEST(Settings, UnusableValuesFallBackThroughTheProfileReader)
{
    play_game();
    EXPECT_EQ((Ints{sound_on, typing_mode, size_flag, lookahead}), (Ints{1, 1, 2, 2}));
    EXPECT_TRUE(std::filesystem::is_empty(std::getenv("XDG_CONFIG_HOME")));
    const struct {
        const char* ini;
        Ints sound_mode_size_ahead;
    } cases[] = {
        {"[set]\ntypemode=7\n", {1, 1, 2, 2}},
        {"[set]\ntypemode=3\nsakiyomi=5\n", {1, 3, 2, 5}},
        {"[set]\nsakiyomi=0\n", {1, 1, 2, 2}},
        {"[set]\nsakiyomi=abc\n", {1, 1, 2, 2}},
        {"[set]\noto=00\n", {1, 1, 2, 2}},
        {"[set]\noto=0\n", {0, 1, 2, 2}},
        {"[set]\nsizeflag=9\nen=77\n", {1, 1, 9, 2}},
        {"[SET]\nOto=0\nTypeMode=2\nSIZEFLAG=4\nSakiyomi=4\n", {0, 2, 4, 4}},
        // Numbers beyond int saturate, as Windows' atoi does, instead of wrapping
        // round to a usable value.
        {"[set]\ntypemode=1099511627778\nsakiyomi=4294967299\n", {1, 1, 2, 2}},
        {"[set]\ntypemode=-4294967294\nsizeflag=4294967297\n", {1, 1, 2147483647, 2}},
        {"[set]\ntypemode= +3x\nsakiyomi=-0004\n", {1, 3, 2, 2}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(write_file(settings_file(), c.ini));
        read_settings();
        EXPECT_EQ((Ints{sound_on, typing_mode, size_flag, lookahead}), c.sound_mode_size_ahead) << c.ini;
    }
}

// The Windows rule, checked with the paths Windows would hand it: a per-user
// file under the application-data folder, read once it exists.
TEST(SettingsPath, PerUserFileUnderApplicationDataReadOnceItExists)
{
    const std::string bare = "LumekoTrainer.ini";
    const std::string roaming = "C:\\Users\\taro\\AppData\\Roaming";
    const std::string user = roaming + "\\LumekoTrainer\\LumekoTrainer.ini";
    const std::string deep = "C:\\" + std::string(SETTINGS_PATH_SIZE - 20, 'a');
    const struct {
        const char* appdata;
        int user_file_exists;
        std::string read, write;
    } cases[] = {
        {roaming.c_str(), 1, user, user},
        {roaming.c_str(), 0, bare, user}, // read the old file until the new one is made
        {"D:\\", 1, "D:\\LumekoTrainer\\LumekoTrainer.ini", "D:\\LumekoTrainer\\LumekoTrainer.ini"},
        // 表 ends in the byte of a backslash: not a separator, so one is added.
        {"C:\\Users\\表", 1, "C:\\Users\\表\\LumekoTrainer\\LumekoTrainer.ini",
         "C:\\Users\\表\\LumekoTrainer\\LumekoTrainer.ini"},
        // No application-data folder, or one too long to name: nowhere to
        // write (never the Windows directory's file), the old file is read.
        {nullptr, 1, bare, ""},
        {"", 0, bare, ""},
        {deep.c_str(), 1, bare, ""},
    };
    for (const auto& c : cases) {
        choose_settings_paths(c.appdata, c.user_file_exists);
        EXPECT_EQ(settings_read_path, c.read) << (c.appdata ? c.appdata : "(none)");
        EXPECT_EQ(settings_write_path, c.write) << (c.appdata ? c.appdata : "(none)");
    }
}

// The first change makes the per-user file from the old file's settings,
// under a name of its own until it holds them all: a write that fails at any
// step (as on a full disk) leaves no per-user file and the old one in use.
// Here '\\' is part of a file name, so the folder and the file are names in
// one directory; the order of the steps is what counts. With nowhere to save,
// nothing is written and the user is told once; the choices still hold.
TEST(SettingsPath, PerUserFileAppearsOnlyWholeAndNowhereToSaveIsToldOnce)
{
    const std::string old_file = "[set]\r\noto=0\r\ntypemode=2\r\nsizeflag=3\r\nen=70\r\nsakiyomi=4\r\n";
    play_game(old_file.c_str());
    const std::string appdata = make_temp_dir("appdata");
    const std::string user = appdata + "\\LumekoTrainer\\LumekoTrainer.ini";
    for (int step = 1; step <= 7; step++) { // five keys copied, the one changed, the rename
        choose_settings_paths(appdata.c_str(), 0);
        headless_fail_write(step);
        EXPECT_EQ(save_setting("typemode", "3"), 1);
        EXPECT_STREQ(settings_read_path, SETTINGS_FILE) << step;
        EXPECT_FALSE(std::filesystem::exists(user)) << step;
        EXPECT_FALSE(std::filesystem::exists(user + ".new")) << step;
    }
    headless_fail_write(0);
    save_setting("typemode", "3");
    EXPECT_EQ(settings_read_path, user);
    const std::pair<const char*, const char*> kept[] = {
        {"oto", "0"}, {"typemode", "3"}, {"sizeflag", "3"}, {"en", "70"}, {"sakiyomi", "4"}};
    for (const auto& k : kept) {
        char value[16];
        GetPrivateProfileStringA(SETTINGS_SECTION, k.first, "-", value, sizeof value, user.c_str());
        EXPECT_STREQ(value, k.second) << k.first;
    }
    EXPECT_EQ(read_file(settings_file()), old_file);

    choose_settings_paths(nullptr, 0);
    const size_t boxes = headless_box_log().size();
    command(CMD_SIZE_SMALL);
    command(CMD_BEGINNER_2);
    int told = 0;
    for (size_t i = boxes; i < headless_box_log().size(); i++)
        told += headless_box_log()[i].find(u8"設定は保存できません") != std::string::npos;
    EXPECT_EQ(told, 1);
    EXPECT_EQ((Ints{size_flag, typing_mode}), (Ints{1, 2}));
    EXPECT_EQ(read_file(settings_file()), old_file);
}

TEST(MainWindow, ResizeRecomputesLayoutAndRepaints)
{
    start_game(800, 600, "[set]\nsizeflag=9\n");
    const int first = char_size; // an unknown size keeps the start-up cell size
    EXPECT_EQ(first, client_h / 20);
    run_until_idle();
    headless_resize(1001, 1000 + GetSystemMetrics(SM_CYMENU)); // the client area 1001 x 1000
    run_until_idle();
    EXPECT_EQ((Ints{client_w, client_h, half_w, key_w, key_h, char_size}), (Ints{1001, 1000, 500, 66, 66, first}));
    EXPECT_EQ(headless_pixel(998, 7), 0xFF0000u); // the bar's red part reaches the new right frame
    EXPECT_EQ(headless_pixel(999, 7), 0xFFFFFFu);
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
    EXPECT_EQ(script.waits(), 2u);
    EXPECT_EQ(key_pixel, 0xFFFFFFu);
    EXPECT_EQ(green, 0);
    EXPECT_EQ(focus, nullptr);
    EXPECT_EQ(GetFocus(), input_edit);
}

// Answers boxes; the first time the loop has nothing to do, the user closes
// the window. A loop that went on waiting after that aborts the test.
static int idle_waits = 0;

static void close_when_idle()
{
    if (!headless_box_text().empty())
        headless_key(VK_RETURN);
    else if (++idle_waits > 1)
        std::abort();
    else
        headless_close();
}

TEST(MainLoop, WaitsWhenIdleAndEndsWithOneOnClose)
{
    alarm(20); // a loop that spins instead of waiting never reaches the hook
    start_game(800, 600);
    headless_set_wait_hook(close_when_idle);
    EXPECT_EQ(run_main_loop(), 1);
    EXPECT_EQ(idle_waits, 1);
    EXPECT_FALSE(headless_window_open());
}
