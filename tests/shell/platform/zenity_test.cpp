// zenity_test.cpp -- the desktop's chooser run as a program, without a shell.
#include "shell/platform/zenity.h"
#include "test_support.h"

#include <unistd.h>

// Runs the chooser program to its end; the state it ended in.
static DialogState run_zenity(const FileDialogRequest& req, std::string* path, std::string* error)
{
    if (!zenity_start(req, error))
        return DialogState::Running;
    for (int i = 0; i < 10000; i++) {
        DialogState s = zenity_poll(path, error);
        if (s != DialogState::Running)
            return s;
        usleep(1000);
    }
    zenity_abort();
    return DialogState::Running;
}

TEST(Zenity, RunsTheChooserWithoutAShellAndReadsItsAnswer)
{
    const std::string dir = make_temp_dir("zenity");
    const std::string script = dir + "/fake-zenity";
    write_file(script, u8"#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT\"\n"
                       u8"[ \"$EXIT_CODE\" = 0 ] && printf '/chosen/パス $x.txt\\n'\nexit \"$EXIT_CODE\"\n");
    chmod(script.c_str(), 0755);
    setenv("LUMEKO_ZENITY", script.c_str(), 1);
    setenv("ARGS_OUT", (dir + "/args").c_str(), 1);
    FileDialogRequest req{u8"開く", {{"Txt Files(*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}}, "/data/l.txt", 0x2a};
    const struct {
        const char* code;
        DialogState state;
        std::string path;
        bool error;
    } cases[] = {
        {"0", DialogState::Chosen, u8"/chosen/パス $x.txt", false},
        {"1", DialogState::Cancelled, "", false},
        {"5", DialogState::Cancelled, "", true},
    };
    for (const auto& c : cases) {
        setenv("EXIT_CODE", c.code, 1);
        std::string path, error;
        EXPECT_EQ(run_zenity(req, &path, &error), c.state) << c.code;
        EXPECT_EQ(path + "|" + std::to_string(!error.empty()), c.path + "|" + std::to_string(c.error)) << error;
    }
    EXPECT_EQ(read_file(dir + "/args"), u8"--file-selection\n--title=開く\n--modal\n--attach=42\n--filename=/data/l.txt\n"
                                        "--file-filter=Txt Files(*.txt) | *.txt\n--file-filter=All Files(*.*) | *\n");
    setenv("LUMEKO_ZENITY", (dir + "/not-installed").c_str(), 1);
    std::string error;
    EXPECT_FALSE(zenity_start(req, &error));
    EXPECT_NE(error.find(u8"パッケージ zenity"), std::string::npos) << error;
}
