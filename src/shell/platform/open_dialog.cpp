// open_dialog.cpp -- GetOpenFileNameA over the desktop's own file chooser.
//
// Owns whether the chooser is up, and a close request made meanwhile. The
// program's request (title, filters, the file proposed) becomes a chooser of
// the backend; while it is up the window takes no input and a nested loop
// keeps timers and paints going, as under a Windows modal dialog. The answer
// is checked as the flags ask (the file must exist) and handed back as a CP932
// path; a path that CP932 cannot hold is refused with a message instead of
// becoming a wrong file. Called by the lesson loader.
#include "open_dialog.h"

#include "backend.h"
#include "codepage.h"
#include "files.h"
#include "msgbox.h"
#include "queue.h"
#include "win32.h"
#include "window.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

constexpr UINT_PTR POLL_TIMER_ID = 0x4F46; // wakes the nested loop to look at the chooser
constexpr UINT POLL_MS = 50;
// How long a chooser brought forward by a close request has to answer before
// it is taken as hung: the window then closes after all.
constexpr uint64_t CHOOSER_ANSWER_MS = 3000;

static bool dialog_up = false;
static DialogState chooser_state = DialogState::Cancelled;
static std::string chooser_path;
static std::string chooser_error;
static bool close_asked = false;  // a close request waits for the chooser's answer
static uint64_t close_asked_at = 0;
static bool close_after = false;  // the chooser was hung: the window closes once it is down

bool file_dialog_active() { return dialog_up; }

void file_dialog_close_requested()
{
    if (!dialog_up)
        return;
    if (!close_asked)
        close_asked_at = queue_now_ms();
    close_asked = true;
    backend_file_dialog_raise();
}

// A chooser that answers keeps the window open, as Windows only shows the
// dialog; one that does not is taken down, so the game can always be closed.
static void settle_close_request()
{
    if (!close_asked || chooser_state != DialogState::Running)
        return;
    if (backend_file_dialog_answered()) {
        close_asked = false;
    } else if (queue_now_ms() - close_asked_at >= CHOOSER_ANSWER_MS) {
        backend_file_dialog_abort();
        chooser_state = DialogState::Cancelled;
        chooser_error.clear();
        close_asked = false;
        close_after = true;
    }
}

static std::string absolute(const std::string& utf8)
{
    if (utf8.empty() || utf8[0] == '/')
        return utf8;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + utf8 : utf8;
}

// The file proposed: a data file found where data files are looked for, else
// the name as it stands, made absolute.
static std::string proposed_file(const char* cp932)
{
    if (!cp932 || !*cp932)
        return "";
    std::string found = resolve_data_path(cp932);
    return found.empty() ? absolute(cp932_path_to_utf8(cp932)) : found;
}

static FileDialogRequest request_of(const OPENFILENAMEA& ofn)
{
    FileDialogRequest req;
    req.title = cp932_to_utf8(ofn.lpstrTitle ? ofn.lpstrTitle : "");
    for (const char* p = ofn.lpstrFilter; p && *p;) {
        std::string name = p;
        p += name.size() + 1;
        std::string pattern = p;
        p += pattern.size() + 1;
        req.filters.emplace_back(cp932_to_utf8(name), cp932_to_utf8(pattern));
        if (pattern.empty())
            break;
    }
    std::string start(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile));
    req.proposed = proposed_file(start.c_str());
    return req;
}

static void tell(const std::string& utf8)
{
    Window* top = top_window();
    msgbox_show(top ? hwnd_of(top) : nullptr, utf8);
}

static bool chooser_done()
{
    if (chooser_state == DialogState::Running)
        chooser_state = backend_file_dialog_poll(&chooser_path, &chooser_error);
    settle_close_request();
    return chooser_state != DialogState::Running || !top_window();
}

static void CALLBACK wake_up(HWND, UINT, UINT_PTR, DWORD) {}

