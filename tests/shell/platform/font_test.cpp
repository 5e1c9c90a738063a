// font_test.cpp -- text drawing of the platform layer, checked on buffers
// filled with a marker colour. Literals here are Shift-JIS bytes.
#include "shell/platform/font.h"
#include "test_support.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

constexpr uint32_t MARKER = 0xFF00FF;
constexpr uint32_t FG = 0xFFFFFF;
constexpr uint32_t BG = 0x000000;
constexpr const char* IPA_GOTHIC = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

static FontRequest gothic(int height, int width, int weight = 700) { return gothic_font(height, width, weight); }

// A buffer of w x h pixels of the marker colour (or another).
struct Paper : PixelBuffer {
    Paper(int w, int h, uint32_t fill = MARKER) { resize(w, h, fill); }
    int count(const IRect& r, uint32_t c) { return count_in(surface(), r, c); }
    int count(uint32_t c) { return count_in(surface(), surface().bounds(), c); }
    // Bounding box of the pixels that are neither the paper colour nor the marker.
    IRect ink(uint32_t paper)
    {
        return extent(surface(), [=](uint32_t p) { return p != paper && p != MARKER; });
    }
    // Every pixel outside r still holds the marker colour.
    bool untouched_outside(const IRect& r) { return count(MARKER) - count(r, MARKER) == w * h - r.area(); }
    IRect draw(int x, int y, const FontRequest& font, const char* text, bool opaque = true)
    {
        return font_text_out(surface(), surface().bounds(), x, y, font, text, (int)std::strlen(text), FG, BG, opaque);
    }
};

TEST(FontCells, OneLetterFillsItsCellAndNothingElse)
{
    for (int width : {40, 39}) {
        SCOPED_TRACE(width);
        Paper pb(80, 80);
        IRect cell = pb.draw(10, 10, gothic(40, width), "A");
        EXPECT_EQ(cell, (IRect{10, 10, 10 + width, 50}));
        EXPECT_TRUE(pb.untouched_outside(cell));
        EXPECT_EQ((Ints{pb.count(cell, MARKER), pb.count(cell, FG) > 40, pb.count(cell, BG) > 40 * width / 2}),
                  (Ints{0, 1, 1}));
    }
}

TEST(FontCells, DoubleByteCharacterTakesTwoCellsAndOneNoFaceHasIsAHollowBox)
{
    for (const char* text : {"漢", "あ"}) {
        Paper pb(100, 60);
        IRect cells = pb.draw(5, 5, gothic(40, 20), text);
        EXPECT_EQ(cells.width(), 40);
        EXPECT_TRUE(pb.untouched_outside(cells));
        EXPECT_GT(pb.count(IRect{5, 5, 25, 45}, FG), 0) << "glyph reaches into the first cell";
        EXPECT_GT(pb.count(IRect{25, 5, 45, 45}, FG), 0) << "glyph reaches into the second cell";
    }
    // A lead byte with nothing after it takes one cell and draws no glyph there.
    Paper lone(100, 60);
    EXPECT_EQ(lone.draw(0, 0, gothic(40, 20), "A\x88").width(), 40);
    EXPECT_EQ(lone.count(IRect{20, 0, 40, 40}, BG), 20 * 40);

    // A character no installed face has (a user-defined code) is a hollow box
    // inset by one pixel in its two cells.
    Paper pb(60, 60);
    pb.draw(0, 0, gothic(40, 20), "\xF0\x40");
    EXPECT_EQ((Ints{pb.count(IRect{1, 1, 39, 2}, FG), pb.count(IRect{1, 38, 39, 39}, FG),
                    pb.count(IRect{1, 1, 2, 39}, FG) + pb.count(IRect{38, 1, 39, 39}, FG),
                    pb.count(IRect{2, 2, 38, 38}, BG), pb.count(IRect{0, 0, 40, 1}, BG)}),
              (Ints{38, 38, 76, 36 * 36, 40})); // top, bottom, sides, inside, the inset
}

