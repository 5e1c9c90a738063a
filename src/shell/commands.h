// commands.h -- the menu bar and what each of its commands does.
//
// Owns the choices that live only for the run (the counting game, the text
// source, the note band, whether a lesson file is reread without asking) and
// the menu bar. build_menu_bar runs once at start-up; the window procedure
// hands every WM_COMMAND to run_command. Read by the drill and the screens.
#pragma once

#include "shell/platform/win32.h"

extern int game_kind;        // counting game: 0 off, 1 most frequent, 2 fewest
extern int text_source;      // practice text: TEXT_SOURCE_RANDOM, _LESSON or _WEAK
extern int note_shown;       // the note band under the progress bar is shown
extern int reload_same_file; // reread the lesson file without the open dialog
extern HMENU menu_bar;       // the main window's menu bar

constexpr int TEXT_SOURCE_RANDOM = 0; // random capitals
constexpr int TEXT_SOURCE_LESSON = 1; // a lesson file
constexpr int TEXT_SOURCE_WEAK = 2;   // random letters drawn more often where the records show weak keys

// Command identifiers, as the menu items send them.
enum : unsigned {
    CMD_MAZE_OFF = 200, // back to typing
    CMD_MAZE_6 = 201,
    CMD_MAZE_8 = 202,
    CMD_LINE_10 = 301, // random letter lines of 10, 30, 60 letters
    CMD_LINE_30 = 302,
    CMD_LINE_60 = 303,
    CMD_RESTART = 450,
    CMD_OPEN_LESSON = 451,
    CMD_EXIT = 500,
    CMD_LOOKAHEAD_1 = 501, // 501 .. 505: characters shown at once
    CMD_LOOKAHEAD_5 = 505,
    CMD_NOTE_TOGGLE = 600,
    CMD_BEGINNER_1 = 601,
    CMD_BEGINNER_2 = 602,
    CMD_ADVANCED = 650,
    CMD_COUNT_MOST = 701,
    CMD_COUNT_FEWEST = 702,
    CMD_MAZE_10 = 703, // 703 .. 710: the larger mazes
    CMD_MAZE_40 = 710,
    CMD_SOUND_OFF = 750,
    CMD_SOUND_ON = 751,
    CMD_HELP = 800,
    CMD_RECORDS_CHART = 900, // the records menu, in its order
    CMD_RECORDS_KEYS = 901,
    CMD_RECORDS_WEAK = 902,
    CMD_RECORDS_OPEN = 903,
    CMD_SIZE_SMALL = 2001, // 2001 .. 2004: character size 1 .. 4
    CMD_SIZE_HUGE = 2004,
};

extern const char MAZE_GUARD_TEXT[];
extern const char MAZE_HINT_TEXT[];
extern const char HELP_PAGE_NAME[]; // the help page's name, without its extension
extern const char NO_RECORDS_TEXT[]; // the records file is asked for before it exists

// Builds menu_bar and its menus; the main window is created with it.
void build_menu_bar();
// Carries out one command; identifiers that are not commands do nothing.
void run_command(unsigned id);
