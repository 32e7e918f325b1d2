#include "platform/bare_sdl_loop.h"

#include <SDL.h>

void BareSdlIdle(uint32_t ms) {
    constexpr Uint32 kTimerMs = 100;
    const Uint64 end = SDL_GetTicks64() + ms;
    for (Uint64 now = SDL_GetTicks64(); now < end; now = SDL_GetTicks64()) {
        SDL_Event event;
        const Uint64 left = end - now;
        if (SDL_WaitEventTimeout(&event, static_cast<int>(left < kTimerMs ? left : kTimerMs)) != 0) {
            while (SDL_PollEvent(&event) != 0) {
            }
        }
    }
}
