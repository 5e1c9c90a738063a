// game_bench.cpp -- CPU cost of typing and repainting on the headless backend.
//
// Starts the game as WinMain does, with a 1920 x 1080 client area and five
// characters of look-ahead, once per typing mode (1 and 3), each in a process
// of its own so that the program's global state starts clean. Measures one
// accepted keystroke and one full repaint; prints figures, asserts no time.
// Usage: game_bench [Google Benchmark flags]
#include "display/geometry.h"
#include "drill/engine.h"
#include "shell/main_window.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

constexpr int CLIENT_W = 1920;
constexpr int CLIENT_H = 1080;
constexpr int LOOKAHEAD = 5;
constexpr int MODES[] = {1, 3};

static std::string config_dir;

// Settings come from the settings file in a fresh XDG config directory, as a
// user's would.
static bool write_settings(int mode)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && tmp[0] ? tmp : "/tmp") + "/lumeko-bench-XXXXXX";
    if (!mkdtemp(&templ[0]))
        return false;
    config_dir = templ;
    setenv("XDG_CONFIG_HOME", config_dir.c_str(), 1);
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

// The program's whole redraw of the practice screen, and the compose and
// present of the whole client area that must follow it.
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
    if (presents < (uint64_t)state.iterations() || pixels == 0)
        state.SkipWithError("a redraw presented nothing");
    set_present_counters(state, presents, pixels);
}

// A repaint as the desktop asks for one: the whole client invalidated and
// erased, WM_PAINT dispatched, the screen composed and presented.
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
    if (pixels < (uint64_t)state.iterations() * CLIENT_W * CLIENT_H)
        state.SkipWithError("a paint did not present the whole client area");
    set_present_counters(state, presents, pixels);
}

// Starts the game for one mode and leaves it in the middle of a line.
static bool start_game(int mode)
{
    if (!write_settings(mode)) {
        std::fprintf(stderr, "game_bench: cannot write the settings file\n");
        return false;
    }
    headless_set_screen(CLIENT_W, CLIENT_H);
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "game_bench: start-up failed\n");
        return false;
    }
    run_until_idle(); // the start message is answered and the first line starts
    if (client_w != CLIENT_W || client_h != CLIENT_H || typing_mode != mode || lookahead != LOOKAHEAD ||
        !line_running()) {
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

static int run_mode(int mode)
{
    if (!start_game(mode))
        return 1;
    std::string m = "/mode:" + std::to_string(mode);
    benchmark::RegisterBenchmark(("KeystrokeStep" + m).c_str(), bm_keystroke_step)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("KeystrokeFull" + m).c_str(), bm_keystroke_full)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("FullRedraw" + m).c_str(), bm_full_redraw)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("PaintMessage" + m).c_str(), bm_paint_message)->Unit(benchmark::kMicrosecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove_settings();
    return 0;
}

int main(int argc, char** argv)
{
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
