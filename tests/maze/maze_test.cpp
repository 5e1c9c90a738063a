// maze_test.cpp -- maze carving at every offered size, the maze on screen, and
// the maze game's idle step, repaint and mouse buttons.
#include "maze/maze.h"
#include "test_support.h"

#include <cstdlib>

#include "maze/maze_play.h"

constexpr uint32_t GREEN = 0x00FF00;
constexpr int OFFERED_SIZES[] = {7, 9, 11, 13, 15, 17, 19, 21, 31, 41}; // menu size + 1

// Walks the open walls from cell [1][1]; returns how many cells it reaches.
static int reachable_cells(int n)
{
    std::vector<char> seen((size_t)n * n, 0);
    std::vector<std::pair<int, int>> todo{{1, 1}};
    seen[(size_t)(1 * n + 1)] = 1;
    int count = 0;
    while (!todo.empty()) {
        auto [i, j] = todo.back();
        todo.pop_back();
        count++;
        const MazeCell& c = maze_grid[i][j];
        const std::pair<int, int> next[4] = {{i + 1, j}, {i, j + 1}, {i - 1, j}, {i, j - 1}};
        const int open[4] = {!c.wall_right, !c.wall_bottom, !c.wall_left, !c.wall_top};
        for (int d = 0; d < 4; d++) {
            auto [x, y] = next[d];
            if (open[d] && x >= 1 && x < n && y >= 1 && y < n && !seen[(size_t)(x * n + y)]) {
                seen[(size_t)(x * n + y)] = 1;
                todo.push_back({x, y});
            }
        }
    }
    return count;
}

// Checks the carved maze of size n (cells 1 .. n - 1 both ways): every cell
// reached, walls agreeing on both sides, n - 1 opened inner walls for n cells
// (with everything reachable, a tree), one opening left, one right, none at
// top or bottom, and the border ring untouched.
static void expect_perfect_maze(int n)
{
    const int cells = (n - 1) * (n - 1);
    int opened = 0, left_openings = 0, right_openings = 0;
    for (int i = 1; i < n; i++)
        for (int j = 1; j < n; j++) {
            const MazeCell& c = maze_grid[i][j];
            ASSERT_EQ(c.unvisited, 0) << "cell " << i << "," << j << " of size " << n;
            if (i < n - 1) {
                ASSERT_EQ(c.wall_right, maze_grid[i + 1][j].wall_left);
                opened += !c.wall_right;
            }
            if (j < n - 1) {
                ASSERT_EQ(c.wall_bottom, maze_grid[i][j + 1].wall_top);
                opened += !c.wall_bottom;
            }
            left_openings += i == 1 && !c.wall_left;
            right_openings += i == n - 1 && !c.wall_right;
            if (j == 1) {
                ASSERT_EQ(c.wall_top, 1);
            }
            if (j == n - 1) {
                ASSERT_EQ(c.wall_bottom, 1);
            }
        }
    EXPECT_EQ(opened, cells - 1) << "size " << n;
    EXPECT_EQ(left_openings, 1) << "size " << n;
    EXPECT_EQ(right_openings, 1) << "size " << n;
    EXPECT_EQ(reachable_cells(n), cells) << "size " << n;
    for (int k = 0; k <= n; k++)
        for (const MazeCell* b : {&maze_grid[0][k], &maze_grid[n][k], &maze_grid[k][0], &maze_grid[k][n]})
            ASSERT_TRUE(b->wall_top && b->wall_bottom && b->wall_left && b->wall_right) << "border ring of size " << n;
}

TEST(MazeCarve, EveryOfferedSizeIsASpanningTreeWithOneWayInAndOut)
{
    srand(7);
    // Largest first, so each smaller maze is carved over the remains of a
    // larger one; each size many times for different shapes.
    for (int s = 9; s >= 0; s--)
        for (int round = 0; round < 25; round++) {
            maze_cols = maze_rows = OFFERED_SIZES[s];
            maze_reset();
            maze_carve();
            expect_perfect_maze(OFFERED_SIZES[s]);
            if (HasFatalFailure())
                return;
        }
    maze_cols = maze_rows = 500; // beyond the grid: carved inside it
    maze_reset();
    maze_carve();
    expect_perfect_maze(MAZE_GRID_SIZE - 1);
}

TEST(MazeCarve, EntranceAndExitRowsVaryIndependently)
{
    srand(11);
    maze_cols = maze_rows = 7;
    int seen[7][7] = {};
    for (int round = 0; round < 600; round++) {
        maze_reset();
        maze_carve();
        int in = 0, out = 0;
        for (int j = 1; j < 7; j++) {
            in += j * !maze_grid[1][j].wall_left;
            out += j * !maze_grid[6][j].wall_right;
        }
        seen[in][out]++;
    }
    for (int r = 1; r < 7; r++)
        for (int e = 1; e < 7; e++)
            EXPECT_GT(seen[r][e], 0) << "entrance row " << r << ", exit row " << e;
}

static int green_in(int x0, int y0, int x1, int y1) { return count_colour(x0, y0, x1, y1, GREEN); }

