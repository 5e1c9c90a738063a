// random_lines.cpp -- lines of random capitals, practice length, case tables.
//
// Owns random_line_len and the ASCII case tables. make_random_lines refills the
// practice text store in random mode: at start-up, on every restart and before
// every start message (shell, drill). line_len is called by the drill and the
// result texts; the case tables serve key matching, highlight and counting game.
#include "text/random_lines.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "placement/placement.h"
#include "text/store.h"

int random_line_len = 30;
unsigned char upper_table[256];
unsigned char lower_table[256];

constexpr int ALPHABET_SIZE = 26;
constexpr int UPPER_A = 0x41;
constexpr int LOWER_A = 0x61;
constexpr int RANDOM_LETTERS = 25; // A to Y: Z is never generated
// A slot keeps at least one 0 byte after its letters, so every line ends inside
// its own slot whatever random_line_len holds.
constexpr int MAX_RANDOM_LETTERS = RANDOM_SLOT_SIZE - 2;

void build_case_tables()
{
    for (int k = 0; k < ALPHABET_SIZE; k++) {
        upper_table[LOWER_A + k] = static_cast<unsigned char>(UPPER_A + k);
        lower_table[UPPER_A + k] = static_cast<unsigned char>(LOWER_A + k);
    }
}

static int clamp_int(int v, int low, int high) { return v < low ? low : (v > high ? high : v); }

// Table entry i uses slot i of the pool; entries past the last slot share the
// slots from the start again (see make_random_lines).
static char* random_slot(int i) { return line_pool + (i % RANDOM_SLOT_COUNT) * RANDOM_SLOT_SIZE; }

// Writes `letters` letters drawn by next_letter and zeroes the rest of the
// slot up to its second-to-last byte; the last byte is left as it was.
static void fill_random_slot(char* slot, int letters, char (*next_letter)())
{
    for (int j = 0; j < letters; j++)
        slot[j] = next_letter();
    memset(slot + letters, 0, RANDOM_SLOT_SIZE - 1 - letters);
}

static char uniform_letter() { return static_cast<char>(UPPER_A + rand() % RANDOM_LETTERS); }

// Replaces the line tables with line_count lines of random letters; line_count
// itself is left alone. The pool holds only RANDOM_SLOT_COUNT slots, but after a
// long lesson line_count can be larger, and the drill draws any index below it.
// So at most RANDOM_SLOT_COUNT lines are generated and entry i from there on
// points at slot i % RANDOM_SLOT_COUNT: every valid index is a real random line,
// never stale lesson bytes. Returns the number of lines generated.
int make_random_lines() { return make_letter_lines(uniform_letter); }

int make_letter_lines(char (*next_letter)())
{
    reposition_line();
    const int entries = clamp_int(line_count, 0, LINE_TABLE_SIZE);
    for (int i = 0; i < entries; i++) {
        line_table[i] = random_slot(i);
        line_note[i] = empty_note;
    }
    const int lines = entries < RANDOM_SLOT_COUNT ? entries : RANDOM_SLOT_COUNT;
    const int letters = clamp_int(random_line_len, 0, MAX_RANDOM_LETTERS);
    for (int i = 0; i < lines; i++)
        fill_random_slot(random_slot(i), letters, next_letter);
    return lines;
}

static bool ends_line(unsigned char b) { return b == 13 || b == 10 || b == 0 || b == 255; }

// How many bytes from p may be read: LINE_LEN_SCAN, less when p lies in the
// pool closer than that to its end.
static int scan_limit(const char* p)
{
    const char* pool_end = line_pool + LINE_POOL_SIZE;
    std::less<const char*> before;
    if (before(p, line_pool) || !before(p, pool_end))
        return LINE_LEN_SCAN;
    const std::ptrdiff_t room = pool_end - p;
    return room < LINE_LEN_SCAN ? static_cast<int>(room) : LINE_LEN_SCAN;
}

// Practice length of line `index`: the bytes before the first CR, LF, 0 or 255
// among its first LINE_LEN_SCAN bytes; 0 when there is none, and 0 for an index
// outside the table or an entry that was never set.
int line_len(int index)
{
    if (index < 0 || index >= LINE_TABLE_SIZE || line_table[index] == nullptr)
        return 0;
    const char* line = line_table[index];
    const int limit = scan_limit(line);
    for (int i = 0; i < limit; i++)
        if (ends_line(static_cast<unsigned char>(line[i])))
            return i;
    return 0;
}
