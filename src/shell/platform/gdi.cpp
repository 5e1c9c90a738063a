// gdi.cpp -- device contexts, brushes, pens and fonts over the client framebuffer.
//
// Owns the stock objects, the set of live GDI objects and the live device
// contexts. A device context draws into its window's client framebuffer with
// GDI's pixel rules (right and bottom edges exclusive, a line leaves out its
// end point) and marks what it changed for the next present. Text goes through
// font.cpp. It remembers the longer opaque texts (TextRun) and the larger
// fills (FillRun) that stand as drawn, so that the same text drawn again with
// more after it costs only the new characters, and a fill inside one of the
// same colour costs nothing.
// Called by the program's drawing code and by DefWindowProcA.
#include "gdi.h"

#include "codepage.h"
#include "font.h"
#include "ink.h"
#include "screen.h"
#include "surface.h"
#include "win32.h"
#include "window.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_set>

constexpr int TEXT_RUNS_MAX = 8;        // a practice screen has two such lines; the rest is single cells
constexpr int FILL_RUNS_MAX = 32;       // a keystroke fills about a dozen rectangles
constexpr long long FILL_RUN_MIN = 256; // pixels; smaller fills are compared afresh

enum class GdiKind { Brush, Pen, Font };

struct GdiObject {
    GdiKind kind;
    bool stock;
    COLORREF color;
    bool hollow; // NULL_BRUSH, NULL_PEN
    int width;   // pens
    FontRequest font;
};

struct Dc {
    Window* win;
    bool paint;
    IRect paint_clip;
    COLORREF text_color;
    COLORREF bk_color;
    int bk_mode;
    GdiObject* brush;
    GdiObject* pen;
    GdiObject* font;
    int cx, cy; // current position
};

constexpr int STOCK_COUNT = 18;

static GdiObject stock[STOCK_COUNT];
static bool stock_ready = false;
static std::unordered_set<GdiObject*> live_objects;
static std::unordered_set<Dc*> live_dcs;

constexpr int SYSTEM_FONT_H = 16;

static FontRequest system_font_spec() { return gothic_font(SYSTEM_FONT_H, 0, FW_BOLD); }

static void init_stock()
{
    if (stock_ready)
        return;
    const COLORREF brushes[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64),
                                 RGB(0, 0, 0)};
    for (int i = 0; i <= NULL_BRUSH; i++)
        stock[i] = GdiObject{GdiKind::Brush, true, i < 5 ? brushes[i] : 0, i == NULL_BRUSH, 0, {}};
    stock[WHITE_PEN] = GdiObject{GdiKind::Pen, true, RGB(255, 255, 255), false, 1, {}};
    stock[BLACK_PEN] = GdiObject{GdiKind::Pen, true, RGB(0, 0, 0), false, 1, {}};
    stock[NULL_PEN] = GdiObject{GdiKind::Pen, true, 0, true, 1, {}};
    for (int i : {10, 11, 12, SYSTEM_FONT, 14, 15, 16, DEFAULT_GUI_FONT})
        stock[i] = GdiObject{GdiKind::Font, true, 0, false, 0, system_font_spec()};
    stock[9] = stock[SYSTEM_FONT];
    for (GdiObject& o : stock)
        live_objects.insert(&o);
    stock_ready = true;
}

static GdiObject* object_from(HGDIOBJ h)
{
    init_stock();
    GdiObject* o = static_cast<GdiObject*>(h);
    return live_objects.count(o) ? o : nullptr;
}

static Dc* dc_from(HDC h)
{
    Dc* dc = reinterpret_cast<Dc*>(h);
    return live_dcs.count(dc) && window_from(hwnd_of(dc->win)) ? dc : nullptr;
}

static HDC new_dc(Window* win, bool paint, const IRect& clip)
{
    init_stock();
    Dc* dc = new Dc{win,
                    paint,
                    clip,
                    RGB(0, 0, 0),
                    RGB(255, 255, 255),
                    OPAQUE,
                    &stock[WHITE_BRUSH],
                    &stock[BLACK_PEN],
                    &stock[SYSTEM_FONT],
                    0,
                    0};
    live_dcs.insert(dc);
    return reinterpret_cast<HDC>(dc);
}

static void free_dc(HDC h)
{
    Dc* dc = reinterpret_cast<Dc*>(h);
    if (live_dcs.erase(dc))
        delete dc;
}

