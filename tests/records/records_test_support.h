// records_test_support.h -- rows and histories for the records tests, written
// by hand (not by the program's writer), and waiting on the game's clock.
#pragma once

#include "test_support.h"

#include <string>
#include <vector>

// One character of a hand-made row: its milliseconds and the wrong keys typed
// first, as the file has them (%XX for a byte other than a letter or digit).
struct HandChar {
    int ms;
    std::string wrong;
};

// A row as the program writes it, for a line of letters typed in `chars`
// (one HandChar per letter, or all at `ms` when chars is empty).
std::string hand_row(const std::string& stamp, int mode, int game, const std::string& text,
                     const std::vector<HandChar>& chars, const std::string& speed = "2.000000");
// "YYYY-MM-DDT12:00:00+09:00" for the day `days_ago` before today (local time).
std::string stamp_days_ago(int days_ago);
// The records file's header, byte order mark included.
std::string records_header();
// Makes the records file hold exactly these bytes (its folder made).
void write_records(const std::string& bytes);
// Lets ms milliseconds pass on the game's clock, 50 ms (one timer tick) at a
// time, so that the line's ticks follow the clock as in a real run.
void wait_ms(int ms);
// The data rows of the records file (header and line ends left off).
std::vector<std::string> record_rows();
// Splits at sep.
std::vector<std::string> split(const std::string& s, char sep);
