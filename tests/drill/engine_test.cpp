// engine_test.cpp -- judging typed bytes, the typed-ahead queue, line time, title and key click.
#include "test_support.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "drill/results.h"

static std::string title_after(int n) { return std::string(u8"ルメコトレーナー　") + std::to_string(n) + u8"タイプ目"; }

TEST(Drill, LettersMatchInEitherCaseOtherBytesOnlyThemselves)
{
    play_game("[set]\ntypemode=2\n"); // no key lighting: any byte may be expected
    const struct {
        char expected;
        const char* typed;
        int accepted;
    } cases[] = {
        {'a', "a", 1}, {'a', "A", 1}, {'A', "a", 1}, {'A', "A", 1},       {'B', "c", 0},       {'1', "1", 1},
        {'1', "!", 0}, {'[', "{", 0}, {'@', "`", 0}, {'\x82', "\x82", 1}, {'\x82', "\xA2", 0}, {'\xA0', "\x80", 0},
    };
    for (const auto& c : cases) {
        expected_char = c.expected;
        SetWindowTextA(input_edit, c.typed);
        const int before = typed_count;
        EXPECT_EQ(idle_step(), 1);
        EXPECT_EQ(typed_count - before, c.accepted) << "expected " << (int)c.expected << " typed " << c.typed;
        EXPECT_EQ(GetWindowTextLengthA(input_edit), 0);
    }
}

TEST(Drill, WrongBytesChangeNothing)
{
    play_game();
    type_and_run(rest_of_line().substr(0, 1).c_str());
    const LineState line = line_state();
    const std::string title = headless_title();
    const size_t clicks = headless_sounds().size();
    const std::vector<uint32_t> before = client_pixels();
    type_and_run(u8"z1{あ\t"); // random lines never hold a Z
    EXPECT_EQ(line_state(), line);
    EXPECT_EQ(headless_title(), title);
    EXPECT_TRUE(client_pixels() == before);
    // Nothing waiting: the main loop may sleep.
    EXPECT_EQ((Ints{GetWindowTextLengthA(input_edit), (int)(headless_sounds().size() - clicks), idle_step()}),
              (Ints{0, 0, 0}));
}

TEST(Drill, TypedAheadBytesAreAllKeptAndJudgedOnePerStep)
{
    play_game();
    EXPECT_EQ(headless_title(), title_after(0));
    const std::string line = rest_of_line();
    ASSERT_EQ(line.size(), 30u);
    std::string ahead;
    for (char c : line)
        ahead += std::string("z0") + c;
    ahead.insert(45, "\r\n"); // Enter in the middle
    SetWindowTextA(input_edit, ahead.c_str());
    ASSERT_EQ(GetWindowTextLengthA(input_edit), 92);
    const size_t boxes = headless_box_log().size();
    for (int left = 92; left > 0; left--) {
        ASSERT_EQ(idle_step(), 1);
        ASSERT_EQ(GetWindowTextLengthA(input_edit), left - 1);
        EXPECT_TRUE(left != 90 || headless_title() == title_after(1)); // after "z", "0" and the line's first byte
    }
    EXPECT_EQ((Ints{typed_count, (int)(headless_box_log().size() - boxes)}), (Ints{31, 0}));
    EXPECT_EQ(headless_title(), title_after(30));
    EXPECT_EQ(idle_step(), 1); // the result box, answered with Return
    ASSERT_EQ(headless_box_log().size(), boxes + 1);
    EXPECT_EQ(headless_box_log().back().rfind(u8"30文字　", 0), 0u);
    EXPECT_EQ(headless_title() + std::to_string(typed_count), title_after(0) + "1");
}

TEST(Drill, LineTimeIsTheTimerTicksOfTheLine)
{
    play_game();
    for (int i = 0; i < 37; i++) {
        headless_advance_ms(50);
        run_until_idle();
    }
    EXPECT_EQ(line_ticks, 37);
    std::string lower = rest_of_line();
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    type_and_run(lower.c_str());
    ASSERT_EQ(headless_box_log().size(), 2u);
    EXPECT_EQ(headless_box_log()[1],
              u8"30文字　1.8 秒\n\n１秒当たり 16.216216文字\n\nENTERかSPECEを押すとはじまります。");
    EXPECT_EQ((Ints{line_ticks, series_running}), (Ints{0, 1}));
}

// Lines with nothing to practise (as a broken text could leave them) are passed
// over; with none left, practice falls back to random letters.
TEST(Drill, LinesWithNothingToPractiseAreNeverStarted)
{
    play_game("[set]\ntypemode=3\n");
    static char empty[] = "", starts_with_cr[] = "\rAB", good[] = "KL";
    char* lines[] = {empty, starts_with_cr, good};
    for (int round = 0; round < 8; round++) {
        std::copy(lines, lines + 3, line_table);
        line_count = 3;
        text_source = 1; // keeps restart_practice from making random lines
        restart_practice();
        EXPECT_EQ((Ints{line_index, line_length, expected_char}), (Ints{2, 2, 'K'}));
    }
    line_table[2] = empty;
    restart_practice();
    EXPECT_EQ((Ints{text_source, line_length}), (Ints{0, 30}));
    line_count = 0;
    restart_practice();
    EXPECT_EQ((Ints{line_count, line_length, typed_count}), (Ints{LINE_COUNT_AT_START, 30, 1})); // and the line runs
}

// One key click per accepted byte (a wrong byte and three right ones typed),
// and none with the sound switched off.
TEST(KeyClick, OnePerAcceptedByteAndNoneWhenSwitchedOff)
{
    for (const char* settings : {(const char*)nullptr, "[set]\noto=0\n"}) {
        play_game(settings);
        const size_t before = headless_sounds().size();
        const int typed = typed_count;
        type_and_run(("z" + rest_of_line().substr(0, 3)).c_str());
        for (size_t i = before; i < headless_sounds().size(); i++)
            EXPECT_EQ(std::filesystem::path(headless_sounds()[i]).filename(), "tap.wav");
        EXPECT_EQ((Ints{typed_count - typed, (int)(headless_sounds().size() - before)}), (Ints{3, settings ? 0 : 3}));
    }
}

// Bytes typed past the end of a line wait through the result box and count
// on the next line; a restart in the middle of a series begins with a start
// message again.
TEST(Drill, TypedAheadBytesCarryIntoTheNextLineAndARestartEndsTheSeries)
{
    play_game();
    static char line[] = "AB";
    line_table[0] = line;
    line_index = 0;
    line_count = 1; // the next line is this one again
    line_length = 2;
    expected_char = 'A';
    const size_t boxes = headless_box_log().size();
    type_and_run("aba");
    ASSERT_EQ(headless_box_log().size(), boxes + 1);
    EXPECT_EQ(headless_box_log().back().rfind(u8"2文字　", 0), 0u);
    // The third 'a' was the next line's first byte.
    EXPECT_EQ((Ints{series_running, typed_count, expected_char}), (Ints{1, 2, 'B'}));

    text_source = 0;
    restart_practice();
    run_until_idle();
    ASSERT_EQ(headless_box_log().size(), boxes + 2);
    EXPECT_EQ(headless_box_log().back(), u8"スタート！！\n\nENTERかSPACEを押すとはじまります。");
    EXPECT_EQ((Ints{series_running, typed_count}), (Ints{0, 1}));
}
