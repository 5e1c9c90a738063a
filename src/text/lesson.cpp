// lesson.cpp -- lesson files: the open dialog, whole-file reading, the loader.
//
// Owns no state: load_lesson fills the practice text store (line tables, pool,
// line_count, trailer_text) from the file lesson_path names, and places each
// practice byte on the screen grid as it is stored. Called by restart_practice.
// Every limit of the store is kept here, whatever the file holds.
#include "text/lesson.h"

#include "drill/engine.h"
#include "placement/placement.h"
#include "shell/commands.h"
#include "shell/windows.h"
#include "text/random_lines.h"
#include "text/store.h"

#include <cstdio>
#include <cstring>

const char DEFAULT_LESSON_PATH[] = "lessons\\基本指練習.txt";

constexpr char NOTE_MARK = '{';
constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
constexpr UINT READ_ERROR = (UINT)HFILE_ERROR; // what _lread returns when reading fails

static const char LINE_PROBLEM[] = "%d行目に問題があります。";
static const char CANNOT_READ[] = "「%s」を読み込めませんでした。\n\n今までの行で練習を続けます。";
static const char NO_MEMORY[] = "「%s」を読み込むためのメモリが足りません。\n\n今までの行で練習を続けます。";
static const char TOO_LARGE[] = "「%s」は大きすぎるため読み込みません（%dMBまで）。\n\n今までの行で練習を続けます。";
constexpr int BYTES_PER_MB = 1024 * 1024;
static const char POOL_FULL[] = "%d行目から後は入りきらないため、読み込みませんでした。";
static const char NOTHING_TO_PRACTISE[] = "「%s」には練習できる行がありません。\n\nランダムな文字で練習します。";
static const char LESSON_FILTERS[] = "Txt Files(*.txt)\0*.txt\0All Files(*.*)\0*.*\0";
static const char DIALOG_TITLE[] = "開く";

// ---- the open-file dialog ------------------------------------------------------

static bool file_exists(const char* path)
{
    OFSTRUCT of;
    HFILE f = OpenFile(path, &of, OF_READ);
    if (f == HFILE_ERROR)
        return false;
    _lclose(f);
    return true;
}

int choose_lesson_file(HWND owner, char* path)
{
    // The dialog works on a copy: a cancelled dialog leaves path as it was, and a
    // path that names no file is replaced by the default lesson as the proposal.
    char chosen[LESSON_PATH_SIZE];
    std::snprintf(chosen, sizeof chosen, "%s", file_exists(path) ? path : DEFAULT_LESSON_PATH);
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = LESSON_FILTERS;
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = LESSON_PATH_SIZE;
    ofn.lpstrTitle = DIALOG_TITLE;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn))
        return 0;
    std::memcpy(path, chosen, LESSON_PATH_SIZE);
    path[LESSON_PATH_SIZE - 1] = 0;
    return 1;
}

// ---- reading ---------------------------------------------------------------------

// Reads size bytes in pieces; the bytes actually read, which are fewer when the
// file shrank meanwhile, or READ_FAILED.
static int read_pieces(HFILE f, char* data, int size)
{
    if (_llseek(f, 0, FILE_BEGIN) != 0)
        return READ_FAILED;
    int got = 0;
    while (got < size) {
        UINT n = _lread(f, data + got, LESSON_READ_PIECE);
        if (n == READ_ERROR)
            return READ_FAILED;
        if (n == 0)
            break;
        got += (int)n;
    }
    if (got > size) { // the file grew meanwhile: keep what was measured, and the zero after it
        std::memset(data + size, 0, (size_t)(got - size));
        got = size;
    }
    return got;
}

int read_whole_file(const char* path, HGLOBAL* block, char** start)
{
    *block = nullptr;
    *start = nullptr;
    OFSTRUCT of;
    HFILE f = OpenFile(path, &of, OF_READ);
    if (f == HFILE_ERROR)
        return READ_FAILED;
    LONG size = _llseek(f, 0, FILE_END);
    if (size < 0 || size > LESSON_FILE_MAX) {
        _lclose(f);
        return size < 0 ? READ_FAILED : READ_TOO_LARGE;
    }
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)size + LESSON_READ_PIECE);
    char* data = mem ? static_cast<char*>(GlobalLock(mem)) : nullptr;
    if (!data) {
        if (mem)
            GlobalFree(mem);
        _lclose(f);
        return READ_NO_MEMORY;
    }
    int got = read_pieces(f, data, (int)size);
    _lclose(f);
    if (got < 0) {
        GlobalUnlock(mem);
        GlobalFree(mem);
        return READ_FAILED;
    }
    *block = mem;
    *start = data;
    return got;
}

// ---- cutting -----------------------------------------------------------------------

static bool ends_list(unsigned char b) { return b == 0 || b == 255; }

int split_line(char** cursor, int left, char* dest, int dest_size)
{
    const char* p = *cursor;
    int copied = 0;
    int i = 0;
    for (;; i++) {
        if (i >= left || ends_list((unsigned char)p[i])) {
            dest[copied] = 0;
            dest[copied + 1] = 0;
            *cursor += i;
            return -1;
        }
        if ((unsigned char)p[i] == CR && i + 1 < left && (unsigned char)p[i + 1] == LF)
            break;
        if (copied < dest_size - 2)
            dest[copied++] = p[i];
    }
    dest[copied] = 0;
    dest[copied + 1] = 0;
    *cursor += i + 2;
    return copied;
}

