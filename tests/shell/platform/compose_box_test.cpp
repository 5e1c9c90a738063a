// compose_box_test.cpp -- the input method's composition: shown in a box over
// the practice screen, never typed or judged until committed, gone on commit
// and cancel, bounded, and where the candidate window is asked to open.
#include "shell/platform/codepage.h"
#include "test_support.h"

constexpr uint32_t FRAME = 0x404040, FACE = 0xFFFFFF, INK = 0x101010, CURSOR = 0x2F5FB0;

static int client_top() { return headless_screen().h - client_h; }
static int count_on_screen(const IRect& r, uint32_t color) { return count_in(headless_screen(), r, color); }

static void compose(const char* utf8, int cursor)
{
    headless_compose(utf8, cursor);
    run_until_idle();
}

// The box as the layer placed it at the last present (screen pixels).
static IRect placed_box()
{
    headless_screen();
    return headless_text_input_rect();
}

TEST(CompositionBox, ShowsAboveTheTypedLineAndNothingIsJudgedUntilCommitted)
{
    play_game();
    const IRect anchor = placed_box();
    ASSERT_FALSE(anchor.empty()); // the candidate window has a place before anything is composed
    const int count = typed_count, index = char_index;
    const std::string first = rest_of_line().substr(0, 1);

    compose(u8"かんじ", 2);
    headless_key(VK_RETURN); // keys that reach the window while composing are the input method's
    run_until_idle();
    IRect box = placed_box();
    // At the anchor, grown for three characters; framed, its face, text and
    // underline, the cursor.
    EXPECT_EQ((Ints{box.x0, box.y0, box.width() > anchor.width()}), (Ints{anchor.x0, anchor.y0, 1}));
    EXPECT_EQ(count_on_screen(IRect{box.x0, box.y0, box.x1, box.y0 + 1}, FRAME), box.width());
    EXPECT_EQ(headless_screen().row(box.y0 + 2)[box.x0 + 2], FACE);
    EXPECT_EQ((Ints{count_on_screen(box, INK) > 60, count_on_screen(box, CURSOR) > 20}), (Ints{1, 1}));
    const int typed_line_top = client_h - typed_cell() - keyboard_rows * key_h, bottom = box.y1 - client_top();
    EXPECT_TRUE(bottom <= typed_line_top && bottom >= typed_line_top - typed_cell()) << bottom; // right above it
    EXPECT_EQ((Ints{GetWindowTextLengthA(input_edit), typed_count, char_index}), (Ints{0, count, index}));
    EXPECT_EQ(count_in(headless_client(), rect_offset(box, 0, -client_top()), FACE), 0); // over the window, not in it

    // Committed: the box goes, and the committed text is judged.
    headless_compose("", 0);
    headless_text(first.c_str());
    run_until_idle();
    EXPECT_TRUE(screen_shows_client(box));
    EXPECT_EQ(typed_count, count + 1);
}

TEST(CompositionBox, CancelLeavesTheWindowAsItWas)
{
    play_game("[set]\ntypemode=3\n"); // no keyboard: the typed line is at the bottom
    const int count = typed_count;
    compose(u8"へんかん", 4);
    IRect box = placed_box();
    const int bottom = box.y1 - client_top();
    EXPECT_GT(count_on_screen(box, FRAME), 0);
    EXPECT_TRUE(bottom <= client_h - typed_cell() && bottom >= client_h - 2 * typed_cell()) << bottom; // right above it
    compose("", 0);
    EXPECT_TRUE(screen_shows_client(box));
    EXPECT_EQ((Ints{GetWindowTextLengthA(input_edit), typed_count}), (Ints{0, count}));
}

TEST(CompositionBox, StandsDownForAMessageBoxAndOnFocusLoss)
{
    play_game();
    compose(u8"か", 1);
    IRect box = placed_box();
    {
        WaitScript script({[] { EXPECT_EQ(count_on_screen(placed_box(), FRAME), 0) << "the box has the input"; }});
        MessageBoxA(main_window, "OK", "", MB_OK);
    }
    EXPECT_GT(count_on_screen(box, FRAME), 0); // still composing when the box closed
    headless_focus(false);
    run_until_idle();
    EXPECT_TRUE(screen_shows_client(box));
}

// A composition comes whole, far past what a line holds, and is cut only at
// a character; the box grows to hold it, and in a narrow window its end and
// the cursor stay in view.
TEST(CompositionBox, LongCompositionComesWholeAndKeepsItsEndInView)
{
    EXPECT_EQ(utf8_cut("abcdefghij", 7), "abcdefg");
    EXPECT_EQ(utf8_cut(u8"aあい", 7), u8"aあい");         // fits exactly
    EXPECT_EQ(utf8_cut(u8"abあい", 7), u8"abあ");         // い would be split
    EXPECT_EQ(utf8_cut("abc\xF0\x9F\x98\x80", 6), "abc"); // a four-byte character
    EXPECT_EQ(utf8_cut("ab", 0), "");

    play_game(nullptr, 1800, 400);
    std::string kana;
    for (int i = 0; i < 60; i++)
        kana += u8"あ";
    compose(kana.c_str(), 60); // 180 bytes of UTF-8
    EXPECT_GE(placed_box().width(), 60 * 24);

    headless_resize(400, 300);
    kana += kana;
    compose(kana.c_str(), 120);
    IRect box = placed_box();
    // The cursor at the end is kept in view.
    EXPECT_EQ((Ints{box.x1 <= 400, count_on_screen(box, CURSOR) > 20, GetWindowTextLengthA(input_edit)}),
              (Ints{1, 1, 0}));
}

// A menu opened in the middle of a composition turns the input method off
// until it closes: the composition ends and the keys work the menu.
TEST(CompositionBox, AMenuEndsTheCompositionAndHasTheKeys)
{
    play_game();
    compose(u8"かんじ", 3);
    IRect box = placed_box();
    int x, y;
    ASSERT_TRUE(headless_menu_point(0, 1, &x, &y));
    bool on_in_menu = true;
    {
        WaitScript script({[&] {
                              on_in_menu = headless_text_input_on();
                              headless_key(VK_ESCAPE);
                              headless_key(VK_ESCAPE);
                          }},
                          [] {});
        headless_click(1, x, y);
        run_until_idle();
    }
    EXPECT_EQ((Ints{on_in_menu, headless_menu_level(), headless_text_input_on()}), (Ints{0, -1, 1}));
    EXPECT_TRUE(screen_shows_client(box)); // the composition did not come back
}
