// record_row.cpp -- writing a finished line as a CSV row and reading it back.
//
// The per-character column holds one entry per character of the line,
// separated by single spaces: the milliseconds, then ":" and the wrong keys
// typed before it when there were any (letters and digits as they are, any
// other byte as %XX), then "+n" for wrong keys beyond those named. A reader
// checks a row against itself (bytes, characters, misses), so that a row cut
// short anywhere is never taken for a whole one.
#include "records/record_row.h"

#include "drill/results.h"

#include <cstdio>
#include <cstring>

const char* const RECORD_COLUMN_NAMES[RECORD_COLUMNS] = {
    "finished_at", "mode", "game", "source", "text", "chars", "seconds", "chars_per_second", "misses", "per_char",
};
static_assert(sizeof RECORD_COLUMN_NAMES / sizeof RECORD_COLUMN_NAMES[0] == RECORD_COLUMNS, "one name a column");


constexpr int CP932 = 932;
constexpr int FIELDS_MAX = 32;    // columns a row may have, ours and any a spreadsheet added
constexpr int TEXT_ROOM = 6144;   // UTF-8 bytes of one converted field
constexpr int LINE_CHARS_MAX = 1023;

// ---- writing ------------------------------------------------------------------------------

struct RowOut {
    char* p;
    int size;
    int len;
    bool ok;
};

static void put(RowOut* o, const char* s, int n)
{
    if (!o->ok || n > o->size - 1 - o->len) {
        o->ok = false;
        return;
    }
    std::memcpy(o->p + o->len, s, (size_t)n);
    o->len += n;
}

static void put_str(RowOut* o, const char* s) { put(o, s, (int)std::strlen(s)); }

static void put_int(RowOut* o, long long v)
{
    char digits[24];
    put(o, digits, std::snprintf(digits, sizeof digits, "%lld", v));
}

// A text field: quoted when it holds a comma or a quote, the quote doubled.
// A line break never enters a field: it would split the row for a reader
// that reads line by line, so it is written as a space.
static void put_field(RowOut* o, const char* s, int n)
{
    bool quote = false;
    for (int i = 0; i < n; i++)
        quote = quote || s[i] == ',' || s[i] == '"';
    if (quote)
        put(o, "\"", 1);
    for (int i = 0; i < n; i++) {
        char c = s[i] == '\r' || s[i] == '\n' ? ' ' : s[i];
        put(o, &c, 1);
        if (c == '"')
            put(o, "\"", 1);
    }
    if (quote)
        put(o, "\"", 1);
}

// One CP932 character (1 or 2 bytes) in UTF-8. One that has no Unicode
// equivalent is written as a character of the same width ("?" or "・"), so
// that the row still counts the line's bytes right.
static int char_to_utf8(const char* s, int n, char* out, int cap)
{
    WCHAR wide[4];
    int units = MultiByteToWideChar(CP932, 0, s, n, wide, 4);
    int got = units > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, units, out, cap, nullptr, nullptr) : 0;
    if (got > 0)
        return got;
    const char* stand_in = n == 2 ? "\xE3\x83\xBB" : "?";
    int len = (int)std::strlen(stand_in);
    std::memcpy(out, stand_in, (size_t)len);
    return len;
}

static int cp932_char_bytes(const char* s, int left)
{
    return left >= 2 && IsDBCSLeadByte((BYTE)s[0]) ? 2 : 1;
}

static void put_cp932_text(RowOut* o, const char* s, int n)
{
    static char utf8[TEXT_ROOM];
    int len = 0;
    for (int i = 0; i < n && len + 8 < TEXT_ROOM;) {
        if ((unsigned char)s[i] < 0x80) { // ASCII is the same in UTF-8
            utf8[len++] = s[i++];
            continue;
        }
        int c = cp932_char_bytes(s + i, n - i);
        len += char_to_utf8(s + i, c, utf8 + len, TEXT_ROOM - len);
        i += c;
    }
    put_field(o, utf8, len);
}

