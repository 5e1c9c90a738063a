// disk.h -- where the layer writes to the disk (disk.cpp).
//
// The XDG directories, making directories, replacing a file whole. Used by the
// settings writer (profile.cpp), the font memo and the start-up of the real
// window (the compose cache).
#pragma once

#include <string>
#include <sys/types.h>

// An XDG base directory: $variable when it holds an absolute path, else
// under_home inside the home directory ($HOME, else the password entry's).
std::string xdg_dir(const char* variable, const char* under_home);
// mkdir -p: creates every missing directory of the path with the given mode;
// true when the path is a directory afterwards.
bool make_dirs(const std::string& dir, mode_t mode);
// The folder where X may keep the parsed compose table for this program (made,
// private): empty where X keeps none (for root) or the user chose already
// (XCOMPOSECACHE, or ~/.compose-cache, which X uses whenever it exists), or
// the folder cannot be made.
std::string compose_cache_dir(bool root);
// Writes all of bytes to fd; false on the first failed write.
bool write_all(int fd, const std::string& bytes);
// Writes bytes to a temporary file beside path, checks the write, the sync and
// the close, and only then renames it over path: a reader sees the old file or
// the new one, never a mixture or an empty one. On failure nothing is left
// behind and the old file is as it was. Missing directories get dir_mode.
bool replace_file(const std::string& path, const std::string& bytes, mode_t mode, mode_t dir_mode);
// A name as one word of a cache file: its bytes in lower-case hex, "-" when empty.
std::string hex_of(const std::string& s);
