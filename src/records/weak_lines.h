// weak_lines.h -- the weak-key practice: lines of random letters in which a
// letter comes more often the slower its key and the more often it is missed.
//
// Owns the weights the lines were last drawn with. While text_source is
// TEXT_SOURCE_WEAK the drill runs make_weak_lines wherever it would make
// random lines: at a restart and before every start message.
#pragma once

constexpr int WEAK_LETTERS = 26;     // A to Z
constexpr int WEAK_MIN_SAMPLES = 5;  // fewer occurrences: a letter not yet practised
constexpr int WEIGHT_TYPICAL = 100;  // a letter as quick as the median one, never missed
constexpr int WEIGHT_MIN = 25;       // the quickest letter still comes, a quarter as often
constexpr int WEIGHT_MAX = 1000;
constexpr int WEIGHT_UNPRACTISED = 150; // at least: a letter never practised counts as weak

extern int weak_weights[WEAK_LETTERS];
extern const char WEAK_START_TEXT[];

// The weight of each letter from the history as read: the square of its
// average time over the median letter's, times 1 + 3 x its miss rate, kept
// between WEIGHT_MIN and WEIGHT_MAX. A letter without WEAK_MIN_SAMPLES
// occurrences weighs as much as the weakest one, and at least
// WEIGHT_UNPRACTISED; with no letter measured, all weigh the same.
void weak_letter_weights(int weights[WEAK_LETTERS]);
// Reads what the records file gained, weighs the letters and fills the
// practice text with line_count lines of random_line_len letters, as
// make_random_lines does. Returns the number of lines made.
int make_weak_lines();
