// compose_box.cpp -- the input method's composition, shown while it is made.
//
// Owns the composition the input method reports (CP932, and the cursor in it),
// where the program asked for it to be shown (ImmSetCompositionWindow) and
// where its box was last put on the screen. The program's EDIT is hidden
// and takes committed text only, so nothing else shows what is being composed.
// The box is an overlay composed over the client pixels, as the menus and the
// message box are: the window's own drawing is never touched. queue.cpp feeds
// it the input method's events; screen.cpp syncs it before every flush and
// draws it where it overlaps what is composed.
#include "compose_box.h"

#include "backend.h"
#include "codepage.h"
#include "font.h"
#include "menu.h"
#include "msgbox.h"
#include "open_dialog.h"
#include "scale.h"
#include "screen.h"
#include "surface.h"
#include "window.h"

#include <algorithm>
#include <cstring>

// Look of the box, in pixels at 1x (each is scaled() to the desktop's scale)
// and 0x00RRGGBB.
constexpr int COMPOSE_FONT_H = 24;
constexpr int COMPOSE_FONT_W = 12;
constexpr int COMPOSE_PAD_X = 6;
constexpr int COMPOSE_PAD_Y = 5; // the underline sits in the lower pad
constexpr int COMPOSE_MIN_W = 64;
constexpr int COMPOSE_MARGIN = 4;
constexpr int COMPOSE_LINE = 1; // the frame and the underline
constexpr int CURSOR_W = 2;
constexpr uint32_t COMPOSE_FACE = 0xFFFFFF;
constexpr uint32_t COMPOSE_FRAME = 0x404040;
constexpr uint32_t COMPOSE_TEXT = 0x101010;
constexpr uint32_t COMPOSE_CURSOR = 0x2F5FB0;

static std::string text; // the composition, CP932; empty when there is none
static int cursor_bytes = 0;
static IRect drawn; // the box on the screen as of the last sync; empty when hidden
static IRect told;  // the text-input rectangle the backend was last given
// box_rect as last worked out, and what it was worked out from: the text
// measured again only when it or the window changed, not at every flush.
static IRect placed;
static bool placed_stale = true;
static int placed_w = -1, placed_h = -1, placed_top = -1;
// Where the program said to compose (ImmSetCompositionWindow), in the client
// coordinates of told_window; nothing told, the box sits at the bottom left.
static HWND told_window = nullptr;
static COMPOSITIONFORM told_form{};

static FontRequest compose_font() { return gothic_font(scaled(COMPOSE_FONT_H), scaled(COMPOSE_FONT_W), FW_NORMAL); }

static int box_height() { return 2 * scaled(COMPOSE_LINE) + 2 * scaled(COMPOSE_PAD_Y) + scaled(COMPOSE_FONT_H); }

// The box for the composition held now, in screen pixels, whether or not it
// is shown; empty when there is no window.
static IRect box_rect()
{
    Window* top = top_window();
    if (!top)
        return IRect{};
    IRect client = client_rect_of(top);
    int cw = client.width(), ch = client.height(), bar = screen_client_top();
    if (!placed_stale && cw == placed_w && ch == placed_h && bar == placed_top)
        return placed;
    int text_w = font_text_width(compose_font(), text.data(), (int)text.size());
    int margin = scaled(COMPOSE_MARGIN), h = box_height();
    int w = std::min(std::max(text_w + 2 * scaled(COMPOSE_PAD_X) + scaled(CURSOR_W) + 2 * scaled(COMPOSE_LINE),
                              scaled(COMPOSE_MIN_W)),
                     cw - 2 * margin);
    int x0 = 0, y0 = ch - h - margin;
    Window* told = window_from(told_window);
    if (told) {
        // At the point, or in a told area (the program's band above its typed
        // line) at its left, standing on its bottom edge.
        int ox, oy;
        client_origin(told, &ox, &oy);
        x0 = ox + told_form.ptCurrentPos.x;
        y0 = oy + (told_form.dwStyle & CFS_RECT ? told_form.rcArea.bottom - h - margin : told_form.ptCurrentPos.y);
    }
    x0 = std::min(std::max(x0 + margin, margin), std::max(cw - margin - w, margin));
    y0 = std::min(std::max(y0, 0), std::max(ch - h, 0));
    placed = rect_offset(IRect{x0, y0, x0 + w, y0 + h}, 0, bar);
    placed_stale = false;
    placed_w = cw;
    placed_h = ch;
    placed_top = bar;
    return placed;
}

