// headless.h -- control of the headless backend, for tests and benchmarks.
//
// The headless backend has no window. Its clock is virtual and moves only when
// a caller advances it; input is injected as the desktop would deliver it;
// message boxes are answered by a hook and their texts recorded; the client
// framebuffer and the composed screen can be read and written as PNG.
#pragma once

#include "surface.h"

#include <cstdint>
#include <string>
#include <vector>

// Screen size used for GetSystemMetrics; call before the first window exists.
void headless_set_screen(int w, int h);

// The virtual clock. Advancing it makes timers due; nothing is dispatched here.
uint64_t headless_now_ms();
void headless_advance_ms(uint64_t ms);

// Input as the desktop delivers it to the window.
void headless_type(const char* utf8);          // committed text: KeyDown/Text per character, as SDL does
void headless_text(const char* utf8);          // committed text only (an IME commit)
void headless_key(int vk);                     // key press and release of a non-text key (VK_RETURN, ...)
void headless_click(int button, int x, int y); // 1 left, 3 right; window coordinates
void headless_resize(int w, int h);            // the desktop resized the window (outer size)
void headless_close();                         // the close box
void headless_focus(bool gained);

// Called whenever the program would block: in WaitMessage, and in a message
// box's loop when it has nothing to do. The hook may inject input or advance
// the clock. Without a hook, an open message box is answered with Return and
// a WaitMessage returns at once.
typedef void (*HeadlessWaitHook)(void);
void headless_set_wait_hook(HeadlessWaitHook hook);

// Message boxes: the text of the box now up ("" when none), and every text
// shown so far, in UTF-8.
std::string headless_box_text();
const std::vector<std::string>& headless_box_log();

// The window: its title in UTF-8, and whether it is open.
std::string headless_title();
bool headless_window_open();

// Pixels: the client area of the shown window, and the whole composed screen
// (menu bar, client, overlays) as the user would see it after the last present.
Surface headless_client();
Surface headless_screen();
uint32_t headless_pixel(int x, int y); // client pixel as 0x00RRGGBB; 0xFFFFFFFF outside
bool headless_write_png(const char* utf8_path, bool whole_screen);

// Sounds started so far (UTF-8 paths as resolved), newest last.
const std::vector<std::string>& headless_sounds();
// How many times the screen was presented, and the pixels presented in all.
uint64_t headless_present_count();
uint64_t headless_present_pixels();
