// internal.h -- the shared inside of the Linux window system.
//
// Windows and their classes (window.cpp), the EDIT control (edit.cpp), the
// message queue and timers (queue.cpp), the screen composer (screen.cpp), GDI
// (gdi.cpp) and the message box (msgbox.cpp) meet here. Only files of
// src/shell/platform include it; the program sees win32.h alone.
#pragma once

#include "backend.h"
#include "font.h"
#include "surface.h"
#include "win32.h"

#include <string>
#include <sys/types.h>
#include <vector>

// Every message the layer writes on stderr begins so.
constexpr const char* MESSAGE_PREFIX = "lumeko-trainer: ";

// ---- ink: where a framebuffer may hold colour (ink.cpp) ---------------------------

// For each row of a framebuffer, the columns [x0, x1) that may hold a pixel
// other than black; every pixel outside them is black. A map whose size is not
// the framebuffer's is made afresh by ink_fit: a resized framebuffer is black.
struct InkSpan {
    int x0 = 0, x1 = 0;
};

struct InkMap {
    int w = 0, h = 0;
    std::vector<InkSpan> rows;
    // A black fill not yet written: the rows of `pending` still flagged in
    // row_pending owe black to its columns, except those in covered (written
    // over since).
    IRect pending;
    std::vector<InkSpan> covered;
    std::vector<unsigned char> row_pending;
};

constexpr long long DEFER_MIN_PIXELS = 65536; // black fills smaller than this are written at once

// Sizes the map for a w x h framebuffer when it is not: every row empty, or
// with unknown set, every row whole (content not known).
void ink_fit(InkMap* ink, int w, int h, bool unknown);
void ink_set_all(InkMap* ink); // content not known any more: every row whole
InkSpan ink_row(const InkMap& ink, int y);
void ink_add(InkMap* ink, const IRect& r);    // r may now hold colour
void ink_remove(InkMap* ink, const IRect& r); // r is now black
// Fills r black, writing only the pixels that may not be black already.
void ink_fill_black(const Surface& s, InkMap* ink, const IRect& r);
// Notes a black fill of r instead of writing it, when r is large and holds any
// fill still pending; false when the caller must fill now.
bool ink_defer_black(const Surface& s, InkMap* ink, const IRect& r);
// Every pixel of w is about to be written over: a pending fill skips them.
void ink_cover(const Surface& s, InkMap* ink, const IRect& w);
// Writes the pending black of the rows of r (before they are read or drawn on
// in part), or of every row.
void ink_settle(const Surface& s, InkMap* ink, const IRect& r);
void ink_settle_all(const Surface& s, InkMap* ink);

// ---- text known to stand in a framebuffer (gdi.cpp) -------------------------------

// Opaque text drawn at (x, y) in one font and pair of colours, whole and
// unclipped, whose cells nothing has drawn over since. Drawn there again with
// more characters after it, only those need drawing: the typed line grows so
// on every key.
struct TextRun {
    int x = 0, y = 0;
    FontRequest font;
    uint32_t fg = 0, bg = 0;
    IRect cells;
    std::string text;  // CP932
    uint64_t used = 0; // when last drawn or extended; the least recent goes first
};

constexpr int TEXT_RUNS_MAX = 8; // a practice screen has two such lines; the rest is single cells

// A fill of one colour, not black, standing as drawn: filled again inside it
// with that colour, nothing needs writing or comparing (bars and frames drawn
// again on every key). Drawing over part of it trims it to what is left.
struct FillRun {
    IRect r;
    uint32_t color = 0;
    uint64_t used = 0;
};

constexpr int FILL_RUNS_MAX = 32;       // a keystroke fills about a dozen rectangles
constexpr long long FILL_RUN_MIN = 256; // pixels; smaller fills are compared afresh

// ---- windows (window.cpp) ------------------------------------------------------

struct Window {
    WNDPROC proc = nullptr;
    Window* parent = nullptr;
    DWORD style = 0;
    UINT class_style = 0;
    HBRUSH background = nullptr;
    int x = 0, y = 0, w = 0, h = 0; // outer rectangle
    int ctrl_id = 0;
    HMENU menu = nullptr;
    bool visible = false;
    bool is_edit = false;
    bool destroying = false;
    std::string text; // CP932; for an EDIT this is its content

