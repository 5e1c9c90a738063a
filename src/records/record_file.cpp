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
char records_path[RECORDS_PATH_SIZE] = "";
int records_failure_told = 0;

#ifdef _WIN32
static const char RECORDS_FOLDER[] = "LumekoTrainer";
static const char SEPARATOR[] = "\\";
static const char NO_FOLDER_TEXT[] = "環境変数 APPDATA がないため、保存するフォルダーが分かりません。";
#else
static const char RECORDS_FOLDER[] = "lumeko-trainer";
static const char SEPARATOR[] = "/";
static const char NO_FOLDER_TEXT[] = "環境変数 XDG_DATA_HOME も HOME もないため、保存するフォルダーが分かりません。";
#endif

constexpr int START_SIZE = sizeof RECORDS_FILE_START - 1;

// An environment variable into out (size bytes); false when it is unset,
// empty or too long.
static bool read_env(const char* name, char* out, DWORD size)
{
    DWORD n = GetEnvironmentVariableA(name, out, size);
    return n > 0 && n < size;
}

// The folder the records folder goes in.
static bool data_folder(char* out, DWORD size)
{
#ifdef _WIN32
    return read_env("APPDATA", out, size);
#else
    if (read_env("XDG_DATA_HOME", out, size) && out[0] == '/') // a relative value is not valid: ignored
        return true;
    char home[RECORDS_PATH_SIZE];
    if (!read_env("HOME", home, sizeof home))
        return false;
    int n = std::snprintf(out, size, "%s/.local/share", home);
    return n > 0 && n < (int)size;
#endif
}

const char* records_file_path()
{
    char base[RECORDS_PATH_SIZE];
    records_path[0] = 0;
    if (!data_folder(base, sizeof base))
        return records_path;
    size_t len = std::strlen(base);
    const char* sep = len > 0 && (base[len - 1] == '/' || base[len - 1] == SEPARATOR[0]) ? "" : SEPARATOR;
    int n = std::snprintf(records_path, sizeof records_path, "%s%s%s%s%s", base, sep, RECORDS_FOLDER, SEPARATOR,
                          RECORDS_FILE_NAME);
    if (n < 0 || n >= (int)sizeof records_path)
        records_path[0] = 0; // too long to name: treated as no folder at all
    return records_path;
}

// ---- telling the user -----------------------------------------------------------------------

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
    char text[1024];
    std::snprintf(text, sizeof text,
                  "成績の記録を保存できません。\n\n場所：%s\n理由：%s\n\n"
                  "練習はこのまま続けられます。保存できるようになるまで、成績は記録されません。",
                  records_path[0] ? records_path : "（不明）", reason);
    show_message(text);
}

// ---- writing --------------------------------------------------------------------------------

// Makes every folder on the way to the file; one that cannot be made shows
// when the file is opened.
static void make_folders(const char* path)
{
    char part[RECORDS_PATH_SIZE];
    for (int i = 1; path[i] && i < RECORDS_PATH_SIZE; i++) {
        if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1]) {
            i++; // a double-byte character's second byte may look like '\'
            continue;
        }
        if (path[i] != '/' && path[i] != '\\')
            continue;
        std::memcpy(part, path, (size_t)i);
        part[i] = 0;
        CreateDirectoryA(part, nullptr);
    }
}

static HANDLE open_for_append(const char* path)
{
    return CreateFileA(path, GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
static DWORD create_file(const char* path)
{
    make_folders(path);
    char fresh[RECORDS_PATH_SIZE + 32];
    std::snprintf(fresh, sizeof fresh, "%s.%lu.new", path, (unsigned long)GetCurrentProcessId());
    HANDLE h = CreateFileA(fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = write_flushed(h, RECORDS_FILE_START, START_SIZE);
    CloseHandle(h);
    if (error == ERROR_SUCCESS && !MoveFileExA(fresh, path, MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            error = ERROR_SUCCESS; // the other copy's file is as good
    }
    DeleteFileA(fresh); // gone already when it was moved
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

static DWORD append_to(const char* path, const char* row, int len)
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
    const char* path = records_file_path();
    DWORD error = path[0] ? append_to(path, row, len) : ERROR_PATH_NOT_FOUND;
    if (error == ERROR_SUCCESS)
        return true;
    tell_once(error);
    return false;
}
