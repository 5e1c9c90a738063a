// maze.h -- the maze's cell grid, and the carving of a new maze into it.
//
// Owns maze_grid and the size of the maze in it. The maze commands set the
// size; the drill's idle step resets the grid and carves a new maze when the
// maze game asks for one; the maze screen draws it.
#pragma once

// One cell of the grid; every field holds 0 or 1. A wall between two
// neighbouring cells is kept by both of them.
struct MazeCell {
    int unvisited;   // not yet reached by the carving (0 for the border ring)
    int wall_top;    // toward row - 1
    int wall_bottom; // toward row + 1
    int wall_left;   // toward column - 1
    int wall_right;  // toward column + 1
};

constexpr int MAZE_GRID_SIZE = 100;    // columns and rows of maze_grid
constexpr int MAZE_SIZE_AT_START = 10; // maze_cols and maze_rows before any size is chosen

// Indexed [column][row]. The maze cells are columns 1 .. maze_cols - 1 and
// rows 1 .. maze_rows - 1; the cells around them form a border ring.
extern MazeCell maze_grid[MAZE_GRID_SIZE][MAZE_GRID_SIZE];
extern int maze_cols, maze_rows; // the chosen size plus one

// A maze size as the grid can hold it, border ring included (2 .. 99).
int maze_bounded_size(int n);
// Every wall standing and every cell unvisited, except the border ring of the
// current size, which the carving treats as visited.
void maze_reset();
// Carves a complete maze into a freshly reset grid: a spanning tree of the
// cells, entered through the left side of one cell of column 1 and left
// through the right side of one cell of the last column.
void maze_carve();
// One random walk from a visited cell into unvisited ones until it is stuck;
// used by maze_carve.
void maze_walk(int column, int row);
