// commands.h -- the menu bar and what each of its commands does.
//
// Owns the choices that live only for the run (the text source, whether a
// lesson file is reread without asking) and the menu bar; the counting game
// and the note band it switches live in display/view.h. build_menu_bar runs
// once at start-up; the window procedure hands every WM_COMMAND to run_command.
#pragma once

#include "shell/platform/win32.h"

extern int text_source;      // practice text: TEXT_SOURCE_RANDOM, _LESSON or _WEAK
extern int reload_same_file; // reread the lesson file without the open dialog
extern HMENU menu_bar;       // the main window's menu bar

constexpr int TEXT_SOURCE_RANDOM = 0; // random capitals
constexpr int TEXT_SOURCE_LESSON = 1; // a lesson file
constexpr int TEXT_SOURCE_WEAK = 2;   // random letters drawn more often where the records show weak keys

// Command identifiers, as the menu items send them. What each item is called
// and what it sets stand in the menu table (commands.cpp).
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
    CMD_LOOKAHEAD_2 = 502,
    CMD_LOOKAHEAD_3 = 503,
    CMD_LOOKAHEAD_4 = 504,
    CMD_LOOKAHEAD_5 = 505,
    CMD_NOTE_TOGGLE = 600,
    CMD_BEGINNER_1 = 601,
    CMD_BEGINNER_2 = 602,
    CMD_ADVANCED = 650,
    CMD_COUNT_MOST = 701,
    CMD_COUNT_FEWEST = 702,
    CMD_MAZE_10 = 703, // 703 .. 710: the larger mazes
    CMD_MAZE_12 = 704,
    CMD_MAZE_14 = 705,
    CMD_MAZE_16 = 706,
    CMD_MAZE_18 = 707,
    CMD_MAZE_20 = 708,
    CMD_MAZE_30 = 709,
    CMD_MAZE_40 = 710,
    CMD_SOUND_OFF = 750,
    CMD_SOUND_ON = 751,
    CMD_HELP = 800,
    CMD_RECORDS_CHART = 900, // the records menu, in its order
    CMD_RECORDS_KEYS = 901,
    CMD_RECORDS_WEAK = 902,
    CMD_RECORDS_OPEN = 903,
    CMD_SIZE_SMALL = 2001, // 2001 .. 2004: character size 1 .. 4
    CMD_SIZE_MEDIUM = 2002,
    CMD_SIZE_LARGE = 2003,
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
