// line_log.h -- what happens in the line being typed, for its record.
//
// Owns the per-byte times and wrong keys of the current line and the line's
// own clock: milliseconds of the monotonic clock less the time the practice
// was put aside (the maze game, a records screen). The drill reports each
// line start, accepted byte and wrong byte, and asks for the row when the
// line is finished; the shell pauses and resumes the clock.
#pragma once

// A line begins: its first byte is now the one to type.
void line_log_start();
// The byte at index of the line was accepted: its time ends and the next
// byte's begins. An index outside the line begins the time afresh.
void line_log_accept(int index);
// A byte typed while the byte at index was expected did not match it.
void line_log_miss(int index, int byte);
// The practice is put aside and taken up again; the time between is nobody's.
// Pausing twice, or resuming without a pause, changes nothing.
void line_log_pause();
void line_log_resume();
// The milliseconds the line's clock has run (the time not put aside).
unsigned long long line_clock_ms();

// The line just finished: appends its row to the records file (see
// record_file.h), from the drill's state at the moment its result is shown.
void line_log_finish();
