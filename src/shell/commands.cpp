// commands.cpp -- the menu bar and the command handler.
//
// Every command changes shared state in a fixed order, writes the setting it
// changed (every time, changed or not) and begins afresh through
// restart_practice. While the maze game is on, the commands that would start
// practice refuse with a message and change nothing.
#include "shell/commands.h"

#include "display/geometry.h"
#include "display/view.h"
#include "drill/engine.h"
#include "maze/maze.h"
#include "maze/maze_play.h"
#include "records/line_log.h"
#include "records/record_file.h"
#include "records/records_view.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/windows.h"
#include "text/random_lines.h"

#include <cstdio>
#include <cstring>

int text_source = 0;
int reload_same_file = 0;
HMENU menu_bar = nullptr;

const char MAZE_GUARD_TEXT[] = "ゲーム→迷路モード→元に戻す。をしてください。";
const char MAZE_HINT_TEXT[] = "マウスの右ボタンを押すと次の迷路が出ます。";
const char HELP_PAGE_NAME[] = "最初にお読みください";
const char NO_RECORDS_TEXT[] = "まだ記録がありません。\n\n練習で１行打ち終えると、記録ファイルが作られます。\n場所：%s";
static const char SETTINGS_NOT_SAVED[] = "設定を保存する場所（APPDATA）が見つからないか、その名前が使えないため、設定は保存できません。\n\n"
                                        "選んだ設定は、ゲームを終えるまで使われます。";
static const char HELP_PAGE_MISSING[] = "ヘルプのページ「%s」が見つかりません。";
static const char HELP_OPENER_MISSING[] = "ヘルプのページを開くプログラムが見つかりません。";
constexpr INT_PTR SHELL_EXECUTE_FAILED_MAX = 32; // ShellExecuteA's results up to this are errors

// ---- the menu tree ----------------------------------------------------------------

// What a command does with the value of its row.
enum class Does {
    OpenMenu,   // an entry that opens a menu; sends nothing
    Restart,    // begin afresh with random letters
    LineLength, // value: letters per random line
    OpenLesson,
    NoteToggle,
    Sound, // value: 1 key click on, 0 off
    Exit,
    Mode,      // value: the typing mode
    CountGame, // value: the counting game's kind
    LeaveMaze,
    Maze,      // value: cells each way
    Size,      // value: the character size, 1 .. SIZE_COUNT
    Lookahead, // value: characters shown at once
    RecordsScreen, // value: the records screen to show
    WeakPractice,
    OpenRecords,
    Help,
};

struct MenuRow {
    int depth;         // 0 an entry of the bar, 1 an item of its menu, 2 an item of a sub-menu
    const char* label; // as shown
    unsigned id;       // the command the item sends; 0 for an entry that opens a menu
    Does does;
    int value; // what the command sets, 0 when it sets nothing
};

