// records_test_support.cpp -- hand-made rows, the records file's rows, the clock.
#include "records_test_support.h"

#include "records/record_row.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

std::string hand_row(const std::string& stamp, int mode, int game, const std::string& text,
                     const std::vector<HandChar>& chars, const std::string& speed)
{
    std::string per_char;
    int misses = 0;
    for (size_t i = 0; i < chars.size(); i++) {
        per_char += (i ? " " : "") + std::to_string(chars[i].ms);
        if (!chars[i].wrong.empty())
            per_char += ":" + chars[i].wrong;
        misses += (int)(chars[i].wrong.size() - 2 * std::count(chars[i].wrong.begin(), chars[i].wrong.end(), '%'));
    }
    return stamp + "," + std::to_string(mode) + "," + std::to_string(game) + ",random," + text + "," +
           std::to_string(text.size()) + ",1.0," + speed + "," + std::to_string(misses) + "," + per_char + "\r\n";
}

std::string stamp_days_ago(int days_ago)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    int y, m, d;
    date_of_day(day_number(t.wYear, t.wMonth, t.wDay) - days_ago, &y, &m, &d);
    char s[40];
    std::snprintf(s, sizeof s, "%04d-%02d-%02dT12:00:00+09:00", y, m, d);
    return s;
}

std::string records_header() { return RECORDS_FILE_START; }

void write_records(const std::string& bytes)
{
    const std::string path = records_csv();
    mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
    ASSERT_TRUE(write_file(path, bytes));
}

void wait_ms(int ms)
{
    for (; ms > 0; ms -= 50) {
        headless_advance_ms(ms < 50 ? ms : 50);
        run_until_idle();
    }
}

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = s.find(sep, from)) != std::string::npos; from = at + 1)
        parts.push_back(s.substr(from, at - from));
    parts.push_back(s.substr(from));
    return parts;
}

std::vector<std::string> record_rows()
{
    std::vector<std::string> rows;
    std::string all = read_file(records_csv());
    for (const std::string& line : split(all, '\n'))
        if (!line.empty() && line.find("finished_at") == std::string::npos)
            rows.push_back(line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
    return rows;
}
