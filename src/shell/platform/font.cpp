// font.cpp -- text for the GDI layer: fontconfig face matching, FreeType glyphs, cache.
//
// Owns the FreeType library, every face it has opened (kept for the run), the
// face chosen for each requested face name, per-character fallback faces and the
// cache of rendered glyph coverage. Called by gdi.cpp (TextOutA and friends) and
// by the overlays that draw menus and message boxes.
#include "font.h"

#include "codepage.h"
#include "disk.h"
#include "font_memo.h"
#include "ink.h"
#include "report.h"
#include "surface.h"
#include "win32.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

constexpr int FONT_DEFAULT_HEIGHT = 16;
constexpr int FONT_CELL_MAX = 4096;                      // cells are capped so a glyph bitmap stays bounded
constexpr int FONT_BOLD_WEIGHT = 600;                    // from this weight up, regular faces are emboldened
constexpr size_t GLYPH_CACHE_LIMIT = 64u << 20;          // bytes of coverage kept before the cache is dropped
constexpr size_t GLYPH_ENTRY_OVERHEAD = 64;              // rough bookkeeping cost of one cache entry
constexpr FT_Fixed ITALIC_SHEAR = 0x3333;                // 0.2 in 16.16: slant of synthesised italics
constexpr char32_t JAPANESE_PROBES[] = {0x3042, 0x6F22}; // hiragana A and a common kanji
constexpr int FACE_NONE = -1;
constexpr const char* NO_JAPANESE_MESSAGE = "no Japanese font found; install fonts-ipafont-gothic. "
                                            "Japanese text will show as boxes.\n";
constexpr const char* NO_FONT_MESSAGE = "no font could be loaded; install fonts-ipafont-gothic. "
                                        "Text will show as boxes.\n";

// An opened face with the metrics the cell rule needs, all in font units.
struct FaceInfo {
    FT_Face ft = nullptr;
    std::string path;
    int index = 0;
    long upem = 2048;
    long ascent = 1802; // above the baseline
    long descent = 246; // below the baseline, positive
    long half_advance = 1024;
    bool bold = false;
    bool italic = false;
    bool japanese = false;
    FT_F26Dot6 size_w = -1, size_h = -1; // the char size last set, to skip redundant resets
};

// One rendered character: coverage of the part of the glyph inside its cells,
// placed at (x, y) relative to the top-left corner of the first cell.
struct Coverage {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<unsigned char> a;
};

// A glyph code: CP932 (a byte, or lead << 8 | trail), or a code point CP932
// has no code for, marked with this bit (the layer's own UTF-8 texts).
constexpr unsigned UNICODE_CODE = 0x1000000;

struct GlyphKey {
    int face;
    unsigned code; // as above
    int cell_w, cell_h;
    bool bold, italic;
    bool operator==(const GlyphKey& o) const
    {
        return face == o.face && code == o.code && cell_w == o.cell_w && cell_h == o.cell_h && bold == o.bold &&
               italic == o.italic;
    }
};

struct GlyphKeyHash {
    size_t operator()(const GlyphKey& k) const
    {
        size_t h = (size_t)k.code * 0x9E3779B97F4A7C15ull;
        h ^= ((size_t)k.cell_w << 1) ^ ((size_t)k.cell_h << 17) ^ ((size_t)k.face << 33);
        h ^= (size_t)(k.bold ? 1 : 0) << 50 ^ (size_t)(k.italic ? 1 : 0) << 51;
        return h * 0xBF58476D1CE4E5B9ull;
    }
};

static FT_Library ft_library = nullptr;
static bool ft_tried = false;
static bool fc_ready = false;
static bool warned = false;
static std::vector<std::unique_ptr<FaceInfo>> faces;       // indexed by face id
static std::unordered_map<std::string, int> face_by_file;  // "path#index" -> face id
static std::unordered_map<std::string, int> face_by_name;  // CP932 face name -> face id
static std::unordered_map<char32_t, int> fallback_by_char; // code point -> face id or FACE_NONE
static std::unordered_map<GlyphKey, Coverage, GlyphKeyHash> glyph_cache;
static size_t glyph_cache_bytes = 0;

