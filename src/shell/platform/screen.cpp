// screen.cpp -- composing the shown window and presenting only what changed.
//
// Owns the list of changed screen rectangles. Drawing marks rectangles of the
// client area; the message box marks its own. screen_flush composes the marked
// rectangles into the backend's screen (client pixels, then the overlays) and
// presents only the rows and columns of each that differ from what the screen
// already shows: a program that redraws unchanged cells costs no display
// traffic. Called before the queue reports or waits for messages.
#include "internal.h"

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
static std::vector<uint32_t> zero_row; // black, as wide as the screen: what undrawn pixels compare with
static std::vector<uint32_t> saved_px; // a band of the screen before overlays are composed into it

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

void screen_mark_screen_dirty(const IRect& screen_rect)
{
    if (top_window())
        add_dirty(screen_rect);
}

void screen_invalidate_all()
{
    if (!top_window())
        return;
    dirty_count = 0;
    add_dirty(backend_screen().bounds());
    present_whole = true;
}

// Fills r black except for its part inside: what lies outside the drawn part
// of the client area (or outside the client area) is known to be black, and
// the framebuffer's untouched pages need not even be read.
static void fill_outside(const Surface& screen, const IRect& r, const IRect& inside)
{
    if (inside.empty()) {
        surface_fill(screen, screen.bounds(), r, 0);
        return;
    }
    surface_fill(screen, screen.bounds(), IRect{r.x0, r.y0, r.x1, inside.y0}, 0);
    surface_fill(screen, screen.bounds(), IRect{r.x0, inside.y1, r.x1, r.y1}, 0);
    surface_fill(screen, screen.bounds(), IRect{r.x0, inside.y0, inside.x0, inside.y1}, 0);
    surface_fill(screen, screen.bounds(), IRect{inside.x1, inside.y0, r.x1, inside.y1}, 0);
}

// ---- finding what differs ------------------------------------------------------

// Where the changed pixels of one screen rectangle come from: the client
// framebuffer inside `drawn` (screen coordinates), black everywhere else.
struct Source {
    Surface client;
    int client_top;
    IRect drawn;
};

// Index of the first pixel in [0, n) where a and b differ, n when none does;
// and of the last, -1 when none does. Equal runs are passed over with memcmp,
// first in long chunks, then in short ones inside the chunk that differs: far
// faster than a loop of compares, which is left only the last few pixels.
static int first_diff(const uint32_t* a, const uint32_t* b, int n)
{
    if (std::memcmp(a, b, (size_t)n * sizeof(uint32_t)) == 0)
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
    if (std::memcmp(a, b, (size_t)n * sizeof(uint32_t)) == 0)
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

// The first and last columns of screen row y within [x0, x1) that differ from
// the source (only the ends asked for are looked for); false when none does.
// Undrawn pixels are compared with black.
static bool row_diff(const Surface& screen, const Source& src, int y, int x0, int x1, int want, int* first, int* last)
{
    const uint32_t* have = screen.row(y);
    bool in_drawn = y >= src.drawn.y0 && y < src.drawn.y1;
    int a = in_drawn ? std::min(std::max(src.drawn.x0, x0), x1) : x1; // [a, b) comes from the client
    int b = in_drawn ? std::min(std::max(src.drawn.x1, a), x1) : x1;
    const uint32_t* client = in_drawn ? src.client.row(y - src.client_top) : nullptr;
    const uint32_t* black = zero_row.data();
    const int starts[3] = {x0, a, b}, ends[3] = {a, b, x1};
    const uint32_t* want_px[3] = {black, client ? client + a : nullptr, black};
    int found_first = -1, found_last = -1;
    for (int k = 0; k < 3 && found_first < 0 && (want & WANT_FIRST); k++) {
        int n = ends[k] - starts[k], i = n > 0 ? first_diff(have + starts[k], want_px[k], n) : n;
        if (i < n)
            found_first = starts[k] + i;
    }
    if ((want & WANT_FIRST) && found_first < 0)
        return false;
    for (int k = 2; k >= 0 && found_last < 0 && (want & WANT_LAST); k--) {
        int n = ends[k] - starts[k], i = n > 0 ? last_diff(have + starts[k], want_px[k], n) : -1;
        if (i >= 0)
            found_last = starts[k] + i;
    }
    if (want == WANT_LAST && found_last < 0)
        return false;
    *first = found_first;
    *last = found_last;
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
    Source src{before, 0, IRect{0, 0, r.width(), r.height()}};
    Surface moved{screen.row(r.y0) + r.x0, r.width(), r.height(), screen.stride};
    return rect_offset(differing_part(moved, src, IRect{0, 0, r.width(), r.height()}), r.x0, r.y0);
}

// ---- composing --------------------------------------------------------------------

// Client pixels (black outside what was ever drawn), then the overlays.
static void compose(const Surface& screen, const Source& src, const IRect& r, bool box)
{
    IRect copied = rect_intersect(r, src.drawn);
    fill_outside(screen, r, copied);
    surface_copy(screen, 0, src.client_top, src.client, rect_offset(copied, 0, -src.client_top));
    menu_draw(screen, r);
    if (box)
        msgbox_draw(screen, r);
}

// Composes r and returns the part of it that changed on the screen. Without
// an overlay over r, the client is compared with the screen first and only the
// differing part composed; with one, r is saved, composed whole and compared
// with what it was, a band of rows at a time so that the copy stays small.
static IRect compose_changed(const Surface& screen, const Source& src, const IRect& r, bool box)
{
    bool overlay = box || menu_overlaps(r); // the menu bar and open menus are no client pixels
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

void screen_flush()
{
    Window* top = top_window();
    if (dirty_count == 0 || !top)
        return;
    Surface screen = backend_screen();
    if (zero_row.size() < (size_t)screen.w)
        zero_row.assign((size_t)screen.w, 0);
    Source src{top->fb.surface(), screen_client_top(), IRect{}};
    src.drawn = rect_offset(top->drawn, 0, src.client_top);
    bool box = msgbox_active();
    IRect changed[DIRTY_MAX];
    int n = 0;
    for (int i = 0; i < dirty_count; i++) {
        IRect d = compose_changed(screen, src, dirty[i], box);
        if (!d.empty())
            changed[n++] = d;
    }
    if (n > 0)
        backend_present(changed, n);
    dirty_count = 0;
    present_whole = false;
}
