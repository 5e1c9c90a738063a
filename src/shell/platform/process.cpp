// process.cpp -- what the program learns about its process: the environment
// (CP932, or whole in UTF-16), its id, the monotonic clock, the local time.
//
// Owns no state. GetTickCount64 is the window system's clock, so the headless
// backend's virtual time moves it as it moves the timers. Called by the
// records (where the file lives, when a line was finished, per-key times).
#include "codepage.h"
#include "queue.h"
#include "win32.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unistd.h>

constexpr int SECONDS_PER_MINUTE = 60;
constexpr int NANOS_PER_MILLI = 1000000;

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size)
{
    const char* value = name ? getenv(name) : nullptr;
    if (!value) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::string cp932 = utf8_to_cp932(value);
    if (!buffer || cp932.size() + 1 > size) // too small: the size needed, terminator included
        return (DWORD)cp932.size() + 1;
    std::memcpy(buffer, cp932.c_str(), cp932.size() + 1);
    return (DWORD)cp932.size();
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size)
{
    const char* value = name ? getenv(utf16_to_path(name).c_str()) : nullptr;
    if (!value) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::u16string wide = path_to_utf16(value); // a folder's name in a value comes back whole
    if (!buffer || wide.size() + 1 > size)
        return (DWORD)wide.size() + 1;
    std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
    return (DWORD)wide.size();
}

DWORD GetCurrentProcessId(void) { return (DWORD)getpid(); }

ULONGLONG GetTickCount64(void) { return queue_now_ms(); }

void GetLocalTime(LPSYSTEMTIME time)
{
    if (!time)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm local{};
    time_t secs = ts.tv_sec;
    localtime_r(&secs, &local);
    time->wYear = (WORD)(local.tm_year + 1900);
    time->wMonth = (WORD)(local.tm_mon + 1);
    time->wDayOfWeek = (WORD)local.tm_wday;
    time->wDay = (WORD)local.tm_mday;
    time->wHour = (WORD)local.tm_hour;
    time->wMinute = (WORD)local.tm_min;
    time->wSecond = (WORD)(local.tm_sec > 59 ? 59 : local.tm_sec); // a leap second reads as :59
    time->wMilliseconds = (WORD)(ts.tv_nsec / NANOS_PER_MILLI);
}

DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION tz)
{
    if (!tz)
        return TIME_ZONE_ID_INVALID;
    std::memset(tz, 0, sizeof *tz);
    time_t now = ::time(nullptr);
    struct tm local{};
    localtime_r(&now, &local);
    // The offset in force now, daylight saving included: the zone's rules
    // stay with the C library.
    tz->Bias = (LONG)(-local.tm_gmtoff / SECONDS_PER_MINUTE);
    return TIME_ZONE_ID_UNKNOWN;
}
