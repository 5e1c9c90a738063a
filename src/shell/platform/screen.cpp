// screen.cpp -- composing the shown window and presenting only what changed.
//
// Owns the list of changed screen rectangles and the ink map of the screen.
// Drawing marks rectangles of the client area; the message box marks its own.
// screen_flush composes the marked rectangles into the backend's screen (client
// pixels, then the overlays) and presents only the rows and columns of each
// that differ from what the screen already shows: a program that redraws
// unchanged cells costs no display traffic. Where neither the client nor the
// screen may hold colour (their ink maps), nothing is read or written at all.
// Called before the queue reports or waits for messages.
#include "screen.h"

#include "backend.h"
#include "compose_box.h"
#include "ink.h"
#include "menu.h"
#include "msgbox.h"
#include "surface.h"
#include "window.h"

#include <cstring>
#include <vector>

constexpr int DIRTY_MAX = 24;            // rectangles kept apart before they are merged
constexpr int SAVED_ROWS = 64;           // rows of the screen saved at a time while an overlay is composed
constexpr int DIFF_CHUNKS[] = {256, 16}; // pixels compared at once while looking for a change, long then short

static IRect dirty[DIRTY_MAX];
static int dirty_count = 0;
// The display lost what it showed (or never showed anything): the next flush
// presents its rectangles whole, whatever the screen surface already holds.
static bool present_whole = false;
// The display lost what it showed, but the screen surface still holds it: the
// next flush composes only what changed and presents the whole screen.
static bool present_all = false;
static std::vector<uint32_t> zero_row; // black, as wide as the screen: what rows outside the client compare with
static std::vector<uint32_t> saved_px; // a band of the screen before overlays are composed into it
static InkMap screen_ink;              // where the screen surface may hold colour

int screen_client_top() { return menu_bar_height(top_window()); }

// Adds r to the list. A rectangle inside another is dropped; when the list is
// full, r is merged into the rectangle whose area grows least.
static void add_dirty(IRect r)
{
    Surface s = backend_screen();
    r = rect_intersect(r, s.bounds());
    if (r.empty())
        return;
    for (int i = 0; i < dirty_count; i++) {
        IRect u = rect_union(dirty[i], r);
        if (u.area() == dirty[i].area())
            return;
        if (u.area() == r.area() || u.area() <= dirty[i].area() + r.area()) {
            dirty[i] = u;
            return;
        }
    }
    if (dirty_count < DIRTY_MAX) {
        dirty[dirty_count++] = r;
        return;
    }
    int best = 0;
    long long best_growth = -1;
    for (int i = 0; i < dirty_count; i++) {
        long long growth = rect_union(dirty[i], r).area() - dirty[i].area();
        if (best_growth < 0 || growth < best_growth) {
            best = i;
            best_growth = growth;
        }
    }
    dirty[best] = rect_union(dirty[best], r);
}

void screen_mark_dirty(const IRect& client_rect)
{
    if (top_window())
        add_dirty(rect_offset(client_rect, 0, screen_client_top()));
}

bool screen_dirty_covers(const IRect& client_rect)
{
    if (!top_window())
        return false;
    IRect r = rect_offset(client_rect, 0, screen_client_top());
    for (int i = 0; i < dirty_count; i++)
        if (rect_intersect(dirty[i], r).area() == r.area())
            return true;
    return false;
}

void screen_mark_screen_dirty(const IRect& screen_rect)
{
    if (top_window())
        add_dirty(screen_rect);
}

void screen_present_all()
{
    if (!top_window())
        return;
    add_dirty(backend_screen().bounds());
    present_all = true;
}

void screen_invalidate_all()
{
    if (!top_window())
        return;
    dirty_count = 0;
    Surface s = backend_screen();
    add_dirty(s.bounds());
    if (backend_screen_fresh()) { // all black: what is black need not be written
        screen_ink = InkMap{};
        ink_fit(&screen_ink, s.w, s.h, false);
    } else {
        ink_set_all(&screen_ink);
    }
    present_whole = true;
}

// ---- finding what differs ------------------------------------------------------

// What one screen rectangle is compared with: the client framebuffer, whose
// row 0 is screen row client_top (rows outside it are black), and the ink maps
// of the client and of the screen; without them every column is compared.
struct Source {
    Surface client;
    int client_top;
    const InkMap* client_ink;
    const InkMap* screen_ink;
};

// Index of the first pixel in [0, n) where a and b differ, n when none does;
// and of the last, -1 when none does. Equal runs are passed over with memcmp,
// first in long chunks, then in short ones inside the chunk that differs: far
// faster than a loop of compares, which is left only the last few pixels.
static int first_diff(const uint32_t* a, const uint32_t* b, int n)
{
    if (n <= 0 || std::memcmp(a, b, (size_t)n * sizeof(uint32_t)) == 0)
        return n; // the usual case: one call settles it
    int i = 0;
    for (int chunk : DIFF_CHUNKS)
        while (i + chunk <= n && std::memcmp(a + i, b + i, (size_t)chunk * sizeof(uint32_t)) == 0)
            i += chunk;
    while (i < n && a[i] == b[i])
        i++;
    return i;
}

