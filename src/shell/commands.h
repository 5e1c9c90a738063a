// commands.h -- what the user chooses beyond the saved settings.
//
// Owns the choices that live only for the run: the counting game, the text
// source, the note band and whether a lesson file is reread without asking.
// Read by the drill, the screens and the window procedure.
#pragma once

extern int game_kind;        // counting game: 0 off, 1 most frequent, 2 fewest
extern int text_source;      // practice text: 0 random letters, 1 a lesson file
extern int note_shown;       // the note band under the progress bar is shown
extern int reload_same_file; // reread the lesson file without the open dialog
