// wrap.cpp -- breaking a line of the layer's own text into lines that fit a width.
//
// Greedy, one character at a time, measuring each by the font's cell rule.
// Owns no state; msgbox.cpp calls it for each line of a box's text.
#include "wrap.h"

#include "codepage.h"

#include <algorithm>
#include <iterator>

// Marks a line should not start with, and marks a line should not end with
// (Japanese line-breaking manners), UTF-8.
constexpr const char* NO_LINE_START[] = {"、", "。", "，", "．", "・", "：", "；", "？", "！", "ー", "）", "」",
                                         "』", "】", "〉", "》", "〕", "｝", "］", "…", "ゃ", "ゅ", "ょ", "っ",
                                         "ャ", "ュ", "ョ", "ッ", "ぁ", "ぃ", "ぅ", "ぇ", "ぉ", "々", "゛", "゜"};
constexpr const char* NO_LINE_END[] = {"（", "「", "『", "【", "〈", "《", "〔", "｛", "［"};

static bool one_of(const std::string& c, const char* const* set, size_t n)
{
    return std::any_of(set, set + n, [&](const char* s) { return c == s; });
}

static bool is_space(const std::string& c) { return c == " " || c == "\t"; }

// Japanese (or any other non-ASCII) text may break between any two characters.
static bool breaks_anywhere(const std::string& c) { return (unsigned char)c[0] >= 0x80; }

// Whether a line may start with c when the line before ends with prev.
static bool may_break_between(const std::string& prev, const std::string& c)
{
    if (is_space(c))
        return false; // spaces stay with the word before them and are dropped at a break
    if (is_space(prev) || prev == "/")
        return true; // after a word, or after a folder of a path
    if (!breaks_anywhere(prev) && !breaks_anywhere(c))
        return false; // inside a Latin word, a number or a path
    return !one_of(c, NO_LINE_START, std::size(NO_LINE_START)) && !one_of(prev, NO_LINE_END, std::size(NO_LINE_END));
}

// The characters of the text, each whole; a sequence cut short at the end is
// one character.
static std::vector<std::string> chars_of(const std::string& utf8)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < utf8.size();) {
        size_t len = std::min((size_t)utf8_lead_len((unsigned char)utf8[i]), utf8.size() - i);
        out.push_back(utf8.substr(i, len));
        i += len;
    }
    return out;
}

static std::string trimmed(std::string s)
{
    while (!s.empty() && is_space(std::string(1, s.back())))
        s.pop_back();
    return s;
}

static std::string joined(const std::vector<std::string>& chars, size_t from, size_t to)
{
    std::string s;
    for (size_t i = from; i < to; i++)
        s += chars[i];
    return s;
}

std::vector<std::string> wrap_line(const FontRequest& font, const std::string& utf8, int max_w)
{
    if (font_text_width_utf8(font, utf8) <= max_w)
        return {utf8};
    std::vector<std::string> chars = chars_of(utf8), lines;
    size_t start = 0, last_break = 0; // the line being filled starts at start; 0: no break seen in it
    int w = 0, w_since_break = 0;     // widths of chars [start, i) and [last_break, i)
    for (size_t i = 0; i < chars.size(); i++) {
        if (i > start && may_break_between(chars[i - 1], chars[i])) {
            last_break = i;
            w_since_break = 0;
        }
        int cw = font_text_width_utf8(font, chars[i]);
        if (i > start && !is_space(chars[i]) && w + cw > max_w) {
            size_t cut = last_break > start ? last_break : i;
            lines.push_back(trimmed(joined(chars, start, cut)));
            w = cut == i ? 0 : w_since_break;
            start = cut;
        }
        w += cw;
        w_since_break += cw;
    }
    lines.push_back(trimmed(joined(chars, start, chars.size())));
    return lines;
}
