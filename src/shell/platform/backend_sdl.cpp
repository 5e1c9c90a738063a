// backend_sdl.cpp -- the real window, input and sound, over SDL2.
//
// Owns the SDL window, its surface, the audio device, the thread that opens
// and closes it, the decoded sounds and the one that plays (fed to the device
// by its callback).
// The layer composes into the window surface and presents only the changed
// rectangles. The audio device is open only while sounds play (sound.cpp
// decides when); it is first opened by the first sound, long after the first
// frame, so that a slow sound server does not delay the window.
//
// With LUMEKO_TRACE_PRESENT=<file> set at start, every present appends one line
// to that file (see trace_present), for measuring latency from outside; with
// LUMEKO_TRACE_SOUND=<file>, every sound the device starts (see trace_sound).
#include "backend.h"
#include "chooser_x11.h"
#include "codepage.h"
#include "disk.h"
#include "font.h"
#include "msgbox.h"
#include "report.h"
#include "scale.h"
#include "surface.h"
#include "win32.h"
#include "xresources.h"
#include "zenity.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <mutex>
#include <pthread.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The format sounds are decoded to and the device is asked for; SDL converts
// should the device want another.
constexpr int AUDIO_RATE = 44100;
constexpr SDL_AudioFormat AUDIO_FORMAT = AUDIO_S16SYS;
constexpr Uint8 AUDIO_CHANNELS = 1;
constexpr int AUDIO_SAMPLES = 512;

static SDL_Window* window = nullptr;
static SDL_Surface* shadow = nullptr; // used when the window surface is not 32-bit XRGB
static std::vector<std::vector<Uint8>> sounds; // by handle, decoded; main thread only

// What the main thread asks of the sound thread, under sound_mutex.
struct SoundRequests {
    bool open = false;             // the device should be open
    bool quit = false;             // the program ends
    bool start = false;            // a sound is to be started (or stopped: data null)
    const Uint8* data = nullptr;   // its samples, which never move
    size_t len = 0;
    uint64_t input_us = 0;         // for the sound trace: the newest input, and when it was asked
    uint64_t asked_us = 0;
};
static std::mutex sound_mutex;
static std::condition_variable sound_wake;
static SoundRequests sound_asked;
static std::thread sound_thread;
// A request is waiting for the sound thread to be woken. The main thread wakes
// it only once a key's pixels are out (after the present) or when it is about
// to sleep: woken at once, it would compete with the drawing for the CPU.
static bool sound_wake_due = false;
static std::atomic<int> audio_state{0}; // 0 never opened, 1 opened once, -1 no device
// The sound thread's own.
static SDL_AudioDeviceID audio_dev = 0; // 0 while closed
static uint64_t last_open_us = 0;       // the last opening's cost, until a sound takes it
// The sound that plays: its samples and how far the device has come. Shared
// with SDL's audio thread: changed only with the device locked.
static const Uint8* playing = nullptr;
static size_t playing_len = 0, playing_pos = 0;

// The present trace: null unless LUMEKO_TRACE_PRESENT named a file at start.
// The newest key or text event taken from SDL: how many there were so far,
// when it was taken (CLOCK_MONOTONIC, us) and SDL's own timestamp (ms).
static FILE* trace_file = nullptr;
static uint64_t trace_inputs = 0;
static uint64_t trace_input_us = 0;
static Uint32 trace_input_ticks = 0;
// The sound trace: null unless LUMEKO_TRACE_SOUND named a file at start. For
// the sound that plays: the newest input when it was started, when it was
// started and how long opening the device took for it (0: it was open), in
// CLOCK_MONOTONIC us; shared with SDL's audio thread like the sound itself.
static FILE* sound_trace = nullptr;
static uint64_t sound_input_us = 0, sound_play_us = 0, sound_open_us = 0;

static uint64_t monotonic_us()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000u + (uint64_t)ts.tv_nsec / 1000u;
}

