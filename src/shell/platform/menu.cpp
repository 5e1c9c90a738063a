// menu.cpp -- menus: CreateMenu and AppendMenuA, the menu bar and its menus.
//
// Owns the live menus and the state of the one menu being worked. The bar is
// drawn above the client area of the window that has one, and the open
// drop-down and sub-menu are overlays composed over the client pixels, so a
// closing menu leaves the window's own drawing exactly as it was. Input
// reaches here from queue.cpp before any window; a menu entered by mouse or
// keyboard runs a modal loop inside WM_SYSCOMMAND, as Windows' menu loop does.
#include "menu.h"

#include "backend.h"
#include "font.h"
#include "msgbox.h"
#include "queue.h"
#include "scale.h"
#include "screen.h"
#include "surface.h"
#include "win32.h"
#include "window.h"

#include <cstring>
#include <unordered_set>
#include <vector>

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    std::string label; // CP932
    HMENU sub;         // the sub-menu of an MF_POPUP item
};

struct Menu {
    std::vector<MenuItem> items;
};

// Look of the menus, in pixels at 1x (each is scaled() to the desktop's scale)
// and 0x00RRGGBB. The text is the Gothic face of the rest of the layer at 16
// pixels, the size of a desktop's menu text.
constexpr int MENU_FONT_H = 16;
constexpr int MENU_FONT_W = 8;
constexpr int BAR_H = 24;
constexpr int BAR_ENTRY_PAD = 10; // left and right of a bar entry's label
constexpr int ITEM_H = 24;
constexpr int ITEM_PAD_LEFT = 20;
constexpr int ITEM_PAD_RIGHT = 32; // room for the sub-menu arrow
constexpr int MENU_LINE = 1;       // the frame and the bar's bottom line
constexpr int MENU_BORDER = 2;     // frame line and a pixel of face
constexpr int ARROW_HALF = 4;      // the arrow is 2 * ARROW_HALF + 1 pixels high
constexpr uint32_t BAR_FACE = 0xF0F0F0;
constexpr uint32_t BAR_LINE = 0xC0C0C0;
constexpr uint32_t MENU_FACE = 0xF8F8F8;
constexpr uint32_t MENU_FRAME = 0x808080;
constexpr uint32_t MENU_TEXT = 0x101010;
constexpr uint32_t HILITE_FACE = 0x3060C0;
constexpr uint32_t HILITE_TEXT = 0xFFFFFF;

static std::unordered_set<Menu*> live_menus;

// The menu being worked. No window: no menu is entered.
static Window* owner = nullptr;
static int bar_sel = 0;        // highlighted bar entry
static bool drop_open = false; // the bar entry's menu is shown
static int drop_sel = -1;      // highlighted item of that menu, -1 none
static bool sub_open = false;  // the highlighted item's sub-menu is shown
static int sub_sel = -1;
static int loops_owed = 0;     // menus entered whose WM_SYSCOMMAND has not run yet
static bool alt_alone = false; // Alt is down and no other key came since
static bool loop_running = false;
static UINT_PTR chosen_in_loop = 0; // sent when the menu loop has ended

// ---- the Win32 functions ---------------------------------------------------------

static Menu* menu_from(HMENU h)
{
    Menu* m = reinterpret_cast<Menu*>(h);
    return live_menus.count(m) ? m : nullptr;
}

HMENU CreateMenu(void)
{
    Menu* m = new Menu;
    live_menus.insert(m);
    return reinterpret_cast<HMENU>(m);
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR label)
{
    Menu* m = menu_from(menu);
    if (!m || ((flags & MF_POPUP) && !menu_from(reinterpret_cast<HMENU>(id))))
        return FALSE;
    m->items.push_back(
        MenuItem{flags, id, label ? label : "", (flags & MF_POPUP) ? reinterpret_cast<HMENU>(id) : nullptr});
    return TRUE;
}

BOOL DestroyMenu(HMENU menu)
{
    Menu* m = menu_from(menu);
    if (!m)
        return FALSE;
    if (owner && owner->menu == menu) {
        owner = nullptr;
        screen_invalidate_all();
    }
    live_menus.erase(m);
    for (const MenuItem& item : m->items)
        if (item.sub)
            DestroyMenu(item.sub);
    delete m;
    return TRUE;
}

HMENU GetMenu(HWND hwnd)
{
    Window* w = window_from(hwnd);
    return w ? w->menu : nullptr;
}

