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
// What one pass of the main loop did.
enum class LoopPass {
    Dispatched, // a message went to its window
    Stepped,    // the queue was empty and a drill step did something
    Idle,       // the queue was empty and the drill had nothing to do
    Quit,       // the quit message came: the loop ends
};
// One pass of the main loop's body: the next waiting message is dispatched;
// when none waits, one drill step runs. Never blocks.
LoopPass run_pending();
// Runs until the quit message; returns 1.
int run_main_loop();
