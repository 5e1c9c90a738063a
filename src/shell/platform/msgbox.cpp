// msgbox.cpp -- MessageBoxA/W: a modal box drawn over the client area.
//
// Owns the stack of open boxes (a box can open while another is up). A box is
// an overlay: it is composed over the client pixels at present time and never
// drawn into the framebuffer, so the window below goes on painting. While a box
// is up it takes all input; Return, Space, Esc or a click on OK close it. Its
// nested loop keeps delivering timer and paint messages, as Windows does. A
// line wider than the screen leaves room for wraps (wrap.cpp); a text taller
// than the screen shows the whole lines that fit, the last one "…".
#include "msgbox.h"

#include "backend.h"
#include "codepage.h"
#include "font.h"
#include "queue.h"
#include "scale.h"
#include "screen.h"
#include "surface.h"
#include "win32.h"
#include "window.h"
#include "wrap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

struct Box {
    HWND owner = nullptr; // the box is centred on this window
    std::string text;     // UTF-8
    std::vector<std::string> lines;
    // The lines wrapped to wrap_w pixels, kept while the screen keeps its width.
    mutable std::vector<std::string> wrapped;
    mutable int wrap_w = -1;
    bool closed = false;
    bool button_down = false;
};

// Look of the box, in pixels at 1x (each is scaled() to the desktop's scale)
// and 0x00RRGGBB.
constexpr int BOX_FONT_H = 20;
constexpr int BOX_FONT_W = 10;
constexpr int BOX_LINE_H = 26;
constexpr int BOX_PAD = 24;
constexpr int BOX_MIN_W = 260;
constexpr int BOX_MARGIN = 8;
constexpr int BUTTON_W = 96;
constexpr int BUTTON_H = 32;
constexpr int BOX_LINE = 1;       // the frames of the box and its button
constexpr int TEXT_TO_BUTTON = 4; // the least room between the text and the button
constexpr const char* LINES_HIDDEN = "…"; // the last line shown when more do not fit
constexpr uint32_t BOX_FACE = 0xF2F2F2;
constexpr uint32_t BOX_FRAME = 0x505050;
constexpr uint32_t BOX_TEXT = 0x101010;
constexpr uint32_t BUTTON_FACE = 0xDCE6F6;
constexpr uint32_t BUTTON_PRESSED = 0xB8C8E8;
constexpr uint32_t BUTTON_FRAME = 0x2F5FB0;

static std::vector<Box> boxes;

struct BoxLayout {
    IRect box;
    IRect button;
    int text_x, text_y;
    const std::vector<std::string>* lines; // as wrapped
    size_t lines_shown;                    // the whole lines that fit above the button
};

static FontRequest box_font() { return gothic_font(scaled(BOX_FONT_H), scaled(BOX_FONT_W), FW_NORMAL); }

static std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else if (c != '\r')
            lines.back() += c;
    }
    return lines;
}

// The owner's rectangle on the screen: a child window where it sits in the
// client area, anything else (the top window, none, one since destroyed) the
// whole window.
static IRect owner_rect(HWND owner, const Surface& screen)
{
    Window* w = window_from(owner);
    if (!w || !w->parent)
        return screen.bounds();
    IRect r{0, 0, w->w, w->h};
    for (; w->parent; w = w->parent)
        r = rect_offset(r, w->x, w->y);
    return rect_offset(r, 0, screen_client_top());
}

// Where v (the box's near edge) must go so that the box lies within [lo, hi),
// a margin from its edges where there is room.
static int keep_inside(int v, int size, int lo, int hi)
{
    int margin = scaled(BOX_MARGIN);
    v = std::min(v, hi - margin - size);
    return std::max(v, lo + margin);
}

// The widest a line may be: what the screen leaves room for, so that a line
// that fits as it is stays as it is; never less than the narrowest box holds.
static int max_text_width(const Surface& screen)
{
    int pad = scaled(BOX_PAD);
    return std::max(screen.w - 2 * scaled(BOX_MARGIN) - 2 * pad, scaled(BOX_MIN_W) - 2 * pad);
}

static const std::vector<std::string>& wrapped_lines(const Box& b, int max_w)
{
    if (b.wrap_w == max_w)
        return b.wrapped;
    FontRequest font = box_font();
    b.wrapped.clear();
    for (const std::string& line : b.lines)
        for (std::string& piece : wrap_line(font, line, max_w))
            b.wrapped.push_back(std::move(piece));
    b.wrap_w = max_w;
    return b.wrapped;
}

// How many of n lines starting at text_y fit whole above bottom.
static size_t lines_fitting(size_t n, int text_y, int bottom)
{
    int room = bottom - text_y - scaled(BOX_FONT_H);
    return room < 0 ? 0 : std::min(n, (size_t)(room / scaled(BOX_LINE_H)) + 1);
}

