// files.cpp -- data files, whole-file reading and memory blocks.
//
// OpenFile, _llseek, _lread and _lclose over POSIX descriptors; GlobalAlloc and
// its companions over the C heap; GetModuleFileNameA; and resolve_data_path,
// which finds the lesson, sound and help files. Owns no state. Called by the
// lesson loader, the help command, sound.cpp and shell_open.cpp.
#include "files.h"

#include "backend.h"
#include "codepage.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Where the installed data lies as seen from the folder of the installed
// executable (the build passes the value its install layout gives). Relative,
// so that a copy installed under any prefix finds its own data.
#ifdef LUMEKO_DATA_FROM_BIN
static constexpr const char* DATA_FROM_BIN = LUMEKO_DATA_FROM_BIN;
#else
static constexpr const char* DATA_FROM_BIN = "../share/lumeko-trainer";
#endif

constexpr UINT READ_ERROR = (UINT)-1;  // what _lread returns when the read fails
constexpr UINT OF_SHARE_BITS = 0x0070; // sharing modes mean nothing here and are ignored
constexpr BYTE FIXED_DISK = 1;

// ---- paths ------------------------------------------------------------------------

static bool is_regular_file(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string program_path()
{
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, (size_t)n) : std::string();
}

static std::string directory_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash > 0 ? slash : 1);
}

// Joins a relative path to an absolute folder, taking each ".." off the folder
// and dropping ".", so that the result names the folder without detours.
static std::string join_path(std::string dir, const std::string& rel)
{
    size_t start = 0;
    while (start <= rel.size()) {
        size_t end = rel.find('/', start);
        if (end == std::string::npos)
            end = rel.size();
        std::string part = rel.substr(start, end - start);
        if (part == "..") {
            size_t slash = dir.rfind('/');
            dir.erase(slash == std::string::npos ? 0 : slash);
        } else if (!part.empty() && part != ".") {
            dir += "/" + part;
        }
        start = end + 1;
    }
    return dir.empty() ? "/" : dir;
}

std::string installed_data_dir(const std::string& exe)
{
    std::string bin = directory_of(exe);
    if (bin.empty() || bin[0] != '/')
        return "";
    return join_path(bin == "/" ? "" : bin, DATA_FROM_BIN);
}

static std::string current_dir()
{
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

std::string resolve_data_path(const char* cp932_name)
{
    if (!cp932_name || !*cp932_name)
        return "";
    std::string name = cp932_path_to_utf8(cp932_name);
    if (name.empty())
        return "";
    if (name[0] == '/')
        return is_regular_file(name) ? name : "";
    // A relative name, with or without folders (the default lesson sits in one),
    // is tried in each place in turn. Absolute results keep a cached path valid.
    const std::string exe = program_path();
    const std::string bases[] = {current_dir(), directory_of(exe), installed_data_dir(exe)};
    for (const std::string& base : bases) {
        std::string candidate = base + "/" + name;
        if (!base.empty() && is_regular_file(candidate))
            return candidate;
    }
    return "";
}

// Copies CP932 text into dst of cap bytes, terminated; a double-byte character
// that does not fit whole is left out. Returns the bytes copied.
static size_t copy_cp932(char* dst, size_t cap, const std::string& src)
{
    size_t n = 0;
    while (n < src.size()) {
        size_t len = (size_t)cp932_char_len(src.data() + n, (int)(src.size() - n));
        if (n + len > cap - 1)
            break;
        n += len;
    }
    memcpy(dst, src.data(), n);
    dst[n] = 0;
    return n;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size)
{
    // There is one module, the program; any handle names it.
    if (!file_name || size == 0)
        return 0;
    std::string path = utf8_to_cp932(program_path());
    size_t n = copy_cp932(file_name, size, path);
    return n < path.size() ? size : (DWORD)n; // Windows returns size when the name was cut
}

// ---- files -------------------------------------------------------------------------

HFILE OpenFile(LPCSTR file_name, LPOFSTRUCT of, UINT style)
{
    OFSTRUCT unused;
    if (!of)
        of = &unused;
    memset(of, 0, sizeof *of);
    of->cBytes = (BYTE)sizeof(OFSTRUCT);
    of->fFixedDisk = FIXED_DISK;
    if (!file_name || (style & ~OF_SHARE_BITS) != OF_READ) { // reading is all the program does
        of->nErrCode = (WORD)EINVAL;
        return HFILE_ERROR;
    }
    std::string path = resolve_data_path(file_name);
    if (path.empty()) {
        copy_cp932(of->szPathName, sizeof of->szPathName, file_name);
        of->nErrCode = (WORD)ENOENT;
        return HFILE_ERROR;
    }
    copy_cp932(of->szPathName, sizeof of->szPathName, utf8_to_cp932(path));
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        of->nErrCode = (WORD)errno;
        return HFILE_ERROR;
    }
    return fd;
}

LONG _llseek(HFILE file, LONG offset, int origin)
{
    constexpr int WHENCE[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    static_assert(sizeof WHENCE / sizeof WHENCE[0] == FILE_END + 1, "one whence per origin");
    if (origin < FILE_BEGIN || origin > FILE_END)
        return HFILE_ERROR;
    off_t pos = lseek(file, offset, WHENCE[origin]);
    if (pos < 0 || pos > INT32_MAX) // beyond 2 GiB a position has no LONG
        return HFILE_ERROR;
    return (LONG)pos;
}

UINT _lread(HFILE file, LPVOID buffer, UINT bytes)
{
    if ((!buffer && bytes > 0) || backend_fault(Fault::Read))
        return READ_ERROR;
    char* dst = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < bytes) {
        ssize_t n = read(file, dst + done, bytes - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return READ_ERROR;
        if (n == 0)
            break;
        done += (size_t)n;
    }
    return (UINT)done;
}

HFILE _lclose(HFILE file) { return close(file) == 0 ? 0 : HFILE_ERROR; }

// ---- memory blocks ----------------------------------------------------------------
// Blocks never move here, so a moveable block's handle is simply its address and
// locking it is the identity. The C heap, not new: a block that cannot be had
// gives NULL, as the lesson loader expects, instead of ending the program.

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (backend_fault(Fault::Alloc))
        return nullptr;
    size_t n = bytes > 0 ? bytes : 1;
    return (flags & GMEM_ZEROINIT) ? calloc(1, n) : malloc(n);
}

LPVOID GlobalLock(HGLOBAL mem) { return mem; }

// FALSE: the block is not locked any more (there is no lock count to keep).
BOOL GlobalUnlock(HGLOBAL mem) { return FALSE; }

HGLOBAL GlobalFree(HGLOBAL mem)
{
    free(mem);
    return nullptr;
}
