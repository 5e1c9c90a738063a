// font.h -- text drawing for the GDI layer: face matching, glyph rendering, cache.
//
// A font request is what CreateFontA was given. Text is drawn by the cell rule of
// a fixed-pitch Japanese Gothic: the cell height is the requested height, every
// single-byte character fills one cell of the requested width, a double-byte
// character two cells. Glyphs are rendered once per (character, width, height,
// weight) and kept in a cache for the run. Used by gdi.cpp and the overlays.
#pragma once

#include "surface.h"

struct InkMap;

#include <cstdint>
#include <string>

constexpr int FONT_FACE_MAX = 32; // LF_FACESIZE, terminator included

struct FontRequest {
    int height = 0; // cell height in pixels; 0 for the default, negative for an em height
    int width = 0;  // single-byte cell width; 0 for the face's natural width at that height
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    int charset = 0;
    int pitch_and_family = 0;
    char face[FONT_FACE_MAX] = {}; // CP932 bytes, as the program passed them
};

// The layer's own text (the system font, message boxes): the fixed-pitch
// Gothic face the program asks for, at this cell size and weight.
FontRequest gothic_font(int height, int width, int weight);

// The cell size a request resolves to: height and single-byte width, both >= 1.
void font_cell_size(const FontRequest& font, int* cell_w, int* cell_h);

// Draws n bytes of CP932 text with its top-left corner at (x, y). With opaque
// set, every character cell is first filled with bg; glyph pixels are fg blended
// over what lies beneath. Nothing is drawn outside clip or outside the cells.
// Returns the rectangle of the cells (before clipping).
//
// Drawing a line of text again and again (the typed line on every key) is
// mostly black written over black. With black_known, an opaque black
// background is written only inside each row's ink span (outside it the
// surface is known black already); with glyphs, the union of the rectangles
// that may have received another colour is returned there, so the caller's
// ink map can stay as narrow as what was really drawn. With changed and
// opaque set, only pixels of another colour are written, and changed receives
// the smallest rectangle holding them (what needs presenting); the rules of
// underline and strike-out are counted as changed whenever drawn.
IRect font_text_out(const Surface& dst, const IRect& clip, int x, int y, const FontRequest& font, const char* text,
                    int n, uint32_t fg, uint32_t bg, bool opaque, const InkMap* black_known = nullptr,
                    IRect* glyphs = nullptr, IRect* changed = nullptr);

// Width in pixels that font_text_out would use for the text.
int font_text_width(const FontRequest& font, const char* text, int n);

// The layer's own texts (message boxes), which may name files CP932 cannot
// hold: UTF-8 drawn by the same cell rule, not opaque. A character CP932 holds
// takes its cells there; any other one cell, two when it is wide (Hangul,
// CJK), and comes from a face that has it.
void font_text_out_utf8(const Surface& dst, const IRect& clip, int x, int y, const FontRequest& font,
                        const std::string& utf8, uint32_t fg);
int font_text_width_utf8(const FontRequest& font, const std::string& utf8);

// The file the face matched to, for messages and tests ("" when none was found).
const char* font_file_path(const FontRequest& font);

// Start-up: font_warm_start opens the faces and renders the glyphs the last
// start's first frame drew (listed in the cache directory) on a second thread;
// every function above waits for it before it touches the font state.
// font_warm_save, once the first frame is up, adds what that frame rendered
// besides to the list. The real window calls both; without them, glyphs are
// rendered as they are first drawn.
void font_warm_start();
void font_warm_save();
