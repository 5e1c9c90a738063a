// headless_test.cpp -- the headless backend's records.
#include "window_fixture.h"

// A soak of many boxes keeps only the newest texts, but still counts them all,
// and a caller that noted size() before reads the newer texts by number.
TEST(HeadlessRecord, KeepsTheNewestTextsAndCountsAll)
{
    open_test_window();
    const size_t kept = HeadlessRecord::KEPT, shown = kept + 40;
    for (size_t i = 0; i < shown; i++)
        ASSERT_EQ(MessageBoxA(test_window, std::to_string(i).c_str(), "", MB_OK), IDOK); // answered with Return
    const HeadlessRecord& log = headless_box_log();
    EXPECT_EQ((std::vector<size_t>{log.size(), log.first_kept(), (size_t)(log.end() - log.begin())}),
              (std::vector<size_t>{shown, shown - kept, shown}));
    EXPECT_EQ(log.back(), std::to_string(shown - 1));
    EXPECT_EQ(log[shown - kept], std::to_string(shown - kept));
    EXPECT_EQ(log[shown - kept - 1] + log[shown], "") << "older than the newest kept, or past the newest";
    EXPECT_EQ(*(log.begin() + (long)(shown - 5)), std::to_string(shown - 5));
}
