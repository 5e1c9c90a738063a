// win32.h -- the one platform header the program logic includes.
//
// On Windows it is <windows.h> with the few system headers the program uses.
// Elsewhere it declares the subset of the Win32 API that the program calls, with
// the real names, types and constant values; src/shell/platform implements it,
// and each function below says what it ignores or does differently there.
// Text is code page 932 (Shift-JIS) bytes on both sides of this header; the
// few W calls take UTF-16, for file names that code page cannot hold.
#pragma once

#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>

#else // the Linux implementation of the subset

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef char CHAR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef void* LPVOID;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef WORD ATOM;
typedef int HFILE;
typedef size_t SIZE_T;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef char16_t WCHAR; // UTF-16, as on Windows
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

typedef void* HANDLE;
typedef HANDLE HGDIOBJ;
typedef HANDLE HGLOBAL;

#define LUMEKO_DECLARE_HANDLE(name)                                                                                    \
    struct name##__ {                                                                                                  \
        int unused;                                                                                                    \
    };                                                                                                                 \
    typedef struct name##__* name

LUMEKO_DECLARE_HANDLE(HWND);
LUMEKO_DECLARE_HANDLE(HDC);
LUMEKO_DECLARE_HANDLE(HBRUSH);
LUMEKO_DECLARE_HANDLE(HPEN);
LUMEKO_DECLARE_HANDLE(HFONT);
LUMEKO_DECLARE_HANDLE(HMENU);
LUMEKO_DECLARE_HANDLE(HINSTANCE);
LUMEKO_DECLARE_HANDLE(HICON);
LUMEKO_DECLARE_HANDLE(HIMC);
typedef HICON HCURSOR;
typedef HINSTANCE HMODULE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define MAKELONG(lo, hi) ((LONG)(((WORD)((lo)&0xffff)) | ((DWORD)((WORD)((hi)&0xffff))) << 16))
#define LOWORD(l) ((WORD)(((DWORD)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(lo, hi) ((WPARAM)(DWORD)MAKELONG(lo, hi))
#define MAKELPARAM(lo, hi) ((LPARAM)(DWORD)MAKELONG(lo, hi))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define MAKEINTRESOURCEA(i) ((LPSTR)((UINT_PTR)((WORD)(i))))

struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef POINT* LPPOINT;

// Where the input method composes, in the client coordinates of the window
// whose input context it is: at ptCurrentPos, within rcArea (CFS_RECT).
struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};
typedef COMPOSITIONFORM* LPCOMPOSITIONFORM;
constexpr DWORD CFS_RECT = 0x0001;
constexpr DWORD CFS_POINT = 0x0002;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
typedef LARGE_INTEGER* PLARGE_INTEGER;

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;

struct TIME_ZONE_INFORMATION {
    LONG Bias; // minutes: UTC = local time + Bias
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
typedef TIME_ZONE_INFORMATION* LPTIME_ZONE_INFORMATION;

// Passed as null by the program; declared only so that the calls keep their shape.
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
// Only LockFileEx reads it: the offset of the locked range. Reads and writes
// take null.
struct OVERLAPPED {
    UINT_PTR Internal;
    UINT_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};
typedef OVERLAPPED* LPOVERLAPPED;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
typedef PAINTSTRUCT* LPPAINTSTRUCT;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

constexpr int OFS_MAXPATHNAME = 128;
struct OFSTRUCT {
    BYTE cBytes;
    BYTE fFixedDisk;
    WORD nErrCode;
    WORD Reserved1;
    WORD Reserved2;
    CHAR szPathName[OFS_MAXPATHNAME];
};
typedef OFSTRUCT* LPOFSTRUCT;

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);
struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter; // name\0pattern\0 pairs, ended by an extra \0
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile; // in: the file proposed; out: the full path chosen
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    LPCSTR lpTemplateName;
};
typedef OPENFILENAMEA* LPOPENFILENAMEA;

// Window messages
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_USER = 0x0400; // tests only: a message of their own

// WM_SYSCOMMAND kinds: the menu bar entered by mouse (lParam holds the point
// in window coordinates) or by keyboard
constexpr WPARAM SC_MOUSEMENU = 0xF090;
constexpr WPARAM SC_KEYMENU = 0xF100;

