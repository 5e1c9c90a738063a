// menu_bench.cpp -- a menu opened and closed on the headless backend.
//
// Starts the game as WinMain does (client area 1920 x 1080 below the bar,
// typing mode 1, look-ahead 5), closes the start box, then runs CYCLES times
// F10, Down (the first menu opens), Escape (it closes), Escape. For the key
// that opens and the key that closes it prints the CPU time from the key
// event to the end of its present (the menu loop's wait comes right after
// the present) and the pixels presented. CPU time, not wall time, so that a
// busy machine changes little. Usage: menu_bench [CYCLES]
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/startup.h"
#include "drill/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

constexpr int KEYS_PER_CYCLE = 4;
constexpr int KEY_CODES[KEYS_PER_CYCLE] = {VK_F10, VK_DOWN, VK_ESCAPE, VK_ESCAPE};

static int cycles = 200;
static int sent = 0; // keys sent so far
static double t_sent = 0;
static uint64_t px_sent = 0;
static std::vector<double> open_us, close_us;
static std::vector<uint64_t> open_px, close_px;

static double cpu_us()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

static void send_next()
{
    if (sent >= cycles * KEYS_PER_CYCLE)
        return;
    t_sent = cpu_us();
    px_sent = headless_present_pixels();
    headless_key(KEY_CODES[sent % KEYS_PER_CYCLE]);
    sent++;
}

// Called when the menu loop would wait: the last key has been handled and
// its pixels presented.
static void on_wait()
{
    double t = cpu_us();
    int key = (sent - 1) % KEYS_PER_CYCLE;
    if (key == 1) {
        open_us.push_back(t - t_sent);
        open_px.push_back(headless_present_pixels() - px_sent);
    } else if (key == 2) {
        close_us.push_back(t - t_sent);
        close_px.push_back(headless_present_pixels() - px_sent);
    }
    send_next();
}

static void run_until_idle()
{
    LoopPass pass;
    do {
        pass = run_pending();
    } while (pass == LoopPass::Dispatched || pass == LoopPass::Stepped);
}

template <class T>
static T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? T() : v[v.size() / 2];
}

int main(int argc, char** argv)
{
    if (argc > 1)
        cycles = std::max(1, std::atoi(argv[1]));
    std::string dir = "/tmp/lumeko-menu-bench-XXXXXX";
    if (!mkdtemp(&dir[0]))
        return 1;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    std::string ini = dir + "/LumekoTrainer.ini";
    if (FILE* f = std::fopen(ini.c_str(), "wb")) {
        std::fputs("[set]\r\ntypemode=1\r\nsakiyomi=5\r\n", f);
        std::fclose(f);
    }
    headless_set_screen(1920, 1080 + GetSystemMetrics(SM_CYMENU));
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "menu_bench: start-up failed\n");
        std::remove(ini.c_str());
        rmdir(dir.c_str());
        return 1;
    }
    run_until_idle(); // the start box is answered with Return
    for (int c = 0; c < cycles; c++) {
        headless_set_wait_hook(on_wait);
        send_next(); // F10; the rest of the cycle is sent from the menu loop's waits
        run_until_idle();
        headless_set_wait_hook(nullptr);
    }
    std::remove(ini.c_str());
    rmdir(dir.c_str());
    if ((int)open_us.size() != cycles || (int)close_us.size() != cycles) {
        std::fprintf(stderr, "menu_bench: %zu opens and %zu closes seen, %d expected\n", open_us.size(),
                     close_us.size(), cycles);
        return 1;
    }
    std::printf("menu open:  CPU %.0f us median (key event to presented), %llu px presented, %d cycles\n",
                median(open_us), (unsigned long long)median(open_px), cycles);
    std::printf("menu close: CPU %.0f us median (key event to presented), %llu px presented\n", median(close_us),
                (unsigned long long)median(close_px));
    return 0;
}