// The glyphs the first frame rendered, kept in the cache directory so that the
// next start renders them on a second thread while the window is being made.
struct WarmGlyph {
    int face; // id here; a face name in the file
    unsigned code;
    int cells, cell_w, cell_h;
    bool bold, italic;
};
constexpr size_t WARM_MAX = 512; // glyphs listed at most
constexpr mode_t WARM_MODE = 0600;
constexpr mode_t WARM_DIR_MODE = 0700;
static bool warm_recording = true;       // until the first frame is up
static std::vector<WarmGlyph> warm_seen; // drawn so far while recording, each once
static std::unordered_map<GlyphKey, bool, GlyphKeyHash> warm_seen_keys;
static std::string warm_listed; // the list as read at start
static std::thread warm_thread;
static bool warm_running = false;

static void warm_wait();

static void warm_note(const GlyphKey& k, int cells)
{
    if (warm_seen.size() < WARM_MAX && warm_seen_keys.emplace(k, true).second)
        warm_seen.push_back(WarmGlyph{k.face, k.code, cells, k.cell_w, k.cell_h, k.bold, k.italic});
}

FontRequest gothic_font(int height, int width, int weight)
{
    FontRequest f;
    f.height = height;
    f.width = width;
    f.weight = weight;
    f.charset = (int)SHIFTJIS_CHARSET;
    f.pitch_and_family = (int)(FIXED_PITCH | FF_MODERN);
    std::strcpy(f.face, "\x82\x6c\x82\x72\x83\x53\x83\x56\x83\x62\x83\x4e"); // "ＭＳゴシック" in CP932
    return f;
}

static void warn_once(const char* message)
{
    if (warned)
        return;
    warned = true;
    std::fprintf(stderr, "%s%s", MESSAGE_PREFIX, message);
}

// ---- opening faces ------------------------------------------------------------

static bool init_libraries()
{
    if (!ft_tried) {
        ft_tried = true;
        if (FT_Init_FreeType(&ft_library) != 0)
            ft_library = nullptr;
    }
    return ft_library != nullptr;
}

// fontconfig is started only when a face must be looked for: a start whose
// faces are all remembered never pays for reading its configuration.
static bool init_fontconfig()
{
    static bool tried = false;
    if (!tried) {
        tried = true;
        fc_ready = FcInit() == FcTrue;
    }
    return fc_ready;
}

static bool face_has_char(FT_Face f, char32_t c) { return FT_Get_Char_Index(f, c) != 0; }

// Reads the metrics of the cell rule. The half-width advance is that of 'A' (the
// width of a single-byte cell in a fixed-pitch Japanese face).
static void read_face_metrics(FaceInfo* fi)
{
    FT_Face f = fi->ft;
    fi->upem = f->units_per_EM > 0 ? f->units_per_EM : 2048;
    fi->ascent = f->ascender;
    fi->descent = -f->descender;
    if (fi->ascent + fi->descent <= 0) {
        fi->ascent = fi->upem * 7 / 8;
        fi->descent = fi->upem - fi->ascent;
    }
    fi->half_advance = fi->upem / 2;
    if (face_has_char(f, 'A') && FT_Load_Char(f, 'A', FT_LOAD_NO_SCALE) == 0 && f->glyph->advance.x > 0)
        fi->half_advance = f->glyph->advance.x;
    fi->bold = (f->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    fi->italic = (f->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    fi->japanese = true;
    for (char32_t c : JAPANESE_PROBES)
        fi->japanese = fi->japanese && face_has_char(f, c);
}

// Opens a font file once; later calls return the same face id. FACE_NONE when
// FreeType cannot load it.
static int open_face(const char* path, int index)
{
    std::string key = std::string(path) + "#" + std::to_string(index);
    auto it = face_by_file.find(key);
    if (it != face_by_file.end())
        return it->second;
    int id = FACE_NONE;
    FT_Face f = nullptr;
    if (init_libraries() && FT_New_Face(ft_library, path, index, &f) == 0) {
        if (FT_IS_SCALABLE(f)) {
            auto fi = std::make_unique<FaceInfo>();
            fi->ft = f;
            fi->path = path;
            fi->index = index;
            read_face_metrics(fi.get());
            id = (int)faces.size();
            faces.push_back(std::move(fi));
        } else {
            FT_Done_Face(f);
        }
    }
    face_by_file[key] = id;
    return id;
}

// Asks fontconfig for the best font for the pattern and opens it.
static int match_pattern(FcPattern* pat)
{
    if (!init_fontconfig() || !pat)
        return FACE_NONE;
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    int id = FACE_NONE;
    FcChar8* file = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch)
            index = 0;
        id = open_face((const char*)file, index);
    }
    if (match)
        FcPatternDestroy(match);
    return id;
}

