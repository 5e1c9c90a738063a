// profile_fuzz.cpp -- feeds arbitrary bytes to the settings-file reader and writer.
//
// The input is split at its first 0 byte: what comes before is the file, what
// follows picks the names and the buffer size asked for. Every read is checked
// to stay inside its buffer and to end with a terminator; a write must leave a
// file that reads back the value just written.
#include "shell/platform/win32.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

static std::string dir;

static bool plain_name(const char* s)
{
    if (!*s)
        return false;
    for (; *s; s++)
        if (*s <= ' ' || *s > '~' || *s == '[' || *s == ']' || *s == '=')
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (dir.empty()) {
        char templ[] = "/tmp/profile-fuzz-XXXXXX";
        dir = mkdtemp(templ);
    }
    const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    size_t file_len = split ? (size_t)(split - data) : size;
    std::string path = dir + "/fuzz.ini";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data, 1, file_len, f);
    std::fclose(f);

    std::string rest = split ? std::string((const char*)split + 1, size - file_len - 1) : "set";
    std::string section = rest.substr(0, rest.find('='));
    std::string key = rest.find('=') == std::string::npos ? "oto" : rest.substr(rest.find('=') + 1);
    DWORD cap = 1 + (DWORD)(size % 64);
    char* buf = static_cast<char*>(std::malloc(cap)); // exact size, so ASan sees any overrun
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "dflt", buf, cap, path.c_str());
    if (n >= cap || buf[n] != 0)
        std::abort();
    GetPrivateProfileStringA(nullptr, nullptr, "", buf, cap, path.c_str());
    GetPrivateProfileStringA(section.c_str(), nullptr, "", buf, cap, path.c_str());
    std::free(buf);

    // Names the program could write: printable ASCII without the file's own
    // punctuation. Other bytes are read above; a write of them promises nothing.
    if (plain_name(section.c_str()) && plain_name(key.c_str()) && key[0] != ';') {
        if (WritePrivateProfileStringA(section.c_str(), key.c_str(), "42", path.c_str())) {
            char back[8];
            GetPrivateProfileStringA(section.c_str(), key.c_str(), "", back, sizeof back, path.c_str());
            if (std::strcmp(back, "42") != 0)
                std::abort();
        }
    }
    unlink(path.c_str());
    return 0;
}