static void trace_open()
{
    const char* path = std::getenv("LUMEKO_TRACE_PRESENT");
    if (path && path[0])
        trace_file = std::fopen(path, "a");
    path = std::getenv("LUMEKO_TRACE_SOUND");
    if (path && path[0])
        sound_trace = std::fopen(path, "a");
}

// One line per present, written once the pixels are with the display server
// (SDL_UpdateWindowSurfaceRects syncs with it before returning):
//   t_us rects pixels box inputs input_us input_ticks ticks start_us
// t_us, input_us and start_us (when the present began) are CLOCK_MONOTONIC
// microseconds; box is 1 while a message
// box is up; input_ticks and ticks are SDL_GetTicks milliseconds of the newest
// input event and of the present. The line is flushed at once, so a reader
// sees it while the program runs.
static void trace_present(const SDL_Rect* rects, int n, uint64_t start_us)
{
    long long pixels = 0;
    for (int i = 0; i < n; i++)
        pixels += (long long)rects[i].w * rects[i].h;
    std::fprintf(trace_file, "%llu %d %lld %d %llu %llu %u %llu %llu\n", (unsigned long long)monotonic_us(), n, pixels,
                 msgbox_active() ? 1 : 0, (unsigned long long)trace_inputs, (unsigned long long)trace_input_us,
                 (unsigned)trace_input_ticks, (unsigned long long)SDL_GetTicks64(), (unsigned long long)start_us);
    std::fflush(trace_file);
}

// One line per sound, written on the audio thread when the device's callback
// hands out its first samples: "sound input_us play_us open_us samples_us",
// the last the time of that callback (see sound_trace above for the others).
// Closing the device writes "close us", the time it took.
static void trace_sound()
{
    std::fprintf(sound_trace, "sound %llu %llu %llu %llu\n", (unsigned long long)sound_input_us,
                 (unsigned long long)sound_play_us, (unsigned long long)sound_open_us,
                 (unsigned long long)monotonic_us());
    std::fflush(sound_trace);
}

static void trace_input(const SDL_Event& e)
{
    if (e.type != SDL_KEYDOWN && e.type != SDL_TEXTINPUT)
        return;
    trace_inputs++;
    trace_input_us = monotonic_us();
    trace_input_ticks = e.common.timestamp;
}

// When no display can be opened SDL falls back to a driver that shows
// nothing ("offscreen", "dummy"): the game would then run on unseen. Such a
// driver is used only when SDL_VIDEODRIVER asked for it.
static bool invisible_driver_not_asked_for()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0))
        return false;
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    return !asked || std::strstr(asked, driver) == nullptr;
}

// The scale the desktop asks of X programs, for the layer's own drawing (SDL
// itself scales nothing on X11). Read once: a changed setting takes effect at
// the next start, as it does for most X programs.
static void read_desktop_scale()
{
    std::string dpi = x11_screen_resource("Xft.dpi", "Xft.Dpi");
    scale_set(scale_from_desktop(dpi.empty() ? nullptr : dpi.c_str(), std::getenv("GDK_SCALE"),
                                 std::getenv("QT_SCALE_FACTOR")));
}

