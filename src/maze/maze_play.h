// maze_play.h -- the maze game: drawing the maze, building the next one.
//
// Owns maze_mode and maze_regen. The maze size commands switch the game on and
// ask for a maze, "back to typing" switches it off, the right mouse button asks
// for the next maze, and the drill's idle step builds and draws it. The repaint
// draws the maze in the grid again at the size of the moment.
#pragma once

#include "shell/platform/win32.h"

extern int maze_mode;  // the maze game is on
extern int maze_regen; // the next idle step builds and draws a new maze

constexpr COLORREF MAZE_WALL_COLOR = RGB(0, 255, 0);

// Draws the standing walls of maze_grid over the client area, square cells
// of client_h / (maze_rows + 4) pixels, the maze centred a half cell right of
// the middle. Does not clear first.
void draw_maze();
// One wall: a solid green line one pixel wide from (x1, y1) to (x2, y2), both
// end points included. Walls are horizontal or vertical.
void draw_wall_line(HDC device, int x1, int y1, int x2, int y2);
// The maze game's idle step: builds and draws a new maze when one was asked
// for. Returns 1 when it did, 0 when there was nothing to do.
int maze_step();
// The repaint in the maze game: the client size afresh, a black screen and
// the maze in the grid drawn at that size. No other layout value changes.
void maze_repaint();
// The right mouse button: asks for the next maze while the game is on.
void maze_request_next();
