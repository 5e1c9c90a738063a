// font_memo.cpp -- a small text file of face name -> font file, in the cache dir.
//
// Owns the entries read from $XDG_CACHE_HOME/lumeko-trainer/faces (else
// ~/.cache/...): one line per face name, "hex-name TAB index TAB size TAB
// mtime TAB path". The file is rewritten whole and replaced only once the
// new one is safely written, so a full disk leaves the old memo as it was.
#include "font_memo.h"

#include "disk.h"
#include "font.h"

#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

struct Memo {
    int index;
    long long size, mtime;
    std::string path;
};

static std::map<std::string, Memo> memos; // by hex of the CP932 face name
static bool memos_read = false;

constexpr mode_t MEMO_MODE = 0600;
constexpr mode_t MEMO_DIR_MODE = 0700;

static std::string cache_dir() { return xdg_dir("XDG_CACHE_HOME", ".cache") + "/lumeko-trainer"; }

static void read_memos()
{
    memos_read = true;
    std::string dir = cache_dir();
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

void font_memo_store(const std::string& face_name, const std::string& path, int index)
{
    Memo m{index, 0, 0, path};
    std::string dir = cache_dir();
    if (path.find('\n') != std::string::npos || !file_stamp(path, &m.size, &m.mtime))
        return;
    if (!memos_read)
        read_memos();
    memos[hex_of(face_name)] = m;
    std::ostringstream out;
    for (const auto& [key, e] : memos)
        out << key << '\t' << e.index << '\t' << e.size << '\t' << e.mtime << '\t' << e.path << '\n';
    replace_file(dir + "/faces", out.str(), MEMO_MODE, MEMO_DIR_MODE); // a memo not written is only slower
}
