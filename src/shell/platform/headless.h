// headless.h -- control of the headless backend, for tests and benchmarks.
//
// The headless backend has no window. Its clock is virtual and moves only when
// a caller advances it; input is injected as the desktop would deliver it;
// message boxes are answered by a hook and their texts recorded; the client
// framebuffer and the composed screen can be read and written as PNG.
#pragma once

#include "backend.h"
#include "surface.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

// A record of texts (message boxes shown, sounds played) that keeps only the
// newest KEPT of them, so that a long soak measures the game and not the record.
// Texts are numbered from the first ever made: size() counts them all, [i] and
// iteration reach them by that number, and a text no longer kept reads as "".
// For as long as fewer than KEPT were made, it reads like a vector.
class HeadlessRecord
{
  public:
    static constexpr size_t KEPT = 256;

    class const_iterator
    {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = const std::string*;
        using reference = const std::string&;

        const_iterator() = default;
        const_iterator(const HeadlessRecord* r, size_t i) : rec(r), at(i) {}
        reference operator*() const { return (*rec)[at]; }
        pointer operator->() const { return &(*rec)[at]; }
        reference operator[](difference_type n) const { return (*rec)[at + n]; }
        const_iterator& operator++() { return ++at, *this; }
        const_iterator operator++(int) { return const_iterator(rec, at++); }
        const_iterator& operator--() { return --at, *this; }
        const_iterator operator--(int) { return const_iterator(rec, at--); }
        const_iterator& operator+=(difference_type n) { return at += n, *this; }
        const_iterator& operator-=(difference_type n) { return at -= n, *this; }
        const_iterator operator+(difference_type n) const { return const_iterator(rec, at + n); }
        const_iterator operator-(difference_type n) const { return const_iterator(rec, at - n); }
        difference_type operator-(const const_iterator& o) const { return (difference_type)at - (difference_type)o.at; }
        bool operator==(const const_iterator& o) const { return at == o.at; }
        bool operator!=(const const_iterator& o) const { return at != o.at; }
        bool operator<(const const_iterator& o) const { return at < o.at; }
        bool operator>(const const_iterator& o) const { return at > o.at; }
        bool operator<=(const const_iterator& o) const { return at <= o.at; }
        bool operator>=(const const_iterator& o) const { return at >= o.at; }

      private:
        const HeadlessRecord* rec = nullptr;
        size_t at = 0;
    };

    size_t size() const { return total; }
    bool empty() const { return total == 0; }
    // Number of the oldest text still kept.
    size_t first_kept() const { return total < KEPT ? 0 : total - KEPT; }
    const std::string& operator[](size_t i) const;
    const std::string& back() const { return (*this)[total - 1]; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, total); }
    // Once the ring is full a push reuses the oldest string's room, so
    // recording allocates nothing in a long run.
    void push(const char* text);

  private:
    std::vector<std::string> ring; // text number i sits at i % KEPT
    size_t total = 0;
};

// Screen size used for GetSystemMetrics; call before the first window exists.
void headless_set_screen(int w, int h);
// The desktop's scale for the layer's menus and boxes (1 unless set; the
// environment is not read); call before the first window exists.
void headless_set_scale(double factor);

// The virtual clock. Advancing it makes timers due; nothing is dispatched here.
uint64_t headless_now_ms();
void headless_advance_ms(uint64_t ms);

// Input as the desktop delivers it to the window.
void headless_type(const char* utf8); // committed text: KeyDown/Text per character, as SDL does
void headless_text(const char* utf8); // committed text only (an IME commit)
void headless_key(int vk);            // key press and release of a non-text key (VK_RETURN, ...)
// The input method's composition as it now stands, cursor in characters ("" ends it);
// text past COMPOSITION_MAX is cut where a character begins, as the real backend does.
void headless_compose(const char* utf8, int cursor);
void headless_click(int button, int x, int y); // 1 left, 3 right; window coordinates
void headless_resize(int w, int h);            // the desktop resized the window (outer size)
void headless_mouse_move(int x, int y);        // the pointer moved; window coordinates
void headless_close();                         // the close box
void headless_focus(bool gained);
void headless_expose(); // the desktop lost what the window showed

// Called whenever the program would block: in WaitMessage, and in a message
// box's loop when it has nothing to do. The hook may inject input or advance
// the clock. Without a hook, an open message box is answered with Return and
// a WaitMessage returns at once.
typedef void (*HeadlessWaitHook)(void);
void headless_set_wait_hook(HeadlessWaitHook hook);

// Menus: -1 when no menu is entered, 0 the bar only, 1 a drop-down menu
// open, 2 its sub-menu open too. The centre of an entry in window coordinates
// (level 0 the bar's entries, 1 the open drop-down's items, 2 the open
// sub-menu's); false when it is not shown. Without a wait hook, a wait while a
// menu is open answers it with Esc.
int headless_menu_level();
bool headless_menu_point(int level, int index, int* x, int* y);

// Message boxes: the text of the box now up ("" when none), and the texts
// shown so far, in UTF-8.
std::string headless_box_text();
const HeadlessRecord& headless_box_log();

// The window: its title in UTF-8, and whether it is open.
std::string headless_title();
bool headless_window_open();

// Pixels: the client area of the shown window, and the whole composed screen
// (menu bar, client, overlays) as the user would see it after the last present.
Surface headless_client();
Surface headless_screen();
uint32_t headless_pixel(int x, int y); // client pixel as 0x00RRGGBB; 0xFFFFFFFF outside
bool headless_write_png(const char* utf8_path, bool whole_screen);

// Where the layer last asked the input method to show its candidates (screen
// pixels), and whether it has the input method on.
IRect headless_text_input_rect();
bool headless_text_input_on();

// Sounds started so far (UTF-8 paths as resolved), newest last, and how many
// sounds were loaded (decoded) in all.
const HeadlessRecord& headless_sounds();
int headless_sound_loads();
// The sound output: whether it is open now, and how often it was opened. A
// sound started while it is closed is not recorded, as it would not be heard.
bool headless_sound_output_open();
int headless_sound_opens();
// The timeout the last wait was given, in ms (-1: until input comes).
int headless_last_wait_ms();
// Fault injection: the n-th file write the layer makes from now on fails as
// on a full disk (1: the next one); 0 fails none.
void headless_fail_write(int n);
// How many times the screen was presented, and the pixels presented in all.
uint64_t headless_present_count();
uint64_t headless_present_pixels();

// The file chooser. Each chooser put up is recorded; it is answered by the
// answers given here, in order: a UTF-8 path, or nullptr for Cancel. With no
// answer waiting and no wait hook, a chooser is cancelled.
struct HeadlessFileDialog {
    std::string title;
    std::vector<std::pair<std::string, std::string>> filters; // name, patterns
    std::string proposed;                                     // absolute UTF-8 path, or ""
};
void headless_answer_file_dialog(const char* utf8_path);
// The next chooser cannot be started; the user is told this message instead.
void headless_fail_file_dialog(const char* utf8_message);
bool headless_file_dialog_open();
// With hung set the chooser no longer answers (a close request then takes it
// down); how many times it was brought forward.
void headless_hang_file_dialog(bool hung);
int headless_file_dialog_raises();
const std::vector<HeadlessFileDialog>& headless_file_dialogs();

// Makes the nth call of a kind from now fail (1: the next one): a memory
// block that cannot be had, a file read that fails.
void headless_fail_call(Fault kind, int nth);
