// window_fixture.cpp -- the recording window of the platform layer's tests.
#include "window_fixture.h"

std::vector<Recorded> recorded;
HWND test_window = nullptr;
HWND test_edit = nullptr;

static LRESULT CALLBACK record_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    recorded.push_back(Recorded{msg, wparam});
    if (msg == WM_DESTROY)
        PostQuitMessage(7);
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

void open_test_window(int w, int h, HMENU menu)
{
    headless_set_screen(w, h);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = record_proc;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "recording window";
    RegisterClassA(&wc);
    test_window =
        CreateWindowExA(0, "recording window", "", WS_OVERLAPPEDWINDOW, 0, 0, w, h, nullptr, menu, nullptr, nullptr);
    test_edit =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_MULTILINE, 0, 0, 10, 10, test_window, nullptr, nullptr, nullptr);
    ShowWindow(test_window, SW_SHOW);
    SetFocus(test_edit);
    pump();
    recorded.clear();
}

int pump()
{
    MSG m;
    int n = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_QUIT) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
        n++;
    }
    return n;
}

int count_of(UINT msg)
{
    int n = 0;
    for (const Recorded& r : recorded)
        n += r.msg == msg;
    return n;
}

void fill(HDC dc, RECT r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

HMENU make_bar(HMENU* sub_out)
{
    HMENU sub = CreateMenu(), a = CreateMenu(), b = CreateMenu(), bar = CreateMenu();
    AppendMenuA(sub, MF_STRING, 21, "21");
    AppendMenuA(a, MF_STRING, 11, "11");
    AppendMenuA(a, MF_POPUP, (UINT_PTR)sub, "sub");
    AppendMenuA(b, MF_STRING, 31, "31");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)a, "A");
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)b, "B");
    if (sub_out)
        *sub_out = sub;
    return bar;
}
