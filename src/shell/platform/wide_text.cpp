// wide_text.cpp -- UTF-16: MultiByteToWideChar and WideCharToMultiByte (code
// page 932 or UTF-8), and the file names and texts of the layer's W calls.
//
// Owns no state. A character with no equivalent is dropped, as at every edge
// of the layer; a file name is kept byte for byte. Called by the records,
// which write their file in UTF-8, and by the W calls.
#include "codepage.h"
#include "win32.h"

#include <cstring>
#include <string>

constexpr char32_t SURROGATE_LOW_START = 0xDC00;
constexpr char32_t SURROGATE_HIGH_START = 0xD800;
constexpr char32_t FIRST_SUPPLEMENTARY = 0x10000;

// Next code point of UTF-8 text at s[*i] (n bytes); 0xFFFD for a broken sequence.
static char32_t next_utf8(const std::string& s, size_t* i)
{
    unsigned char b = (unsigned char)s[*i];
    int len = utf8_lead_len(b);
    if (len == 1) {
        (*i)++;
        return b < 0x80 ? b : 0xFFFD;
    }
    char32_t c = b & (0xFF >> (len + 1));
    for (int k = 1; k < len; k++) {
        if (*i + (size_t)k >= s.size() || ((unsigned char)s[*i + k] & 0xC0) != 0x80) {
            *i += (size_t)k;
            return 0xFFFD;
        }
        c = (c << 6) | ((unsigned char)s[*i + k] & 0x3F);
    }
    *i += (size_t)len;
    return c;
}

static std::u16string utf8_to_utf16(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        char32_t c = next_utf8(s, &i);
        if (c >= FIRST_SUPPLEMENTARY) {
            c -= FIRST_SUPPLEMENTARY;
            out += (char16_t)(SURROGATE_HIGH_START + (c >> 10));
            out += (char16_t)(SURROGATE_LOW_START + (c & 0x3FF));
        } else {
            out += (char16_t)c;
        }
    }
    return out;
}

static void append_utf8(std::string* out, char32_t c)
{
    if (c < 0x80) {
        *out += (char)c;
    } else if (c < 0x800) {
        *out += (char)(0xC0 | (c >> 6));
        *out += (char)(0x80 | (c & 0x3F));
    } else if (c < FIRST_SUPPLEMENTARY) {
        *out += (char)(0xE0 | (c >> 12));
        *out += (char)(0x80 | ((c >> 6) & 0x3F));
        *out += (char)(0x80 | (c & 0x3F));
    } else {
        *out += (char)(0xF0 | (c >> 18));
        *out += (char)(0x80 | ((c >> 12) & 0x3F));
        *out += (char)(0x80 | ((c >> 6) & 0x3F));
        *out += (char)(0x80 | (c & 0x3F));
    }
}

std::string utf16_to_utf8(const char16_t* s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; i++) {
        char32_t c = s[i];
        bool high = c >= SURROGATE_HIGH_START && c < SURROGATE_LOW_START;
        if (high && i + 1 < n && s[i + 1] >= SURROGATE_LOW_START && s[i + 1] < SURROGATE_LOW_START + 0x400) {
            c = FIRST_SUPPLEMENTARY + ((c - SURROGATE_HIGH_START) << 10) + (s[i + 1] - SURROGATE_LOW_START);
            i++;
        } else if (c >= SURROGATE_HIGH_START && c < SURROGATE_LOW_START + 0x400) {
            c = 0xFFFD; // a lone surrogate
        }
        append_utf8(&out, c);
    }
    return out;
}

// ---- file names ------------------------------------------------------------------
// A file name here is bytes, most often UTF-8 but not always (a folder made on
// a Latin-1 system). A byte that is no part of a well-formed sequence becomes
// a lone low surrogate U+DC80..U+DCFF, which stands for no character, and
// back again: every name survives the round trip.

constexpr char16_t ESCAPED_BYTE = 0xDC00;

