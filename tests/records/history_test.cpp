// history_test.cpp -- the records summed up for the screens (lines, days,
// keys, confusions), reading only what the file gained, and the letters the
// weak-key practice draws from them.
#include "records_test_support.h"

#include "records/history.h"
#include "records/record_file.h"
#include "records/record_row.h"
#include "records/weak_lines.h"
#include "text/random_lines.h"

#include <algorithm>
#include <cstdio>

TEST(History, SumsLinesDaysKeysAndConfusionsOfPracticeRowsOnly)
{
    play_game();
    write_records(records_header() + hand_row(stamp_days_ago(40), 1, 0, "QA", {{900, ""}, {300, ""}}, "5.000000") +
                  hand_row(stamp_days_ago(1), 2, 0, "Q?", {{6000, "WW"}, {800, "%2F"}}, "1.500000") + "broken,row\r\n" +
                  hand_row(stamp_days_ago(0), 3, 0, "QA", {{1000, ""}, {200, "S"}}, "2.000000") +
                  hand_row(stamp_days_ago(0), 3, 1, "QQ", {{9, "W"}, {9, "W"}}, "9.000000") +
                  hand_row(stamp_days_ago(0), 3, 0, "QA", {{1100, ""}, {200, ""}}, "3.000000"));
    EXPECT_EQ(history_refresh(), 4);
    EXPECT_EQ(history_all_rows(), 5); // the counting game's row is whole, but not summed
    LinePoint recent[CHART_LINES];
    ASSERT_EQ(history_recent(recent, CHART_LINES), 4);
    std::string got;
    for (int i = 0; i < 4; i++)
        got += std::to_string((int)(recent[i].speed * 10)) + "/" + std::to_string(recent[i].mode) + " ";
    EXPECT_EQ(got, "50/1 15/2 20/3 30/3 ");
    SYSTEMTIME t;
    GetLocalTime(&t);
    const int today = day_number(t.wYear, t.wMonth, t.wDay);
    float average = 0, best = 0, speed = 0;
    int lines = 0, day = 0;
    ASSERT_TRUE(history_day(today, &average, &best, &lines));
    EXPECT_EQ(std::vector<float>({average, best, (float)lines}), std::vector<float>({2.5f, 3.0f, 2.0f}));
    EXPECT_FALSE(history_day(today - 2, &average, &best, &lines));
    ASSERT_TRUE(history_best(&speed, &day));
    EXPECT_EQ(std::make_pair(speed, day), std::make_pair(5.0f, today - 40));
    // Q: 900, 6000 (counted as 5000), 1000, 1100; "?" is typed on the "/" key.
    const struct {
        int key, samples, ms, missed;
    } keys[] = {{'Q', 4, 2000, 25}, {'A', 3, 233, 33}, {'/', 1, 800, 100}, {'W', 0, 0, 0}};
    for (const auto& k : keys)
        EXPECT_EQ(std::vector<int>({key_samples(k.key), key_average_ms(k.key), key_miss_percent(k.key)}),
                  std::vector<int>({k.samples, k.ms, k.missed}))
            << (char)k.key;
    Confusion c[3];
    ASSERT_EQ(history_confusions(c, 3), 3);
    EXPECT_EQ(std::string() + c[0].expected + c[0].typed + std::to_string(c[0].count), "QW2");
    EXPECT_EQ(c[2].count, 1);
}

TEST(History, ReadsOnlyWhatTheFileGainedAndStartsAfreshWhenItIsReplacedOrGone)
{
    play_game();
    std::string rows;
    for (int i = 0; i < 60; i++) // the newest KEY_SAMPLES make the figures
        rows += hand_row(stamp_days_ago(0), 1, 0, "A", {{i < 10 ? 3000 : 200, ""}}, "5.000000");
    write_records(records_header() + rows);
    EXPECT_EQ(history_refresh(), 60);
    EXPECT_EQ((Ints{key_samples('A'), key_average_ms('A')}), (Ints{KEY_SAMPLES, 200}));
    const std::string more = hand_row(stamp_days_ago(0), 1, 0, "B", {{700, ""}});
    append_record_row(more.data(), (int)more.size());
    EXPECT_EQ((Ints{history_refresh(), key_samples('A')}), (Ints{61, KEY_SAMPLES}));
    write_records(records_header() + hand_row(stamp_days_ago(3), 1, 0, "C", {{1, ""}}) + rows + rows);
    EXPECT_EQ(history_refresh(), 121); // replaced by a longer file: read from its start
    std::remove(records_csv().c_str());
    EXPECT_EQ((Ints{history_refresh(), key_samples('A')}), (Ints{0, 0}));
}

// Letters over every weak line made (line_count lines of 30).
static std::vector<int> letter_counts()
{
    std::vector<int> n(26, 0);
    for (int i = 0; i < line_count; i++)
        for (const char* p = line_table[i]; *p; p++)
            n[*p - 'A']++;
    return n;
}

TEST(WeakKeys, SlowAndMissedLettersComeOftenEveryLetterStillComes)
{
    play_game();
    // Nothing recorded: every letter, Z too, alike.
    command(CMD_RECORDS_WEAK);
    std::vector<int> n = letter_counts();
    const int mean = line_count * 30 / 26;
    for (int i = 0; i < 26; i++)
        EXPECT_NEAR(n[i], mean, mean / 4) << (char)('A' + i);
    // Ten lines of A to Y: Q slow (1000 ms), X as fast as most (500 ms) but
    // missed half the time, F quick (250 ms); Z never practised.
    std::string rows;
    for (int r = 0; r < 10; r++) {
        std::vector<HandChar> chars;
        for (char c = 'A'; c <= 'Y'; c++)
            chars.push_back({c == 'Q' ? 1000 : c == 'F' ? 250 : 500, c == 'X' && r % 2 ? "Z" : ""});
        rows += hand_row(stamp_days_ago(0), 1, 0, "ABCDEFGHIJKLMNOPQRSTUVWXY", chars);
    }
    write_records(records_header() + rows);
    command(CMD_RECORDS_WEAK);
    n = letter_counts();
    std::vector<int> sorted(n);
    std::sort(sorted.begin(), sorted.end());
    const int median = sorted[13];
    EXPECT_GT(n['Q' - 'A'], 3 * median);
    EXPECT_GT(n['Z' - 'A'], 3 * median);
    EXPECT_GT(n['X' - 'A'], 2 * median);
    EXPECT_LT(n['F' - 'A'], median / 2);
    EXPECT_GT(sorted[0], 0); // every letter is still possible
}

TEST(WeakKeys, RowsSayWeakRestartAndLineLengthsGoBackToRandomLetters)
{
    play_game();
    command(CMD_LINE_60);
    command(CMD_RECORDS_WEAK);
    EXPECT_EQ((Ints{text_source, line_length}), (Ints{TEXT_SOURCE_WEAK, 60}));
    EXPECT_TRUE(box_shown(u8"苦手キー練習\n\n遅いキーや打ち間違いの多いキーが多めに出ます。\n\nENTERかSPACEを押すとはじまります。"));
    type_and_run(rest_of_line().c_str());
    EXPECT_EQ(split(record_rows().back(), ',')[3], "weak");
    command(CMD_RESTART); // random letters never hold a Z
    EXPECT_EQ((Ints{text_source, letter_counts()['Z' - 'A']}), (Ints{TEXT_SOURCE_RANDOM, 0}));
    command(CMD_RECORDS_WEAK);
    command(CMD_LINE_10);
    EXPECT_EQ((Ints{text_source, line_length}), (Ints{TEXT_SOURCE_RANDOM, 10}));
}
