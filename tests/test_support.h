// test_support.h -- small helpers shared by the test programs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Polls for up to about five seconds until done() holds; its last answer.
bool eventually(const std::function<bool()>& done);
// A fresh empty directory under the build tree, unique to this test process.
std::string make_temp_dir(const char* tag);
// Points XDG_CONFIG_HOME at a fresh directory and returns its path.
std::string use_temp_config_dir();
// Writes bytes to a file, creating or truncating it; false on failure.
bool write_file(const std::string& path, const std::string& bytes);
// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string& path);

// Starts the program as WinMain does, on the headless backend with a screen
// that leaves a client area of w x h below the menu bar, but does not enter
// its loop. Settings come from a fresh, empty
// config directory unless settings_ini is given (its text is written first).
void start_game(int w, int h, const char* settings_ini = nullptr);
// start_game, then run_until_idle: the start box answered, the first line begun.
void play_game(const char* settings_ini = nullptr, int w = 800, int h = 600);
// Runs the main loop's body until it would wait: messages dispatched, drill
// steps run, until the queue is empty and a drill step has nothing to do.
// Returns false when the quit message came.
bool run_until_idle();
// Types UTF-8 text as the desktop would and runs until idle.
void type_and_run(const char* utf8);
// The current practice line, and the bytes still to type in it.
std::string current_line();
std::string rest_of_line();
// Runs a menu command as the window procedure gets it, then runs until idle.
void command(unsigned id);
// Pixels of exactly colour c in the client area's rectangle [x0, x1) x [y0, y1).
int count_colour(int x0, int y0, int x1, int y1, uint32_t c);
