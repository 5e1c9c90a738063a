// disk.cpp -- where the layer writes to the disk: the XDG directories, making
// directories, replacing a file whole, and where X may keep a compose cache.
//
// Owns no state. Every write goes through write_all, which asks the backend
// whether to fail it: the headless backend can make the n-th write fail, so
// tests reach the error paths of a full disk without tricks that do not bind
// root. Called by the settings writer (profile.cpp) and the font memo.
#include "disk.h"

#include "backend.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

std::string xdg_dir(const char* variable, const char* under_home)
{
    const char* xdg = getenv(variable);
    if (xdg && xdg[0] == '/') // a relative value is invalid and ignored
        return xdg;
    const char* home = getenv("HOME");
    if (!home || !*home) {
        const struct passwd* pw = getpwuid(getuid());
        home = pw && pw->pw_dir ? pw->pw_dir : ".";
    }
    return std::string(home) + "/" + under_home;
}

bool make_dirs(const std::string& dir, mode_t mode)
{
    for (size_t end = dir.find('/', 1);; end = dir.find('/', end + 1)) {
        std::string part = dir.substr(0, end); // npos: the whole path, last
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            break;
    }
    struct stat st;
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string compose_cache_dir(bool root)
{
    if (root || getenv("XCOMPOSECACHE"))
        return "";
    const char* home = getenv("HOME");
    struct stat st;
    if (home && *home && stat((std::string(home) + "/.compose-cache").c_str(), &st) == 0)
        return "";
    std::string dir = xdg_dir("XDG_CACHE_HOME", ".cache") + "/lumeko-trainer/compose";
    return make_dirs(dir, 0700) ? dir : "";
}

bool write_all(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        if (backend_write_fails()) {
            errno = ENOSPC;
            return false;
        }
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t)n;
    }
    return true;
}

bool replace_file(const std::string& path, const std::string& bytes, mode_t mode, mode_t dir_mode)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash > 0 ? slash : 1);
    if (!make_dirs(dir, dir_mode))
        return false;
    std::string tmp = dir + "/.tmp-XXXXXX";
    int fd = mkostemp(&tmp[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = write_all(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    ok = close(fd) == 0 && ok; // a full disk may only show at close
    ok = ok && rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(tmp.c_str());
        return false;
    }
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) { // make the rename itself durable; the write has succeeded either way
        fsync(dfd);
        close(dfd);
    }
    return true;
}

std::string hex_of(const std::string& s)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}
