// overlay_frames.cpp -- what the layer draws of its own, written as PNG frames.
//
// Opens the game's menu bar over a fixed picture on the headless backend, at
// the desktop scale given, and writes three whole-screen frames: the first menu
// with its sub-menu open, a message box, and a composition in progress. For
// looking at the menus and boxes at a scale without a 4K screen, and for
// comparing two builds' frames byte for byte.
// Usage: overlay-frames <folder> [scale]   (scale 1 unless given, e.g. 1.5)
#include "shell/commands.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

constexpr int CLIENT_W = 800;
constexpr int CLIENT_H = 600;
constexpr int STRIPE_W = 40; // the picture: vertical stripes of two greys

static std::string folder;
static int menu_step = 0;

static bool write_frame(const char* name)
{
    std::string path = folder + "/" + name;
    bool ok = headless_write_png(path.c_str(), true);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

static void paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    for (int x = 0; x < CLIENT_W; x += STRIPE_W) {
        HBRUSH b = CreateSolidBrush((x / STRIPE_W) % 2 ? RGB(90, 90, 90) : RGB(40, 40, 40));
        RECT r{x, 0, x + STRIPE_W, CLIENT_H};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    EndPaint(hwnd, &ps);
}

static LRESULT CALLBACK frame_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_PAINT) {
        paint(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The menu's modal loop waits here: the pointer goes to the second item, whose
// sub-menu opens; the frame is written once it is shown, then the menu closes.
static void menu_wait()
{
    int x, y;
    if (menu_step++ == 0 && headless_menu_point(1, 1, &x, &y)) {
        headless_mouse_move(x, y);
        return;
    }
    if (headless_menu_level() == 2)
        write_frame("menu.png");
    headless_key(VK_F10);
}

static void box_wait()
{
    write_frame("box.png");
    headless_key(VK_RETURN);
}

static void pump()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: overlay-frames <folder> [scale]\n");
        return 2;
    }
    folder = argv[1];
    headless_set_scale(argc > 2 ? std::atof(argv[2]) : 1.0);
    headless_set_screen(CLIENT_W, CLIENT_H + GetSystemMetrics(SM_CYMENU));
    WNDCLASSA wc{};
    wc.lpfnWndProc = frame_proc;
    wc.lpszClassName = "frames";
    RegisterClassA(&wc);
    build_menu_bar();
    HWND hwnd = CreateWindowExA(0, "frames", "", WS_OVERLAPPEDWINDOW, 0, 0, CLIENT_W,
                                CLIENT_H + GetSystemMetrics(SM_CYMENU), nullptr, menu_bar, nullptr, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    pump();

    int x, y;
    headless_menu_point(0, 0, &x, &y);
    headless_set_wait_hook(menu_wait);
    headless_click(1, x, y);
    pump();
    headless_set_wait_hook(box_wait);
    MessageBoxA(hwnd, "１行目：練習を始めます。\n２行目 OK", "", MB_OK);
    headless_set_wait_hook(nullptr);
    headless_compose(u8"かんじへんかん", 3); // the input method speaks UTF-8
    pump();
    return write_frame("compose.png") ? 0 : 1;
}
