// window.cpp -- window classes, windows, focus, window text and system metrics.
//
// Owns the class list, the set of live windows, the focus window and the one
// top-level window the backend shows. Windows are created, sized, shown and
// destroyed here; their messages are sent straight to their procedures.
// Called by the program through win32.h and by the rest of the layer.
#include "window.h"

#include "backend.h"
#include "codepage.h"
#include "edit.h"
#include "menu.h"
#include "queue.h"
#include "report.h"
#include "screen.h"
#include "surface.h"
#include "win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <unordered_set>
#include <vector>

struct WindowClass {
    std::string name;
    UINT style;
    WNDPROC proc;
    HBRUSH background;
};

constexpr int CLASS_ATOM_BASE = 0xC000;
constexpr int FRAME_WIDTH = 4; // what a resizable frame would take on each side
constexpr int DEFAULT_WINDOW_W = 800;
constexpr int DEFAULT_WINDOW_H = 600;

static std::vector<WindowClass> classes;
static std::unordered_set<Window*> live_windows;
static Window* shown_top = nullptr;
static bool title_stale = false; // shown_top's text is not the backend's title yet
static Window* focus = nullptr;
static int backend_state = 0; // 0 not started, 1 up

bool platform_ready()
{
    if (backend_state == 1)
        return true;
    if (!backend_init()) {
        std::fprintf(stderr, "%scannot open a display. Is DISPLAY (or WAYLAND_DISPLAY) set?\n", MESSAGE_PREFIX);
        std::exit(2);
    }
    backend_state = 1;
    std::atexit(backend_shutdown);
    return true;
}

Window* window_from(HWND hwnd)
{
    Window* w = reinterpret_cast<Window*>(hwnd);
    return live_windows.count(w) ? w : nullptr;
}

Window* top_window() { return shown_top; }

void window_title_flush()
{
    if (title_stale && shown_top)
        backend_set_title(cp932_to_utf8(shown_top->text).c_str());
    title_stale = false;
}
Window* focus_window() { return focus; }

IRect client_rect_of(const Window* w)
{
    if (!w->parent)
        return IRect{0, 0, w->fb.w, w->fb.h};
    return IRect{0, 0, w->w, w->h};
}

LRESULT send_message(Window* w, UINT msg, WPARAM wparam, LPARAM lparam)
{
    return w->proc(hwnd_of(w), msg, wparam, lparam);
}

static const WindowClass* find_class(const char* name)
{
    if (!name)
        return nullptr;
    for (const WindowClass& c : classes)
        if (strcasecmp(c.name.c_str(), name) == 0)
            return &c;
    if (strcasecmp(name, "EDIT") == 0) {
        classes.push_back(WindowClass{"EDIT", 0, edit_proc, nullptr});
        return &classes.back();
    }
    return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || find_class(wc->lpszClassName))
        return 0;
    classes.reserve(classes.size() + 1);
    classes.push_back(WindowClass{wc->lpszClassName, wc->style, wc->lpfnWndProc, wc->hbrBackground});
    return (ATOM)(CLASS_ATOM_BASE + classes.size() - 1);
}

