// records_bench.cpp -- what the records cost, on the headless backend.
//
//   records_bench history DIR ROWS   writes a history of ROWS rows (30 random
//                                    letters each, over the 400 days to today) to
//                                    DIR/lumeko-trainer/records.csv
//   records_bench read DIR           reads it from scratch, 15 times
//   records_bench screens DIR ORDER [PNG]
//                                    draws each records screen at 1920 x 1080
//                                    from it, 50 times, in the ORDER given
//                                    ("chart,keys" or "keys,chart": the first
//                                    screen of a run pays for the pages of the
//                                    framebuffer it is the first to touch);
//                                    PNG: a folder for the last frames
//   records_bench result-box DIR N   the step that finishes a line, from the last
//                                    key to the result box waiting, N lines, every
//                                    other one with its row written and flushed
//                                    into DIR and the others with the records
//                                    folder unusable (the row not written at all)
//   records_bench first-frame        CPU time and bytes read up to the first
//                                    frame, with XDG_DATA_HOME as given
// Prints medians and ranges in milliseconds; asserts no time.
// bench/records.sh runs them all as bench/RESULTS.md reports them.
#include "display/geometry.h"
#include "drill/engine.h"
#include "drill/results.h"
#include "records/chart_screen.h"
#include "records/history.h"
#include "records/key_screen.h"
#include "records/record_row.h"
#include "shell/main_window.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "text/store.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

constexpr int READS = 15;
constexpr int DRAWS = 50;
constexpr int HISTORY_DAYS = 400;

static double now_ms()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static double cpu_ms()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void report(const char* what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    std::printf("%-44s median %8.3f ms  min %8.3f  p90 %8.3f  max %8.3f  (n %zu)\n", what, v[v.size() / 2], v.front(),
                v[v.size() * 9 / 10], v.back(), v.size());
}

static unsigned next_random(unsigned* seed) { return *seed = *seed * 1103515245u + 12345u, (*seed >> 16) & 0x7FFF; }

