// settings_test.cpp -- the settings file read at start-up, and where it lives.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>

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
        EXPECT_EQ(std::string(settings_read_path) + " | " + settings_write_path, c.read + " | " + c.write)
            << (c.appdata ? c.appdata : "(none)");
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
        headless_fail_write(step < 7 ? step : 0);
        if (step == 7) // a folder in the way fails the rename
            std::filesystem::create_directories(user + "/in-the-way");
        EXPECT_EQ(save_setting("typemode", "3"), 1);
        EXPECT_STREQ(settings_read_path, SETTINGS_FILE) << step;
        EXPECT_FALSE(std::filesystem::is_regular_file(user) || std::filesystem::exists(user + ".new")) << step;
    }
    std::filesystem::remove_all(user);
    headless_fail_write(0);
    save_setting("typemode", "3");
    EXPECT_EQ(settings_read_path, user);
    EXPECT_EQ(read_file(user), "[set]\noto=0\ntypemode=3\nsizeflag=3\nen=70\nsakiyomi=4\n");
    EXPECT_EQ(read_file(settings_file()), old_file);

    choose_settings_paths(nullptr, 0);
    const size_t boxes = headless_box_log().size();
    command(CMD_SIZE_SMALL);
    command(CMD_BEGINNER_2);
    int told = 0;
    for (size_t i = boxes; i < headless_box_log().size(); i++)
        told += headless_box_log()[i].find(u8"設定は保存できません") != std::string::npos;
    EXPECT_EQ((Ints{told, size_flag, typing_mode}), (Ints{1, 1, 2}));
    EXPECT_EQ(read_file(settings_file()), old_file);
}