// A fixed-pitch font of the given family (or any family when it is ""), for
// Japanese when `japanese` is set.
static int match_mono(const std::string& family, bool japanese)
{
    FcPattern* pat = init_fontconfig() ? FcPatternCreate() : nullptr;
    if (!pat)
        return FACE_NONE;
    if (!family.empty())
        FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)family.c_str());
    if (japanese)
        FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
    FcPatternAddInteger(pat, FC_SPACING, FC_MONO);
    int id = match_pattern(pat);
    FcPatternDestroy(pat);
    return id;
}

// The program asks for Windows face names that no Linux font carries; fontconfig
// finds the installed Japanese Gothic only when the pattern asks for Japanese and
// fixed pitch. A family that is installed but cannot show Japanese is passed
// over for one that can, since nearly all of the program's text is Japanese.
// With no Japanese font at all, a plain fixed-pitch font still shows ASCII.
static int match_face_name(const std::string& family)
{
    init_libraries();
    int first = match_mono(family, true);
    if (first != FACE_NONE && faces[first]->japanese)
        return first;
    int any = family.empty() ? first : match_mono("", true);
    if (any != FACE_NONE && faces[any]->japanese)
        return any;
    int latin = match_mono(family, false);
    int chosen = latin != FACE_NONE ? latin : first != FACE_NONE ? first : any;
    warn_once(chosen != FACE_NONE ? NO_JAPANESE_MESSAGE : NO_FONT_MESSAGE);
    return chosen;
}

// The face for a name: the remembered file when it is still there and can
// show Japanese, otherwise what fontconfig finds, which is then remembered.
static int choose_face(const std::string& name)
{
    std::string path;
    int index = 0;
    if (font_memo_lookup(name, &path, &index)) {
        int id = open_face(path.c_str(), index);
        if (id != FACE_NONE && faces[id]->japanese)
            return id;
    }
    int id = match_face_name(cp932_to_utf8(name));
    if (id != FACE_NONE && faces[id]->japanese)
        font_memo_store(name, faces[id]->path, faces[id]->index);
    return id;
}

static FaceInfo* face_for(const FontRequest& font, int* id_out)
{
    std::string name(font.face, strnlen(font.face, FONT_FACE_MAX));
    auto it = face_by_name.find(name);
    int id = it != face_by_name.end() ? it->second : (face_by_name[name] = choose_face(name));
    if (id_out)
        *id_out = id;
    return id == FACE_NONE ? nullptr : faces[id].get();
}

// A face that has the character, for code points the chosen face lacks.
static FaceInfo* fallback_face(char32_t c)
{
    auto it = fallback_by_char.find(c);
    if (it == fallback_by_char.end()) {
        int id = FACE_NONE;
        FcPattern* pat = init_fontconfig() ? FcPatternCreate() : nullptr;
        FcCharSet* cs = pat ? FcCharSetCreate() : nullptr;
        if (cs) {
            FcCharSetAddChar(cs, c);
            FcPatternAddCharSet(pat, FC_CHARSET, cs);
            FcPatternAddString(pat, FC_LANG, (const FcChar8*)"ja");
            id = match_pattern(pat);
            if (id != FACE_NONE && !face_has_char(faces[id]->ft, c))
                id = FACE_NONE;
            FcCharSetDestroy(cs);
        }
        if (pat)
            FcPatternDestroy(pat);
        it = fallback_by_char.emplace(c, id).first;
    }
    return it->second == FACE_NONE ? nullptr : faces[it->second].get();
}

// ---- the cell rule --------------------------------------------------------------

static int clamp_cell(long long v) { return (int)std::min<long long>(std::max<long long>(v, 1), FONT_CELL_MAX); }

static long long round_div(long long num, long long den) { return (num + den / 2) / den; }

static void resolve_cell(const FontRequest& font, const FaceInfo* fi, int* cell_w, int* cell_h)
{
    long long h = font.height;
    long long line = fi ? fi->ascent + fi->descent : 1;
    long long em = fi ? fi->upem : 1;
    if (h == 0)
        h = FONT_DEFAULT_HEIGHT;
    else if (h < 0)
        h = round_div(-h * line, em); // an em height: scale up to the whole line
    *cell_h = clamp_cell(h);
    long long w = font.width < 0 ? -(long long)font.width : font.width; // sign ignored, as GDI does
    if (w == 0)
        w = fi ? round_div((long long)*cell_h * fi->half_advance, line) : (*cell_h + 1) / 2;
    *cell_w = clamp_cell(w);
}

static int baseline_of(const FaceInfo* fi, int cell_h)
{
    return (int)round_div((long long)cell_h * fi->ascent, fi->ascent + fi->descent);
}

