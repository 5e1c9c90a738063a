// backend.h -- what a display backend must supply to the platform layer.
//
// Exactly one backend is linked into a program: backend_sdl.cpp (a real window,
// the game) or backend_headless.cpp (no window; tests and benchmarks). The
// window system above it (windows, messages, GDI, message boxes) is shared. The
// backend shows one top-level window whose pixels the layer composes into the
// screen surface the backend hands out.
#pragma once

#include "surface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class EventKind {
    None,
    Text,    // committed text input, UTF-8 in text
    KeyDown, // key holds a Win32 virtual-key code
    KeyUp,
    MouseDown, // button 1 left, 3 right; x, y in window pixels
    MouseUp,
    Resize,      // new window size w, h
    Close,       // the user asked to close the window
    FocusGained, // the window became the active one
    FocusLost,
    Expose,    // the screen content was lost and must be presented again
    MouseMove, // the pointer moved to x, y (window pixels)
    Compose,   // the input method's composition, UTF-8 in composition ("" when it ended), cursor in x
};

// Committed text comes at most 31 bytes at a time.
constexpr int EVENT_TEXT_MAX = 128;
// A composition comes whole up to this many bytes, far more than a practice
// line holds; a longer one is cut on a character boundary.
constexpr size_t COMPOSITION_MAX = 16384;

struct PlatformEvent {
    EventKind kind = EventKind::None;
    int key = 0;
    int button = 0;
    int x = 0, y = 0;
    int w = 0, h = 0;
    char text[EVENT_TEXT_MAX] = {};
    std::string composition;
};

// Starts the backend; called once, before anything else here. False when no
// display can be had (the caller then reports it).
bool backend_init();
void backend_shutdown();

// Size of the desktop area a window may use, in pixels.
void backend_screen_size(int* w, int* h);

// Opens (or re-sizes) the one window; w and h are its full inner size. With
// maximize set the window asks the desktop to maximise it.
bool backend_window_open(int w, int h, bool maximize);
void backend_window_close();
void backend_set_title(const char* utf8);

// The surface that shows the window, w x h of the window. Valid until the next
// Resize event or backend_window_open.
Surface backend_screen();
// True, once, for a screen surface known to hold only zeros because it was
// just made; false for any surface not vouched for (it may hold anything).
bool backend_screen_fresh();
// Has the pages of [p, p + bytes) made ready on a second thread, leaving what
// they hold as it is (a new framebuffer, before the first frame is drawn).
void backend_populate_ahead(const void* p, size_t bytes);
// Pushes the given rectangles of the screen surface to the display.
void backend_present(const IRect* rects, int n);
// Where the input method's composition is shown (screen pixels), so that its
// candidate window opens beside it.
void backend_set_text_input_rect(const IRect& r);
// Turns the input method on or off for the window. Off, it ends what it was
// composing and keys come as keys (a menu is open); on again, it composes anew.
void backend_text_input(bool on);

// Next pending event, without blocking. False when there is none.
bool backend_poll_event(PlatformEvent* ev);
// Blocks until an event may be there or timeout_ms have passed (-1: no limit).
void backend_wait_event(int timeout_ms);
// Milliseconds on a monotonic clock.
uint64_t backend_now_ms();

// A message box with this text (UTF-8) has been put up; the headless backend
// records it, a real one may ignore it.
void backend_box_shown(const char* utf8);

// Opens the sound output (the device, or a stream to the sound server); false
// when there is none. Sounds are loaded and played only while it is open;
// closing it keeps the loaded sounds, and a new opening plays them as before.
bool backend_sound_open();
void backend_sound_close();
// Decodes a WAV image (fmt and data chunks; the caller has bounded its size)
// once, for playing; utf8_path names it in records. Returns a handle, or -1
// when it cannot be played (a format the backend cannot convert).
int backend_load_sound(const char* utf8_path, const void* wav, size_t bytes);
// Plays a loaded sound without waiting; a new sound cuts the one that plays;
// -1 stops the sound. Called on every accepted key: allocates nothing.
void backend_play_sound(int handle);

// Asked before every write the layer makes to a file: true makes that write
// fail as on a full disk. A real backend never fails one; the headless backend
// fails the one a test chose.
bool backend_write_fails();

// ---- the open-file dialog ------------------------------------------------------

// What the program asked the file chooser for, in UTF-8.
struct FileDialogRequest {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters; // name, patterns ("*.txt")
    std::string proposed;                                     // absolute path of the file proposed
    unsigned long owner_window = 0; // the game's window as the display names it (an X window id); 0 unknown
};

enum class DialogState { Running, Chosen, Cancelled };

// Puts up the desktop's file chooser. False when it cannot be started; *error
// then holds a message for the user (UTF-8).
bool backend_file_dialog_start(const FileDialogRequest& req, std::string* error);
// Whether the user has answered: Chosen with the path (UTF-8) in *path. Called
// by the nested loop before each message; never blocks. On Cancelled, *error
// may hold a message for the user (the chooser failed rather than was closed).
DialogState backend_file_dialog_poll(std::string* path, std::string* error);
// Takes the chooser down unanswered (the program is ending, or the chooser no
// longer answers).
void backend_file_dialog_abort();
// The user asked to close the window the chooser belongs to: the chooser is
// brought to the front, as Windows shows an owned dialog, and asked whether
// it still answers.
void backend_file_dialog_raise();
// True once the chooser has answered since the last raise; false while it has
// not, or when there is nothing to ask (no window of it can be found).
bool backend_file_dialog_answered();

// Faults a test can inject where the program meets the system; the real
// backend never injects any.
enum class Fault { Alloc, Read };
// True when this call of the given kind is to fail.
bool backend_fault(Fault kind);
