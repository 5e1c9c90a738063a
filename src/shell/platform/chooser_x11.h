// chooser_x11.h -- the file chooser's window under X11, kept with the game's.
//
// The chooser is another program's window. Found by its process and title, it
// is made transient for the game's window, so that a window manager keeps it
// above the game and hands it the focus, as Windows does with an owned dialog.
// It is brought to the front, and pinged, when the game is asked to close.
// Works on a display connection of its own, never SDL's. Called by the
// real-window backend; does nothing where there is no X display.
#pragma once

#include <sys/types.h>

struct SDL_Window;

// The X window id of an SDL window; 0 when it is not an X window.
unsigned long x11_window_id(SDL_Window* window);

// A chooser has been started by process pid with this title (UTF-8), owned by
// the X window owner.
void chooser_x11_begin(pid_t pid, const char* title, unsigned long owner);
// Called with every poll of the chooser: finds its window, keeps it transient
// for the owner and takes in answers to pings. Never blocks on the chooser.
void chooser_x11_poll();
// Brings the chooser's window to the front and pings it.
void chooser_x11_raise();
// True when the chooser answered the last ping, or cannot be pinged but shows
// a window (it can then only be judged by the user).
bool chooser_x11_answered();
// The chooser has gone: forgets its window and closes the connection.
void chooser_x11_end();
