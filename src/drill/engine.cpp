// engine.cpp -- the drill's steps: start, judge typed bytes, finish, restart.
#include "drill/engine.h"

#include "display/geometry.h"
#include "display/keyboard.h"
#include "display/practice_screen.h"
#include "display/view.h"
#include "drill/results.h"
#include "maze/maze_play.h"
#include "placement/placement.h"
#include "records/line_log.h"
#include "records/records_view.h"
#include "records/weak_lines.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/windows.h"
#include "text/lesson.h"
#include "text/random_lines.h"
#include "text/store.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int line_index = 0;
int char_index = 0;
char expected_char = 0;
int line_length = 30;
int typed_count = 0;
int series_running = 0;
int modal_flag = 0;

const char TAP_SOUND[] = "tap.wav";

static int current_byte(int index) { return line_table[line_index][index]; }

// Picks a line at random. A line with nothing to practise is passed over for
// the next one that has something; when no line has anything, practice falls
// back to random letters, which always do.
static int choose_line()
{
    for (int attempt = 0; attempt < 2; attempt++) {
        if (line_count >= 1) {
            int start = rand() % line_count;
            for (int i = 0; i < line_count; i++) {
                int j = (start + i) % line_count;
                if (line_len(j) >= 1)
                    return j;
            }
        }
        text_source = 0;
        if (line_count < 1)
            line_count = LINE_COUNT_AT_START;
        make_random_lines();
    }
    return 0;
}

void show_message(const char* text)
{
    modal_flag = 1;
    MessageBoxA(main_window, text, "", MB_OK);
    modal_flag = 0;
    SetFocus(input_edit);
}

void show_message_wide(const WCHAR* text)
{
    modal_flag = 1;
    MessageBoxW(main_window, text, LUMEKO_WIDE(""), MB_OK);
    modal_flag = 0;
    SetFocus(input_edit);
}

void report_missing_key()
{
    show_message("使われない文字がはいっています。");
    if (text_source == 1) {
        text_source = 0;
        reload_same_file = 0;
    }
    restart_practice();
}

// Lights the key of a byte in beginner 1. False when the byte had no key:
// practice has then been restarted, and the caller's step must end without
// touching anything more.
static bool light_next(char c)
{
    if (!keys_lit() || light_key(key_char(c), COLOR_PINK) != KEY_MISSING)
        return true;
    report_missing_key();
    return false;
}

// Makes the practice lines anew when they are made rather than read.
static void make_lines()
{
    if (text_source == TEXT_SOURCE_RANDOM)
        make_random_lines();
    else if (text_source == TEXT_SOURCE_WEAK)
        make_weak_lines();
}

static void start_after_message()
{
    make_lines();
    if (text_source == TEXT_SOURCE_WEAK)
        std::snprintf(text_buffer, TEXT_BUFFER_SIZE, "%s", WEAK_START_TEXT);
    else
        format_start_text(text_buffer, TEXT_BUFFER_SIZE, text_source == TEXT_SOURCE_LESSON, trailer_text);
    draw_progress_bar();
    show_message(text_buffer);
    typed_count = 0;
    show_typed_count();
    line_index = choose_line();
    char_index = 0;
    line_length = line_len(line_index);
    draw_practice_screen();
    if (!light_next((char)current_byte(0)))
        return;
    typed_count = 1;
    expected_char = (char)current_byte(char_index);
    draw_progress_bar();
    draw_note_line();
    char_index += 1;
    line_ticks = 0;
    line_log_start();
    practice_started = 1;
}

static void finish_line()
{
    clear_screen();
    if (keyboard_shown())
        draw_keyboard();
    format_result_text(text_buffer, TEXT_BUFFER_SIZE, line_length, line_ticks, text_source == 1, line_note[line_index]);
    draw_progress_bar();
    line_log_finish(); // the row is on the disk before the box shows
    show_message(text_buffer);
    line_index = choose_line();
    char_index = 0;
    reposition_line();
    draw_practice_screen();
    if (!light_next((char)current_byte(0)))
        return;
    line_length = line_len(line_index);
    typed_count = 0;
    show_typed_count();
    line_ticks = 0;
    line_log_start();
    typed_count = 1;
    series_running = 1;
    char_index = 0;
    expected_char = (char)current_byte(0);
    draw_progress_bar();
    draw_note_line();
    if (!light_next(expected_char))
        return;
    char_index += 1;
}

static bool matches(int t, char expected)
{
    unsigned char e = (unsigned char)expected;
    return t == expected || t == (signed char)upper_table[e] || t == (signed char)lower_table[e];
}

static int type_step()
{
    int t = take_typed_char();
    bool accepted = matches(t, expected_char);
    if (t == 0)
        return 0;
    if (!accepted) {
        line_log_miss(char_index - 1, t);
        return 1;
    }
    line_log_accept(char_index - 1);
    SetFocus(input_edit);
    if (sound_on == 1)
        sndPlaySoundA(TAP_SOUND, SND_ASYNC);
    expected_char = (char)current_byte(char_index);
    show_typed_count();
    draw_practice_screen();
    if (keys_lit()) {
        restore_key(key_char((char)t));
        if (!light_next(expected_char))
            return 1;
    }
    draw_progress_bar();
    char_index += 1;
    typed_count += 1;
    return 1;
}

int idle_step()
{
    if (modal_flag == 1)
        return 0;
    if (maze_mode == 1)
        return maze_step(); // nothing is typed while the maze game is on
    if (records_view != VIEW_NONE)
        return 0; // nor while a records screen is shown
    if (typed_count == 0 && series_running != 1) {
        start_after_message();
        return 1;
    }
    if (typed_count > line_length) {
        finish_line();
        return 1;
    }
    return type_step();
}

int restart_practice()
{
    // A lesson that turns out to hold nothing to practise switches the source
    // back to random letters, which are then made here.
    if (text_source == TEXT_SOURCE_LESSON)
        load_lesson();
    make_lines();
    // The screen is rebuilt from black: in the beginner modes with the keyboard,
    // whatever the line had come to and whichever mode came before.
    clear_screen();
    if (keyboard_shown())
        draw_keyboard();
    line_index = choose_line();
    char_index = 0;
    expected_char = (char)current_byte(0);
    line_length = line_len(line_index);
    line_ticks = 0;
    line_log_start();
    typed_count = 0;
    idle_step();
    show_typed_count();
    series_running = 0;
    return 0;
}

int take_typed_char()
{
    // The whole queue is read and written back without its first byte, so
    // nothing typed ahead is ever lost (the EDIT holds far less than the
    // scratch buffer).
    int n = GetWindowTextA(input_edit, text_buffer, TEXT_BUFFER_SIZE);
    int first = n > 0 ? (signed char)text_buffer[0] : 0;
    if (n > 0)
        std::memmove(text_buffer, text_buffer + 1, (size_t)n);
    else
        text_buffer[0] = 0;
    SetWindowTextA(input_edit, text_buffer);
    return first;
}
