// scale.cpp -- the desktop's scale for the layer's own drawing.
//
// Owns the factor. The backend sets it from the desktop's settings at start
// (a new start picks up a changed setting); the menus, message boxes and the
// composition box read it through scaled().
#include "scale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

static double factor = 1.0;

// A setting's text as a positive number, else 0. Parsed without the locale
// (a desktop's settings always write a decimal point), blanks around it allowed.
static double positive_number(const char* text)
{
    if (!text)
        return 0;
    const char* end = text + std::strlen(text);
    while (text < end && (*text == ' ' || *text == '\t'))
        text++;
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\n'))
        end--;
    double v = 0;
    std::from_chars_result r = std::from_chars(text, end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v) || v <= 0)
        return 0;
    return v;
}

static double inside_limits(double f)
{
    if (!(f >= SCALE_MIN)) // also what is no number at all
        return SCALE_MIN;
    return std::min(f, SCALE_MAX);
}

double scale_from_desktop(const char* xft_dpi, const char* gdk_scale, const char* qt_scale_factor)
{
    if (double dpi = positive_number(xft_dpi))
        return inside_limits(dpi / DPI_AT_1X);
    if (double f = positive_number(gdk_scale))
        return inside_limits(f);
    if (double f = positive_number(qt_scale_factor))
        return inside_limits(f);
    return 1.0;
}

void scale_set(double f) { factor = inside_limits(f); }
double scale_factor() { return factor; }
int scaled(int px) { return (int)std::lround(px * factor); }
