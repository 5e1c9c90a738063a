// store.h -- the practice text store: every line the drill can practise.
//
// Owns the line and note tables, the pool they point into, the introduction
// of the last lesson file, the lesson file path and the shared scratch buffer.
// Filled by the random-line generator and the lesson loader; read by the drill,
// the result texts, the note band, the practice screen and the counting game.
#pragma once

constexpr int LINE_TABLE_SIZE = 65536;   // entries of line_table and line_note
constexpr int LINE_POOL_SIZE = 4194304;  // bytes of practice texts and notes
constexpr int TRAILER_TEXT_SIZE = 65536; // introduction bytes, plus a terminating 0
constexpr int LESSON_PATH_SIZE = 520;    // bytes, terminator included
constexpr int TEXT_BUFFER_SIZE = 65536;  // the shared scratch text buffer
constexpr int LINE_COUNT_AT_START = 1024;

extern char* line_table[LINE_TABLE_SIZE];
extern char* line_note[LINE_TABLE_SIZE];
extern int line_count;
extern char line_pool[LINE_POOL_SIZE];
extern char trailer_text[TRAILER_TEXT_SIZE + 1];
extern char lesson_path[LESSON_PATH_SIZE];
extern char text_buffer[TEXT_BUFFER_SIZE];
// The one empty note that every line without a note points at.
extern char empty_note[1];
