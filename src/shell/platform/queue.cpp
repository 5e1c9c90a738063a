// queue.cpp -- the thread's message queue, timers and input routing.
//
// Owns the posted-message queue, the quit flag and the timers. Backend events
// become messages here: text and keys go to the focus window, clicks to the
// shown window, and all input to the message box while one is up. Like
// Windows, WM_PAINT and WM_TIMER are made up only when nothing else waits, at
// most one of each at a time. Called by the program's loops and modal loops.
#include "queue.h"

#include "backend.h"
#include "codepage.h"
#include "compose_box.h"
#include "menu.h"
#include "msgbox.h"
#include "open_dialog.h"
#include "screen.h"
#include "sound.h"
#include "win32.h"
#include "window.h"

#include <deque>
#include <vector>

struct Timer {
    Window* win;
    UINT_PTR id;
    UINT interval;
    uint64_t due;
    TIMERPROC proc;
};

constexpr UINT MIN_TIMER_INTERVAL = 10; // ms, as Windows clamps USER_TIMER_MINIMUM

static std::deque<MSG> posted;
static bool quit_posted = false;
static int quit_code = 0;
static std::vector<Timer> timers;
static bool swallow_space = false; // the Space that closed a box also sends its text

uint64_t queue_now_ms()
{
    platform_ready();
    return backend_now_ms();
}

DWORD GetTickCount(void) { return (DWORD)queue_now_ms(); }

static MSG make_msg(Window* w, UINT msg, WPARAM wparam, LPARAM lparam)
{
    MSG m{};
    m.hwnd = hwnd_of(w);
    m.message = msg;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = GetTickCount();
    return m;
}

void queue_post(Window* w, UINT msg, WPARAM wparam, LPARAM lparam)
{
    posted.push_back(make_msg(w, msg, wparam, lparam));
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    Window* w = window_from(hwnd);
    if (hwnd && !w)
        return FALSE;
    queue_post(w, msg, wparam, lparam);
    return TRUE;
}

void PostQuitMessage(int exit_code)
{
    quit_posted = true;
    quit_code = exit_code;
}

void queue_forget_window(Window* w)
{
    for (auto it = posted.begin(); it != posted.end();)
        it = it->hwnd == hwnd_of(w) ? posted.erase(it) : it + 1;
    for (auto it = timers.begin(); it != timers.end();)
        it = it->win == w ? timers.erase(it) : it + 1;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc)
{
    Window* w = window_from(hwnd);
    if (hwnd && !w)
        return 0;
    UINT interval = elapse_ms < MIN_TIMER_INTERVAL ? MIN_TIMER_INTERVAL : elapse_ms;
    uint64_t due = queue_now_ms() + interval;
    for (Timer& t : timers)
        if (t.win == w && t.id == id) {
            t = Timer{w, id, interval, due, proc};
            return id ? id : 1;
        }
    timers.push_back(Timer{w, id, interval, due, proc});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    Window* w = window_from(hwnd);
    for (auto it = timers.begin(); it != timers.end(); ++it)
        if (it->win == w && it->id == id) {
            timers.erase(it);
            return TRUE;
        }
    return FALSE;
}

// The next tick keeps to the timer's own schedule; ticks missed while the
// thread was busy are skipped rather than delivered in a burst.
static void reschedule(Timer& t, uint64_t now)
{
    t.due += t.interval;
    if (t.due <= now)
        t.due = now + t.interval - (now - t.due) % t.interval;
}

static Timer* due_timer(uint64_t now)
{
    for (Timer& t : timers)
        if (t.due <= now)
            return &t;
    return nullptr;
}

static void post_key_input(UINT msg, int vk)
{
    Window* target = focus_window();
    if (target)
        queue_post(target, msg, (WPARAM)vk, 1);
}

static void post_text_input(const char* utf8)
{
    Window* target = focus_window();
    if (!target)
        return;
    std::string bytes = utf8_to_cp932(utf8);
    for (unsigned char b : bytes)
        queue_post(target, WM_CHAR, b, 1);
}

static void post_mouse(const PlatformEvent& ev)
{
    Window* top = top_window();
    int y = ev.y - screen_client_top();
    if (!top || y < 0)
        return;
    UINT msg;
    if (ev.button == 1)
        msg = ev.kind == EventKind::MouseDown ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    else if (ev.button == 3)
        msg = ev.kind == EventKind::MouseDown ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    else
        return;
    queue_post(top, msg, 0, MAKELPARAM(ev.x, y));
}

