// codepage.cpp -- CP932 <-> Unicode through glibc's iconv.
//
// Owns the conversion descriptors, opened on first use and kept for the run.
// Conversions go character by character so that one bad character is dropped
// without losing the rest of the text.
#include "codepage.h"

#include "win32.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

static iconv_t open_once(iconv_t* slot, const char* to, const char* from)
{
    if (*slot == (iconv_t)0)
        *slot = iconv_open(to, from);
    return *slot;
}

// One set per thread: the fonts are opened on a second thread at start-up,
// and a descriptor keeps conversion state between calls. A thread's set is
// closed when the thread ends, so a finished thread leaves nothing behind.
struct ThreadConverters {
    iconv_t to_utf32 = (iconv_t)0;
    iconv_t to_utf8 = (iconv_t)0;
    iconv_t from_utf8 = (iconv_t)0;
    ~ThreadConverters()
    {
        for (iconv_t cd : {to_utf32, to_utf8, from_utf8})
            if (cd != (iconv_t)0 && cd != (iconv_t)-1)
                iconv_close(cd);
    }
};
static thread_local ThreadConverters converters;

// Converts one character; returns the number of output bytes or -1.
static int convert_one(iconv_t cd, const char* in, size_t in_len, char* out, size_t out_cap)
{
    if (cd == (iconv_t)-1)
        return -1;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    size_t left_in = in_len;
    size_t left_out = out_cap;
    if (iconv(cd, &src, &left_in, &dst, &left_out) == (size_t)-1 || left_in != 0)
        return -1;
    return (int)(out_cap - left_out);
}

BOOL IsDBCSLeadByte(BYTE test_char) { return cp932_is_lead(test_char) ? TRUE : FALSE; }

char32_t cp932_to_unicode(unsigned code)
{
    char in[2];
    size_t n = 0;
    if (code > 0xFF)
        in[n++] = (char)(code >> 8);
    in[n++] = (char)(code & 0xFF);
    if (code < 0x80)
        return code;
    unsigned char out[8];
    int got = convert_one(open_once(&converters.to_utf32, "UTF-32LE", "CP932"), in, n, (char*)out, sizeof out);
    if (got != 4)
        return 0;
    return (char32_t)out[0] | (char32_t)out[1] << 8 | (char32_t)out[2] << 16 | (char32_t)out[3] << 24;
}

std::string cp932_to_utf8(const std::string& cp932)
{
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    iconv_t cd = open_once(&converters.to_utf8, "UTF-8", "CP932");
    const char* s = cp932.data();
    int n = (int)cp932.size();
    for (int i = 0; i < n;) {
        int len = cp932_char_len(s + i, n - i);
        if ((unsigned char)s[i] < 0x80) {
            out += s[i];
        } else {
            char buf[8];
            int got = convert_one(cd, s + i, (size_t)len, buf, sizeof buf);
            if (got > 0)
                out.append(buf, (size_t)got);
        }
        i += len;
    }
    return out;
}

std::string utf8_cut(const std::string& utf8, size_t max)
{
    size_t n = utf8.size();
    if (n <= max)
        return utf8;
    n = max;
    while (n > 0 && ((unsigned char)utf8[n] & 0xC0) == 0x80)
        n--; // utf8[n] continues a character: that character goes whole
    return utf8.substr(0, n);
}

std::string utf8_to_cp932(const std::string& utf8)
{
    std::string out;
    iconv_t cd = open_once(&converters.from_utf8, "CP932", "UTF-8");
    const char* s = utf8.data();
    int n = (int)utf8.size();
    for (int i = 0; i < n;) {
        unsigned char b = (unsigned char)s[i];
        if (b < 0x80) {
            out += (char)b;
            i++;
            continue;
        }
        // A sequence cut short (a continuation byte missing) is dropped alone:
        // the character after it is kept.
        int len = utf8_lead_len(b);
        int have = 1;
        while (have < len && i + have < n && ((unsigned char)s[i + have] & 0xC0) == 0x80)
            have++;
        if (have < len) {
            i += have;
            continue;
        }
        char buf[8];
        int got = convert_one(cd, s + i, (size_t)len, buf, sizeof buf);
        if (got > 0)
            out.append(buf, (size_t)got);
        i += len;
    }
    return out;
}

std::string cp932_path_to_utf8(const std::string& cp932)
{
    std::string out = cp932_to_utf8(cp932);
    if (!out.empty() && out[0] == '/')
        return out; // a path of this system (the chooser's): '\' is part of a name
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}
