// records_view.cpp -- which records screen is shown, and its keys.
#include "records/records_view.h"

#include "records/chart_screen.h"
#include "records/history.h"
#include "records/key_screen.h"
#include "records/line_log.h"
#include "shell/windows.h"

int records_view = VIEW_NONE;

static WPARAM key_down = 0; // a leaving key pressed while the screen was shown

void records_view_show(int view)
{
    history_refresh();
    if (records_view == VIEW_NONE)
        line_log_pause();
    records_view = view;
    key_down = 0;
    SetFocus(main_window);
    records_view_draw();
}

void records_view_leave()
{
    records_view = VIEW_NONE;
    key_down = 0;
    line_log_resume();
}

void records_view_draw()
{
    if (records_view == VIEW_CHART)
        draw_chart_screen();
    else if (records_view == VIEW_KEYS)
        draw_key_screen();
}

static bool leaves(WPARAM vk) { return vk == VK_ESCAPE || vk == VK_RETURN || vk == VK_SPACE; }

bool records_view_key(UINT msg, WPARAM vk)
{
    if (records_view == VIEW_NONE || !leaves(vk))
        return false;
    if (msg == WM_KEYDOWN) {
        key_down = vk;
        return false;
    }
    return msg == WM_KEYUP && key_down == vk;
}
