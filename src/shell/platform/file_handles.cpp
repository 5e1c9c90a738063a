// file_handles.cpp -- CreateFileA/W and the calls on its handles, folders,
// renames, and the last error they leave.
//
// A handle is a POSIX descriptor in disguise. Owns only the thread's last
// error. Every write goes through write_all, so the headless backend can fail
// it as a full disk would. Called by the records file and the settings.
#include "backend.h"
#include "codepage.h"
#include "disk.h"
#include "win32.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

constexpr mode_t NEW_FILE_MODE = 0644; // less the umask, as every program's files
constexpr mode_t NEW_DIR_MODE = 0755;
constexpr intptr_t HANDLE_BIAS = 1; // a descriptor n is the handle n + 1: never null, never INVALID_HANDLE_VALUE

static thread_local DWORD last_error = ERROR_SUCCESS;

DWORD GetLastError(void) { return last_error; }
void SetLastError(DWORD error) { last_error = error; }

// The Win32 error a failed POSIX call stands for.
static DWORD error_of(int err)
{
    switch (err) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

static BOOL fail(int err)
{
    last_error = error_of(err);
    return FALSE;
}

static BOOL succeed()
{
    last_error = ERROR_SUCCESS;
    return TRUE;
}

static int fd_of(HANDLE h)
{
    intptr_t v = reinterpret_cast<intptr_t>(h);
    return v >= HANDLE_BIAS && v - HANDLE_BIAS <= INT32_MAX ? (int)(v - HANDLE_BIAS) : -1;
}

static HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>((intptr_t)fd + HANDLE_BIAS); }

static std::string path_of(LPCSTR cp932) { return cp932 ? cp932_path_to_utf8(cp932) : std::string(); }
static std::string path_of(LPCWSTR wide) { return wide ? utf16_to_path(wide) : std::string(); }

// The open(2) flags for an access mask and a creation disposition; -1 when
// they ask for something this layer does not do.
static int open_flags(DWORD access, DWORD disposition)
{
    bool read = access & GENERIC_READ;
    bool write = access & (GENERIC_WRITE | FILE_APPEND_DATA);
    int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
    if ((access & FILE_APPEND_DATA) && !(access & GENERIC_WRITE))
        flags |= O_APPEND;
    switch (disposition) {
    case CREATE_NEW:
        return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
        return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
        return flags;
    case OPEN_ALWAYS:
        return flags | O_CREAT;
    default:
        return -1;
    }
}

static HANDLE create_file(const std::string& path, DWORD access, DWORD disposition)
{
    int oflags = open_flags(access, disposition);
    if (path.empty() || oflags < 0) {
        fail(EINVAL);
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(path.c_str(), oflags, NEW_FILE_MODE);
    if (fd < 0) {
        fail(errno);
        if (errno == EEXIST)
            SetLastError(ERROR_FILE_EXISTS); // what CreateFileA says of a file that CREATE_NEW finds
        return INVALID_HANDLE_VALUE;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) { // Windows opens no folder as a file
        close(fd);
        fail(EISDIR);
        return INVALID_HANDLE_VALUE;
    }
    // Windows reports an existing file that OPEN_ALWAYS or CREATE_ALWAYS
    // opened; the program does not rely on it.
    succeed();
    return handle_of(fd);
}

HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE template_file)
{
    return create_file(path_of(file_name), access, disposition);
}

HANDLE CreateFileW(LPCWSTR file_name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE template_file)
{
    return create_file(path_of(file_name), access, disposition);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, DWORD* read_bytes, LPOVERLAPPED overlapped)
{
    if (read_bytes)
        *read_bytes = 0;
    int fd = fd_of(file);
    if (fd < 0 || (!buffer && bytes > 0))
        return fail(EBADF);
    if (backend_fault(Fault::Read))
        return fail(EIO);
    ssize_t n;
    do
        n = read(fd, buffer, bytes);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return fail(errno);
    if (read_bytes)
        *read_bytes = (DWORD)n;
    return succeed();
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytes, DWORD* written, LPOVERLAPPED overlapped)
{
    if (written)
        *written = 0;
    int fd = fd_of(file);
    if (fd < 0 || (!buffer && bytes > 0))
        return fail(EBADF);
    // One write(2) for the whole buffer where the system allows: with
    // O_APPEND, two programs appending at once never interleave their bytes.
    if (!write_all(fd, std::string(static_cast<const char*>(buffer), bytes)))
        return fail(errno ? errno : EIO);
    if (written)
        *written = bytes;
    return succeed();
}