static int last_diff(const uint32_t* a, const uint32_t* b, int n)
{
    if (n <= 0 || std::memcmp(a, b, (size_t)n * sizeof(uint32_t)) == 0)
        return -1;
    int i = n;
    for (int chunk : DIFF_CHUNKS)
        while (i >= chunk && std::memcmp(a + i - chunk, b + i - chunk, (size_t)chunk * sizeof(uint32_t)) == 0)
            i -= chunk;
    while (i > 0 && a[i - 1] == b[i - 1])
        i--;
    return i - 1;
}

// Which ends of a row's differing span a caller needs.
enum DiffWant { WANT_FIRST = 1, WANT_LAST = 2, WANT_BOTH = 3 };

static bool client_row(const Source& src, int y) { return y >= src.client_top && y < src.client_top + src.client.h; }

// The columns of screen row y within [x0, x1) that may differ: where the
// client or the screen may hold colour. Elsewhere both are black.
static InkSpan row_window(const Source& src, int y, int x0, int x1)
{
    if (!src.client_ink)
        return InkSpan{x0, x1};
    InkSpan c = client_row(src, y) ? ink_row(*src.client_ink, y - src.client_top) : InkSpan{};
    InkSpan s = ink_row(*src.screen_ink, y);
    InkSpan u = c.x1 <= c.x0 ? s : s.x1 <= s.x0 ? c : InkSpan{std::min(c.x0, s.x0), std::max(c.x1, s.x1)};
    return InkSpan{std::max(u.x0, x0), std::min(u.x1, x1)};
}

// The first and last columns of screen row y within [x0, x1) that differ from
// the source (only the ends asked for are looked for); false when none does.
static bool row_diff(const Surface& screen, const Source& src, int y, int x0, int x1, int want, int* first, int* last)
{
    InkSpan u = row_window(src, y, x0, x1);
    int n = u.x1 - u.x0;
    if (n <= 0)
        return false;
    const uint32_t* have = screen.row(y) + u.x0;
    const uint32_t* should = (client_row(src, y) ? src.client.row(y - src.client_top) : zero_row.data()) + u.x0;
    int f = -1, l = -1;
    if (want & WANT_FIRST) {
        f = first_diff(have, should, n);
        if (f == n)
            return false;
    }
    if (want & WANT_LAST) {
        l = last_diff(have, should, n);
        if (l < 0)
            return false;
    }
    *first = u.x0 + f;
    *last = u.x0 + l;
    return true;
}

// The smallest rectangle inside r holding every pixel of the screen that
// differs from the source; empty when r already shows it all. Rows are read
// whole only until the first and last differing ones are found; between those,
// only the columns left and right of the span found so far are compared.
static IRect differing_part(const Surface& screen, const Source& src, const IRect& r)
{
    int f = 0, l = 0, y0 = r.y0;
    while (y0 < r.y1 && !row_diff(screen, src, y0, r.x0, r.x1, WANT_BOTH, &f, &l))
        y0++;
    if (y0 == r.y1)
        return IRect{};
    IRect d{f, y0, l + 1, y0 + 1};
    int y1 = r.y1 - 1;
    while (y1 > y0 && !row_diff(screen, src, y1, r.x0, r.x1, WANT_BOTH, &f, &l))
        y1--;
    if (y1 > y0) {
        d.x0 = std::min(d.x0, f);
        d.x1 = std::max(d.x1, l + 1);
        d.y1 = y1 + 1;
    }
    for (int y = y0 + 1; y < y1 && (d.x0 > r.x0 || d.x1 < r.x1); y++) {
        if (d.x0 > r.x0 && row_diff(screen, src, y, r.x0, d.x0, WANT_FIRST, &f, &l))
            d.x0 = f;
        if (d.x1 < r.x1 && row_diff(screen, src, y, d.x1, r.x1, WANT_LAST, &f, &l))
            d.x1 = l + 1;
    }
    return d;
}

// The part of r whose pixels differ from the copy of r saved in saved_px.
static IRect differing_from_saved(const Surface& screen, const IRect& r)
{
    Surface before{saved_px.data(), r.width(), r.height(), r.width()};
    Source src{before, 0, nullptr, nullptr};
    Surface moved{screen.row(r.y0) + r.x0, r.width(), r.height(), screen.stride};
    return rect_offset(differing_part(moved, src, IRect{0, 0, r.width(), r.height()}), r.x0, r.y0);
}

// ---- composing --------------------------------------------------------------------

static void blacken(uint32_t* row, int x0, int x1)
{
    if (x1 > x0)
        std::memset(row + x0, 0, (size_t)(x1 - x0) * sizeof(uint32_t));
}

