// maze_play.h -- the maze game: whether it is on, and whether a new maze is due.
//
// Owns maze_mode and maze_regen. The maze size commands switch the game on and
// ask for a maze, "back to typing" switches it off, the right mouse button asks
// for the next maze, and the drill's idle step builds it.
#pragma once

extern int maze_mode;  // the maze game is on
extern int maze_regen; // the next idle step builds and draws a new maze
