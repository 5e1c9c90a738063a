// game_bench.cpp -- CPU cost of typing and repainting on the headless backend.
//
// Starts the game as WinMain does, with a 1920 x 1080 client area (or the size
// given) and five characters of look-ahead, once per typing mode (1 and 3),
// each in a process of its own so that the program's global state starts
// clean. Measures one accepted keystroke and one full repaint; with --soak, types
// that many keys instead and prints CPU time per key and resident memory as it
// goes. Prints figures, asserts no time.
// Usage: game_bench [--size=WxH] [--soak=KEYS] [Google Benchmark flags]
#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "shell/main_window.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/windows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

constexpr int LOOKAHEAD = 5;
constexpr int MODES[] = {1, 3};
constexpr int SOAK_BLOCK = 1000; // keys per line of the soak's report

static int client_w_wanted = 1920;
static int client_h_wanted = 1080;
static int soak_keys = 0;

static std::string config_dir;

// Settings come from the settings file in a fresh XDG config directory, as a
// user's would; the records of the lines typed go there too.
static bool write_settings(int mode)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && tmp[0] ? tmp : "/tmp") + "/lumeko-bench-XXXXXX";
    if (!mkdtemp(&templ[0]))
        return false;
    config_dir = templ;
    setenv("XDG_CONFIG_HOME", config_dir.c_str(), 1);
    setenv("XDG_DATA_HOME", config_dir.c_str(), 1); // the records of the lines typed here
    std::string path = config_dir + "/LumekoTrainer.ini";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::fprintf(f, "[set]\r\ntypemode=%d\r\nsakiyomi=%d\r\n", mode, LOOKAHEAD);
    return std::fclose(f) == 0;
}

static void remove_settings()
{
    std::remove((config_dir + "/LumekoTrainer.ini").c_str());
    std::remove((config_dir + "/lumeko-trainer/records.csv").c_str());
    rmdir((config_dir + "/lumeko-trainer").c_str());
    rmdir(config_dir.c_str());
}

// Hands every queued message to its window without running the drill.
static void dispatch_queued()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static bool line_running() { return typed_count >= 1 && typed_count <= line_length; }

// The main loop's body until it would wait: messages, then drill steps. The
// last PeekMessageA composes and presents what the steps drew. Message boxes
// are answered with Return by the headless backend. With stop_at_line_end, it
// returns instead of running the step that finishes a completed line.
static void run_until_idle(bool stop_at_line_end = false)
{
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if ((stop_at_line_end && !line_running()) || !idle_step()) {
            return;
        }
    }
}

// When the last key finished the line, closes its result box and starts the
// next line; the caller keeps this outside its timing.
static void next_line_if_done()
{
    if (!line_running())
        run_until_idle();
}

// The byte to type next as UTF-8 text; "" when it is not plain ASCII (random
// lines never hold anything else).
static std::string expected_text()
{
    unsigned char c = (unsigned char)expected_char;
    return (c >= 0x20 && c < 0x7F) ? std::string(1, (char)c) : std::string();
}

static void set_present_counters(benchmark::State& state, uint64_t presents, uint64_t pixels)
{
    state.counters["presents"] = benchmark::Counter((double)presents, benchmark::Counter::kAvgIterations);
    state.counters["px_presented"] = benchmark::Counter((double)pixels, benchmark::Counter::kAvgIterations);
}

