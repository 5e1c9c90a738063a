// ink.cpp -- where a framebuffer may hold colour, row by row, and deferred erases.
//
// An ink map keeps, for each row of a framebuffer, the one run of columns that
// may hold pixels other than black; everything outside it is known black. GDI
// widens the runs as it draws and narrows them when it fills with black, and
// fills black only inside them, so erasing a mostly black window costs little.
// The composer keeps one for the screen and compares or copies inside them only.
//
// A large black fill (the erase before a repaint) is not written at once: the
// map notes it, and the opaque drawing that follows covers most of it anyway
// (the keyboard, the bars). Only what is left uncovered is made black, when a
// row is next read or drawn on in a way that does not cover it.
#include "ink.h"

#include "surface.h"

#include <algorithm>
#include <cstring>

constexpr long long DEFER_MIN_PIXELS = 65536; // black fills smaller than this are written at once

void ink_fit(InkMap* ink, int w, int h, bool unknown)
{
    if (ink->w == w && ink->h == h && (int)ink->rows.size() == h)
        return;
    ink->w = w;
    ink->h = h;
    ink->rows.assign((size_t)std::max(h, 0), unknown ? InkSpan{0, w} : InkSpan{});
    ink->pending = IRect{};
    ink->covered.assign((size_t)std::max(h, 0), InkSpan{});
    ink->row_pending.assign((size_t)std::max(h, 0), 0);
}

void ink_set_all(InkMap* ink) { std::fill(ink->rows.begin(), ink->rows.end(), InkSpan{0, ink->w}); }

InkSpan ink_row(const InkMap& ink, int y)
{
    return (y >= 0 && y < (int)ink.rows.size()) ? ink.rows[(size_t)y] : InkSpan{};
}

void ink_add(InkMap* ink, const IRect& r)
{
    IRect c = rect_intersect(r, IRect{0, 0, ink->w, (int)ink->rows.size()});
    for (int y = c.y0; y < c.y1; y++) {
        InkSpan& s = ink->rows[(size_t)y];
        if (s.x1 <= s.x0)
            s = InkSpan{c.x0, c.x1};
        else
            s = InkSpan{std::min(s.x0, c.x0), std::max(s.x1, c.x1)};
    }
}

// What is left of span s once columns [x0, x1) are black: it shrinks only when
// they cover one of its ends (a hole in the middle is not kept).
static InkSpan without(InkSpan s, int x0, int x1)
{
    if (x1 <= s.x0 || x0 >= s.x1)
        return s;
    if (x0 <= s.x0 && x1 >= s.x1)
        return InkSpan{};
    if (x0 <= s.x0)
        return InkSpan{x1, s.x1};
    if (x1 >= s.x1)
        return InkSpan{s.x0, x0};
    return s;
}

void ink_remove(InkMap* ink, const IRect& r)
{
    IRect c = rect_intersect(r, IRect{0, 0, ink->w, (int)ink->rows.size()});
    for (int y = c.y0; y < c.y1; y++)
        ink->rows[(size_t)y] = without(ink->rows[(size_t)y], c.x0, c.x1);
}

void ink_fill_black(const Surface& s, InkMap* ink, const IRect& r)
{
    IRect c = rect_intersect(r, rect_intersect(s.bounds(), IRect{0, 0, ink->w, (int)ink->rows.size()}));
    for (int y = c.y0; y < c.y1; y++) {
        InkSpan& span = ink->rows[(size_t)y];
        int x0 = std::max(c.x0, span.x0), x1 = std::min(c.x1, span.x1);
        if (x1 > x0)
            std::memset(s.row(y) + x0, 0, (size_t)(x1 - x0) * sizeof(uint32_t));
        span = without(span, c.x0, c.x1);
    }
}

// ---- deferred black fills ---------------------------------------------------------

static void blacken_row(const Surface& s, InkMap* ink, int y, int x0, int x1)
{
    InkSpan& span = ink->rows[(size_t)y];
    int a = std::max(x0, span.x0), b = std::min(x1, span.x1);
    if (b > a)
        std::memset(s.row(y) + a, 0, (size_t)(b - a) * sizeof(uint32_t));
    span = without(span, x0, x1);
}

// Row y gets the black it is owed: the pending columns not covered since.
static void settle_row(const Surface& s, InkMap* ink, int y)
{
    if (!ink->row_pending[(size_t)y])
        return;
    ink->row_pending[(size_t)y] = 0;
    const IRect& p = ink->pending;
    InkSpan c = ink->covered[(size_t)y];
    if (c.x1 <= c.x0) {
        blacken_row(s, ink, y, p.x0, p.x1);
        return;
    }
    blacken_row(s, ink, y, p.x0, c.x0);
    blacken_row(s, ink, y, c.x1, p.x1);
}

void ink_settle(const Surface& s, InkMap* ink, const IRect& r)
{
    IRect c = rect_intersect(r, ink->pending);
    for (int y = c.y0; y < c.y1; y++)
        settle_row(s, ink, y);
}

void ink_settle_all(const Surface& s, InkMap* ink)
{
    ink_settle(s, ink, ink->pending);
    ink->pending = IRect{};
}

bool ink_defer_black(const Surface& s, InkMap* ink, const IRect& r)
{
    IRect c = rect_intersect(r, rect_intersect(s.bounds(), IRect{0, 0, ink->w, (int)ink->rows.size()}));
    if (c.empty() || rect_intersect(c, ink->pending).area() != ink->pending.area() || c.area() < DEFER_MIN_PIXELS)
        return false;
    // c holds every pixel still owed black: those just become part of c.
    ink->pending = c;
    for (int y = c.y0; y < c.y1; y++) {
        ink->row_pending[(size_t)y] = 1;
        ink->covered[(size_t)y] = InkSpan{};
    }
    return true;
}

void ink_cover(const Surface& s, InkMap* ink, const IRect& w)
{
    IRect c = rect_intersect(w, ink->pending);
    for (int y = c.y0; y < c.y1; y++) {
        if (!ink->row_pending[(size_t)y])
            continue;
        InkSpan& cov = ink->covered[(size_t)y];
        if (cov.x1 <= cov.x0) {
            cov = InkSpan{c.x0, c.x1};
            continue;
        }
        // The columns between the two runs are not covered: they get their black now.
        if (c.x0 > cov.x1)
            blacken_row(s, ink, y, cov.x1, c.x0);
        else if (c.x1 < cov.x0)
            blacken_row(s, ink, y, c.x1, cov.x0);
        cov = InkSpan{std::min(cov.x0, c.x0), std::max(cov.x1, c.x1)};
    }
}
