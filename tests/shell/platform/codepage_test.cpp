// codepage_test.cpp -- Shift-JIS <-> Unicode at the layer's edges: titles,
// file names, typed text and glyphs.
#include "shell/platform/codepage.h"
#include "test_support.h"

// Characters whose second byte is 0x5C ('\') must not be split or taken for a
// path separator; characters CP932 cannot hold are dropped, never garbled.
TEST(Codepage, ConvertsBothWaysDropsWhatCannotBeHeldAndTakesEitherSeparator)
{
    const struct {
        const char* cp932;
        const char* utf8;
    } both_ways[] = {
        {"abc~\\", "abc~\\"},
        {"\x83\x5c\x95\x5c\x94\x5c", u8"ソ表能"}, // each with 0x5C as its second byte
        {"A\x82\xa0Z", u8"AあZ"},
        {"\xb1\xdd", u8"ｱﾝ"}, // half-width katakana are single bytes
        {"\x81\x40", u8"　"}, // the ideographic space
        {"", ""},
    };
    for (const auto& c : both_ways) {
        EXPECT_EQ(cp932_to_utf8(c.cp932), c.utf8) << c.utf8;
        EXPECT_EQ(utf8_to_cp932(c.utf8), c.cp932) << c.utf8;
    }
    // An emoji, the euro sign and a hangul syllable: none has a CP932 code.
    EXPECT_EQ(utf8_to_cp932(std::string("a\xF0\x9F\x98\x80") + "b\xE2\x82\xAC" + "c\xED\x95\x9C" + "d"), "abcd");
    EXPECT_EQ(cp932_to_utf8(std::string("a\x85\x40") + "b"), "ab") << "an unassigned code";
    EXPECT_EQ(cp932_to_utf8("ab\x82"), "ab") << "a lead byte cut off at the end";
    EXPECT_EQ(utf8_to_cp932(std::string("a\xe3\x81") + "b"), "ab") << "a UTF-8 sequence cut short";
    EXPECT_EQ(cp932_to_unicode(0x835C), U'ソ');
    EXPECT_EQ(cp932_to_unicode('A'), U'A');
    EXPECT_EQ(cp932_to_unicode(0x8540), 0u);

    // A Windows-style name finds the same file: '\' separates folders, while a
    // 0x5C inside a double-byte character stays part of the character.
    EXPECT_EQ(cp932_path_to_utf8("lessons\\\x95\x5c.txt"), u8"lessons/表.txt");
    EXPECT_EQ(cp932_path_to_utf8("a/b\\c"), "a/b/c");
    EXPECT_EQ(cp932_path_to_utf8("\x83\x5c\x83\x5c"), u8"ソソ");
    EXPECT_EQ(cp932_path_to_utf8("/home/u/a\\b.txt"), "/home/u/a\\b.txt") << "a name from the chooser";
}

// Broken UTF-8 from the desktop loses only its own bytes: a bad lead byte is
// one byte, a sequence cut short ends where its continuation bytes end.
TEST(Codepage, BrokenUtf8DropsOnlyItself)
{
    const std::pair<unsigned char, int> leads[] = {{'A', 1},  {0x80, 1}, {0xBF, 1}, {0xC0, 1}, {0xC1, 1},
                                                   {0xC2, 2}, {0xDF, 2}, {0xE0, 3}, {0xEF, 3}, {0xF0, 4},
                                                   {0xF4, 4}, {0xF5, 1}, {0xFF, 1}};
    for (const auto& l : leads)
        EXPECT_EQ(utf8_lead_len(l.first), l.second) << (int)l.first;
    EXPECT_EQ(utf8_to_cp932(std::string("a\xC0\xAF") + "b\xFF" + "c"), "abc");
    EXPECT_EQ(utf8_to_cp932(std::string("\xF0\x9F\x98") + "b\xE3\x81"), "b");
}
