// GDI on the client framebuffer: lines and the objects that draw them.
#include "window_fixture.h"

constexpr uint32_t GREEN = 0x00FF00;
constexpr COLORREF GREY = RGB(128, 128, 128), RED = RGB(255, 0, 0), PINK = RGB(255, 128, 255);

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
    // x, y, drawn: each line's ends, (20, 10) the start of the second line.
    const int points[][3] = {{10, 10, 1}, {19, 10, 1}, {20, 10, 1}, {20, 29, 1},
                             {20, 30, 0}, {55, 55, 1}, {59, 59, 1}, {60, 60, 0}};
    for (const auto& p : points)
        EXPECT_EQ(headless_pixel(p[0], p[1]), p[2] ? GREEN : 0u) << p[0] << "," << p[1];
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

// A one-pixel line of colour c from (x0, y0) to (x1, y1), its end left out.
static void line(HDC dc, int x0, int y0, int x1, int y1, COLORREF c)
{
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, c));
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    DeleteObject(SelectObject(dc, old));
}

// The window resized: the resize taken in, its paint (which would erase the
// new framebuffer) not handled.
static void resize_unpainted(int w, int h)
{
    headless_resize(w, h);
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
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
        if (c.resize_w)
            resize_unpainted(c.resize_w, 200);
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
        {"a fill over the second cell",
         [](HDC dc) {
             fill(dc, {14, 44, 20, 60}, RED);
         },
         "ABCD", "ABCDE", green, 0},
        {"a line through the first cell", [](HDC dc) { line(dc, 0, 50, 12, 50, RGB(0, 0, 255)); }, "ABCD", "ABCDE",
         green, 0},
        {"see-through text over the start",
         [](HDC dc) {
             SetBkMode(dc, TRANSPARENT);
             COLORREF old = SetTextColor(dc, RGB(255, 255, 255));
             TextOutA(dc, 3, 40, "##", 2);
             SetTextColor(dc, old);
             SetBkMode(dc, OPAQUE);
         },
         "ABCD", "ABCDE", green, 0},
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
    RECT last;                                    // filled grey at the end
    int x, y;                                     // a pixel inside it
    std::vector<std::pair<RECT, COLORREF>> fills; // drawn first, in order
    void (*then)(HDC dc) = nothing;               // drawn after them (on a black background)
};

TEST(Gdi, AFillAgainLeavesNothingOfWhatWasDrawnOverTheOneBefore)
{
    constexpr RECT BAND{0, 100, 200, 130};
    const RefillCase cases[] = {
        {"a face inside a frame", {10, 50, 60, 90}, 30, 70, {{{10, 50, 60, 90}, GREY}, {{12, 52, 58, 88}, PINK}}},
        {"a bar grown over its red part", {2, 2, 150, 20}, 90, 10, {{{2, 2, 100, 20}, GREY}, {{80, 2, 300, 20}, RED}}},
        {"text over the fill", BAND, 14, 115, {{BAND, GREY}}, [](HDC dc) { TextOutA(dc, 10, 100, "AB", 2); }},
        {"a line over the fill", BAND, 100, 110, {{BAND, GREY}}, [](HDC dc) { line(dc, 0, 110, 200, 110, 0); }},
        {"black over the fill", BAND, 55, 115, {{BAND, GREY}, {{50, 90, 60, 140}, RGB(0, 0, 0)}}},
        {"a fill grown by rows", {0, 100, 40, 160}, 20, 150, {{{0, 100, 40, 160}, RED}, {{0, 100, 40, 120}, GREY}}},
        {"resized", {0, 0, 320, 200}, 100, 100, {{{0, 0, 320, 200}, GREY}}, [](HDC) { resize_unpainted(320, 240); }},
    };
    for (const RefillCase& c : cases) {
        open_test_window(320, 200);
        HDC dc = GetDC(test_window);
        SetBkColor(dc, RGB(0, 0, 0));
        for (const auto& [r, colour] : c.fills)
            fill(dc, r, colour);
        c.then(dc);
        headless_screen();
        fill(dc, c.last, GREY);
        ReleaseDC(test_window, dc);
        EXPECT_EQ((Ints{(int)headless_pixel(c.x, c.y), (int)headless_pixel(c.last.left, c.last.top)}),
                  (Ints{0x808080, 0x808080}))
            << c.name;
        DestroyWindow(test_window);
        pump();
    }
}