BOOL FlushFileBuffers(HANDLE file)
{
    int fd = fd_of(file);
    if (fd < 0)
        return fail(EBADF);
    // fdatasync writes the data and the size that reaches it; timestamps may wait.
    return fdatasync(fd) == 0 ? succeed() : fail(errno);
}

BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size)
{
    struct stat st;
    int fd = fd_of(file);
    if (fd < 0 || !size)
        return fail(EBADF);
    if (fstat(fd, &st) != 0)
        return fail(errno);
    size->QuadPart = (LONGLONG)st.st_size;
    return succeed();
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER new_position, DWORD method)
{
    constexpr int WHENCE[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    static_assert(sizeof WHENCE / sizeof WHENCE[0] == FILE_END + 1, "one whence per method");
    int fd = fd_of(file);
    if (fd < 0)
        return fail(EBADF);
    if (method > (DWORD)FILE_END)
        return fail(EINVAL);
    off_t pos = lseek(fd, (off_t)distance.QuadPart, WHENCE[method]);
    if (pos < 0)
        return fail(errno);
    if (new_position)
        new_position->QuadPart = (LONGLONG)pos;
    return succeed();
}

BOOL CloseHandle(HANDLE object)
{
    int fd = fd_of(object);
    if (fd < 0)
        return fail(EBADF);
    return close(fd) == 0 ? succeed() : fail(errno);
}

// The lock belongs to the open file description (F_OFD_*), as a Windows lock
// belongs to its handle: another handle of the same process waits for it too.
static BOOL lock_range(HANDLE file, short type, int command, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED at)
{
    int fd = fd_of(file);
    if (fd < 0 || !at)
        return fail(EBADF);
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = (off_t)(((unsigned long long)at->OffsetHigh << 32) | at->Offset);
    range.l_len = (off_t)(((unsigned long long)bytes_high << 32) | bytes_low);
    while (fcntl(fd, command, &range) != 0)
        if (errno != EINTR)
            return fail(errno);
    return succeed();
}

BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED overlapped)
{
    return lock_range(file, F_WRLCK, F_OFD_SETLKW, bytes_low, bytes_high, overlapped);
}

BOOL UnlockFileEx(HANDLE file, DWORD reserved, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED overlapped)
{
    return lock_range(file, F_UNLCK, F_OFD_SETLK, bytes_low, bytes_high, overlapped);
}

static BOOL create_directory(const std::string& dir)
{
    if (dir.empty())
        return fail(ENOENT);
    return mkdir(dir.c_str(), NEW_DIR_MODE) == 0 ? succeed() : fail(errno);
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security) { return create_directory(path_of(path)); }
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security) { return create_directory(path_of(path)); }

// Makes the entries of a folder durable (a new or renamed name in it).
static void sync_folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash > 0 ? slash : 1);
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
}

// A rename that never replaces: renameat2 where the file system has it, else
// a hard link (which fails on an existing name) and the old name removed.
static int rename_no_replace(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (link(from.c_str(), to.c_str()) != 0)
        return -1;
    unlink(from.c_str());
    return 0;
}

static BOOL move_file(const std::string& from, const std::string& to, DWORD flags)
{
    if (from.empty() || to.empty())
        return fail(ENOENT);
    int r = (flags & MOVEFILE_REPLACE_EXISTING) ? rename(from.c_str(), to.c_str()) : rename_no_replace(from, to);
    if (r != 0)
        return fail(errno);
    if (flags & MOVEFILE_WRITE_THROUGH)
        sync_folder_of(to);
    return succeed();
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags)
{
    return move_file(path_of(existing), path_of(new_name), flags);
}

BOOL MoveFileExW(LPCWSTR existing, LPCWSTR new_name, DWORD flags)
{
    return move_file(path_of(existing), path_of(new_name), flags);
}

static BOOL delete_file(const std::string& path)
{
    if (path.empty())
        return fail(ENOENT);
    return unlink(path.c_str()) == 0 ? succeed() : fail(errno);
}

BOOL DeleteFileA(LPCSTR file_name) { return delete_file(path_of(file_name)); }
BOOL DeleteFileW(LPCWSTR file_name) { return delete_file(path_of(file_name)); }

static DWORD file_attributes(const std::string& path)
{
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0) {
        fail(path.empty() ? ENOENT : errno);
        return INVALID_FILE_ATTRIBUTES;
    }
    succeed();
    return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

DWORD GetFileAttributesA(LPCSTR file_name) { return file_attributes(path_of(file_name)); }
DWORD GetFileAttributesW(LPCWSTR file_name) { return file_attributes(path_of(file_name)); }
