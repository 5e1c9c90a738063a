// line_log.cpp -- the times and wrong keys of the line being typed, and the
// row written when it is finished.
//
// Times come from the monotonic millisecond clock (GetTickCount64), not from
// the 50 ms ticks that time the line for its result box; these keep going as
// they always have. A key is one byte, except that the two bytes of a
// double-byte character make one character of the row, and the Enter key's
// CR LF, like the second byte of a wrong double-byte character, counts once.
#include "records/line_log.h"

#include "display/view.h"
#include "drill/engine.h"
#include "drill/results.h"
#include "records/record_file.h"
#include "records/record_row.h"
#include "shell/commands.h"
#include "text/store.h"

#include <cstring>

struct ByteLog {
    unsigned ms;
    int misses;
    int listed;
    char wrong[WRONG_KEYS_LISTED];
};

static ByteLog bytes[ROW_CHARS_MAX];
static unsigned long long expected_since = 0; // line clock when the byte to type became the one
static unsigned long long paused_total = 0;
static unsigned long long paused_at = 0;
static int paused = 0;
static int last_wrong_lead = 0; // the last wrong byte began a double-byte character

static const char RANDOM_SOURCE[] = "random";
static const char WEAK_SOURCE[] = "weak";

unsigned long long line_clock_ms()
{
    unsigned long long now = GetTickCount64();
    return now - paused_total - (paused ? now - paused_at : 0);
}

void line_log_pause()
{
    if (paused)
        return;
    paused = 1;
    paused_at = GetTickCount64();
}

void line_log_resume()
{
    if (!paused)
        return;
    paused_total += GetTickCount64() - paused_at;
    paused = 0;
}

void line_log_start()
{
    std::memset(bytes, 0, sizeof bytes);
    expected_since = line_clock_ms();
    last_wrong_lead = 0;
}

void line_log_accept(int index)
{
    unsigned long long now = line_clock_ms();
    if (index >= 0 && index < ROW_CHARS_MAX) {
        unsigned long long ms = now - expected_since;
        bytes[index].ms = ms > CHAR_MS_MAX ? CHAR_MS_MAX : (unsigned)ms;
    }
    expected_since = now;
    last_wrong_lead = 0;
}

void line_log_miss(int index, int byte)
{
    unsigned char b = (unsigned char)byte;
    bool trail = last_wrong_lead;
    last_wrong_lead = !trail && IsDBCSLeadByte(b);
    if (trail || b == '\n' || index < 0 || index >= ROW_CHARS_MAX)
        return; // the rest of a key already counted
    ByteLog& log = bytes[index];
    log.misses++;
    if (log.listed < WRONG_KEYS_LISTED)
        log.wrong[log.listed++] = (char)b;
}

// The characters of the line: each byte its own, but a double-byte
// character's two bytes one, with their times and wrong keys together.
static int merge_characters(const char* line, int n, CharRecord* out)
{
    int count = 0;
    for (int i = 0; i < n && i < ROW_CHARS_MAX; count++) {
        int len = i + 1 < n && IsDBCSLeadByte((BYTE)line[i]) ? 2 : 1;
        CharRecord c{0, 0, 0, {}};
        for (int k = i; k < i + len; k++) {
            c.ms += bytes[k].ms;
            c.misses += bytes[k].misses;
            for (int w = 0; w < bytes[k].listed && c.listed < WRONG_KEYS_LISTED; w++)
                c.wrong[c.listed++] = bytes[k].wrong[w];
        }
        out[count] = c;
        i += len;
    }
    return count;
}

// The name of the lesson file, without its folders, in UTF-8.
static void lesson_name(char* out, int size)
{
    const char* name = lesson_path;
    for (const char* p = lesson_path; *p; p++) {
        if (IsDBCSLeadByte((BYTE)*p) && p[1]) {
            p++;
            continue;
        }
        if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    WCHAR wide[LESSON_PATH_SIZE];
    int units = MultiByteToWideChar(932, 0, name, -1, wide, LESSON_PATH_SIZE);
    if (units <= 0 || WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, size, nullptr, nullptr) <= 0)
        out[0] = 0;
}

static int utc_offset_minutes()
{
    TIME_ZONE_INFORMATION tz;
    DWORD kind = GetTimeZoneInformation(&tz);
    LONG bias = tz.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT)
        bias += tz.DaylightBias;
    else if (kind == TIME_ZONE_ID_STANDARD)
        bias += tz.StandardBias;
    return kind == TIME_ZONE_ID_INVALID ? 0 : -(int)bias;
}

void line_log_finish()
{
    static CharRecord chars[ROW_CHARS_MAX];
    static char row[ROW_SIZE];
    char lesson[LESSON_PATH_SIZE * 3];
    const char* line = line_table[line_index];
    int n = line_length < ROW_CHARS_MAX ? line_length : ROW_CHARS_MAX - 1;
    RecordFacts f{};
    GetLocalTime(&f.finished);
    f.utc_offset_min = utc_offset_minutes();
    f.mode = typing_mode;
    f.game = game_kind;
    if (text_source == TEXT_SOURCE_LESSON) {
        lesson_name(lesson, sizeof lesson);
        f.source = lesson;
    } else {
        f.source = text_source == TEXT_SOURCE_WEAK ? WEAK_SOURCE : RANDOM_SOURCE;
    }
    f.text = line;
    f.text_bytes = n;
    f.chars = n;
    f.ticks = line_ticks;
    f.lesson = text_source == TEXT_SOURCE_LESSON;
    f.per_char = chars;
    f.char_count = merge_characters(line, n, chars);
    for (int i = 0; i < f.char_count; i++)
        f.misses += chars[i].misses;
    int len = format_record_row(row, ROW_SIZE, f);
    if (len > 0)
        append_record_row(row, len);
}