// Scales the face so that 'A' advances exactly cell_w and ascent + descent spans
// cell_h; a width unlike the face's own proportion stretches the glyphs.
static bool set_cell_size(FaceInfo* fi, int cell_w, int cell_h)
{
    FT_F26Dot6 sw = (FT_F26Dot6)((long long)cell_w * fi->upem * 64 / fi->half_advance);
    FT_F26Dot6 sh = (FT_F26Dot6)((long long)cell_h * fi->upem * 64 / (fi->ascent + fi->descent));
    sw = std::max<FT_F26Dot6>(sw, 64);
    sh = std::max<FT_F26Dot6>(sh, 64);
    if (sw == fi->size_w && sh == fi->size_h)
        return true;
    fi->size_w = fi->size_h = -1;
    if (FT_Set_Char_Size(fi->ft, sw, sh, 72, 72) != 0)
        return false;
    fi->size_w = sw;
    fi->size_h = sh;
    return true;
}

// ---- rendering ------------------------------------------------------------------

// A one-pixel frame inset by one pixel: what a character looks like with no font.
static Coverage hollow_box(int box_w, int box_h)
{
    Coverage c;
    if (box_w < 3 || box_h < 3)
        return c;
    c.x = 1;
    c.y = 1;
    c.w = box_w - 2;
    c.h = box_h - 2;
    c.a.assign((size_t)c.w * c.h, 0);
    for (int x = 0; x < c.w; x++)
        c.a[x] = c.a[(size_t)(c.h - 1) * c.w + x] = 255;
    for (int y = 0; y < c.h; y++)
        c.a[(size_t)y * c.w] = c.a[(size_t)y * c.w + c.w - 1] = 255;
    return c;
}

// Loads the glyph outline, applies synthetic bold and italic and renders 8-bit
// coverage into the face's glyph slot. False when the glyph cannot be drawn.
static bool render_outline(FaceInfo* fi, FT_UInt index, int cell_h, bool bold, bool italic)
{
    FT_Face f = fi->ft;
    if (FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0)
        return false;
    FT_GlyphSlot slot = f->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    if (bold && !fi->bold) {
        FT_Pos strength = std::max<FT_Pos>(64, (FT_Pos)cell_h * 64 / 24);
        FT_Outline_EmboldenXY(&slot->outline, strength, strength / 2);
    }
    if (italic && !fi->italic) {
        FT_Matrix shear{0x10000, ITALIC_SHEAR, 0, 0x10000};
        FT_Outline_Transform(&slot->outline, &shear);
    }
    return FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0 && slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
}

// Copies the part of the rendered bitmap that falls inside the box into c.
static void crop_bitmap(const FT_GlyphSlot slot, int left, int top, int box_w, int box_h, Coverage* c)
{
    const FT_Bitmap& bm = slot->bitmap;
    int x0 = std::max(left, 0), y0 = std::max(top, 0);
    int x1 = std::min(left + (int)bm.width, box_w), y1 = std::min(top + (int)bm.rows, box_h);
    if (x1 <= x0 || y1 <= y0)
        return;
    c->x = x0;
    c->y = y0;
    c->w = x1 - x0;
    c->h = y1 - y0;
    c->a.resize((size_t)c->w * c->h);
    for (int y = y0; y < y1; y++) {
        const unsigned char* src = bm.buffer + (long)(y - top) * bm.pitch + (x0 - left);
        std::memcpy(&c->a[(size_t)(y - y0) * c->w], src, (size_t)c->w);
    }
}

// Renders character c of face fi into a box of `cells` cells. The glyph's own
// advance is centred in the box (it equals the box in a fixed-pitch Japanese face).
static Coverage render_in_face(FaceInfo* fi, char32_t c, int cells, int cell_w, int cell_h, bool bold, bool italic)
{
    Coverage cov;
    int box_w = cells * cell_w;
    FT_UInt index = FT_Get_Char_Index(fi->ft, c);
    if (!set_cell_size(fi, cell_w, cell_h) || !render_outline(fi, index, cell_h, bold, italic))
        return cov;
    FT_GlyphSlot slot = fi->ft->glyph;
    FT_Pos advance = slot->metrics.horiAdvance;
    int shift = (int)((box_w * 64LL - advance) / 2 / 64);
    crop_bitmap(slot, shift + slot->bitmap_left, baseline_of(fi, cell_h) - slot->bitmap_top, box_w, cell_h, &cov);
    return cov;
}