// One accepted key: the drill step that takes the byte from the EDIT, judges
// it and draws the result. The text event and its dispatch to the EDIT, and the
// compose that follows, stay outside the timing; the pixels the compose then
// presents are counted.
static void bm_keystroke_step(benchmark::State& state)
{
    uint64_t presents = 0, pixels = 0;
    for (auto _ : state) {
        state.PauseTiming();
        next_line_if_done();
        std::string text = expected_text();
        if (text.empty()) {
            state.SkipWithError("the next byte is not plain ASCII");
            break;
        }
        headless_text(text.c_str());
        dispatch_queued();
        int before = typed_count;
        state.ResumeTiming();
        int did = idle_step();
        state.PauseTiming();
        if (did != 1 || typed_count != before + 1) {
            state.SkipWithError("the typed byte was not accepted");
            break;
        }
        uint64_t c0 = headless_present_count(), p0 = headless_present_pixels();
        dispatch_queued(); // composes and presents
        if (headless_present_count() == c0) {
            state.SkipWithError("an accepted byte changed nothing on screen");
            break;
        }
        presents += headless_present_count() - c0;
        pixels += headless_present_pixels() - p0;
        state.ResumeTiming();
    }
    set_present_counters(state, presents, pixels);
}

// One accepted key from end to end: key-down, text and key-up events as the
// desktop sends them, their messages, the drill step and the compose of what
// changed. Only the change of line is outside the timing.
static void bm_keystroke_full(benchmark::State& state)
{
    uint64_t presents = 0, pixels = 0;
    for (auto _ : state) {
        if (!line_running()) {
            state.PauseTiming();
            next_line_if_done();
            state.ResumeTiming();
        }
        std::string text = expected_text();
        int before = typed_count;
        uint64_t c0 = headless_present_count(), p0 = headless_present_pixels();
        headless_type(text.c_str());
        run_until_idle(true);
        presents += headless_present_count() - c0;
        pixels += headless_present_pixels() - p0;
        if (text.empty() || typed_count != before + 1) {
            state.SkipWithError("the typed key was not accepted");
            break;
        }
    }
    set_present_counters(state, presents, pixels);
}

// The program's whole redraw of the practice screen, and the compose that
// follows it: the redraw draws what the screen already shows, so the compose
// compares and presents nothing (px_presented says so).
static void bm_full_redraw(benchmark::State& state)
{
    uint64_t presents = 0, pixels = 0;
    for (auto _ : state) {
        uint64_t c0 = headless_present_count(), p0 = headless_present_pixels();
        full_redraw();
        dispatch_queued();
        presents += headless_present_count() - c0;
        pixels += headless_present_pixels() - p0;
    }
    set_present_counters(state, presents, pixels);
}

// A repaint as the desktop asks for one: the whole client invalidated and
// erased, WM_PAINT dispatched, the screen composed and presented. What the
// paint draws is what the screen already shows, so only the comparison of the
// two is left of the present; px_presented says what went out all the same.
static void bm_paint_message(benchmark::State& state)
{
    uint64_t presents = 0, pixels = 0;
    for (auto _ : state) {
        uint64_t c0 = headless_present_count(), p0 = headless_present_pixels();
        InvalidateRect(main_window, nullptr, TRUE);
        run_until_idle();
        presents += headless_present_count() - c0;
        pixels += headless_present_pixels() - p0;
    }
    set_present_counters(state, presents, pixels);
}

// The same repaint after the desktop lost the window's content: the whole
// client is composed and presented whatever the screen held.
static void bm_paint_exposed(benchmark::State& state)
{
    uint64_t presents = 0, pixels = 0;
    for (auto _ : state) {
        uint64_t c0 = headless_present_count(), p0 = headless_present_pixels();
        headless_expose();
        InvalidateRect(main_window, nullptr, TRUE);
        run_until_idle();
        presents += headless_present_count() - c0;
        pixels += headless_present_pixels() - p0;
    }
    if (pixels < (uint64_t)state.iterations() * client_w * client_h)
        state.SkipWithError("an exposed paint did not present the whole window");
    set_present_counters(state, presents, pixels);
}

