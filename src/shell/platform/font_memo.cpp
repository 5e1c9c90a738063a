// font_memo.cpp -- a small text file of face name -> font file, in the cache dir.
//
// Owns the entries read from $XDG_CACHE_HOME/lumeko-trainer/faces (else
// ~/.cache/...): one line per face name, "hex-name TAB index TAB size TAB
// mtime TAB path". The file is rewritten whole, through a temporary file.
#include "font_memo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

struct Memo {
    int index;
    long long size, mtime;
    std::string path;
};

static std::map<std::string, Memo> memos; // by hex of the CP932 face name
static bool memos_read = false;

static std::string cache_dir()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && xdg[0] == '/')
        return std::string(xdg) + "/lumeko-trainer";
    const char* home = std::getenv("HOME");
    return home && home[0] ? std::string(home) + "/.cache/lumeko-trainer" : std::string();
}

static std::string hex_of(const std::string& s)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

static void read_memos()
{
    memos_read = true;
    std::string dir = cache_dir();
    if (dir.empty())
        return;
    std::ifstream in(dir + "/faces");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        Memo m;
        if (std::getline(fields, key, '\t') && fields >> m.index >> m.size >> m.mtime && fields.get() == '\t' &&
            std::getline(fields, m.path) && !m.path.empty())
            memos[key] = m;
    }
}

static bool file_stamp(const std::string& path, long long* size, long long* mtime)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *size = (long long)st.st_size;
    *mtime = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    return true;
}

bool font_memo_lookup(const std::string& face_name, std::string* path, int* index)
{
    if (!memos_read)
        read_memos();
    auto it = memos.find(hex_of(face_name));
    long long size, mtime;
    if (it == memos.end() || !file_stamp(it->second.path, &size, &mtime) || size != it->second.size ||
        mtime != it->second.mtime)
        return false;
    *path = it->second.path;
    *index = it->second.index;
    return true;
}

static void make_dirs(const std::string& dir)
{
    for (size_t slash = dir.find('/', 1); slash != std::string::npos; slash = dir.find('/', slash + 1))
        mkdir(dir.substr(0, slash).c_str(), 0700);
    mkdir(dir.c_str(), 0700);
}

void font_memo_store(const std::string& face_name, const std::string& path, int index)
{
    Memo m{index, 0, 0, path};
    std::string dir = cache_dir();
    if (dir.empty() || path.find('\n') != std::string::npos || !file_stamp(path, &m.size, &m.mtime))
        return;
    if (!memos_read)
        read_memos();
    memos[hex_of(face_name)] = m;
    make_dirs(dir);
    std::string tmp = dir + "/faces.tmp" + std::to_string(getpid());
    {
        std::ofstream out(tmp, std::ios::trunc);
        for (const auto& [key, e] : memos)
            out << key << '\t' << e.index << '\t' << e.size << '\t' << e.mtime << '\t' << e.path << '\n';
        if (!out)
            return (void)std::remove(tmp.c_str());
    }
    if (std::rename(tmp.c_str(), (dir + "/faces").c_str()) != 0)
        std::remove(tmp.c_str());
}
