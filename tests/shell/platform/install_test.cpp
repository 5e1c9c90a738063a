// install_test.cpp -- an installed program finds its data from its own place.
//
// The program in <prefix>/bin finds the sound, the lessons and the help page in
// <prefix>/share/lumeko-trainer, whatever the prefix, from any current
// directory. The second test installs a copy of this test program under a
// prefix of its own and runs the copy there.
#include "shell/platform/codepage.h"
#include "shell/platform/files.h"
#include "test_support.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

// Set (to the prefix) in the copy that runs from the installed place.
constexpr const char* CHILD_ENV = "LUMEKO_INSTALL_TEST_PREFIX";
constexpr const char* CHILD_TEST = "InstalledData.CopyUnderAnyPrefixFindsItsData";

TEST(InstalledData, DirectoryFollowsTheProgram)
{
    const struct {
        const char *exe, *data_dir;
    } cases[] = {
        {"/usr/bin/lumeko-trainer", "/usr/share/lumeko-trainer"},
        {"/home/u/.local/bin/lumeko-trainer", "/home/u/.local/share/lumeko-trainer"},
        {u8"/opt/a b/ルメコ/bin/lumeko-trainer", u8"/opt/a b/ルメコ/share/lumeko-trainer"},
        {"/lumeko-trainer", "/share/lumeko-trainer"}, // a program at the root has no parent to leave
        {"lumeko-trainer", ""},                       // not a path the program was started from
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(installed_data_dir(c.exe), c.data_dir) << c.exe;
}

// What the copy checks, run from an empty current directory with nothing
// beside the executable: everything must come from the data directory.
static void check_from_installed_place(const std::string& prefix)
{
    const std::string data = prefix + "/share/lumeko-trainer";
    EXPECT_EQ(resolve_data_path("tap.wav"), data + "/tap.wav");
    EXPECT_EQ(resolve_data_path("lessons/基本指練習.txt"), data + u8"/lessons/基本指練習.txt");
    EXPECT_EQ(resolve_data_path("missing.wav"), "");

    // The help command names its page beside the executable, as on Windows.
    char exe[520];
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof exe), 0u);
    const std::string page = std::string(exe, std::strrchr(exe, '/') + 1) + "最初にお読みください.html";
    EXPECT_GT((INT_PTR)ShellExecuteA(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL), 32);
    ASSERT_TRUE(eventually([&] { return fs::exists(prefix + "/opened"); }));
    EXPECT_EQ(read_file(prefix + "/opened"), data + u8"/最初にお読みください.html");
}

TEST(InstalledData, CopyUnderAnyPrefixFindsItsData)
{
    if (const char* prefix = getenv(CHILD_ENV)) {
        check_from_installed_place(prefix);
        write_file(std::string(prefix) + "/checked", ""); // the copy did run this test
        return;
    }
    const std::string prefix = make_temp_dir("install") + "/any prefix";
    const std::string data = prefix + "/share/lumeko-trainer";
    fs::create_directories(prefix + "/bin");
    fs::create_directories(data + "/lessons");
    ASSERT_TRUE(write_file(data + "/tap.wav", "RIFF"));
    ASSERT_TRUE(write_file(data + u8"/lessons/基本指練習.txt", "abc\r\n"));
    ASSERT_TRUE(write_file(data + u8"/最初にお読みください.html", "<p>"));
    EXPECT_TRUE(run_copy_of_self(prefix + "/bin/lumeko-trainer", CHILD_TEST,
                                 {{CHILD_ENV, prefix}, {"LUMEKO_OPENER", write_opener(prefix)}},
                                 make_temp_dir("elsewhere")))
        << "the installed copy failed its checks";
    EXPECT_TRUE(fs::exists(prefix + "/checked")) << "the installed copy ran no check";
}
