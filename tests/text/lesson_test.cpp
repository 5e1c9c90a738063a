// lesson_test.cpp -- the lesson file format, the loader's limits, the open dialog.
#include "text/lesson.h"
#include "test_support.h"

#include <cstdio>
#include <filesystem>

#include "display/keyboard.h"
#include "placement/placement.h"
#include "text/random_lines.h"

static const char LESSON_MODE[] = "[set]\ntypemode=2\n"; // no key lighting: any byte may be practised

static std::string temp_lesson(const std::string& bytes, const char* name = "lesson.txt")
{
    std::string path = make_temp_dir("lesson") + "/" + name;
    write_file(path, bytes);
    return path;
}

// Reads bytes as a lesson file, the way a command rereads the current lesson,
// or (restart) starts it as the restart command does.
static void load_bytes(const std::string& bytes, bool restart = false)
{
    std::snprintf(lesson_path, LESSON_PATH_SIZE, "%s", temp_lesson(bytes).c_str());
    text_source = 1;
    reload_same_file = 1;
    if (restart)
        restart_practice();
    else
        load_lesson();
}

// Restarts practice on a lesson, read again (reload) or chosen anew.
static void restart_lesson(int reload)
{
    text_source = 1;
    reload_same_file = reload;
    restart_practice();
}

