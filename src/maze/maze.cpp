// maze.cpp -- the maze's cell grid; all zero until the first maze is built.
#include "maze/maze.h"

MazeCell maze_grid[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
int maze_cols = MAZE_SIZE_AT_START;
int maze_rows = MAZE_SIZE_AT_START;
