// scale.h -- the desktop's scale, for what the layer draws of its own (scale.cpp).
//
// The backend sets the factor once at start from what the desktop says; the
// menus, the message boxes and the composition box size their text, margins,
// lines and hit areas with scaled(). The program's own drawing is not scaled:
// it follows the client area.
#pragma once

constexpr double DPI_AT_1X = 96.0; // Xft.dpi of a desktop at 100 %
// A factor is kept within these: under 1 the layer's text would be too small to
// read, and over 4 a box no longer fits a 4K screen.
constexpr double SCALE_MIN = 1.0;
constexpr double SCALE_MAX = 4.0;

// The factor the desktop asks for, from its settings as texts (null when not
// set): the Xft.dpi resource (96 is 1, 192 is 2), else GDK_SCALE, else
// QT_SCALE_FACTOR; a setting that is not a positive number counts as not set.
// 1 when none is set; a value outside [SCALE_MIN, SCALE_MAX] is brought inside.
double scale_from_desktop(const char* xft_dpi, const char* gdk_scale, const char* qt_scale_factor);
// Sets the factor (brought inside [SCALE_MIN, SCALE_MAX]); the backend calls it
// before the first window exists.
void scale_set(double factor);
double scale_factor();
// A length given at 1x, at the desktop's scale: rounded to a whole pixel, so
// that edges stay sharp. Exactly px at 1x.
int scaled(int px);
