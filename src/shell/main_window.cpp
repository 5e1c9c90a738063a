// main_window.cpp -- the main window's procedure, layout and full redraw.
#include "shell/main_window.h"

#include "display/geometry.h"
#include "display/keyboard.h"
#include "display/practice_screen.h"
#include "display/view.h"
#include "drill/engine.h"
#include "drill/results.h"
#include "maze/maze_play.h"
#include "records/records_view.h"
#include "shell/commands.h"
#include "shell/settings.h"
#include "shell/windows.h"
#include "text/random_lines.h"

int practice_started = 0;
int repainting = 0;

void layout_recompute()
{
    read_client_size();
    half_w = client_w / 2;
    if (size_flag >= 1 && size_flag <= SIZE_COUNT) // an unknown size keeps the cell size it had
        char_size = client_h / CHAR_SIZE_DIVISORS[size_flag - 1];
    key_w = client_w / key_divisor;
    key_h = client_h / key_divisor;
}

void full_redraw()
{
    layout_recompute();
    if (keyboard_shown())
        draw_keyboard();
    if (practice_started == 1) {
        repainting = 1;
        draw_practice_screen();
        draw_note_line();
        repainting = 0;
    }
    if (keys_lit() && typed_count >= 1 && light_key(key_char(expected_char), COLOR_PINK) == KEY_MISSING)
        report_missing_key();
    draw_progress_bar();
    if (modal_flag == 0)
        SetFocus(input_edit);
}

static void paint(HWND hwnd)
{
    // The paint cycle only erases (with the class's black brush); the screen
    // is drawn afterwards through ordinary drawing contexts.
    PAINTSTRUCT ps;
    BeginPaint(hwnd, &ps);
    EndPaint(hwnd, &ps);
    if (maze_mode == 1) {
        maze_repaint();
    } else if (records_view != VIEW_NONE) {
        layout_recompute();
        records_view_draw();
    } else {
        full_redraw();
    }
}

void leave_records_view()
{
    records_view_leave();
    clear_screen();
    full_redraw();
}

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_CREATE:
        SendMessageA(hwnd, WM_SETTEXT, 0, (LPARAM) "");
        return 0;
    case WM_PAINT:
        paint(hwnd);
        return 0;
    case WM_TIMER:
        // The line in progress waits while the maze game or a records
        // screen is on; its time goes on when the practice comes back.
        if (maze_mode != 1 && records_view == VIEW_NONE)
            line_ticks += 1;
        return 0;
    case WM_COMMAND:
        run_command(LOWORD(wparam));
        return 0;
    case WM_LBUTTONDOWN:
        if (records_view != VIEW_NONE)
            leave_records_view();
        else if (maze_mode != 1)
            full_redraw();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Keys reach the main window itself only while a records screen has
        // taken the focus from the typing.
        if (records_view == VIEW_NONE)
            return DefWindowProcA(hwnd, msg, wparam, lparam);
        if (records_view_key(msg, wparam))
            leave_records_view();
        return 0;
    case WM_RBUTTONDOWN:
        maze_request_next();
        return 0;
    case WM_SETFOCUS:
        // Activation gives the focus to this window; typing belongs to the
        // hidden EDIT, so it goes straight back there unless a box has it.
        if (modal_flag == 0 && input_edit && records_view == VIEW_NONE)
            SetFocus(input_edit);
        return 0;
    case WM_DESTROY:
        DestroyMenu(menu_bar);
        menu_bar = nullptr;
        KillTimer(hwnd, TICK_TIMER_ID);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}