TEST(MazeDraw, SixBySixAt640x480LandsOnTheGrid)
{
    play_game();
    clear_screen();
    client_w = 640, client_h = 480; // a = 480 / 11 = 43, x0 = (640 - 301) / 2 = 169
    maze_cols = maze_rows = 7;
    maze_reset(); // every wall standing: the full grid of lines
    draw_maze();
    // Seven horizontal and seven vertical lines over x 212 .. 470, y 129 .. 387,
    // both ends included, crossing at 49 points.
    EXPECT_EQ(green_in(0, 0, 800, 600), 7 * 259 + 7 * 259 - 49);
    EXPECT_EQ(green_in(212, 129, 471, 388), 7 * 259 + 7 * 259 - 49);
    for (int k = 0; k <= 6; k++) {
        EXPECT_EQ(green_in(212, 129 + 43 * k, 471, 130 + 43 * k), 259) << "row line " << k;
        EXPECT_EQ(green_in(212 + 43 * k, 129, 213 + 43 * k, 388), 259) << "column line " << k;
    }
    EXPECT_EQ(headless_pixel(470, 387), GREEN); // the outline's last corner is closed

    // A carved maze: the outline has exactly two gaps, a cell's side each.
    srand(5);
    clear_screen();
    maze_reset();
    maze_carve();
    draw_maze();
    int entrance = 0, exit = 0;
    for (int j = 1; j < 7; j++) {
        entrance += j * !maze_grid[1][j].wall_left;
        exit += j * !maze_grid[6][j].wall_right;
    }
    const int left_side = green_in(212, 129, 213, 388), right_side = green_in(470, 129, 471, 388);
    EXPECT_EQ(left_side, 259 - 42);
    EXPECT_EQ(right_side, 259 - 42);
    const int entrance_top = 43 * (entrance + 2), exit_top = 43 * (exit + 2);
    EXPECT_EQ(green_in(212, entrance_top + 1, 213, entrance_top + 43), 0);
    EXPECT_EQ(green_in(470, exit_top + 1, 471, exit_top + 43), 0);
    EXPECT_EQ(green_in(212, 129, 471, 130), 259); // top and bottom rows stay closed
    EXPECT_EQ(green_in(212, 387, 471, 388), 259);
}

// Checks every wall's middle pixel against the grid for the current client
// size: green where it stands, black where it is open.
static void expect_grid_on_screen()
{
    const int a = client_h / (maze_rows + 4), x0 = (client_w - a * maze_cols) / 2;
    for (int i = 1; i < maze_cols; i++)
        for (int j = 1; j < maze_rows; j++) {
            const MazeCell& c = maze_grid[i][j];
            const int l = x0 + a * i, t = a * (j + 2);
            ASSERT_EQ(headless_pixel(l + a / 2, t) == GREEN, c.wall_top == 1) << i << "," << j;
            ASSERT_EQ(headless_pixel(l + a / 2, t + a) == GREEN, c.wall_bottom == 1) << i << "," << j;
            ASSERT_EQ(headless_pixel(l, t + a / 2) == GREEN, c.wall_left == 1) << i << "," << j;
            ASSERT_EQ(headless_pixel(l + a, t + a / 2) == GREEN, c.wall_right == 1) << i << "," << j;
        }
}

// Starts the game and enters the maze game as the size commands do.
static void enter_maze(int size_plus_one)
{
    play_game();
    maze_cols = maze_rows = size_plus_one;
    maze_mode = 1;
    maze_regen = 1;
    run_until_idle();
}

TEST(MazeGame, TwoRightClicksBuildOneMazeTheLeftButtonDoesNothingAResizeRedraws)
{
    start_game(800, 600);
    headless_click(3, 400, 300); // outside the maze game the right button asks for nothing
    run_until_idle();
    EXPECT_EQ(maze_regen, 0);
    enter_maze(9);
    EXPECT_EQ(maze_regen, 0);
    expect_grid_on_screen();
    MazeCell before[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
    std::memcpy(before, maze_grid, sizeof before);
    headless_click(3, 400, 300);
    headless_click(3, 400, 300);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(maze_regen, 1);
    EXPECT_EQ(idle_step(), 1); // the next maze
    EXPECT_EQ(idle_step(), 0); // and no second one
    EXPECT_NE(std::memcmp(before, maze_grid, sizeof before), 0);
    expect_grid_on_screen();

    // A left click in the maze game draws nothing of the practice screen over it.
    const std::vector<uint32_t> pixels = client_pixels();
    headless_click(1, 400, 300);
    run_until_idle();
    EXPECT_TRUE(client_pixels() == pixels);

    // A resize redraws the same maze at the new size.
    std::memcpy(before, maze_grid, sizeof before);
    const int old_h = client_h;
    headless_resize(640, 520);
    run_until_idle();
    EXPECT_NE(client_h, old_h);
    EXPECT_EQ(std::memcmp(before, maze_grid, sizeof before), 0);
    expect_grid_on_screen();
}
