// report.h -- how the platform layer speaks on stderr.
//
// The layer reports only what a user must act on (no display, a sound file it
// cannot play, a font it cannot load), one line each, always with this prefix.
#pragma once

constexpr const char* MESSAGE_PREFIX = "lumeko-trainer: ";
