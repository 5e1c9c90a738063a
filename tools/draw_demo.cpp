// draw_demo.cpp -- draws boxes, lines and Japanese text into a real window.
//
// A small program on the platform layer alone, for looking at what the layer
// draws: run it, or under Xvfb take a screenshot of it. With a number of
// seconds as its argument it closes itself after that time.
#include "shell/platform/win32.h"

#include <cstdlib>

static const char DEMO_TEXT[] = "漢字とかな ABC 123 スタート！！";

static void draw_text(HDC dc, int x, int y, int h, int w, const char* text, int n, COLORREF fg, COLORREF bg)
{
    HFONT font =
        CreateFontA(h, w, 0, 0, FW_BOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, "ＭＳゴシック");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, fg);
    SetBkColor(dc, bg);
    TextOutA(dc, x, y, text, n);
    SelectObject(dc, old);
    DeleteObject(font);
}

static void paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT frame{20, 20, 220, 120};
    RECT face{22, 22, 218, 118};
    FillRect(dc, &frame, white);
    FillRect(dc, &face, blue);
    DeleteObject(white);
    DeleteObject(blue);
    HPEN green = CreatePen(PS_SOLID, 1, RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(dc, green);
    for (int i = 0; i < 10; i++) {
        MoveToEx(dc, 240 + i * 20, 20, nullptr);
        LineTo(dc, 240 + i * 20, 120);
    }
    MoveToEx(dc, 240, 20, nullptr);
    LineTo(dc, 420, 120);
    SelectObject(dc, old);
    DeleteObject(green);
    draw_text(dc, 20, 140, 40, 20, DEMO_TEXT, (int)sizeof DEMO_TEXT - 1, RGB(0, 255, 0), RGB(0, 0, 0));
    draw_text(dc, 20, 200, 80, 79, "A", 1, RGB(0, 255, 0), RGB(0, 0, 0));
    draw_text(dc, 110, 200, 80, 39, "漢", 2, RGB(153, 153, 0), RGB(0, 0, 0));
    draw_text(dc, 200, 200, 24, 11, "Shift", 5, RGB(255, 255, 255), RGB(0, 0, 255));
    EndPaint(hwnd, &ps);
}

static LRESULT CALLBACK demo_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    switch (msg) {
    case WM_PAINT:
        paint(hwnd);
        return 0;
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmd_line, int show)
{
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = demo_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "draw demo";
    if (!RegisterClassA(&wc))
        return 0;
    HWND hwnd = CreateWindowExA(0, "draw demo", "描画の確認", WS_OVERLAPPEDWINDOW, 0, 0, 800, 400, nullptr, nullptr,
                                instance, nullptr);
    ShowWindow(hwnd, show);
    int seconds = std::atoi(cmd_line);
    if (seconds > 0)
        SetTimer(hwnd, 1, (UINT)seconds * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
