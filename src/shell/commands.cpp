// commands.cpp -- the menu bar and the command handler.
//
// Every command changes shared state in a fixed order, writes the setting it
// changed (every time, changed or not) and begins afresh through
// restart_practice. While the maze game is on, the commands that would start
// practice refuse with a message and change nothing.
#include "shell/commands.h"

#include "display/geometry.h"
#include "drill/engine.h"
#include "maze/maze.h"
#include "maze/maze_play.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "text/random_lines.h"

#include <cstdio>
#include <cstring>

int game_kind = 0;
int text_source = 0;
int note_shown = 0;
int reload_same_file = 0;
HMENU menu_bar = nullptr;

const char MAZE_GUARD_TEXT[] = "ゲーム→迷路モード→元に戻す。をしてください。";
const char MAZE_HINT_TEXT[] = "マウスの右ボタンを押すと次の迷路が出ます。";
const char HELP_PAGE_NAME[] = "最初にお読みください";
static const char SETTINGS_NOT_SAVED[] = "設定を保存する場所（APPDATA）が見つからないため、設定は保存できません。\n\n"
                                        "選んだ設定は、ゲームを終えるまで使われます。";
static const char HELP_PAGE_MISSING[] = "ヘルプのページ「%s」が見つかりません。";
static const char HELP_OPENER_MISSING[] = "ヘルプのページを開くプログラムが見つかりません。";
constexpr INT_PTR SHELL_EXECUTE_FAILED_MAX = 32; // ShellExecuteA's results up to this are errors

// ---- the menu tree ----------------------------------------------------------------

struct MenuRow {
    const char* label;
    unsigned id;        // 0 for an entry that opens a sub-menu
    const MenuRow* sub; // that sub-menu's rows, or nullptr
    int sub_count;
};

constexpr MenuRow LINE_LENGTH_ROWS[] = {
    {"１０文字", CMD_LINE_10, nullptr, 0},
    {"３０文字", CMD_LINE_30, nullptr, 0},
    {"６０文字", CMD_LINE_60, nullptr, 0},
};
static_assert(sizeof LINE_LENGTH_ROWS / sizeof LINE_LENGTH_ROWS[0] == 3, "three line lengths");

constexpr MenuRow MAZE_ROWS[] = {
    {"元に戻す", CMD_MAZE_OFF, nullptr, 0}, {"６×６", CMD_MAZE_6, nullptr, 0},      {"８×８", CMD_MAZE_8, nullptr, 0},
    {"１０×１０", 703, nullptr, 0},         {"１２×１２", 704, nullptr, 0},         {"１４×１４", 705, nullptr, 0},
    {"１６×１６", 706, nullptr, 0},         {"１８×１８", 707, nullptr, 0},         {"２０×２０", 708, nullptr, 0},
    {"３０×３０", 709, nullptr, 0},         {"４０×４０", CMD_MAZE_40, nullptr, 0},
};
static_assert(sizeof MAZE_ROWS / sizeof MAZE_ROWS[0] == 11, "back to typing and ten sizes");

constexpr MenuRow FILE_ROWS[] = {
    {"再スタート", CMD_RESTART, nullptr, 0},
    {"初期設定から", 0, LINE_LENGTH_ROWS, 3},
    {"ファイル", CMD_OPEN_LESSON, nullptr, 0},
    {"表示切り替え", CMD_NOTE_TOGGLE, nullptr, 0},
    {"タイプ音を無くす。", CMD_SOUND_OFF, nullptr, 0},
    {"タイプ音を出す。", CMD_SOUND_ON, nullptr, 0},
    {"終了", CMD_EXIT, nullptr, 0},
};

constexpr MenuRow MODE_ROWS[] = {
    {"初心者１モード", CMD_BEGINNER_1, nullptr, 0},
    {"初心者２モード", CMD_BEGINNER_2, nullptr, 0},
    {"中上者　モード", CMD_ADVANCED, nullptr, 0},
};

constexpr MenuRow GAME_ROWS[] = {
    {"多いものを選択", CMD_COUNT_MOST, nullptr, 0},
    {"少いものを選択", CMD_COUNT_FEWEST, nullptr, 0},
    {"迷路モード", 0, MAZE_ROWS, 11},
};

constexpr MenuRow SIZE_ROWS[] = {
    {"小", 2001, nullptr, 0},
    {"中", 2002, nullptr, 0},
    {"大", 2003, nullptr, 0},
    {"極大", CMD_SIZE_HUGE, nullptr, 0},
};

constexpr MenuRow LOOKAHEAD_ROWS[] = {
    {"しない", CMD_LOOKAHEAD_1, nullptr, 0},
    {"１個先", 502, nullptr, 0},
    {"２個先", 503, nullptr, 0},
    {"３個先", 504, nullptr, 0},
    {"４個先", CMD_LOOKAHEAD_5, nullptr, 0},
};

