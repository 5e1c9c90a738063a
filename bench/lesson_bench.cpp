// lesson_bench.cpp -- loading the largest lesson the loader reads, and starting after it.
//
// Writes a lesson of 65,520 lines (each 30 letters and a 10-character Japanese
// note) and an introduction, starts the game as WinMain does on the headless
// backend (a client area of 1920 x 1080 below the menu bar), then measures: the lesson reread by name
// (file read, cut, every byte placed), and a restart in lesson mode (the same
// load, the cleared screen, the start box with the introduction, the first
// line drawn). Prints the process's peak resident memory before and after the
// first load. Prints figures, asserts no time.
// Usage: lesson_bench [Google Benchmark flags]
#include "drill/engine.h"
#include "shell/commands.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/startup.h"
#include "text/lesson.h"
#include "text/store.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

// Peak resident memory of this process so far, in KiB (VmHWM).
static long peak_rss_kib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

static std::string write_big_lesson()
{
    std::string text;
    const char* letters = "asdfghjkl;qwertyuiopzxcvbnm,./";
    for (int j = 0; j < LESSON_MAX_LINES; j++) {
        text.append(letters, 30);
        text += "{ホームポジションの練習\r\n";
    }
    text += "\r\n大きな練習ファイルです。\r\n";
    char path[] = "/tmp/lesson-bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0 || write(fd, text.data(), text.size()) != (ssize_t)text.size())
        std::abort();
    close(fd);
    return path;
}

static void bm_load(benchmark::State& state)
{
    for (auto _ : state) {
        reload_same_file = 1;
        load_lesson();
    }
    state.counters["lines"] = line_count;
}

static void bm_restart(benchmark::State& state)
{
    for (auto _ : state) {
        text_source = 1;
        reload_same_file = 1;
        typed_count = 1;
        series_running = 0;
        restart_practice();
    }
    state.counters["lines"] = line_count;
}

BENCHMARK(bm_load)->Name("Lesson65520/load")->Unit(benchmark::kMillisecond);
BENCHMARK(bm_restart)->Name("Lesson65520/restart")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    const std::string path = write_big_lesson();
    headless_set_screen(1920, 1080 + GetSystemMetrics(SM_CYMENU)); // the bar sits above the client
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "lesson_bench: start-up failed\n");
        return 1;
    }
    std::snprintf(lesson_path, LESSON_PATH_SIZE, "%s", path.c_str());
    text_source = 1;
    const long before = peak_rss_kib();
    reload_same_file = 1;
    load_lesson();
    if (line_count != LESSON_MAX_LINES) {
        std::fprintf(stderr, "lesson_bench: the lesson gave %d lines, not %d\n", line_count, LESSON_MAX_LINES);
        unlink(path.c_str());
        return 1;
    }
    std::printf("lesson of %d lines: peak RSS %ld KiB before the first load, %ld KiB after\n", line_count, before,
                peak_rss_kib());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    unlink(path.c_str());
    return 0;
}
