// side_games_bench.cpp -- CPU cost of the maze and of a counting-game scatter.
//
// Starts the game as WinMain does on the headless backend with a 1920 x 1080
// client area below the menu bar, then measures: a new 40 x 40 maze as the maze game's idle step
// makes it (cleared screen, reset, carve, drawing), with the carving and the
// drawing also alone; and one counting-game scatter as the practice screen
// makes it (cleared screen, letters built and placed, drawing), for both
// kinds, with the building alone. Prints figures, asserts no time.
// Usage: side_games_bench [Google Benchmark flags]
#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "maze/maze.h"
#include "maze/maze_play.h"
#include "display/count_screen.h"
#include "placement/count_game.h"
#include "shell/commands.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "text/store.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

constexpr int CLIENT_W = 1920;
constexpr int CLIENT_H = 1080;
constexpr int MAZE_40 = 41; // the largest size offered, plus its border

static void run_until_idle()
{
    LoopPass pass;
    do {
        pass = run_pending();
    } while (pass == LoopPass::Dispatched || pass == LoopPass::Stepped);
}

static void bm_maze_new(benchmark::State& state)
{
    maze_cols = maze_rows = MAZE_40;
    maze_mode = 1;
    for (auto _ : state) {
        maze_regen = 1;
        maze_step();
    }
}

static void bm_maze_carve(benchmark::State& state)
{
    maze_cols = maze_rows = MAZE_40;
    for (auto _ : state) {
        maze_reset();
        maze_carve();
    }
}

static void bm_maze_draw(benchmark::State& state)
{
    maze_cols = maze_rows = MAZE_40;
    maze_reset();
    maze_carve();
    for (auto _ : state)
        draw_maze();
}

// The counting game as its commands set it up, in the middle of a line.
static void enter_counting(int kind)
{
    maze_mode = 0;
    typing_mode = 3;
    size_flag = 3;
    char_size = client_h / 10;
    lookahead = 1;
    game_kind = kind;
    restart_practice();
    run_until_idle();
}

static void bm_scatter_new(benchmark::State& state)
{
    enter_counting((int)state.range(0));
    for (auto _ : state)
        draw_count_screen(); // outside a repaint: a new scatter, then drawn
}

static void bm_scatter_build(benchmark::State& state)
{
    enter_counting((int)state.range(0));
    for (auto _ : state)
        place_count_letters(expected_char, COUNT_SHOWN, grid_cols, grid_rows);
}

static bool start_game()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = std::string(tmp && tmp[0] ? tmp : "/tmp") + "/lumeko-bench-XXXXXX";
    if (!mkdtemp(&dir[0]))
        return false;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    headless_set_screen(CLIENT_W, CLIENT_H + GetSystemMetrics(SM_CYMENU)); // the menu bar sits above the client
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT))
        return false;
    run_until_idle();
    rmdir(dir.c_str());
    if (client_w != CLIENT_W || client_h != CLIENT_H) {
        std::fprintf(stderr, "side_games_bench: got client %dx%d\n", client_w, client_h);
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!start_game()) {
        std::fprintf(stderr, "side_games_bench: start-up failed\n");
        return 1;
    }
    benchmark::RegisterBenchmark("Maze40/new", bm_maze_new)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Maze40/carve", bm_maze_carve)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Maze40/draw", bm_maze_draw)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Scatter/new", bm_scatter_new)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Scatter/build", bm_scatter_build)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