// Menus
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_POPUP = 0x0010;

// WM_ACTIVATE states
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;

// WM_SIZE kinds
constexpr WPARAM SIZE_RESTORED = 0;

// Edit control notifications (high word of WM_COMMAND's wParam)
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;

// Window and class styles
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr int CW_USEDEFAULT = (int)0x80000000;

// ShowWindow
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// PeekMessage (PM_NOREMOVE: tests only)
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// MessageBox
constexpr UINT MB_OK = 0x00000000;
constexpr int IDOK = 1;

// GetSystemMetrics
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;

// Cursors
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Virtual keys
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12; // Alt
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F10 = 0x79;

// GDI stock objects, pens, background modes, fonts
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int FW_DONTCARE = 0;
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr DWORD SHIFTJIS_CHARSET = 128;
constexpr DWORD OUT_DEFAULT_PRECIS = 0;
constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
constexpr DWORD DEFAULT_QUALITY = 0;
constexpr DWORD FIXED_PITCH = 1;
constexpr DWORD FF_MODERN = 0x30;
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Files and memory (FILE_CURRENT, GMEM_FIXED and GHND: tests only)
constexpr UINT OF_READ = 0x00000000;
constexpr HFILE HFILE_ERROR = -1;
constexpr int FILE_BEGIN = 0;
constexpr int FILE_CURRENT = 1;
constexpr int FILE_END = 2;
constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Files by handle
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_APPEND_DATA = 0x00000004;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD FILE_SHARE_DELETE = 0x00000004;
constexpr DWORD LOCKFILE_EXCLUSIVE_LOCK = 0x00000002;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x00000008;

// GetLastError codes
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_WRITE_PROTECT = 19;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_GEN_FAILURE = 31;

// Time zones
constexpr DWORD TIME_ZONE_ID_UNKNOWN = 0;
constexpr DWORD TIME_ZONE_ID_STANDARD = 1;
constexpr DWORD TIME_ZONE_ID_DAYLIGHT = 2;
constexpr DWORD TIME_ZONE_ID_INVALID = 0xFFFFFFFF;

// Code pages
constexpr UINT CP_ACP = 0; // the program's code page, 932
constexpr UINT CP_UTF8 = 65001;

// The open-file dialog
constexpr DWORD OPENFILENAME_SIZE_VERSION_400A = 76; // the record without the Windows 2000 fields
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

// Sound
constexpr UINT SND_SYNC = 0x0000;
constexpr UINT SND_ASYNC = 0x0001;
constexpr UINT SND_NODEFAULT = 0x0002;

// ShellExecute results at or below this value are errors
constexpr int SE_ERR_FNF = 2;
constexpr int SE_ERR_PNF = 3;
constexpr int SE_ERR_NOASSOC = 31;

// ---- the functions --------------------------------------------------------------
// Each does what its Windows namesake does for the calls the program makes; a
// note says what it ignores or does differently. "Tests only" marks what the
// program never calls: tests and tools use it to look at or drive the layer.

// Windows and classes. There is one thread and one top-level window shown at
// a time; child windows are never drawn (the program's one child is hidden).
// Ignores the extra bytes, icon, cursor and menu name of the class.
ATOM RegisterClassA(const WNDCLASSA* wc);
// Ignores ex_style and every style bit but WS_CHILD and WS_VISIBLE; the
// desktop draws the frame and caption. A child's menu argument is its id.
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND hwnd);
// Any show state but SW_HIDE shows the window; SW_SHOWMAXIMIZED, or a size
// that fills the screen, asks the desktop to maximise it.
BOOL ShowWindow(HWND hwnd, int show);
BOOL IsWindow(HWND hwnd); // tests only
BOOL GetClientRect(HWND hwnd, LPRECT rect);
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase); // tests only (the layer uses it itself)
// Knows the screen size, the frame, the maximised size and the menu bar's
// height; every other index gives 0 (the desktop draws captions and borders).
int GetSystemMetrics(int index);
// A null window stands for the screen.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
// Gives the arrow whatever is asked for; the desktop's own cursor shows.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Handles what the program leaves to it: the close box destroys, the erase
// fills with the class brush, activation focuses the window, WM_SYSCOMMAND
// runs the menu loop.
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Menus: MF_STRING and MF_POPUP items only (no check marks, separators or
// disabled items). A pop-up item's id is the HMENU of its sub-menu;
// destroying a menu destroys its sub-menus with it.
HMENU CreateMenu(void);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR label);
BOOL DestroyMenu(HMENU menu);
HMENU GetMenu(HWND hwnd); // tests only

