// lesson.h -- lesson files: choosing one, reading it whole, cutting it into lines.
//
// A lesson file is lines of practice text, each optionally followed by "{" and a
// note, ended by CR LF; an empty line ends the list and the rest of the file is
// the introduction shown before practice. load_lesson fills the practice text
// store from lesson_path; it is called by restart_practice when a lesson is in use.
// Owns no state of its own.
#pragma once

#include "shell/platform/win32.h"

constexpr int LESSON_MAX_LINES = 65520;            // lines read; a further line starts the introduction
constexpr int LESSON_LINE_LIMIT = 4096;            // bytes of a line looked at for its text and note
constexpr int LESSON_READ_PIECE = 65520;           // bytes per read, and the zeroed spare after the file
constexpr int LESSON_FILE_MAX = 256 * 1024 * 1024; // larger files are not read at all
constexpr int READ_FAILED = -1;                    // read_whole_file: the file could not be opened or read
constexpr int READ_NO_MEMORY = -2;                 // read_whole_file: no memory block for it
constexpr int READ_TOO_LARGE = -3;                 // read_whole_file: larger than LESSON_FILE_MAX

extern const char DEFAULT_LESSON_PATH[]; // the lesson proposed when lesson_path names no file

// Runs the open-file dialog over owner with the path buffer (LESSON_PATH_SIZE
// bytes) as the file proposed. Nonzero when a file was chosen: its full path is
// then in path. 0 when the user cancelled; path is unchanged.
int choose_lesson_file(HWND owner, char* path);

// Reads the whole file into a fresh zero-filled block of its size plus
// LESSON_READ_PIECE bytes, so its bytes are always followed by a 0. Returns the
// number of bytes read, with *block and *start set (the caller frees the block
// with GlobalFree); READ_FAILED, READ_NO_MEMORY or READ_TOO_LARGE, with
// nothing allocated.
int read_whole_file(const char* path, HGLOBAL* block, char** start);

// Copies the line at *cursor into dest (dest_size bytes, at least 2), followed by
// two 0 bytes, and moves the cursor past its CR LF; returns the bytes before the
// CR. At a byte 0 or 255, or at the end (left bytes remain from the cursor), the
// line ends there, the cursor stays on that byte and the result is -1. A line
// longer than dest keeps its first dest_size - 2 bytes; the rest is passed over.
int split_line(char** cursor, int left, char* dest, int dest_size);

// Cuts size bytes of lesson text at data into the store: line_table, line_note,
// line_pool, line_count and trailer_text. Reads nothing beyond data + size.
// Reports the lines it cannot hold in message boxes; returns the lines stored.
int cut_lesson(char* data, int size);

// Fills the store from lesson_path, after the open-file dialog unless
// reload_same_file is 1. A cancelled dialog or a file that cannot be read leaves
// the store as it was; a lesson with no line to practise falls back to random
// letters. Both cases are told to the user in a message box.
int load_lesson();
