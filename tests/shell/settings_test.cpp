// settings_test.cpp -- the settings file read at start-up, and where it lives.
#include "test_support.h"

#include <cstdlib>
#include <filesystem>

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
        {nullptr, 1, bare, bare}, // no application-data folder: the Windows directory's file
        {"", 0, bare, bare},
        // A folder whose file name would not fit the path buffer falls back whole.
        {deep.c_str(), 1, bare, bare},
    };
    for (const auto& c : cases) {
        choose_settings_paths(c.appdata, c.user_file_exists);
        EXPECT_EQ(settings_read_path, c.read) << (c.appdata ? c.appdata : "(none)");
        EXPECT_EQ(settings_write_path, c.write) << (c.appdata ? c.appdata : "(none)");
    }
}