// The client size of a top-level window whose outer size is w x h.
static void size_client(Window* win)
{
    int client_h = std::max(win->h - menu_bar_height(win), 0);
    if (win->fb.w != win->w || win->fb.h != client_h) {
        win->fb.resize(win->w, client_h, 0);
        backend_populate_ahead(win->fb.surface().px, (size_t)win->fb.w * (size_t)win->fb.h * sizeof(uint32_t));
        win->runs.clear();
        win->fills.clear();
    }
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    const WindowClass* cls = find_class(class_name);
    if (!cls)
        return nullptr;
    Window* parent_win = window_from(parent);
    if ((style & WS_CHILD) && !parent_win)
        return nullptr;
    Window* win = new Window;
    win->proc = cls->proc;
    win->parent = (style & WS_CHILD) ? parent_win : nullptr;
    win->style = style & ~WS_VISIBLE;
    win->class_style = cls->style;
    win->background = cls->background;
    win->is_edit = cls->proc == edit_proc;
    win->x = x == CW_USEDEFAULT ? 0 : x;
    win->y = y == CW_USEDEFAULT ? 0 : y;
    win->w = width == CW_USEDEFAULT ? DEFAULT_WINDOW_W : (width < 0 ? 0 : width);
    win->h = height == CW_USEDEFAULT ? DEFAULT_WINDOW_H : (height < 0 ? 0 : height);
    win->menu = win->parent ? nullptr : menu;
    win->ctrl_id = win->parent ? (int)(intptr_t)menu : 0;
    win->text = window_name ? window_name : "";
    if (!win->parent)
        size_client(win);
    live_windows.insert(win);

    CREATESTRUCTA cs{param,  instance, menu,        parent,      win->h,     win->w,
                     win->y, win->x,   (LONG)style, window_name, class_name, ex_style};
    HWND hwnd = hwnd_of(win);
    if (!send_message(win, WM_NCCREATE, 0, (LPARAM)&cs) || send_message(win, WM_CREATE, 0, (LPARAM)&cs) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!window_from(hwnd))
        return nullptr;
    IRect client = client_rect_of(win);
    send_message(win, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.x1, client.y1));
    if ((style & WS_VISIBLE) && window_from(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    return window_from(hwnd) ? hwnd : nullptr;
}

static bool is_descendant(const Window* w, const Window* ancestor)
{
    for (; w; w = w->parent)
        if (w == ancestor)
            return true;
    return false;
}

BOOL DestroyWindow(HWND hwnd)
{
    Window* win = window_from(hwnd);
    if (!win || win->destroying)
        return win != nullptr;
    win->destroying = true;
    if (focus && is_descendant(focus, win))
        SetFocus(nullptr);
    send_message(win, WM_DESTROY, 0, 0);
    std::vector<Window*> children;
    for (Window* other : live_windows)
        if (other->parent == win)
            children.push_back(other);
    for (Window* child : children)
        DestroyWindow(hwnd_of(child));
    send_message(win, WM_NCDESTROY, 0, 0);
    queue_forget_window(win);
    if (win == shown_top) {
        shown_top = nullptr;
        backend_window_close();
    }
    if (focus == win)
        focus = nullptr;
    live_windows.erase(win);
    delete win;
    return TRUE;
}

BOOL IsWindow(HWND hwnd) { return window_from(hwnd) != nullptr; }

BOOL ShowWindow(HWND hwnd, int show)
{
    Window* win = window_from(hwnd);
    if (!win)
        return FALSE;
    BOOL was_visible = win->visible;
    win->visible = show != SW_HIDE;
    if (win->parent || !win->visible || win == shown_top)
        return was_visible;
    platform_ready();
    int sw = 0, sh = 0;
    backend_screen_size(&sw, &sh);
    bool maximize = show == SW_SHOWMAXIMIZED || (win->w >= sw && win->h >= sh);
    shown_top = win;
    backend_window_open(win->w, win->h, maximize);
    backend_set_title(cp932_to_utf8(win->text).c_str());
    title_stale = false;
    size_client(win);
    InvalidateRect(hwnd, nullptr, TRUE);
    screen_invalidate_all();
    send_message(win, WM_SHOWWINDOW, TRUE, 0);
    send_message(win, WM_ACTIVATE, WA_ACTIVE, 0);
    return was_visible;
}

void window_resized(int w, int h)
{
    Window* win = shown_top;
    if (!win || w <= 0 || h <= 0 || (w == win->w && h == win->h))
        return;
    win->w = w;
    win->h = h;
    size_client(win);
    InvalidateRect(hwnd_of(win), nullptr, TRUE);
    screen_invalidate_all();
    send_message(win, WM_SIZE, SIZE_RESTORED, MAKELPARAM(win->fb.w, win->fb.h));
}

void client_origin(const Window* w, int* x, int* y)
{
    *x = *y = 0;
    for (; w && w->parent; w = w->parent) {
        *x += w->x;
        *y += w->y;
    }
}

// A null window stands for the screen, where the top window's client area
// begins below its menu bar. Returns the offset added, as MAKELONG(dx, dy).
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    int fx = 0, fy = 0, tx = 0, ty = 0;
    if (from)
        client_origin(window_from(from), &fx, &fy);
    else
        fy = -screen_client_top();
    if (to)
        client_origin(window_from(to), &tx, &ty);
    else
        ty = -screen_client_top();
    int dx = fx - tx, dy = fy - ty;
    for (UINT i = 0; points && i < count; i++) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return (int)MAKELONG((WORD)dx, (WORD)dy);
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    Window* win = window_from(hwnd);
    if (!win || !rect)
        return FALSE;
    IRect r = client_rect_of(win);
    *rect = RECT{r.x0, r.y0, r.x1, r.y1};
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    Window* win = hwnd ? window_from(hwnd) : shown_top;
    if (!win || win->parent)
        return win != nullptr;
    IRect all = client_rect_of(win);
    IRect r = rect ? rect_intersect(IRect{rect->left, rect->top, rect->right, rect->bottom}, all) : all;
    win->invalid = rect_union(win->invalid, r);
    if (erase && !r.empty())
        win->erase_pending = true;
    return TRUE;
}

