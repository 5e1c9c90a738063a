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

static FontRequest gothic(int height, int width, int weight = 700)
{
    FontRequest s;
    s.height = height;
    s.width = width;
    s.weight = weight;
    s.charset = 128;
    s.pitch_and_family = 49;
    std::strcpy(s.face, "ＭＳゴシック");
    return s;
}

static bool inside(const IRect& r, int x, int y) { return x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1; }

// Pixels of exactly colour c inside r.
static int count_colour(PixelBuffer& pb, const IRect& r, uint32_t c)
{
    int n = 0;
    for (int y = r.y0; y < r.y1; y++)
        for (int x = r.x0; x < r.x1; x++)
            n += pb.at(x, y) == c;
    return n;
}

// Bounding box of the pixels that are neither the paper colour nor the marker.
static IRect ink_box(PixelBuffer& pb, uint32_t paper)
{
    IRect box{};
    for (int y = 0; y < pb.h; y++)
        for (int x = 0; x < pb.w; x++)
            if (pb.at(x, y) != paper && pb.at(x, y) != MARKER)
                box = rect_union(box, IRect{x, y, x + 1, y + 1});
    return box;
}

// True when every pixel outside r still holds the marker colour.
static bool untouched_outside(PixelBuffer& pb, const IRect& r)
{
    for (int y = 0; y < pb.h; y++)
        for (int x = 0; x < pb.w; x++)
            if (!inside(r, x, y) && pb.at(x, y) != MARKER)
                return false;
    return true;
}

static IRect draw(PixelBuffer& pb, int x, int y, const FontRequest& font, const char* text, bool opaque = true)
{
    return font_text_out(pb.surface(), pb.surface().bounds(), x, y, font, text, (int)std::strlen(text), FG, BG, opaque);
}

TEST(FontCells, OneLetterFillsItsCellAndNothingElse)
{
    for (int width : {40, 39}) {
        SCOPED_TRACE(width);
        PixelBuffer pb;
        pb.resize(80, 80, MARKER);
        IRect cell = draw(pb, 10, 10, gothic(40, width), "A");
        EXPECT_TRUE(cell.x0 == 10 && cell.y0 == 10 && cell.x1 == 10 + width && cell.y1 == 50);
        EXPECT_TRUE(untouched_outside(pb, cell));
        EXPECT_EQ(count_colour(pb, cell, MARKER), 0);
        EXPECT_GT(count_colour(pb, cell, FG), 40);
        EXPECT_GT(count_colour(pb, cell, BG), 40 * width / 2);
    }
}

TEST(FontCells, DoubleByteCharacterTakesTwoCellsAndOneNoFaceHasIsAHollowBox)
{
    for (const char* text : {"漢", "あ"}) {
        PixelBuffer pb;
        pb.resize(100, 60, MARKER);
        IRect cells = draw(pb, 5, 5, gothic(40, 20), text);
        EXPECT_EQ(cells.width(), 40);
        EXPECT_TRUE(untouched_outside(pb, cells));
        IRect left{5, 5, 25, 45}, right{25, 5, 45, 45};
        EXPECT_GT(count_colour(pb, left, FG), 0) << "glyph reaches into the first cell";
        EXPECT_GT(count_colour(pb, right, FG), 0) << "glyph reaches into the second cell";
    }
    // A lead byte with nothing after it takes one cell and draws no glyph there.
    PixelBuffer pb;
    pb.resize(100, 60, MARKER);
    const char lone[] = {'A', (char)0x88, 0};
    IRect cells = draw(pb, 0, 0, gothic(40, 20), lone);
    EXPECT_EQ(cells.width(), 40);
    EXPECT_EQ(count_colour(pb, IRect{20, 0, 40, 40}, BG), 20 * 40);

    // A character no installed face has (a user-defined code) is a hollow box
    // inset by one pixel in its two cells.
    pb.resize(60, 60, MARKER);
    draw(pb, 0, 0, gothic(40, 20), "\xF0\x40");
    EXPECT_EQ(count_colour(pb, IRect{1, 1, 39, 2}, FG), 38);
    EXPECT_EQ(count_colour(pb, IRect{1, 38, 39, 39}, FG), 38);
    EXPECT_EQ(count_colour(pb, IRect{1, 1, 2, 39}, FG) + count_colour(pb, IRect{38, 1, 39, 39}, FG), 76);
    EXPECT_EQ(count_colour(pb, IRect{2, 2, 38, 38}, BG), 36 * 36);
    EXPECT_EQ(count_colour(pb, IRect{0, 0, 40, 1}, BG), 40);
}