// How one cut line is laid out: its practice text (up to the note mark, the
// end, or the line limit) and its note, cut to whole characters within the limit.
struct LineShape {
    int text_len;
    bool has_note;
    int note_len;
};

// Bytes the line takes in the pool: its text and, when it has one, its note,
// each ended by a 0.
static int pool_need(const LineShape& s) { return s.text_len + 1 + (s.has_note ? s.note_len + 1 : 0); }

static LineShape shape_of(const char* line)
{
    LineShape s{0, false, 0};
    while (s.text_len < LESSON_LINE_LIMIT && line[s.text_len] != NOTE_MARK && line[s.text_len] != 0)
        s.text_len++;
    s.has_note = s.text_len < LESSON_LINE_LIMIT && line[s.text_len] == NOTE_MARK;
    if (!s.has_note)
        return s;
    const char* note = line + s.text_len + 1;
    const int room = LESSON_LINE_LIMIT - (s.text_len + 1);
    int n = 0;
    while (n < room && note[n] != 0) {
        int len = IsDBCSLeadByte((BYTE)note[n]) && note[n + 1] != 0 ? 2 : 1;
        if (n + len > room)
            break;
        n += len;
    }
    s.note_len = n;
    return s;
}

// Stores cut line j at pool offset *used: its practice text, placing each byte,
// then its note. A text that reaches the line limit is reported and stored cut
// there, still ended by a 0.
static void store_line(int j, const char* line, const LineShape& s, int* used)
{
    char* text = line_pool + *used;
    line_table[j] = text;
    for (int k = 0; k < s.text_len; k++) {
        text[k] = line[k];
        place_char(k, grid_cols, grid_rows);
    }
    text[s.text_len] = 0;
    *used += s.text_len + 1;
    line_note[j] = empty_note;
    if (s.has_note) {
        char* note = line_pool + *used;
        std::memcpy(note, line + s.text_len + 1, (size_t)s.note_len);
        note[s.note_len] = 0;
        line_note[j] = note;
        *used += s.note_len + 1;
    }
}

static void report_line_problem(int j)
{
    char message[64];
    std::snprintf(message, sizeof message, LINE_PROBLEM, j + 1);
    show_message(message);
}

static void copy_trailer(const char* cursor, const char* end)
{
    int n = (int)(end - cursor);
    if (n > TRAILER_TEXT_SIZE)
        n = TRAILER_TEXT_SIZE;
    std::memcpy(trailer_text, cursor, (size_t)n);
    trailer_text[n] = 0;
}

int cut_lesson(char* data, int size)
{
    char* cursor = data;
    char* const end = data + size;
    int used = 0;
    int stored = 0;
    int j = 0;
    for (; j < LESSON_MAX_LINES; j++) {
        if (end - cursor >= 2 && (unsigned char)cursor[0] == CR && (unsigned char)cursor[1] == LF) {
            cursor += 2;
            break;
        }
        split_line(&cursor, (int)(end - cursor), text_buffer, TEXT_BUFFER_SIZE);
        if (text_buffer[0] == 0)
            break;
        // Lines beyond the pool are still cut, to find where the introduction
        // begins, but not stored: the list ends before the first line that
        // does not fit.
        if (stored < j)
            continue;
        LineShape s = shape_of(text_buffer);
        if (LINE_POOL_SIZE - used < pool_need(s)) {
            char message[128];
            std::snprintf(message, sizeof message, POOL_FULL, j + 1);
            show_message(message);
            continue;
        }
        store_line(j, text_buffer, s, &used);
        stored = j + 1;
        if (s.text_len == LESSON_LINE_LIMIT)
            report_line_problem(j);
    }
    line_count = stored;
    copy_trailer(cursor, end);
    return stored;
}

// ---- loading ---------------------------------------------------------------------

static void report_about_file(const char* format)
{
    std::snprintf(text_buffer, TEXT_BUFFER_SIZE, format, lesson_path);
    show_message(text_buffer);
}

static void report_read_failure(int result)
{
    if (result == READ_TOO_LARGE) {
        std::snprintf(text_buffer, TEXT_BUFFER_SIZE, TOO_LARGE, lesson_path, LESSON_FILE_MAX / BYTES_PER_MB);
        show_message(text_buffer);
        return;
    }
    report_about_file(result == READ_NO_MEMORY ? NO_MEMORY : CANNOT_READ);
}

static bool any_line_to_practise()
{
    for (int j = 0; j < line_count; j++)
        if (line_len(j) >= 1)
            return true;
    return false;
}

int load_lesson()
{
    modal_flag = 1;
    if (reload_same_file != 1 && !choose_lesson_file(main_window, lesson_path)) {
        modal_flag = 0;
        return 0;
    }
    modal_flag = 0;
    HGLOBAL block;
    char* data;
    int size = read_whole_file(lesson_path, &block, &data);
    if (size < 0) {
        report_read_failure(size);
        return 0;
    }
    cut_lesson(data, size);
    GlobalUnlock(block);
    GlobalFree(block);
    if (!any_line_to_practise()) {
        report_about_file(NOTHING_TO_PRACTISE);
        text_source = 0;
        reload_same_file = 0;
        if (line_count < 1)
            line_count = LINE_COUNT_AT_START;
    }
    series_running = 0;
    return 1;
}