int menu_bar_h() { return scaled(BAR_H); }
int menu_bar_height(const Window* w) { return (w && !w->parent && w->menu) ? menu_bar_h() : 0; }

// ---- geometry (screen pixels) ------------------------------------------------------

static FontRequest menu_font() { return gothic_font(scaled(MENU_FONT_H), scaled(MENU_FONT_W), FW_NORMAL); }

static int label_width(const std::string& s) { return font_text_width(menu_font(), s.data(), (int)s.size()); }

static Menu* bar_menu() { return owner ? menu_from(owner->menu) : nullptr; }

static Menu* drop_menu()
{
    Menu* bar = bar_menu();
    if (!bar || !drop_open || bar_sel < 0 || bar_sel >= (int)bar->items.size())
        return nullptr;
    return menu_from(bar->items[(size_t)bar_sel].sub);
}

static Menu* sub_menu()
{
    Menu* drop = drop_menu();
    if (!drop || !sub_open || drop_sel < 0 || drop_sel >= (int)drop->items.size())
        return nullptr;
    return menu_from(drop->items[(size_t)drop_sel].sub);
}

static IRect bar_rect()
{
    Surface s = backend_screen();
    return IRect{0, 0, s.w, menu_bar_h()};
}

static IRect bar_entry(const Menu* bar, int index)
{
    int x = 0;
    int pad = scaled(BAR_ENTRY_PAD);
    for (int i = 0; i < index; i++)
        x += label_width(bar->items[(size_t)i].label) + 2 * pad;
    int w = label_width(bar->items[(size_t)index].label) + 2 * pad;
    return IRect{x, 0, x + w, menu_bar_h()};
}

// A menu of the given items with its top-left corner at (x, y), moved to stay
// on the screen; a sub-menu that does not fit on the right opens on the left
// of its parent (left_x).
static IRect menu_box(const Menu* m, int x, int y, int left_x)
{
    int text_w = 0;
    for (const MenuItem& item : m->items)
        text_w = std::max(text_w, label_width(item.label));
    int w = text_w + scaled(ITEM_PAD_LEFT) + scaled(ITEM_PAD_RIGHT) + 2 * scaled(MENU_BORDER);
    int h = (int)m->items.size() * scaled(ITEM_H) + 2 * scaled(MENU_BORDER);
    Surface s = backend_screen();
    if (x + w > s.w)
        x = left_x >= 0 ? left_x - w : s.w - w;
    if (y + h > s.h)
        y = s.h - h;
    x = std::max(x, 0);
    y = std::max(y, 0);
    return IRect{x, y, x + w, y + h};
}

static IRect drop_box()
{
    IRect entry = bar_entry(bar_menu(), bar_sel);
    return menu_box(drop_menu(), entry.x0, menu_bar_h(), -1);
}

static IRect item_rect(const IRect& box, int index)
{
    int border = scaled(MENU_BORDER), item_h = scaled(ITEM_H);
    int y = box.y0 + border + index * item_h;
    return IRect{box.x0 + border, y, box.x1 - border, y + item_h};
}

static IRect sub_box()
{
    IRect drop = drop_box();
    IRect item = item_rect(drop, drop_sel);
    int border = scaled(MENU_BORDER);
    return menu_box(sub_menu(), drop.x1 - border, item.y0 - border, drop.x0 + border);
}

bool menu_entry_rect(int level, int index, IRect* r)
{
    Menu* bar = bar_menu();
    if (level == 0 && !bar && top_window())
        bar = menu_from(top_window()->menu);
    Menu* m = level == 0 ? bar : level == 1 ? drop_menu() : sub_menu();
    if (!m || index < 0 || index >= (int)m->items.size())
        return false;
    if (level == 0)
        *r = bar_entry(m, index);
    else
        *r = item_rect(level == 1 ? drop_box() : sub_box(), index);
    return true;
}

int menu_level() { return !owner ? -1 : sub_menu() ? 2 : drop_menu() ? 1 : 0; }
bool menu_active() { return owner != nullptr; }

// ---- drawing ---------------------------------------------------------------------

static void draw_label(const Surface& s, const IRect& clip, int x, const IRect& row, const std::string& label,
                       uint32_t fg)
{
    int y = row.y0 + (row.height() - scaled(MENU_FONT_H)) / 2;
    font_text_out(s, clip, x, y, menu_font(), label.data(), (int)label.size(), fg, 0, false);
}

