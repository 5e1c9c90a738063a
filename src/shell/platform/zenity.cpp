// zenity.cpp -- the desktop's file chooser, run as `zenity --file-selection`.
//
// Owns the one running chooser process and the pipe its answer comes through.
// It is started without a shell, polled without blocking by the open-file
// dialog's nested loop, and killed if the program ends first. The real-window
// backend hands its file dialogs here; tests run it with a stand-in program
// named by LUMEKO_ZENITY.
#include "zenity.h"

#include "backend.h"
#include "shell_open.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

constexpr const char* ZENITY_PROGRAM = "zenity";
constexpr const char* ZENITY_ENV = "LUMEKO_ZENITY";
constexpr size_t ANSWER_MAX = 65536; // bytes of answer kept; a path is far shorter
constexpr int ZENITY_CANCELLED = 1;  // exit code for Cancel, Escape or the close box
constexpr int ABORT_WAIT_MS = 1000;  // a chooser taken down has this long to end before it is killed
constexpr int ABORT_STEP_MS = 10;

static pid_t chooser_pid = -1;
static int answer_fd = -1;
static std::string answer;
static bool answer_complete = false;

// zenity's patterns are GTK globs: the Windows "*.*" (every file) is "*" there.
static std::string zenity_patterns(const std::string& windows_patterns)
{
    std::string out;
    size_t from = 0;
    while (from <= windows_patterns.size()) {
        size_t semi = windows_patterns.find(';', from);
        std::string one = windows_patterns.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
        if (one == "*.*")
            one = "*";
        if (!one.empty())
            out += (out.empty() ? "" : " ") + one;
        if (semi == std::string::npos)
            break;
        from = semi + 1;
    }
    return out;
}

std::vector<std::string> zenity_arguments(const FileDialogRequest& req)
{
    std::vector<std::string> args = {"--file-selection", "--title=" + req.title};
    // Modal to the game's window; zenity attaches no file chooser itself, so
    // the backend sets the owner on the chooser's window as well.
    if (req.owner_window != 0) {
        args.push_back("--modal");
        args.push_back("--attach=" + std::to_string(req.owner_window));
    }
    if (!req.proposed.empty())
        args.push_back("--filename=" + req.proposed);
    for (const auto& f : req.filters)
        args.push_back("--file-filter=" + f.first + " | " + zenity_patterns(f.second));
    return args;
}

static void close_answer_pipe()
{
    if (answer_fd >= 0)
        close(answer_fd);
    answer_fd = -1;
}

bool zenity_start(const FileDialogRequest& req, std::string* error)
{
    const char* env = getenv(ZENITY_ENV);
    const char* program = (env && *env) ? env : ZENITY_PROGRAM;
    std::vector<std::string> args = zenity_arguments(req);
    std::vector<char*> argv = {const_cast<char*>(program)};
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = "ファイルを選ぶ画面を開けませんでした。";
        return false;
    }
    pid_t pid = -1;
    // GTK's warnings are of no use to the user of the game.
    int err = spawn_program(program, argv.data(), fds[1], true, &pid);
    close(fds[1]);
    if (err != 0) {
        close(fds[0]);
        *error = err == ENOENT
                     ? "ファイルを選ぶには zenity が必要です。\n\nパッケージ zenity をインストールしてください"
                       "\n（例: sudo apt install zenity）。"
                     : "ファイルを選ぶ画面を開けませんでした。";
        return false;
    }
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    chooser_pid = pid;
    answer_fd = fds[0];
    answer.clear();
    answer_complete = false;
    return true;
}

// Takes in what the chooser has printed so far; true once its output has ended.
static bool drain_answer()
{
    char buf[4096];
    for (;;) {
        ssize_t n = read(answer_fd, buf, sizeof buf);
        if (n > 0) {
            if (answer.size() < ANSWER_MAX)
                answer.append(buf, (size_t)n < ANSWER_MAX - answer.size() ? (size_t)n : ANSWER_MAX - answer.size());
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n == 0;
    }
}

DialogState zenity_poll(std::string* path, std::string* error)
{
    if (chooser_pid < 0)
        return DialogState::Cancelled;
    if (!answer_complete)
        answer_complete = drain_answer();
    if (!answer_complete)
        return DialogState::Running;
    int status = 0;
    pid_t done = waitpid(chooser_pid, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR))
        return DialogState::Running;
    chooser_pid = -1;
    close_answer_pipe();
    int code = (done > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
        answer.pop_back();
    if (code == 0 && !answer.empty()) {
        *path = answer;
        return DialogState::Chosen;
    }
    if (code != ZENITY_CANCELLED && code != 0)
        *error = "ファイルを選ぶ画面がうまく動きませんでした（zenity の終了コード " + std::to_string(code) + "）。";
    return DialogState::Cancelled;
}

pid_t zenity_pid() { return chooser_pid; }

// True once pid has ended and been collected, looking for up to ms.
static bool ended_within(pid_t pid, int ms)
{
    for (int waited = 0;; waited += ABORT_STEP_MS) {
        int status;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno != EINTR))
            return true;
        if (waited >= ms)
            return false;
        usleep(ABORT_STEP_MS * 1000);
    }
}

void zenity_abort()
{
    if (chooser_pid > 0) {
        // A chooser that no longer answers may be stopped: it is woken to take
        // the signal, and killed outright if it does not end soon after.
        kill(-chooser_pid, SIGTERM);
        kill(-chooser_pid, SIGCONT);
        if (!ended_within(chooser_pid, ABORT_WAIT_MS)) {
            kill(-chooser_pid, SIGKILL);
            int status;
            while (waitpid(chooser_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }
    chooser_pid = -1;
    close_answer_pipe();
}
