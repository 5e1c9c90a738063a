// bare_frame.cpp -- the floor under the game's first frame: SDL2 alone.
//
// Opens a window the size of the desktop with the same SDL settings as the
// game, fills it and presents it once, then writes one line to the present
// trace (LUMEKO_TRACE_PRESENT) in the game's format, so that the real-window
// script measures exec -> first frame for it exactly as for the game.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

int main(int, char**)
{
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return 1;
    SDL_Rect r{0, 0, 1024, 768};
    SDL_GetDisplayUsableBounds(0, &r);
    SDL_Window* w = SDL_CreateWindow("", r.x, r.y, r.w, r.h, SDL_WINDOW_RESIZABLE);
    SDL_Surface* s = w ? SDL_GetWindowSurface(w) : nullptr;
    if (!s)
        return 1;
    std::memset(s->pixels, 0, (size_t)s->pitch * (size_t)s->h);
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    unsigned long long start = (unsigned long long)t.tv_sec * 1000000ull + (unsigned long long)t.tv_nsec / 1000;
    SDL_UpdateWindowSurface(w);
    clock_gettime(CLOCK_MONOTONIC, &t);
    unsigned long long us = (unsigned long long)t.tv_sec * 1000000ull + (unsigned long long)t.tv_nsec / 1000;
    if (const char* path = std::getenv("LUMEKO_TRACE_PRESENT")) {
        if (FILE* f = std::fopen(path, "a")) {
            // time, rects, pixels, box up (1: nothing more to wait for), inputs, input time, ticks, ticks,
            // present started
            std::fprintf(f, "%llu 1 %d 1 0 0 0 0 %llu\n", us, s->w * s->h, start);
            std::fclose(f);
        }
    }
    SDL_Event e;
    Uint64 until = SDL_GetTicks64() + 30000;
    while (SDL_GetTicks64() < until)
        if (SDL_WaitEventTimeout(&e, 100) && e.type == SDL_QUIT)
            break;
    SDL_Quit();
    return 0;
}