// A small triangle pointing right, centred on y, its flat side at x.
static void draw_arrow(const Surface& s, const IRect& clip, int x, int y, uint32_t color)
{
    int half = scaled(ARROW_HALF);
    for (int i = 0; i <= half; i++)
        surface_fill(s, clip, IRect{x + i, y - half + i, x + i + 1, y + half - i + 1}, color);
}

static void draw_bar(const Surface& s, const IRect& clip)
{
    Menu* bar = owner ? bar_menu() : menu_from(top_window()->menu);
    IRect all = bar_rect();
    if (!bar || rect_intersect(all, clip).empty())
        return;
    int line = scaled(MENU_LINE);
    surface_fill(s, clip, all, BAR_FACE);
    surface_fill(s, clip, IRect{all.x0, all.y1 - line, all.x1, all.y1}, BAR_LINE);
    for (int i = 0; i < (int)bar->items.size(); i++) {
        IRect entry = bar_entry(bar, i);
        bool lit = owner && i == bar_sel;
        if (lit)
            surface_fill(s, clip, IRect{entry.x0, entry.y0, entry.x1, entry.y1 - line}, HILITE_FACE);
        draw_label(s, clip, entry.x0 + scaled(BAR_ENTRY_PAD), entry, bar->items[(size_t)i].label,
                   lit ? HILITE_TEXT : MENU_TEXT);
    }
}

static void draw_menu(const Surface& s, const IRect& clip, const Menu* m, const IRect& box, int sel)
{
    if (rect_intersect(box, clip).empty())
        return;
    int line = scaled(MENU_LINE);
    surface_fill(s, clip, box, MENU_FRAME);
    surface_fill(s, clip, IRect{box.x0 + line, box.y0 + line, box.x1 - line, box.y1 - line}, MENU_FACE);
    for (int i = 0; i < (int)m->items.size(); i++) {
        const MenuItem& item = m->items[(size_t)i];
        IRect row = item_rect(box, i);
        bool lit = i == sel;
        if (lit)
            surface_fill(s, clip, row, HILITE_FACE);
        uint32_t fg = lit ? HILITE_TEXT : MENU_TEXT;
        draw_label(s, clip, row.x0 + scaled(ITEM_PAD_LEFT), row, item.label, fg);
        if (item.sub)
            draw_arrow(s, clip, row.x1 - scaled(ITEM_PAD_RIGHT) / 2, (row.y0 + row.y1) / 2, fg);
    }
}

bool menu_overlaps(const IRect& r)
{
    Window* top = top_window();
    if (!top || menu_bar_height(top) == 0)
        return false;
    return !rect_intersect(r, bar_rect()).empty() || (drop_menu() && !rect_intersect(r, drop_box()).empty()) ||
           (sub_menu() && !rect_intersect(r, sub_box()).empty());
}

void menu_draw(const Surface& screen, const IRect& clip)
{
    Window* top = top_window();
    if (!top || menu_bar_height(top) == 0)
        return;
    draw_bar(screen, clip);
    if (Menu* drop = drop_menu())
        draw_menu(screen, clip, drop, drop_box(), drop_sel);
    if (Menu* sub = sub_menu())
        draw_menu(screen, clip, sub, sub_box(), sub_sel);
}

// Marks everything the menus show now; called before and after each change,
// so that what a closing menu covered is composed again from the client.
static void mark_menus()
{
    if (!top_window())
        return;
    screen_mark_screen_dirty(bar_rect());
    if (drop_menu())
        screen_mark_screen_dirty(drop_box());
    if (sub_menu())
        screen_mark_screen_dirty(sub_box());
}

// ---- entering, working and leaving ---------------------------------------------------

// Enters the bar of w. Entered by input, the menu loop is still to run: it
// runs when the WM_SYSCOMMAND posted here reaches the window.
static void enter(Window* w, WPARAM kind, int entry, bool open, bool by_input)
{
    mark_menus();
    owner = w;
    bar_sel = entry;
    drop_open = open;
    drop_sel = -1;
    sub_open = false;
    sub_sel = -1;
    if (by_input) {
        loops_owed++;
        queue_post(w, WM_SYSCOMMAND, kind, 0);
    }
    mark_menus();
}

