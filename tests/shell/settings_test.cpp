// settings_test.cpp -- where the settings file lives, and writing one key.
#include "test_support.h"

#include "shell/settings.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// The Windows rule, checked here with the paths Windows would hand it.
TEST(SettingsPath, PerUserFileUnderApplicationDataReadOnceItExists)
{
    const std::string bare = "LumekoTrainer.ini";
    const std::string roaming = "C:\\Users\\taro\\AppData\\Roaming";
    const std::string user = roaming + "\\LumekoTrainer\\LumekoTrainer.ini";
    struct Case {
        const char* appdata;
        int user_file_exists;
        std::string read, write;
    };
    const Case cases[] = {
        {roaming.c_str(), 1, user, user},
        {roaming.c_str(), 0, bare, user}, // read the old file until the new one is made
        {"D:\\", 1, "D:\\LumekoTrainer\\LumekoTrainer.ini", "D:\\LumekoTrainer\\LumekoTrainer.ini"},
        // 表 ends in the byte of a backslash: not a separator, so one is added.
        {"C:\\Users\\表", 1, "C:\\Users\\表\\LumekoTrainer\\LumekoTrainer.ini",
         "C:\\Users\\表\\LumekoTrainer\\LumekoTrainer.ini"},
        {nullptr, 1, bare, bare}, // no application-data folder: the Windows directory's file
        {"", 0, bare, bare},
    };
    for (const Case& c : cases) {
        choose_settings_paths(c.appdata, c.user_file_exists);
        EXPECT_EQ(settings_read_path, c.read) << (c.appdata ? c.appdata : "(none)");
        EXPECT_EQ(settings_write_path, c.write) << (c.appdata ? c.appdata : "(none)");
    }

    // A folder whose file name would not fit the path buffer falls back whole.
    std::string deep = "C:\\" + std::string(SETTINGS_PATH_SIZE - 20, 'a');
    choose_settings_paths(deep.c_str(), 1);
    EXPECT_EQ(settings_read_path, bare);
    EXPECT_EQ(settings_write_path, bare);
}

// On Linux the file stays in the config directory: what a command saves is
// what the next start reads.
TEST(SettingsPath, SavedKeysAreReadBackFromTheConfigDirectory)
{
    std::string dir = use_temp_config_dir();
    read_settings();
    save_setting("typemode", "3");
    save_setting("sakiyomi", "4");
    EXPECT_TRUE(std::filesystem::exists(dir + "/LumekoTrainer.ini"));
    typing_mode = 1;
    lookahead = 2;
    read_settings();
    EXPECT_EQ(typing_mode, 3);
    EXPECT_EQ(lookahead, 4);
}
