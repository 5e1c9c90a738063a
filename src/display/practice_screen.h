// practice_screen.h -- the characters to find and the line typed so far.
//
// The character to type next is drawn in green in a square cell at its own
// place, the following ones (look-ahead) in darker colours at theirs; a typed
// character's cell is blacked out. The typed part of the line runs along the
// bottom, above the keyboard when one is shown. Drawn by the drill after every
// step and by the repaint, which shows the same picture again.
#pragma once

constexpr int TYPED_SCRATCH_SIZE = 1024; // the typed part kept for drawing, terminator included

int draw_practice_screen();
int draw_typed_line();
// Top-left corner in pixels of the cell of byte i of the current line.
void practice_cell(int i, int* x, int* y);