// Controls and spaces show nothing; anything else a face lacks shows as a box.
static bool is_blank(char32_t c) { return c <= 0x20 || c == 0x7F || c == 0x3000; }

static Coverage render_char(FaceInfo* fi, unsigned code, int cells, int cell_w, int cell_h, bool bold, bool italic)
{
    bool lone_lead = cells == 1 && cp932_is_lead((unsigned char)code);
    char32_t c = (code & UNICODE_CODE) ? (char32_t)(code & ~UNICODE_CODE) : lone_lead ? 0 : cp932_to_unicode(code);
    if (c == 0 || is_blank(c))
        return Coverage{};
    FaceInfo* with = (fi && face_has_char(fi->ft, c)) ? fi : (fi ? fallback_face(c) : nullptr);
    if (!with)
        return hollow_box(cells * cell_w, cell_h);
    return render_in_face(with, c, cells, cell_w, cell_h, bold, italic);
}

static const Coverage& glyph_for(int face_id, unsigned code, int cells, int cell_w, int cell_h, bool bold, bool italic)
{
    GlyphKey key{face_id, code, cell_w, cell_h, bold, italic};
    auto it = glyph_cache.find(key);
    if (it != glyph_cache.end())
        return it->second;
    FaceInfo* fi = face_id == FACE_NONE ? nullptr : faces[face_id].get();
    Coverage cov = render_char(fi, code, cells, cell_w, cell_h, bold, italic);

    size_t cost = cov.a.size() + GLYPH_ENTRY_OVERHEAD;
    if (glyph_cache_bytes + cost > GLYPH_CACHE_LIMIT) {
        glyph_cache.clear();
        glyph_cache_bytes = 0;
    }
    glyph_cache_bytes += cost;
    return glyph_cache.emplace(key, std::move(cov)).first->second;
}

// ---- drawing --------------------------------------------------------------------

// fg blended over one opaque background at every coverage level, kept while the
// colours stay the same: opaque text then costs one lookup per pixel.
struct BlendTable {
    uint32_t fg = 0, bg = 0;
    bool valid = false;
    uint32_t mix[256];
};
static BlendTable blend_table;

static const uint32_t* blend_table_for(uint32_t fg, uint32_t bg)
{
    if (!blend_table.valid || blend_table.fg != fg || blend_table.bg != bg) {
        for (unsigned a = 0; a < 256; a++)
            blend_table.mix[a] = pixel_blend(bg, fg, a);
        blend_table.fg = fg;
        blend_table.bg = bg;
        blend_table.valid = true;
    }
    return blend_table.mix;
}

// Where a draw wrote pixels of another colour than they had: null when the
// caller does not ask, and then nothing is compared.
struct Changes {
    IRect* box = nullptr;
    void add(int x0, int y, int x1)
    {
        if (box && x1 > x0)
            *box = rect_union(*box, IRect{x0, y, x1, y + 1});
    }
};

// Blends fg by the coverage over the surface, within vis (already inside the
// surface, the clip and the cell whose top-left corner is (ox, oy)). With a
// table the pixels beneath are known to be its background and are not read,
// unless changes are asked for: then only pixels that differ are written.
static void blend_coverage(const Surface& dst, const IRect& vis, int ox, int oy, const Coverage& cov, uint32_t fg,
                           const uint32_t* table, Changes changes)
{
    IRect g = rect_intersect(vis, IRect{ox + cov.x, oy + cov.y, ox + cov.x + cov.w, oy + cov.y + cov.h});
    for (int y = g.y0; y < g.y1; y++) {
        const unsigned char* a = &cov.a[(size_t)(y - oy - cov.y) * cov.w + (g.x0 - ox - cov.x)];
        uint32_t* p = dst.row(y) + g.x0;
        if (table && changes.box) {
            // The row as it should be, then one comparison of the whole row:
            // most rows of a glyph drawn again are already right.
            static std::vector<uint32_t> want;
            int w = g.width();
            want.resize((size_t)w);
            for (int x = 0; x < w; x++)
                want[(size_t)x] = table[a[x]];
            if (std::memcmp(p, want.data(), (size_t)w * sizeof(uint32_t)) == 0)
                continue;
            int first = 0, last = w - 1;
            while (p[first] == want[(size_t)first])
                first++;
            while (p[last] == want[(size_t)last])
                last--;
            std::memcpy(p + first, want.data() + first, (size_t)(last - first + 1) * sizeof(uint32_t));
            changes.add(g.x0 + first, y, g.x0 + last + 1);
            continue;
        }
        if (table) {
            for (int x = 0; x < g.width(); x++)
                p[x] = table[a[x]];
            continue;
        }
        for (int x = 0; x < g.width(); x++) {
            if (a[x] == 255)
                p[x] = fg;
            else if (a[x] != 0)
                p[x] = pixel_blend(p[x], fg, a[x]);
        }
    }
}

