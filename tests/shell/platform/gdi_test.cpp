// GDI on the client framebuffer: lines and the objects that draw them.
#include "window_fixture.h"

constexpr uint32_t GREEN = 0x00FF00;

TEST(Gdi, LineToLeavesOutItsEndPoint)
{
    open_test_window();
    HDC dc = GetDC(test_window);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 10, 10, nullptr);
    LineTo(dc, 20, 10); // horizontal
    LineTo(dc, 20, 30); // vertical, from where the last one ended
    MoveToEx(dc, 50, 50, nullptr);
    LineTo(dc, 60, 60);              // diagonal
    EXPECT_FALSE(DeleteObject(pen)); // still selected: refused, as Windows does
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(pen));
    ReleaseDC(test_window, dc);
    EXPECT_EQ(headless_pixel(10, 10), GREEN);
    EXPECT_EQ(headless_pixel(19, 10), GREEN);
    EXPECT_EQ(headless_pixel(20, 10), GREEN); // start of the second line
    EXPECT_EQ(headless_pixel(20, 29), GREEN);
    EXPECT_EQ(headless_pixel(20, 30), 0u);
    EXPECT_EQ(headless_pixel(55, 55), GREEN);
    EXPECT_EQ(headless_pixel(59, 59), GREEN);
    EXPECT_EQ(headless_pixel(60, 60), 0u);
}

// Opaque text drawn again with more after it is drawn only from where the old
// text ends. Whatever happened to the old part since must not leave it stale:
// each case ends exactly as the longer text drawn once on a fresh window
// after the same drawing in between.
struct GrowCase {
    const char* name;
    void (*between)(HDC dc);
    const char* first; // CP932
    const char* longer;
    COLORREF longer_fg;
    int resize_w; // the window resized in between (its framebuffer made anew), else 0
};

static void nothing(HDC) {}
static void red_over_second_cell(HDC dc) { fill(dc, RECT{14, 44, 20, 60}, RGB(255, 0, 0)); }
static void line_through_first_cell(HDC dc)
{
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 0, 50, nullptr);
    LineTo(dc, 12, 50);
    SelectObject(dc, old);
    DeleteObject(pen);
}
static void see_through_text_over_start(HDC dc)
{
    SetBkMode(dc, TRANSPARENT);
    COLORREF old = SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 3, 40, "##", 2);
    SetTextColor(dc, old);
    SetBkMode(dc, OPAQUE);
}

static std::vector<uint32_t> grown_text(const GrowCase& c, bool draw_first)
{
    open_test_window(c.resize_w && !draw_first ? c.resize_w : 320, 200);
    HFONT font = CreateFontA(24, 11, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "");
    HDC dc = GetDC(test_window);
    HGDIOBJ old_font = SelectObject(dc, font);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(0, 255, 0));
    if (draw_first) {
        TextOutA(dc, 0, 40, c.first, (int)std::strlen(c.first));
        headless_screen(); // presented, as after a key
        if (c.resize_w) {
            headless_resize(c.resize_w, 200);
            MSG m; // the resize taken in, its paint not handled: nothing erases the new framebuffer
            PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        }
    }
    c.between(dc);
    SetTextColor(dc, c.longer_fg);
    TextOutA(dc, 0, 40, c.longer, (int)std::strlen(c.longer));
    SelectObject(dc, old_font);
    DeleteObject(font);
    ReleaseDC(test_window, dc);
    EXPECT_EQ(headless_client().w, c.resize_w ? c.resize_w : 320) << c.name;
    std::vector<uint32_t> px = client_pixels();
    DestroyWindow(test_window);
    pump();
    return px;
}