bool backend_init()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The window surface must be the display's own framebuffer (X11: a shared
    // memory image), which presents exactly the changed rectangles. Left to
    // itself, SDL builds the surface on an OpenGL renderer (llvmpipe when
    // there is no GPU): loading the driver costs about 100 MB resident and
    // over 100 ms of start-up, and every update then swaps the whole window,
    // 15 to 40 ms under Xvfb. The environment variable
    // SDL_FRAMEBUFFER_ACCELERATION still overrides this.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A composition longer than SDL's fixed event buffer comes whole, as
    // SDL_TEXTEDITING_EXT, rather than cut short by SDL.
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
    // The fonts need no window: they are opened, and the glyphs the last first
    // frame drew rendered, on a second thread while SDL starts.
    font_warm_start();
    // Opening the input method parses the locale's whole compose table, the
    // longest step of SDL's start, slower still with the font thread running
    // (stdio then locks for every character). Told where, X keeps the table
    // parsed and checks it against the file on every start.
    std::string compose_cache = compose_cache_dir(geteuid() == 0);
    if (!compose_cache.empty())
        setenv("XCOMPOSECACHE", compose_cache.c_str(), 1);
    bool up = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    if (!compose_cache.empty())
        unsetenv("XCOMPOSECACHE"); // programs started from here get the environment as it was
    if (!up) {
        std::fprintf(stderr, "%s%s\n", MESSAGE_PREFIX, SDL_GetError());
        return false;
    }
    if (invisible_driver_not_asked_for()) {
        SDL_Quit();
        return false;
    }
    SDL_StartTextInput();
    // Starting SDL's audio lists the devices as events: they would only wake
    // the loop.
    SDL_EventState(SDL_AUDIODEVICEADDED, SDL_IGNORE);
    SDL_EventState(SDL_AUDIODEVICEREMOVED, SDL_IGNORE);
    trace_open();
    read_desktop_scale();
    return true;
}

static void sound_thread_stop();
static void wake_sound_thread();

void backend_shutdown()
{
    sound_thread_stop();
    if (shadow)
        SDL_FreeSurface(shadow);
    shadow = nullptr;
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
    SDL_Quit();
    if (trace_file)
        std::fclose(trace_file);
    trace_file = nullptr;
    if (sound_trace)
        std::fclose(sound_trace);
    sound_trace = nullptr;
}

void backend_screen_size(int* w, int* h)
{
    SDL_Rect r{0, 0, 1024, 768};
    if (SDL_GetDisplayUsableBounds(0, &r) != 0)
        SDL_GetDisplayBounds(0, &r);
    *w = r.w;
    *h = r.h;
}

static bool surface_is_xrgb(const SDL_Surface* s)
{
    return s && s->format->BytesPerPixel == 4 && s->format->Rmask == 0xFF0000 && s->format->Gmask == 0xFF00 &&
           s->format->Bmask == 0xFF;
}

// A new framebuffer (the window surface, the client's) has none of its pages
// yet, and each costs a fault and a clear when first written: the first frame
// would pay for all of the window surface's twice (composed, then read by the
// display server), and a key drawing at a new place for dozens. A second
// thread has them made as soon as the buffer exists. It only asks the kernel
// to populate the pages, which leaves what they hold as it is: drawing may go
// on meanwhile, and a buffer freed under it costs nothing but the request. A
// kernel before 5.14 refuses the request; the pages then come as written.
void backend_populate_ahead(const void* p, size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    if (!p || bytes == 0)
        return;
    uintptr_t page = (uintptr_t)sysconf(_SC_PAGESIZE);
    uintptr_t a = (uintptr_t)p & ~(page - 1);
    uintptr_t b = ((uintptr_t)p + bytes + page - 1) & ~(page - 1);
    std::thread([a, b] { madvise(reinterpret_cast<void*>(a), b - a, MADV_POPULATE_WRITE); }).detach();
#endif
}

// Once for each new surface (a resize may bring one at the same address).
static void populate_ahead(const SDL_Surface* s)
{
    static const void* started_for = nullptr;
    static int started_w = 0, started_h = 0;
    if (!s || (s->pixels == started_for && s->w == started_w && s->h == started_h))
        return;
    started_for = s->pixels;
    started_w = s->w;
    started_h = s->h;
    backend_populate_ahead(s->pixels, (size_t)s->pitch * (size_t)s->h);
}

