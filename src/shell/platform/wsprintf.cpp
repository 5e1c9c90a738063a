// wsprintf.cpp -- wsprintfA: printf-style formatting into a caller's buffer.
//
// As on Windows, the buffer is taken to hold 1,024 bytes and the text is cut
// there, so a caller's buffer of that size can never overflow. Owns no state.
// Called by the title count (drill/results.cpp).
#include "win32.h"

#include <cstdarg>
#include <cstdio>

constexpr int WSPRINTF_LIMIT = 1024; // bytes written at most, the 0 included

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    if (!buffer || !format)
        return 0;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, WSPRINTF_LIMIT, format, args);
    va_end(args);
    if (n < 0) {
        buffer[0] = 0;
        return 0;
    }
    return n > WSPRINTF_LIMIT - 1 ? WSPRINTF_LIMIT - 1 : n; // the bytes stored, without the 0
}