constexpr MenuRow HELP_ROWS[] = {
    {"ヘルプ", CMD_HELP, nullptr, 0},
};

#define ROWS(table) table, (int)(sizeof table / sizeof table[0])

// The menu bar, left to right.
constexpr MenuRow BAR_ROWS[] = {
    {"ファイル", 0, ROWS(FILE_ROWS)}, {"モード", 0, ROWS(MODE_ROWS)},      {"ゲーム", 0, ROWS(GAME_ROWS)},
    {"文字", 0, ROWS(SIZE_ROWS)},     {"先読み", 0, ROWS(LOOKAHEAD_ROWS)}, {"ヘルプ", 0, ROWS(HELP_ROWS)},
};
static_assert(sizeof BAR_ROWS / sizeof BAR_ROWS[0] == 6, "six menus on the bar");

#undef ROWS

// Builds a menu from its rows; the sub-menus first, so that each is complete
// before the menu that holds it.
static HMENU build_menu(const MenuRow* rows, int count)
{
    HMENU subs[16] = {};
    for (int i = 0; i < count && i < 16; i++)
        if (rows[i].sub)
            subs[i] = build_menu(rows[i].sub, rows[i].sub_count);
    HMENU menu = CreateMenu();
    for (int i = 0; i < count; i++) {
        if (rows[i].sub)
            AppendMenuA(menu, MF_POPUP, (UINT_PTR)subs[i], rows[i].label);
        else
            AppendMenuA(menu, MF_STRING, rows[i].id, rows[i].label);
    }
    return menu;
}

void build_menu_bar() { menu_bar = build_menu(BAR_ROWS, (int)(sizeof BAR_ROWS / sizeof BAR_ROWS[0])); }

// ---- the commands -------------------------------------------------------------------

static void show_box(const char* text)
{
    modal_flag = 1;
    MessageBoxA(main_window, text, "", MB_OK);
    modal_flag = 0;
    SetFocus(input_edit);
}

// True (after telling the user how to leave) when the maze game is on.
static bool maze_refuses()
{
    if (maze_mode != 1)
        return false;
    show_box(MAZE_GUARD_TEXT);
    return true;
}

// A lesson in use is read again rather than asked for anew.
static void keep_lesson()
{
    if (text_source == 1)
        reload_same_file = 1;
}

// Where settings cannot be saved at all (Windows without an application-data
// folder), the user is told so once; the choices still last for the session.
static void write_setting(const char* key, int value)
{
    static bool told_unsaved = false;
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    if (save_setting(key, text) || told_unsaved)
        return;
    told_unsaved = true;
    show_box(SETTINGS_NOT_SAVED);
}

static void choose_line_length(int letters)
{
    random_line_len = letters;
    game_kind = 0;
    text_source = 0;
    note_shown = 0;
    restart_practice();
}

static void choose_mode(int mode)
{
    write_setting("typemode", mode);
    typing_mode = mode;
    game_kind = 0;
    keep_lesson();
    restart_practice();
}

// The counting games want a large single letter; none of this is saved.
static void start_count_game(int kind)
{
    typing_mode = 3;
    size_flag = 3;
    char_size = client_h / CHAR_SIZE_DIVISORS[3 - 1];
    lookahead = 1;
    game_kind = kind;
    restart_practice();
}

// Character size 1 .. 4: a cell of 1/40, 1/20, 1/10 or 1/5 of the client height.
static void choose_size(int flag)
{
    static constexpr int SIZE_DIVISORS[4] = {40, 20, 10, 5};
    size_flag = flag;
    char_size = client_h / SIZE_DIVISORS[flag - 1];
    write_setting("sizeflag", flag);
    write_setting("en", char_size);
    keep_lesson();
    restart_practice();
}

static void choose_lookahead(int count)
{
    write_setting("sakiyomi", count);
    lookahead = count;
    game_kind = 0;
    keep_lesson();
    restart_practice();
}

static void set_sound(int on)
{
    write_setting("oto", on);
    sound_on = on;
}

// Maze sizes by command; the grid keeps one more than the size each way.
static int maze_size_of(unsigned id)
{
    static constexpr int SIZES[] = {6, 8, 10, 12, 14, 16, 18, 20, 30, 40};
    if (id == CMD_MAZE_6 || id == CMD_MAZE_8)
        return SIZES[id - CMD_MAZE_6];
    return SIZES[2 + (id - CMD_MAZE_10)];
}

static void start_maze(unsigned id)
{
    maze_cols = maze_rows = maze_size_of(id) + 1;
    maze_mode = 1;
    maze_regen = 1;
    show_box(MAZE_HINT_TEXT);
}