// The window surface must be fetched again after every resize; when it is not
// 32-bit XRGB, the layer draws into a shadow surface that present converts.
static SDL_Surface* target_surface()
{
    SDL_Surface* ws = window ? SDL_GetWindowSurface(window) : nullptr;
    if (ws && !surface_is_xrgb(ws) && (!shadow || shadow->w != ws->w || shadow->h != ws->h)) {
        if (shadow)
            SDL_FreeSurface(shadow);
        shadow = SDL_CreateRGBSurfaceWithFormat(0, ws->w, ws->h, 32, SDL_PIXELFORMAT_RGB888);
    }
    SDL_Surface* s = ws && !surface_is_xrgb(ws) ? shadow : ws;
    populate_ahead(s);
    return s;
}

bool backend_window_open(int w, int h, bool maximize)
{
    if (window) {
        SDL_SetWindowSize(window, w, h);
        return true;
    }
    SDL_Rect usable{0, 0, w, h};
    SDL_GetDisplayUsableBounds(0, &usable);
    Uint32 flags = SDL_WINDOW_RESIZABLE | (maximize ? SDL_WINDOW_MAXIMIZED : 0);
    window = SDL_CreateWindow("", usable.x, usable.y, w, h, flags);
    if (!window) {
        std::fprintf(stderr, "%scannot create the window: %s\n", MESSAGE_PREFIX, SDL_GetError());
        return false;
    }
    int real_w = w, real_h = h;
    SDL_GetWindowSize(window, &real_w, &real_h);
    if (real_w != w || real_h != h) {
        SDL_Event ev{};
        ev.type = SDL_WINDOWEVENT;
        ev.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        ev.window.windowID = SDL_GetWindowID(window);
        ev.window.data1 = real_w;
        ev.window.data2 = real_h;
        SDL_PushEvent(&ev);
    }
    return true;
}

void backend_window_close()
{
    if (window)
        SDL_DestroyWindow(window);
    window = nullptr;
}

void backend_set_title(const char* utf8)
{
    if (window)
        SDL_SetWindowTitle(window, utf8 ? utf8 : "");
}

Surface backend_screen()
{
    SDL_Surface* s = target_surface();
    if (!s)
        return Surface{};
    return Surface{static_cast<uint32_t*>(s->pixels), s->w, s->h, s->pitch / 4};
}

// Whether p lies in a System V shared memory segment: /proc/self/maps names
// such a mapping "/SYSV<key>".
static bool in_shared_segment(const void* p)
{
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return false;
    char line[512];
    bool found = false, shared = false;
    while (!found && std::fgets(line, sizeof line, maps)) {
        unsigned long long lo = 0, hi = 0;
        if (std::sscanf(line, "%llx-%llx", &lo, &hi) != 2 || (uintptr_t)p < lo || (uintptr_t)p >= hi)
            continue;
        found = true;
        shared = std::strstr(line, " /SYSV") != nullptr;
    }
    std::fclose(maps);
    return found && shared;
}

// SDL's X11 framebuffer is a shared memory segment it makes anew with every
// window surface, and the kernel hands such a segment out cleared: the first
// frame need not write black over black. A surface in ordinary memory (no
// shared memory, a shadow surface) is not vouched for.
bool backend_screen_fresh()
{
    static const void* vouched_for = nullptr;
    SDL_Surface* s = target_surface();
    if (!s || s == shadow || s->pixels == vouched_for)
        return false;
    vouched_for = s->pixels;
    return in_shared_segment(s->pixels);
}

static int drop_expose(void*, SDL_Event* e)
{
    return !(e->type == SDL_WINDOWEVENT && e->window.event == SDL_WINDOWEVENT_EXPOSED);
}

