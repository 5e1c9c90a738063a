// count_game.h -- the counting game: letters scattered to be counted.
//
// Owns the scatter on screen: which letters are shown (count_shown), how they
// were chosen (group_seq, group_letter) and where they stand (count_pos). The
// letter to type is hidden among 26 as the one shown most often (game_kind 1)
// or least often (game_kind 2). display/count_screen.cpp draws the scatter
// while the game runs; the drill judges the keys as ever.
#pragma once

#include "placement/placement.h"

constexpr int COUNT_SHOWN = 26;          // letters in a scatter
constexpr int GROUP_SEQ_SIZE = 1024;     // group numbers a sequence can hold
constexpr int GROUP_LETTER_SIZE = 26;    // letters of groups 0 .. 24, and room for 25
constexpr int COUNT_POS_SIZE = 16384;    // places count_pos can hold
constexpr int COUNT_PLACE_TRIES = 1024;  // candidates per letter
constexpr int FEWEST_ATTEMPTS = 1024;    // sequences tried for "fewest"
constexpr int GROUP_LETTER_DRAWS = 4096; // draws per distinct group letter

// The group of every shown entry, in shown order, one sequence per kind:
// group_seq[SEQ_MOST] and group_seq[SEQ_FEWEST]. Group 0 is the letter to type.
constexpr int SEQ_MOST = 0;
constexpr int SEQ_FEWEST = 1;
extern unsigned char group_seq[2][GROUP_SEQ_SIZE];
extern char group_letter[GROUP_LETTER_SIZE]; // the letter of each group
extern char count_shown[COUNT_SHOWN];        // the letters of the scatter, in shown order
extern PlacePos count_pos[COUNT_POS_SIZE];   // their places on the placement grid

// Builds the letters for e under the current game_kind and places count of
// them (COUNT_SHOWN in the game) on a cols x rows grid, each clear of all the
// earlier ones where COUNT_PLACE_TRIES candidates allow. 0 when count, cols or
// rows leaves nothing to place.
int place_count_letters(char e, int count, int cols, int rows);
// Fills the kind's group sequence, group_letter and count_shown for e. A
// lower-case letter is shown in lower case with every other letter; any other
// byte is shown as it is among capitals.
void build_count_letters(char e);
// Group 0 takes 2 .. 25 entries, every later group fewer: the letter to type
// is the single most frequent of the 26.
void make_groups_most();
// Group 0 takes one entry, every later group at least two, and the group cut
// off at the 26th entry at least four: the letter to type is the single least
// frequent.
void make_groups_fewest();
// group_letter[0] = first, then 24 letters of A .. Y different from it and
// from each other.
void pick_group_letters(char first);
