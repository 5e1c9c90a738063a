// first_frame_cpu.cpp -- CPU time from exec to the first presented frame, headless.
//
// Starts the game as WinMain does on the headless backend (client area 1920 x
// 1080, typing mode 1 or 3 by the first argument, look-ahead 5) and runs its
// loop until the first present; prints the process's CPU time by then, which
// counts loading, start-up, the first paint (keyboard, menu bar) and the
// compose. No display is involved, so a busy machine changes the figure far
// less than it changes a wall-clock launch. Usage: first_frame_cpu MODE
#include "drill/engine.h"
#include "shell/platform/headless.h"
#include "shell/platform/win32.h"
#include "shell/startup.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    int mode = argc > 1 ? std::atoi(argv[1]) : 1;
    std::string dir = "/tmp/lumeko-first-frame-XXXXXX";
    if (!mkdtemp(&dir[0]))
        return 1;
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    std::string ini = dir + "/LumekoTrainer.ini";
    if (FILE* f = std::fopen(ini.c_str(), "wb")) {
        std::fprintf(f, "[set]\r\ntypemode=%d\r\nsakiyomi=5\r\n", mode);
        std::fclose(f);
    }
    headless_set_screen(1920, 1080 + GetSystemMetrics(SM_CYMENU));
    static HINSTANCE__ instance;
    char cmd[] = "";
    if (!start_up(&instance, cmd, SW_SHOWDEFAULT)) {
        std::fprintf(stderr, "first_frame_cpu: start-up failed\n");
        std::remove(ini.c_str());
        rmdir(dir.c_str());
        return 1;
    }
    MSG msg;
    while (headless_present_count() == 0) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            headless_screen(); // composes and presents what is pending
        }
    }
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    std::printf("%.3f\n", ts.tv_sec * 1e3 + ts.tv_nsec / 1e6);
    std::remove(ini.c_str());
    rmdir(dir.c_str());
    return 0;
}
