// history.cpp -- reading the records file and summing it up.
//
// The file is read in chunks of CHUNK_SIZE bytes and split at line feeds; a
// row that does not check out (cut short, edited into something else) is
// skipped, and so is a line longer than a chunk. The bytes after the last line
// feed are a row still being written: they are read again next time.
#include "records/history.h"

#include "display/keyboard.h"
#include "records/record_file.h"
#include "records/record_row.h"
#include "text/random_lines.h"

#include <cstring>

constexpr int CHUNK_SIZE = 1 << 20;
constexpr int DAY_SLOTS = 64;   // the newest days, by day number modulo this
constexpr int START_KEPT = 256; // bytes of the file's start kept to know it again: the header and more

struct DaySum {
    int day;
    int lines;
    double sum;
    float best;
};

struct KeySamples {
    int count; // samples held, at most KEY_SAMPLES
    int next;  // where the next one goes
    unsigned short ms[KEY_SAMPLES];
    unsigned char missed[KEY_SAMPLES];
};

static LinePoint recent[CHART_LINES];
static int recent_count, recent_next;
static DaySum days[DAY_SLOTS];
static float best_speed;
static int best_day;
static KeySamples keys[KEY_CODES];
static int confusions[KEY_CODES][KEY_CODES];
static int practice_rows, all_rows;

static long long read_offset;   // the file is summed up to here
static char file_start[START_KEPT];
static int file_start_len;
static ColumnMap columns;
static unsigned char key_of_char[KEY_CODES]; // 0: no key

void history_forget()
{
    recent_count = recent_next = 0;
    std::memset(days, 0, sizeof days);
    for (DaySum& d : days)
        d.day = -1;
    best_speed = 0;
    best_day = 0;
    std::memset(keys, 0, sizeof keys);
    std::memset(confusions, 0, sizeof confusions);
    practice_rows = all_rows = 0;
    read_offset = 0;
    file_start_len = 0;
    default_column_map(&columns);
}

static void map_keys()
{
    for (int c = 0; c < KEY_CODES; c++) {
        const KeyCell* e = find_key(key_char((char)c));
        key_of_char[c] = c > 0 && e->ch ? (unsigned char)(e->key_code & 0x7F) : 0;
    }
}

// ---- summing a row ------------------------------------------------------------------------------

static void add_speed(const RecordFacts& f)
{
    if (f.speed <= 0)
        return;
    recent[recent_next] = LinePoint{(float)f.speed, f.mode};
    recent_next = (recent_next + 1) % CHART_LINES;
    if (recent_count < CHART_LINES)
        recent_count++;
    int day = day_number(f.finished.wYear, f.finished.wMonth, f.finished.wDay);
    DaySum& d = days[(unsigned)day % DAY_SLOTS];
    if (d.day > day)
        return; // older than the days kept
    if (d.day != day)
        d = DaySum{day, 0, 0, 0};
    d.lines++;
    d.sum += f.speed;
    if ((float)f.speed > d.best)
        d.best = (float)f.speed;
    if ((float)f.speed > best_speed) {
        best_speed = (float)f.speed;
        best_day = day;
    }
}

static void add_sample(int key, const CharRecord& c)
{
    KeySamples& k = keys[key];
    k.ms[k.next] = (unsigned short)(c.ms > KEY_TIME_CAP_MS ? KEY_TIME_CAP_MS : c.ms);
    k.missed[k.next] = c.misses > 0;
    k.next = (k.next + 1) % KEY_SAMPLES;
    if (k.count < KEY_SAMPLES)
        k.count++;
}

static bool confusable(unsigned char b) { return b == '\r' || (b >= ' ' && b < 0x7F); }

// Each character of the text against its entry of the per-character column;
// only ASCII characters have keys.
static void add_keys(const RecordFacts& f)
{
    const unsigned char* s = (const unsigned char*)f.text;
    for (int i = 0, k = 0; i < f.text_bytes && k < f.char_count; k++) {
        unsigned char b = s[i];
        i += b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
        if (b >= 0x80 || key_of_char[b] == 0)
            continue;
        const CharRecord& c = f.per_char[k];
        add_sample(key_of_char[b], c);
        unsigned char expected = (unsigned char)key_char((char)b);
        for (int w = 0; w < c.listed; w++) {
            unsigned char typed = (unsigned char)key_char(c.wrong[w]);
            if (confusable(typed) && typed != expected)
                confusions[expected][typed]++;
        }
    }
}

static void add_line(const char* line, int len)
{
    RecordFacts f;
    if (len > 0 && line[len - 1] == '\r')
        len--;
    if (read_offset == 0 && read_header(line, len, &columns))
        return;
    if (!read_record_row(line, len, columns, &f))
        return;
    all_rows++;
    if (f.game != 0)
        return;
    practice_rows++;
    add_speed(f);
    add_keys(f);
}

