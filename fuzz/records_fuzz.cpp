// records_fuzz.cpp -- feeds arbitrary bytes to the records reader as the
// lines of a records file: the first as a header, every line as a row.
//
// A row the reader takes must agree with itself: its per-character entries as
// many as its characters, their misses adding up to the row's, and each
// entry's named keys within its misses.
#include "records/record_row.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    ColumnMap map;
    default_column_map(&map);
    bool first = true;
    for (size_t at = 0; at < size;) {
        const char* nl = static_cast<const char*>(std::memchr(p + at, '\n', size - at));
        size_t end = nl ? (size_t)(nl - p) : size;
        int len = (int)(end - at);
        if (first && !read_header(p + at, len, &map))
            default_column_map(&map);
        first = false;
        RecordFacts f;
        if (read_record_row(p + at, len, map, &f)) {
            int misses = 0;
            if (f.char_count < 1 || f.char_count > ROW_CHARS_MAX || f.chars < f.char_count)
                std::abort();
            for (int i = 0; i < f.char_count; i++) {
                const CharRecord& c = f.per_char[i];
                if (c.listed < 0 || c.listed > WRONG_KEYS_LISTED || c.listed > c.misses || c.ms > CHAR_MS_MAX)
                    std::abort();
                misses += c.misses;
            }
            if (misses != f.misses)
                std::abort();
        }
        at = end + 1;
    }
    return 0;
}
