// files.h -- where the program's files are found (files.cpp).
//
// OpenFile, _lread and their companions are declared in win32.h. These find
// the data files (lesson, sound, help page) and the settings file on Linux.
#pragma once

#include <string>

// Finds a data file (lesson, sound, help page) by its CP932 name: an absolute
// path stands as it is; a relative one, with or without folders, is tried in
// the current directory, beside the executable, then in the installed data
// directory. Returns the UTF-8 path, or "" when the file is nowhere.
std::string resolve_data_path(const char* cp932_name);

// The UTF-8 path of the running program, whatever CP932 can hold of it; ""
// when it cannot be had.
std::string program_path();

// The installed data directory of the program at exe (a UTF-8 absolute path):
// <prefix>/share/lumeko-trainer for <prefix>/bin/lumeko-trainer, whatever the
// prefix. "" when exe is not an absolute path.
std::string installed_data_dir(const std::string& exe);

// The UTF-8 path of a private-profile file: a bare name lives in the XDG
// config directory ($XDG_CONFIG_HOME, else ~/.config); a path stands as it is.
std::string profile_path(const char* cp932_name);
