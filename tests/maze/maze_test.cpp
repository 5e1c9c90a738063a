// maze_test.cpp -- maze carving at every offered size.
#include "maze/maze.h"
#include "test_support.h"

#include <cstdlib>

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
            ASSERT_TRUE((j > 1 || c.wall_top == 1) && (j < n - 1 || c.wall_bottom == 1)) << "cell " << i << "," << j;
        }
    EXPECT_EQ((Ints{opened, left_openings, right_openings, reachable_cells(n)}), (Ints{cells - 1, 1, 1, cells}))
        << "opened walls, openings left and right, cells reached of size " << n;
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

TEST(MazeCarve, EntranceAndExitRowsVaryIndependentlyAndADeadEndWalkDrawsOnce)
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

    // In a finished maze no cell has an unvisited neighbour: a walk from one
    // draws one direction, and changes nothing.
    const std::string before((const char*)maze_grid, sizeof maze_grid);
    srand(3);
    rand();
    const int second = rand();
    srand(3);
    maze_walk(3, 3);
    EXPECT_EQ(rand(), second);
    EXPECT_EQ(std::string((const char*)maze_grid, sizeof maze_grid), before);
}
