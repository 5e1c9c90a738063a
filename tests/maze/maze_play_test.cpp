// maze_play_test.cpp -- the maze on screen, and the maze game's idle step,
// repaint and mouse buttons.
#include "maze/maze_play.h"
#include "test_support.h"

#include "maze/maze.h"

constexpr uint32_t GREEN = 0x00FF00;

static int green_in(int x0, int y0, int x1, int y1) { return count_colour(x0, y0, x1, y1, GREEN); }

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