// Screen row y over [x0, x1) made equal to the client: the client's inked
// columns copied, the rest made black where the screen may not be black yet.
static void compose_row(const Surface& screen, const Source& src, int y, int x0, int x1)
{
    InkSpan c{};
    if (client_row(src, y)) {
        InkSpan ci = ink_row(*src.client_ink, y - src.client_top);
        c = InkSpan{std::max(ci.x0, x0), std::min(ci.x1, x1)};
    }
    InkSpan s = ink_row(screen_ink, y);
    s = InkSpan{std::max(s.x0, x0), std::min(s.x1, x1)};
    uint32_t* out = screen.row(y);
    if (c.x1 <= c.x0) {
        blacken(out, s.x0, s.x1);
    } else {
        blacken(out, s.x0, std::min(s.x1, c.x0));
        blacken(out, std::max(s.x0, c.x1), s.x1);
        std::memcpy(out + c.x0, src.client.row(y - src.client_top) + c.x0, (size_t)(c.x1 - c.x0) * sizeof(uint32_t));
    }
    ink_remove(&screen_ink, IRect{x0, y, x1, y + 1});
    if (c.x1 > c.x0)
        ink_add(&screen_ink, IRect{c.x0, y, c.x1, y + 1});
}

// After overlays were drawn over r: the screen's ink there is where r now
// holds colour, found row by row from both ends (an overlay is a box, most of
// r around it black), so that the ink does not grow to all of r.
static void note_overlay_ink(const Surface& screen, const IRect& r)
{
    for (int y = r.y0; y < r.y1; y++) {
        const uint32_t* row = screen.row(y);
        int a = r.x0, b = r.x1;
        while (a < b && row[a] == 0)
            a++;
        while (b > a && row[b - 1] == 0)
            b--;
        if (b > a)
            ink_add(&screen_ink, IRect{a, y, b, y + 1});
    }
}

// The client pixels of r, then the overlays over them.
static void compose(const Surface& screen, const Source& src, const IRect& r, bool box)
{
    for (int y = r.y0; y < r.y1; y++)
        compose_row(screen, src, y, r.x0, r.x1);
    bool overlay = menu_overlaps(r);
    bool composing = compose_box_overlaps(r);
    if (composing)
        compose_box_draw(screen, r);
    if (overlay)
        menu_draw(screen, r);
    if (box)
        msgbox_draw(screen, r);
    if (overlay || box || composing)
        note_overlay_ink(screen, r);
}

// Composes r and returns the part of it that changed on the screen. Without
// an overlay over r, the client is compared with the screen first and only the
// differing part composed; with one, r is saved, composed whole and compared
// with what it was, a band of rows at a time so that the copy stays small.
static IRect compose_changed(const Surface& screen, const Source& src, const IRect& r, bool box)
{
    bool overlay = box || menu_overlaps(r) || compose_box_overlaps(r); // overlays are no client pixels
    if (present_whole) {
        compose(screen, src, r, box);
        return r;
    }
    if (!overlay) {
        IRect d = differing_part(screen, src, r);
        if (!d.empty())
            compose(screen, src, d, false);
        return d;
    }
    IRect d{};
    for (int y0 = r.y0; y0 < r.y1; y0 += SAVED_ROWS) {
        IRect band{r.x0, y0, r.x1, std::min(y0 + SAVED_ROWS, r.y1)};
        saved_px.resize((size_t)band.area());
        for (int y = band.y0; y < band.y1; y++)
            std::memcpy(&saved_px[(size_t)(y - y0) * band.width()], screen.row(y) + band.x0,
                        (size_t)band.width() * sizeof(uint32_t));
        compose(screen, src, band, box);
        d = rect_union(d, differing_from_saved(screen, band));
    }
    return d;
}

bool screen_dirty() { return dirty_count > 0 && top_window(); }

void screen_flush()
{
    compose_box_sync();
    Window* top = top_window();
    if (dirty_count == 0 || !top)
        return;
    Surface screen = backend_screen();
    if (zero_row.size() < (size_t)screen.w)
        zero_row.assign((size_t)screen.w, 0);
    ink_fit(&screen_ink, screen.w, screen.h, true);
    Surface client = top->fb.surface();
    ink_fit(&top->ink, client.w, client.h, false);
    ink_settle_all(client, &top->ink);
    Source src{client, screen_client_top(), &top->ink, &screen_ink};
    bool box = msgbox_active();
    IRect changed[DIRTY_MAX];
    int n = 0;
    for (int i = 0; i < dirty_count; i++) {
        IRect d = compose_changed(screen, src, dirty[i], box);
        if (!d.empty())
            changed[n++] = d;
    }
    if (present_all) {
        changed[0] = screen.bounds();
        n = 1;
    }
    if (n > 0)
        backend_present(changed, n);
    window_title_flush();
    dirty_count = 0;
    present_whole = false;
    present_all = false;
}