// Where a context may draw: its window's client area, narrowed to the update
// area inside BeginPaint. Child windows have no pixels of their own here.
static IRect dc_clip(const Dc* dc)
{
    if (dc->win->parent)
        return IRect{};
    IRect all = client_rect_of(dc->win);
    return dc->paint ? rect_intersect(all, dc->paint_clip) : all;
}

static void mark(const Dc* dc, const IRect& r)
{
    IRect changed = rect_intersect(r, dc_clip(dc));
    if (dc->win == top_window())
        screen_mark_dirty(changed);
}

// ---- text standing as drawn ------------------------------------------------------

static uint64_t runs_clock = 0;

static bool same_font(const FontRequest& a, const FontRequest& b)
{
    return a.height == b.height && a.width == b.width && a.weight == b.weight && a.italic == b.italic &&
           a.underline == b.underline && a.strike_out == b.strike_out && a.charset == b.charset &&
           a.pitch_and_family == b.pitch_and_family && std::strncmp(a.face, b.face, FONT_FACE_MAX) == 0;
}

// Drops from the list every run that gone(run) says no longer stands (it may
// also shrink the run), except the one at index keep. Returns keep's index
// afterwards, -1 when there is none.
template <typename Run, typename Gone>
static int drop_runs(std::vector<Run>& list, int keep, Gone gone)
{
    int out = 0, kept = -1;
    for (int i = 0; i < (int)list.size(); i++) {
        if (i != keep && gone(list[(size_t)i]))
            continue;
        if (i == keep)
            kept = out;
        if (out != i)
            list[(size_t)out] = std::move(list[(size_t)i]);
        out++;
    }
    list.resize((size_t)out);
    return kept;
}

// Drawing over r: the text runs it touches no longer stand as drawn.
static int forget_runs(Window* win, const IRect& r, int keep = -1)
{
    return drop_runs(win->runs, keep, [&](const TextRun& t) { return !rect_intersect(t.cells, r).empty(); });
}

// What is left of f once d is drawn over it, when that is one rectangle (the
// larger one when d cuts f in two); empty otherwise.
static IRect left_of(const IRect& f, const IRect& d)
{
    IRect o = rect_intersect(f, d);
    if (o.empty())
        return f;
    if (o.y0 == f.y0 && o.y1 == f.y1) {
        IRect l{f.x0, f.y0, o.x0, f.y1}, r{o.x1, f.y0, f.x1, f.y1};
        return l.area() >= r.area() ? l : r;
    }
    if (o.x0 == f.x0 && o.x1 == f.x1) {
        IRect t{f.x0, f.y0, f.x1, o.y0}, b{f.x0, o.y1, f.x1, f.y1};
        return t.area() >= b.area() ? t : b;
    }
    return IRect{};
}

// Drawing over r trims the fills it touches, but for the one at index keep;
// a fill left too small is forgotten. Returns keep's index afterwards.
static int trim_fills(Window* win, const IRect& r, int keep = -1)
{
    return drop_runs(win->fills, keep, [&](FillRun& f) {
        f.r = left_of(f.r, r);
        return f.r.area() < FILL_RUN_MIN;
    });
}

// Drawing other than a run's own: every run under r is forgotten or trimmed.
static void drawn_over(Window* win, const IRect& r)
{
    if (r.empty())
        return;
    forget_runs(win, r);
    trim_fills(win, r);
}

// The fill of this colour standing where c is to be filled: one that holds c
// (*rest empty: nothing to fill), or one inside c that c extends by whole rows
// or columns (*rest is the part of c beyond it). -1 when there is none.
static int fill_under(const Window* win, const IRect& c, uint32_t color, IRect* rest)
{
    for (int i = 0; i < (int)win->fills.size(); i++) {
        const IRect& f = win->fills[(size_t)i].r;
        if (win->fills[(size_t)i].color != color)
            continue;
        IRect o = rect_intersect(f, c);
        if (o == c) {
            *rest = IRect{};
            return i;
        }
        if (o != f)
            continue;
        if (f.y0 == c.y0 && f.y1 == c.y1 && (f.x0 == c.x0 || f.x1 == c.x1)) {
            *rest = f.x0 == c.x0 ? IRect{f.x1, c.y0, c.x1, c.y1} : IRect{c.x0, c.y0, f.x0, c.y1};
            return i;
        }
        if (f.x0 == c.x0 && f.x1 == c.x1 && (f.y0 == c.y0 || f.y1 == c.y1)) {
            *rest = f.y0 == c.y0 ? IRect{c.x0, f.y1, c.x1, c.y1} : IRect{c.x0, c.y0, c.x1, f.y0};
            return i;
        }
    }
    return -1;
}

