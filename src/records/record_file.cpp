// record_file.cpp -- the records file's place, and appending rows to it.
//
// A row is appended with one write on a handle that writes only at the end of
// the file, then flushed: two copies of the game appending at once each add
// whole rows. A new file is written whole under a name of its own and then
// given the records name without replacing anything, so a reader never sees a
// file without its header, and two copies starting a file keep one of them.
#include "records/record_file.h"

#include "drill/engine.h"
#include "records/record_row.h"

#include <cstdio>
#include <cstring>

const char RECORDS_FILE_NAME[] = "records.csv";
WCHAR records_path[RECORDS_PATH_SIZE] = {};
int records_failure_told = 0;

#ifdef _WIN32
static const WCHAR RECORDS_FOLDER[] = LUMEKO_WIDE("LumekoTrainer");
constexpr WCHAR SEPARATOR = '\\';
static const char NO_FOLDER_TEXT[] = "環境変数 APPDATA がないため、保存するフォルダーが分かりません。";
#else
static const WCHAR RECORDS_FOLDER[] = LUMEKO_WIDE("lumeko-trainer");
constexpr WCHAR SEPARATOR = '/';
static const char NO_FOLDER_TEXT[] = "環境変数 XDG_DATA_HOME も HOME もないため、保存するフォルダーが分かりません。";
#endif

constexpr int START_SIZE = sizeof RECORDS_FILE_START - 1;
constexpr int MESSAGE_SIZE = 1024; // WCHARs of a message naming the file

// Windows takes '/' for '\' as well; elsewhere a '\' is part of a name.
static bool is_separator(WCHAR c) { return c == '/' || c == SEPARATOR; }

// Appends text (UTF-16, or ASCII) to out, which holds *len of size WCHARs;
// false, and nothing appended, when it does not fit with the terminator.
template <class Char>
static bool append(WCHAR* out, int size, int* len, const Char* text)
{
    int n = 0;
    while (text[n])
        n++;
    if (*len + n >= size)
        return false;
    for (int i = 0; i <= n; i++)
        out[*len + i] = (WCHAR)text[i];
    *len += n;
    return true;
}

// The program's text (CP932: bytes of it, -1 for all) in UTF-16 into out of
// size WCHARs, terminated; its length ("" when it does not fit).
static int widen(const char* text, int bytes, WCHAR* out, int size)
{
    if (bytes < 0)
        bytes = (int)std::strlen(text);
    int n = bytes > 0 ? MultiByteToWideChar(932, 0, text, bytes, out, size - 1) : 0;
    out[n] = 0;
    return n;
}

// An environment variable into out (RECORDS_PATH_SIZE WCHARs) as the system
// has it; its length, 0 when it is unset, empty or too long.
static int read_env(const WCHAR* name, WCHAR* out)
{
    DWORD n = GetEnvironmentVariableW(name, out, RECORDS_PATH_SIZE);
    return n < (DWORD)RECORDS_PATH_SIZE ? (int)n : 0;
}

// The folder the records folder goes in, into out (RECORDS_PATH_SIZE
// WCHARs); its length, or 0 when there is none.
static int data_folder(WCHAR* out)
{
#ifdef _WIN32
    return read_env(LUMEKO_WIDE("APPDATA"), out);
#else
    int len = read_env(LUMEKO_WIDE("XDG_DATA_HOME"), out);
    if (len > 0 && out[0] == '/') // a relative value is not valid: ignored
        return len;
    len = read_env(LUMEKO_WIDE("HOME"), out);
    return len > 0 && append(out, RECORDS_PATH_SIZE, &len, "/.local/share") ? len : 0;
#endif
}

const WCHAR* records_file_path()
{
    WCHAR* p = records_path;
    int len = data_folder(p);
    const WCHAR sep[] = {SEPARATOR, 0};
    bool whole = len > 0 && (is_separator(p[len - 1]) || append(p, RECORDS_PATH_SIZE, &len, sep)) &&
                 append(p, RECORDS_PATH_SIZE, &len, RECORDS_FOLDER) && append(p, RECORDS_PATH_SIZE, &len, sep) &&
                 append(p, RECORDS_PATH_SIZE, &len, RECORDS_FILE_NAME);
    if (!whole)
        p[0] = 0; // too long to name: treated as no folder at all
    return p;
}

// ---- telling the user -----------------------------------------------------------------------

void show_records_place(const char* format)
{
    const char* mark = std::strstr(format, "%s"); // '%' is never a double-byte character's second byte
    WCHAR text[MESSAGE_SIZE], part[MESSAGE_SIZE];
    int len = widen(format, mark ? (int)(mark - format) : -1, text, MESSAGE_SIZE);
    if (mark) {
        widen("（不明）", -1, part, MESSAGE_SIZE);
        append(text, MESSAGE_SIZE, &len, records_path[0] ? records_path : part);
        widen(mark + 2, -1, part, MESSAGE_SIZE);
        append(text, MESSAGE_SIZE, &len, part);
    }
    show_message_wide(text);
}

static const char* reason_text(DWORD error)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return "書き込みが許可されていません。";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "ディスクに空きがありません。";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "保存するフォルダーを作れません。途中にフォルダーではない同じ名前のファイルがあるかもしれません。";
    case ERROR_WRITE_PROTECT:
        return "書き込み禁止の場所です。";
    case ERROR_SHARING_VIOLATION:
        return "ほかのプログラムがファイルを使っています。";
    default:
        return nullptr;
    }
}

