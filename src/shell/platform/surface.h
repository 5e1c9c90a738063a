// surface.h -- 32-bit pixel buffers and half-open rectangles.
//
// Every drawing in the platform layer ends up here: the client framebuffer of a
// window, the screen a backend shows, a frame written as PNG. Pixels are
// 0x00RRGGBB; rectangles include x0/y0 and exclude x1/y1, as GDI's do.
#pragma once

#include <algorithm>
#include <cstdint>

struct IRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool empty() const { return x1 <= x0 || y1 <= y0; }
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    long long area() const { return empty() ? 0 : (long long)width() * height(); }
    bool operator==(const IRect& o) const { return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1; }
    bool operator!=(const IRect& o) const { return !(*this == o); }
};

IRect rect_intersect(const IRect& a, const IRect& b);
IRect rect_union(const IRect& a, const IRect& b); // either may be empty
IRect rect_offset(const IRect& r, int dx, int dy);

// A view of pixels owned elsewhere. stride counts pixels, not bytes.
struct Surface {
    uint32_t* px = nullptr;
    int w = 0, h = 0, stride = 0;

    IRect bounds() const { return IRect{0, 0, w, h}; }
    uint32_t* row(int y) const { return px + (long long)y * stride; }
};

// A buffer that owns its pixels. A fresh buffer comes zeroed from calloc, which
// for a window-sized block means pages the kernel maps only once they are
// drawn on: a large black window costs almost nothing until it is painted.
struct PixelBuffer {
    int w = 0, h = 0;

    PixelBuffer() = default;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer();
    // New dimensions, every pixel set to fill.
    void resize(int width, int height, uint32_t fill);
    Surface surface() { return Surface{px, w, h, w}; }
    uint32_t at(int x, int y) const { return px[(size_t)y * (size_t)w + (size_t)x]; }
    bool same_pixels(const PixelBuffer& o) const
    {
        return w == o.w && h == o.h && std::equal(px, px + (size_t)w * (size_t)h, o.px);
    }

  private:
    uint32_t* px = nullptr;
};

// 0x00BBGGRR (a Win32 COLORREF) to 0x00RRGGBB and back.
inline uint32_t pixel_from_colorref(uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline uint32_t colorref_from_pixel(uint32_t p) { return pixel_from_colorref(p); }

// Raster operations, all clipped to the surface and to clip.
void surface_fill(const Surface& s, const IRect& clip, const IRect& r, uint32_t color);
// Fills r (already inside the surface) writing only the pixels of another
// colour; returns the smallest rectangle holding those.
IRect surface_fill_changed(const Surface& s, const IRect& r, uint32_t color);
void surface_copy(const Surface& dst, int dx, int dy, const Surface& src, const IRect& src_rect);
// Visits the pixels of a one-pixel line from (x0, y0) towards (x1, y1) in
// order, leaving out the end point itself, as GDI's LineTo does.
template <class Visit>
void for_line_pixels(int x0, int y0, int x1, int y1, Visit visit)
{
    int dx = x1 > x0 ? x1 - x0 : x0 - x1, sx = x0 < x1 ? 1 : -1;
    int dy = y1 > y0 ? y0 - y1 : y1 - y0, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    while (x != x1 || y != y1) {
        visit(x, y);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}
// A line pen_width pixels wide (a square of that side around each pixel of
// the one-pixel line). Returns the bounding box of the painted pixels.
IRect surface_line(const Surface& s, const IRect& clip, int x0, int y0, int x1, int y1, uint32_t color,
                   int pen_width = 1);
// Mixes fg over bg by coverage a (0..255) per channel.
inline uint32_t pixel_blend(uint32_t bg, uint32_t fg, unsigned a)
{
    unsigned inv = 255 - a;
    unsigned r = (((fg >> 16) & 0xFF) * a + ((bg >> 16) & 0xFF) * inv + 127) / 255;
    unsigned g = (((fg >> 8) & 0xFF) * a + ((bg >> 8) & 0xFF) * inv + 127) / 255;
    unsigned b = ((fg & 0xFF) * a + (bg & 0xFF) * inv + 127) / 255;
    return (r << 16) | (g << 8) | b;
}

// Writes the surface as an 8-bit RGB PNG. Returns false (and writes nothing
// usable) when the file cannot be written.
bool surface_write_png(const Surface& s, const char* utf8_path);
