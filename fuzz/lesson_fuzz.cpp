// lesson_fuzz.cpp -- feeds arbitrary bytes to the lesson loader as a lesson file.
//
// The input is cut as the loader cuts a file it has read, from a block of
// exactly its size, so a read past the file's end is caught. Afterwards every
// line and note must be a terminated string inside the pool (or the shared
// empty note), the count within its limit and the introduction terminated.
#include "display/geometry.h"
#include "display/view.h"
#include "text/lesson.h"
#include "text/random_lines.h"
#include "text/store.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static bool terminated_in_pool(const char* p)
{
    if (p == empty_note)
        return true;
    if (p < line_pool || p >= line_pool + LINE_POOL_SIZE)
        return false;
    return std::memchr(p, 0, (size_t)(line_pool + LINE_POOL_SIZE - p)) != nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (size_t)LESSON_FILE_MAX)
        return 0;
    client_w = 800;
    client_h = 600;
    char_size = 30;
    lookahead = 1;
    char* file = static_cast<char*>(std::malloc(size ? size : 1));
    std::memcpy(file, data, size);
    int stored = cut_lesson(file, (int)size);
    std::free(file);
    if (stored != line_count || line_count < 0 || line_count > LESSON_MAX_LINES)
        std::abort();
    for (int j = 0; j < line_count; j++) {
        if (!terminated_in_pool(line_table[j]) || !terminated_in_pool(line_note[j]))
            std::abort();
        if (std::strlen(line_table[j]) > (size_t)LESSON_LINE_LIMIT || line_len(j) < 0)
            std::abort();
    }
    if (std::memchr(trailer_text, 0, sizeof trailer_text) == nullptr)
        std::abort();
    return 0;
}
