// maze.h -- the maze's cell grid.
//
// Owns maze_grid and the size of the maze in it. The maze commands set the
// size; the drill's idle step builds a new maze into the grid when the maze
// game asks for one; the maze screen draws it.
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