// Where a new run goes: appended while the list has room, else in place of
// the run used least recently.
template <typename Run>
static Run* free_slot(std::vector<Run>& list, int max)
{
    if (list.size() < (size_t)max) {
        list.emplace_back();
        return &list.back();
    }
    return &*std::min_element(list.begin(), list.end(), [](const Run& a, const Run& b) { return a.used < b.used; });
}

// Notes c filled with color.
static void remember_fill(Window* win, const IRect& c, uint32_t color)
{
    if (c.area() < FILL_RUN_MIN)
        return;
    *free_slot(win->fills, FILL_RUNS_MAX) = FillRun{c, color, ++runs_clock};
}

// The run standing at (x, y) in this font and these colours whose text the
// new text begins with, up to one of the new text's character boundaries (a
// lone lead byte at the run's end may pair with what follows); -1 when none.
static int run_extended_by(const Window* win, int x, int y, const FontRequest& font, uint32_t fg, uint32_t bg,
                           const char* text, int n)
{
    for (int i = 0; i < (int)win->runs.size(); i++) {
        const TextRun& t = win->runs[(size_t)i];
        if (t.x != x || t.y != y || t.fg != fg || t.bg != bg || !same_font(t.font, font))
            continue;
        int len = (int)t.text.size();
        if (len > n || std::memcmp(t.text.data(), text, (size_t)len) != 0)
            return -1;
        int at = 0;
        while (at < len)
            at += cp932_char_len(text + at, n - at);
        return at == len ? i : -1;
    }
    return -1;
}

// Notes text drawn whole at (x, y). One character is not worth it: it is
// drawn afresh.
static void remember_run(Window* win, int x, int y, const FontRequest& font, uint32_t fg, uint32_t bg,
                         const IRect& cells, const char* text, int n)
{
    if (n < 2)
        return;
    TextRun* slot = free_slot(win->runs, TEXT_RUNS_MAX);
    slot->x = x;
    slot->y = y;
    slot->font = font;
    slot->fg = fg;
    slot->bg = bg;
    slot->cells = cells;
    slot->text.assign(text, (size_t)n);
    slot->used = ++runs_clock;
}

HDC GetDC(HWND hwnd)
{
    Window* win = hwnd ? window_from(hwnd) : top_window();
    return win ? new_dc(win, false, IRect{}) : nullptr;
}

int ReleaseDC(HWND hwnd, HDC hdc)
{
    if (!live_dcs.count(reinterpret_cast<Dc*>(hdc)))
        return 0;
    free_dc(hdc);
    return 1;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    Window* win = window_from(hwnd);
    if (!win || !ps)
        return nullptr;
    IRect area = win->invalid;
    HDC hdc = new_dc(win, true, area);
    std::memset(ps, 0, sizeof *ps);
    ps->hdc = hdc;
    ps->rcPaint = RECT{area.x0, area.y0, area.x1, area.y1};
    bool erase = win->erase_pending;
    win->invalid = IRect{};
    win->erase_pending = false;
    if (erase)
        ps->fErase = send_message(win, WM_ERASEBKGND, (WPARAM)hdc, 0) == 0;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (!ps || !live_dcs.count(reinterpret_cast<Dc*>(ps->hdc)))
        return FALSE;
    free_dc(ps->hdc);
    return TRUE;
}

HGDIOBJ GetStockObject(int index)
{
    init_stock();
    if (index < 0 || index >= STOCK_COUNT || index == 9 || (index > NULL_PEN && index < 10))
        return nullptr;
    return &stock[index];
}

