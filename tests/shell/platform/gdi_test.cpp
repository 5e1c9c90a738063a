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
