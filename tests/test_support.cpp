// test_support.cpp -- files, the game started headless, its screen and its waits, for tests.
#include "test_support.h"

#include "drill/results.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
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

std::string settings_file() { return std::string(std::getenv("XDG_CONFIG_HOME")) + "/LumekoTrainer.ini"; }

std::string saved_setting(const char* key)
{
    char value[32];
    GetPrivateProfileStringA("set", key, "-", value, sizeof value, "LumekoTrainer.ini");
    return value;
}

std::string use_temp_data_dir()
{
    std::string dir = make_temp_dir(u8"data-café-한국어"); // a name Shift-JIS cannot hold
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    return dir;
}

std::string records_csv() { return std::string(std::getenv("XDG_DATA_HOME")) + "/lumeko-trainer/records.csv"; }

void start_game(int w, int h, const char* settings_ini)
{
    use_temp_data_dir();
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
    for (int i = 0; i < 1000000; i++) {
        LoopPass pass = run_pending();
        if (pass == LoopPass::Quit)
            return false;
        if (pass == LoopPass::Idle)
            return true;
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

void type_char(char c)
{
    const char one[2] = {(char)std::tolower((unsigned char)c), 0};
    type_and_run(one);
}

void command(unsigned id)
{
    SendMessageA(main_window, WM_COMMAND, id, 0);
    run_until_idle();
}

bool box_shown(const std::string& utf8)
{
    return std::find(headless_box_log().begin(), headless_box_log().end(), utf8) != headless_box_log().end();
}

void set_layout(int w, int h, int cell, int key_height, int mode, int ahead)
{
    client_w = w;
    client_h = h;
    char_size = cell;
    key_h = key_height;
    typing_mode = mode;
    lookahead = ahead;
}

int count_colour(int x0, int y0, int x1, int y1, uint32_t c)
{
    return count_in(headless_client(), IRect{x0, y0, x1, y1}, c);
}

std::vector<uint32_t> client_pixels()
{
    Surface c = headless_client();
    std::vector<uint32_t> px;
    for (int y = 0; y < c.h; y++)
        px.insert(px.end(), c.row(y), c.row(y) + c.w);
    return px;
}

int count_in(const Surface& s, const IRect& r, uint32_t c)
{
    const IRect in = rect_intersect(r, s.bounds());
    int n = 0;
    for (int y = in.y0; y < in.y1; y++)
        n += (int)std::count(s.row(y) + in.x0, s.row(y) + in.x1, c);
    return n;
}

IRect extent(const Surface& s, const std::function<bool(uint32_t)>& ink, const IRect& r)
{
    const IRect in = rect_intersect(r, s.bounds());
    IRect e{};
    for (int y = in.y0; y < in.y1; y++)
        for (int x = in.x0; x < in.x1; x++)
            if (ink(s.row(y)[x]))
                e = e.empty() ? IRect{x, y, x + 1, y + 1}
                              : IRect{std::min(e.x0, x), std::min(e.y0, y), std::max(e.x1, x + 1), y + 1};
    return e;
}

IRect extent(const Surface& s, uint32_t c, const IRect& r)
{
    return extent(
        s, [c](uint32_t p) { return p == c; }, r);
}

bool screen_shows_client(const IRect& r)
{
    const Surface screen = headless_screen(), client = headless_client();
    const int top = screen.h - client.h;
    const IRect in = rect_intersect(r, IRect{0, top, client.w, screen.h});
    for (int y = in.y0; y < in.y1; y++)
        if (!std::equal(screen.row(y) + in.x0, screen.row(y) + in.x1, client.row(y - top) + in.x0))
            return false;
    return true;
}

uint32_t rgb(COLORREF c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

LineState line_state() { return LineState{current_line(), char_index, typed_count, line_ticks, expected_char}; }

void PrintTo(const LineState& s, std::ostream* os)
{
    *os << "line \"" << s.line << "\" at " << s.index << ", typed " << s.typed << ", ticks " << s.ticks
        << ", expecting " << (int)s.expected;
}

std::map<char, int> scatter_tally()
{
    std::map<char, int> n;
    for (char c : count_shown)
        n[c]++;
    return n;
}

std::string scatter_places() { return std::string((const char*)count_pos, COUNT_SHOWN * sizeof count_pos[0]); }
std::string scatter() { return std::string(count_shown, COUNT_SHOWN) + scatter_places(); }

std::string write_opener(const std::string& dir)
{
    const std::string script = dir + "/opener.sh";
    write_file(script, "#!/bin/sh\nprintf '%s' \"$1\" >\"$0.tmp\" && mv \"$0.tmp\" \"$(dirname \"$0\")/opened\"\n");
    chmod(script.c_str(), 0755);
    return script;
}

bool run_copy_of_self(const std::string& exe, const char* name,
                      const std::vector<std::pair<const char*, std::string>>& env, const std::string& cwd)
{
    std::filesystem::copy_file("/proc/self/exe", exe);
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [key, value] : env)
            setenv(key, value.c_str(), 1);
        const std::string filter = std::string("--gtest_filter=") + name;
        if (cwd.empty() || chdir(cwd.c_str()) == 0)
            execl(exe.c_str(), exe.c_str(), filter.c_str(), (char*)nullptr);
        _exit(127);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::function<void()> press(int vk)
{
    return [vk] { headless_key(vk); };
}

static WaitScript* script = nullptr;

WaitScript::WaitScript(std::vector<std::function<void()>> s, std::function<void()> after)
    : steps(std::move(s)), then(std::move(after))
{
    script = this;
    headless_set_wait_hook(on_wait);
}

WaitScript::~WaitScript()
{
    headless_set_wait_hook(nullptr);
    script = nullptr;
}

void WaitScript::on_wait()
{
    size_t n = script->done++;
    if (n < script->steps.size())
        script->steps[n]();
    else
        script->then();
}