static bool is_input(EventKind k)
{
    return k == EventKind::Text || k == EventKind::KeyDown || k == EventKind::KeyUp || k == EventKind::MouseDown ||
           k == EventKind::MouseUp;
}

// While a message box is up it takes all input. The Space key that closes it
// arrives as a key press followed by its text; that text must not reach the
// window that gets the focus back.
static bool route_to_box(const PlatformEvent& ev)
{
    if (swallow_space && ev.kind == EventKind::Text) {
        swallow_space = false;
        if (ev.text[0] == ' ' && ev.text[1] == 0)
            return true;
    }
    if (ev.kind != EventKind::KeyUp && ev.kind != EventKind::Text)
        swallow_space = false;
    if (!msgbox_active() || !is_input(ev.kind))
        return false;
    msgbox_handle_event(ev);
    if (!msgbox_active() && ev.kind == EventKind::KeyDown && ev.key == VK_SPACE)
        swallow_space = true;
    return true;
}

static void handle_window_event(const PlatformEvent& ev)
{
    Window* top = top_window();
    switch (ev.kind) {
    case EventKind::Resize:
        window_resized(ev.w, ev.h);
        break;
    case EventKind::Close:
        if (top)
            queue_post(top, WM_CLOSE, 0, 0);
        break;
    case EventKind::FocusGained:
        if (top && !msgbox_active())
            send_message(top, WM_ACTIVATE, WA_ACTIVE, 0);
        break;
    case EventKind::FocusLost:
        if (top && !msgbox_active()) {
            send_message(top, WM_ACTIVATE, WA_INACTIVE, 0);
            SetFocus(nullptr);
        }
        break;
    case EventKind::Expose:
        screen_present_all();
        break;
    default:
        break;
    }
}

// The input method's composition goes to the composition box only, never to
// a window: nothing of it is typed until it is committed as text. Keys that
// reach us while it composes are the input method's.
static bool route_to_composition(const PlatformEvent& ev)
{
    if (ev.kind == EventKind::Compose) {
        compose_box_update(ev);
        return true;
    }
    if (ev.kind == EventKind::Text || ev.kind == EventKind::FocusLost)
        compose_box_clear();
    return compose_box_shown() && (ev.kind == EventKind::KeyDown || ev.kind == EventKind::KeyUp);
}

static void handle_event(const PlatformEvent& ev)
{
    if (route_to_composition(ev))
        return;
    if (route_to_box(ev))
        return;
    // Under the file chooser the window is shut, as a Windows owner is
    // disabled under a modal dialog: no input, no menus; the close box brings
    // the chooser forward.
    if (file_dialog_active() && ev.kind == EventKind::Close) {
        file_dialog_close_requested();
        return;
    }
    if (file_dialog_active() && is_input(ev.kind))
        return;
    if (menu_handle_event(ev))
        return;
    switch (ev.kind) {
    case EventKind::Text:
        post_text_input(ev.text);
        break;
    case EventKind::KeyDown:
        post_key_input(WM_KEYDOWN, ev.key);
        break;
    case EventKind::KeyUp:
        post_key_input(WM_KEYUP, ev.key);
        break;
    case EventKind::MouseDown:
    case EventKind::MouseUp:
        post_mouse(ev);
        break;
    default:
        handle_window_event(ev);
        break;
    }
}

void queue_pump_events()
{
    platform_ready();
    PlatformEvent ev;
    while (backend_poll_event(&ev))
        handle_event(ev);
}

static bool in_filter(const MSG& m, HWND hwnd, UINT lo, UINT hi)
{
    if (hwnd && m.hwnd != hwnd) {
        Window* w = window_from(m.hwnd);
        Window* want = window_from(hwnd);
        bool child = false;
        for (; w && !child; w = w->parent)
            child = w == want;
        if (!child)
            return false;
    }
    return (lo == 0 && hi == 0) || (m.message >= lo && m.message <= hi);
}