static bool plain_key(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

static void put_char_entry(RowOut* o, const CharRecord& c)
{
    put_int(o, c.ms > CHAR_MS_MAX ? CHAR_MS_MAX : c.ms);
    int listed = c.listed < 0 ? 0 : (c.listed > WRONG_KEYS_LISTED ? WRONG_KEYS_LISTED : c.listed);
    if (listed > 0)
        put(o, ":", 1);
    for (int k = 0; k < listed; k++) {
        unsigned char b = (unsigned char)c.wrong[k];
        char code[4];
        if (plain_key(b))
            put(o, (const char*)&b, 1);
        else
            put(o, code, std::snprintf(code, sizeof code, "%%%02X", b));
    }
    if (c.misses > listed) {
        put(o, "+", 1);
        put_int(o, c.misses - listed);
    }
}

int format_record_row(char* out, int size, const RecordFacts& f)
{
    RowOut o{out, size, 0, size > 0};
    const SYSTEMTIME& t = f.finished;
    int off = f.utc_offset_min < 0 ? -f.utc_offset_min : f.utc_offset_min;
    char stamp[48];
    put(&o, stamp,
        std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02uT%02u:%02u:%02u%c%02d:%02d,", t.wYear, t.wMonth, t.wDay,
                      t.wHour, t.wMinute, t.wSecond, f.utc_offset_min < 0 ? '-' : '+', off / 60, off % 60));
    put_int(&o, f.mode);
    put(&o, ",", 1);
    put_int(&o, f.game);
    put(&o, ",", 1);
    put_field(&o, f.source, (int)std::strlen(f.source));
    put(&o, ",", 1);
    put_cp932_text(&o, f.text, f.text_bytes);
    put(&o, ",", 1);
    put_int(&o, f.chars);
    char time[32], speed[64];
    format_line_time(time, sizeof time, f.ticks);
    format_line_speed(speed, sizeof speed, f.chars, f.ticks, f.lesson);
    put(&o, ",", 1);
    put_str(&o, time);
    put(&o, ",", 1);
    put_str(&o, f.ticks > 0 ? speed : ""); // no time, no speed: an empty cell, not a text among numbers
    put(&o, ",", 1);
    put_int(&o, f.misses);
    put(&o, ",", 1);
    for (int i = 0; i < f.char_count; i++) {
        if (i > 0)
            put(&o, " ", 1);
        put_char_entry(&o, f.per_char[i]);
    }
    put(&o, "\r\n", 2);
    if (!o.ok)
        return -1;
    out[o.len] = 0;
    return o.len;
}

// ---- reading -----------------------------------------------------------------------------------

struct Field {
    const char* p;
    int n;
};

