// record_file.h -- the records file: where it lives, appending a row to it.
//
// Owns the file's path and whether this run has told the user that the file
// cannot be written. The line log appends one row for every finished line;
// the history reads the file; the 記録 menu opens it.
#pragma once

constexpr int RECORDS_PATH_SIZE = 520;

extern const char RECORDS_FILE_NAME[];
extern char records_path[RECORDS_PATH_SIZE]; // CP932; "" when no folder can be named
extern int records_failure_told;             // the message about an unwritable file was shown this run

// Where the file is: "%APPDATA%\LumekoTrainer\records.csv" on Windows;
// elsewhere "$XDG_DATA_HOME/lumeko-trainer/records.csv", by default under
// "~/.local/share". Worked out afresh from the environment into records_path.
const char* records_file_path();

// Appends one whole row (CSV text ending in CR LF, at most ROW_SIZE bytes)
// and has it on the disk before returning. A new file gets the header first;
// a file whose last row was cut short gets a line end first, so this row
// starts on a line of its own. Earlier rows are never touched. When the
// folder or the file cannot be written, the user is told where and why the
// first time in a run, and false is returned: practice goes on unrecorded.
bool append_record_row(const char* row, int len);