// Leaves the menus; a chosen command reaches the window once they are gone
// and their loop has ended.
static void leave(UINT_PTR chosen)
{
    mark_menus();
    Window* w = owner;
    owner = nullptr;
    drop_open = sub_open = false;
    if (w && chosen && loop_running)
        chosen_in_loop = chosen;
    else if (w && chosen)
        queue_post(w, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

static int wrap(int i, int n) { return n <= 0 ? 0 : ((i % n) + n) % n; }

static void open_entry(int entry, int sel)
{
    mark_menus();
    bar_sel = wrap(entry, (int)bar_menu()->items.size());
    drop_open = true;
    drop_sel = drop_menu() ? sel : -1;
    sub_open = false;
    sub_sel = -1;
    mark_menus();
}

// Chooses an item of the drop-down (level 1) or the sub-menu (level 2): one
// with a sub-menu opens it, any other ends the menu with its command.
static void choose(int level, int index, int first_sub_sel)
{
    Menu* m = level == 1 ? drop_menu() : sub_menu();
    if (!m || index < 0 || index >= (int)m->items.size())
        return;
    const MenuItem& item = m->items[(size_t)index];
    if (!item.sub) {
        leave(item.id);
        return;
    }
    mark_menus();
    drop_sel = index;
    sub_open = true;
    sub_sel = first_sub_sel;
    mark_menus();
}

static void move_sel(int* sel, int n, int step)
{
    mark_menus();
    *sel = *sel < 0 ? (step > 0 ? 0 : n - 1) : wrap(*sel + step, n);
    mark_menus();
}

static void key_in_bar(int key)
{
    int n = (int)bar_menu()->items.size();
    if (key == VK_LEFT || key == VK_RIGHT) {
        mark_menus();
        bar_sel = wrap(bar_sel + (key == VK_RIGHT ? 1 : -1), n);
        mark_menus();
    } else if (key == VK_DOWN || key == VK_RETURN) {
        open_entry(bar_sel, 0);
    } else if (key == VK_ESCAPE) {
        leave(0);
    }
}

static void key_in_drop(int key)
{
    Menu* drop = drop_menu();
    int n = (int)drop->items.size();
    bool has_sub = drop_sel >= 0 && drop->items[(size_t)drop_sel].sub;
    if (key == VK_UP || key == VK_DOWN) {
        move_sel(&drop_sel, n, key == VK_DOWN ? 1 : -1);
    } else if (key == VK_RIGHT && has_sub) {
        choose(1, drop_sel, 0);
    } else if (key == VK_LEFT || key == VK_RIGHT) {
        open_entry(bar_sel + (key == VK_RIGHT ? 1 : -1), 0);
    } else if (key == VK_RETURN) {
        choose(1, drop_sel, 0);
    } else if (key == VK_ESCAPE) {
        mark_menus();
        drop_open = false;
        mark_menus();
    }
}

static void key_in_sub(int key)
{
    int n = (int)sub_menu()->items.size();
    if (key == VK_UP || key == VK_DOWN) {
        move_sel(&sub_sel, n, key == VK_DOWN ? 1 : -1);
    } else if (key == VK_LEFT || key == VK_ESCAPE) {
        mark_menus();
        sub_open = false;
        sub_sel = -1;
        mark_menus();
    } else if (key == VK_RIGHT) {
        open_entry(bar_sel + 1, 0);
    } else if (key == VK_RETURN) {
        choose(2, sub_sel, -1);
    }
}

static void key_in_menu(int key)
{
    if (key == VK_F10) {
        leave(0);
        return;
    }
    switch (menu_level()) {
    case 0:
        key_in_bar(key);
        break;
    case 1:
        key_in_drop(key);
        break;
    default:
        key_in_sub(key);
        break;
    }
}

static bool inside(const IRect& r, int x, int y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

// What lies under a point: the level (2 sub-menu, 1 drop-down, 0 bar, -1
// nothing of the menus) and the entry there (-1 on a frame or empty bar).
static int hit(int x, int y, int* index)
{
    *index = -1;
    struct Level {
        Menu* m;
        int level;
    } shown[] = {{sub_menu(), 2}, {drop_menu(), 1}};
    for (const Level& l : shown) {
        if (!l.m)
            continue;
        IRect box = l.level == 2 ? sub_box() : drop_box();
        if (!inside(box, x, y))
            continue;
        for (int i = 0; i < (int)l.m->items.size(); i++)
            if (inside(item_rect(box, i), x, y))
                *index = i;
        return l.level;
    }
    Menu* bar = owner ? bar_menu() : (top_window() ? menu_from(top_window()->menu) : nullptr);
    if (!bar || !inside(bar_rect(), x, y))
        return -1;
    for (int i = 0; i < (int)bar->items.size(); i++)
        if (inside(bar_entry(bar, i), x, y))
            *index = i;
    return 0;
}

static void pointer_over(int level, int index)
{
    if (level == 0 && index >= 0 && index != bar_sel) {
        if (drop_open)
            open_entry(index, -1);
    } else if (level == 1 && index >= 0 && index != drop_sel) {
        mark_menus();
        drop_sel = index;
        sub_open = drop_menu()->items[(size_t)index].sub != nullptr;
        sub_sel = -1;
        mark_menus();
    } else if (level == 2 && index >= 0 && index != sub_sel) {
        mark_menus();
        sub_sel = index;
        mark_menus();
    }
}

static void mouse_in_menu(const PlatformEvent& ev)
{
    int index;
    int level = hit(ev.x, ev.y, &index);
    if (ev.kind == EventKind::MouseMove) {
        pointer_over(level, index);
    } else if (ev.kind == EventKind::MouseDown) {
        if (level < 0)
            leave(0); // a click elsewhere closes the menu, and does nothing more
        else if (level == 0 && index >= 0 && index == bar_sel && drop_open)
            leave(0);
        else if (level == 0 && index >= 0)
            open_entry(index, -1);
        else if (level > 0 && index >= 0 && (level == 1 ? drop_menu() : sub_menu())->items[(size_t)index].sub)
            choose(level, index, -1);
    } else if (ev.kind == EventKind::MouseUp && ev.button == 1 && level > 0 && index >= 0) {
        Menu* m = level == 1 ? drop_menu() : sub_menu();
        if (!m->items[(size_t)index].sub)
            choose(level, index, -1);
    }
}

// Input while no menu is entered: only what enters the bar is taken.
static bool enter_by(const PlatformEvent& ev)
{
    Window* top = top_window();
    if (!top || !menu_from(top->menu) || msgbox_active()) {
        alt_alone = false;
        return false;
    }
    if (ev.kind == EventKind::KeyDown) {
        alt_alone = ev.key == VK_MENU;
        if (ev.key == VK_F10)
            enter(top, SC_KEYMENU, 0, false, true);
        return ev.key == VK_F10 || ev.key == VK_MENU;
    }
    if (ev.kind == EventKind::KeyUp && ev.key == VK_MENU) {
        if (alt_alone)
            enter(top, SC_KEYMENU, 0, false, true);
        alt_alone = false;
        return true;
    }
    if ((ev.kind == EventKind::MouseDown || ev.kind == EventKind::MouseUp) && ev.button == 1) {
        int index;
        if (hit(ev.x, ev.y, &index) != 0)
            return false;
        if (ev.kind == EventKind::MouseDown && index >= 0)
            enter(top, SC_MOUSEMENU, index, true, true);
        return true;
    }
    return false;
}

bool menu_handle_event(const PlatformEvent& ev)
{
    if (!owner || !bar_menu() || owner != top_window()) {
        owner = nullptr;
        return enter_by(ev);
    }
    switch (ev.kind) {
    case EventKind::KeyDown:
        alt_alone = ev.key == VK_MENU;
        if (ev.key != VK_MENU)
            key_in_menu(ev.key);
        return true;
    case EventKind::KeyUp:
        if (ev.key == VK_MENU && alt_alone)
            leave(0);
        alt_alone = false;
        return true;
    case EventKind::Text:
        return true; // keys that work a menu never type anything
    case EventKind::MouseDown:
    case EventKind::MouseUp:
    case EventKind::MouseMove:
        mouse_in_menu(ev);
        return true;
    case EventKind::FocusLost:
        leave(0);
        return false;
    default:
        return false;
    }
}

static bool menu_closed() { return !owner || !top_window(); }

void menu_track(Window* w, WPARAM kind, LPARAM where)
{
    if (loops_owed > 0) {
        loops_owed--;
    } else if (!owner && menu_from(w->menu) && w == top_window()) {
        // Sent by the program itself rather than entered by input.
        int entry = 0;
        if (kind == SC_MOUSEMENU && hit(LOWORD(where), HIWORD(where), &entry) != 0)
            return;
        enter(w, kind, entry < 0 ? 0 : entry, kind == SC_MOUSEMENU, false);
    }
    if (loop_running || menu_closed())
        return;
    loop_running = true;
    chosen_in_loop = 0;
    queue_run_modal(menu_closed);
    loop_running = false;
    owner = nullptr;
    if (chosen_in_loop && window_from(hwnd_of(w)))
        queue_post(w, WM_COMMAND, MAKEWPARAM(chosen_in_loop, 0), 0);
    chosen_in_loop = 0;
}
