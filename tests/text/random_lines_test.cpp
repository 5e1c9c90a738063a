// random_lines_test.cpp -- generated lines, practice length and case tables.
#include "text/random_lines.h"
#include "test_support.h"

#include <cstdlib>

#include "placement/placement.h"

// make_random_lines also re-places the first characters, so give it a screen.
static void set_screen() { set_layout(800, 600, 30, 40, 3, 2); }

// Line i is `len` letters from A to Y followed by a 0 byte, and has no note.
static testing::AssertionResult is_random_line(int i, int len)
{
    if (line_len(i) != len)
        return testing::AssertionFailure() << "line " << i << " has length " << line_len(i);
    for (int j = 0; j < len; j++) {
        const char c = line_table[i][j];
        if (c < 'A' || c > 'Y')
            return testing::AssertionFailure() << "line " << i << " byte " << j << " is " << int(c);
    }
    if (line_table[i][len] != 0 || line_note[i] != empty_note)
        return testing::AssertionFailure() << "line " << i << " is not ended or has a note";
    return testing::AssertionSuccess();
}

TEST(MakeRandomLines, TenLetterLinesClearTheirSlotsAndFollowTheLessonsLineCount)
{
    set_screen();
    memset(line_pool, 'Z', RANDOM_SLOT_COUNT * RANDOM_SLOT_SIZE);
    for (int j = 0; j < 20; j++)
        char_pos[j] = {-1, -1};
    random_line_len = 10;
    line_count = 1024;
    srand(1);
    make_random_lines();
    EXPECT_EQ(line_count, 1024);
    for (int i = 0; i < 1024; i++) {
        ASSERT_TRUE(is_random_line(i, 10));
        for (int b = 10; b < RANDOM_SLOT_SIZE - 1; b++)
            ASSERT_EQ(line_table[i][b], 0) << "line " << i << " byte " << b;
    }
    // The characters of the coming line were placed, and only those.
    EXPECT_EQ((Ints{char_pos[9].x >= 0, char_pos[10].x}), (Ints{1, -1}));

    // As many lines as the last lesson had, the rest of the pool and the
    // lesson's introduction untouched.
    memset(line_pool, 0xFF, 16 * RANDOM_SLOT_SIZE);
    strcpy(trailer_text, "introduction of the last lesson");
    line_count = 12;
    make_random_lines();
    EXPECT_TRUE(is_random_line(11, 10));
    EXPECT_EQ((Ints{line_count, (unsigned char)line_pool[12 * RANDOM_SLOT_SIZE]}), (Ints{12, 0xFF}));
    EXPECT_STREQ(trailer_text, "introduction of the last lesson");
}

TEST(MakeRandomLines, UsesAllOfAToYAndNothingElseInsideTheSlot)
{
    set_screen();
    random_line_len = 60;
    line_count = RANDOM_SLOT_COUNT;
    long seen[256] = {};
    for (unsigned seed = 1; seed <= 3; seed++) {
        srand(seed);
        make_random_lines();
        for (int i = 0; i < line_count; i++)
            for (int j = 0; j < 60; j++)
                seen[static_cast<unsigned char>(line_table[i][j])]++;
    }
    for (int b = 0; b < 256; b++) {
        if (b >= 'A' && b <= 'Y')
            EXPECT_GT(seen[b], 0) << "letter " << char(b) << " never drawn";
        else
            EXPECT_EQ(seen[b], 0) << "byte " << b << " drawn";
    }
    // An overlong length stays inside its slot.
    memset(line_pool + RANDOM_SLOT_SIZE, 0x7F, RANDOM_SLOT_SIZE);
    random_line_len = 5000;
    line_count = 1;
    make_random_lines();
    EXPECT_TRUE(is_random_line(0, RANDOM_SLOT_SIZE - 2));
    for (int b = 0; b < RANDOM_SLOT_SIZE; b++)
        ASSERT_EQ(line_pool[RANDOM_SLOT_SIZE + b], 0x7F) << "byte " << b << " of the next slot";
}

TEST(LineLen, StopsAtFirstLineEnd)
{
    const struct {
        std::string bytes;
        int expected;
    } cases[] = {
        {"ABCDE\rFG", 5},
        {std::string(1, '\0') + "ABC", 0},
        {"AB\nCD", 2},
        {std::string("ABC\xFF") + "D", 3},
        {"\x82\xA0\x82\xA2\r\n", 4},           // two double-byte characters
        {std::string(1023, 'A') + "\r", 1023}, // last byte looked at
        {std::string(1024, 'A') + "\r", 0},    // no line end in 1,024 bytes
    };
    for (const auto& c : cases) {
        memset(line_pool, 'A', 2 * RANDOM_SLOT_SIZE);
        memcpy(line_pool, c.bytes.data(), c.bytes.size());
        line_table[0] = line_pool;
        EXPECT_EQ(line_len(0), c.expected) << "case of " << c.bytes.size() << " bytes";
    }
    // Zero outside the table, for no line, and for a line running off the end of the pool.
    line_table[1] = nullptr;
    memcpy(line_pool + LINE_POOL_SIZE - 4, "ABCD", 4);
    line_table[2] = line_pool + LINE_POOL_SIZE - 4;
    EXPECT_EQ((Ints{line_len(-1), line_len(LINE_TABLE_SIZE), line_len(1), line_len(2)}), (Ints{0, 0, 0, 0}));
}

// The case tables let an ASCII letter be typed in either case; nothing else
// may change: not the signs beside the letters, not double-byte characters.
TEST(CaseTables, MapOnlyAsciiLetters)
{
    build_case_tables();
    for (int b = 0; b < 256; b++) {
        const bool lower = b >= 'a' && b <= 'z', upper = b >= 'A' && b <= 'Z';
        EXPECT_EQ(upper_table[b], lower ? b - 32 : 0) << "byte " << b;
        EXPECT_EQ(lower_table[b], upper ? b + 32 : 0) << "byte " << b;
    }
}
