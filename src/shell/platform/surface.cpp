// surface.cpp -- raster operations on 32-bit pixel buffers, and PNG output.
//
// Used by the GDI implementation, the message box overlay, the backends and the
// tests. Every operation clips to the surface and to the caller's clip rectangle.
#include "surface.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <vector>

IRect rect_intersect(const IRect& a, const IRect& b)
{
    IRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    if (r.empty())
        return IRect{};
    return r;
}

IRect rect_union(const IRect& a, const IRect& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return IRect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

IRect rect_offset(const IRect& r, int dx, int dy) { return IRect{r.x0 + dx, r.y0 + dy, r.x1 + dx, r.y1 + dy}; }

PixelBuffer::~PixelBuffer() { std::free(px); }

void PixelBuffer::resize(int width, int height, uint32_t fill)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    size_t n = (size_t)width * (size_t)height;
    if (width != w || height != h || !px) {
        std::free(px);
        px = static_cast<uint32_t*>(std::calloc(n ? n : 1, sizeof(uint32_t)));
        w = px ? width : 0;
        h = px ? height : 0;
        if (!px || fill == 0)
            return;
    }
    std::fill(px, px + (size_t)w * (size_t)h, fill);
}

// Only the first row is filled pixel by pixel; the others are copies of it,
// which memcpy makes several times faster than a loop of 32-bit stores. Black,
// the colour of every erase, is all zero bytes: memset writes it faster still.
// Fills are most of the cost of drawing a keystroke.
void surface_fill(const Surface& s, const IRect& clip, const IRect& r, uint32_t color)
{
    IRect c = rect_intersect(rect_intersect(r, clip), s.bounds());
    if (c.empty())
        return;
    size_t row_bytes = (size_t)c.width() * sizeof(uint32_t);
    if (color == 0) {
        for (int y = c.y0; y < c.y1; y++)
            std::memset(s.row(y) + c.x0, 0, row_bytes);
        return;
    }
    uint32_t* first = s.row(c.y0) + c.x0;
    std::fill(first, first + c.width(), color);
    for (int y = c.y0 + 1; y < c.y1; y++)
        std::memcpy(s.row(y) + c.x0, first, row_bytes);
}

IRect surface_fill_changed(const Surface& s, const IRect& r, uint32_t color)
{
    // A row of the colour to compare whole rows with: memcmp is far faster
    // than a loop, and most rows filled again are already right.
    static std::vector<uint32_t> row_of;
    if (row_of.size() < (size_t)r.width() || (!row_of.empty() && row_of[0] != color))
        row_of.assign((size_t)std::max(r.width(), 1), color);
    size_t row_bytes = (size_t)r.width() * sizeof(uint32_t);
    IRect changed{};
    for (int y = r.y0; y < r.y1; y++) {
        uint32_t* row = s.row(y);
        if (row_bytes == 0 || std::memcmp(row + r.x0, row_of.data(), row_bytes) == 0)
            continue;
        int a = r.x0, b = r.x1;
        while (row[a] == color)
            a++;
        while (row[b - 1] == color)
            b--;
        std::memcpy(row + a, row_of.data(), (size_t)(b - a) * sizeof(uint32_t));
        changed = rect_union(changed, IRect{a, y, b, y + 1});
    }
    return changed;
}

void surface_copy(const Surface& dst, int dx, int dy, const Surface& src, const IRect& src_rect)
{
    IRect r = rect_intersect(src_rect, src.bounds());
    IRect d = rect_intersect(rect_offset(r, dx, dy), dst.bounds());
    if (d.empty())
        return;
    for (int y = d.y0; y < d.y1; y++) {
        const uint32_t* from = src.row(y - dy) + (d.x0 - dx);
        std::copy(from, from + d.width(), dst.row(y) + d.x0);
    }
}

IRect surface_line(const Surface& s, const IRect& clip, int x0, int y0, int x1, int y1, uint32_t color, int pen_width)
{
    IRect c = rect_intersect(clip, s.bounds());
    IRect painted{};
    int half = pen_width / 2;
    for_line_pixels(x0, y0, x1, y1, [&](int x, int y) {
        if (pen_width > 1) {
            IRect square{x - half, y - half, x - half + pen_width, y - half + pen_width};
            surface_fill(s, c, square, color);
            painted = rect_union(painted, rect_intersect(square, c));
        } else if (x >= c.x0 && x < c.x1 && y >= c.y0 && y < c.y1) {
            s.row(y)[x] = color;
            painted = rect_union(painted, IRect{x, y, x + 1, y + 1});
        }
    });
    return painted;
}

bool surface_write_png(const Surface& s, const char* utf8_path)
{
    FILE* f = std::fopen(utf8_path, "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> row((size_t)s.w * 3);
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_IHDR(png, info, (png_uint_32)s.w, (png_uint_32)s.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_compression_level(png, 3);
        png_write_info(png, info);
        for (int y = 0; y < s.h; y++) {
            const uint32_t* p = s.row(y);
            for (int x = 0; x < s.w; x++) {
                row[(size_t)x * 3 + 0] = (unsigned char)(p[x] >> 16);
                row[(size_t)x * 3 + 1] = (unsigned char)(p[x] >> 8);
                row[(size_t)x * 3 + 2] = (unsigned char)p[x];
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(f) == 0 && ok;
}