TEST(FontCells, WidthsCountEveryByteAsOneCell)
{
    EXPECT_EQ(font_text_width(gothic(40, 13), "Aあb漢字", 8), 8 * 13);
    EXPECT_EQ(font_text_width(gothic(40, 13), "Aあb", 0), 0);
    int w = 0, h = 0;
    font_cell_size(gothic(0, 0), &w, &h);
    EXPECT_EQ(h, 16);
    EXPECT_GE(w, 4);
    EXPECT_LE(w, 16);
    font_cell_size(gothic(30, 0), &w, &h);
    EXPECT_EQ(font_text_width(gothic(30, 0), "漢A", 3), 3 * w);
    font_cell_size(gothic(-20, 7), &w, &h);
    EXPECT_GE(h, 20) << "an em height grows to the whole line";
    EXPECT_EQ(w, 7);
}

TEST(FontClipping, ClipRectAndSurfaceEdgesCutWithoutShiftingAndEmptyTextDrawsNothing)
{
    const char* text = "AB漢";
    PixelBuffer ref;
    ref.resize(200, 100, MARKER);
    draw(ref, 50, 30, gothic(40, 20), text);

    // Same text through a clip rectangle: the pixels inside it match the reference.
    PixelBuffer pb;
    pb.resize(200, 100, MARKER);
    IRect clip{60, 40, 95, 60};
    font_text_out(pb.surface(), clip, 50, 30, gothic(40, 20), text, 4, FG, BG, true);
    EXPECT_TRUE(untouched_outside(pb, clip));
    for (int y = clip.y0; y < clip.y1; y++)
        for (int x = clip.x0; x < clip.x1; x++)
            ASSERT_EQ(pb.at(x, y), ref.at(x, y)) << x << "," << y;

    // Partly off the top-left of a small surface.
    PixelBuffer small;
    small.resize(40, 20, MARKER);
    font_text_out(small.surface(), IRect{-1000, -1000, 1000, 1000}, -15, -10, gothic(40, 20), text, 4, FG, BG, true);
    for (int y = 0; y < 20; y++)
        for (int x = 0; x < 40; x++)
            ASSERT_EQ(small.at(x, y), ref.at(x + 65, y + 40)) << x << "," << y;

    // Empty text, and a count of zero or less, draw nothing at all.
    small.resize(40, 20, MARKER);
    draw(small, 0, 0, gothic(40, 20), "");
    for (int n : {0, -3})
        font_text_out(small.surface(), small.surface().bounds(), 0, 0, gothic(40, 20), "A", n, FG, BG, true);
    EXPECT_EQ(count_colour(small, small.surface().bounds(), MARKER), 40 * 20);
}

TEST(FontClipping, TransparentModeBlendsOverWhatIsThere)
{
    constexpr uint32_t PAPER = 0x204060;
    PixelBuffer pb;
    pb.resize(60, 60, PAPER);
    FontRequest font = gothic(40, 40, 400);
    font.underline = true;
    IRect cell = draw(pb, 10, 10, font, "A", false);
    EXPECT_GT(count_colour(pb, cell, PAPER), 40 * 40 / 2);
    EXPECT_GT(count_colour(pb, cell, FG), 0);
    EXPECT_EQ(count_colour(pb, pb.surface().bounds(), BG), 0) << "the background colour is not painted";
    IRect ink = ink_box(pb, PAPER);
    EXPECT_EQ(ink.x0, 10) << "the underline starts at the cell's left edge";
    EXPECT_TRUE(ink.x0 >= cell.x0 && ink.y0 >= cell.y0 && ink.x1 <= cell.x1 && ink.y1 <= cell.y1);
}

TEST(FontGlyphs, WidthStretchesAndWeightEmboldens)
{
    if (font_file_path(gothic(40, 20))[0] == 0)
        GTEST_SKIP() << "no font installed: every glyph is a box";
    PixelBuffer wide, narrow, regular, bold, again;
    for (PixelBuffer* pb : {&wide, &narrow, &regular, &bold, &again})
        pb->resize(60, 60, MARKER);
    draw(wide, 0, 0, gothic(40, 40), "H");
    draw(narrow, 0, 0, gothic(40, 10), "H");
    EXPECT_GT(ink_box(wide, BG).width(), 2 * ink_box(narrow, BG).width());
    EXPECT_EQ(ink_box(wide, BG).height(), ink_box(narrow, BG).height());

    draw(regular, 0, 0, gothic(40, 20, 400), "H");
    draw(bold, 0, 0, gothic(40, 20, 700), "H");
    draw(again, 0, 0, gothic(40, 20, 400), "H");
    EXPECT_GT(count_colour(bold, bold.surface().bounds(), FG), count_colour(regular, regular.surface().bounds(), FG));
    EXPECT_TRUE(regular.same_pixels(again)) << "a cached glyph draws as the first one did";
}

