// maze.cpp -- the maze's cell grid and its carving.
//
// The grid is all zero until the first maze is built. A maze is grown by random
// walks that only ever step into unvisited cells, each opening one wall, and
// that start only from visited cells, so the result is a spanning tree: one
// path between any two cells and no loop.
#include "maze/maze.h"

#include <cstdlib>

MazeCell maze_grid[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
int maze_cols = MAZE_SIZE_AT_START;
int maze_rows = MAZE_SIZE_AT_START;

// The size as the grid can hold it: at least one cell, and the border ring of
// column maze_cols and row maze_rows still inside the grid. The menu offers
// only sizes well inside; this keeps any other value from writing past it.
int maze_bounded_size(int n)
{
    if (n < 2)
        return 2;
    return n < MAZE_GRID_SIZE ? n : MAZE_GRID_SIZE - 1;
}

void maze_reset()
{
    const int cols = maze_bounded_size(maze_cols), rows = maze_bounded_size(maze_rows);
    for (auto& column : maze_grid)
        for (MazeCell& c : column)
            c = MazeCell{1, 1, 1, 1, 1};
    for (int i = 0; i < cols; i++) {
        maze_grid[i][0].unvisited = 0;
        maze_grid[i][rows].unvisited = 0;
    }
    for (int j = 0; j < rows; j++) {
        maze_grid[0][j].unvisited = 0;
        maze_grid[cols][j].unvisited = 0;
    }
}

static bool has_unvisited_neighbour(int i, int j)
{
    return maze_grid[i + 1][j].unvisited || maze_grid[i][j + 1].unvisited || maze_grid[i - 1][j].unvisited ||
           maze_grid[i][j - 1].unvisited;
}

void maze_walk(int i, int j)
{
    const int cols = maze_bounded_size(maze_cols), rows = maze_bounded_size(maze_rows);
    if (i < 1 || i >= cols || j < 1 || j >= rows)
        return; // not a maze cell: nothing to walk from
    do {
        switch (rand() % 4) {
        case 0: // right
            if (i < cols - 1 && maze_grid[i + 1][j].unvisited) {
                maze_grid[i][j].wall_right = 0;
                i += 1;
                maze_grid[i][j].unvisited = 0;
                maze_grid[i][j].wall_left = 0;
            }
            break;
        case 1: // down
            if (j < rows - 1 && maze_grid[i][j + 1].unvisited) {
                maze_grid[i][j].wall_bottom = 0;
                j += 1;
                maze_grid[i][j].unvisited = 0;
                maze_grid[i][j].wall_top = 0;
            }
            break;
        case 2: // left
            if (i > 1 && maze_grid[i - 1][j].unvisited) {
                maze_grid[i][j].wall_left = 0;
                i -= 1;
                maze_grid[i][j].unvisited = 0;
                maze_grid[i][j].wall_right = 0;
            }
            break;
        default: // up
            if (j > 1 && maze_grid[i][j - 1].unvisited) {
                maze_grid[i][j].wall_top = 0;
                j -= 1;
                maze_grid[i][j].unvisited = 0;
                maze_grid[i][j].wall_bottom = 0;
            }
            break;
        }
    } while (has_unvisited_neighbour(i, j));
}

// True while some maze cell has not been reached, scanning column by column.
static bool any_unvisited(int cols, int rows)
{
    for (int i = 1; i < cols; i++)
        for (int j = 1; j < rows; j++)
            if (maze_grid[i][j].unvisited)
                return true;
    return false;
}

void maze_carve()
{
    const int cols = maze_bounded_size(maze_cols), rows = maze_bounded_size(maze_rows);
    const int entrance = rand() % (rows - 1) + 1;
    maze_grid[1][entrance].unvisited = 0;
    maze_grid[1][entrance].wall_left = 0;
    const int exit = rand() % (rows - 1) + 1;
    maze_grid[cols - 1][exit].wall_right = 0;
    maze_walk(1, entrance);
    // Walks restart from random visited cells until every cell is reached; a
    // probe on an unvisited cell is simply drawn again.
    do {
        int i = rand() % (cols - 1) + 1;
        int j = rand() % (rows - 1) + 1;
        if (!maze_grid[i][j].unvisited)
            maze_walk(i, j);
    } while (any_unvisited(cols, rows));
}