// The first frame goes out when the program first waits: what it draws until
// then (a start box above all) goes out with it, in one present, instead of
// a whole frame replaced a moment later. A program that keeps busy instead of
// waiting shows its first frame after FIRST_FRAME_HOLD_MS all the same.
constexpr uint64_t FIRST_FRAME_HOLD_MS = 100;
static bool waited = false;
static uint64_t hold_start = 0;

static bool first_frame_may_go()
{
    if (waited)
        return true;
    uint64_t now = queue_now_ms();
    if (hold_start == 0)
        hold_start = now;
    return now - hold_start >= FIRST_FRAME_HOLD_MS;
}

static Window* window_needing_paint()
{
    Window* top = top_window();
    return (top && !top->invalid.empty()) ? top : nullptr;
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove)
{
    // A window about to be painted is presented after its paint: a frame
    // before it would be replaced at once (the first frame above all).
    if (!window_needing_paint() && first_frame_may_go())
        screen_flush();
    queue_pump_events();
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!in_filter(*it, hwnd, filter_min, filter_max))
            continue;
        *msg = *it;
        if (remove & PM_REMOVE)
            posted.erase(it);
        return TRUE;
    }
    if (quit_posted && in_filter(make_msg(nullptr, WM_QUIT, 0, 0), nullptr, filter_min, filter_max)) {
        *msg = make_msg(nullptr, WM_QUIT, (WPARAM)quit_code, 0);
        if (remove & PM_REMOVE)
            quit_posted = false;
        return TRUE;
    }
    Window* paint = window_needing_paint();
    if (paint && in_filter(make_msg(paint, WM_PAINT, 0, 0), hwnd, filter_min, filter_max)) {
        *msg = make_msg(paint, WM_PAINT, 0, 0);
        return TRUE;
    }
    uint64_t now = queue_now_ms();
    Timer* t = due_timer(now);
    if (t && in_filter(make_msg(t->win, WM_TIMER, 0, 0), hwnd, filter_min, filter_max)) {
        *msg = make_msg(t->win, WM_TIMER, t->id, (LPARAM)t->proc);
        if (remove & PM_REMOVE)
            reschedule(*t, now);
        return TRUE;
    }
    return FALSE;
}

bool queue_has_work()
{
    queue_pump_events();
    return !posted.empty() || quit_posted || window_needing_paint() || due_timer(queue_now_ms());
}

void queue_wait()
{
    // Input taken in while looking for work may change only the screen (a
    // menu, a pressed button): that is presented before the wait, not after.
    waited = true;
    do {
        screen_flush();
        if (queue_has_work())
            return;
    } while (screen_dirty());
    window_title_flush();
    int timeout = -1;
    uint64_t now = queue_now_ms();
    for (const Timer& t : timers) {
        int left = t.due > now ? (int)(t.due - now) : 0;
        if (timeout < 0 || left < timeout)
            timeout = left;
    }
    int sound_left = sound_close_when_quiet(now); // the wait also ends to close a silent sound output
    if (sound_left >= 0 && (timeout < 0 || sound_left < timeout))
        timeout = sound_left;
    backend_wait_event(timeout);
}

BOOL WaitMessage(void)
{
    queue_wait();
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max)
{
    while (!PeekMessageA(msg, hwnd, filter_min, filter_max, PM_REMOVE))
        queue_wait();
    return msg->message != WM_QUIT;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    // Keys that type a control character; printable keys come as text input.
    int ch = 0;
    switch ((int)msg->wParam) {
    case VK_RETURN:
        ch = '\r';
        break;
    case VK_BACK:
        ch = '\b';
        break;
    case VK_TAB:
        ch = '\t';
        break;
    case VK_ESCAPE:
        ch = 0x1B;
        break;
    default:
        return FALSE;
    }
    posted.push_front(make_msg(window_from(msg->hwnd), WM_CHAR, (WPARAM)ch, msg->lParam));
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        ((TIMERPROC)msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    Window* w = window_from(msg->hwnd);
    return w ? send_message(w, msg->message, msg->wParam, msg->lParam) : 0;
}

void queue_run_modal(bool (*done)())
{
    MSG m;
    while (!done()) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            // The input just taken in may have closed the box: look before waiting.
            if (!done())
                queue_wait();
            continue;
        }
        if (m.message == WM_QUIT) {
            // The modal loop ends and leaves the quit for the loop outside.
            PostQuitMessage((int)m.wParam);
            return;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}