// The background of part of a cell: with known, black is written only where
// the ink map says the surface may not be black already; with changes, only
// pixels of another colour are written.
static void fill_background(const Surface& dst, const IRect& vis, const IRect& r, uint32_t bg, const InkMap* known,
                            Changes changes)
{
    IRect c = rect_intersect(vis, r);
    if (!changes.box && (!known || bg != 0)) {
        surface_fill(dst, c, c, bg);
        return;
    }
    for (int y = c.y0; y < c.y1; y++) {
        int a = c.x0, b = c.x1;
        if (known && bg == 0) {
            InkSpan span = ink_row(*known, y);
            a = std::max(a, span.x0);
            b = std::min(b, span.x1);
        }
        if (b <= a)
            continue;
        if (changes.box) {
            IRect d = surface_fill_changed(dst, IRect{a, y, b, y + 1}, bg);
            changes.add(d.x0, y, d.x1);
        } else {
            std::memset(dst.row(y) + a, 0, (size_t)(b - a) * sizeof(uint32_t));
        }
    }
}

// One character: fills its cells in opaque mode, then draws its glyph. The cells
// start at (cx, y); area is the clip already cut to the surface. Returns the
// glyph's box as drawn (empty for a blank).
static IRect draw_char(const Surface& dst, const IRect& area, int cx, int y, int face_id, unsigned code, int cells,
                       int cell_w, int cell_h, const FontRequest& font, uint32_t fg, uint32_t bg, bool opaque,
                       const InkMap* known, Changes changes)
{
    IRect cell{cx, y, cx + cells * cell_w, y + cell_h};
    IRect vis = rect_intersect(cell, area);
    if (vis.empty())
        return IRect{};
    static const Coverage nothing;
    bool bold = font.weight >= FONT_BOLD_WEIGHT;
    bool space = cells == 1 && (code <= 0x20 || code == 0x7F); // shows nothing in any face
    const Coverage& cov = space ? nothing : glyph_for(face_id, code, cells, cell_w, cell_h, bold, font.italic);
    if (warm_recording && !space && !(code & UNICODE_CODE))
        warm_note(GlyphKey{face_id, code, cell_w, cell_h, bold, font.italic}, cells);
    IRect g = cov.a.empty() ? IRect{}
                            : rect_intersect(vis, IRect{cx + cov.x, y + cov.y, cx + cov.x + cov.w, y + cov.y + cov.h});
    if (opaque) {
        // The glyph's box gets every pixel from the table (nought coverage is
        // bg): only the rest of the cell is filled, so no pixel is written twice.
        fill_background(dst, vis, IRect{vis.x0, vis.y0, vis.x1, g.empty() ? vis.y1 : g.y0}, bg, known, changes);
        if (!g.empty()) {
            fill_background(dst, vis, IRect{vis.x0, g.y1, vis.x1, vis.y1}, bg, known, changes);
            fill_background(dst, vis, IRect{vis.x0, g.y0, g.x0, g.y1}, bg, known, changes);
            fill_background(dst, vis, IRect{g.x1, g.y0, vis.x1, g.y1}, bg, known, changes);
        }
    }
    if (!g.empty())
        blend_coverage(dst, vis, cx, y, cov, fg, opaque ? blend_table_for(fg, bg) : nullptr,
                       opaque ? changes : Changes{});
    return g;
}

// Underline and strike-out: one-pixel rows across the drawn cells. Returns
// what they cover.
static IRect draw_rules(const Surface& dst, const IRect& area, const IRect& cells, const FaceInfo* fi,
                        const FontRequest& font, uint32_t fg)
{
    int h = cells.height();
    int base = fi ? baseline_of(fi, h) : h * 7 / 8;
    IRect drawn{};
    if (font.underline) {
        int row = std::min(h - 1, base + std::max(1, (h - base) / 2));
        IRect rule{cells.x0, cells.y0 + row, cells.x1, cells.y0 + row + 1};
        surface_fill(dst, area, rule, fg);
        drawn = rect_union(drawn, rect_intersect(rule, area));
    }
    if (font.strike_out) {
        int row = std::max(0, base - h / 4);
        IRect rule{cells.x0, cells.y0 + row, cells.x1, cells.y0 + row + 1};
        surface_fill(dst, area, rule, fg);
        drawn = rect_union(drawn, rect_intersect(rule, area));
    }
    return drawn;
}