// The menu bar, left to right, each menu's items below it, top to bottom; a
// sub-menu's items follow the item that opens it. A new menu is a new run of
// rows, and its commands a new Does with its case in run_command.
constexpr MenuRow MENU_ROWS[] = {
    {0, "ファイル", 0, Does::OpenMenu, 0},
    {1, "再スタート", CMD_RESTART, Does::Restart, 0},
    {1, "初期設定から", 0, Does::OpenMenu, 0},
    {2, "１０文字", CMD_LINE_10, Does::LineLength, 10},
    {2, "３０文字", CMD_LINE_30, Does::LineLength, 30},
    {2, "６０文字", CMD_LINE_60, Does::LineLength, 60},
    {1, "ファイル", CMD_OPEN_LESSON, Does::OpenLesson, 0},
    {1, "表示切り替え", CMD_NOTE_TOGGLE, Does::NoteToggle, 0},
    {1, "タイプ音を無くす。", CMD_SOUND_OFF, Does::Sound, 0},
    {1, "タイプ音を出す。", CMD_SOUND_ON, Does::Sound, 1},
    {1, "終了", CMD_EXIT, Does::Exit, 0},
    {0, "モード", 0, Does::OpenMenu, 0},
    {1, "初心者１モード", CMD_BEGINNER_1, Does::Mode, MODE_BEGINNER_1},
    {1, "初心者２モード", CMD_BEGINNER_2, Does::Mode, MODE_BEGINNER_2},
    {1, "中上者　モード", CMD_ADVANCED, Does::Mode, MODE_ADVANCED},
    {0, "ゲーム", 0, Does::OpenMenu, 0},
    {1, "多いものを選択", CMD_COUNT_MOST, Does::CountGame, GAME_COUNT_MOST},
    {1, "少いものを選択", CMD_COUNT_FEWEST, Does::CountGame, GAME_COUNT_FEWEST},
    {1, "迷路モード", 0, Does::OpenMenu, 0},
    {2, "元に戻す", CMD_MAZE_OFF, Does::LeaveMaze, 0},
    {2, "６×６", CMD_MAZE_6, Does::Maze, 6},
    {2, "８×８", CMD_MAZE_8, Does::Maze, 8},
    {2, "１０×１０", CMD_MAZE_10, Does::Maze, 10},
    {2, "１２×１２", CMD_MAZE_12, Does::Maze, 12},
    {2, "１４×１４", CMD_MAZE_14, Does::Maze, 14},
    {2, "１６×１６", CMD_MAZE_16, Does::Maze, 16},
    {2, "１８×１８", CMD_MAZE_18, Does::Maze, 18},
    {2, "２０×２０", CMD_MAZE_20, Does::Maze, 20},
    {2, "３０×３０", CMD_MAZE_30, Does::Maze, 30},
    {2, "４０×４０", CMD_MAZE_40, Does::Maze, 40},
    {0, "文字", 0, Does::OpenMenu, 0},
    {1, "小", CMD_SIZE_SMALL, Does::Size, 1},
    {1, "中", CMD_SIZE_MEDIUM, Does::Size, 2},
    {1, "大", CMD_SIZE_LARGE, Does::Size, 3},
    {1, "極大", CMD_SIZE_HUGE, Does::Size, 4},
    {0, "先読み", 0, Does::OpenMenu, 0},
    {1, "しない", CMD_LOOKAHEAD_1, Does::Lookahead, 1}, // the character to type alone
    {1, "１個先", CMD_LOOKAHEAD_2, Does::Lookahead, 2},
    {1, "２個先", CMD_LOOKAHEAD_3, Does::Lookahead, 3},
    {1, "３個先", CMD_LOOKAHEAD_4, Does::Lookahead, 4},
    {1, "４個先", CMD_LOOKAHEAD_5, Does::Lookahead, 5},
    {0, "記録", 0, Does::OpenMenu, 0},
    {1, "成績グラフ", CMD_RECORDS_CHART, Does::RecordsScreen, VIEW_CHART},
    {1, "キー別の速さ", CMD_RECORDS_KEYS, Does::RecordsScreen, VIEW_KEYS},
    {1, "苦手キー練習", CMD_RECORDS_WEAK, Does::WeakPractice, 0},
    {1, "記録ファイルを開く", CMD_RECORDS_OPEN, Does::OpenRecords, 0},
    {0, "ヘルプ", 0, Does::OpenMenu, 0},
    {1, "ヘルプ", CMD_HELP, Does::Help, 0},
};
constexpr int MENU_ROW_COUNT = (int)(sizeof MENU_ROWS / sizeof MENU_ROWS[0]);
static_assert(MENU_ROW_COUNT == 48, "seven menus: 7 entries, 30 items, 11 in sub-menus");
constexpr int MENU_ITEMS_MAX = 16; // items of the longest menu, and room to grow

// Builds the menu of the rows from `first` on at `depth`, up to the first row
// above that depth. Sub-menus are built first, so that each is complete before
// the menu that holds it is made.
static HMENU build_menu(int first, int depth)
{
    HMENU subs[MENU_ITEMS_MAX] = {};
    int n = 0;
    for (int i = first; i < MENU_ROW_COUNT && MENU_ROWS[i].depth >= depth; i++) {
        if (MENU_ROWS[i].depth != depth)
            continue;
        if (MENU_ROWS[i].does == Does::OpenMenu && n < MENU_ITEMS_MAX)
            subs[n] = build_menu(i + 1, depth + 1);
        n++;
    }
    HMENU menu = CreateMenu();
    n = 0;
    for (int i = first; i < MENU_ROW_COUNT && MENU_ROWS[i].depth >= depth; i++) {
        const MenuRow& row = MENU_ROWS[i];
        if (row.depth != depth)
            continue;
        if (row.does == Does::OpenMenu && n < MENU_ITEMS_MAX)
            AppendMenuA(menu, MF_POPUP, (UINT_PTR)subs[n], row.label);
        else if (row.does != Does::OpenMenu)
            AppendMenuA(menu, MF_STRING, row.id, row.label);
        n++;
    }
    return menu;
}

void build_menu_bar() { menu_bar = build_menu(0, 0); }

// The row of a command, or nullptr for an identifier no item sends.
static const MenuRow* row_of(unsigned id)
{
    for (const MenuRow& row : MENU_ROWS)
        if (row.id == id && row.does != Does::OpenMenu)
            return &row;
    return nullptr;
}

// ---- the commands -------------------------------------------------------------------

// True (after telling the user how to leave) when the maze game is on.
static bool maze_refuses()
{
    if (maze_mode != 1)
        return false;
    show_message(MAZE_GUARD_TEXT);
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
    show_message(SETTINGS_NOT_SAVED);
}

static void choose_line_length(int letters)
{
    random_line_len = letters;
    game_kind = GAME_NONE;
    text_source = 0;
    note_shown = 0;
    restart_practice();
}

