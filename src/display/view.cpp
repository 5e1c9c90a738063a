// view.cpp -- how the practice is shown, as a run starts: beginner 1, two
// characters at once, no counting game, no note band. The settings file
// changes the first two before the window opens.
#include "display/view.h"

int typing_mode = MODE_BEGINNER_1;
int lookahead = 2;
int game_kind = GAME_NONE;
int note_shown = 0;
