// screen.cpp -- composing the shown window and presenting only what changed.
//
// Owns the list of changed screen rectangles. Drawing marks rectangles of the
// client area; the message box marks its own. screen_flush copies the changed
// client pixels to the backend's screen, draws the overlays over them and
// presents just those rectangles: a full-screen present is far too slow to
// follow typing. Called before the queue reports or waits for messages.
#include "internal.h"

constexpr int DIRTY_MAX = 24; // rectangles kept apart before they are merged

static IRect dirty[DIRTY_MAX];
static int dirty_count = 0;

int screen_client_top() { return 0; }

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

void screen_flush()
{
    Window* top = top_window();
    if (dirty_count == 0 || !top)
        return;
    Surface screen = backend_screen();
    Surface client = top->fb.surface();
    int client_top = screen_client_top();
    IRect drawn = rect_offset(top->drawn, 0, client_top);
    bool box = msgbox_active();
    for (int i = 0; i < dirty_count; i++) {
        const IRect& r = dirty[i];
        IRect copied = rect_intersect(r, drawn);
        fill_outside(screen, r, copied);
        surface_copy(screen, 0, client_top, client, rect_offset(copied, 0, -client_top));
        if (box)
            msgbox_draw(screen, r);
    }
    backend_present(dirty, dirty_count);
    dirty_count = 0;
}
