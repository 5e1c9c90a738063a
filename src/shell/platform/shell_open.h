// shell_open.h -- starting other programs (shell_open.cpp).
//
// ShellExecuteA is declared in win32.h; the file chooser (zenity.cpp) starts
// its program the same way.
#pragma once

#include <sys/types.h>

// Starts program (looked up on PATH) with argv, not waited for: standard input
// from /dev/null, standard output to out_fd (-1: the game's own), standard
// error to /dev/null when quiet, no signal blocked, SIGPIPE at its default, in
// a process group of its own. Returns 0 with *pid set, or the error number.
int spawn_program(const char* program, char* const argv[], int out_fd, bool quiet, pid_t* pid);