TEST(Gdi, TextDrawnAgainLongerEndsAsIfDrawnOnce)
{
    const COLORREF green = RGB(0, 255, 0), yellow = RGB(255, 255, 0);
    const GrowCase cases[] = {
        {"one key more", nothing, "ABCD", "ABCDE", green, 0},
        {"the same text again", nothing, "ABCD", "ABCD", green, 0},
        {"a fill over the second cell", red_over_second_cell, "ABCD", "ABCDE", green, 0},
        {"a line through the first cell", line_through_first_cell, "ABCD", "ABCDE", green, 0},
        {"see-through text over the start", see_through_text_over_start, "ABCD", "ABCDE", green, 0},
        {"another colour", nothing, "ABCD", "ABCDE", yellow, 0},
        {"the window resized", nothing, "ABCD", "ABCDE", green, 400},
        {"a lead byte alone, then its character", nothing, "A\x88", "A\x88\x9f", green, 0},
    };
    for (const GrowCase& c : cases) {
        std::vector<uint32_t> once = grown_text(c, false);
        EXPECT_NE(std::count(once.begin(), once.end(), 0u), (long)once.size()) << c.name << ": nothing drawn";
        EXPECT_EQ(grown_text(c, true), once) << c.name;
    }
}

// A fill inside one of the same colour that still stands writes nothing, and
// one that extends it writes only the rest. Whatever was drawn over it since
// must show through neither: each case fills again last and reads a pixel
// that must have the fill's colour.
struct RefillCase {
    const char* name;
    void (*draw)(HDC dc); // everything before the last fill
    RECT last;            // filled grey at the end
    int x, y;             // a pixel inside it
};

constexpr COLORREF GREY = RGB(128, 128, 128);

static void grey(HDC dc, RECT r) { fill(dc, r, GREY); }

static void face_inside(HDC dc)
{
    grey(dc, RECT{10, 50, 60, 90});
    fill(dc, RECT{12, 52, 58, 88}, RGB(255, 128, 255)); // a lit key's face inside its frame
}
static void bar_then_red_over_its_end(HDC dc)
{
    grey(dc, RECT{2, 2, 100, 20});
    fill(dc, RECT{80, 2, 300, 20}, RGB(255, 0, 0)); // the bar's red part, moved back
}
static void text_over(HDC dc)
{
    grey(dc, RECT{0, 100, 200, 130});
    SetBkColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 10, 100, "AB", 2);
}
static void line_over(HDC dc)
{
    grey(dc, RECT{0, 100, 200, 130});
    MoveToEx(dc, 0, 110, nullptr);
    LineTo(dc, 200, 110);
}
static void black_over(HDC dc)
{
    grey(dc, RECT{0, 100, 200, 130});
    fill(dc, RECT{50, 90, 60, 140}, RGB(0, 0, 0));
}
static void grown_by_rows_over_red(HDC dc)
{
    fill(dc, RECT{0, 100, 40, 160}, RGB(255, 0, 0));
    grey(dc, RECT{0, 100, 40, 120});
}
static void resized(HDC dc)
{
    grey(dc, RECT{0, 0, 320, 200});
    headless_resize(320, 240);
    MSG m; // taken in, its paint (which would erase) not handled
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
}

TEST(Gdi, AFillAgainLeavesNothingOfWhatWasDrawnOverTheOneBefore)
{
    const RefillCase cases[] = {
        {"a face filled inside a frame", face_inside, RECT{10, 50, 60, 90}, 30, 70},
        {"a bar grown over its red part", bar_then_red_over_its_end, RECT{2, 2, 150, 20}, 90, 10},
        {"text over the fill", text_over, RECT{0, 100, 200, 130}, 14, 115},
        {"a line over the fill", line_over, RECT{0, 100, 200, 130}, 100, 110},
        {"black over the fill", black_over, RECT{0, 100, 200, 130}, 55, 115},
        {"a fill grown by rows", grown_by_rows_over_red, RECT{0, 100, 40, 160}, 20, 150},
        {"the window resized", resized, RECT{0, 0, 320, 200}, 100, 100},
    };
    for (const RefillCase& c : cases) {
        open_test_window(320, 200);
        HDC dc = GetDC(test_window);
        c.draw(dc);
        headless_screen();
        grey(dc, c.last);
        ReleaseDC(test_window, dc);
        EXPECT_EQ(headless_pixel(c.x, c.y), 0x808080u) << c.name;
        EXPECT_EQ(headless_pixel(c.last.left, c.last.top), 0x808080u) << c.name;
        DestroyWindow(test_window);
        pump();
    }
}
