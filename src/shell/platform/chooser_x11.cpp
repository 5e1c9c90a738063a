// chooser_x11.cpp -- the file chooser's window under X11, kept with the game's.
//
// Owns a display connection of its own (open while a chooser is up), the
// chooser's window once found, and the state of the last ping. zenity cannot
// be told its owner for a file chooser, so the owner is set here, on the
// chooser's window, as soon as it exists. Called by backend_sdl.cpp.
#include "chooser_x11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>

constexpr long ACTIVATE_FROM_PAGER = 2; // a request the user made, which window managers grant
constexpr int TREE_DEPTH = 2;           // top-level windows, and those a window manager framed

static Display* dpy = nullptr;
static ::Window root = 0;
static ::Window owner_win = 0;
static ::Window chooser_win = 0;
static pid_t chooser_pid = -1;
static std::string chooser_title;
static bool ping_pending = false; // a ping was sent and can be answered
static bool pong = false;         // the chooser answered it

static Atom wm_protocols, net_wm_ping, net_active_window, net_wm_pid, net_wm_name, utf8_string, net_client_list;

unsigned long x11_window_id(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return 0;
    return (unsigned long)info.info.x11.window;
}

// X errors (a window gone between two requests) are expected here; the
// handler in place would end the program. Ignored while one of these lives,
// and every request made meanwhile is answered before it goes.
static int ignore_error(Display*, XErrorEvent*) { return 0; }

struct ErrorsIgnored {
    XErrorHandler before;
    ErrorsIgnored() : before(XSetErrorHandler(ignore_error)) {}
    ~ErrorsIgnored()
    {
        XSync(dpy, False);
        XSetErrorHandler(before);
    }
};

// A property of w as bytes (format 8) or longs (format 32); empty when absent.
static std::string property(::Window w, Atom name, Atom type)
{
    Atom got_type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    constexpr long PROPERTY_LONGS_MAX = 65536;
    if (XGetWindowProperty(dpy, w, name, 0, PROPERTY_LONGS_MAX, False, type, &got_type, &format, &items, &after,
                           &data) != Success ||
        !data)
        return "";
    size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    std::string out(reinterpret_cast<char*>(data), items * unit);
    XFree(data);
    return out;
}

static bool is_chooser(::Window w)
{
    std::string pid = property(w, net_wm_pid, XA_CARDINAL);
    if (pid.size() < sizeof(long) || (pid_t) * reinterpret_cast<const long*>(pid.data()) != chooser_pid)
        return false;
    return property(w, net_wm_name, utf8_string) == chooser_title;
}

static ::Window search_tree(::Window parent, int depth)
{
    ::Window root_ret = 0, parent_ret = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, parent, &root_ret, &parent_ret, &children, &n))
        return 0;
    ::Window found = 0;
    for (unsigned int i = 0; i < n && !found; i++)
        found = is_chooser(children[i]) ? children[i] : depth > 1 ? search_tree(children[i], depth - 1) : 0;
    if (children)
        XFree(children);
    return found;
}

// The window manager's list of client windows, else the tree itself.
static ::Window find_chooser()
{
    std::string list = property(root, net_client_list, XA_WINDOW);
    for (size_t i = 0; i + sizeof(long) <= list.size(); i += sizeof(long)) {
        ::Window w = (::Window) * reinterpret_cast<const long*>(list.data() + i);
        if (is_chooser(w))
            return w;
    }
    return search_tree(root, TREE_DEPTH);
}

void chooser_x11_begin(pid_t pid, const char* title, unsigned long owner)
{
    chooser_x11_end();
    if (owner == 0 || !(dpy = XOpenDisplay(nullptr)))
        return;
    root = DefaultRootWindow(dpy);
    owner_win = (::Window)owner;
    chooser_pid = pid;
    chooser_title = title ? title : "";
    wm_protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    net_wm_ping = XInternAtom(dpy, "_NET_WM_PING", False);
    net_active_window = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
    net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    utf8_string = XInternAtom(dpy, "UTF8_STRING", False);
    net_client_list = XInternAtom(dpy, "_NET_CLIENT_LIST", False);
    // Answers to pings are sent to the root window.
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XFlush(dpy);
}

static void take_answers()
{
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        const XClientMessageEvent& m = ev.xclient;
        if (ev.type == ClientMessage && m.message_type == wm_protocols && m.format == 32 &&
            (Atom)m.data.l[0] == net_wm_ping && (::Window)m.data.l[2] == chooser_win)
            pong = true;
    }
}

void chooser_x11_poll()
{
    if (!dpy)
        return;
    ErrorsIgnored guard;
    if (!chooser_win)
        chooser_win = find_chooser();
    ::Window for_win = 0;
    if (chooser_win && (!XGetTransientForHint(dpy, chooser_win, &for_win) || for_win != owner_win))
        XSetTransientForHint(dpy, chooser_win, owner_win);
    take_answers();
}

static bool can_be_pinged(::Window w)
{
    Atom* protocols = nullptr;
    int n = 0;
    bool yes = false;
    if (XGetWMProtocols(dpy, w, &protocols, &n)) {
        for (int i = 0; i < n; i++)
            yes = yes || protocols[i] == net_wm_ping;
        XFree(protocols);
    }
    return yes;
}

static void send_client_message(::Window to, ::Window about, Atom type, long mask, long l0, long l1, long l2)
{
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = about;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    XSendEvent(dpy, to, False, mask, &ev);
}

void chooser_x11_raise()
{
    chooser_x11_poll();
    if (!dpy || !chooser_win)
        return;
    ErrorsIgnored guard;
    // The window manager is asked to activate it; without one, raising does.
    send_client_message(root, chooser_win, net_active_window, SubstructureRedirectMask | SubstructureNotifyMask,
                        ACTIVATE_FROM_PAGER, CurrentTime, 0);
    XRaiseWindow(dpy, chooser_win);
    ping_pending = can_be_pinged(chooser_win);
    pong = false;
    if (ping_pending)
        send_client_message(chooser_win, chooser_win, wm_protocols, NoEventMask, (long)net_wm_ping, CurrentTime,
                            (long)chooser_win);
}

bool chooser_x11_answered()
{
    chooser_x11_poll();
    if (!dpy || !chooser_win)
        return false;
    return ping_pending ? pong : true;
}

void chooser_x11_end()
{
    if (dpy)
        XCloseDisplay(dpy);
    dpy = nullptr;
    chooser_win = owner_win = root = 0;
    chooser_pid = -1;
    chooser_title.clear();
    ping_pending = pong = false;
}
