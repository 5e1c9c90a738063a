// Message boxes: modal, drawn over the window, closed by keys or the button.
#include "shell/platform/codepage.h"
#include "shell/platform/wrap.h"
#include "window_fixture.h"

#include <algorithm>

TEST(MessageBox, KeepsTimersGoingAndSwallowsItsClosingKey)
{
    open_test_window();
    SetTimer(test_window, 1, 50, nullptr);
    auto tick = [] { headless_advance_ms(50); };
    {
        WaitScript script({tick, tick, tick, tick}, [] { headless_type(" "); }); // up for 200 ms, closed with Space
        EXPECT_EQ(MessageBoxA(test_window, "結果\n二行目", "", MB_OK), IDOK);
    }
    EXPECT_EQ(count_of(WM_TIMER), 4);
    EXPECT_EQ(headless_box_log().back(), u8"結果\n二行目");
    pump();
    EXPECT_EQ(GetWindowTextLengthA(test_edit), 0); // the Space did not become text
    EXPECT_EQ(GetFocus(), test_window);            // the window is active again
}

TEST(MessageBox, IsAnOverlayThatOnlyItsButtonOrKeysClose)
{
    open_test_window(400, 300);
    {
        WaitScript script({[] {
                               Surface s = headless_screen();
                               EXPECT_NE(s.row(s.h / 2)[s.w / 2], 0u); // the box shows over the black window
                               EXPECT_EQ(headless_box_text(), u8"見出し");
                               headless_type("abc");    // typing goes to the box, not to the window
                               headless_click(1, 5, 5); // nor does a click beside the button
                           },
                           [] { headless_click(1, 200, 150 + 30); }}); // the OK button, below the text
        EXPECT_EQ(MessageBoxA(test_window, "見出し", "", MB_OK), IDOK);
        EXPECT_EQ(script.waits(), 2u);
    }
    EXPECT_EQ(count_of(WM_LBUTTONDOWN) + GetWindowTextLengthA(test_edit), 0);
    EXPECT_EQ(headless_pixel(200, 150), 0u); // the client framebuffer was never drawn on
    EXPECT_EQ(headless_box_text(), "");
    Surface s = headless_screen();
    EXPECT_EQ(s.row(s.h / 2)[s.w / 2], 0u);  // gone from the screen again
    WaitScript script({}, press(VK_ESCAPE)); // and a box closed with Escape
    MessageBoxA(test_window, "OK?", "", MB_OK);
    EXPECT_EQ(script.waits(), 1u);
}

// The middle of the box shown for an owner window, and its extent.
static IRect box_for(HWND owner)
{
    IRect seen{};
    WaitScript script({[&] { seen = extent(headless_screen(), 0x505050); }});
    MessageBoxA(owner, "OK?", "", MB_OK);
    return seen;
}

TEST(MessageBox, IsCentredOnItsOwnerAndKeptInsideTheWindow)
{
    open_test_window(800, 600);
    HWND pane = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 500, 100, 280, 200, test_window, nullptr, nullptr,
                                nullptr);
    IRect box = box_for(pane);
    EXPECT_EQ((Ints{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2}), (Ints{640, 200}));
    HWND corner =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 760, 560, 40, 40, test_window, nullptr, nullptr, nullptr);
    box = box_for(corner);
    EXPECT_TRUE(box.x1 <= 800 && box.y1 <= 600) << box.x1 << "," << box.y1;
    box = box_for(test_window); // the whole window: its middle
    EXPECT_EQ((Ints{(box.x0 + box.x1) / 2, (box.y0 + box.y1) / 2}), (Ints{400, 300}));
    DestroyWindow(corner);
    DestroyWindow(pane);
}

