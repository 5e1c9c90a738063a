// queue.h -- the thread's message queue, timers and input (queue.cpp).
//
// The program reaches the queue through win32.h (PeekMessageA, SetTimer, ...);
// the rest of the layer posts to it, runs nested modal loops on it and asks it
// for the time.
#pragma once

#include "win32.h"
#include "window.h"

#include <cstdint>

void queue_post(Window* w, UINT msg, WPARAM wparam, LPARAM lparam);
void queue_forget_window(Window* w); // drops its queued messages and timers
uint64_t queue_now_ms();
// Takes every pending backend event into the queue (or a modal overlay).
void queue_pump_events();
// True when a posted message, a due timer, a paint or a quit is waiting.
bool queue_has_work();
// Blocks until queue_has_work() may be true; presents the screen first.
void queue_wait();
// Runs the nested loop of a modal overlay until done() is true.
void queue_run_modal(bool (*done)());