void backend_text_input(bool on)
{
    // Stopping resets the input method's context: what it composed is dropped.
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

void backend_set_text_input_rect(const IRect& r)
{
    SDL_Rect sr{r.x0, r.y0, r.width(), r.height()};
    SDL_SetTextInputRect(&sr);
}

void backend_present(const IRect* rects, int n)
{
    uint64_t start_us = trace_file ? monotonic_us() : 0;
    SDL_Surface* ws = window ? SDL_GetWindowSurface(window) : nullptr;
    if (!ws || n <= 0)
        return;
    if (n == 1 && rects[0].x0 <= 0 && rects[0].y0 <= 0 && rects[0].x1 >= ws->w && rects[0].y1 >= ws->h) {
        // The whole window goes out: an expose the display sent before this
        // (the one that comes with mapping the window) asks for nothing more.
        SDL_PumpEvents();
        SDL_FilterEvents(drop_expose, nullptr);
    }
    std::vector<SDL_Rect> sdl_rects((size_t)n);
    for (int i = 0; i < n; i++) {
        sdl_rects[(size_t)i] = SDL_Rect{rects[i].x0, rects[i].y0, rects[i].width(), rects[i].height()};
        if (shadow && ws != shadow)
            SDL_BlitSurface(shadow, &sdl_rects[(size_t)i], ws, &sdl_rects[(size_t)i]);
    }
    SDL_UpdateWindowSurfaceRects(window, sdl_rects.data(), n);
    if (trace_file)
        trace_present(sdl_rects.data(), n, start_us);
    wake_sound_thread(); // a key's click, now that its pixels are out
}

static int vk_from_keycode(SDL_Keycode k)
{
    if (k >= SDLK_a && k <= SDLK_z)
        return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return '0' + (k - SDLK_0);
    switch (k) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_F10:
        return VK_F10;
    default:
        return 0;
    }
}

static bool translate_window_event(const SDL_WindowEvent& we, PlatformEvent* ev)
{
    switch (we.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        ev->kind = EventKind::Resize;
        ev->w = we.data1;
        ev->h = we.data2;
        return true;
    case SDL_WINDOWEVENT_CLOSE:
        ev->kind = EventKind::Close;
        return true;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        ev->kind = EventKind::FocusGained;
        return true;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        ev->kind = EventKind::FocusLost;
        return true;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESTORED:
        ev->kind = EventKind::Expose;
        return true;
    default:
        return false;
    }
}

static bool translate(const SDL_Event& e, PlatformEvent* ev)
{
    *ev = PlatformEvent{};
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        ev->kind = e.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
        ev->key = vk_from_keycode(e.key.keysym.sym);
        return ev->key != 0;
    case SDL_TEXTINPUT:
        ev->kind = EventKind::Text;
        std::memcpy(ev->text, e.text.text, strnlen(e.text.text, EVENT_TEXT_MAX - 1));
        return true;
    case SDL_TEXTEDITING:
        ev->kind = EventKind::Compose;
        ev->composition = utf8_cut(e.edit.text, COMPOSITION_MAX);
        ev->x = e.edit.start;
        return true;
    case SDL_TEXTEDITING_EXT:
        // The text is SDL's to free once it has been copied.
        ev->kind = EventKind::Compose;
        if (e.editExt.text)
            ev->composition = utf8_cut(e.editExt.text, COMPOSITION_MAX);
        SDL_free(e.editExt.text);
        ev->x = e.editExt.start;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        ev->kind = e.type == SDL_MOUSEBUTTONDOWN ? EventKind::MouseDown : EventKind::MouseUp;
        ev->button = e.button.button == SDL_BUTTON_LEFT ? 1 : e.button.button == SDL_BUTTON_RIGHT ? 3 : 2;
        ev->x = e.button.x;
        ev->y = e.button.y;
        return true;
    case SDL_MOUSEMOTION:
        ev->kind = EventKind::MouseMove;
        ev->x = e.motion.x;
        ev->y = e.motion.y;
        return true;
    case SDL_WINDOWEVENT:
        return translate_window_event(e.window, ev);
    case SDL_QUIT:
        ev->kind = EventKind::Close;
        return true;
    default:
        return false;
    }
}

bool backend_poll_event(PlatformEvent* ev)
{
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (trace_file || sound_trace)
            trace_input(e);
        if (translate(e, ev))
            return true;
    }
    return false;
}

