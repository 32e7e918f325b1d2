// A minimal SDL program's way of presenting a rectangle (window, renderer without vsync,
// streaming texture), kept only so benchmarks can compare our present path with it in one run.
#pragma once

#include <cstdint>

class BareSdlPresenter {
public:
    BareSdlPresenter(int width, int height);  // opens its own window; Ok() tells whether it worked
    ~BareSdlPresenter();
    BareSdlPresenter(const BareSdlPresenter&) = delete;
    BareSdlPresenter& operator=(const BareSdlPresenter&) = delete;
    bool Ok() const { return ok; }
    // Updates the texture from a 0x00RRGGBB rectangle and presents it, as a bare program would.
    void Present(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height);
    // Only the copy into the streaming texture (SDL_UpdateTexture of the rectangle).
    void UpdateTexture(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height);

private:
    bool ok = false;
    void* window = nullptr;
    void* renderer = nullptr;
    void* texture = nullptr;
};
