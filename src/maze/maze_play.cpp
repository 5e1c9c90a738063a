// maze_play.cpp -- the maze game's state; the game starts switched off.
#include "maze/maze_play.h"

int maze_mode = 0;
int maze_regen = 0;