// The code point of a well-formed UTF-8 sequence at s[i] (no overlong form,
// no surrogate, nothing past U+10FFFF) and its length in *len; -1 for none.
static long well_formed_at(const std::string& s, size_t i, int* len)
{
    constexpr char32_t LEAST[] = {0, 0, 0x80, 0x800, 0x10000};
    *len = utf8_lead_len((unsigned char)s[i]);
    if (*len == 1)
        return (unsigned char)s[i] < 0x80 ? (long)(unsigned char)s[i] : -1;
    if (i + (size_t)*len > s.size())
        return -1;
    char32_t c = (unsigned char)s[i] & (0xFF >> (*len + 1));
    for (int k = 1; k < *len; k++) {
        if (((unsigned char)s[i + k] & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | ((unsigned char)s[i + k] & 0x3F);
    }
    bool surrogate = c >= SURROGATE_HIGH_START && c < SURROGATE_LOW_START + 0x400;
    return c < LEAST[*len] || c > 0x10FFFF || surrogate ? -1 : (long)c;
}

std::u16string path_to_utf16(const std::string& name)
{
    std::u16string out;
    for (size_t i = 0; i < name.size();) {
        int len = 0;
        long c = well_formed_at(name, i, &len);
        if (c < 0) {
            out += (char16_t)(ESCAPED_BYTE | (unsigned char)name[i++]);
            continue;
        }
        i += (size_t)len;
        if (c >= (long)FIRST_SUPPLEMENTARY) {
            c -= (long)FIRST_SUPPLEMENTARY;
            out += (char16_t)(SURROGATE_HIGH_START + (c >> 10));
            out += (char16_t)(SURROGATE_LOW_START + (c & 0x3FF));
        } else {
            out += (char16_t)c;
        }
    }
    return out;
}

std::string utf16_to_path(const char16_t* wide)
{
    std::string out;
    size_t n = 0;
    while (wide && wide[n])
        n++;
    for (size_t from = 0, i = 0; i <= n; i++) {
        bool escaped = i < n && wide[i] >= ESCAPED_BYTE + 0x80 && wide[i] <= ESCAPED_BYTE + 0xFF;
        bool paired = i > 0 && wide[i - 1] >= SURROGATE_HIGH_START && wide[i - 1] < SURROGATE_LOW_START;
        if (i < n && (!escaped || paired))
            continue;
        out += utf16_to_utf8(wide + from, i - from);
        if (i < n)
            out += (char)(wide[i] & 0xFF);
        from = i + 1;
    }
    return out;
}

// ---- the Win32 conversions -------------------------------------------------------

static bool known_code_page(UINT cp) { return cp == CP_ACP || cp == CP_UTF8 || cp == 932; }

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR src, int src_bytes, LPWSTR dst, int dst_chars)
{
    if (!src || !known_code_page(code_page) || dst_chars < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = src_bytes < 0 ? std::strlen(src) + 1 : (size_t)src_bytes;
    std::string bytes(src, n);
    std::u16string wide = utf8_to_utf16(code_page == CP_UTF8 ? bytes : cp932_to_utf8(bytes));
    if (dst_chars == 0)
        return (int)wide.size();
    if (!dst || wide.size() > (size_t)dst_chars) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, wide.data(), wide.size() * sizeof(WCHAR));
    return (int)wide.size();
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR src, int src_chars, LPSTR dst, int dst_bytes,
                        LPCSTR default_char, BOOL* used_default)
{
    if (used_default)
        *used_default = FALSE;
    if (!src || !known_code_page(code_page) || dst_bytes < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n = (size_t)src_chars;
    if (src_chars < 0)
        for (n = 0; src[n];)
            n++;
    std::string utf8 = utf16_to_utf8(src, src_chars < 0 ? n + 1 : n);
    std::string out = code_page == CP_UTF8 ? utf8 : utf8_to_cp932(utf8);
    if (dst_bytes == 0)
        return (int)out.size();
    if (!dst || out.size() > (size_t)dst_bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(dst, out.data(), out.size());
    return (int)out.size();
}