void font_cell_size(const FontRequest& font, int* cell_w, int* cell_h)
{
    warm_wait();
    resolve_cell(font, face_for(font, nullptr), cell_w, cell_h);
}

// Every byte takes one cell, a double-byte character being two bytes.
static int width_of(const char* text, int n, int cell_w)
{
    long long bytes = text && n > 0 ? n : 0;
    return (int)std::min<long long>(bytes * cell_w, INT_MAX);
}

int font_text_width(const FontRequest& font, const char* text, int n)
{
    warm_wait();
    int cell_w = 1, cell_h = 1;
    font_cell_size(font, &cell_w, &cell_h);
    return width_of(text, n, cell_w);
}

static long long clamp_coord(long long v) { return std::min<long long>(std::max<long long>(v, INT_MIN), INT_MAX); }

IRect font_text_out(const Surface& dst, const IRect& clip, int x, int y, const FontRequest& font, const char* text,
                    int n, uint32_t fg, uint32_t bg, bool opaque, const InkMap* black_known, IRect* glyphs,
                    IRect* changed)
{
    IRect inked{};
    if (changed)
        *changed = IRect{};
    Changes changes{opaque ? changed : nullptr};
    warm_wait();
    int face_id = FACE_NONE;
    const FaceInfo* fi = face_for(font, &face_id);
    int cell_w = 1, cell_h = 1;
    resolve_cell(font, fi, &cell_w, &cell_h);
    int width = width_of(text, n, cell_w);
    IRect cells{x, y, (int)clamp_coord((long long)x + width), (int)clamp_coord((long long)y + cell_h)};
    IRect area = rect_intersect(rect_intersect(clip, dst.bounds()), cells);
    if (area.empty()) {
        if (glyphs)
            *glyphs = inked;
        return cells;
    }
    long long pen = x;
    for (int i = 0; i < n && pen < area.x1;) {
        int len = cp932_char_len(text + i, n - i);
        unsigned code = len == 2 ? ((unsigned char)text[i] << 8 | (unsigned char)text[i + 1]) : (unsigned char)text[i];
        if (pen + (long long)len * cell_w > area.x0)
            inked = rect_union(inked, draw_char(dst, area, (int)pen, y, face_id, code, len, cell_w, cell_h, font, fg,
                                                bg, opaque, black_known, changes));
        pen += (long long)len * cell_w;
        i += len;
    }
    if (font.underline || font.strike_out) {
        IRect rules = draw_rules(dst, area, cells, fi, font, fg);
        inked = rect_union(inked, rules);
        if (changed)
            *changed = rect_union(*changed, rules);
    }
    if (glyphs)
        *glyphs = inked;
    return cells;
}

// ---- UTF-8 text --------------------------------------------------------------------

// Wide in a fixed-pitch East Asian face: two cells.
static bool is_wide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) || (c >= 0x20000 && c <= 0x3FFFD);
}

struct TextChar {
    unsigned code;
    int cells;
};

// The characters of UTF-8 text as glyph codes; broken sequences are skipped.
static std::vector<TextChar> text_chars(const std::string& utf8)
{
    std::vector<TextChar> out;
    for (size_t i = 0; i < utf8.size();) {
        size_t len = (size_t)utf8_lead_len((unsigned char)utf8[i]);
        if (len > utf8.size() - i)
            break;
        std::string one = utf8.substr(i, len);
        std::string cp932 = utf8_to_cp932(one);
        if (cp932.size() == 2)
            out.push_back({(unsigned)(unsigned char)cp932[0] << 8 | (unsigned char)cp932[1], 2});
        else if (cp932.size() == 1)
            out.push_back({(unsigned char)cp932[0], 1});
        else if (len > 1 && std::all_of(one.begin() + 1, one.end(), [](char b) { return (b & 0xC0) == 0x80; })) {
            char32_t c = (char32_t)((unsigned char)one[0] & (0x7F >> len));
            for (size_t k = 1; k < len; k++)
                c = c << 6 | ((unsigned char)one[k] & 0x3F);
            out.push_back({UNICODE_CODE | (unsigned)c, is_wide(c) ? 2 : 1});
        }
        i += len;
    }
    return out;
}

int font_text_width_utf8(const FontRequest& font, const std::string& utf8)
{
    int cell_w = 1, cell_h = 1;
    font_cell_size(font, &cell_w, &cell_h);
    long long cells = 0;
    for (const TextChar& c : text_chars(utf8))
        cells += c.cells;
    return (int)std::min<long long>(cells * cell_w, INT_MAX);
}

