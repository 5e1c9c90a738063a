// results.cpp -- time and speed of a line, message texts, the title count.
#include "drill/results.h"

#include "drill/engine.h"
#include "shell/platform/win32.h"
#include "shell/windows.h"

#include <cstdio>
#include <cstring>

int line_ticks = 0;

static const char START_SUFFIX[] = "\n\nENTERかSPACEを押すとはじまります。";
// "SPECE" (not "SPACE", as the start box says) is this box's text as players
// know it: a deliberate spelling, not a typo to mend.
static const char RESULT_TAIL[] = "ENTERかSPECEを押すとはじまります。";

// The drill's timer ticks every 50 ms: two ticks make a tenth of a second.
constexpr int TICKS_PER_TENTH = 2;
constexpr double TENTHS_PER_SECOND = 10.0;
constexpr int TITLE_SIZE = 1024;

// The speed in characters per second. A line finished before the first tick
// has no measurable time: its speed is shown as "---" instead of a division
// by zero.
void format_line_speed(char* out, int size, int n, int t, int lesson)
{
    if (t <= 0) {
        std::snprintf(out, (size_t)size, "---");
        return;
    }
    double r = n / (((double)t / TICKS_PER_TENTH) / TENTHS_PER_SECOND);
    // A lesson's speed goes through float on purpose, so its figures carry
    // float rounding (16.216216 may show as 16.216217); random letters do not.
    if (lesson)
        r = (double)(float)r;
    std::snprintf(out, (size_t)size, "%f", r);
}

void format_line_time(char* out, int size, int t)
{
    int h = t / TICKS_PER_TENTH; // tenths of a second, cut, not rounded
    std::snprintf(out, (size_t)size, "%d.%d", h / 10, h % 10);
}

char* format_result_text(char* out, int size, int n, int t, int lesson, const char* note)
{
    char time[32];
    char speed[64];
    format_line_time(time, sizeof time, t);
    format_line_speed(speed, sizeof speed, n, t, lesson);
    if (lesson)
        std::snprintf(out, (size_t)size, "%d文字　%s 秒\n\n１秒当たり %s文字\n\n%s\n\n%s", n, time, speed,
                      note ? note : "", RESULT_TAIL);
    else
        std::snprintf(out, (size_t)size, "%d文字　%s 秒\n\n１秒当たり %s文字\n\n%s", n, time, speed, RESULT_TAIL);
    return out;
}

// How many bytes of text fit in room bytes without splitting a double-byte
// character at the end.
static int fitting_length(const char* text, int room)
{
    int n = 0;
    while (text[n]) {
        int len = IsDBCSLeadByte((BYTE)text[n]) && text[n + 1] ? 2 : 1;
        if (n + len > room)
            break;
        n += len;
    }
    return n;
}

char* format_start_text(char* out, int size, int lesson, const char* trailer)
{
    if (!lesson) {
        std::snprintf(out, (size_t)size, "スタート！！%s", START_SUFFIX);
        return out;
    }
    int room = size - (int)sizeof START_SUFFIX;
    int keep = fitting_length(trailer, room < 0 ? 0 : room);
    std::snprintf(out, (size_t)size, "%.*s%s", keep, trailer, START_SUFFIX);
    return out;
}

int show_typed_count()
{
    char title[TITLE_SIZE];
    wsprintfA(title, "ルメコトレーナー　%dタイプ目", typed_count);
    SendMessageA(main_window, WM_SETTEXT, 0, (LPARAM)title);
    return 0;
}
