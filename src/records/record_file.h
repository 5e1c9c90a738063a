// record_file.h -- the records file: where it lives, appending a row to it.
//
// Owns the file's path and whether this run has told the user that the file
// cannot be written. The line log appends one row for every finished line;
// the history reads the file; the 記録 menu opens it.
#pragma once

#include "shell/platform/win32.h"

constexpr int RECORDS_PATH_SIZE = 520; // WCHARs, the terminator included

extern const char RECORDS_FILE_NAME[];
// UTF-16, as the system names the folders (the W calls take it), so that a
// folder the program's code page cannot name still holds the records; ""
// when no folder can be named.
extern WCHAR records_path[RECORDS_PATH_SIZE];
extern int records_failure_told; // the message about an unwritable file was shown this run

// Where the file is: "%APPDATA%\LumekoTrainer\records.csv" on Windows;
// elsewhere "$XDG_DATA_HOME/lumeko-trainer/records.csv", by default under
// "~/.local/share". Worked out afresh from the environment into records_path.
const WCHAR* records_file_path();

// Shows a message whose one %s is the records file's place: the path whole,
// or "（不明）" when no folder can be named.
void show_records_place(const char* format);

// Appends one whole row (CSV text ending in CR LF, at most ROW_SIZE bytes)
// and has it on the disk before returning. A new file gets the header first;
// a file whose last row was cut short gets a line end first, so this row
// starts on a line of its own. Earlier rows are never touched. When the
// folder or the file cannot be written, the user is told where and why the
// first time in a run, and false is returned: practice goes on unrecorded.
bool append_record_row(const char* row, int len);