// ---- sound ---------------------------------------------------------------------
//
// Opening the device takes from a fraction of a millisecond to several
// (more with a sound server), closing it as long as its driver takes to wind
// down (SDL waits for its threads): a thread of our own does both, and starts
// the sounds, so that none of it ever holds up a key's pixels. It sleeps
// while nothing is asked.

// The device's callback, on SDL's audio thread: the rest of the sound that
// plays, then silence.
static void SDLCALL feed_audio(void* unused, Uint8* stream, int len)
{
    size_t n = std::min((size_t)len, playing_len - playing_pos);
    if (playing && n > 0) {
        if (sound_trace && playing_pos == 0)
            trace_sound();
        std::memcpy(stream, playing + playing_pos, n);
        playing_pos += n;
    } else {
        n = 0;
    }
    std::memset(stream + n, 0, (size_t)len - n); // signed samples: silence is 0
}

// Opens the device, paused, with SDL's audio started for it: audio apart from
// video, so that a missing sound device costs only the sound. Only a failed
// first opening gives up on sound for good.
static void device_open()
{
    uint64_t t0 = monotonic_us();
    SDL_AudioSpec want{};
    want.freq = AUDIO_RATE;
    want.format = AUDIO_FORMAT;
    want.channels = AUDIO_CHANNELS;
    want.samples = AUDIO_SAMPLES;
    want.callback = feed_audio;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        audio_dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (audio_dev == 0)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (audio_dev == 0) {
        if (audio_state == 0)
            audio_state = -1;
        return;
    }
    audio_state = 1;
    last_open_us = monotonic_us() - t0;
}

// Closing lets the sound server or card rest. SDL's audio is stopped too:
// some of its drivers keep a thread of their own that looks for new devices
// several times a second.
static void device_close()
{
    uint64_t t0 = monotonic_us();
    SDL_CloseAudioDevice(audio_dev); // SDL's audio thread has ended
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_dev = 0;
    playing = nullptr;
    playing_len = playing_pos = 0;
    if (sound_trace) {
        std::fprintf(sound_trace, "close %llu\n", (unsigned long long)(monotonic_us() - t0));
        std::fflush(sound_trace);
    }
}

// The sound is in place before the device is unpaused, so that a device just
// opened starts with it rather than with a buffer of silence.
static void device_start(const SoundRequests& r)
{
    SDL_LockAudioDevice(audio_dev);
    playing = r.data;
    playing_len = r.len;
    playing_pos = 0;
    sound_input_us = r.input_us;
    sound_play_us = r.asked_us;
    sound_open_us = last_open_us;
    last_open_us = 0;
    SDL_UnlockAudioDevice(audio_dev);
    if (r.data)
        SDL_PauseAudioDevice(audio_dev, 0);
}

// The sound thread: does what was asked, newest wishes first, then sleeps.
static void sound_thread_run()
{
    pthread_setname_np(pthread_self(), "lumeko-sound");
    std::unique_lock<std::mutex> lock(sound_mutex);
    for (;;) {
        sound_wake.wait(lock, [] {
            return sound_asked.quit || sound_asked.start || sound_asked.open != (audio_dev != 0);
        });
        SoundRequests r = sound_asked;
        sound_asked.start = false;
        if (r.quit)
            sound_asked.open = false;
        lock.unlock();
        if (r.open && !r.quit && !audio_dev && audio_state >= 0)
            device_open();
        if ((!r.open || r.quit) && audio_dev)
            device_close();
        if (r.start && audio_dev)
            device_start(r);
        lock.lock();
        if (r.quit) {
            SDL_TLSCleanup(); // SDL keeps its error text per thread; a thread not its own frees it
            return;
        }
        if (r.open && !audio_dev)
            sound_asked.open = false; // no device now: the next burst of sounds asks again
    }
}

static void sound_thread_stop()
{
    if (!sound_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(sound_mutex);
        sound_asked.quit = true;
    }
    sound_wake.notify_one();
    sound_thread.join();
}

