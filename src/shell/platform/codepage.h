// codepage.h -- conversions between code page 932 (Shift-JIS) and Unicode.
//
// The program's text is CP932 bytes; the platform converts only at its edges:
// to Unicode to draw glyphs, to UTF-8 for the window title and file names, and
// from UTF-8 for typed text. A character that cannot be converted is dropped.
#pragma once

#include <string>

// True for a byte that starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
inline bool cp932_is_lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Length in bytes of the character at text[0] given n bytes available: 2 for a
// complete double-byte character, otherwise 1 (a lone lead byte counts as one).
inline int cp932_char_len(const char* text, int n)
{
    return (n >= 2 && cp932_is_lead((unsigned char)text[0]) && text[1] != 0) ? 2 : 1;
}

// Length in bytes of the UTF-8 sequence that lead byte b starts: 2 to 4 for a
// lead byte a well-formed sequence may begin with, 1 for anything else (ASCII,
// a stray continuation byte, an overlong 0xC0/0xC1, a byte above 0xF4), so a
// caller stepping through broken text always moves on.
inline int utf8_lead_len(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 1;
}

// Unicode code point of one CP932 character: a single byte, or lead << 8 | trail.
// 0 when the code has no mapping.
char32_t cp932_to_unicode(unsigned code);

std::string cp932_to_utf8(const std::string& cp932);
// The first characters of UTF-8 text that fit in max bytes, cut where a
// character begins, so no character is split.
std::string utf8_cut(const std::string& utf8, size_t max);
std::string utf8_to_cp932(const std::string& utf8);
// A file name as the program writes it, for the system. The program's own
// relative names (the default lesson) separate folders with '\', which
// becomes '/'; a 0x5C that is the second byte of a double-byte character is
// part of that character and stays. An absolute path is this system's (one
// the chooser gave): a '\' in it is part of a file name and stays too.
std::string cp932_path_to_utf8(const std::string& cp932);

// UTF-16 (n code units) to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(const char16_t* s, size_t n);
// A file name of this system (bytes, most often UTF-8) in UTF-16 for the wide
// calls, and back: a byte that is no part of well-formed UTF-8 travels as a
// lone surrogate (U+DC80 + its low bits), so that every name comes back
// byte for byte. utf16_to_path stops at the terminator.
std::u16string path_to_utf16(const std::string& name);
std::string utf16_to_path(const char16_t* wide);
