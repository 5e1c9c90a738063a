// edit.cpp -- the "EDIT" window class: a text that typing appends to.
//
// The program uses an invisible multi-line EDIT as the queue of typed-ahead
// bytes, so the control keeps its text as CP932 bytes with the caret always at
// the end: characters are appended, Enter appends CR LF, Backspace removes the
// last character. Typing notifies the parent (EN_UPDATE, EN_CHANGE) as Windows
// does; setting the text of a multi-line EDIT does not.
#include "edit.h"

#include "codepage.h"
#include "win32.h"
#include "window.h"

constexpr int EDIT_TEXT_LIMIT = 32767; // bytes an EDIT accepts from typing

// The lead byte of a double-byte character waits here until its trail byte
// arrives, so that the text never holds half a character. One control types at
// a time (the focus), so one slot is enough.
static Window* lead_owner = nullptr;
static unsigned char lead_byte = 0;

static void notify_parent(Window* win)
{
    if (!win->parent)
        return;
    send_message(win->parent, WM_COMMAND, MAKEWPARAM(win->ctrl_id, EN_UPDATE), (LPARAM)hwnd_of(win));
    send_message(win->parent, WM_COMMAND, MAKEWPARAM(win->ctrl_id, EN_CHANGE), (LPARAM)hwnd_of(win));
}

// Removes the last whole character: the text is scanned from its start, since
// a trail byte can look like a lead or a single byte.
static void remove_last_char(std::string& text)
{
    int n = (int)text.size();
    int last = 0;
    for (int i = 0; i < n;) {
        last = i;
        i += cp932_char_len(text.data() + i, n - i);
    }
    text.resize(n == 0 ? 0 : last);
}

static bool append(Window* win, const char* bytes, size_t n)
{
    if (win->text.size() + n > (size_t)EDIT_TEXT_LIMIT)
        return false;
    win->text.append(bytes, n);
    return true;
}

static void type_char(Window* win, unsigned char c)
{
    bool changed = false;
    if (lead_owner == win && lead_byte) {
        char pair[2] = {(char)lead_byte, (char)c};
        lead_byte = 0;
        changed = c >= 0x40 && append(win, pair, 2);
    } else if (cp932_is_lead(c)) {
        lead_owner = win;
        lead_byte = c;
    } else if (c == '\b') {
        changed = !win->text.empty();
        remove_last_char(win->text);
    } else if (c == '\r' || c == '\n') {
        changed = (win->style & ES_MULTILINE) && append(win, "\r\n", 2);
    } else if (c >= 0x20 || c == '\t') {
        char one = (char)c;
        changed = append(win, &one, 1);
    }
    if (changed)
        notify_parent(win);
}

LRESULT CALLBACK edit_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    Window* win = window_from(hwnd);
    if (!win)
        return 0;
    switch (msg) {
    case WM_CHAR:
        type_char(win, (unsigned char)wparam);
        return 0;
    case WM_SETTEXT:
        win->text = lparam ? (const char*)lparam : "";
        if (lead_owner == win)
            lead_byte = 0;
        return TRUE;
    case WM_DESTROY:
        if (lead_owner == win)
            lead_owner = nullptr;
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}
