#include "platform/bare_sdl_presenter.h"

#include <SDL.h>

BareSdlPresenter::BareSdlPresenter(int width, int height) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    SDL_Window* sdlWindow = SDL_CreateWindow("present", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                             height, SDL_WINDOW_BORDERLESS);
    window = sdlWindow;
    if (!sdlWindow) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    SDL_Renderer* sdlRenderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_ACCELERATED);
    if (!sdlRenderer) sdlRenderer = SDL_CreateRenderer(sdlWindow, -1, SDL_RENDERER_SOFTWARE);
    renderer = sdlRenderer;
    if (!sdlRenderer) return;
    texture = SDL_CreateTexture(sdlRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
    ok = texture != nullptr;
}

BareSdlPresenter::~BareSdlPresenter() {
    if (texture) SDL_DestroyTexture(static_cast<SDL_Texture*>(texture));
    if (renderer) SDL_DestroyRenderer(static_cast<SDL_Renderer*>(renderer));
    if (!window) return;
    SDL_DestroyWindow(static_cast<SDL_Window*>(window));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void BareSdlPresenter::UpdateTexture(const uint32_t* pixels, int pitchPixels, int x, int y, int width,
                                     int height) {
    if (!ok) return;
    const SDL_Rect area{x, y, width, height};
    SDL_UpdateTexture(static_cast<SDL_Texture*>(texture), &area,
                      pixels + static_cast<ptrdiff_t>(y) * pitchPixels + x,
                      pitchPixels * static_cast<int>(sizeof(uint32_t)));
}

void BareSdlPresenter::Present(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height) {
    if (!ok) return;
    UpdateTexture(pixels, pitchPixels, x, y, width, height);
    SDL_Renderer* sdlRenderer = static_cast<SDL_Renderer*>(renderer);
    SDL_RenderCopy(sdlRenderer, static_cast<SDL_Texture*>(texture), nullptr, nullptr);
    SDL_RenderPresent(sdlRenderer);
}