// ---- reading the file ------------------------------------------------------------------------------

static HANDLE open_records()
{
    return CreateFileW(records_file_path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

static int read_at(HANDLE h, long long at, char* out, int n)
{
    LARGE_INTEGER pos{};
    pos.QuadPart = at;
    DWORD got = 0;
    if (!SetFilePointerEx(h, pos, nullptr, FILE_BEGIN) || !ReadFile(h, out, (DWORD)n, &got, nullptr))
        return -1;
    return (int)got;
}

// True when the file still begins as it did when it was read last: one
// deleted and started afresh is read from its start.
static bool same_file(HANDLE h, long long size)
{
    char now[START_KEPT];
    if (read_offset == 0)
        return true;
    if (size < read_offset || file_start_len == 0)
        return false;
    return read_at(h, 0, now, file_start_len) == file_start_len && std::memcmp(now, file_start, (size_t)file_start_len) == 0;
}

// Sums the whole lines of the file from read_offset on, chunk by chunk.
static void read_rows(HANDLE h, long long size)
{
    static char chunk[CHUNK_SIZE];
    bool skipping = false; // inside a line too long for a chunk
    while (read_offset < size) {
        long long want = size - read_offset < CHUNK_SIZE ? size - read_offset : CHUNK_SIZE;
        int got = read_at(h, read_offset, chunk, (int)want);
        if (got <= 0)
            return;
        if (read_offset == 0) {
            file_start_len = got < START_KEPT ? got : START_KEPT;
            std::memcpy(file_start, chunk, (size_t)file_start_len);
        }
        int from = 0;
        for (const char* nl; (nl = (const char*)std::memchr(chunk + from, '\n', (size_t)(got - from)));) {
            int end = (int)(nl - chunk);
            if (!skipping)
                add_line(chunk + from, end - from);
            skipping = false;
            read_offset += end + 1 - from;
            from = end + 1;
        }
        if (from == 0 && got == CHUNK_SIZE) { // no line end in a whole chunk: not a row
            skipping = true;
            read_offset += got;
        } else if (got < want || from == 0) {
            return; // the rest is a row still being written
        }
    }
}

int history_refresh()
{
    static bool ready = false;
    if (!ready) { // the key table and the case tables exist once the game has started
        map_keys();
        history_forget();
        ready = true;
    }
    HANDLE h = open_records();
    if (h == INVALID_HANDLE_VALUE) {
        history_forget(); // no file: no records (deleting it starts afresh)
        return 0;
    }
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size)) {
        if (!same_file(h, size.QuadPart))
            history_forget();
        read_rows(h, size.QuadPart);
    }
    CloseHandle(h);
    return practice_rows;
}

// ---- what the screens read ---------------------------------------------------------------------------

int history_rows() { return practice_rows; }
int history_all_rows() { return all_rows; }

int history_recent(LinePoint* out, int max)
{
    int n = recent_count < max ? recent_count : max;
    for (int i = 0; i < n; i++)
        out[i] = recent[(recent_next - n + i + CHART_LINES) % CHART_LINES];
    return n;
}

bool history_day(int day, float* average, float* best, int* lines)
{
    const DaySum& d = days[(unsigned)day % DAY_SLOTS];
    if (day < 0 || d.day != day || d.lines == 0)
        return false;
    *average = (float)(d.sum / d.lines);
    *best = d.best;
    *lines = d.lines;
    return true;
}

bool history_best(float* speed, int* day)
{
    *speed = best_speed;
    *day = best_day;
    return best_speed > 0;
}

int key_samples(int key) { return key > 0 && key < KEY_CODES ? keys[key].count : 0; }

int key_average_ms(int key)
{
    int n = key_samples(key);
    long long sum = 0;
    for (int i = 0; i < n; i++)
        sum += keys[key].ms[i];
    return n ? (int)((sum + n / 2) / n) : 0;
}

int key_miss_percent(int key)
{
    int n = key_samples(key), missed = 0;
    for (int i = 0; i < n; i++)
        missed += keys[key].missed[i];
    return n ? (missed * 100 + n / 2) / n : 0;
}

int history_confusions(Confusion* out, int max)
{
    int n = 0;
    for (int e = 0; e < KEY_CODES; e++)
        for (int t = 0; t < KEY_CODES; t++) {
            int c = confusions[e][t];
            if (c == 0 || (n == max && c <= out[n - 1].count))
                continue;
            int at = n < max ? n++ : n - 1; // the smallest kept gives way
            while (at > 0 && out[at - 1].count < c) {
                out[at] = out[at - 1];
                at--;
            }
            out[at] = Confusion{(char)e, (char)t, c};
        }
    return n;
}
