// test_support.cpp -- temporary directories and whole-file helpers for tests.
#include "test_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

bool eventually(const std::function<bool()>& done)
{
    for (int i = 0; i < 250 && !done(); i++)
        usleep(20000);
    return done();
}

std::string make_temp_dir(const char* tag)
{
    std::string base = std::string(LUMEKO_BINARY_DIR) + "/test-tmp";
    mkdir(base.c_str(), 0755);
    std::string templ = base + "/" + tag + "-XXXXXX";
    char* made = mkdtemp(&templ[0]);
    return made ? std::string(made) : std::string();
}

std::string use_temp_config_dir()
{
    std::string dir = make_temp_dir("config");
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    return dir;
}

bool write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

#include "drill/engine.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/startup.h"
#include "text/store.h"

void start_game(int w, int h, const char* settings_ini)
{
    std::string dir = use_temp_config_dir();
    if (settings_ini)
        write_file(dir + "/LumekoTrainer.ini", settings_ini);
    headless_set_screen(w, h + GetSystemMetrics(SM_CYMENU));
    static HINSTANCE__ instance;
    char cmd[] = "";
    start_up(&instance, cmd, SW_SHOWDEFAULT);
}

void play_game(const char* settings_ini, int w, int h)
{
    start_game(w, h, settings_ini);
    run_until_idle();
}

bool run_until_idle()
{
    MSG msg;
    for (int i = 0; i < 1000000; i++) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return false;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!idle_step()) {
            return true;
        }
    }
    return true;
}

void type_and_run(const char* utf8)
{
    headless_type(utf8);
    run_until_idle();
}

std::string current_line() { return std::string(line_table[line_index]); }

std::string rest_of_line()
{
    std::string line = current_line();
    int from = char_index > 0 ? char_index - 1 : 0;
    return from < (int)line.size() ? line.substr((size_t)from) : std::string();
}

void command(unsigned id)
{
    SendMessageA(main_window, WM_COMMAND, id, 0);
    run_until_idle();
}

int count_colour(int x0, int y0, int x1, int y1, uint32_t c)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += headless_pixel(x, y) == c;
    return n;
}