// Messages and timers. The queue never blocks in PeekMessageA; WM_PAINT and
// WM_TIMER are made up when nothing else waits. Timer intervals have a floor
// of 10 ms, as on Windows.
BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max, UINT remove);
BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filter_min, UINT filter_max); // tests only
BOOL WaitMessage(void);
// Makes WM_CHAR only for Return, Backspace, Tab and Esc: printable keys
// arrive as text input from the desktop, already composed.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam); // tests only
void PostQuitMessage(int exit_code);
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Milliseconds of the layer's clock (virtual on the headless backend); the
// layer stamps messages with it, the program does not call it.
DWORD GetTickCount(void);

// Focus and window text
HWND SetFocus(HWND hwnd);
HWND GetFocus(void); // tests only
int GetWindowTextA(HWND hwnd, LPSTR buffer, int max_count);
int GetWindowTextLengthA(HWND hwnd); // tests only
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
// Ignores caption and type: every box has one OK button (Return, Space, Esc
// or a click closes it) and gives IDOK. The box is drawn over the owner's
// client area; with no window shown the text goes to stderr instead.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
// As on Windows, writes at most 1,024 bytes, the terminating 0 included.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
BOOL IsDBCSLeadByte(BYTE test_char); // for code page 932, the program's only code page

// The input method: where it shows what is being composed. One context per
// window; the composition box stands at the point, or on the bottom edge of
// the area (CFS_RECT), and the candidates open beside it.
HIMC ImmGetContext(HWND hwnd);
BOOL ImmReleaseContext(HWND hwnd, HIMC himc);
BOOL ImmSetCompositionWindow(HIMC himc, LPCOMPOSITIONFORM form);

// GDI, on the window's client framebuffer: right and bottom edges exclusive,
// LineTo leaves out its end point, as GDI does. A device context always
// draws on the client area of the window it was got for.
HDC GetDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC hdc);
HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
// The brushes and pens of Windows' stock; the fonts are the layer's Gothic.
HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF color);
// Solid or null pens only: any style but PS_NULL draws solid.
HPEN CreatePen(int style, int width, COLORREF color);
// Ignores escapement, orientation and the three precision and quality
// arguments. The face name, charset and pitch pick a fixed-pitch Japanese
// Gothic through fontconfig; every byte takes a cell of width x height.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strike_out, DWORD charset, DWORD out_precision, DWORD clip_precision, DWORD quality,
                  DWORD pitch_and_family, LPCSTR face);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);
int SetBkMode(HDC hdc, int mode); // tests and tools only: the program draws opaque text
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
BOOL LineTo(HDC hdc, int x, int y);
COLORREF GetPixel(HDC hdc, int x, int y); // tests only

// Private-profile (INI) files. A bare file name lives in the user's config
// directory ($XDG_CONFIG_HOME, else ~/.config), not in a Windows directory; a
// write keeps every other byte of the file and replaces it atomically.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value, LPSTR buffer, DWORD size,
                               LPCSTR file_name);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file_name);

// Files and memory. OpenFile reads only (any other style fails) and finds a
// relative name as a data file: the current directory, beside the program,
// then the installed data. Memory blocks never move: GlobalLock gives the
// block itself and GlobalUnlock keeps no count.
HFILE OpenFile(LPCSTR file_name, LPOFSTRUCT of, UINT style);
LONG _llseek(HFILE file, LONG offset, int origin);
UINT _lread(HFILE file, LPVOID buffer, UINT bytes);
HFILE _lclose(HFILE file);
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
LPVOID GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);
// Ignores the module: there is one, the program.
DWORD GetModuleFileNameA(HMODULE module, LPSTR file_name, DWORD size);

