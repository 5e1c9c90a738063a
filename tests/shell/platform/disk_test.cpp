// disk_test.cpp -- where the layer keeps what it writes: the compose cache folder.
#include "shell/platform/disk.h"
#include "test_support.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

// X keeps the parsed compose table in the program's cache folder, unless X
// keeps none (root) or the user has chosen a place already.
TEST(Disk, ComposeCacheGoesToThePrivateCacheFolderUnlessTheUserChose)
{
    std::string home = make_temp_dir("compose-home");
    const char* saved_home = getenv("HOME");
    std::string old_home = saved_home ? saved_home : "";
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/cache").c_str(), 1);
    unsetenv("XCOMPOSECACHE");

    std::string dir = home + "/cache/lumeko-trainer/compose";
    EXPECT_EQ(compose_cache_dir(true), "");
    EXPECT_FALSE(fs::exists(dir)) << "made for root, who gets no cache";

    EXPECT_EQ(compose_cache_dir(false), dir);
    struct stat st {
    };
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "X uses only a folder nobody else may write";

    setenv("XCOMPOSECACHE", "/somewhere/else", 1);
    EXPECT_EQ(compose_cache_dir(false), "");
    unsetenv("XCOMPOSECACHE");
    fs::create_directory(home + "/.compose-cache");
    EXPECT_EQ(compose_cache_dir(false), "") << "X uses ~/.compose-cache of itself";
    fs::remove(home + "/.compose-cache");

    std::ofstream(home + "/file") << "x";
    setenv("XDG_CACHE_HOME", (home + "/file").c_str(), 1);
    EXPECT_EQ(compose_cache_dir(false), "") << "a cache folder that cannot be made";

    unsetenv("XDG_CACHE_HOME");
    if (saved_home)
        setenv("HOME", old_home.c_str(), 1);
    fs::remove_all(home);
}
