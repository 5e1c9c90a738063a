// open_dialog.h -- the open-file dialog (open_dialog.cpp).
//
// GetOpenFileNameA is declared in win32.h; while its chooser is up the window
// takes no input, which the queue asks here, and a close request goes to the
// chooser.
#pragma once

// True while the file chooser is up: the program's window then takes no input.
bool file_dialog_active();
// The user asked to close the window while the chooser is up: the chooser is
// brought forward; if it does not answer, it is taken down and the window
// closes after all.
void file_dialog_close_requested();
