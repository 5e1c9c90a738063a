// backend_headless.cpp -- a backend without a window, for tests and benchmarks.
//
// Owns the virtual clock, the injected input events, the screen buffer and the
// records tests read back (title, message box texts, sounds, presents). Nothing
// here waits: a wait runs the test's hook, or answers an open message box.
#include "headless.h"

#include "backend.h"
#include "codepage.h"
#include "ink.h"
#include "menu.h"
#include "msgbox.h"
#include "scale.h"
#include "screen.h"
#include "surface.h"
#include "win32.h"
#include "window.h"

#include <cstring>
#include <deque>

constexpr uint64_t CLOCK_START_MS = 1000;

static int screen_w = 1920, screen_h = 1080;
static uint64_t now_ms = CLOCK_START_MS;
static std::deque<PlatformEvent> events;
static PixelBuffer screen;
static bool window_open = false;
static std::string title;
static HeadlessWaitHook wait_hook = nullptr;
static HeadlessRecord box_log;
static HeadlessRecord sounds;
static std::vector<std::string> loaded_sounds; // by handle: the path each was loaded from
static bool sound_output_open = false;
static int sound_output_opens = 0;
static int last_wait_ms = -1;
static int writes_until_failure = 0;           // 0: no write fails; n: the n-th write from now does
static uint64_t present_count = 0;
static uint64_t present_pixels = 0;
static std::vector<HeadlessFileDialog> file_dialogs;
static std::deque<std::pair<bool, std::string>> dialog_answers; // chosen?, UTF-8 path
static bool file_dialog_open = false;
static std::string dialog_failure;   // set: the next chooser cannot be started
static int dialog_raises = 0;        // times the chooser was brought forward
static bool dialog_hung = false;     // the chooser answers no request
static int faults_armed[2] = {0, 0}; // per Fault kind: the call that fails, counted from 1
static IRect text_input_rect;        // where the layer last said the composition is shown
static bool text_input_on = true;    // the input method is on for the window

bool backend_init() { return true; }
void backend_shutdown() {}

void backend_screen_size(int* w, int* h)
{
    *w = screen_w;
    *h = screen_h;
}

bool backend_window_open(int w, int h, bool maximize)
{
    if (maximize) {
        w = screen_w;
        h = screen_h;
    }
    screen.resize(w, h, 0);
    window_open = true;
    PlatformEvent ev;
    ev.kind = EventKind::Resize;
    ev.w = w;
    ev.h = h;
    events.push_back(ev);
    return true;
}

void backend_window_close() { window_open = false; }
void backend_set_title(const char* utf8) { title = utf8 ? utf8 : ""; }
Surface backend_screen() { return screen.surface(); }
bool backend_screen_fresh() { return false; }
void backend_populate_ahead(const void*, size_t) {}

void backend_present(const IRect* rects, int n)
{
    present_count++;
    for (int i = 0; i < n; i++)
        present_pixels += (uint64_t)rects[i].area();
}

void backend_set_text_input_rect(const IRect& r) { text_input_rect = r; }
void backend_text_input(bool on) { text_input_on = on; }

bool backend_poll_event(PlatformEvent* ev)
{
    if (events.empty())
        return false;
    *ev = events.front();
    events.pop_front();
    if (ev->kind == EventKind::Resize && (ev->w != screen.w || ev->h != screen.h))
        screen.resize(ev->w, ev->h, 0);
    return true;
}

void backend_wait_event(int timeout_ms)
{
    last_wait_ms = timeout_ms;
    if (wait_hook)
        wait_hook();
    else if (msgbox_active())
        headless_key(VK_RETURN);
    else if (menu_active())
        headless_key(VK_ESCAPE);
    else if (file_dialog_open && dialog_answers.empty())
        headless_answer_file_dialog(nullptr);
}

// ---- the file chooser, answered by the test ----------------------------------------