int GetSystemMetrics(int index)
{
    platform_ready();
    int sw = 0, sh = 0;
    backend_screen_size(&sw, &sh);
    switch (index) {
    case SM_CXSCREEN:
        return sw;
    case SM_CYSCREEN:
        return sh;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return FRAME_WIDTH;
    case SM_CXMAXIMIZED:
        return sw + 2 * FRAME_WIDTH;
    case SM_CYMAXIMIZED:
        return sh + 2 * FRAME_WIDTH;
    case SM_CYMENU:
        return menu_bar_h();
    default:
        return 0; // the desktop draws captions and borders outside the window
    }
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    static HICON__ arrow;
    return &arrow;
}

HWND SetFocus(HWND hwnd)
{
    Window* next = hwnd ? window_from(hwnd) : nullptr;
    if (hwnd && !next)
        return nullptr;
    Window* prev = focus;
    if (next == prev)
        return hwnd_of(prev);
    focus = next;
    if (prev)
        send_message(prev, WM_KILLFOCUS, (WPARAM)hwnd, 0);
    if (next && focus == next)
        send_message(next, WM_SETFOCUS, (WPARAM)hwnd_of(prev), 0);
    return hwnd_of(prev);
}

HWND GetFocus(void) { return hwnd_of(focus); }

int GetWindowTextA(HWND hwnd, LPSTR buffer, int max_count)
{
    Window* win = window_from(hwnd);
    if (!win || !buffer || max_count <= 0)
        return 0;
    return (int)send_message(win, WM_GETTEXT, (WPARAM)max_count, (LPARAM)buffer);
}

int GetWindowTextLengthA(HWND hwnd)
{
    Window* win = window_from(hwnd);
    return win ? (int)send_message(win, WM_GETTEXTLENGTH, 0, 0) : 0;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    Window* win = window_from(hwnd);
    return win ? (BOOL)send_message(win, WM_SETTEXT, 0, (LPARAM)text) : FALSE;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    Window* win = window_from(hwnd);
    return win ? send_message(win, msg, wparam, lparam) : 0;
}

static LRESULT erase_background(Window* win, HDC dc)
{
    if (!win->background)
        return 0;
    RECT all{0, 0, win->fb.w, win->fb.h};
    FillRect(dc, &all, win->background);
    return 1;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    Window* win = window_from(hwnd);
    if (!win)
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return erase_background(win, (HDC)wparam);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SYSCOMMAND:
        if (wparam == SC_KEYMENU || wparam == SC_MOUSEMENU)
            menu_track(win, wparam, lparam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wparam) != WA_INACTIVE)
            SetFocus(hwnd);
        return 0;
    case WM_SETTEXT:
        win->text = lparam ? (const char*)lparam : "";
        if (win == shown_top)
            title_stale = true;
        return TRUE;
    case WM_GETTEXT: {
        if (wparam == 0 || !lparam)
            return 0;
        size_t n = std::min(win->text.size(), (size_t)wparam - 1);
        win->text.copy((char*)lparam, n);
        ((char*)lparam)[n] = 0;
        return (LRESULT)n;
    }
    case WM_GETTEXTLENGTH:
        return (LRESULT)win->text.size();
    default:
        return 0;
    }
}
