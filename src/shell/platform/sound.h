// sound.h -- the sound output's life (sound.cpp).
//
// sndPlaySoundA is declared in win32.h. The output is opened for a sound; the
// queue's wait asks here whether it may close it and when to ask again.
#pragma once

#include <cstdint>

// Closes the sound output once it has been silent long enough. Returns the
// milliseconds until it should be asked again, -1 when the output is closed.
int sound_close_when_quiet(uint64_t now_ms);