TEST(FontCells, WidthsCountEveryByteAsOneCell)
{
    EXPECT_EQ(font_text_width(gothic(40, 13), "Aあb漢字", 8), 8 * 13);
    EXPECT_EQ(font_text_width(gothic(40, 13), "Aあb", 0), 0);
    int w = 0, h = 0;
    font_cell_size(gothic(0, 0), &w, &h);
    EXPECT_EQ(h, 16);
    EXPECT_TRUE(w >= 4 && w <= 16) << w;
    font_cell_size(gothic(30, 0), &w, &h);
    EXPECT_EQ(font_text_width(gothic(30, 0), "漢A", 3), 3 * w);
    font_cell_size(gothic(-20, 7), &w, &h);
    EXPECT_EQ((Ints{h >= 20, w}), (Ints{1, 7})) << "an em height grows to the whole line";
}

TEST(FontClipping, ClipRectAndSurfaceEdgesCutWithoutShiftingAndEmptyTextDrawsNothing)
{
    const char* text = "AB漢";
    Paper ref(200, 100);
    ref.draw(50, 30, gothic(40, 20), text);

    // Same text through a clip rectangle: the pixels inside it match the reference.
    Paper pb(200, 100);
    IRect clip{60, 40, 95, 60};
    font_text_out(pb.surface(), clip, 50, 30, gothic(40, 20), text, 4, FG, BG, true);
    EXPECT_TRUE(pb.untouched_outside(clip));
    for (int y = clip.y0; y < clip.y1; y++)
        for (int x = clip.x0; x < clip.x1; x++)
            ASSERT_EQ(pb.at(x, y), ref.at(x, y)) << x << "," << y;

    // Partly off the top-left of a small surface.
    Paper small(40, 20);
    font_text_out(small.surface(), IRect{-1000, -1000, 1000, 1000}, -15, -10, gothic(40, 20), text, 4, FG, BG, true);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 40; x++)
            ASSERT_EQ(small.at(x, y), ref.at(x + 65, y + 40)) << x << "," << y;

    // Empty text, and a count of zero or less, draw nothing at all.
    small.resize(40, 20, MARKER);
    small.draw(0, 0, gothic(40, 20), "");
    for (int n : {0, -3})
        font_text_out(small.surface(), small.surface().bounds(), 0, 0, gothic(40, 20), "A", n, FG, BG, true);
    EXPECT_EQ(small.count(MARKER), 40 * 20);
}

TEST(FontClipping, TransparentModeBlendsOverWhatIsThere)
{
    constexpr uint32_t PAPER = 0x204060;
    Paper pb(60, 60, PAPER);
    FontRequest font = gothic(40, 40, 400);
    font.underline = true;
    IRect cell = pb.draw(10, 10, font, "A", false);
    EXPECT_GT(pb.count(cell, PAPER), 40 * 40 / 2);
    EXPECT_GT(pb.count(cell, FG), 0);
    EXPECT_EQ(pb.count(BG), 0) << "the background colour is not painted";
    IRect ink = pb.ink(PAPER); // the underline starts at the cell's left edge
    EXPECT_EQ((Ints{ink.x0, rect_intersect(ink, cell) == ink}), (Ints{10, 1}));
}

TEST(FontGlyphs, WidthStretchesAndWeightEmboldensAndExtremeSizesStayInBounds)
{
    Paper huge(100, 100);
    huge.draw(0, 0, gothic(4000, 4000), "A漢");
    EXPECT_EQ(huge.count(MARKER), 0);
    for (int width : {1, -1}) { // a negative width counts by its size
        Paper pb(100, 100);
        IRect cells = pb.draw(3, 3, gothic(40, width), "ABC漢");
        EXPECT_EQ(cells.width(), 5);
        EXPECT_TRUE(pb.untouched_outside(cells));
    }
    std::string many(1000000, 'A');
    EXPECT_GT(font_text_width(gothic(40, 4000), many.c_str(), (int)many.size()), 0);

    if (font_file_path(gothic(40, 20))[0] == 0)
        GTEST_SKIP() << "no font installed: every glyph is a box";
    Paper wide(60, 60), narrow(60, 60), regular(60, 60), bold(60, 60), again(60, 60);
    wide.draw(0, 0, gothic(40, 40), "H");
    narrow.draw(0, 0, gothic(40, 10), "H");
    EXPECT_GT(wide.ink(BG).width(), 2 * narrow.ink(BG).width());
    EXPECT_EQ(wide.ink(BG).height(), narrow.ink(BG).height());
    regular.draw(0, 0, gothic(40, 20, 400), "H");
    bold.draw(0, 0, gothic(40, 20, 700), "H");
    again.draw(0, 0, gothic(40, 20, 400), "H");
    EXPECT_GT(bold.count(FG), regular.count(FG));
    EXPECT_TRUE(regular.same_pixels(again)) << "a cached glyph draws as the first one did";
}