// Centred on the owner window, as Windows does, and kept inside the screen
// below the menu bar.
static BoxLayout layout_of(const Box& b)
{
    FontRequest font = box_font();
    Surface screen = backend_screen();
    const std::vector<std::string>& lines = wrapped_lines(b, max_text_width(screen));
    int text_w = 0;
    for (const std::string& line : lines)
        text_w = std::max(text_w, font_text_width_utf8(font, line));
    int top = screen_client_top();
    int pad = scaled(BOX_PAD), margin = scaled(BOX_MARGIN), button_w = scaled(BUTTON_W), button_h = scaled(BUTTON_H);
    int w = std::min(std::max(text_w + 2 * pad, scaled(BOX_MIN_W)), screen.w - 2 * margin);
    long long text_h = (long long)lines.size() * scaled(BOX_LINE_H);
    int h = (int)std::min<long long>(text_h + 3 * pad + button_h, screen.h - top - 2 * margin);
    IRect owner = owner_rect(b.owner, screen);
    BoxLayout l;
    l.box.x0 = keep_inside(owner.x0 + (owner.width() - w) / 2, w, 0, screen.w);
    l.box.y0 = keep_inside(owner.y0 + (owner.height() - h) / 2, h, top, screen.h);
    l.box.x1 = l.box.x0 + w;
    l.box.y1 = l.box.y0 + h;
    l.button.x0 = l.box.x0 + (w - button_w) / 2;
    l.button.y1 = l.box.y1 - pad;
    l.button.x1 = l.button.x0 + button_w;
    l.button.y0 = l.button.y1 - button_h;
    l.text_x = l.box.x0 + pad;
    l.text_y = l.box.y0 + pad;
    l.lines = &lines;
    l.lines_shown = lines_fitting(lines.size(), l.text_y, l.button.y0 - scaled(TEXT_TO_BUTTON));
    return l;
}

static void mark_box(const Box& b) { screen_mark_screen_dirty(layout_of(b).box); }

static IRect inset(const IRect& r, int by) { return IRect{r.x0 + by, r.y0 + by, r.x1 - by, r.y1 - by}; }

static void draw_frame(const Surface& s, const IRect& clip, const IRect& r, uint32_t frame, uint32_t face)
{
    surface_fill(s, clip, r, frame);
    surface_fill(s, clip, inset(r, scaled(BOX_LINE)), face);
}

static void draw_box(const Box& b, const Surface& screen, const IRect& clip)
{
    BoxLayout l = layout_of(b);
    if (rect_intersect(l.box, clip).empty())
        return;
    FontRequest font = box_font();
    draw_frame(screen, clip, l.box, BOX_FRAME, BOX_FACE);
    IRect face = inset(l.box, scaled(BOX_LINE));
    IRect text_clip = rect_intersect(clip, IRect{face.x0, face.y0, face.x1, l.button.y0 - scaled(TEXT_TO_BUTTON)});
    const std::vector<std::string>& lines = *l.lines;
    for (size_t i = 0; i < l.lines_shown; i++) {
        bool cut_here = i + 1 == l.lines_shown && l.lines_shown < lines.size();
        font_text_out_utf8(screen, text_clip, l.text_x, l.text_y + (int)i * scaled(BOX_LINE_H), font,
                           cut_here ? LINES_HIDDEN : lines[i], BOX_TEXT);
    }
    draw_frame(screen, clip, l.button, BUTTON_FRAME, b.button_down ? BUTTON_PRESSED : BUTTON_FACE);
    int label_w = font_text_width(font, "OK", 2);
    font_text_out(screen, clip, l.button.x0 + (l.button.width() - label_w) / 2,
                  l.button.y0 + (l.button.height() - scaled(BOX_FONT_H)) / 2, font, "OK", 2, BOX_TEXT, BOX_FACE, false);
}

bool msgbox_active() { return !boxes.empty(); }

std::string msgbox_text() { return boxes.empty() ? std::string() : boxes.back().text; }

void msgbox_draw(const Surface& screen, const IRect& clip)
{
    for (const Box& b : boxes)
        draw_box(b, screen, clip);
}

static bool inside(const IRect& r, int x, int y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

bool msgbox_handle_event(const PlatformEvent& ev)
{
    if (boxes.empty())
        return false;
    Box& b = boxes.back();
    switch (ev.kind) {
    case EventKind::KeyDown:
        if (ev.key == VK_RETURN || ev.key == VK_SPACE || ev.key == VK_ESCAPE)
            b.closed = true;
        break;
    case EventKind::MouseDown:
        if (ev.button == 1 && inside(layout_of(b).button, ev.x, ev.y)) {
            b.button_down = true;
            mark_box(b);
        }
        break;
    case EventKind::MouseUp:
        if (ev.button == 1 && b.button_down) {
            b.button_down = false;
            b.closed = inside(layout_of(b).button, ev.x, ev.y);
            mark_box(b);
        }
        break;
    default:
        break;
    }
    return true;
}

static bool top_box_done() { return boxes.empty() || boxes.back().closed || !top_window(); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return msgbox_show(owner, cp932_to_utf8(text ? text : ""));
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    size_t n = 0;
    while (text && text[n])
        n++;
    return msgbox_show(owner, utf16_to_utf8(text, n));
}

int msgbox_show(HWND owner, const std::string& utf8)
{
    platform_ready();
    backend_box_shown(utf8.c_str());
    Window* top = top_window();
    if (!top) {
        // Nothing to show the box over: the text still reaches the user.
        std::fprintf(stderr, "%s\n", utf8.c_str());
        return IDOK;
    }
    SetFocus(nullptr);
    Box b;
    b.owner = owner;
    b.text = utf8;
    b.lines = split_lines(utf8);
    boxes.push_back(b);
    mark_box(boxes.back());
    queue_run_modal(top_box_done);
    if (!boxes.empty()) {
        mark_box(boxes.back());
        boxes.pop_back();
    }
    // The window below becomes active again, which gives it the focus.
    if (top_window() && boxes.empty())
        send_message(top_window(), WM_ACTIVATE, WA_ACTIVE, 0);
    return IDOK;
}
