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

void BareSdlPresenter::Present(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height) {
    if (!ok) return;
    SDL_Window* sdlWindow = static_cast<SDL_Window*>(window);
    SDL_Surface* surface = SDL_GetWindowSurface(sdlWindow);
    if (!surface) return;
    for (int row = y; row < y + height; ++row) {
        std::memcpy(static_cast<uint8_t*>(surface->pixels) + row * surface->pitch + x * 4,
                    pixels + static_cast<ptrdiff_t>(row) * pitchPixels + x, static_cast<size_t>(width) * 4);
    }
    const SDL_Rect area{x, y, width, height};
    SDL_UpdateWindowSurfaceRects(sdlWindow, &area, 1);
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
