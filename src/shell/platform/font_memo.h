// font_memo.h -- the font file each face name matched, remembered across runs.
//
// Asking fontconfig costs more than all else the first frame needs, so the
// file a face name matched is kept in the user's cache directory and opened
// directly on the next start, as long as that file is unchanged. Used by
// font.cpp only.
#pragma once

#include <string>

// The remembered file of a face name (UTF-8 path and face index), when there
// is one and the file still has the size and time it had when remembered.
bool font_memo_lookup(const std::string& face_name, std::string* path, int* index);
// Remembers a match; a cache that cannot be written is only a slower start.
void font_memo_store(const std::string& face_name, const std::string& path, int index);