// Puts the chooser up and waits for it in a nested loop, with the window's
// input shut off; the window gets its focus back afterwards.
static DialogState run_chooser(const FileDialogRequest& req, std::string* path)
{
    chooser_path.clear();
    chooser_error.clear();
    if (!backend_file_dialog_start(req, &chooser_error)) {
        tell(chooser_error);
        return DialogState::Cancelled;
    }
    chooser_state = DialogState::Running;
    dialog_up = true;
    close_asked = close_after = false;
    SetFocus(nullptr);
    // Timers wake the loop, so even a program without one sees the answer soon.
    SetTimer(nullptr, POLL_TIMER_ID, POLL_MS, wake_up);
    queue_run_modal(chooser_done);
    KillTimer(nullptr, POLL_TIMER_ID);
    if (chooser_state == DialogState::Running) { // the program is ending
        backend_file_dialog_abort();
        chooser_state = DialogState::Cancelled;
    }
    dialog_up = false;
    close_asked = false;
    if (close_after && top_window()) {
        queue_post(top_window(), WM_CLOSE, 0, 0);
        return DialogState::Cancelled;
    }
    if (top_window())
        send_message(top_window(), WM_ACTIVATE, WA_ACTIVE, 0);
    if (!chooser_error.empty())
        tell(chooser_error);
    *path = chooser_path;
    return chooser_state;
}

// What a chosen name that is no file to read turns out to be, said so ("" for
// a file): nothing, a folder, a pipe, a device, a link that leads in a circle.
static std::string not_a_file(const std::string& utf8)
{
    const std::string name = "「" + utf8 + "」";
    const std::string choose_another = "\n\n練習ファイルを選んでください。";
    struct stat st;
    if (stat(utf8.c_str(), &st) != 0) {
        if (errno == ELOOP)
            return name + "はシンボリックリンクが循環しているため、開けません。";
        if (errno == EACCES)
            return name + "は、中を見る権限のないフォルダの中にあります。";
        return name + "というファイルはありません。\n\nファイル名を確かめてください。";
    }
    if (S_ISREG(st.st_mode))
        return "";
    if (S_ISDIR(st.st_mode))
        return name + "はフォルダです。" + choose_another;
    if (S_ISFIFO(st.st_mode))
        return name + "は名前付きパイプで、ファイルではありません。" + choose_another;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return name + "はデバイスで、ファイルではありません。" + choose_another;
    return name + "はふつうのファイルではありません。" + choose_another;
}

// Why the chosen file cannot be handed back ("" when it can), given its CP932 form.
static std::string refusal(const std::string& utf8, const std::string& cp932, const OPENFILENAMEA& ofn)
{
    std::string what = not_a_file(utf8);
    if ((ofn.Flags & (OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST)) && !what.empty())
        return what;
    if (cp932_to_utf8(cp932) != utf8)
        return "「" + utf8 +
               "」は開けません。\n\nファイル名に Shift-JIS で表せない文字があります。"
               "\n別の名前のファイルを選んでください。";
    if (cp932.size() + 1 > ofn.nMaxFile)
        return "「" + utf8 + "」はパスが長すぎて開けません（" + std::to_string(ofn.nMaxFile - 1) + " バイトまで）。";
    return "";
}

static void hand_back(const std::string& cp932, OPENFILENAMEA* ofn)
{
    std::memcpy(ofn->lpstrFile, cp932.c_str(), cp932.size() + 1);
    size_t slash = cp932.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = cp932.rfind('.');
    ofn->nFileOffset = (WORD)name;
    ofn->nFileExtension = (WORD)(dot != std::string::npos && dot >= name ? dot + 1 : 0);
}

BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn)
{
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0 || !platform_ready())
        return FALSE;
    FileDialogRequest req = request_of(*ofn);
    for (;;) {
        std::string utf8;
        if (run_chooser(req, &utf8) != DialogState::Chosen)
            return FALSE;
        utf8 = absolute(utf8);
        std::string cp932 = utf8_to_cp932(utf8);
        std::string why = refusal(utf8, cp932, *ofn);
        if (why.empty()) {
            hand_back(cp932, ofn);
            return TRUE;
        }
        // As a Windows chooser stays open on a name it refuses, this one
        // comes back with that name proposed.
        tell(why);
        req.proposed = utf8;
    }
}
