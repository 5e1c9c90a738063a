// settings.h -- the saved settings and the settings file.
//
// Owns typing_mode, size_flag, lookahead and sound_on. read_settings fills them
// from the settings file at start-up, with defaults and fallbacks for missing or
// unusable values; the menu commands write single keys back as they change them.
#pragma once

extern int typing_mode; // 1 beginner 1, 2 beginner 2, 3 intermediate and advanced
extern int size_flag;   // character size 1 to 4 (kept as read, whatever it is)
extern int lookahead;   // characters shown at once, 1 to 5
extern int sound_on;    // key click on (1) or off (0)

extern const char SETTINGS_FILE[];
extern const char SETTINGS_SECTION[];

void read_settings();
