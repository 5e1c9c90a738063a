// random_lines.h -- generated lines of random capitals, line length, case tables.
//
// Owns random_line_len and the two ASCII case tables. make_random_lines fills
// the practice text store with line_count lines of random letters (A to Y);
// line_len gives the practice length of any stored line. Called at start-up,
// by the drill before each start message and by restarts.
#pragma once

constexpr int RANDOM_SLOT_SIZE = 1024;  // bytes per generated line
constexpr int RANDOM_SLOT_COUNT = 4096; // generated lines the pool can hold
constexpr int LINE_LEN_SCAN = 1024;     // bytes line_len looks at

extern int random_line_len;            // 10, 30 or 60 letters per generated line
extern unsigned char upper_table[256]; // a..z -> A..Z, 0 elsewhere
extern unsigned char lower_table[256]; // A..Z -> a..z, 0 elsewhere

void build_case_tables();
// The character on the key that types c: a letter in upper case, any other
// byte as it is.
inline char key_char(char c)
{
    unsigned char upper = upper_table[(unsigned char)c];
    return upper ? (char)upper : c;
}
int make_random_lines();
// make_random_lines with the letters drawn by next_letter, line after line and
// position after position: the weak-key practice draws its own.
int make_letter_lines(char (*next_letter)());
int line_len(int index);
