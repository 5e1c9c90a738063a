// commands.cpp -- the run-time choices; every run starts with random letters.
#include "shell/commands.h"

int game_kind = 0;
int text_source = 0;
int note_shown = 0;
int reload_same_file = 0;
