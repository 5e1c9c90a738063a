// The font file a face name matched is remembered across runs while unchanged.
#include "shell/platform/disk.h"
#include "shell/platform/font.h"
#include "shell/platform/font_memo.h"
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

static const char GOTHIC[] = "ＭＳゴシック";
// Another Japanese face of the same package: opening it proves the memo was used.
static const char OTHER_FILE[] = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

// Each test with a cache directory of its own; memo is its faces file.
struct FontMemo : testing::Test {
    std::string dir, memo;
    void SetUp() override
    {
        if (access(OTHER_FILE, R_OK) != 0)
            GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
        dir = make_temp_dir("cache");
        setenv("XDG_CACHE_HOME", dir.c_str(), 1);
        dir += "/lumeko-trainer";
        memo = dir + "/faces";
    }
};

static const char* matched_file()
{
    FontRequest f;
    std::strcpy(f.face, GOTHIC);
    return font_file_path(f);
}

TEST_F(FontMemo, ARememberedFileIsOpenedWithoutAskingAgain)
{
    font_memo_store(GOTHIC, OTHER_FILE, 0);
    EXPECT_STREQ(matched_file(), OTHER_FILE);
}

TEST_F(FontMemo, AChangedFileIsLookedUpAgainAndRememberedAnew)
{
    std::filesystem::create_directories(dir);
    write_file(memo, hex_of(GOTHIC) + "\t0\t1\t1\t" + OTHER_FILE + "\n"); // size and time no longer match
    std::string found = matched_file();
    EXPECT_NE(found, OTHER_FILE);
    EXPECT_NE(read_file(memo).find(found), std::string::npos);
}

// A full disk while the memo is rewritten leaves the old memo as it was, and
// no temporary file beside it.
TEST_F(FontMemo, AFailedWriteKeepsTheOldMemo)
{
    font_memo_store("first", OTHER_FILE, 0);
    const std::string before = read_file(memo);
    ASSERT_NE(before, "");
    headless_fail_write(1);
    font_memo_store("second", OTHER_FILE, 0);
    EXPECT_EQ(read_file(memo), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    font_memo_store("third", OTHER_FILE, 0); // the next write goes through again
    EXPECT_NE(read_file(memo).find("7468697264"), std::string::npos);
}
