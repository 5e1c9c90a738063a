// windows.cpp -- the main window's class, the main window and the hidden EDIT.
#include "shell/windows.h"

#include "shell/commands.h"
#include "shell/main_window.h"

HWND main_window = nullptr;
HWND input_edit = nullptr;

const char MAIN_CLASS_NAME[] = "sample window";

// The EDIT is never shown; its place and size only have to be valid.
constexpr int EDIT_X = 100, EDIT_Y = 100, EDIT_W = 100, EDIT_H = 100;

static bool register_main_class(HINSTANCE instance)
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW; // every resize repaints the whole client area
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassA(&wc) != 0;
}

bool create_windows(HINSTANCE instance, LPSTR cmd_line, int outer_w, int outer_h)
{
    if (!register_main_class(instance))
        return false;
    main_window = CreateWindowExA(0, MAIN_CLASS_NAME, cmd_line, WS_OVERLAPPEDWINDOW, 0, 0, outer_w, outer_h, nullptr,
                                  menu_bar, instance, nullptr);
    input_edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, EDIT_X, EDIT_Y, EDIT_W,
                                 EDIT_H, main_window, nullptr, instance, nullptr);
    return true;
}
