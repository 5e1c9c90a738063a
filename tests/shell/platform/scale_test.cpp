// scale_test.cpp -- the desktop's scale: how it is read, and the menu bar, a
// drop-down, a message box and the composition box drawn and hit at 1x, 1.5x
// and 2x (each scale in a process of its own).
#include "shell/platform/scale.h"
#include "window_fixture.h"

#include <algorithm>

TEST(DesktopScale, XftDpiFirstThenGdkThenQtAndOnlyPositiveNumbersCount)
{
    const struct {
        const char *xft, *gdk, *qt;
        double factor;
    } cases[] = {
        {nullptr, nullptr, nullptr, 1.0},     {"96", "2", "3", 1.0},         {"192", nullptr, nullptr, 2.0},
        {" 120.0\n", nullptr, nullptr, 1.25}, {nullptr, "2", "3", 2.0},      {nullptr, nullptr, "1.5", 1.5},
        {"dpi", "2", nullptr, 2.0},           {"0", nullptr, "1.5", 1.5},    {"-192", "", "1,5", 1.0},
        {"nan", "inf", "1.75", 1.75},         {"48", nullptr, nullptr, 1.0}, {"960", nullptr, nullptr, 4.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(scale_from_desktop(c.xft, c.gdk, c.qt), c.factor)
            << (c.xft ? c.xft : "-") << " / " << (c.gdk ? c.gdk : "-") << " / " << (c.qt ? c.qt : "-");
}

// What each scale gives, in pixels. The bar and its items are 24 at 1x, below a
// 2-pixel border; the drop-down holds "11" and "sub" (3 cells of 8 at 1x); the
// message box 30 cells of 10 at 1x, and 150 wrapped at the widest text an 800
// screen leaves (73, 46 and 33 cells a line); the composition "かな" 4 cells of
// 12 at 1x.
struct AtScale {
    double factor;
    int bar_h, line, border;
    int drop_w, drop_h;
    int box_w, box_h, button_w, button_h;
    int wrapped_w, wrapped_h;
    int compose_w, compose_h, caret_pixels;
};
constexpr AtScale SCALES[] = {
    {1.0, 24, 1, 2, 80, 52, 348, 130, 96, 32, 73 * 10 + 48, 3 * 26 + 104, 64, 36, 2 * 24},
    {1.5, 36, 2, 3, 120, 78, 522, 195, 144, 48, 46 * 15 + 72, 4 * 39 + 156, 97, 56, 3 * 36},
    {2.0, 48, 2, 4, 160, 104, 696, 260, 192, 64, 33 * 20 + 96, 5 * 52 + 208, 128, 72, 4 * 48},
};
constexpr uint32_t BAR_FACE = 0xF0F0F0, BAR_LINE = 0xC0C0C0, MENU_FRAME = 0x808080, BOX_FRAME = 0x505050,
                   BUTTON_FRAME = 0x2F5FB0, COMPOSE_FRAME = 0x404040, CARET = 0x2F5FB0;

void PrintTo(const AtScale& s, std::ostream* os) { *os << s.factor << "x"; }

class Scaled : public ::testing::TestWithParam<AtScale>
{
  protected:
    void SetUp() override { headless_set_scale(GetParam().factor); }
};

// Rows of the bar's first entry that hold dark ink (the label's glyphs).
static int label_ink_rows(int bar_h, int entry_w)
{
    Surface s = headless_screen();
    int rows = 0;
    for (int y = 0; y < bar_h; y++)
        rows += std::any_of(s.row(y), s.row(y) + entry_w, [](uint32_t p) { return (p & 0xFF) < 0x80; });
    return rows;
}

// A bar "A" alone, whose menu holds item 11 and a sub-menu "sub".
static HMENU one_menu_bar()
{
    HMENU sub = CreateMenu(), a = CreateMenu(), bar = CreateMenu();
    AppendMenuA(sub, MF_STRING, 21, "21");
    AppendMenuA(a, MF_STRING, 11, "11");
    AppendMenuA(a, MF_POPUP, (UINT_PTR)sub, "sub");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)a, "A");
    return bar;
}

