// shell_open_test.cpp -- ShellExecuteA: the desktop's opener started and never waited for.
#include "shell/platform/codepage.h"
#include "test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

// Children of this process that have exited and were never collected.
static int zombie_children()
{
    int zombies = 0;
    for (const auto& e : fs::directory_iterator("/proc")) {
        std::string stat;
        std::getline(std::ifstream(e.path() / "stat"), stat);
        char state = 0;
        int ppid = 0;
        size_t paren = stat.rfind(')'); // the command name may hold spaces
        if (paren != std::string::npos && sscanf(stat.c_str() + paren + 1, " %c %d", &state, &ppid) == 2)
            zombies += state == 'Z' && ppid == getpid();
    }
    return zombies;
}

TEST(ShellOpen, ReportsAMissingFileOrOpenerAndStartsTheOpenerWithoutWaiting)
{
    std::string dir = make_temp_dir("open");
    setenv("LUMEKO_OPENER", "/bin/true", 1);
    EXPECT_EQ((INT_PTR)ShellExecuteA(nullptr, nullptr, (dir + "/none.html").c_str(), nullptr, nullptr, 1), SE_ERR_FNF);
    ASSERT_TRUE(write_file(dir + "/page.html", "<p>"));
    setenv("LUMEKO_OPENER", (dir + "/no-such-opener").c_str(), 1);
    EXPECT_EQ((INT_PTR)ShellExecuteA(nullptr, nullptr, (dir + "/page.html").c_str(), nullptr, nullptr, 1),
              SE_ERR_NOASSOC);

    // The opener waits for a "go" that the test gives only after ShellExecuteA
    // has returned, so a call that waited for the opener would record "blocked".
    std::string script = dir + "/opener.sh";
    ASSERT_TRUE(write_file(script, "#!/bin/sh\nd=$(dirname \"$0\"); i=0\n"
                                   "while [ ! -e \"$d/go\" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done\n"
                                   "if [ -e \"$d/go\" ]; then printf '%s' \"$1\"; else printf blocked; fi >\"$d/tmp\"\n"
                                   "mv \"$d/tmp\" \"$d/out\"\n"));
    fs::permissions(script, fs::perms::owner_all);
    setenv("LUMEKO_OPENER", script.c_str(), 1);
    std::string page = dir + u8"/最初にお読みください.html";
    ASSERT_TRUE(write_file(page, "<p>"));

    HINSTANCE r = ShellExecuteA(nullptr, nullptr, utf8_to_cp932(page).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_GT((INT_PTR)r, 32);
    ASSERT_TRUE(write_file(dir + "/go", ""));
    ASSERT_TRUE(eventually([&] { return fs::exists(dir + "/out"); }));
    EXPECT_EQ(read_file(dir + "/out"), page);
    EXPECT_TRUE(eventually([] { return zombie_children() == 0; })) << "the finished opener was collected";
}
