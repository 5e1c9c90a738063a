// codepage_test.cpp -- Shift-JIS <-> Unicode at the layer's edges: titles,
// file names, typed text and glyphs.
#include "shell/platform/codepage.h"
#include "shell/platform/disk.h"
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
    EXPECT_EQ((std::u32string{cp932_to_unicode(0x835C), cp932_to_unicode('A'), cp932_to_unicode(0x8540)}),
              (std::u32string{U'ソ', U'A', 0}));

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

// The UTF-16 calls the records write their file with: counts with and without
// the terminator, the size asked for with a size of 0, a buffer too small;
// and file names, which go to UTF-16 and come back byte for byte.
TEST(Codepage, WideConversionsCountAsWindowsDoes)
{
    WCHAR wide[8];
    char out[16];
    EXPECT_EQ(MultiByteToWideChar(932, 0, "A\x82\xa0", -1, wide, 8), 3); // A, あ and the terminator
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"Aあ\0", 3));
    EXPECT_EQ(MultiByteToWideChar(932, 0, "A\x82\xa0", 3, nullptr, 0), 2);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, u8"あいうえお", -1, wide, 5), 0) << "no room for the terminator";
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"Aあ", 2, out, 16, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(out, 4), u8"Aあ");
    EXPECT_EQ(WideCharToMultiByte(932, 0, u"Aあ", -1, nullptr, 0, nullptr, nullptr), 4);
    const char16_t surrogates[] = {0xD83D, 0xDE00, 'x', 0xD83D, 0};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, surrogates, -1, out, 16, nullptr, nullptr), 9);
    EXPECT_EQ(std::string(out, 8), "\xF0\x9F\x98\x80x\xEF\xBF\xBD") << "a pair joined, a lone half replaced";
    // File names survive the trip through UTF-16 byte for byte, UTF-8 or not.
    const std::u16string korean = path_to_utf16(u8"/é/한국"); // out of the macro, which spells it in CP932
    EXPECT_EQ(korean, (std::u16string{'/', 0xE9, '/', 0xD55C, 0xAD6D}));
    const std::string names[] = {"/caf\xE9",         "\xED\xB2\x80",         "\xE0\x80\xAF",
                                 "\xF4\x90\x80\x80", "\xF0\x90\x82\x80\xE9", "\xE3\x81"};
    for (const std::string& name : names)
        EXPECT_EQ(utf16_to_path(path_to_utf16(name).c_str()), name) << hex_of(name);
}
