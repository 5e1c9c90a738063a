// test_support.h -- helpers shared by the test programs, and the headers of the
// game state that the tests driving the whole game read and set.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "shell/commands.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/windows.h"
#include "text/store.h"

// Polls for up to about five seconds until done() holds; its last answer.
bool eventually(const std::function<bool()>& done);
// A fresh empty directory under the build tree, unique to this test process.
std::string make_temp_dir(const char* tag);
// Points XDG_CONFIG_HOME at a fresh directory and returns its path.
std::string use_temp_config_dir();
// Points XDG_DATA_HOME, where the records file lives, at a fresh directory
// and returns its path; start_game does so for every game it starts.
// records_csv is the records file in it.
std::string use_temp_data_dir();
std::string records_csv();
// Writes bytes to a file, creating or truncating it; false on failure.
bool write_file(const std::string& path, const std::string& bytes);
// Reads a whole file; "" when it cannot be read.
std::string read_file(const std::string& path);
// The game's settings file in the config directory, and one key of its [set]
// section as the program reads it ("-" when it is missing).
std::string settings_file();
std::string saved_setting(const char* key);

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
// Types one byte (a letter in lower case) and runs until idle.
void type_char(char c);
// The current practice line, and the bytes still to type in it.
std::string current_line();
std::string rest_of_line();
// Runs a menu command as the window procedure gets it, then runs until idle.
void command(unsigned id);
// Whether a message box ever showed exactly this UTF-8 text.
bool box_shown(const std::string& utf8);
// Sets the layout the placement code reads without starting the game.
void set_layout(int w, int h, int cell, int key_height, int mode, int ahead);

// Pixels of exactly colour c in the client area's rectangle [x0, x1) x [y0, y1).
int count_colour(int x0, int y0, int x1, int y1, uint32_t c);
// Every pixel of the client area, row by row.
std::vector<uint32_t> client_pixels();

// A step that presses a key, as a user answering a box or working a menu.
std::function<void()> press(int vk);
// While it lives, the n-th time the program would wait (in a message box, a
// menu, a chooser or the main loop) runs steps[n], and each wait after the
// last step runs `then`. Steps may read the screen and inject input.
class WaitScript
{
  public:
    explicit WaitScript(std::vector<std::function<void()>> steps, std::function<void()> then = press(VK_RETURN));
    ~WaitScript();
    size_t waits() const { return done; }

  private:
    static void on_wait();
    std::vector<std::function<void()>> steps;
    std::function<void()> then;
    size_t done = 0;
};
