// shell_open.cpp -- ShellExecuteA/W: opening a document in the desktop's viewer.
//
// Hands an existing file to xdg-open (or to the program named by the
// environment variable LUMEKO_OPENER, which tests use) without a shell and
// without waiting for it. Owns nothing but the detached threads that collect
// the finished openers. Called by the help command and the records menu.
#include "shell_open.h"

#include "codepage.h"
#include "files.h"
#include "win32.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

constexpr const char* DEFAULT_OPENER = "xdg-open";
constexpr const char* OPENER_ENV = "LUMEKO_OPENER";
constexpr INT_PTR SHELL_EXECUTE_OK = 33; // any result above 32 means success

static bool exists(const std::string& path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

static std::string parent_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The absolute path of the document: a relative name is taken in the given
// directory, else in the current one. Absolute, it can never be mistaken for
// an option of the opener.
static std::string document_path(const std::string& path, const std::string& directory)
{
    if (path.empty() || path[0] == '/')
        return path;
    std::string base = directory;
    if (base.empty()) {
        char cwd[PATH_MAX];
        base = getcwd(cwd, sizeof cwd) ? cwd : "";
    }
    return base + "/" + path;
}

// The program names its help page beside its own executable, by the name
// GetModuleFileNameA gives: CP932, which drops what it cannot hold (a folder
// named café). A document named in that folder is taken from the program's
// real folder or, installed, from its data directory; "" for any other.
static std::string beside_program(LPCSTR file)
{
    char exe[PATH_MAX];
    DWORD n = file ? GetModuleFileNameA(nullptr, exe, sizeof exe) : 0;
    if (n == 0 || n >= sizeof exe)
        return "";
    const std::string named = file, folder = parent_of(exe) + "/"; // '/' is never a CP932 trail byte
    if (folder.size() < 2 || named.compare(0, folder.size(), folder) != 0 ||
        named.find('/', folder.size()) != std::string::npos)
        return "";
    const std::string name = cp932_to_utf8(named.substr(folder.size()));
    const std::string real = program_path();
    if (exists(parent_of(real) + "/" + name))
        return parent_of(real) + "/" + name;
    const std::string data_dir = installed_data_dir(real);
    return data_dir.empty() ? "" : data_dir + "/" + name;
}

int spawn_program(const char* program, char* const argv[], int out_fd, bool quiet, pid_t* pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (out_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    int err = posix_spawnp(pid, program, &actions, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    return err;
}

// Starts the desktop's opener on path; the pid, or -1 when it cannot be started.
static pid_t start_opener(const std::string& path)
{
    const char* env = getenv(OPENER_ENV);
    const char* opener = (env && *env) ? env : DEFAULT_OPENER;
    char* argv[] = {const_cast<char*>(opener), const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = -1;
    return spawn_program(opener, argv, -1, false, &pid) == 0 ? pid : -1;
}

// Collects the opener's exit on a thread of its own, so the caller never waits
// and no zombie is left. If no thread can be had, the child stays a zombie
// until the program ends; that is harmless and not worth failing the open.
static void reap_in_background(pid_t pid)
{
    try {
        std::thread([pid] {
            int status;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
    }
}

// Only opening is supported; the opener takes no parameters and picks its own window.
static HINSTANCE open_document(const std::string& verb, const std::string& path)
{
    if (!verb.empty() && verb != "open")
        return reinterpret_cast<HINSTANCE>((INT_PTR)SE_ERR_NOASSOC);
    if (!exists(path))
        return reinterpret_cast<HINSTANCE>((INT_PTR)SE_ERR_FNF);
    pid_t pid = start_opener(path);
    if (pid < 0)
        return reinterpret_cast<HINSTANCE>((INT_PTR)SE_ERR_NOASSOC);
    reap_in_background(pid);
    return reinterpret_cast<HINSTANCE>(SHELL_EXECUTE_OK);
}

HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show)
{
    std::string path = beside_program(file);
    if (!exists(path) && file)
        path = document_path(cp932_to_utf8(file), directory ? cp932_to_utf8(directory) : "");
    return open_document(verb ? verb : "", path);
}

// The names come whole: nothing to find again beside the program.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    std::string path = file ? document_path(utf16_to_path(file), directory ? utf16_to_path(directory) : "") : "";
    return open_document(verb ? utf16_to_path(verb) : "", path);
}