// One input context per window; the program's calls name the window.
HIMC ImmGetContext(HWND hwnd) { return window_from(hwnd) ? reinterpret_cast<HIMC>(hwnd) : nullptr; }
BOOL ImmReleaseContext(HWND hwnd, HIMC himc) { return himc != nullptr; }

BOOL ImmSetCompositionWindow(HIMC himc, LPCOMPOSITIONFORM form)
{
    HWND hwnd = reinterpret_cast<HWND>(himc);
    if (!window_from(hwnd) || !form)
        return FALSE;
    told_window = hwnd;
    told_form = *form;
    placed_stale = true;
    return TRUE;
}

// A menu, a message box or the file chooser takes the input while it is up:
// what the input method commits then goes to it, so the box stands down.
static bool box_hidden() { return text.empty() || msgbox_active() || menu_active() || file_dialog_active(); }

bool compose_box_shown() { return !box_hidden(); }

void compose_box_update(const PlatformEvent& ev)
{
    const std::string& utf8 = ev.composition;
    size_t n = utf8.size();
    // The cursor counts characters: find the byte where it stands.
    size_t at = 0;
    for (int chars = 0; at < n && chars < ev.x; chars++)
        do
            at++;
        while (at < n && ((unsigned char)utf8[at] & 0xC0) == 0x80);
    screen_mark_screen_dirty(drawn);
    text = utf8_to_cp932(utf8);
    cursor_bytes = (int)utf8_to_cp932(utf8.substr(0, at)).size();
    placed_stale = true;
}

void compose_box_clear()
{
    if (text.empty())
        return;
    screen_mark_screen_dirty(drawn);
    text.clear();
    cursor_bytes = 0;
    placed_stale = true;
}

// While a menu is open the input method stands down: its composition ends and
// keys work the menu, not its candidate list. It is on again once the menus close.
static void follow_menus()
{
    static bool input_method_on = true;
    if (input_method_on == !menu_active())
        return;
    input_method_on = !menu_active();
    if (!input_method_on)
        compose_box_clear();
    backend_text_input(input_method_on);
}

void compose_box_sync()
{
    follow_menus();
    IRect now = box_hidden() ? IRect{} : box_rect();
    if (now != drawn) {
        screen_mark_screen_dirty(drawn);
        screen_mark_screen_dirty(now);
        drawn = now;
    }
    // The candidate window opens beside the box, or where the box will be.
    IRect where = box_rect();
    if (!where.empty() && where != told) {
        backend_set_text_input_rect(where);
        told = where;
    }
}

bool compose_box_overlaps(const IRect& r) { return !rect_intersect(r, drawn).empty(); }

void compose_box_draw(const Surface& screen, const IRect& clip)
{
    if (rect_intersect(drawn, clip).empty())
        return;
    int line = scaled(COMPOSE_LINE), font_h = scaled(COMPOSE_FONT_H), cursor_w = scaled(CURSOR_W);
    surface_fill(screen, clip, drawn, COMPOSE_FRAME);
    IRect inner{drawn.x0 + line, drawn.y0 + line, drawn.x1 - line, drawn.y1 - line};
    surface_fill(screen, clip, inner, COMPOSE_FACE);
    FontRequest font = compose_font();
    int text_w = font_text_width(font, text.data(), (int)text.size());
    int cursor_x = font_text_width(font, text.data(), cursor_bytes);
    int pad_x = scaled(COMPOSE_PAD_X);
    IRect area{inner.x0 + pad_x, inner.y0, inner.x1 - pad_x, inner.y1};
    IRect text_clip = rect_intersect(clip, area);
    // Text wider than the box slides left so that the cursor stays in view.
    int x = area.x0 - std::max(0, cursor_x + cursor_w - area.width());
    int y = inner.y0 + scaled(COMPOSE_PAD_Y);
    font_text_out(screen, text_clip, x, y, font, text.data(), (int)text.size(), COMPOSE_TEXT, COMPOSE_FACE, false);
    // Underlined, as text not yet committed is, a line below the text.
    surface_fill(screen, text_clip, IRect{x, y + font_h + line, x + text_w, y + font_h + 2 * line}, COMPOSE_TEXT);
    surface_fill(screen, text_clip, IRect{x + cursor_x, y, x + cursor_x + cursor_w, y + font_h}, COMPOSE_CURSOR);
}
