// record_row.h -- one row of the records file: its columns, writing a
// finished line as a CSV row, and reading a row back.
//
// Owns nothing but the scratch room of the row being read. The line log
// writes rows; the history reads them. A row is UTF-8, fields quoted as
// RFC 4180 says where they need it, ended by CR LF, and never holds a line
// break inside a field, so that a reader may split the file at line feeds.
#pragma once

#include "shell/platform/win32.h"

// The columns, in the order this program writes them.
enum RecordColumn {
    COL_FINISHED_AT, // local time, ISO 8601 with its offset from UTC
    COL_MODE,        // typing mode 1, 2, 3
    COL_GAME,        // 0 practice, 1 most frequent letter, 2 fewest
    COL_SOURCE,      // "random", "weak" or the lesson file's name
    COL_TEXT,        // the line as shown
    COL_CHARS,       // the bytes of the line, as the result box counts them
    COL_SECONDS,     // "s.d", as the result box shows it
    COL_SPEED,       // characters per second as the result box shows it; empty for a line of no time
    COL_MISSES,      // wrong keys typed during the line
    COL_PER_CHAR,    // one entry per character, see format_char_entry
    RECORD_COLUMNS
};
extern const char* const RECORD_COLUMN_NAMES[RECORD_COLUMNS];
// What a new file begins with: the UTF-8 byte order mark, by which
// spreadsheets know the encoding, and the header row.
inline constexpr char RECORDS_FILE_START[] =
    "\xEF\xBB\xBF"
    "finished_at,mode,game,source,text,chars,seconds,chars_per_second,misses,per_char\r\n";

constexpr int ROW_SIZE = 65536;        // bytes of one row, line end included
constexpr int ROW_CHARS_MAX = 1024;    // characters of one line (line_len never gives more than 1023 bytes)
constexpr int WRONG_KEYS_LISTED = 4;   // wrong keys named per character; more are only counted
constexpr unsigned CHAR_MS_MAX = 9999999; // a character's time is kept below about 2.8 hours

// One character of a finished line: the milliseconds from the moment it
// became the one to type to its key, and the wrong keys typed meanwhile.
struct CharRecord {
    unsigned ms;
    int misses;                    // wrong keys, listed or not
    int listed;                    // the first of them, at most WRONG_KEYS_LISTED
    char wrong[WRONG_KEYS_LISTED]; // bytes as typed
};

// Everything a row says about a finished line.
struct RecordFacts {
    SYSTEMTIME finished;   // local time
    int utc_offset_min;    // local time minus UTC, in minutes
    int mode, game;
    const char* source;    // UTF-8
    const char* text;      // the line: CP932 when written, UTF-8 when read
    int text_bytes;        // bytes of text
    int chars;             // CP932 bytes of the line
    int ticks, lesson;     // written: the line's 50 ms ticks, and whether it came from a lesson
    int tenths;            // read: the time shown, in tenths of a second
    double speed;          // read: characters per second shown; negative when none was
    int misses;
    CharRecord* per_char;  // one per character of the line
    int char_count;
};

// Days since 1970-01-01 of a date (proleptic Gregorian).
int day_number(int year, int month, int day);
// The date of a day number.
void date_of_day(int day, int* year, int* month, int* date);

// Writes the row of a finished line into out (size bytes), ended by CR LF;
// returns its length, or -1 when it does not fit.
int format_record_row(char* out, int size, const RecordFacts& f);

// Which field of a row holds which column. The header of the file says it;
// without one, the order above.
struct ColumnMap {
    int field_of[RECORD_COLUMNS];
};
void default_column_map(ColumnMap* map);
// True when the line (without its line end) is a header naming every
// column; map then says where each one is.
bool read_header(const char* line, int len, ColumnMap* map);

// Reads one line of the file (without its line end). True for a complete,
// consistent row: *f then describes it, its text and per_char pointing into
// scratch room valid until the next call. False for anything else (a torn
// row, a hand edit that broke it, an empty line), which the reader skips.
bool read_record_row(const char* line, int len, const ColumnMap& map, RecordFacts* f);