static HGDIOBJ new_object(const GdiObject& o)
{
    init_stock();
    GdiObject* p = new GdiObject(o);
    live_objects.insert(p);
    return p;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(new_object(GdiObject{GdiKind::Brush, false, color & 0xFFFFFF, false, 0, {}}));
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    return static_cast<HPEN>(
        new_object(GdiObject{GdiKind::Pen, false, color & 0xFFFFFF, style == PS_NULL, width < 1 ? 1 : width, {}}));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, LPCSTR face)
{
    FontRequest f;
    f.height = height;
    f.width = width < 0 ? -width : width;
    f.weight = weight == FW_DONTCARE ? FW_NORMAL : weight;
    f.italic = italic != 0;
    f.underline = underline != 0;
    f.strike_out = strike_out != 0;
    f.charset = (int)charset;
    f.pitch_and_family = (int)pitch_and_family;
    if (face) {
        std::strncpy(f.face, face, FONT_FACE_MAX - 1);
        f.face[FONT_FACE_MAX - 1] = 0;
    }
    return static_cast<HFONT>(new_object(GdiObject{GdiKind::Font, false, 0, false, 0, f}));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object)
{
    Dc* dc = dc_from(hdc);
    GdiObject* o = object_from(object);
    if (!dc || !o)
        return nullptr;
    GdiObject** slot = o->kind == GdiKind::Brush ? &dc->brush : o->kind == GdiKind::Pen ? &dc->pen : &dc->font;
    GdiObject* old = *slot;
    *slot = o;
    return old;
}

BOOL DeleteObject(HGDIOBJ object)
{
    GdiObject* o = object_from(object);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    for (Dc* dc : live_dcs)
        if (dc->brush == o || dc->pen == o || dc->font == o)
            return FALSE; // still selected: Windows refuses too
    live_objects.erase(o);
    delete o;
    return TRUE;
}

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    Dc* dc = dc_from(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->text_color;
    dc->text_color = color & 0xFFFFFF;
    return old;
}

COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    Dc* dc = dc_from(hdc);
    if (!dc)
        return CLR_INVALID;
    COLORREF old = dc->bk_color;
    dc->bk_color = color & 0xFFFFFF;
    return old;
}

