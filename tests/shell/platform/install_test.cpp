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
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Set (to the prefix) in the copy that runs from the installed place.
constexpr const char* CHILD_ENV = "LUMEKO_INSTALL_TEST_PREFIX";
constexpr const char* CHILD_TEST = "InstalledData.CopyUnderAnyPrefixFindsItsData";

TEST(InstalledData, DirectoryFollowsTheProgram)
{
    struct Case {
        const char* exe;
        const char* data_dir;
    };
    const Case cases[] = {
        {"/usr/bin/lumeko-trainer", "/usr/share/lumeko-trainer"},
        {"/home/u/.local/bin/lumeko-trainer", "/home/u/.local/share/lumeko-trainer"},
        {u8"/opt/a b/ルメコ/bin/lumeko-trainer", u8"/opt/a b/ルメコ/share/lumeko-trainer"},
        {"/lumeko-trainer", "/share/lumeko-trainer"}, // a program at the root has no parent to leave
        {"lumeko-trainer", ""},                       // not a path the program was started from
        {"", ""},
    };
    for (const Case& c : cases)
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
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, sizeof exe);
    std::string page = exe;
    page = page.substr(0, page.rfind('/') + 1) + "最初にお読みください.html";
    HINSTANCE r = ShellExecuteA(nullptr, nullptr, page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_GT((INT_PTR)r, 32);
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
    const std::string exe = prefix + "/bin/lumeko-trainer";
    fs::copy_file("/proc/self/exe", exe);
    ASSERT_TRUE(write_file(data + "/tap.wav", "RIFF"));
    ASSERT_TRUE(write_file(data + u8"/lessons/基本指練習.txt", "abc\r\n"));
    ASSERT_TRUE(write_file(data + u8"/最初にお読みください.html", "<p>"));
    const std::string opener = prefix + "/opener.sh";
    ASSERT_TRUE(write_file(
        opener, "#!/bin/sh\nprintf '%s' \"$1\" >\"$0.tmp\" && mv \"$0.tmp\" \"$(dirname \"$0\")/opened\"\n"));
    fs::permissions(opener, fs::perms::owner_all);
    const std::string elsewhere = make_temp_dir("elsewhere");

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv(CHILD_ENV, prefix.c_str(), 1);
        setenv("LUMEKO_OPENER", opener.c_str(), 1);
        std::string filter = std::string("--gtest_filter=") + CHILD_TEST;
        if (chdir(elsewhere.c_str()) == 0)
            execl(exe.c_str(), exe.c_str(), filter.c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the installed copy failed its checks (status " << status << ")";
    EXPECT_TRUE(fs::exists(prefix + "/checked")) << "the installed copy ran no check";
}
