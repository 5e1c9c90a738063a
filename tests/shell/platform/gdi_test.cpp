// GDI on the client framebuffer: pixel rules, text cells, objects, presents.
#include "window_fixture.h"

#include <gtest/gtest.h>

constexpr uint32_t WHITE = 0xFFFFFF, GREEN = 0x00FF00, BLUE = 0x0000FF;

static void fill(HDC dc, RECT r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

TEST(Gdi, FillRectLeavesOutTheRightAndBottomEdges)
{
    open_test_window();
    HDC dc = GetDC(test_window);
    fill(dc, RECT{10, 20, 30, 25}, RGB(0, 0, 255)); // COLORREF is blue-green-red
    ReleaseDC(test_window, dc);
    EXPECT_EQ(headless_pixel(10, 20), BLUE);
    EXPECT_EQ(headless_pixel(29, 24), BLUE);
    EXPECT_EQ(headless_pixel(30, 24), 0u);
    EXPECT_EQ(headless_pixel(29, 25), 0u);
    EXPECT_EQ(headless_pixel(9, 20), 0u);
}

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

// Text through CreateFontA and TextOutA with an opaque background: every cell
// is painted, glyph pixels stay inside the cells.
static void text_out(int x, int y, int h, int w, const char* s, int n)
{
    HDC dc = GetDC(test_window);
    HFONT font =
        CreateFontA(h, w, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, "ＭＳゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 255, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x, y, s, n);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(test_window, dc);
}

static int count_in(int x0, int y0, int x1, int y1, uint32_t colour)
{
    int n = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            n += headless_pixel(x, y) == colour;
    return n;
}

TEST(Gdi, TextOutFillsItsCellsAndDrawsInsideThem)
{
    open_test_window();
    text_out(20, 20, 40, 40, "A", 1);
    EXPECT_GT(count_in(20, 20, 60, 60, GREEN), 100);
    EXPECT_EQ(count_in(20, 20, 60, 60, 0), 0); // nothing of the black window left in the cell
    EXPECT_EQ(count_in(0, 0, 320, 20, 0), 320 * 20);
    EXPECT_EQ(count_in(60, 20, 320, 60, 0), 260 * 40);
    EXPECT_EQ(count_in(20, 60, 60, 200, 0), 40 * 140);

    text_out(100, 100, 40, 20, "漢A", 3); // a double-byte character takes two cells
    EXPECT_GT(count_in(100, 100, 140, 140, GREEN), 100);
    EXPECT_GT(count_in(140, 100, 160, 140, GREEN), 30);
    EXPECT_EQ(count_in(100, 100, 160, 140, 0), 0);
    EXPECT_EQ(count_in(160, 100, 200, 140, 0), 40 * 40);
}

TEST(Gdi, OnlyWhatChangedIsPresented)
{
    open_test_window(1920, 1080);
    headless_screen(); // everything presented once
    uint64_t before = headless_present_pixels();
    HDC dc = GetDC(test_window);
    fill(dc, RECT{0, 0, 1920, 20}, RGB(255, 255, 255));
    fill(dc, RECT{100, 1000, 140, 1040}, RGB(255, 255, 255));
    ReleaseDC(test_window, dc);
    Surface screen = headless_screen();
    EXPECT_EQ(headless_present_pixels() - before, 1920u * 20 + 40 * 40); // two strips, not their union
    EXPECT_EQ(screen.row(1039)[139], WHITE);
}
