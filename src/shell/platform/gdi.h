// gdi.h -- what GDI remembers of a window's framebuffer (gdi.cpp).
//
// The GDI calls themselves are declared in win32.h. Besides them, gdi.cpp keeps
// in every top-level window the runs of text and the fills that still stand as
// drawn, so that drawing them again costs only what is new.
#pragma once

#include "font.h"
#include "surface.h"

#include <cstdint>
#include <string>

// Opaque text drawn at (x, y) in one font and pair of colours, whole and
// unclipped, whose cells nothing has drawn over since. Drawn there again with
// more characters after it, only those need drawing: the typed line grows so
// on every key.
struct TextRun {
    int x = 0, y = 0;
    FontRequest font;
    uint32_t fg = 0, bg = 0;
    IRect cells;
    std::string text;  // CP932
    uint64_t used = 0; // when last drawn or extended; the least recent goes first
};

// A fill of one colour, not black, standing as drawn: filled again inside it
// with that colour, nothing needs writing or comparing (bars and frames drawn
// again on every key). Drawing over part of it trims it to what is left.
struct FillRun {
    IRect r;
    uint32_t color = 0;
    uint64_t used = 0;
};
