// engine.h -- the drill: one small step of practice at a time.
//
// Owns the drill state. idle_step runs whenever the message queue is empty and
// does at most one unit of work: show the start message and start a line, take
// one typed byte and judge it, or finish a line and start the next one.
// Commands and the keyboard's fallback begin afresh with restart_practice.
#pragma once

#include "shell/platform/win32.h"

extern int line_index;     // the current line in line_table
extern int char_index;     // index of the next byte to fetch from the line
extern char expected_char; // the byte to be typed next
extern int line_length;    // practice length of the current line
extern int typed_count;    // 0 while no line runs; 1 + bytes accepted in the line
extern int series_running; // the next line follows a result without a start message
extern int modal_flag;     // a message box or dialog is up

extern const char TAP_SOUND[];

// Shows a message box over the main window (empty caption, one OK button)
// with modal_flag set while it is up, so that the drill waits and a repaint
// leaves the focus with the box; then gives the typing focus back. Every
// message the program shows goes through here.
void show_message(const char* text);
// The same for a text in UTF-16: one that names a file whose name the
// program's code page cannot hold.
void show_message_wide(const WCHAR* text);
// Returns 1 when it did something, 0 when there was nothing to do, so that
// the main loop can wait for input instead of calling it again at once.
int idle_step();
int restart_practice();
// A character to practise has no key on the keyboard: the user is told, a
// lesson gives way to random letters and practice begins afresh.
void report_missing_key();
// Removes the first byte typed ahead from the hidden EDIT and returns it,
// sign-extended; 0 when nothing is waiting.
int take_typed_char();
