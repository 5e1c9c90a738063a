// open_dialog.h -- the open-file dialog (open_dialog.cpp).
//
// GetOpenFileNameA is declared in win32.h; while its chooser is up the window
// takes no input, which the queue asks here.
#pragma once

// True while the file chooser is up: the program's window then takes no input.
bool file_dialog_active();
