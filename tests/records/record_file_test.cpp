// record_file_test.cpp -- the row a finished line leaves in the records file:
// its figures against the result box, per-character times and misses, a
// lesson's Japanese text, rows cut short or broken, an unwritable place and
// two copies of the game writing at once.
#include "records_test_support.h"

#include "drill/results.h"
#include "records/history.h"
#include "records/record_file.h"
#include "records/record_row.h"
#include "text/lesson.h"

#include <algorithm>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

// Types the rest of the line, each byte after `ms(i)` milliseconds and the
// wrong keys wrong(i) before it. Returns line_ticks as the result box showed
// up, and leaves the box's text in *box.
template <class Ms, class Wrong> static int type_line(Ms ms, Wrong wrong, std::string* box)
{
    int ticks_at_box = -1;
    const std::string line = rest_of_line();
    for (size_t i = 0; i + 1 < line.size(); i++) {
        wait_ms(ms(i));
        type_and_run(wrong(i));
        type_char(line[i]);
    }
    wait_ms(ms(line.size() - 1));
    type_and_run(wrong(line.size() - 1));
    WaitScript script({[&] {
        ticks_at_box = line_ticks;
        headless_key(VK_RETURN);
    }});
    type_char(line.back());
    *box = headless_box_log().back();
    return ticks_at_box;
}