static void leave_maze()
{
    clear_screen();
    maze_mode = 0;
    full_redraw();
}

// Finds the '\' or '/' that ends the directory part of a path, stepping over
// double-byte characters whose second byte looks like one. -1 when none.
static int last_separator(const char* path)
{
    int last = -1;
    for (int i = 0; path[i]; i++) {
        if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1]) {
            i++;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/')
            last = i;
    }
    return last;
}

// The help page lies beside the program file.
static void open_help()
{
    constexpr int PATH_SIZE = 520;
    char path[PATH_SIZE];
    DWORD n = GetModuleFileNameA(nullptr, path, PATH_SIZE);
    if (n == 0 || n >= (DWORD)PATH_SIZE)
        return;
    path[n] = 0;
    int dir_end = last_separator(path) + 1; // keeps drive and directory, separator included
    char page[PATH_SIZE];
    int written = std::snprintf(page, sizeof page, "%.*s%s.html", dir_end, path, HELP_PAGE_NAME);
    if (written < 0 || written >= (int)sizeof page)
        return;
    INT_PTR result = (INT_PTR)ShellExecuteA(main_window, nullptr, page, nullptr, nullptr, SW_SHOWNORMAL);
    if (result > SHELL_EXECUTE_FAILED_MAX)
        return;
    // Nothing opens: say which of the two is missing.
    char message[PATH_SIZE + sizeof HELP_PAGE_MISSING];
    if (result == SE_ERR_FNF || result == SE_ERR_PNF)
        std::snprintf(message, sizeof message, HELP_PAGE_MISSING, page);
    else
        std::snprintf(message, sizeof message, "%s", HELP_OPENER_MISSING);
    show_box(message);
}

static bool is_maze_size(unsigned id)
{
    return (id >= CMD_MAZE_6 && id <= CMD_MAZE_8) || (id >= CMD_MAZE_10 && id <= CMD_MAZE_40);
}

static bool is_practice_command(unsigned id)
{
    return id == CMD_RESTART || (id >= CMD_LINE_10 && id <= CMD_LINE_60) || id == CMD_OPEN_LESSON ||
           id == CMD_NOTE_TOGGLE || id == CMD_BEGINNER_1 || id == CMD_BEGINNER_2 || id == CMD_ADVANCED ||
           id == CMD_COUNT_MOST || id == CMD_COUNT_FEWEST || (id >= CMD_SIZE_SMALL && id <= CMD_SIZE_HUGE) ||
           (id >= CMD_LOOKAHEAD_1 && id <= CMD_LOOKAHEAD_5);
}

// The commands that begin the practice afresh; the maze game refuses them.
static void run_practice_command(unsigned id)
{
    switch (id) {
    case CMD_RESTART:
        text_source = 0;
        restart_practice();
        break;
    case CMD_LINE_10:
        choose_line_length(10);
        break;
    case CMD_LINE_30:
        choose_line_length(30);
        break;
    case CMD_LINE_60:
        choose_line_length(60);
        break;
    case CMD_OPEN_LESSON:
        note_shown = 1;
        text_source = 1;
        reload_same_file = 0;
        typed_count = 1; // so that the restart draws the keyboard again
        restart_practice();
        break;
    case CMD_NOTE_TOGGLE:
        game_kind = 0;
        note_shown = 1 - note_shown;
        keep_lesson();
        restart_practice();
        break;
    case CMD_BEGINNER_1:
        choose_mode(1);
        break;
    case CMD_BEGINNER_2:
        choose_mode(2);
        break;
    case CMD_ADVANCED:
        choose_mode(3);
        break;
    case CMD_COUNT_MOST:
        start_count_game(1);
        break;
    case CMD_COUNT_FEWEST:
        start_count_game(2);
        break;
    default:
        if (id >= CMD_SIZE_SMALL && id <= CMD_SIZE_HUGE)
            choose_size((int)(id - CMD_SIZE_SMALL) + 1);
        else
            choose_lookahead((int)(id - CMD_LOOKAHEAD_1) + 1);
        break;
    }
}

void run_command(unsigned id)
{
    // The commands the maze game lets through.
    switch (id) {
    case CMD_MAZE_OFF:
        leave_maze();
        return;
    case CMD_SOUND_OFF:
        set_sound(0);
        return;
    case CMD_SOUND_ON:
        set_sound(1);
        return;
    case CMD_EXIT:
        DestroyWindow(main_window);
        return;
    case CMD_HELP:
        open_help();
        return;
    default:
        break;
    }
    if (is_maze_size(id)) {
        start_maze(id);
        return;
    }
    if (is_practice_command(id) && !maze_refuses())
        run_practice_command(id);
}
