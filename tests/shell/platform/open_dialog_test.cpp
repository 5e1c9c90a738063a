// open_dialog_test.cpp -- the open-file dialog: the request the chooser gets, the
// path handed back as CP932, refusals and the nested loop.
#include "window_fixture.h"

#include <sys/stat.h>

static const char FILTERS[] = "Txt Files(*.txt)\0*.txt\0All Files(*.*)\0*.*\0";

struct Dialog {
    char file[520];
    OPENFILENAMEA ofn;
    explicit Dialog(const std::string& proposed)
    {
        std::snprintf(file, sizeof file, "%s", proposed.c_str());
        std::memset(&ofn, 0, sizeof ofn);
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        ofn.hwndOwner = test_window;
        ofn.lpstrFilter = FILTERS;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrTitle = "開く";
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    }
};

TEST(OpenDialog, AsksWithTitleFiltersAndProposalAndHandsBackCp932)
{
    open_test_window();
    const std::string dir = make_temp_dir("open");
    write_file(dir + "/a.txt", "x");
    write_file(dir + u8"/練習.txt", "y"); // the name in UTF-8, as on disk
    headless_answer_file_dialog((dir + u8"/練習.txt").c_str());
    Dialog d(dir + "/a.txt");
    ASSERT_TRUE(GetOpenFileNameA(&d.ofn));
    EXPECT_STREQ(d.file, (dir + "/練習.txt").c_str()); // this literal is CP932
    EXPECT_EQ((Ints{d.ofn.nFileOffset, d.ofn.nFileExtension}), (Ints{(int)dir.size() + 1, (int)dir.size() + 6}));
    ASSERT_EQ(headless_file_dialogs().size(), 1u);
    const HeadlessFileDialog& asked = headless_file_dialogs()[0];
    EXPECT_EQ(asked.title + "|" + asked.proposed, u8"開く|" + dir + "/a.txt");
    EXPECT_EQ(asked.filters, (decltype(asked.filters){{"Txt Files(*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}}));
    EXPECT_FALSE(headless_file_dialog_open());
}

TEST(OpenDialog, RefusesWhatIsNoFileAndNamesCp932CannotHoldAndTellsWhenItCannotStart)
{
    open_test_window();
    const std::string dir = make_temp_dir("open");
    const std::string hangul = dir + u8"/한글.txt";
    write_file(hangul, "z");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    ASSERT_EQ(symlink("loop-b", (dir + "/loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", (dir + "/loop-b").c_str()), 0);
    const std::string again = u8"\n\n練習ファイルを選んでください。";
    const std::pair<std::string, std::string> refused[] = {
        {dir + "/missing.txt", u8"というファイルはありません。\n\nファイル名を確かめてください。"},
        {dir, u8"はフォルダです。" + again},
        {dir + "/pipe", u8"は名前付きパイプで、ファイルではありません。" + again},
        {"/dev/null", u8"はデバイスで、ファイルではありません。" + again},
        {dir + "/loop-a", u8"はシンボリックリンクが循環しているため、開けません。"},
        {hangul,
         u8"は開けません。\n\nファイル名に Shift-JIS で表せない文字があります。\n別の名前のファイルを選んでください。"},
    };
    for (const auto& r : refused)
        headless_answer_file_dialog(r.first.c_str());
    headless_answer_file_dialog(nullptr);
    Dialog d("start.txt");
    EXPECT_FALSE(GetOpenFileNameA(&d.ofn));
    EXPECT_STREQ(d.file, "start.txt");
    const size_t n = sizeof refused / sizeof refused[0];
    ASSERT_EQ(headless_file_dialogs().size(), n + 1);
    ASSERT_EQ(headless_box_log().size(), n);
    for (size_t i = 0; i < n; i++) {
        EXPECT_EQ(headless_box_log()[i], u8"「" + refused[i].first + u8"」" + refused[i].second); // the name whole
        EXPECT_EQ(headless_file_dialogs()[i + 1].proposed, refused[i].first); // the chooser comes back with it
    }
    // When no chooser can be started the user is told why.
    headless_fail_file_dialog(u8"ファイルを選ぶには zenity が必要です。");
    EXPECT_FALSE(GetOpenFileNameA(&d.ofn));
    EXPECT_EQ(headless_box_log().back(), u8"ファイルを選ぶには zenity が必要です。");
    EXPECT_STREQ(d.file, "start.txt");
}

// The chooser stays up for 200 ms of virtual time while the user types and
// clicks into the game window and closes it; then the file is picked.
TEST(OpenDialog, KeepsTimersAndPaintsGoingAndShutsTheWindow)
{
    open_test_window();
    const std::string answer = make_temp_dir("open") + "/b.txt";
    write_file(answer, "b");
    SetTimer(test_window, 1, 50, nullptr);
    recorded.clear();
    auto tick = [] { headless_advance_ms(50); };
    {
        WaitScript script({[] {
                               headless_type("abc");
                               headless_click(1, 20, 20);
                               headless_close();
                               InvalidateRect(test_window, nullptr, TRUE);
                               headless_advance_ms(50);
                           },
                           tick, tick, tick},
                          [&] { headless_answer_file_dialog(answer.c_str()); });
        Dialog d("");
        EXPECT_TRUE(GetOpenFileNameA(&d.ofn));
    }
    EXPECT_EQ((Ints{count_of(WM_TIMER), count_of(WM_PAINT) >= 1}), (Ints{4, 1}));
    pump();
    EXPECT_EQ((Ints{count_of(WM_LBUTTONDOWN), count_of(WM_CLOSE), GetWindowTextLengthA(test_edit)}), (Ints{0, 0, 0}))
        << "a click, a close or text reached the window";
    EXPECT_TRUE(GetFocus() == test_window && headless_file_dialogs()[0].proposed.empty());
}

// The close box under the chooser brings it forward. One that answers keeps
// the window open, as Windows only shows its dialog; one that has not answered
// three seconds after the request is taken down and the window closes.
TEST(OpenDialog, CloseRequestBringsTheChooserForwardAndClosesPastAHungOne)
{
    open_test_window();
    recorded.clear();
    bool open_after_answer = false, open_before_limit = false;
    {
        WaitScript script({[] { headless_close(); },
                           [&] {
                               headless_advance_ms(4000);
                               open_after_answer = headless_file_dialog_open();
                               headless_hang_file_dialog(true);
                               headless_close();
                           },
                           [] { headless_advance_ms(2950); },
                           [&] {
                               open_before_limit = headless_file_dialog_open();
                               headless_advance_ms(50);
                           }},
                          [] { headless_answer_file_dialog(nullptr); });
        Dialog d("");
        EXPECT_FALSE(GetOpenFileNameA(&d.ofn));
    }
    EXPECT_TRUE(open_after_answer && open_before_limit);
    // Taken down, raised twice, nothing told; then the window closes.
    EXPECT_EQ((Ints{headless_file_dialog_open(), headless_file_dialog_raises(), (int)headless_box_log().size()}),
              (Ints{0, 2, 0}));
    pump();
    EXPECT_EQ(count_of(WM_CLOSE), 1);
}