bool backend_sound_open()
{
    if (audio_state < 0)
        return false;
    if (!sound_thread.joinable())
        sound_thread = std::thread(sound_thread_run);
    std::lock_guard<std::mutex> lock(sound_mutex);
    sound_asked.open = true;
    sound_wake_due = true;
    return true;
}

void backend_sound_close()
{
    std::lock_guard<std::mutex> lock(sound_mutex);
    sound_asked.open = false;
    sound_wake_due = true;
}

static void wake_sound_thread()
{
    if (!sound_wake_due)
        return;
    sound_wake_due = false;
    sound_wake.notify_one();
}

void backend_wait_event(int timeout_ms)
{
    wake_sound_thread();
    font_warm_save(); // the first frame is up: what it drew is listed for the next start
    if (timeout_ms < 0)
        SDL_WaitEvent(nullptr);
    else
        SDL_WaitEventTimeout(nullptr, timeout_ms);
}

uint64_t backend_now_ms() { return SDL_GetTicks64(); }
void backend_box_shown(const char* utf8) {}

bool backend_write_fails() { return false; }

// Decodes a WAV image into the format the device is opened with, once; the
// caller keeps the handle and plays it as often as it likes.
int backend_load_sound(const char* utf8_path, const void* wav, size_t bytes)
{
    SDL_AudioSpec wav_format;
    Uint8* data = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV_RW(SDL_RWFromConstMem(wav, (int)bytes), 1, &wav_format, &data, &len))
        return -1;
    std::vector<Uint8> out;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wav_format.format, wav_format.channels, wav_format.freq, AUDIO_FORMAT,
                          AUDIO_CHANNELS, AUDIO_RATE) >= 0) {
        std::vector<Uint8> buf((size_t)len * (size_t)(cvt.len_mult > 0 ? cvt.len_mult : 1));
        std::memcpy(buf.data(), data, len);
        cvt.buf = buf.data();
        cvt.len = (int)len;
        if (cvt.needed == 0 || SDL_ConvertAudio(&cvt) == 0)
            out.assign(buf.begin(), buf.begin() + (cvt.needed ? cvt.len_cvt : (int)len));
    }
    SDL_FreeWAV(data);
    if (out.empty())
        return -1;
    // The samples are moved, never copied, so a sound that plays keeps its bytes
    // where they are even when the list of sounds grows.
    sounds.push_back(std::move(out));
    return (int)sounds.size() - 1;
}

void backend_play_sound(int handle)
{
    bool known = handle >= 0 && (size_t)handle < sounds.size();
    {
        std::lock_guard<std::mutex> lock(sound_mutex);
        sound_asked.start = true;
        sound_asked.data = known ? sounds[(size_t)handle].data() : nullptr;
        sound_asked.len = known ? sounds[(size_t)handle].size() : 0;
        if (sound_trace) {
            sound_asked.input_us = trace_input_us;
            sound_asked.asked_us = monotonic_us();
        }
        sound_wake_due = true;
    }
}

// ---- the file chooser: the desktop's own, through zenity ----------------------------

bool backend_file_dialog_start(const FileDialogRequest& req, std::string* error)
{
    FileDialogRequest owned = req;
    owned.owner_window = x11_window_id(window);
    if (!zenity_start(owned, error))
        return false;
    chooser_x11_begin(zenity_pid(), owned.title.c_str(), owned.owner_window);
    return true;
}

DialogState backend_file_dialog_poll(std::string* path, std::string* error)
{
    chooser_x11_poll();
    DialogState s = zenity_poll(path, error);
    if (s != DialogState::Running)
        chooser_x11_end();
    return s;
}

void backend_file_dialog_abort()
{
    zenity_abort();
    chooser_x11_end();
}

void backend_file_dialog_raise() { chooser_x11_raise(); }
bool backend_file_dialog_answered() { return chooser_x11_answered(); }
bool backend_fault(Fault kind) { return false; }