int day_number(int year, int month, int day)
{
    // Days from 1970-01-01, counting years from March so that the leap day
    // comes last.
    int y = year - (month <= 2);
    int era = (y >= 0 ? y : y - 399) / 400;
    int yoe = y - era * 400;
    int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void date_of_day(int day, int* year, int* month, int* date)
{
    int z = day + 719468;
    int era = (z >= 0 ? z : z - 146096) / 146097;
    int doe = z - era * 146097;
    int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int mp = (5 * doy + 2) / 153;
    *date = doy - (153 * mp + 2) / 5 + 1;
    *month = mp < 10 ? mp + 3 : mp - 9;
    *year = yoe + era * 400 + (*month <= 2);
}

// Splits a line into fields, unquoting quoted ones into room. False for a
// quote left open, text after a closing quote, or too many fields.
static bool split_fields(const char* s, int n, char* room, int room_size, Field* fields, int* count)
{
    int k = 0, used = 0, i = 0;
    for (;;) {
        if (k == FIELDS_MAX)
            return false;
        if (i < n && s[i] == '"') {
            char* start = room + used;
            for (i++;; i++) {
                if (i >= n || used >= room_size)
                    return false;
                if (s[i] == '"' && !(i + 1 < n && s[i + 1] == '"'))
                    break;
                if (s[i] == '"')
                    i++;
                room[used++] = s[i];
            }
            fields[k++] = Field{start, (int)(room + used - start)};
            i++;
            if (i < n && s[i] != ',')
                return false;
        } else {
            const char* comma = (const char*)std::memchr(s + i, ',', (size_t)(n - i));
            int stop = comma ? (int)(comma - s) : n;
            if (std::memchr(s + i, '"', (size_t)(stop - i)))
                return false; // a quote inside an unquoted field
            fields[k++] = Field{s + i, stop - i};
            i = stop;
        }
        if (i >= n)
            break;
        i++; // the comma
    }
    *count = k;
    return true;
}

static bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads digits at s[*i]; false when there are none or too many.
static bool read_uint(const char* s, int n, int* i, long long* v, int max_digits)
{
    int start = *i;
    long long value = 0;
    while (*i < n && is_digit(s[*i]) && *i - start < max_digits)
        value = value * 10 + (s[(*i)++] - '0');
    *v = value;
    return *i > start && !(*i < n && is_digit(s[*i]));
}

static bool whole_int(const Field& f, long long low, long long high, int* out)
{
    int i = 0;
    long long v;
    if (!read_uint(f.p, f.n, &i, &v, 9) || i != f.n || v < low || v > high)
        return false;
    *out = (int)v;
    return true;
}

// A plain decimal, "12" or "12.345678"; false for anything else.
static bool read_decimal(const Field& f, double* out)
{
    int i = 0;
    long long whole;
    if (!read_uint(f.p, f.n, &i, &whole, 9))
        return false;
    double v = (double)whole, scale = 1;
    if (i < f.n && f.p[i] == '.') {
        int start = ++i;
        while (i < f.n && is_digit(f.p[i]) && i - start < 12) {
            scale /= 10;
            v += (f.p[i++] - '0') * scale;
        }
        if (i == start)
            return false;
    }
    *out = v;
    return i == f.n;
}

static bool read_sep(const char* s, int n, int* i, const char* any)
{
    if (*i >= n || !std::strchr(any, s[*i]))
        return false;
    (*i)++;
    return true;
}

static bool days_valid(long long y, long long m, long long d)
{
    static constexpr int DAYS[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m >= 1 && m <= 12 && d >= 1 && d <= DAYS[m - 1] && !(m == 2 && d == 29 && !leap);
}

// "2024-05-01T14:03:22+09:00" as written; also the forms a spreadsheet saves
// the cell back in ("2024/05/01 14:03" and the like). The offset is not
// needed: days and hours are the player's own, as written.
static bool read_stamp(const Field& f, SYSTEMTIME* t)
{
    const char* s = f.p;
    int n = f.n, i = 0;
    long long y, mo, d, h, mi, sec = 0;
    if (!read_uint(s, n, &i, &y, 4) || !read_sep(s, n, &i, "-/") || !read_uint(s, n, &i, &mo, 2) ||
        !read_sep(s, n, &i, "-/") || !read_uint(s, n, &i, &d, 2) || !read_sep(s, n, &i, "T ") ||
        !read_uint(s, n, &i, &h, 2) || !read_sep(s, n, &i, ":") || !read_uint(s, n, &i, &mi, 2))
        return false;
    if (i < n && s[i] == ':' && (++i, !read_uint(s, n, &i, &sec, 2)))
        return false;
    if (y < 1970 || !days_valid(y, mo, d) || h > 23 || mi > 59 || sec > 60)
        return false;
    *t = SYSTEMTIME{(WORD)y, (WORD)mo, 0, (WORD)d, (WORD)h, (WORD)mi, (WORD)(sec > 59 ? 59 : sec), 0};
    if (i < n && s[i] == 'Z')
        i++;
    else if (i < n && (s[i] == '+' || s[i] == '-')) {
        long long oh, om;
        i++;
        if (!read_uint(s, n, &i, &oh, 2) || !read_sep(s, n, &i, ":") || !read_uint(s, n, &i, &om, 2))
            return false;
    }
    return i == n;
}

// Counts a UTF-8 text's characters and the bytes it takes in CP932 (one for
// ASCII and half-width katakana, two for the rest). False for broken UTF-8.
static bool measure_text(const Field& f, int* chars, int* cp932_bytes)
{
    int c = 0, b = 0;
    for (int i = 0; i < f.n;) {
        unsigned char lead = (unsigned char)f.p[i];
        if (lead < 0x80) {
            c++, b++, i++;
            continue;
        }
        int len = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : 0;
        if (len == 0 || i + len > f.n)
            return false;
        unsigned code = len == 1 ? lead : len == 2 ? lead & 0x1F : lead & 0x0F;
        for (int k = 1; k < len; k++) {
            if (((unsigned char)f.p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | ((unsigned char)f.p[i + k] & 0x3F);
        }
        b += code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) ? 1 : 2;
        c++;
        i += len;
    }
    *chars = c;
    *cp932_bytes = b;
    return c > 0;
}

static int hex_value(char c)
{
    if (is_digit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the wrong keys after the ':' of an entry, up to the next ' ' or '+'.
static bool read_wrong_keys(const char** at, const char* end, CharRecord* c)
{
    const char* s = *at;
    for (; s < end && *s != ' ' && *s != '+'; c->misses++) {
        unsigned char b = (unsigned char)*s;
        if (b == '%') {
            if (end - s < 3 || hex_value(s[1]) < 0 || hex_value(s[2]) < 0)
                return false;
            b = (unsigned char)(hex_value(s[1]) * 16 + hex_value(s[2]));
            s += 3;
        } else if (plain_key(b)) {
            s++;
        } else {
            return false;
        }
        if (c->listed < WRONG_KEYS_LISTED)
            c->wrong[c->listed++] = (char)b;
    }
    *at = s;
    return c->misses > 0;
}

// Digits at *at, at most max of them, into *v; false when there are none or more.
static bool read_digits(const char** at, const char* end, int max, unsigned* v)
{
    const char *s = *at, *start = s;
    unsigned value = 0;
    while (s < end && (unsigned)(*s - '0') < 10u) {
        if (s - start == max)
            return false;
        value = value * 10 + (unsigned)(*s++ - '0');
    }
    *at = s;
    *v = value;
    return s > start;
}

// The per-character column: exactly `count` entries, one space between each,
// whose misses add up to `misses`. Read in one pass: it is most of the file.
static bool read_per_char(const Field& f, int count, int misses, CharRecord* out)
{
    const char *s = f.p, *end = f.p + f.n;
    int sum = 0;
    for (int k = 0; k < count; k++) {
        CharRecord& c = out[k];
        c.misses = c.listed = 0;
        if ((k > 0 && (s >= end || *s++ != ' ')) || !read_digits(&s, end, 7, &c.ms))
            return false;
        if (s < end && *s == ':' && (++s, !read_wrong_keys(&s, end, &c)))
            return false;
        unsigned more = 0;
        if (s < end && *s == '+' && (++s, !read_digits(&s, end, 6, &more) || more == 0))
            return false;
        c.misses += (int)more;
        sum += c.misses;
    }
    return s == end && sum == misses;
}

void default_column_map(ColumnMap* map)
{
    for (int c = 0; c < RECORD_COLUMNS; c++)
        map->field_of[c] = c;
}

bool read_header(const char* line, int len, ColumnMap* map)
{
    static char room[ROW_SIZE];
    Field fields[FIELDS_MAX];
    int count = 0;
    if (len >= 3 && std::memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
        line += 3;
        len -= 3;
    }
    if (!split_fields(line, len, room, ROW_SIZE, fields, &count))
        return false;
    for (int c = 0; c < RECORD_COLUMNS; c++) {
        map->field_of[c] = -1;
        for (int k = 0; k < count; k++)
            if ((int)std::strlen(RECORD_COLUMN_NAMES[c]) == fields[k].n &&
                std::memcmp(RECORD_COLUMN_NAMES[c], fields[k].p, (size_t)fields[k].n) == 0)
                map->field_of[c] = k;
        if (map->field_of[c] < 0)
            return false;
    }
    return true;
}

// The numbers of a row: mode, game, bytes, time, speed, misses.
static bool read_figures(const Field* col, RecordFacts* f)
{
    double seconds;
    if (!whole_int(col[COL_MODE], 1, 3, &f->mode) || !whole_int(col[COL_GAME], 0, 2, &f->game) ||
        !whole_int(col[COL_CHARS], 1, LINE_CHARS_MAX, &f->chars) ||
        !whole_int(col[COL_MISSES], 0, 99999999, &f->misses) || !read_decimal(col[COL_SECONDS], &seconds))
        return false;
    f->tenths = (int)(seconds * 10 + 0.5);
    f->speed = -1;
    const Field& speed = col[COL_SPEED];
    bool none = speed.n == 0 || (speed.n == 3 && std::memcmp(speed.p, "---", 3) == 0);
    return none || (read_decimal(speed, &f->speed) && f->speed > 0);
}

bool read_record_row(const char* line, int len, const ColumnMap& map, RecordFacts* f)
{
    static char room[ROW_SIZE];
    static CharRecord chars[ROW_CHARS_MAX];
    Field fields[FIELDS_MAX], col[RECORD_COLUMNS];
    int count = 0;
    if (len <= 0 || !split_fields(line, len, room, ROW_SIZE, fields, &count))
        return false;
    for (int c = 0; c < RECORD_COLUMNS; c++) {
        if (map.field_of[c] >= count)
            return false;
        col[c] = fields[map.field_of[c]];
    }
    int cp932_bytes = 0;
    if (!read_stamp(col[COL_FINISHED_AT], &f->finished) || !read_figures(col, f) ||
        !measure_text(col[COL_TEXT], &f->char_count, &cp932_bytes) || cp932_bytes != f->chars ||
        f->char_count > ROW_CHARS_MAX || !read_per_char(col[COL_PER_CHAR], f->char_count, f->misses, chars))
        return false;
    f->utc_offset_min = 0;
    f->source = "";
    f->text = col[COL_TEXT].p;
    f->text_bytes = col[COL_TEXT].n;
    f->ticks = f->lesson = 0;
    f->per_char = chars;
    return true;
}