TEST(FontFace, WindowsGothicNamesMatchIpaGothic)
{
    if (!std::filesystem::exists(IPA_GOTHIC))
        GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    for (const char* face : {"ＭＳゴシック", "MS Gothic", "ＭＳ ゴシック", ""}) {
        FontRequest font = gothic(40, 20);
        std::strcpy(font.face, face);
        std::string path = std::filesystem::weakly_canonical(font_file_path(font)).string();
        std::transform(path.begin(), path.end(), path.begin(), [](unsigned char c) { return std::tolower(c); });
        EXPECT_NE(path.find("ipa"), std::string::npos) << path;
    }
    // IPAGothic's cell: half as wide as high, baseline at 1802/2048 of the height.
    int w = 0, h = 0, unused = 0;
    font_cell_size(gothic(40, 0), &w, &unused);
    font_cell_size(gothic(-40, 0), &unused, &h); // an em height
    EXPECT_EQ((Ints{w, h}), (Ints{20, 40}));
    Paper pb(60, 60);
    pb.draw(0, 0, gothic(40, 20, 400), "H");
    // The baseline is row 35 (40 x 1802 / 2048); IPAGothic's H stands 104/2048 em,
    // two pixels, above it. A baseline taken from FreeType's rounded ascender (36)
    // would put the last row of ink one lower.
    EXPECT_TRUE(pb.ink(BG).y1 >= 33 && pb.ink(BG).y1 <= 34) << pb.ink(BG).y1;
}

// What a first frame draws, as bytes: the same text in two sizes (one glyph twice).
static std::string draw_first_frame()
{
    Paper pb(400, 120);
    pb.draw(0, 0, gothic(40, 20), "AQA漢");
    pb.draw(0, 60, gothic(30, 15, 400), "Q");
    const Surface s = pb.surface();
    return std::string((const char*)s.px, sizeof s.px[0] * s.w * s.h);
}

// A start lists the glyphs its first frame drew; the next start renders them
// on the warm thread, draws the same pixels, and leaves the list as it was.
// A damaged list is passed over.
TEST(FontWarm, TheNextStartRendersTheListedGlyphsAheadAndDrawsTheSame)
{
    const std::string cache = make_temp_dir("warm");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    const std::string list = cache + "/lumeko-trainer/glyphs";
    const std::string drawn = cache + "/first-frame.raw";
    pid_t child = fork(); // the first start, with font state of its own
    if (child == 0) {
        const std::string px = draw_first_frame();
        font_warm_save();
        _exit(write_file(drawn, px) ? 0 : 1);
    }
    int status = 1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string listed = read_file(list);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 4) << listed; // A, Q, 漢 at 40; Q at 30

    font_warm_start(); // the next start
    EXPECT_TRUE(draw_first_frame() == read_file(drawn));
    font_warm_save();
    EXPECT_EQ(read_file(list), listed);
}

TEST(FontWarm, ADamagedListIsPassedOver)
{
    const std::string cache = make_temp_dir("warm-bad");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::filesystem::create_directories(cache + "/lumeko-trainer");
    ASSERT_TRUE(write_file(cache + "/lumeko-trainer/glyphs",
                           "zz 65 1 20 40 1 0\n- 65 3 20 40 1 0\n- 65 1 99999 40 1 0\n- -1 1 20 40 1 0\nshort\n"));
    font_warm_start();
    Paper pb(40, 40);
    pb.draw(0, 0, gothic(40, 20), "A");
    EXPECT_GT(pb.count(IRect{0, 0, 20, 40}, FG), 20); // drawn all the same
}
