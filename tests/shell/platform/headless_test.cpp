// headless_test.cpp -- the headless backend's records, and what it is asked to present.
#include "window_fixture.h"

#include <gtest/gtest.h>
#include <string>

// A soak of many boxes keeps only the newest texts, but still counts them all,
// and a caller that noted size() before reads the newer texts by number.
TEST(HeadlessRecord, KeepsTheNewestTextsAndCountsAll)
{
    open_test_window();
    const size_t kept = HeadlessRecord::KEPT;
    const size_t shown = kept + 40;
    for (size_t i = 0; i < shown; i++) {
        char text[32];
        wsprintfA(text, "box %d", (int)i);
        ASSERT_EQ(MessageBoxA(test_window, text, "", MB_OK), IDOK); // answered with Return
    }
    const HeadlessRecord& log = headless_box_log();
    EXPECT_EQ(log.size(), shown);
    EXPECT_EQ(log.first_kept(), shown - kept);
    EXPECT_EQ(log.back(), "box " + std::to_string(shown - 1));
    EXPECT_EQ(log[shown - kept], "box " + std::to_string(shown - kept));
    EXPECT_EQ(log[shown - kept - 1], "") << "older than the newest " << kept;
    EXPECT_EQ(log[0], "");
    EXPECT_EQ(log[shown], "") << "past the newest";
    size_t n = 0, from = shown - 5;
    for (auto it = log.begin() + (long)from; it != log.end(); ++it, ++n)
        EXPECT_EQ(*it, "box " + std::to_string(from + n));
    EXPECT_EQ(n, 5u);
    EXPECT_EQ(log.end() - log.begin(), (long)shown);
}
