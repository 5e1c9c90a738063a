// settings.h -- the saved settings and the settings file.
//
// Owns size_flag and sound_on. read_settings fills them, and typing_mode and
// lookahead (display/view.h), from the settings file at start-up, with defaults
// and fallbacks for missing or unusable values; the menu commands write single
// keys back as they change them.
#pragma once

extern int size_flag; // character size 1 to 4 (kept as read, whatever it is)
extern int sound_on;  // key click on (1) or off (0)

extern const char SETTINGS_FILE[];    // the file's own name
extern const char SETTINGS_SECTION[]; // its one section
extern const char SETTINGS_FOLDER[];  // the per-user folder on Windows

// Where the settings are read and written. Windows no longer lets a program
// write in its own directory, so there the file is kept per user,
// "<APPDATA>\LumekoTrainer\LumekoTrainer.ini"; until that file exists the
// settings are read from the Windows directory's file (the bare name), so an
// earlier user's settings carry over; that file is never written. Without an
// application-data folder the write path is "": nothing is saved. Elsewhere
// both are the bare name, which the platform layer keeps in the user's config
// directory.
constexpr int SETTINGS_PATH_SIZE = 520;
extern char settings_read_path[SETTINGS_PATH_SIZE];
extern char settings_write_path[SETTINGS_PATH_SIZE];

// The rule above, given the application-data folder (null or "" where there
// is none, or its path is too long) and whether the per-user file exists.
void choose_settings_paths(const char* appdata, int user_file_exists);

// Finds the settings file, then reads every saved setting.
void read_settings();

// Writes one key of the settings, as the menu commands do. On Windows the
// first write makes the per-user file, starting from the old file's keys; the
// reads move to it only once it holds them all. Returns 0 when there is
// nowhere to save (the change then lasts for the session), else 1.
int save_setting(const char* key, const char* value);