void font_text_out_utf8(const Surface& dst, const IRect& clip, int x, int y, const FontRequest& font,
                        const std::string& utf8, uint32_t fg)
{
    warm_wait();
    int face_id = FACE_NONE;
    const FaceInfo* fi = face_for(font, &face_id);
    int cell_w = 1, cell_h = 1;
    resolve_cell(font, fi, &cell_w, &cell_h);
    IRect area = rect_intersect(clip, dst.bounds());
    long long pen = x;
    for (const TextChar& c : text_chars(utf8)) {
        if (pen >= area.x1)
            break;
        if (pen + (long long)c.cells * cell_w > area.x0)
            draw_char(dst, area, (int)pen, y, face_id, c.code, c.cells, cell_w, cell_h, font, fg, 0, false, nullptr,
                      Changes{});
        pen += (long long)c.cells * cell_w;
    }
}

const char* font_file_path(const FontRequest& font)
{
    warm_wait();
    const FaceInfo* fi = face_for(font, nullptr);
    return fi ? fi->path.c_str() : "";
}

// ---- the start-up warm list --------------------------------------------------------

static std::string warm_path() { return xdg_dir("XDG_CACHE_HOME", ".cache") + "/lumeko-trainer/glyphs"; }

static std::string unhex(const std::string& h)
{
    std::string out;
    if (h == "-")
        return out;
    for (size_t i = 0; i + 1 < h.size(); i += 2)
        out += (char)std::stoi(h.substr(i, 2), nullptr, 16);
    return out;
}

// One line per glyph: face name (hex of its CP932 bytes), code, cells, cell
// width and height, bold, italic.
static std::string warm_text(const std::vector<WarmGlyph>& list)
{
    std::ostringstream out;
    for (const WarmGlyph& g : list) {
        std::string name;
        for (const auto& [n, id] : face_by_name)
            if (id == g.face && (name.empty() || n < name))
                name = n;
        out << hex_of(name) << ' ' << g.code << ' ' << g.cells << ' ' << g.cell_w << ' ' << g.cell_h << ' '
            << (int)g.bold << ' ' << (int)g.italic << '\n';
    }
    return out.str();
}

// Renders every glyph the list names; run on the warm thread, which alone
// touches this module's state until warm_wait has joined it.
static void warm_render(std::string text)
{
    face_for(gothic_font(FONT_DEFAULT_HEIGHT, 0, FW_NORMAL), nullptr); // the layer's own face, listed or not
    std::istringstream in(text);
    std::string line;
    for (size_t n = 0; n < WARM_MAX && std::getline(in, line); n++) {
        std::istringstream f(line);
        std::string hex;
        long long code, cells, cw, ch, bold, italic;
        if (!(f >> hex >> code >> cells >> cw >> ch >> bold >> italic) || hex.size() > 2 * FONT_FACE_MAX ||
            hex.find_first_not_of("0123456789abcdef-") != std::string::npos || code < 0 || code > 0xFFFF || cells < 1 ||
            cells > 2 || cw < 1 || cw > FONT_CELL_MAX || ch < 1 || ch > FONT_CELL_MAX)
            continue; // a damaged line is passed over: the glyph is rendered when drawn
        FontRequest req;
        std::string name = unhex(hex);
        std::memcpy(req.face, name.data(), std::min(name.size(), (size_t)FONT_FACE_MAX - 1));
        int id = FACE_NONE;
        face_for(req, &id);
        glyph_for(id, (unsigned)code, (int)cells, (int)cw, (int)ch, bold != 0, italic != 0);
    }
}

void font_warm_start()
{
    if (warm_running)
        return;
    std::ifstream in(warm_path());
    std::ostringstream all;
    all << in.rdbuf();
    warm_listed = all.str();
    warm_thread = std::thread(warm_render, warm_listed);
    warm_running = true;
    std::atexit(warm_wait); // an exit before the first text (no display) waits for it first
}

static void warm_wait()
{
    if (!warm_running)
        return;
    warm_thread.join();
    warm_running = false;
}

void font_warm_save()
{
    warm_wait();
    if (!warm_recording)
        return;
    warm_recording = false;
    std::string text = warm_text(warm_seen);
    if (text != warm_listed)
        replace_file(warm_path(), text, WARM_MODE, WARM_DIR_MODE); // not written: only a slower start
    warm_seen.clear();
    warm_seen_keys.clear();
}
