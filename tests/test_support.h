// test_support.h -- helpers shared by the test programs, and the headers of the
// game state that the tests driving the whole game read and set.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "placement/count_game.h"
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
// Pixels of exactly colour c within r on s (r clipped to s).
int count_in(const Surface& s, const IRect& r, uint32_t c);
// The smallest rectangle holding every pixel within r on s that `ink` accepts
// (or that is exactly colour c); empty when there is none.
constexpr IRect EVERYWHERE{0, 0, 1 << 15, 1 << 15};
IRect extent(const Surface& s, const std::function<bool(uint32_t)>& ink, const IRect& r = EVERYWHERE);
IRect extent(const Surface& s, uint32_t c, const IRect& r = EVERYWHERE);
// Whether the composed screen shows, all over r (screen pixels), the client
// pixel beneath it; the client sits at the screen's bottom.
bool screen_shows_client(const IRect& r = EVERYWHERE);
// A COLORREF (0x00BBGGRR) as a pixel holds it (0x00RRGGBB).
uint32_t rgb(COLORREF c);
using Ints = std::vector<int>;

// The line in progress, compared whole to see that something left it as it was.
struct LineState {
    std::string line;
    int index, typed, ticks;
    char expected;
    bool operator==(const LineState& o) const
    {
        return line == o.line && index == o.index && typed == o.typed && ticks == o.ticks && expected == o.expected;
    }
};
LineState line_state();
void PrintTo(const LineState& s, std::ostream* os);

// How often each byte shows in the counting game's scatter; the scatter's
// letters and their places as bytes, to compare whole; its places alone.
std::map<char, int> scatter_tally();
std::string scatter();
std::string scatter_places();

// Writes <dir>/opener.sh, an opener that records the path it is handed in
// <dir>/opened (renamed into place whole); returns the script's path.
std::string write_opener(const std::string& dir);
// Copies this test program to exe and runs the copy on its test `name` alone,
// from the folder cwd when given, with the variables env set; whether the
// copy exited 0. The test tells the copy by one of those variables.
bool run_copy_of_self(const std::string& exe, const char* name,
                      const std::vector<std::pair<const char*, std::string>>& env, const std::string& cwd = "");

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
