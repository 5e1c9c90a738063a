// settings.cpp -- the settings file: where it lives, reading it at start-up,
// and writing one key for the menu commands.
#include "shell/settings.h"

#include "display/view.h"
#include "shell/platform/win32.h"
#include "text/store.h"

#include <climits>
#include <cstdio>
#include <cstring>

int size_flag = 2;
int sound_on = 1;

const char SETTINGS_FILE[] = "LumekoTrainer.ini";
const char SETTINGS_SECTION[] = "set";
const char SETTINGS_FOLDER[] = "LumekoTrainer";

char settings_read_path[SETTINGS_PATH_SIZE] = "LumekoTrainer.ini";
char settings_write_path[SETTINGS_PATH_SIZE] = "LumekoTrainer.ini";

// ---- where the file lives -----------------------------------------------------------

// Offset of the last backslash of a Shift-JIS path, -1 when it has none. A
// double-byte character's second byte may be 0x5C ('表') and is no separator.
static int last_separator(const char* path)
{
    int last = -1;
    for (int i = 0; path[i]; i++) {
        if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1])
            i++;
        else if (path[i] == '\\')
            last = i;
    }
    return last;
}

void choose_settings_paths(const char* appdata, int user_file_exists)
{
    std::snprintf(settings_read_path, SETTINGS_PATH_SIZE, "%s", SETTINGS_FILE);
    settings_write_path[0] = 0; // nowhere, until a folder is known
    if (!appdata || !*appdata)
        return;
    int len = (int)std::strlen(appdata);
    const char* sep = last_separator(appdata) == len - 1 ? "" : "\\";
    char path[SETTINGS_PATH_SIZE];
    int n = std::snprintf(path, sizeof path, "%s%s%s\\%s", appdata, sep, SETTINGS_FOLDER, SETTINGS_FILE);
    if (n < 0 || n >= (int)sizeof path)
        return; // a folder too long to name
    std::memcpy(settings_write_path, path, (size_t)n + 1);
    if (user_file_exists)
        std::memcpy(settings_read_path, path, (size_t)n + 1);
}

// ---- the first write to the per-user file -------------------------------------------

constexpr int KEY_LIST_SIZE = 2048; // the names of the old file's keys (it holds five)
constexpr int VALUE_SIZE = 520;
static const char FRESH_SUFFIX[] = ".new"; // the per-user file while it is being made

// Writes every key of the old file's section into the file at path. False
// when one cannot be read whole or written.
static bool copy_old_settings(const char* path)
{
    char keys[KEY_LIST_SIZE];
    DWORD n = GetPrivateProfileStringA(SETTINGS_SECTION, nullptr, "", keys, sizeof keys, SETTINGS_FILE);
    if (n >= sizeof keys - 2)
        return false; // the list was cut: some key would be left behind
    for (const char* key = keys; *key; key += std::strlen(key) + 1) {
        char value[VALUE_SIZE];
        DWORD v = GetPrivateProfileStringA(SETTINGS_SECTION, key, "", value, sizeof value, SETTINGS_FILE);
        if (v >= sizeof value - 1 || !WritePrivateProfileStringA(SETTINGS_SECTION, key, value, path))
            return false;
    }
    return true;
}

// Makes the per-user file under a name of its own, holding every setting of
// the old file and then this one, and only then gives it its name: a step
// that fails leaves no per-user file, and the old one stays in use, whole.
static bool make_user_file(const char* key, const char* value)
{
    char folder[SETTINGS_PATH_SIZE];
    std::memcpy(folder, settings_write_path, sizeof folder);
    int sep = last_separator(folder);
    if (sep > 0) {
        folder[sep] = 0;
        CreateDirectoryA(folder, nullptr);
    }
    char fresh[SETTINGS_PATH_SIZE];
    int n = std::snprintf(fresh, sizeof fresh, "%s%s", settings_write_path, FRESH_SUFFIX);
    if (n < 0 || n >= (int)sizeof fresh)
        return false;
    DeleteFileA(fresh); // left by a run that ended half way
    if (copy_old_settings(fresh) && WritePrivateProfileStringA(SETTINGS_SECTION, key, value, fresh) &&
        MoveFileExA(fresh, settings_write_path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(fresh);
    return false;
}

#ifdef _WIN32
static int is_file(const char* path)
{
    DWORD attr = GetFileAttributesA(path);
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// APPDATA in the code page the profile calls take. A folder name the code
// page cannot hold whole (a user named outside it) would name another folder:
// it counts as no folder at all, so the settings are kept for the session.
static void read_appdata(char* out, int size)
{
    WCHAR wide[SETTINGS_PATH_SIZE];
    BOOL lossy = FALSE;
    DWORD n = GetEnvironmentVariableW(L"APPDATA", wide, SETTINGS_PATH_SIZE);
    if (n == 0 || n >= SETTINGS_PATH_SIZE ||
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, size, nullptr, &lossy) <= 0 || lossy)
        out[0] = 0;
}

static void find_settings_file()
{
    char appdata[SETTINGS_PATH_SIZE];
    read_appdata(appdata, sizeof appdata);
    choose_settings_paths(appdata, 0);
    choose_settings_paths(appdata, is_file(settings_write_path));
}

#else
// The platform layer keeps a bare name in the user's config directory.
static void find_settings_file()
{
    std::snprintf(settings_read_path, SETTINGS_PATH_SIZE, "%s", SETTINGS_FILE);
    std::snprintf(settings_write_path, SETTINGS_PATH_SIZE, "%s", SETTINGS_FILE);
}
#endif

int save_setting(const char* key, const char* value)
{
    if (!settings_write_path[0])
        return 0;
    if (std::strcmp(settings_read_path, settings_write_path) == 0)
        WritePrivateProfileStringA(SETTINGS_SECTION, key, value, settings_write_path);
    else if (make_user_file(key, value))
        std::memcpy(settings_read_path, settings_write_path, sizeof settings_read_path);
    return 1;
}

// ---- reading ----------------------------------------------------------------------------

// Reads one key into the shared scratch buffer and returns it.
static const char* read_key(const char* key, const char* default_value)
{
    GetPrivateProfileStringA(SETTINGS_SECTION, key, default_value, text_buffer, TEXT_BUFFER_SIZE, settings_read_path);
    return text_buffer;
}

// Reads a number as Windows' atoi does: blanks, a sign, digits, anything after
// ignored; a value beyond int saturates instead of wrapping round (a huge
// number must not come out as a small usable one).
static int read_number(const char* s)
{
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        s++;
    bool negative = *s == '-';
    if (*s == '-' || *s == '+')
        s++;
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; s++) {
        value = value * 10 + (*s - '0');
        if (value > (long long)INT_MAX + 1)
            value = (long long)INT_MAX + 1; // enough to saturate either way, and no overflow
    }
    if (negative)
        return (int)(-value < INT_MIN ? INT_MIN : -value);
    return (int)(value > INT_MAX ? INT_MAX : value);
}

void read_settings()
{
    find_settings_file();
    sound_on = std::strcmp(read_key("oto", "1"), "0") == 0 ? 0 : 1;
    typing_mode = read_number(read_key("typemode", "1"));
    if (typing_mode < MODE_BEGINNER_1 || typing_mode > MODE_ADVANCED)
        typing_mode = MODE_BEGINNER_1;
    size_flag = read_number(read_key("sizeflag", "2"));
    read_key("en", "0"); // the cell size the last size choice gave; the layout derives its own
    lookahead = read_number(read_key("sakiyomi", "2"));
    if (lookahead < LOOKAHEAD_MIN || lookahead > LOOKAHEAD_MAX)
        lookahead = 2;
}
