// settings.cpp -- reading the settings file at start-up.
#include "shell/settings.h"

#include "shell/platform/win32.h"
#include "text/store.h"

#include <climits>
#include <cstring>

int typing_mode = 1;
int size_flag = 2;
int lookahead = 2;
int sound_on = 1;

const char SETTINGS_FILE[] = "LumekoTrainer.ini";
const char SETTINGS_SECTION[] = "set";

// Reads one key into the shared scratch buffer and returns it.
static const char* read_key(const char* key, const char* default_value)
{
    GetPrivateProfileStringA(SETTINGS_SECTION, key, default_value, text_buffer, TEXT_BUFFER_SIZE, SETTINGS_FILE);
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
    sound_on = std::strcmp(read_key("oto", "1"), "0") == 0 ? 0 : 1;
    typing_mode = read_number(read_key("typemode", "1"));
    if (typing_mode < 1 || typing_mode > 3)
        typing_mode = 1;
    size_flag = read_number(read_key("sizeflag", "2"));
    read_key("en", "0"); // the cell size the last size choice gave; the layout derives its own
    lookahead = read_number(read_key("sakiyomi", "2"));
    if (lookahead < 1 || lookahead > 5)
        lookahead = 2;
}