bool backend_file_dialog_start(const FileDialogRequest& req, std::string* error)
{
    if (!dialog_failure.empty()) {
        *error = dialog_failure;
        dialog_failure.clear();
        return false;
    }
    file_dialogs.push_back(HeadlessFileDialog{req.title, req.filters, req.proposed});
    file_dialog_open = true;
    return true;
}

DialogState backend_file_dialog_poll(std::string* path, std::string* error)
{
    if (dialog_answers.empty())
        return DialogState::Running;
    std::pair<bool, std::string> a = dialog_answers.front();
    dialog_answers.pop_front();
    file_dialog_open = false;
    if (!a.first)
        return DialogState::Cancelled;
    *path = a.second;
    return DialogState::Chosen;
}

void backend_file_dialog_abort() { file_dialog_open = false; }
void backend_file_dialog_raise() { dialog_raises++; }
bool backend_file_dialog_answered() { return !dialog_hung; }

bool backend_fault(Fault kind)
{
    int& armed = faults_armed[kind == Fault::Alloc ? 0 : 1];
    if (armed <= 0)
        return false;
    return --armed == 0;
}

uint64_t backend_now_ms() { return now_ms; }
void backend_box_shown(const char* utf8) { box_log.push(utf8 ? utf8 : ""); }

int backend_load_sound(const char* utf8_path, const void* wav, size_t bytes)
{
    loaded_sounds.push_back(utf8_path ? utf8_path : "");
    return (int)loaded_sounds.size() - 1;
}

bool backend_sound_open()
{
    sound_output_open = true;
    sound_output_opens++;
    return true;
}

void backend_sound_close() { sound_output_open = false; }

// A sound started while the output is closed would not be heard: it is not recorded.
void backend_play_sound(int handle)
{
    if (sound_output_open && handle >= 0 && (size_t)handle < loaded_sounds.size())
        sounds.push(loaded_sounds[(size_t)handle].c_str());
}

bool backend_write_fails() { return writes_until_failure > 0 && --writes_until_failure == 0; }

// ---- the test interface ----------------------------------------------------------

const std::string& HeadlessRecord::operator[](size_t i) const
{
    static const std::string dropped;
    return (i < total && i >= first_kept()) ? ring[i % KEPT] : dropped;
}

void HeadlessRecord::push(const char* text)
{
    if (ring.size() < KEPT)
        ring.emplace_back(text);
    else
        ring[total % KEPT].assign(text);
    total++;
}

void headless_set_screen(int w, int h)
{
    screen_w = w;
    screen_h = h;
}

void headless_set_scale(double factor) { scale_set(factor); }

uint64_t headless_now_ms() { return now_ms; }
void headless_advance_ms(uint64_t ms) { now_ms += ms; }

static void push(EventKind kind, int key = 0)
{
    PlatformEvent ev;
    ev.kind = kind;
    ev.key = key;
    events.push_back(ev);
}

// The key a desktop reports with a typed character: letters and digits have
// their own virtual-key codes, the space bar VK_SPACE; others none we need.
static int key_of(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')
        return c;
    return 0;
}

static void push_text(const char* utf8, bool with_keys)
{
    size_t n = std::strlen(utf8);
    for (size_t i = 0; i < n;) {
        size_t len = (size_t)utf8_lead_len((unsigned char)utf8[i]);
        if (len > n - i)
            len = n - i;
        int key = key_of((unsigned char)utf8[i]);
        if (with_keys && key)
            push(EventKind::KeyDown, key);
        PlatformEvent ev;
        ev.kind = EventKind::Text;
        std::memcpy(ev.text, utf8 + i, len);
        events.push_back(ev);
        if (with_keys && key)
            push(EventKind::KeyUp, key);
        i += len;
    }
}

void headless_type(const char* utf8) { push_text(utf8, true); }
void headless_text(const char* utf8) { push_text(utf8, false); }

