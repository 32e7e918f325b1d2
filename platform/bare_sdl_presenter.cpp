#include "platform/bare_sdl_presenter.h"

#include <SDL.h>

#include <cstring>

BareSdlPresenter::BareSdlPresenter(int width, int height) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    SDL_Window* sdlWindow = SDL_CreateWindow("present", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                             height, SDL_WINDOW_BORDERLESS);
    window = sdlWindow;
    if (!sdlWindow) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(sdlWindow);
    ok = surface && surface->format->BytesPerPixel == 4;
}

BareSdlPresenter::~BareSdlPresenter() {
    if (!window) return;
    SDL_DestroyWindow(static_cast<SDL_Window*>(window));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

namespace {

// Copies each rectangle of a window-sized picture into the window's surface and sends them with
// one update.
void PresentAreas(void* window, const uint32_t* pixels, int pitchPixels, const SDL_Rect* areas, int count) {
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    SDL_Surface* surface = SDL_GetWindowSurface(sdlWindow);
    if (!surface) return;
    for (const SDL_Rect* area = areas; area != areas + count; ++area) {
        for (int row = area->y; row < area->y + area->h; ++row) {
            std::memcpy(static_cast<uint8_t*>(surface->pixels) + row * surface->pitch + area->x * 4,
                        pixels + static_cast<ptrdiff_t>(row) * pitchPixels + area->x, static_cast<size_t>(area->w) * 4);
        }
    }
    SDL_UpdateWindowSurfaceRects(sdlWindow, areas, count);
}

}  // namespace

void BareSdlPresenter::Present(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height) {
    if (!ok) return;
    const SDL_Rect area{x, y, width, height};
    PresentAreas(window, pixels, pitchPixels, &area, 1);
}

void BareSdlPresenter::PresentTwo(const uint32_t* pixels, int pitchPixels, const int first[4], const int second[4]) {
    if (!ok) return;
    const SDL_Rect areas[2] = {{first[0], first[1], first[2], first[3]}, {second[0], second[1], second[2], second[3]}};
    PresentAreas(window, pixels, pitchPixels, areas, 2);
}

int TakeWaitingPointerMoves(int* x, int* y) {
    SDL_PumpEvents();
    SDL_Event events[64];
    int moves = 0, count;
    while ((count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0) {
        for (int i = 0; i < count; ++i) {
            if (events[i].type != SDL_MOUSEMOTION) continue;
            ++moves;
            *x = events[i].motion.x;
            *y = events[i].motion.y;
        }
    }
    return moves;
}

void QueueHostPointerMoves(const int* xy, int count) {
    for (int i = 0; i < count; ++i) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.state = SDL_BUTTON_LMASK;
        event.motion.x = xy[2 * i];
        event.motion.y = xy[2 * i + 1];
        SDL_PushEvent(&event);
    }
}
