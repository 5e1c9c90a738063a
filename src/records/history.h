// history.h -- the records read back and summed up: what the records screens
// and the weak-key practice show.
//
// Owns the sums and how far the records file has been read. history_refresh
// reads only what the file gained since the last call (the whole file the
// first time, or when it was deleted or replaced), so that opening a screen
// again costs only the new rows. Nothing reads the file on the way to the
// first frame: only the records screens and the weak-key practice ask.
// Rows of the counting games are kept in the file but not summed here: their
// times are times of counting, not of finding a key.
#pragma once

constexpr int CHART_LINES = 200;      // newest lines kept for the speed chart
constexpr int KEY_SAMPLES = 50;       // a key's figures come from its newest occurrences
constexpr int KEY_TIME_CAP_MS = 5000; // a longer wait counts as this long: a break is not the key's fault
constexpr int KEY_CODES = 128;        // keys and confusions are ASCII

struct LinePoint {
    float speed; // characters per second
    int mode;    // typing mode 1, 2, 3
};

struct Confusion {
    char expected, typed; // key_char of each: letters in upper case
    int count;
};

// Reads the rows the file gained; returns the practice rows summed in all.
int history_refresh();
// Forgets every sum and reads the file from its start next time.
void history_forget();

int history_rows();     // practice rows summed
int history_all_rows(); // every whole row of the file, the counting games' too
// The newest practice lines that have a speed, at most max, oldest first.
int history_recent(LinePoint* out, int max);
// A day's lines (day_number of their date): how many, their average and best
// speed. False when there were none.
bool history_day(int day, float* average, float* best, int* lines);
// The best speed ever and its day; false when no line has a speed.
bool history_best(float* speed, int* day);

// A key is the character on the unshifted key (key_code of key_table).
int key_samples(int key);      // occurrences its figures come from, at most KEY_SAMPLES
int key_average_ms(int key);   // their average time, 0 without any
int key_miss_percent(int key); // of them, the share with a wrong key typed first
// The wrong keys typed most often for another, most frequent first.
int history_confusions(Confusion* out, int max);