int SetBkMode(HDC hdc, int mode)
{
    Dc* dc = dc_from(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    int old = dc->bk_mode;
    dc->bk_mode = mode;
    return old;
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    Dc* dc = dc_from(hdc);
    GdiObject* b = object_from(brush);
    if (!dc || !rect || !b || b->kind != GdiKind::Brush)
        return 0;
    if (b->hollow)
        return 1;
    IRect r{rect->left, rect->top, rect->right, rect->bottom};
    Window* win = dc->win;
    Surface s = win->fb.surface();
    IRect c = rect_intersect(rect_intersect(r, dc_clip(dc)), s.bounds());
    uint32_t color = pixel_from_colorref(b->color);
    ink_fit(&win->ink, s.w, s.h, false);
    if (color == 0)
        drawn_over(win, c);
    if (color == 0 && ink_defer_black(s, &win->ink, c)) {
        // An erase: written later, and only where nothing covers it by then.
    } else if (color == 0) { // what is black already is left alone
        ink_cover(s, &win->ink, c);
        ink_fill_black(s, &win->ink, c);
    } else {
        // Bars and keys are filled again with the colour they already have far
        // more often than not: only what really changes is written, and only
        // that needs composing and presenting.
        // A fill of the same colour standing there already leaves only the
        // rest of c to fill, often nothing.
        IRect rest = c;
        int under = fill_under(win, c, color, &rest);
        IRect changed = rest;
        if (!rest.empty()) {
            ink_cover(s, &win->ink, rest);
            if (win == top_window() && screen_dirty_covers(rest))
                surface_fill(s, rest, rest, color);
            else
                changed = surface_fill_changed(s, rest, color);
            ink_add(&win->ink, rest);
            forget_runs(win, rest);
            under = trim_fills(win, rest, under);
        }
        if (under < 0) {
            remember_fill(win, c, color);
        } else {
            FillRun& f = win->fills[(size_t)under];
            f.r = rect_union(f.r, c);
            f.used = ++runs_clock;
        }
        mark(dc, changed);
        return 1;
    }
    mark(dc, r);
    return 1;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old)
{
    Dc* dc = dc_from(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = POINT{dc->cx, dc->cy};
    dc->cx = x;
    dc->cy = y;
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    Dc* dc = dc_from(hdc);
    if (!dc)
        return FALSE;
    const GdiObject* pen = dc->pen;
    if (!pen->hollow) {
        Surface s = dc->win->fb.surface();
        IRect clip = dc_clip(dc);
        uint32_t color = pixel_from_colorref(pen->color);
        ink_fit(&dc->win->ink, s.w, s.h, false);
        ink_settle(s, &dc->win->ink,
                   IRect{0, std::min(dc->cy, y) - pen->width, s.w, std::max(dc->cy, y) + pen->width + 1});
        IRect painted = surface_line(s, clip, dc->cx, dc->cy, x, y, color, pen->width);
        ink_add(&dc->win->ink, painted);
        drawn_over(dc->win, painted);
        mark(dc, painted);
    }
    dc->cx = x;
    dc->cy = y;
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count)
{
    Dc* dc = dc_from(hdc);
    if (!dc || !text || count < 0)
        return FALSE;
    if (count == 0)
        return TRUE;
    Window* win = dc->win;
    Surface s = win->fb.surface();
    IRect clip = dc_clip(dc);
    bool opaque = dc->bk_mode == OPAQUE;
    uint32_t fg = pixel_from_colorref(dc->text_color), bg = pixel_from_colorref(dc->bk_color);
    ink_fit(&win->ink, s.w, s.h, false);
    int cell_w = 1, cell_h = 1;
    font_cell_size(dc->font->font, &cell_w, &cell_h);
    // Opaque text standing there already as the start of this one is left as
    // it is: only what follows it is drawn (one cell per byte).
    int run = opaque ? run_extended_by(win, x, y, dc->font->font, fg, bg, text, count) : -1;
    int skip = run >= 0 ? (int)win->runs[(size_t)run].text.size() : 0;
    if (run >= 0 && skip == count) {
        win->runs[(size_t)run].used = ++runs_clock;
        return TRUE;
    }
    long long at = (long long)x + (long long)skip * cell_w;
    if (at > INT_MAX) // nothing of the rest can be seen; the run stays as it is
        return TRUE;
    int rest_x = (int)at, rest_n = count - skip;
    const char* rest = text + skip;
    if (!opaque) // the glyphs are blended over what lies beneath: it must be there
        ink_settle(s, &win->ink, IRect{0, y, s.w, y + cell_h});
    // On black, the cells are black but for the glyphs: the ink map keeps only
    // those, and black need not be written where it is known to be already.
    // Opaque text is often drawn again as it was (the typed line, on every
    // key): only the pixels that differ are written, marked and composed.
    // When the cells will be composed anyway (a repaint), comparing buys nothing.
    bool on_black = opaque && bg == 0;
    long long right = std::min<long long>((long long)rest_x + (long long)rest_n * cell_w, INT_MAX);
    IRect ahead = rect_intersect(IRect{rest_x, y, (int)right, y + cell_h}, clip);
    bool compare = opaque && win == top_window() && !screen_dirty_covers(ahead);
    IRect glyphs{}, changed{};
    IRect cells = font_text_out(s, clip, rest_x, y, dc->font->font, rest, rest_n, fg, bg, opaque,
                                on_black ? &win->ink : nullptr, &glyphs, compare ? &changed : nullptr);
    IRect written = rect_intersect(rect_intersect(cells, clip), s.bounds());
    if (opaque) // every pixel of the cells is what it should be now
        ink_cover(s, &win->ink, written);
    if (on_black) {
        ink_remove(&win->ink, written);
        ink_add(&win->ink, rect_intersect(glyphs, written));
    } else {
        ink_add(&win->ink, written);
    }
    mark(dc, compare ? changed : cells);
    // What now stands whole in the cells is remembered; a run drawn over in
    // part, or extended by cells that could not all be drawn, is forgotten.
    bool whole = opaque && !cells.empty() && written == cells;
    run = forget_runs(win, cells, whole ? run : -1);
    trim_fills(win, cells);
    if (run >= 0) {
        TextRun& t = win->runs[(size_t)run];
        t.text.append(rest, (size_t)rest_n);
        t.cells = rect_union(t.cells, cells);
        t.used = ++runs_clock;
    } else if (whole && skip == 0) {
        remember_run(win, x, y, dc->font->font, fg, bg, cells, text, count);
    }
    return TRUE;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    Dc* dc = dc_from(hdc);
    if (!dc)
        return CLR_INVALID;
    IRect clip = dc_clip(dc);
    if (x < clip.x0 || x >= clip.x1 || y < clip.y0 || y >= clip.y1)
        return CLR_INVALID;
    Surface s = dc->win->fb.surface();
    ink_settle(s, &dc->win->ink, IRect{x, y, x + 1, y + 1});
    return colorref_from_pixel(s.row(y)[x]);
}