    // Top-level windows only: the client framebuffer, where it may hold
    // colour (the rest is black), the pending paint.
    PixelBuffer fb;
    InkMap ink;
    IRect invalid;
    bool erase_pending = false;
    std::vector<TextRun> runs;  // text standing in fb as drawn (gdi.cpp)
    std::vector<FillRun> fills; // fills standing in fb as drawn (gdi.cpp)
};

constexpr int EDIT_TEXT_LIMIT = 32767; // bytes an EDIT accepts from typing

Window* window_from(HWND hwnd); // nullptr when hwnd is not a live window
inline HWND hwnd_of(Window* w) { return reinterpret_cast<HWND>(w); }
Window* top_window(); // the window the backend shows, or nullptr
Window* focus_window();
IRect client_rect_of(const Window* w); // in client coordinates: 0, 0, cw, ch
LRESULT send_message(Window* w, UINT msg, WPARAM wparam, LPARAM lparam);
// Applies a new outer size to the shown window after the desktop resized it.
void window_resized(int w, int h);
// Ensures the backend is up; false (after one clear message) when it cannot be.
bool platform_ready();
// Hands a title set since to the backend. A title changes on every key and
// costs a round of requests to the display server, so it goes out after the
// frame that the key changed has been presented, not before.
void window_title_flush();

// ---- the EDIT control (edit.cpp) ------------------------------------------------

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// ---- queue, timers, input (queue.cpp) -------------------------------------------

void queue_post(Window* w, UINT msg, WPARAM wparam, LPARAM lparam);
void queue_forget_window(Window* w); // drops its queued messages and timers
uint64_t queue_now_ms();
// Takes every pending backend event into the queue (or a modal overlay).
void queue_pump_events();
// True when a posted message, a due timer, a paint or a quit is waiting.
bool queue_has_work();
// Blocks until queue_has_work() may be true; presents the screen first.
void queue_wait();
// Runs the nested loop of a modal overlay until done() is true.
void queue_run_modal(bool (*done)());

// ---- the screen (screen.cpp) ----------------------------------------------------

// Marks a rectangle of the top window's client area as changed.
void screen_mark_dirty(const IRect& client_rect);
// True when client_rect will be composed anyway (a repaint, the first frame):
// finding out which of its pixels change would then buy nothing.
bool screen_dirty_covers(const IRect& client_rect);
// Marks a rectangle of the screen itself (overlays) as changed.
void screen_mark_screen_dirty(const IRect& screen_rect);
// Composes what changed (client pixels, then overlays) and presents it.
void screen_flush();
// True when something is marked for the next flush.
bool screen_dirty();
// The whole window is to be composed again (new size, new screen surface).
void screen_invalidate_all();
// The display lost the window's content; the screen surface still holds it.
void screen_present_all();
// Height of the strip above the client area (the menu bar), in pixels.
int screen_client_top();

// ---- the message box overlay (msgbox.cpp) ---------------------------------------

bool msgbox_active();
// The text of the box on top, CP932 ("" when none is up).
std::string msgbox_text();
// Gives an input event to the box; true when the box took it.
bool msgbox_handle_event(const PlatformEvent& ev);
void msgbox_draw(const Surface& screen, const IRect& clip);

// ---- the input method's composition (compose_box.cpp) ----------------------------

// A Compose event: the composition as it now stands ("" ends it).
void compose_box_update(const PlatformEvent& ev);
// The composition ended without a Compose event (text committed, focus lost).
void compose_box_clear();
// True while a composition is on show in the window: keys that reach the
// window then belong to the input method, not to the program.
bool compose_box_shown();
// Before each flush: marks the box's old and new places when it moved, came or
// went, and gives the backend the text-input rectangle when that changed.
void compose_box_sync();
bool compose_box_overlaps(const IRect& screen_rect);
void compose_box_draw(const Surface& screen, const IRect& clip);

// ---- menus (menu.cpp) -------------------------------------------------------------

constexpr int MENU_BAR_H = 24; // the menu bar: 16-pixel text and its margins