// Starts the game for one mode and leaves it in the middle of a line.
static bool start_game(int mode)
{
    if (!write_settings(mode)) {
        std::fprintf(stderr, "game_bench: cannot write the settings file\n");
        return false;
    }
    headless_set_screen(client_w_wanted, client_h_wanted + GetSystemMetrics(SM_CYMENU)); // the bar sits above the client
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "game_bench: start-up failed\n");
        return false;
    }
    run_until_idle(); // the start message is answered and the first line starts
    if (client_w != client_w_wanted || client_h != client_h_wanted ||
        typing_mode != mode || lookahead != LOOKAHEAD || !line_running()) {
        std::fprintf(stderr, "game_bench: got client %dx%d, mode %d, look-ahead %d, typed_count %d\n", client_w,
                     client_h, typing_mode, lookahead, typed_count);
        return false;
    }
    // A few bytes in, so that the typed line and the progress bar show something.
    for (int i = 0; i < 3; i++) {
        headless_text(expected_text().c_str());
        run_until_idle();
    }
    return true;
}

static double cpu_ms()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static long rss_kib()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kib = -1;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld", &kib) == 1)
            break;
    if (f)
        std::fclose(f);
    return kib;
}

// Types soak_keys accepted keys from end to end, the changes of line and their
// result boxes included, and prints per block of keys the CPU time per key,
// the pixels presented per key and the resident memory at its end.
static int run_soak(int mode)
{
    std::printf("# soak, mode %d, client %dx%d: block keys, CPU us/key, px/key, VmRSS KiB, boxes, sounds\n", mode,
                client_w, client_h);
    for (int done = 0; done < soak_keys;) {
        int block = std::min(SOAK_BLOCK, soak_keys - done);
        uint64_t p0 = headless_present_pixels();
        double t0 = cpu_ms();
        for (int i = 0; i < block; i++) {
            std::string text = expected_text();
            int before = typed_count;
            headless_type(text.c_str());
            run_until_idle();
            if (text.empty() || (typed_count != before + 1 && typed_count != 1)) {
                std::fprintf(stderr, "game_bench: key %d was not accepted\n", done + i);
                return 1;
            }
        }
        double us = (cpu_ms() - t0) * 1e3 / block;
        done += block;
        std::printf("%d %.1f %.0f %ld %zu %zu\n", done, us, (double)(headless_present_pixels() - p0) / block, rss_kib(),
                    headless_box_log().size(), headless_sounds().size());
        std::fflush(stdout);
    }
    return 0;
}

static int run_mode(int mode)
{
    if (!start_game(mode))
        return 1;
    if (soak_keys > 0) {
        int status = run_soak(mode);
        remove_settings();
        return status;
    }
    std::string m = "/mode:" + std::to_string(mode);
    benchmark::RegisterBenchmark(("KeystrokeStep" + m).c_str(), bm_keystroke_step)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("KeystrokeFull" + m).c_str(), bm_keystroke_full)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("FullRedraw" + m).c_str(), bm_full_redraw)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("PaintMessage" + m).c_str(), bm_paint_message)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("PaintExposed" + m).c_str(), bm_paint_exposed)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove_settings();
    return 0;
}

// Takes --size=WxH and --soak=KEYS out of the arguments; false on a bad value.
static bool take_own_flags(int* argc, char** argv)
{
    int kept = 1;
    for (int i = 1; i < *argc; i++) {
        const char* a = argv[i];
        if (std::strncmp(a, "--size=", 7) == 0) {
            if (std::sscanf(a + 7, "%dx%d", &client_w_wanted, &client_h_wanted) != 2 || client_w_wanted < 320 ||
                client_h_wanted < 200 || client_w_wanted > 8192 || client_h_wanted > 8192)
                return false;
        } else if (std::strncmp(a, "--soak=", 7) == 0) {
            soak_keys = std::atoi(a + 7);
            if (soak_keys <= 0)
                return false;
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
    return true;
}

int main(int argc, char** argv)
{
    if (!take_own_flags(&argc, argv)) {
        std::fprintf(stderr, "usage: game_bench [--size=WxH] [--soak=KEYS] [benchmark flags]\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    int status_all = 0;
    for (int mode : MODES) {
        std::fflush(stdout);
        pid_t pid = fork();
        if (pid == 0)
            _exit(run_mode(mode));
        int status = 1;
        if (pid < 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            status_all = 1;
    }
    return status_all;
}