TEST(FontGlyphs, ExtremeSizesStayInBounds)
{
    PixelBuffer pb;
    pb.resize(100, 100, MARKER);
    draw(pb, 0, 0, gothic(4000, 4000), "A漢");
    EXPECT_EQ(count_colour(pb, pb.surface().bounds(), MARKER), 0);

    for (int width : {1, -1}) { // a negative width counts by its size
        pb.resize(100, 100, MARKER);
        IRect cells = draw(pb, 3, 3, gothic(40, width), "ABC漢");
        EXPECT_EQ(cells.width(), 5);
        EXPECT_TRUE(untouched_outside(pb, cells));
    }

    std::string many(1000000, 'A');
    EXPECT_GT(font_text_width(gothic(40, 4000), many.c_str(), (int)many.size()), 0);
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
    int w = 0, h = 0;
    font_cell_size(gothic(40, 0), &w, &h);
    EXPECT_EQ(w, 20);
    font_cell_size(gothic(-40, 0), &w, &h);
    EXPECT_EQ(h, 40);
    PixelBuffer pb;
    pb.resize(60, 60, MARKER);
    draw(pb, 0, 0, gothic(40, 20, 400), "H");
    // The baseline is row 35 (40 x 1802 / 2048); IPAGothic's H stands 104/2048 em,
    // two pixels, above it. A baseline taken from FreeType's rounded ascender (36)
    // would put the last row of ink one lower.
    IRect ink = ink_box(pb, BG);
    EXPECT_GE(ink.y1, 33);
    EXPECT_LE(ink.y1, 34);
}

// What a first frame draws: the same text in two sizes (one glyph twice).
static std::vector<uint32_t> draw_first_frame()
{
    PixelBuffer pb;
    pb.resize(400, 120, MARKER);
    font_text_out(pb.surface(), pb.surface().bounds(), 0, 0, gothic(40, 20), "AQA漢", 5, FG, BG, true);
    font_text_out(pb.surface(), pb.surface().bounds(), 0, 60, gothic(30, 15, 400), "Q", 1, FG, BG, true);
    std::vector<uint32_t> px;
    for (int y = 0; y < pb.h; y++)
        for (int x = 0; x < pb.w; x++)
            px.push_back(pb.at(x, y));
    return px;
}

// A start lists the glyphs its first frame drew; the next start renders them
// on the warm thread, draws the same pixels, and leaves the list as it was.
TEST(FontWarm, TheNextStartRendersTheListedGlyphsAheadAndDrawsTheSame)
{
    const std::string cache = make_temp_dir("warm");
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    const std::string list = cache + "/lumeko-trainer/glyphs";
    const std::string drawn = cache + "/first-frame.raw";
    pid_t child = fork(); // the first start, with font state of its own
    if (child == 0) {
        std::vector<uint32_t> px = draw_first_frame();
        font_warm_save();
        FILE* f = std::fopen(drawn.c_str(), "wb");
        bool ok = f && std::fwrite(px.data(), sizeof px[0], px.size(), f) == px.size();
        _exit(f && std::fclose(f) == 0 && ok ? 0 : 1);
    }
    int status = 1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string listed = read_file(list);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 4) << listed; // A, Q, 漢 at 40; Q at 30

    font_warm_start(); // the next start
    std::vector<uint32_t> px = draw_first_frame();
    const std::string before = read_file(drawn);
    ASSERT_EQ(before.size(), px.size() * sizeof px[0]);
    EXPECT_EQ(std::memcmp(before.data(), px.data(), before.size()), 0);
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
    PixelBuffer pb;
    pb.resize(40, 40, MARKER);
    font_text_out(pb.surface(), pb.surface().bounds(), 0, 0, gothic(40, 20), "A", 1, FG, BG, true);
    EXPECT_GT(count_colour(pb, IRect{0, 0, 20, 40}, FG), 20); // drawn all the same
}