static bool ends_with(const std::string& s, const std::string& tail)
{
    return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Every lesson test starts the game with no key lighting.
struct LoadLesson : testing::Test {
    void SetUp() override { start_game(800, 600, LESSON_MODE); }
};

static bool in_pool(const char* p) { return p >= line_pool && p < line_pool + LINE_POOL_SIZE; }

// A line ends only at CR LF (cut to fit its destination, which keeps two
// zero bytes at its end); the list ends at a zero byte, 0xFF or the data's end.
TEST(SplitLine, EndsALineOnlyAtCrLfAndTheListAtZeroFfOrTheEnd)
{
    const struct {
        std::string in;
        int size;
        std::string line;
        int result, advance;
    } cases[] = {
        {"ab\r\ncd", 16, "ab", 2, 4},
        {"a\rb\r\n", 16, "a\rb", 3, 5},
        {"a\nb\r\nc", 16, "a\nb", 3, 5},
        {std::string("ab\0c", 4), 16, "ab", -1, 2},
        {"ab\xFF_", 16, "ab", -1, 2},
        {"abc", 16, "abc", -1, 3},
        {"ab\r", 16, "ab\r", -1, 3},
        {"", 16, "", -1, 0},
        {"\r\n", 16, "", 0, 2},
        {"abcdefghij\r\nxy", 8, "abcdef", 6, 12}, // the start of a longer line
        {"abcdefghij\xFF", 8, "abcdef", -1, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        std::vector<char> data(c.in.begin(), c.in.end());
        char* cursor = data.data();
        char dest[17];
        std::memset(dest, 'x', sizeof dest);
        // The result, the second zero after the line, nothing written past
        // the size, the bytes passed.
        EXPECT_EQ((Ints{split_line(&cursor, (int)data.size(), dest, c.size), dest[c.line.size() + 1], dest[c.size],
                        (int)(cursor - data.data())}),
                  (Ints{c.result, 0, 'x', c.advance}));
        EXPECT_EQ(std::string(dest), c.line);
    }
}

TEST_F(LoadLesson, ReadsTheExampleAndFollowsTheFormatsEdgeCases)
{
    const std::string example = "asdf{left hand\r\njkl;\r\n\r\nHome row drill\r\n";
    series_running = 1;
    load_bytes(example);
    EXPECT_EQ(std::string(line_pool, 20), std::string("asdf\0left hand\0jkl;\0", 20));
    EXPECT_EQ(series_running, 0);
    const struct {
        std::string file;
        std::vector<std::pair<std::string, const char*>> lines; // text, note (nullptr: none)
        std::string trailer;
    } cases[] = {
        {example, {{"asdf", "left hand"}, {"jkl;", nullptr}}, "Home row drill\r\n"},
        {"ab\r\ncd", {{"ab", nullptr}, {"cd", nullptr}}, ""},
        {"ab\r\ncd\r\n", {{"ab", nullptr}, {"cd", nullptr}}, ""},
        {"{note only\r\nx\r\n", {{"", "note only"}, {"x", nullptr}}, ""},
        {"ab\rcd\nef{n\r\n", {{"ab\rcd\nef", "n"}}, ""},
        {"ボール{x\r\n", {{"\x83", "ール{x"}}, ""}, // the second byte of ボ is "{"
        {"a{b{c\r\nabc{\r\n", {{"a", "b{c"}, {"abc", ""}}, ""},
        {std::string("ab\r\ncd\0ef\r\n", 11), {{"ab", nullptr}, {"cd", nullptr}}, ""},
        {"ab\xFF_cd\r\n", {{"ab", nullptr}}, "\xFF_cd\r\n"},
        {"x\r\n\r\n\r\nintro", {{"x", nullptr}}, "\r\nintro"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        load_bytes(c.file);
        ASSERT_EQ(line_count, (int)c.lines.size());
        for (size_t j = 0; j < c.lines.size(); j++) {
            const char *note = line_note[j] == empty_note ? "(none)" : line_note[j], *want = c.lines[j].second;
            EXPECT_EQ(std::string(line_table[j]) + "{" + note, c.lines[j].first + "{" + (want ? want : "(none)"));
            EXPECT_TRUE(!want || in_pool(line_note[j]));
        }
        EXPECT_EQ(std::string(trailer_text), c.trailer);
    }
    load_bytes("ab\rcd\r\n");
    EXPECT_EQ(line_len(0), 2); // the practice text ends before a lone CR
}

// At most 4,096 bytes of a line, notes cut on a whole character; a line at
// the limit is reported. A long introduction is cut too.
TEST_F(LoadLesson, BoundsLinesNotesAndTheIntroduction)
{
    load_bytes("ok\r\n" + std::string(4096, 'a') + "{n\r\nok3{m\r\n");
    EXPECT_TRUE(box_shown(u8"2行目に問題があります。"));
    ASSERT_EQ(line_count, 3);
    // Cut at the limit, and ended there; never started.
    EXPECT_EQ((Ints{(int)std::strlen(line_table[1]), line_note[1] == empty_note, line_len(1)}), (Ints{4096, 1, 0}));
    EXPECT_EQ(std::string(line_table[2]) + "{" + line_note[2], "ok3{m");

    std::string long_note;
    for (int i = 0; i < 3000; i++)
        long_note += "あ";
    // A note running past the line limit is cut there, on a whole character.
    load_bytes("ab{" + long_note + "\r\nnext{n\r\n");
    ASSERT_EQ(line_count, 2);
    EXPECT_EQ(std::string(line_note[0]), long_note.substr(0, 4092));
    EXPECT_STREQ(line_table[1], "next");
    // A line longer than the text buffer keeps its start; the rest is passed over.
    load_bytes(std::string(70000, 'z') + "\r\nnext{n\r\n\r\nintro");
    EXPECT_TRUE(box_shown(u8"1行目に問題があります。"));
    ASSERT_EQ(line_count, 2);
    EXPECT_EQ(std::strlen(line_table[0]), 4096u);
    EXPECT_EQ(std::string(line_table[1]) + "|" + trailer_text, "next|intro");
    // An introduction longer than its store is cut; its start message still ends.
    std::string intro;
    for (int i = 0; i < 35000; i++)
        intro += "あ";
    load_bytes("abc\r\n\r\n" + intro, true);
    EXPECT_EQ(std::strlen(trailer_text), (size_t)TRAILER_TEXT_SIZE);
    EXPECT_TRUE(ends_with(headless_box_log().back(), u8"あ\n\nENTERかSPACEを押すとはじまります。"));
}

// At most 65,520 lines, the next begins the introduction. Every line that fits
// the pool is stored, to its last byte: 65,520 lines of 63 bytes take
// 4,193,280 of its 4,194,304. The first line that does not fit is refused with
// a message; the introduction after the lines is still found.
TEST_F(LoadLesson, StoresEveryLineThatFitsThePoolAndRefusesTheFirstThatDoesNot)
{
    std::string lines;
    for (int j = 0; j < LESSON_MAX_LINES - 1; j++)
        lines += std::string(63, 'a') + "\r\n";
    const int before_last = 64 * (LESSON_MAX_LINES - 1), left = LINE_POOL_SIZE - before_last; // 1,088 bytes
    const struct {
        std::string last; // text and note, each ended by a 0 in the pool
        int count, used;
    } cases[] = {
        {std::string(63, 'a'), LESSON_MAX_LINES, 64 * LESSON_MAX_LINES},
        {std::string(1000, 'b') + "{" + std::string(left - 1002, 'n'), LESSON_MAX_LINES, LINE_POOL_SIZE},
        {std::string(1000, 'b') + "{" + std::string(left - 1001, 'n'), LESSON_MAX_LINES - 1, before_last},
    };
    const std::string refused =
        std::to_string(LESSON_MAX_LINES) + u8"行目から後は入りきらないため、読み込みませんでした。";
    for (const auto& c : cases) {
        size_t boxes = headless_box_log().size();
        load_bytes(lines + c.last + "\r\nintro"); // a 65,521st line begins the introduction
        ASSERT_EQ(line_count, c.count) << c.last.size();
        EXPECT_EQ(headless_box_log().size() - boxes, c.count == LESSON_MAX_LINES ? 0u : 1u);
        EXPECT_EQ(headless_box_log().back() == refused, c.count < LESSON_MAX_LINES);
        const int n = line_count - 1;
        const char* end = line_note[n] != empty_note ? line_note[n] : line_table[n];
        EXPECT_EQ(end + std::strlen(end) + 1 - line_pool, c.used) << "bytes of the pool in use";
        EXPECT_STREQ(trailer_text, "intro");
    }
}

TEST_F(LoadLesson, KeepsTheLinesItHasWhenAFileCannotBeRead)
{
    const std::string good = temp_lesson("abc{n\r\n\r\nintro");
    const std::string missing = make_temp_dir("lesson") + "/missing.txt";
    const std::string huge = temp_lesson("", "huge.txt");
    std::filesystem::resize_file(huge, (uintmax_t)LESSON_FILE_MAX + 1); // sparse: takes no room on disk
    const struct {
        const std::string* path;
        int fault; // 0 none, 1 memory, 2 read
        const char* message;
    } cases[] = {
        {&missing, 0, u8"」を読み込めませんでした。"},
        {&huge, 0, u8"」は大きすぎるため読み込みません（256MBまで）。"},
        {&good, 1, u8"」を読み込むためのメモリが足りません。"},
        {&good, 2, u8"」を読み込めませんでした。"},
    };
    for (const auto& c : cases) {
        load_bytes("xyz{m\r\n\r\nfirst");
        char* const line0 = line_table[0];
        std::snprintf(lesson_path, LESSON_PATH_SIZE, "%s", c.path->c_str());
        if (c.fault)
            headless_fail_call(c.fault == 1 ? Fault::Alloc : Fault::Read, 1);
        series_running = 1;
        load_lesson();
        EXPECT_EQ(headless_box_log().back(), u8"「" + *c.path + c.message + u8"\n\n今までの行で練習を続けます。");
        EXPECT_EQ((Ints{line_count, line_table[0] == line0, text_source, series_running}), (Ints{1, 1, 1, 1}));
        EXPECT_EQ(std::string(line_table[0]) + "|" + trailer_text, "xyz|first");
    }
}

TEST_F(LoadLesson, FallsBackToRandomLettersWhenNoLineCanBePractisedAllRealLines)
{
    const std::pair<std::string, std::string> files[] = {
        {"", ""},
        {"\r\nintro", "intro"},
        {std::string("\0abc", 4), ""},
        {"\xFF", "\xFF"},
        {"{a\r\n\rb\r\n" + std::string(1024, 'c') + "\r\n\r\nhi", "hi"},
    };
    for (const auto& f : files) {
        load_bytes(f.first, true);
        EXPECT_EQ(headless_box_log()[headless_box_log().size() - 2],
                  u8"「" + std::string(lesson_path) +
                      u8"」には練習できる行がありません。\n\nランダムな文字で練習します。");
        EXPECT_EQ((Ints{text_source, reload_same_file, line_count >= 1, line_len(line_index)}),
                  (Ints{0, 0, 1, random_line_len}));
        EXPECT_EQ(std::string(trailer_text), f.second); // the introduction is kept
    }
    // After a long lesson, every one of its lines becomes random letters.
    std::string file;
    for (int j = 0; j < 5000; j++)
        file += "lesson{note\r\n";
    load_bytes(file);
    ASSERT_EQ(line_count, 5000);
    text_source = 0;
    restart_practice();
    EXPECT_EQ(line_count, 5000);
    for (int i = 0; i < 5000; i++) // random letters, without a note
        ASSERT_TRUE(line_len(i) == random_line_len && line_note[i] == empty_note && line_table[i][0] >= 'A' &&
                    line_table[i][0] <= 'Y')
            << i;
}

TEST_F(LoadLesson, PlacesEachPracticeByteAsItIsStored)
{
    std::memset(char_pos, 0, sizeof char_pos);
    load_bytes(std::string(100, 'q') + "{" + std::string(200, 'n') + "\r\nab\r\n");
    int placed[2] = {0, 0}; // the text's bytes, the note's (never placed)
    for (int k = 0; k < 300; k++)
        placed[k >= 100] += char_pos[k].x != 0 || char_pos[k].y != 0;
    EXPECT_GE(placed[0], 98);
    EXPECT_EQ(placed[1], 0);
}

TEST(ChooseLesson, OffersTheCurrentLessonAndLoadsTheFileChosen)
{
    start_game(800, 600, LESSON_MODE);
    load_bytes("old{o\r\n\r\nold intro");
    const std::string current = lesson_path;
    const std::string chosen = temp_lesson(u8"new{n\r\n\r\nnew intro", u8"選んだ.txt");
    headless_answer_file_dialog(chosen.c_str());
    restart_lesson(0);
    ASSERT_EQ(headless_file_dialogs().size(), 1u);
    EXPECT_EQ(headless_file_dialogs()[0].title + "|" + headless_file_dialogs()[0].proposed, u8"開く|" + current);
    EXPECT_STREQ(lesson_path, (chosen.substr(0, chosen.rfind('/')) + "/選んだ.txt").c_str()); // CP932
    EXPECT_EQ(std::string(line_table[0]) + "|" + headless_box_log().back(),
              u8"new|new intro\n\nENTERかSPACEを押すとはじまります。");
    EXPECT_EQ(modal_flag, 0);

    // A '\' in a chosen name is part of the name, chosen and read again alike.
    const std::string dir = chosen.substr(0, chosen.rfind('/'));
    std::filesystem::create_directory(dir + "/a");
    write_file(dir + "/a/b.txt", "slash\r\n");
    write_file(dir + "/a\\b.txt", "backslash\r\n");
    headless_answer_file_dialog((dir + "/a\\b.txt").c_str());
    for (int reload : {0, 1}) {
        restart_lesson(reload);
        EXPECT_STREQ(line_table[0], "backslash") << reload;
    }
}

// With a path that names no file the default lesson is offered; a cancelled
// chooser changes nothing and practice goes on with the lines in memory.
TEST(ChooseLesson, OffersTheDefaultAndCancelKeepsTheLesson)
{
    start_game(800, 600, LESSON_MODE);
    EXPECT_STREQ(lesson_path, DEFAULT_LESSON_PATH);
    std::snprintf(lesson_path, LESSON_PATH_SIZE, "%s", "/nowhere/gone.txt");
    restart_lesson(0); // no answer: cancelled
    ASSERT_EQ(headless_file_dialogs().size(), 1u);
    EXPECT_TRUE(ends_with(headless_file_dialogs()[0].proposed, u8"/lessons/基本指練習.txt"));
    EXPECT_STREQ(lesson_path, "/nowhere/gone.txt");

    load_bytes("kept{k\r\n\r\nkept intro");
    const std::string path = lesson_path;
    series_running = 1;
    headless_answer_file_dialog(nullptr);
    reload_same_file = 0;
    EXPECT_EQ(load_lesson(), 0);
    EXPECT_EQ((Ints{series_running, modal_flag, line_count}), (Ints{1, 0, 1}));
    EXPECT_EQ(std::string(lesson_path) + "|" + trailer_text, path + "|kept intro");
    headless_answer_file_dialog(nullptr);
    restart_practice();
    run_until_idle();
    EXPECT_EQ((Ints{text_source, typed_count}), (Ints{1, 1}));
    EXPECT_STREQ(line_table[line_index], "kept");
}

TEST(OurLessons, LoadWithANoteOnEveryLineAnIntroductionAndKeysForEveryByte)
{
    start_game(800, 600, LESSON_MODE);
    const std::pair<const char*, const char*> lessons[] = {
        {"lessons/基本指練習.txt", u8"lessons/基本指練習.txt"},     // CP932 as the program names it,
        {"lessons/ローマ字練習.txt", u8"lessons/ローマ字練習.txt"}, // UTF-8 as the disk does
        {"lessons/数字と記号.txt", u8"lessons/数字と記号.txt"},
    };
    for (const auto& lesson : lessons) {
        const char* name = lesson.first;
        const std::string bytes = read_file(std::string(LUMEKO_BINARY_DIR) + "/" + lesson.second);
        ASSERT_FALSE(bytes.empty()) << name;                  // copied into the build tree
        EXPECT_NE(bytes.find("\r\n\r\n"), std::string::npos); // CR LF, and an empty line before the introduction
        std::snprintf(lesson_path, LESSON_PATH_SIZE, "%s", name);
        const size_t boxes = headless_box_log().size();
        text_source = reload_same_file = 1;
        load_lesson();
        // Nothing to complain about, twenty lines or more, an introduction.
        EXPECT_EQ((Ints{(int)(headless_box_log().size() - boxes), line_count >= 20, std::strlen(trailer_text) > 40}),
                  (Ints{0, 1, 1}))
            << name;
        for (int j = 0; j < line_count; j++) {
            EXPECT_TRUE(line_len(j) >= 1 && line_note[j][0] != 0) << name << " line " << j;
            for (const char* p = line_table[j]; *p; p++)
                EXPECT_NE(find_key(key_char(*p))->ch, 0) << name << " line " << j << " byte " << *p;
        }
    }
}