static void tell_once(DWORD error)
{
    if (records_failure_told)
        return;
    records_failure_told = 1;
    char reason[256];
    const char* known = records_path[0] ? reason_text(error) : NO_FOLDER_TEXT;
    if (known)
        std::snprintf(reason, sizeof reason, "%s", known);
    else
        std::snprintf(reason, sizeof reason, "書き込みに失敗しました（エラー番号 %lu）。", (unsigned long)error);
    char format[1024];
    std::snprintf(format, sizeof format,
                  "成績の記録を保存できません。\n\n場所：%%s\n理由：%s\n\n"
                  "練習はこのまま続けられます。保存できるようになるまで、成績は記録されません。",
                  reason);
    show_records_place(format);
}

// ---- writing --------------------------------------------------------------------------------

// Makes every folder on the way to the file; one that cannot be made shows
// when the file is opened.
static void make_folders(const WCHAR* path)
{
    WCHAR part[RECORDS_PATH_SIZE];
    for (int i = 1; path[i] && i < RECORDS_PATH_SIZE; i++) {
        if (!is_separator(path[i]))
            continue;
        std::memcpy(part, path, (size_t)i * sizeof(WCHAR));
        part[i] = 0;
        CreateDirectoryW(part, nullptr);
    }
}

static HANDLE open_for_append(const WCHAR* path)
{
    return CreateFileW(path, GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static DWORD write_flushed(HANDLE h, const char* bytes, int n)
{
    DWORD written = 0;
    if (!WriteFile(h, bytes, (DWORD)n, &written, nullptr))
        return GetLastError();
    if (written != (DWORD)n)
        return ERROR_DISK_FULL;
    return FlushFileBuffers(h) ? ERROR_SUCCESS : GetLastError();
}

// Starts the file: the header written whole under a name of this process,
// then that name moved to the records name unless another copy of the game
// has made the file meanwhile.
static DWORD create_file(const WCHAR* path)
{
    make_folders(path);
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%lu.new", (unsigned long)GetCurrentProcessId());
    WCHAR fresh[RECORDS_PATH_SIZE + sizeof suffix];
    int len = 0;
    append(fresh, (int)(sizeof fresh / sizeof fresh[0]), &len, path);
    append(fresh, (int)(sizeof fresh / sizeof fresh[0]), &len, suffix);
    HANDLE h = CreateFileW(fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = write_flushed(h, RECORDS_FILE_START, START_SIZE);
    CloseHandle(h);
    if (error == ERROR_SUCCESS && !MoveFileExW(fresh, path, MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            error = ERROR_SUCCESS; // the other copy's file is as good
    }
    DeleteFileW(fresh); // gone already when it was moved
    return error;
}

// What must come before a row: the header for a file left empty, a line end
// after a row cut short, else nothing. Returns its length in out.
static int lead_in(HANDLE h, char* out)
{
    LARGE_INTEGER size{}, last{};
    if (!GetFileSizeEx(h, &size))
        return 0;
    if (size.QuadPart == 0) {
        std::memcpy(out, RECORDS_FILE_START, START_SIZE);
        return START_SIZE;
    }
    last.QuadPart = size.QuadPart - 1;
    char c = 0;
    DWORD got = 0;
    if (!SetFilePointerEx(h, last, nullptr, FILE_BEGIN) || !ReadFile(h, &c, 1, &got, nullptr) || got != 1)
        return 0;
    if (c == '\n')
        return 0;
    std::memcpy(out, "\r\n", 2);
    return 2;
}

// Appending copies take turns on one byte far past any data, so that no copy
// looks at the file's last byte while another's row is half written (a
// reader may see a write's first page before its second). A lock there keeps
// no reader of the rows waiting, on Windows either.
constexpr DWORD TURN_OFFSET_HIGH = 0x40000000; // 2^62 bytes in

static void take_turn(HANDLE h, OVERLAPPED* at, bool take)
{
    *at = OVERLAPPED{};
    at->OffsetHigh = TURN_OFFSET_HIGH;
    if (take)
        LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, at); // without the lock the row is still written
    else
        UnlockFileEx(h, 0, 1, 0, at);
}

static DWORD append_to(const WCHAR* path, const char* row, int len)
{
    static char bytes[START_SIZE + ROW_SIZE];
    HANDLE h = open_for_append(path);
    DWORD error = GetLastError();
    if (h == INVALID_HANDLE_VALUE && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        error = create_file(path);
        if (error != ERROR_SUCCESS)
            return error;
        h = open_for_append(path);
        error = GetLastError();
    }
    if (h == INVALID_HANDLE_VALUE)
        return error;
    OVERLAPPED turn;
    take_turn(h, &turn, true);
    int n = lead_in(h, bytes);
    std::memcpy(bytes + n, row, (size_t)len);
    error = write_flushed(h, bytes, n + len);
    take_turn(h, &turn, false);
    CloseHandle(h);
    return error;
}

bool append_record_row(const char* row, int len)
{
    if (len <= 0 || len > ROW_SIZE)
        return false;
    const WCHAR* path = records_file_path();
    DWORD error = path[0] ? append_to(path, row, len) : ERROR_PATH_NOT_FOUND;
    if (error == ERROR_SUCCESS)
        return true;
    tell_once(error);
    return false;
}