// Lines wider than the box break where a reader expects: anywhere in
// Japanese but not before a closing mark, at spaces, after the folders of a
// path, and inside a word only when it is wider than the box.
TEST(MessageBox, WrapsOnWholeCharactersWhereTheTextMayBreak)
{
    const FontRequest font = gothic_font(20, 10, FW_NORMAL); // 10 pixels a cell
    const struct {
        const char* text;
        int max_w;
        std::vector<std::string> lines;
    } cases[] = {
        {u8"短い行", 60, {u8"短い行"}},
        {u8"あいうえおかきくけこ", 60, {u8"あいう", u8"えおか", u8"きくけ", u8"こ"}},
        {u8"あいう。えお", 60, {u8"あい", u8"う。え", u8"お"}}, // 。 never starts a line
        {u8"one two  three", 65, {u8"one", u8"two", u8"three"}},
        {u8"場所：/home/user/records.csv", 120, {u8"場所：/home/", u8"user/", u8"records.csv"}},
        {u8"abcdefghijkl", 50, {u8"abcde", u8"fghij", u8"kl"}},
        {u8"字", 10, {u8"字"}}, // wider than the width: alone, never dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(wrap_line(font, c.text, c.max_w), c.lines) << c.text;

    // Text as MessageBoxA receives it: every piece whole characters, no wider
    // than the width, and together the text again.
    const std::string utf8 = cp932_to_utf8("基本指練習：ホームポジション（左手はＡＳＤＦ）から始めましょう。");
    std::string joined;
    for (const std::string& piece : wrap_line(font, utf8, 90)) {
        EXPECT_LE(font_text_width_utf8(font, piece), 90) << piece;
        EXPECT_EQ(utf8_cut(piece, piece.size()), piece) << piece;
        joined += piece;
    }
    EXPECT_EQ(joined, utf8);
}

// Whether any pixel within r on the screen is the boxes' text colour.
static bool inked(const IRect& r) { return count_in(headless_screen(), r, 0x101010) > 0; }
// The extent of a colour on the composed screen: the box's frame by default.
static IRect box_on_screen(uint32_t colour = 0x505050) { return extent(headless_screen(), colour); }

TEST(MessageBox, ALongLineWrapsInsideTheScreenAndATallTextKeepsItsButton)
{
    open_test_window(800, 600);
    std::string line;
    for (int i = 0; i < 100; i++)
        line += "あ"; // 20 pixels each: 36 fit in the widest text, 800 - 2 * (8 + 24)
    IRect box{};
    bool cells[4][2] = {}; // ink in the first and the 29th character's cell of each text line
    WaitScript script({[&] {
        box = box_on_screen();
        for (int k = 0; k < 4; k++)
            for (int c = 0; c < 2; c++) {
                int x = box.x0 + 24 + c * 28 * 20, y = box.y0 + 24 + k * 26;
                cells[k][c] = inked(IRect{x, y, x + 20, y + 20});
            }
    }});
    MessageBoxA(test_window, line.c_str(), "", MB_OK);
    EXPECT_EQ((Ints{box.width(), box.height()}), (Ints{36 * 20 + 2 * 24, 3 * 26 + 3 * 24 + 32}));
    const bool lines_of_36_36_28[4][2] = {{true, true}, {true, true}, {true, false}, {false, false}};
    for (int k = 0; k < 4; k++)
        for (int c = 0; c < 2; c++)
            EXPECT_EQ(cells[k][c], lines_of_36_36_28[k][c]) << "line " << k << ", cell " << c;

    std::string tall;
    for (int i = 0; i < 60; i++)
        tall += std::to_string(i) + "\n";
    IRect button{};
    bool cut_line = true;
    WaitScript click({[&] {
        box = box_on_screen();
        button = box_on_screen(0x2F5FB0);
        cut_line = inked(IRect{box.x0, box.y0 + 24 + 18 * 26 + 20, box.x1, button.y0}); // below the 19th line
        headless_click(1, button.x0 + 1, button.y1 - 2);
    }}); // a Return would close it on a second wait
    MessageBoxA(test_window, tall.c_str(), "", MB_OK);
    EXPECT_EQ(click.waits(), 1u);
    EXPECT_FALSE(cut_line) << "only whole lines are drawn";
    EXPECT_EQ((Ints{button.height(), button.y1}), (Ints{32, 600 - 8 - 24}));
}
