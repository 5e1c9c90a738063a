// startup.cpp -- WinMain: start-up in order, then the main loop.
#include "shell/startup.h"

#include "display/geometry.h"
#include "display/keyboard.h"
#include "display/view.h"
#include "drill/engine.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/windows.h"
#include "text/random_lines.h"

#include <cstdlib>
#include <ctime>

// The first layout: the size setting takes effect at the first paint, so the
// cell size starts at its medium value whatever the setting holds.
static void first_layout()
{
    layout_recompute();
    char_size = client_h / CHAR_SIZE_DIVISORS[MEDIUM_SIZE - 1];
}

bool start_up(HINSTANCE instance, LPSTR cmd_line, int show)
{
    // The window's outer size: the whole area a maximised window would get.
    const int outer_w = GetSystemMetrics(SM_CXMAXIMIZED) - 2 * GetSystemMetrics(SM_CXFRAME);
    const int outer_h = GetSystemMetrics(SM_CYMAXIMIZED) - 2 * GetSystemMetrics(SM_CYFRAME);
    init_key_table();
    read_settings();
    srand((unsigned)time(nullptr));
    build_menu_bar();
    if (!create_windows(instance, cmd_line, outer_w, outer_h))
        return false;
    first_layout();
    build_case_tables();
    make_random_lines();
    SetTimer(main_window, TICK_TIMER_ID, TICK_MS, nullptr);
    ShowWindow(main_window, show);
    if (keyboard_shown())
        draw_keyboard();
    return true;
}

LoopPass run_pending()
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return LoopPass::Quit;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return LoopPass::Dispatched;
    }
    return idle_step() ? LoopPass::Stepped : LoopPass::Idle;
}

int run_main_loop()
{
    for (;;) {
        LoopPass pass = run_pending();
        if (pass == LoopPass::Quit)
            return 1;
        // Nothing queued and nothing for the drill to do: sleep until the
        // next message instead of spinning.
        if (pass == LoopPass::Idle)
            WaitMessage();
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev_instance, LPSTR cmd_line, int show)
{
    if (!start_up(instance, cmd_line, show))
        return 0;
    return run_main_loop();
}
