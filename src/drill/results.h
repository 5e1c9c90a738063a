// results.h -- line timing, the result and start texts, the title count.
//
// Owns line_ticks, the 50 ms ticks of the current line, which the window
// procedure counts. Builds the texts the drill shows in its message boxes and
// keeps the count of accepted bytes in the window title.
#pragma once

extern int line_ticks;

// The result of a line of n bytes that took t ticks, for random letters or for
// a lesson line with its note. Written into out (size bytes, always
// terminated); returns out.
char* format_result_text(char* out, int size, int n, int t, int lesson, const char* note);
// The time of t ticks as the result box shows it, "s.d", cut to tenths.
void format_line_time(char* out, int size, int t);
// The speed of n bytes in t ticks as the result box shows it: "%f", through
// float for a lesson; "---" for a line finished before the first tick.
void format_line_speed(char* out, int size, int n, int t, int lesson);
// The text shown before practice starts: the fixed start text for random
// letters, the lesson's introduction otherwise, cut to fit out.
char* format_start_text(char* out, int size, int lesson, const char* trailer);
// Shows typed_count in the main window's title.
int show_typed_count();
