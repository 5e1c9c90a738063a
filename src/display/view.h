// view.h -- how the practice is shown: typing mode, look-ahead, counting game,
// note band.
//
// Owns typing_mode, lookahead, game_kind and note_shown. The settings file
// gives typing_mode and lookahead at start-up and the menu commands change all
// four (both in shell/); the screens, the placement and the drill read them.
#pragma once

// typing_mode: the keyboard is drawn in both beginner modes, and in beginner 1
// the next key is lit; the advanced mode gives the keyboard's band to the
// practice area.
constexpr int MODE_BEGINNER_1 = 1;
constexpr int MODE_BEGINNER_2 = 2;
constexpr int MODE_ADVANCED = 3; // intermediate and advanced

// game_kind: the counting game shows the letter to type hidden among 26, as
// the most frequent or the least frequent of them.
constexpr int GAME_NONE = 0;
constexpr int GAME_COUNT_MOST = 1;
constexpr int GAME_COUNT_FEWEST = 2;

constexpr int LOOKAHEAD_MIN = 1; // lookahead counts the character to type itself
constexpr int LOOKAHEAD_MAX = 5;

extern int typing_mode; // MODE_BEGINNER_1, MODE_BEGINNER_2 or MODE_ADVANCED
extern int lookahead;   // characters shown at once, LOOKAHEAD_MIN to LOOKAHEAD_MAX
extern int game_kind;   // GAME_NONE, or the counting game that runs
extern int note_shown;  // the note band under the progress bar is shown

// The on-screen keyboard fills the bottom of the window.
inline bool keyboard_shown() { return typing_mode == MODE_BEGINNER_1 || typing_mode == MODE_BEGINNER_2; }
// The next key is lit on the keyboard, and each typed key given back its colour.
inline bool keys_lit() { return typing_mode == MODE_BEGINNER_1; }
// The counting game's scatter stands in for the practice screen.
inline bool counting_game() { return game_kind == GAME_COUNT_MOST || game_kind == GAME_COUNT_FEWEST; }