TEST_P(Scaled, MenuBarAndDropDownGrowAndAreHitWhereTheyAreDrawn)
{
    const AtScale& e = GetParam();
    open_test_window(800, 600, one_menu_bar());
    RECT client;
    GetClientRect(test_window, &client);
    EXPECT_EQ((Ints{GetSystemMetrics(SM_CYMENU), (int)client.bottom}), (Ints{e.bar_h, 600 - e.bar_h}));
    // Face, the line below it to its last row, and the client right below.
    Surface s = headless_screen();
    EXPECT_EQ((std::vector<uint32_t>{s.row(e.bar_h - e.line - 1)[700], s.row(e.bar_h - e.line)[700],
                                     s.row(e.bar_h - 1)[700], s.row(e.bar_h)[700]}),
              (std::vector<uint32_t>{BAR_FACE, BAR_LINE, BAR_LINE, 0}));
    const int ink = label_ink_rows(e.bar_h, (int)(28 * e.factor));
    EXPECT_TRUE(ink * 5 >= e.bar_h * 2 && ink * 5 <= e.bar_h * 3) << "the label grows with the bar: " << ink;

    // The bar's last row of face opens the menu; the last row of item 11 (items
    // are as tall as the bar) chooses it.
    IRect drop{};
    {
        WaitScript script({[&] {
            drop = extent(headless_screen(), MENU_FRAME);
            headless_click(1, drop.x0 + e.border, e.bar_h + e.border + e.bar_h - 1);
        }});
        headless_click(1, 1, e.bar_h - e.line - 1);
        pump();
    }
    pump();
    EXPECT_EQ((Ints{drop.y0, drop.width(), drop.height()}), (Ints{e.bar_h, e.drop_w, e.drop_h}));
    auto chose_11 = [](const Recorded& r) { return r.msg == WM_COMMAND && LOWORD(r.wparam) == 11; };
    EXPECT_EQ(std::count_if(recorded.begin(), recorded.end(), chose_11), 1);
}

TEST_P(Scaled, MessageBoxGrowsAndItsButtonIsHitWhereItIsDrawn)
{
    const AtScale& e = GetParam();
    open_test_window(800, 600);
    IRect box{}, button{};
    WaitScript script({[&] {
                           box = extent(headless_screen(), BOX_FRAME);
                           button = extent(headless_screen(), BUTTON_FRAME);
                           headless_click(1, button.x1 - 1, button.y1); // a pixel below: nothing
                       },
                       [&] { headless_click(1, button.x1 - 1, button.y1 - 1); }}); // its corner: OK
    MessageBoxA(test_window, "012345678901234567890123456789", "", MB_OK);
    EXPECT_EQ(script.waits(), 2u);
    EXPECT_EQ((Ints{box.width(), box.height(), button.width(), button.height()}),
              (Ints{e.box_w, e.box_h, e.button_w, e.button_h}));
    WaitScript wrapped({[&] { box = extent(headless_screen(), BOX_FRAME); }});
    MessageBoxA(test_window, std::string(150, '7').c_str(), "", MB_OK);
    EXPECT_EQ((Ints{box.width(), box.height()}), (Ints{e.wrapped_w, e.wrapped_h}));
}

TEST_P(Scaled, CompositionBoxAndCaretGrowWhereTheCandidatesAreSent)
{
    const AtScale& e = GetParam();
    open_test_window(800, 600);
    headless_compose(u8"かな", 1);
    pump();
    IRect box = extent(headless_screen(), COMPOSE_FRAME);
    EXPECT_EQ(box, headless_text_input_rect());
    IRect caret = extent(headless_screen(), CARET, box);
    EXPECT_EQ((Ints{box.width(), box.height(), caret.width() * caret.height()}),
              (Ints{e.compose_w, e.compose_h, e.caret_pixels}));
}

INSTANTIATE_TEST_SUITE_P(Desktop, Scaled, ::testing::ValuesIn(SCALES), [](const ::testing::TestParamInfo<AtScale>& p) {
    return "Percent" + std::to_string((int)(p.param.factor * 100));
});
