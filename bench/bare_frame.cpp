// bare_frame.cpp -- the floor under the game: SDL2 alone.
//
// Opens a window the size of the desktop with the same SDL settings as the
// game, fills it and presents it once, then answers every typed character
// (and Return) by drawing one small square and presenting just that. Each
// present goes to the present trace (LUMEKO_TRACE_PRESENT) in the game's
// format, so that the real-window script measures exec -> first frame and key
// -> present for it exactly as for the game. Exits after 30 s without input.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

static unsigned long long monotonic_us()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (unsigned long long)t.tv_sec * 1000000ull + (unsigned long long)t.tv_nsec / 1000;
}

// Fields: time, rects, pixels, box up (1: the first frame, nothing more to
// wait for), inputs, input taken (us), its SDL ticks, ticks now, present began.
static void trace(FILE* f, long long pixels, int box, unsigned long long inputs, unsigned long long input_us,
                  Uint32 input_ticks, unsigned long long start)
{
    if (!f)
        return;
    std::fprintf(f, "%llu 1 %lld %d %llu %llu %u %llu %llu\n", monotonic_us(), pixels, box, inputs, input_us,
                 (unsigned)input_ticks, (unsigned long long)SDL_GetTicks64(), start);
    std::fflush(f);
}

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
    const char* path = std::getenv("LUMEKO_TRACE_PRESENT");
    FILE* f = path ? std::fopen(path, "a") : nullptr;
    std::memset(s->pixels, 0, (size_t)s->pitch * (size_t)s->h);
    unsigned long long start = monotonic_us();
    SDL_UpdateWindowSurface(w);
    trace(f, (long long)s->w * s->h, 1, 0, 0, 0, start);

    SDL_Event e;
    unsigned long long inputs = 0;
    Uint64 until = SDL_GetTicks64() + 30000;
    while (SDL_GetTicks64() < until) {
        if (!SDL_WaitEventTimeout(&e, 100))
            continue;
        if (e.type == SDL_QUIT)
            break;
        bool key = e.type == SDL_TEXTINPUT || (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_RETURN);
        if (!key)
            continue;
        unsigned long long taken = monotonic_us();
        inputs++;
        // A 24-pixel square, its colour changing with every key.
        SDL_Rect sq{(int)(inputs % 40) * 30, s->h / 2, 24, 24};
        SDL_FillRect(s, &sq, (Uint32)(0x00ff00u ^ (inputs * 0x101010u)));
        start = monotonic_us();
        SDL_UpdateWindowSurfaceRects(w, &sq, 1);
        trace(f, 24 * 24, 0, inputs, taken, e.common.timestamp, start);
        until = SDL_GetTicks64() + 30000;
    }
    if (f)
        std::fclose(f);
    SDL_Quit();
    return 0;
}
