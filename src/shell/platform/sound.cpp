// sound.cpp -- sndPlaySoundA: the key click.
//
// Finds a sound file by its data-file name and hands it to the backend, which
// plays it without waiting. Owns a one-entry cache of the last name and where
// it was found (or that it was nowhere), so the click on every accepted key
// does not search the disk. Called by the drill engine.
#include "internal.h"

#include "codepage.h"

#include <cstdio>
#include <string>

static bool cache_valid = false;
static std::string cached_name; // CP932, as the caller passed it
static std::string cached_path; // UTF-8; "" when the file was not found

// Every sound is started and left to play: the backend never blocks, so
// SND_SYNC plays asynchronously too. No default sound exists to fall back on,
// so SND_NODEFAULT changes nothing.
BOOL sndPlaySoundA(LPCSTR sound, UINT flags)
{
    if (!sound) {
        backend_play_sound(nullptr); // the backend takes a null path as "stop what plays"
        return TRUE;
    }
    if (!cache_valid || cached_name != sound) {
        cached_name = sound;
        cached_path = resolve_data_path(sound);
        cache_valid = true;
        if (cached_path.empty())
            std::fprintf(stderr, "lumeko-trainer: sound file \"%s\" not found; it stays silent\n",
                         cp932_to_utf8(sound).c_str());
    }
    if (cached_path.empty())
        return FALSE; // a missing sound is silence, not an error the user sees
    backend_play_sound(cached_path.c_str());
    return TRUE;
}
