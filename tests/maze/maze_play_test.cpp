// maze_play_test.cpp -- the maze on screen, and the maze game's idle step,
// repaint and mouse buttons.
#include "maze/maze_play.h"
#include "test_support.h"

#include "maze/maze.h"

constexpr uint32_t GREEN = 0x00FF00;

static int green_in(int x0, int y0, int x1, int y1) { return count_colour(x0, y0, x1, y1, GREEN); }
static int green_at(int x, int y) { return headless_pixel(x, y) == GREEN; }

// Checks every wall's middle pixel against the grid for the current client
// size: green where it stands, black where it is open.
static void expect_grid_on_screen()
{
    const int a = client_h / (maze_rows + 4), x0 = (client_w - a * maze_cols) / 2;
    for (int i = 1; i < maze_cols; i++)
        for (int j = 1; j < maze_rows; j++) {
            const MazeCell& c = maze_grid[i][j];
            const int l = x0 + a * i, t = a * (j + 2);
            ASSERT_EQ((Ints{green_at(l + a / 2, t), green_at(l + a / 2, t + a), green_at(l, t + a / 2),
                            green_at(l + a, t + a / 2)}),
                      (Ints{c.wall_top == 1, c.wall_bottom == 1, c.wall_left == 1, c.wall_right == 1}))
                << "walls top, bottom, left, right of " << i << "," << j;
        }
}

// The maze as bytes, to compare whole.
static std::string grid() { return std::string((const char*)maze_grid, sizeof maze_grid); }

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
    const int in_top = 43 * (entrance + 2), out_top = 43 * (exit + 2);
    // Each side open over its gap only; the top and bottom rows stay closed.
    EXPECT_EQ((Ints{green_in(212, 129, 213, 388), green_in(470, 129, 471, 388),
                    green_in(212, in_top + 1, 213, in_top + 43), green_in(470, out_top + 1, 471, out_top + 43),
                    green_in(212, 129, 471, 130), green_in(212, 387, 471, 388)}),
              (Ints{259 - 42, 259 - 42, 0, 0, 259, 259}));
}

TEST(MazeGame, TwoRightClicksBuildOneMazeTheLeftButtonDoesNothingAResizeRedraws)
{
    start_game(800, 600);
    headless_click(3, 400, 300); // outside the maze game the right button asks for nothing
    run_until_idle();
    EXPECT_EQ(maze_regen, 0);
    enter_maze(9);
    ASSERT_EQ(maze_regen, 0);
    expect_grid_on_screen();
    const std::string before = grid();
    headless_click(3, 400, 300);
    headless_click(3, 400, 300);
    MSG msg; // dispatched without the idle step that builds
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ((Ints{maze_regen, idle_step(), idle_step()}), (Ints{1, 1, 0})); // asked for, built, no second one
    EXPECT_NE(grid(), before);
    expect_grid_on_screen();

    // A left click in the maze game draws nothing of the practice screen over it.
    const std::vector<uint32_t> pixels = client_pixels();
    headless_click(1, 400, 300);
    run_until_idle();
    EXPECT_TRUE(client_pixels() == pixels);

    // A resize redraws the same maze at the new size.
    const std::string shown = grid();
    const int old_h = client_h;
    headless_resize(640, 520);
    run_until_idle();
    EXPECT_NE(client_h, old_h);
    EXPECT_EQ(grid(), shown);
    expect_grid_on_screen();
}