TEST(RecordRow, CarriesTheResultBoxFiguresAndTheTimeAndMissesOfEveryCharacter)
{
    play_game();
    const std::string line = current_line();
    auto ms = [](size_t i) { return 120 + 37 * (int)i; };
    auto wrong = [](size_t i) { return i % 7 == 3 ? (i == 10 ? "z1" : "z") : ""; };
    std::string box;
    const int ticks = type_line(ms, wrong, &box);
    const std::vector<std::string> rows = record_rows();
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<std::string> f = split(rows[0], ',');
    ASSERT_EQ(f.size(), (size_t)RECORD_COLUMNS);
    EXPECT_TRUE(std::regex_match(f[COL_FINISHED_AT], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << f[COL_FINISHED_AT];
    EXPECT_EQ(f[COL_MODE] + f[COL_GAME] + f[COL_SOURCE] + "," + f[COL_TEXT], "10random," + line);
    // The box: "30文字　S.D 秒\n\n１秒当たり R文字..."
    EXPECT_EQ(box.rfind(f[COL_CHARS] + u8"文字　" + f[COL_SECONDS] + u8" 秒\n\n１秒当たり " + f[COL_SPEED] + u8"文字", 0),
              0u)
        << box;
    EXPECT_EQ(f[COL_MISSES], "5"); // z at 3, 17, 24, z1 at 10
    std::string per_char;
    int sum = 0;
    for (size_t i = 0; i < line.size(); i++) {
        per_char += (i ? " " : "") + std::to_string(ms(i)) + (*wrong(i) ? std::string(":") + wrong(i) : "");
        sum += ms(i);
    }
    EXPECT_EQ(f[COL_PER_CHAR], per_char);
    // The characters' times add up to the line's, within a tick of its clock.
    EXPECT_LT(std::abs(sum - ticks * 50), 50) << sum << " ms against " << ticks << " ticks";
}

TEST(RecordRow, LessonLineKeepsItsJapaneseTextAndFileName)
{
    play_game("[set]\ntypemode=2\n");
    const std::string dir = make_temp_dir("lesson");
    const std::string path = dir + u8"/かな練習.txt";
    write_file(path, "\x82\xA9" "a,\"b{note\r\n\r\nintro\r\n"); // か a , " b
    headless_answer_file_dialog(path.c_str());
    command(CMD_OPEN_LESSON);
    ASSERT_EQ(line_length, 6);
    type_and_run(u8"qか");
    type_and_run("a,\"b");
    const std::vector<std::string> rows = record_rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find(u8",かな練習.txt,\"かa,\"\"b\",6,"), std::string::npos) << rows[0];
    RecordFacts f;
    ColumnMap map;
    default_column_map(&map);
    ASSERT_TRUE(read_record_row(rows[0].data(), (int)rows[0].size(), map, &f));
    // か is one character of two bytes.
    const std::string first_wrong(f.per_char[0].wrong, f.per_char[0].listed);
    EXPECT_EQ(std::to_string(f.char_count) + std::to_string(f.misses) + first_wrong, "51q");
}

// A row written from known facts: every cut of it, and every hand edit that
// breaks it, is refused; the forms a spreadsheet saves it back in are not.
TEST(RecordRow, CutShortOrBrokenRowsAreRefusedSpreadsheetFormsAreRead)
{
    CharRecord chars[3] = {{812, 0, 0, {}}, {1203, 6, 4, {'Z', ',', ' ', '%'}}, {9, 1, 1, {'\r'}}};
    RecordFacts facts{};
    facts.finished = SYSTEMTIME{2024, 5, 0, 1, 14, 3, 22, 0};
    facts.utc_offset_min = 540;
    facts.mode = 2;
    facts.source = "a,\"b";
    facts.text = "Q,Y";
    facts.text_bytes = facts.chars = 3;
    facts.ticks = 41;
    facts.misses = 7;
    facts.per_char = chars;
    facts.char_count = 3;
    char row[512];
    const int len = format_record_row(row, sizeof row, facts);
    ASSERT_EQ(std::string(row, (size_t)len),
              "2024-05-01T14:03:22+09:00,2,0,\"a,\"\"b\",\"Q,Y\",3,2.0,1.463415,7,812 1203:Z%2C%20%25+2 9:%0D\r\n");
    ColumnMap map;
    default_column_map(&map);
    RecordFacts got;
    ASSERT_TRUE(read_record_row(row, len - 2, map, &got));
    EXPECT_EQ(got.per_char[1].misses, 6);
    EXPECT_EQ(std::string(got.per_char[1].wrong, 4), "Z, %");
    for (int cut = 0; cut < len - 2; cut++)
        EXPECT_FALSE(read_record_row(row, cut, map, &got)) << "cut at " << cut << ": " << std::string(row, (size_t)cut);

    const std::string good = "2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,1,900:W 300";
    const struct {
        std::string row;
        bool read;
    } cases[] = {
        {"2024/5/1 14:03,1,0,random,QA,2,1,2,1,900:W 300", true}, // as a spreadsheet saves it
        {"2024-05-01T14:03:22Z,1,0,random,QA,2,1.0,---,1,900:W 300", true},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,,1,900:W 300,extra", true},
        {"2024-02-30T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,1,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,4,0,random,QA,2,1.0,2.000000,1,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,3,1.0,2.000000,1,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,2,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,1,900:W", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,1,900:W  300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,2.000000,1,900:%G1 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,\"QA,2,1.0,2.000000,1,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,\"QA\"x,2,1.0,2.000000,1,900:W 300", false},
        {"2024-05-01T14:03:22+09:00,1,0,random,QA,2,1.0,abc,1,900:W 300", false},
        {"", false},
    };
    ASSERT_TRUE(read_record_row(good.data(), (int)good.size(), map, &got));
    for (const auto& c : cases)
        EXPECT_EQ(read_record_row(c.row.data(), (int)c.row.size(), map, &got), c.read) << c.row;
    // Columns found by the header's names, in any order, among others.
    const std::string header = "\xEF\xBB\xBFnote,per_char,misses,chars_per_second,seconds,chars,text,source,game,mode,"
                               "finished_at";
    const std::string reordered = "x,900:W 300,1,2.0,1.0,2,QA,random,0,1,2024-05-01T14:03:22+09:00";
    ASSERT_TRUE(read_header(header.data(), (int)header.size(), &map));
    EXPECT_TRUE(read_record_row(reordered.data(), (int)reordered.size(), map, &got));
    EXPECT_FALSE(read_header(good.data(), (int)good.size(), &map));
}

TEST(RecordFile, RowsCutShortOrBrokenAreSkippedAndTheNextRowStartsOnItsOwnLine)
{
    play_game();
    const std::string ok = hand_row(stamp_days_ago(1), 1, 0, "QA", {{900, "W"}, {300, ""}});
    const std::string torn = ok.substr(0, ok.size() - 9);
    write_records(records_header() + ok + "not,a,row\r\n" + ok.substr(5) + torn);
    EXPECT_EQ(history_refresh(), 1);
    type_and_run(rest_of_line().c_str()); // the result box is answered
    const std::string after = read_file(records_csv());
    EXPECT_EQ(after.rfind(records_header() + ok + "not,a,row\r\n" + ok.substr(5) + torn + "\r\n", 0), 0u);
    EXPECT_EQ(history_refresh(), 2);
    EXPECT_EQ(record_rows().back().rfind(stamp_days_ago(0).substr(0, 10), 0), 0u);
}

static int box_starts(const std::string& start)
{
    int n = 0;
    for (const std::string& t : headless_box_log())
        n += t.rfind(start, 0) == 0;
    return n;
}

// Two lines with the records file unwritable: one message, both results, practice goes on.
static void play_two_lines_unrecorded(const char* reason)
{
    const int results = box_starts(u8"30文字　");
    type_and_run(rest_of_line().c_str());
    type_and_run(rest_of_line().c_str());
    EXPECT_EQ(box_starts(u8"成績の記録を保存できません。"), 1);
    EXPECT_EQ(box_starts(u8"30文字　"), results + 2);
    EXPECT_EQ(typed_count, 1); // the third line is running
    const std::string box = *std::find_if(headless_box_log().begin(), headless_box_log().end(), [](const std::string& t) {
        return t.rfind(u8"成績の記録を保存できません。", 0) == 0;
    });
    EXPECT_NE(box.find(std::string(u8"場所：") + records_csv()), std::string::npos) << box;
    EXPECT_NE(box.find(reason), std::string::npos) << box;
}

TEST(RecordFile, AFolderThatCannotBeMadeIsToldOnceAndPracticeGoesOn)
{
    play_game();
    const std::string blocker = make_temp_dir(u8"blocked-café") + "/file";
    write_file(blocker, "not a folder");
    setenv("XDG_DATA_HOME", (blocker + "/data").c_str(), 1);
    play_two_lines_unrecorded(u8"保存するフォルダーを作れません");
}

// Without XDG_DATA_HOME the file goes under HOME, whatever bytes name it: a
// folder made on a Latin-1 system is no UTF-8 and is still the one written.
TEST(RecordFile, AHomeNamedInNoUtf8GetsTheRow)
{
    play_game();
    const std::string home = make_temp_dir(u8"home-한국어") + "/caf\xE9";
    setenv("XDG_DATA_HOME", "", 1);
    setenv("HOME", home.c_str(), 1);
    type_and_run(rest_of_line().c_str());
    const std::vector<std::string> lines = split(read_file(home + "/.local/share/lumeko-trainer/records.csv"), '\n');
    ASSERT_EQ(lines.size(), 3u); // the header, the row and nothing after it
    EXPECT_EQ(lines[0] + "\n", records_header());
}

TEST(RecordFile, AFullDiskIsToldOnceAndEarlierRowsStay)
{
    play_game();
    type_and_run(rest_of_line().c_str());
    const std::string before = read_file(records_csv());
    ASSERT_EQ(record_rows().size(), 1u);
    headless_fail_write(1);
    play_two_lines_unrecorded(u8"ディスクに空きがありません");
    // The second line's row failed; the third's landed whole after the first.
    EXPECT_EQ(read_file(records_csv()).rfind(before, 0), 0u);
    EXPECT_EQ(history_refresh(), 2);
}

TEST(RecordFile, TwoCopiesAppendingAtOnceLeaveOnlyWholeRows)
{
    use_temp_data_dir();
    const std::string rows[2] = {
        hand_row("2024-05-01T10:00:00+09:00", 1, 0, "QA", {{900, "W"}, {300, ""}}),
        hand_row("2024-05-02T10:00:00+09:00", 3, 0, "WERT", {{1, ""}, {2, ""}, {3, "Q"}, {4, ""}}),
    };
    constexpr int EACH = 400;
    pid_t child = fork();
    const std::string& mine = rows[child == 0 ? 1 : 0];
    for (int i = 0; i < EACH; i++)
        append_record_row(mine.data(), (int)mine.size());
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(read_file(records_csv()).rfind(records_header(), 0), 0u);
    int seen[3] = {0, 0, 0}; // the first row, the second, anything else
    for (const std::string& row : record_rows())
        seen[row + "\r\n" == rows[0] ? 0 : row + "\r\n" == rows[1] ? 1 : 2]++;
    EXPECT_EQ((Ints{seen[0], seen[1], seen[2]}), (Ints{EACH, EACH, 0}));
}
