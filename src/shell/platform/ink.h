// ink.h -- where a framebuffer may hold colour (ink.cpp).
//
// Each window's client framebuffer and the composed screen keep an ink map:
// for every row, the columns that may hold a pixel other than black. GDI
// (gdi.cpp) and the composer (screen.cpp) read and update it, so that black
// is never written over black and large erases are deferred.
#pragma once

#include "surface.h"

#include <vector>

// For each row of a framebuffer, the columns [x0, x1) that may hold a pixel
// other than black; every pixel outside them is black. A map whose size is not
// the framebuffer's is made afresh by ink_fit: a resized framebuffer is black.
struct InkSpan {
    int x0 = 0, x1 = 0;
};

struct InkMap {
    int w = 0, h = 0;
    std::vector<InkSpan> rows;
    // A black fill not yet written: the rows of `pending` still flagged in
    // row_pending owe black to its columns, except those in covered (written
    // over since).
    IRect pending;
    std::vector<InkSpan> covered;
    std::vector<unsigned char> row_pending;
};

// Sizes the map for a w x h framebuffer when it is not: every row empty, or
// with unknown set, every row whole (content not known).
void ink_fit(InkMap* ink, int w, int h, bool unknown);
void ink_set_all(InkMap* ink); // content not known any more: every row whole
InkSpan ink_row(const InkMap& ink, int y);
void ink_add(InkMap* ink, const IRect& r);    // r may now hold colour
void ink_remove(InkMap* ink, const IRect& r); // r is now black
// Fills r black, writing only the pixels that may not be black already.
void ink_fill_black(const Surface& s, InkMap* ink, const IRect& r);
// Notes a black fill of r instead of writing it, when r is large and holds any
// fill still pending; false when the caller must fill now.
bool ink_defer_black(const Surface& s, InkMap* ink, const IRect& r);
// Every pixel of w is about to be written over: a pending fill skips them.
void ink_cover(const Surface& s, InkMap* ink, const IRect& w);
// Writes the pending black of the rows of r (before they are read or drawn on
// in part), or of every row.
void ink_settle(const Surface& s, InkMap* ink, const IRect& r);
void ink_settle_all(const Surface& s, InkMap* ink);