// Files by handle. Sharing modes, security attributes, flags and templates are
// ignored: a POSIX file can always be shared. A handle that FILE_APPEND_DATA
// opened writes at the end of the file whatever its position, in one write.
// Failures set the last error from errno (EACCES: ERROR_ACCESS_DENIED,
// ENOSPC: ERROR_DISK_FULL, ENOENT and ENOTDIR: the path's error, ...).
HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE template_file);
// The W calls on files take a UTF-16 name of this system's: as
// GetEnvironmentVariableW gives it, every byte of the name kept.
HANDLE CreateFileW(LPCWSTR file_name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                   DWORD flags, HANDLE template_file);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, DWORD* read, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytes, DWORD* written, LPOVERLAPPED overlapped);
BOOL FlushFileBuffers(HANDLE file); // the data and the file's size on the disk before it returns
BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);
BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER new_position, DWORD method);
BOOL CloseHandle(HANDLE object); // file handles only
// A lock on a byte range, held by the handle until unlocked or closed. Only
// LOCKFILE_EXCLUSIVE_LOCK is used (waits; LOCKFILE_FAIL_IMMEDIATELY is
// ignored). Advisory: it keeps out other lockers, not readers or writers.
BOOL LockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED overlapped);
BOOL UnlockFileEx(HANDLE file, DWORD reserved, DWORD bytes_low, DWORD bytes_high, LPOVERLAPPED overlapped);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
// Without MOVEFILE_REPLACE_EXISTING an existing target is never replaced
// (ERROR_ALREADY_EXISTS); MOVEFILE_WRITE_THROUGH makes the new name durable.
BOOL MoveFileExA(LPCSTR existing, LPCSTR new_name, DWORD flags);
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR new_name, DWORD flags);
BOOL DeleteFileA(LPCSTR file_name);
BOOL DeleteFileW(LPCWSTR file_name);
DWORD GetFileAttributesA(LPCSTR file_name); // only FILE_ATTRIBUTE_DIRECTORY or _NORMAL
DWORD GetFileAttributesW(LPCWSTR file_name);
DWORD GetLastError(void);
void SetLastError(DWORD error);

// The process: its environment (values converted to CP932, or whole in
// UTF-16: a byte that is no part of UTF-8 travels as U+DC80 + its low
// bits, and the W calls on files turn it back into that byte), its id, clocks.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
DWORD GetCurrentProcessId(void);
ULONGLONG GetTickCount64(void); // the window system's monotonic clock (virtual in the headless backend)
void GetLocalTime(LPSYSTEMTIME time);
// The offset from UTC in force now, as Bias; reports TIME_ZONE_ID_UNKNOWN
// (no daylight saving rule) with StandardBias and DaylightBias 0.
DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION tz);

// Conversions between code page 932 (CP_ACP) or UTF-8 and UTF-16. A count of
// -1 means a zero-terminated source, whose terminator is converted too; a
// size of 0 asks for the size needed. Flags and default characters are
// ignored: a character with no equivalent is dropped.
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR src, int src_bytes, LPWSTR dst, int dst_chars);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR src, int src_chars, LPSTR dst, int dst_bytes,
                        LPCSTR default_char, BOOL* used_default);

// The open-file dialog: the desktop's own file chooser. Uses the title, the
// filters, the file proposed, nMaxFile and the must-exist flags; the chooser
// is kept above the shown window whatever the owner; ignores the initial
// folder, the filter index, the custom filter, the file title, the hook and
// the template.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);

// Shell and sound. ShellExecuteA opens a document with the desktop's opener
// (xdg-open): it knows only the verb "open" (or none) and ignores the owner,
// the parameters and the show state. sndPlaySoundA plays always without
// waiting, so SND_SYNC plays asynchronously too and SND_NODEFAULT changes
// nothing; a sound it cannot play is silence.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int show);
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);
BOOL sndPlaySoundA(LPCSTR sound, UINT flags);

// The program's entry point; the platform's main() calls it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev_instance, LPSTR cmd_line, int show);

#endif // _WIN32

// A UTF-16 literal of the platform's WCHAR, for the W calls' names.
#ifdef _WIN32
#define LUMEKO_WIDE(text) L##text
#else
#define LUMEKO_WIDE(text) u##text
#endif