// Rows as the game writes them: a mode, 30 letters and their times, some misses.
static int write_history(const char* dir, int rows)
{
    std::string folder = std::string(dir) + "/lumeko-trainer";
    mkdir(dir, 0755);
    mkdir(folder.c_str(), 0755);
    FILE* f = std::fopen((folder + "/records.csv").c_str(), "wb");
    if (!f)
        return 1;
    std::fputs(RECORDS_FILE_START, f);
    unsigned seed = 7;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int today = day_number(now.wYear, now.wMonth, now.wDay);
    static char row[ROW_SIZE];
    CharRecord chars[30];
    char text[31] = {};
    for (int r = 0; r < rows; r++) {
        RecordFacts facts{};
        int day = today - HISTORY_DAYS + 1 + (int)((long long)r * HISTORY_DAYS / rows), y, m, d;
        date_of_day(day, &y, &m, &d);
        facts.finished = SYSTEMTIME{(WORD)y, (WORD)m, 0, (WORD)d, 12, 0, 0, 0};
        facts.utc_offset_min = 540;
        facts.mode = 1 + r % 3;
        facts.source = "random";
        int total = 0;
        for (int i = 0; i < 30; i++) {
            text[i] = (char)('A' + next_random(&seed) % 25);
            int wrong = next_random(&seed) % 20 == 0;
            chars[i] = CharRecord{300 + next_random(&seed) % 1200u, wrong, wrong, {(char)('A' + next_random(&seed) % 25)}};
            total += (int)chars[i].ms;
            facts.misses += wrong;
        }
        facts.text = text;
        facts.text_bytes = facts.chars = 30;
        facts.ticks = total / 50;
        facts.per_char = chars;
        facts.char_count = 30;
        std::fwrite(row, 1, (size_t)format_record_row(row, ROW_SIZE, facts), f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

static void start_game_headless()
{
    std::string config = "/tmp/lumeko-records-bench-XXXXXX";
    if (!mkdtemp(&config[0]))
        std::exit(1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    headless_set_screen(1920, 1080 + GetSystemMetrics(SM_CYMENU));
    static HINSTANCE__ instance;
    char cmd[] = "";
    start_up(&instance, cmd, SW_SHOWDEFAULT);
}

// The main loop's body until it would wait.
static void run_until_idle()
{
    MSG msg;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (!idle_step()) {
            return;
        }
    }
}

static int read_history()
{
    start_game_headless(); // the key table and the case tables the sums use
    std::vector<double> t, cpu;
    for (int i = 0; i < READS; i++) {
        history_forget();
        double t0 = now_ms(), c0 = cpu_ms();
        int rows = history_refresh();
        t.push_back(now_ms() - t0);
        cpu.push_back(cpu_ms() - c0);
        if (i == 0)
            std::printf("%d practice rows read\n", rows);
    }
    report("history read from scratch", t);
    report("history read from scratch, CPU", cpu);
    return 0;
}

// Each time from the practice screen, as a user comes to it from the menu;
// the first time in a run (fonts not yet rendered at these sizes) apart.
static void time_screen(const char* name, void (*draw)(), const char* png_dir)
{
    std::vector<double> drawn, shown;
    for (int i = 0; i <= DRAWS; i++) {
        full_redraw();
        headless_screen();
        double t0 = now_ms();
        draw();
        double t1 = now_ms();
        headless_screen(); // composes and presents what changed
        double t2 = now_ms();
        if (i == 0) {
            std::printf("%-44s %8.3f ms, drawn and presented %8.3f ms\n", (std::string(name) + ", first time").c_str(),
                        t1 - t0, t2 - t0);
            continue;
        }
        drawn.push_back(t1 - t0);
        shown.push_back(t2 - t0);
    }
    report((std::string(name) + ", drawn").c_str(), drawn);
    report((std::string(name) + ", drawn and presented").c_str(), shown);
    if (png_dir)
        headless_write_png((std::string(png_dir) + "/" + name + ".png").c_str(), true);
}

static int draw_screens(const std::string& order, const char* png_dir)
{
    start_game_headless();
    run_until_idle();
    double t0 = now_ms();
    int rows = history_refresh();
    std::printf("%d practice rows read once (%.1f ms); client %d x %d\n", rows, now_ms() - t0, client_w, client_h);
    for (const std::string& name : {order.substr(0, order.find(',')), order.substr(order.find(',') + 1)})
        time_screen(name.c_str(), name == "keys" ? draw_key_screen : draw_chart_screen, png_dir);
    return 0;
}

static double box_at = 0;
static void note_box()
{
    if (box_at == 0)
        box_at = now_ms();
    headless_key(VK_RETURN);
}

static std::string expected_text() { return std::string(1, (char)(expected_char | 0x20)); }

static int result_box(const char* dir, int lines)
{
    start_game_headless();
    run_until_idle();
    std::string unusable = std::string(dir) + "/not-a-folder";
    FILE* f = std::fopen(unusable.c_str(), "wb");
    if (f)
        std::fclose(f);
    headless_set_wait_hook(note_box);
    std::vector<double> with_row, without_row;
    for (int line = 0; line < lines + 2; line++) {
        bool write = line % 2 == 0;
        setenv("XDG_DATA_HOME", write ? dir : (unusable + "/data").c_str(), 1);
        while (typed_count < line_length) {
            headless_type(expected_text().c_str());
            run_until_idle();
        }
        headless_type(expected_text().c_str());
        box_at = 0;
        double t0 = now_ms();
        run_until_idle(); // the last key's step and the one that finds the line complete, up to its box
        if (line >= 2) // the first two: the unusable folder's one message, and warming up
            (write ? with_row : without_row).push_back(box_at - t0);
    }
    report("last key to result box, row written", with_row);
    report("last key to result box, no row", without_row);
    return 0;
}

static long long bytes_read()
{
    FILE* f = std::fopen("/proc/self/io", "r");
    char line[128];
    long long n = -1;
    while (f && std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "rchar: %lld", &n) == 1)
            break;
    if (f)
        std::fclose(f);
    return n;
}

static int first_frame()
{
    start_game_headless();
    MSG msg;
    while (headless_present_count() == 0) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            headless_screen();
        }
    }
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    std::printf("%.3f %lld\n", ts.tv_sec * 1e3 + ts.tv_nsec / 1e6, bytes_read());
    return 0;
}

int main(int argc, char** argv)
{
    std::string what = argc > 1 ? argv[1] : "";
    if (argc > 2 && what != "first-frame")
        setenv("XDG_DATA_HOME", argv[2], 1);
    if (what == "history" && argc > 3)
        return write_history(argv[2], std::atoi(argv[3]));
    if (what == "read" && argc > 2)
        return read_history();
    if (what == "screens" && argc > 3)
        return draw_screens(argv[3], argc > 4 ? argv[4] : nullptr);
    if (what == "result-box" && argc > 3)
        return result_box(argv[2], std::atoi(argv[3]));
    if (what == "first-frame")
        return first_frame();
    std::fprintf(stderr, "usage: records_bench history DIR ROWS | read DIR | screens DIR ORDER [PNG] | result-box DIR LINES | first-frame\n");
    return 2;
}
