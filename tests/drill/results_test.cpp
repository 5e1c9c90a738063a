// results_test.cpp -- result and start texts (Shift-JIS bytes, as the boxes get them).
#include "drill/results.h"
#include "test_support.h"

static const std::string RESULT_END = "ENTERかSPECEを押すとはじまります。";
static const std::string START_END = "\n\nENTERかSPACEを押すとはじまります。";

TEST(ResultText, CutsTimeToTenthsAndShowsTheSpeed)
{
    const struct {
        int n, t, lesson;
        const char* note;
        const char* time;
        const char* speed;
    } cases[] = {
        {30, 37, 0, "", "1.8", "16.216216"},
        {30, 37, 1, "", "1.8", "16.216217"}, // speed via a float; no note: four line feeds
        {30, 39, 0, "", "1.9", "15.384615"},
        {30, 40, 1, "指の形", "2.0", "15.000000"},
        {30, 1, 0, "", "0.0", "600.000000"},
        {30, 1506, 0, "", "75.3", "0.398406"},
        {10, 0, 0, "", "0.0", "---"}, // finished before the first tick
        {10, 0, 1, "", "0.0", "---"},
    };
    char out[512];
    for (const auto& c : cases) {
        format_result_text(out, sizeof out, c.n, c.t, c.lesson, c.note);
        std::string expected = std::to_string(c.n) + "文字　" + c.time + " 秒\n\n１秒当たり " + c.speed + "文字\n\n" +
                               (c.lesson ? std::string(c.note) + "\n\n" : "") + RESULT_END;
        EXPECT_EQ(out, expected) << "n " << c.n << " t " << c.t << " lesson " << c.lesson;
    }
}

TEST(StartText, RandomLettersShortLessonAndALongTrailerCutAtACharacterBoundary)
{
    char text[256];
    EXPECT_STREQ(format_start_text(text, sizeof text, 0, "ignored"), ("スタート！！" + START_END).c_str());
    EXPECT_STREQ(format_start_text(text, sizeof text, 1, "はじめに"), ("はじめに" + START_END).c_str());
    // Room for five bytes of the trailer: two double-byte characters fit, the
    // third would be split and is left out.
    const int small = (int)START_END.size() + 1 + 5;
    std::vector<char> out((size_t)small + 16, '#');
    format_start_text(out.data(), small, 1, "あいうえお");
    EXPECT_STREQ(out.data(), ("あい" + START_END).c_str());
    EXPECT_EQ(out[(size_t)small], '#');

    // A trailer as large as the store keeps, into the shared buffer the drill
    // uses: the ending and a 0 leave an odd number of bytes, so the last whole
    // character ends one byte short of them.
    std::string trailer;
    while (trailer.size() < (size_t)TRAILER_TEXT_SIZE)
        trailer += "練";
    format_start_text(text_buffer, TEXT_BUFFER_SIZE, 1, trailer.c_str());
    EXPECT_EQ(std::string(text_buffer), trailer.substr(0, TEXT_BUFFER_SIZE - START_END.size() - 2) + START_END);
}