// Height of the menu bar of a top-level window: 0 when it has none.
int menu_bar_height(const Window* w);
// A menu of the shown window's bar is entered (the bar or a menu highlighted).
bool menu_active();
// Gives an input event to the menus: it may enter the bar (F10, a press and
// release of Alt, a click on the bar) or work the open menus. True when the
// menus took the event, which then reaches no window.
bool menu_handle_event(const PlatformEvent& ev);
// True when the bar or an open menu covers part of the screen rectangle r.
bool menu_overlaps(const IRect& r);
// Draws the bar and the open menus over the screen, within clip.
void menu_draw(const Surface& screen, const IRect& clip);
// WM_SYSCOMMAND's menu loop: runs a modal loop until the menu closes.
void menu_track(Window* w, WPARAM kind, LPARAM where);
// Where an entry is on the screen: level 0 the bar, 1 the open drop-down
// menu, 2 its open sub-menu. False when that menu or entry is not shown.
bool menu_entry_rect(int level, int index, IRect* r);
// -1 when no menu is entered, else the deepest level shown (as above).
int menu_level();

// ---- sound (sound.cpp) ----------------------------------------------------------

// Closes the sound output once it has been silent long enough. Returns the
// milliseconds until it should be asked again, -1 when the output is closed.
int sound_close_when_quiet(uint64_t now_ms);

// ---- files (files.cpp) ----------------------------------------------------------

// Finds a data file (lesson, sound, help page) by its CP932 name: an absolute
// path stands as it is; a relative one, with or without folders, is tried in
// the current directory, beside the executable, then in the installed data
// directory. Returns the UTF-8 path, or "" when the file is nowhere.
std::string resolve_data_path(const char* cp932_name);

// The installed data directory of the program at exe (a UTF-8 absolute path):
// <prefix>/share/lumeko-trainer for <prefix>/bin/lumeko-trainer, whatever the
// prefix. "" when exe is not an absolute path.
std::string installed_data_dir(const std::string& exe);

// The UTF-8 path of a private-profile file: a bare name lives in the XDG
// config directory ($XDG_CONFIG_HOME, else ~/.config); a path stands as it is.
std::string profile_path(const char* cp932_name);

// ---- the disk (disk.cpp) ---------------------------------------------------------

// An XDG base directory: $variable when it holds an absolute path, else
// under_home inside the home directory ($HOME, else the password entry's).
std::string xdg_dir(const char* variable, const char* under_home);
// mkdir -p: creates every missing directory of the path with the given mode;
// true when the path is a directory afterwards.
bool make_dirs(const std::string& dir, mode_t mode);
// The folder where X may keep the parsed compose table for this program (made,
// private): empty where X keeps none (for root) or the user chose already
// (XCOMPOSECACHE, or ~/.compose-cache, which X uses whenever it exists), or
// the folder cannot be made.
std::string compose_cache_dir(bool root);
// Writes all of bytes to fd; false on the first failed write.
bool write_all(int fd, const std::string& bytes);
// Writes bytes to a temporary file beside path, checks the write, the sync and
// the close, and only then renames it over path: a reader sees the old file or
// the new one, never a mixture or an empty one. On failure nothing is left
// behind and the old file is as it was. Missing directories get dir_mode.
bool replace_file(const std::string& path, const std::string& bytes, mode_t mode, mode_t dir_mode);
// A name as one word of a cache file: its bytes in lower-case hex, "-" when empty.
std::string hex_of(const std::string& s);

// ---- other programs (shell_open.cpp) ----------------------------------------------

// Starts program (looked up on PATH) with argv, not waited for: standard input
// from /dev/null, standard output to out_fd (-1: the game's own), standard
// error to /dev/null when quiet, no signal blocked, SIGPIPE at its default, in
// a process group of its own. Returns 0 with *pid set, or the error number.
int spawn_program(const char* program, char* const argv[], int out_fd, bool quiet, pid_t* pid);

// ---- the open-file dialog (open_dialog.cpp, zenity.cpp) --------------------------

// True while the file chooser is up: the program's window then takes no input.
bool file_dialog_active();
// The chooser as zenity runs it: its arguments, and start, poll and abort as
// the backend interface has them.
std::vector<std::string> zenity_arguments(const FileDialogRequest& req);
bool zenity_start(const FileDialogRequest& req, std::string* error);
DialogState zenity_poll(std::string* path, std::string* error);
void zenity_abort();
