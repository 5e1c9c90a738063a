// startup.h -- the program's start-up and its one loop.
//
// Owns nothing. WinMain reads the settings, creates the main window and the
// hidden EDIT that queues typed bytes (shell/windows.h), prepares the first
// practice text, starts the tick timer and runs the main loop, which hands
// every message to its window and runs the drill whenever the queue is empty.
#pragma once

#include "shell/platform/win32.h"

// Start-up up to the shown window, without the loop; false when the window
// class cannot be registered. WinMain is this and run_main_loop.
bool start_up(HINSTANCE instance, LPSTR cmd_line, int show);
// Runs until the quit message; returns 1.
int run_main_loop();
