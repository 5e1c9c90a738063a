// zenity.h -- the desktop's file chooser, run as zenity (zenity.cpp).
//
// The real-window backend hands its file dialogs here: start, poll and abort
// as the backend interface has them.
#pragma once

#include "backend.h"

#include <string>
#include <sys/types.h>
#include <vector>

// The chooser's arguments for a request.
std::vector<std::string> zenity_arguments(const FileDialogRequest& req);
bool zenity_start(const FileDialogRequest& req, std::string* error);
DialogState zenity_poll(std::string* path, std::string* error);
void zenity_abort();
pid_t zenity_pid(); // the running chooser's process, -1 when none