static void choose_mode(int mode)
{
    write_setting("typemode", mode);
    typing_mode = mode;
    game_kind = GAME_NONE;
    keep_lesson();
    restart_practice();
}

// The counting games want large letters, one at a time, and no keyboard; none
// of this is saved, so the next start has the saved settings again.
constexpr int COUNT_GAME_SIZE = 3;

static void start_count_game(int kind)
{
    typing_mode = MODE_ADVANCED;
    size_flag = COUNT_GAME_SIZE;
    char_size = client_h / CHAR_SIZE_DIVISORS[COUNT_GAME_SIZE - 1];
    lookahead = LOOKAHEAD_MIN;
    game_kind = kind;
    restart_practice();
}

// Character size 1 .. SIZE_COUNT, each a fraction of the client height.
static void choose_size(int flag)
{
    size_flag = flag;
    char_size = client_h / CHAR_SIZE_DIVISORS[flag - 1];
    write_setting("sizeflag", flag);
    write_setting("en", char_size);
    keep_lesson();
    restart_practice();
}

static void choose_lookahead(int count)
{
    write_setting("sakiyomi", count);
    lookahead = count;
    game_kind = GAME_NONE;
    keep_lesson();
    restart_practice();
}

static void set_sound(int on)
{
    write_setting("oto", on);
    sound_on = on;
}

// The grid keeps one cell more than the size each way.
static void start_maze(int size)
{
    line_log_pause();
    maze_cols = maze_rows = size + 1;
    maze_mode = 1;
    maze_regen = 1;
    show_message(MAZE_HINT_TEXT);
}

static void leave_maze()
{
    clear_screen();
    maze_mode = 0;
    line_log_resume();
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
    show_message(message);
}

// The records file in the desktop's program for it, as the help page; before
// the first line is finished there is none, and the user is told so.
static void open_records_file()
{
    const WCHAR* path = records_file_path();
    if (path[0] && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        ShellExecuteW(main_window, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    show_records_place(NO_RECORDS_TEXT);
    if (records_view != VIEW_NONE)
        SetFocus(main_window); // the keys that leave the screen go to the window again
}

// The weak-key practice: lines of the current length, as the line-length
// commands begin them, but from letters weighted by the records.
static void start_weak_practice()
{
    game_kind = GAME_NONE;
    text_source = TEXT_SOURCE_WEAK;
    note_shown = 0;
    restart_practice();
}

static void open_lesson()
{
    note_shown = 1;
    text_source = 1;
    reload_same_file = 0;
    typed_count = 1; // while the chooser is up, a repaint lights the next key
    restart_practice();
}

static void toggle_note()
{
    game_kind = GAME_NONE;
    note_shown = 1 - note_shown;
    keep_lesson();
    restart_practice();
}

// The commands that work in the maze game too; false for any other.
static bool run_maze_safe(const MenuRow& row)
{
    switch (row.does) {
    case Does::LeaveMaze:
        leave_maze();
        return true;
    case Does::Maze:
        start_maze(row.value);
        return true;
    case Does::Sound:
        set_sound(row.value);
        return true;
    case Does::Exit:
        DestroyWindow(main_window);
        return true;
    case Does::Help:
        open_help();
        return true;
    case Does::OpenRecords:
        open_records_file();
        return true;
    default:
        return false;
    }
}

// The commands that begin the practice afresh; the maze game refuses them.
static void run_practice_command(const MenuRow& row)
{
    switch (row.does) {
    case Does::Restart:
        text_source = 0;
        restart_practice();
        break;
    case Does::LineLength:
        choose_line_length(row.value);
        break;
    case Does::OpenLesson:
        open_lesson();
        break;
    case Does::NoteToggle:
        toggle_note();
        break;
    case Does::Mode:
        choose_mode(row.value);
        break;
    case Does::CountGame:
        start_count_game(row.value);
        break;
    case Does::Size:
        choose_size(row.value);
        break;
    case Does::Lookahead:
        choose_lookahead(row.value);
        break;
    case Does::RecordsScreen:
        records_view_show(row.value);
        break;
    case Does::WeakPractice:
        start_weak_practice();
        break;
    default:
        break;
    }
}

// A command that changes the practice or the screen first takes the practice
// back from a records screen, as it was; the others leave the screen shown.
static bool takes_practice_back(const MenuRow& row)
{
    return row.does != Does::Sound && row.does != Does::Exit && row.does != Does::Help &&
           row.does != Does::OpenRecords && row.does != Does::RecordsScreen;
}

void run_command(unsigned id)
{
    const MenuRow* row = row_of(id);
    if (row && records_view != VIEW_NONE && takes_practice_back(*row))
        leave_records_view();
    if (!row || run_maze_safe(*row))
        return;
    if (!maze_refuses())
        run_practice_command(*row);
}
