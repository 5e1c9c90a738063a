// screen_test.cpp -- what the screen composer presents: only what changed.
#include "window_fixture.h"

static void fill_client(RECT r, COLORREF c)
{
    HDC dc = GetDC(test_window);
    fill(dc, r, c);
    ReleaseDC(test_window, dc);
}

// The whole client erased, then twenty grey keys with a label each, with no
// present in between, as a program's paint does; odd_x adds a red patch.
static void repaint(int odd_x = -1)
{
    HDC dc = GetDC(test_window);
    fill(dc, RECT{0, 0, 1920, 1080}, RGB(0, 0, 0));
    for (int i = 0; i < 20; i++) {
        RECT key{40 + i * 60, 400, 96 + i * 60, 460};
        fill(dc, key, RGB(128, 128, 128));
        TextOutA(dc, key.left + 4, key.top + 4, "Q", 1);
    }
    if (odd_x >= 0)
        fill(dc, RECT{odd_x, 430, odd_x + 3, 432}, RGB(255, 0, 0));
    ReleaseDC(test_window, dc);
}

// Pixels presented by what f draws, once the screen is read.
static uint64_t presented_by(const std::function<void()>& f)
{
    headless_screen();
    const uint64_t before = headless_present_pixels();
    f();
    headless_screen();
    return headless_present_pixels() - before;
}

// A line typed key by key, as the practice screen draws it: blanked with
// spaces on black, then its typed part drawn again; at the end a shorter part.
// What is left must be exactly what drawing that part once leaves.
static std::vector<uint32_t> typed_line_pixels(bool key_by_key)
{
    open_test_window(640, 200);
    HDC dc = GetDC(test_window);
    SetTextColor(dc, RGB(0, 255, 0));
    SetBkColor(dc, RGB(0, 0, 0));
    const char* blank = "                    ";
    for (int n = 1; key_by_key && n <= 12; n++) {
        TextOutA(dc, 0, 100, blank, 20);
        TextOutA(dc, 0, 100, "ABCDEFGHIJKL", n);
        headless_screen();
    }
    TextOutA(dc, 0, 100, blank, 20);
    TextOutA(dc, 0, 100, "ABC", 3);
    ReleaseDC(test_window, dc);
    EXPECT_TRUE(screen_shows_client());
    std::vector<uint32_t> px = client_pixels();
    DestroyWindow(test_window); // the next call opens its own
    pump();                     // and its quit message goes with it
    return px;
}

// A repaint of unchanged content presents nothing; only the rows and columns
// that differ go out; an expose sends the whole screen again without recomposing.
TEST(Present, OnlyWhatDiffersGoesOutAndAnExposeSendsEverything)
{
    open_test_window(1920, 1080);
    repaint();
    headless_screen();
    const uint64_t presents = headless_present_count();
    // The same three times: nothing; one 3 x 2 patch differs; gone at 700,
    // come at 100; an expose.
    const std::pair<std::function<void()>, uint64_t> steps[] = {
        {[] { repaint(), repaint(), repaint(); }, 0},
        {[] { repaint(700); }, 6},
        {[] { repaint(100); }, (703 - 100) * 2},
        {[] { headless_expose(), pump(); }, 1920 * 1080},
    };
    for (const auto& [draw, pixels] : steps) {
        EXPECT_EQ(presented_by(draw), pixels);
        EXPECT_TRUE(pixels || headless_present_count() == presents);
        EXPECT_TRUE(screen_shows_client());
    }
}

TEST(Present, TextDrawnAgainOnBlackLeavesWhatDrawingItOnceLeaves)
{
    std::vector<uint32_t> once = typed_line_pixels(false);
    EXPECT_EQ(typed_line_pixels(true), once);
}

// With a box up: the same content again, a change the box hides and one beside it.
TEST(Present, UnderAMessageBoxOnlyWhatShowsGoesOut)
{
    open_test_window(1920, 1080);
    repaint();
    uint64_t same = 1, hidden = 1, beside = 0;
    WaitScript script({[&] { same = presented_by([] { repaint(); }); },
                       [&] { hidden = presented_by([] {
                                 fill_client(RECT{950, 530, 970, 550}, RGB(0, 255, 0));
                             }); },
                       [&] { beside = presented_by([] {
                                 fill_client(RECT{10, 10, 20, 15}, RGB(0, 255, 0));
                             }); }});
    EXPECT_EQ(MessageBoxA(test_window, "OK?", "", MB_OK), IDOK);
    EXPECT_EQ(script.waits(), 4u);
    EXPECT_EQ((std::vector<uint64_t>{same, hidden, beside}), (std::vector<uint64_t>{0, 0, 10 * 5}));
    pump();
    EXPECT_TRUE(screen_shows_client()) << "the box is gone and what it hid is shown";
}

// An erase of the whole client is written only where later drawing leaves it
// uncovered, and always before anything reads the pixels.
TEST(Present, AnEraseIsWrittenWhereNothingCoversItBeforeAnythingReads)
{
    open_test_window(1920, 1080);
    HDC dc = GetDC(test_window);
    fill(dc, RECT{0, 400, 1920, 460}, RGB(255, 255, 255));
    fill(dc, RECT{0, 0, 1920, 1080}, RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 150, 430), 0u) << "read while the erase is pending";
    fill(dc, RECT{100, 400, 200, 460}, RGB(128, 128, 128));
    fill(dc, RECT{1000, 400, 1100, 460}, RGB(128, 128, 128));
    ReleaseDC(test_window, dc);
    for (int x : {50, 150, 500, 999, 1050, 1100, 1500, 1919}) // grey at 150 and 1050, black elsewhere
        EXPECT_EQ(headless_pixel(x, 430), x == 150 || x == 1050 ? 0x808080u : 0u) << "x " << x;
    EXPECT_TRUE(screen_shows_client());

    // Transparent text blends over what lies beneath: the black, not the white before it.
    dc = GetDC(test_window);
    fill(dc, RECT{0, 600, 1920, 700}, RGB(255, 255, 255));
    fill(dc, RECT{0, 0, 1920, 1080}, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 255, 0));
    TextOutA(dc, 600, 620, "i", 1);
    ReleaseDC(test_window, dc);
    EXPECT_EQ(count_colour(600, 620, 640, 660, 0xFFFFFF), 0);
    EXPECT_LT(count_colour(600, 620, 640, 660, 0), 40 * 40 - 10) << "the glyph is there";
    EXPECT_EQ(headless_pixel(1500, 650), 0u);
    EXPECT_TRUE(screen_shows_client());
}

// Far more separate changes than the rectangles kept apart: once the list is
// full they are merged, and every one of them still reaches the screen.
TEST(Present, ChangesBeyondTheRectangleListAreMergedNotLost)
{
    open_test_window(1920, 1080);
    repaint();
    EXPECT_GE(presented_by([] {
                  HDC dc = GetDC(test_window);
                  for (int i = 0; i < 60; i++)
                      fill(dc, RECT{i % 10 * 190 + 5, i / 10 * 170 + 5, i % 10 * 190 + 9, i / 10 * 170 + 8},
                           RGB(255, 255, 0));
                  ReleaseDC(test_window, dc);
              }),
              60u * 12);
    EXPECT_TRUE(screen_shows_client());
}