void headless_compose(const char* utf8, int cursor)
{
    PlatformEvent ev;
    ev.kind = EventKind::Compose;
    ev.composition = utf8_cut(utf8, COMPOSITION_MAX);
    ev.x = cursor;
    events.push_back(ev);
}

IRect headless_text_input_rect() { return text_input_rect; }
bool headless_text_input_on() { return text_input_on; }

void headless_key(int vk)
{
    push(EventKind::KeyDown, vk);
    push(EventKind::KeyUp, vk);
}

void headless_click(int button, int x, int y)
{
    PlatformEvent ev;
    ev.button = button;
    ev.x = x;
    ev.y = y;
    ev.kind = EventKind::MouseDown;
    events.push_back(ev);
    ev.kind = EventKind::MouseUp;
    events.push_back(ev);
}

void headless_resize(int w, int h)
{
    PlatformEvent ev;
    ev.kind = EventKind::Resize;
    ev.w = w;
    ev.h = h;
    events.push_back(ev);
}

void headless_mouse_move(int x, int y)
{
    PlatformEvent ev;
    ev.kind = EventKind::MouseMove;
    ev.x = x;
    ev.y = y;
    events.push_back(ev);
}

void headless_close() { push(EventKind::Close); }

int headless_menu_level() { return menu_level(); }

bool headless_menu_point(int level, int index, int* x, int* y)
{
    IRect r;
    if (!menu_entry_rect(level, index, &r))
        return false;
    *x = (r.x0 + r.x1) / 2;
    *y = (r.y0 + r.y1) / 2;
    return true;
}
void headless_focus(bool gained) { push(gained ? EventKind::FocusGained : EventKind::FocusLost); }
void headless_expose() { push(EventKind::Expose); }
void headless_set_wait_hook(HeadlessWaitHook hook) { wait_hook = hook; }
std::string headless_box_text() { return msgbox_text(); }
const HeadlessRecord& headless_box_log() { return box_log; }
std::string headless_title()
{
    window_title_flush();
    return title;
}
bool headless_window_open() { return window_open; }

Surface headless_client()
{
    Window* top = top_window();
    if (!top)
        return Surface{};
    ink_settle_all(top->fb.surface(), &top->ink); // an erase still owed is written first
    return top->fb.surface();
}

Surface headless_screen()
{
    screen_flush();
    return screen.surface();
}

uint32_t headless_pixel(int x, int y)
{
    Surface s = headless_client();
    if (x < 0 || y < 0 || x >= s.w || y >= s.h)
        return 0xFFFFFFFF;
    return s.row(y)[x];
}

bool headless_write_png(const char* utf8_path, bool whole_screen)
{
    return surface_write_png(whole_screen ? headless_screen() : headless_client(), utf8_path);
}

const HeadlessRecord& headless_sounds() { return sounds; }
int headless_sound_loads() { return (int)loaded_sounds.size(); }
bool headless_sound_output_open() { return sound_output_open; }
int headless_sound_opens() { return sound_output_opens; }
int headless_last_wait_ms() { return last_wait_ms; }
void headless_fail_write(int n) { writes_until_failure = n; }
uint64_t headless_present_count() { return present_count; }
uint64_t headless_present_pixels() { return present_pixels; }

void headless_answer_file_dialog(const char* utf8_path)
{
    dialog_answers.emplace_back(utf8_path != nullptr, utf8_path ? utf8_path : "");
}

void headless_fail_file_dialog(const char* utf8_message) { dialog_failure = utf8_message ? utf8_message : ""; }
bool headless_file_dialog_open() { return file_dialog_open; }
void headless_hang_file_dialog(bool hung) { dialog_hung = hung; }
int headless_file_dialog_raises() { return dialog_raises; }
const std::vector<HeadlessFileDialog>& headless_file_dialogs() { return file_dialogs; }
void headless_fail_call(Fault kind, int nth) { faults_armed[kind == Fault::Alloc ? 0 : 1] = nth; }
