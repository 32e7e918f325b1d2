// A minimal SDL program's way of presenting rectangles well (its own window's surface, with the
// shared-memory path and only the given rectangles sent), kept only so benchmarks can compare our
// present path with it in one run.
#pragma once

#include <cstdint>

class BareSdlPresenter {
public:
    BareSdlPresenter(int width, int height);  // opens its own window; Ok() tells whether it worked
    ~BareSdlPresenter();
    BareSdlPresenter(const BareSdlPresenter&) = delete;
    BareSdlPresenter& operator=(const BareSdlPresenter&) = delete;
    bool Ok() const { return ok; }
    // Copies a 0x00RRGGBB rectangle of a window-sized picture into the surface and sends it.
    void Present(const uint32_t* pixels, int pitchPixels, int x, int y, int width, int height);
    // The same for two rectangles, sent with one update (a card's old and new places).
    void PresentTwo(const uint32_t* pixels, int pitchPixels, const int first[4], const int second[4]);

private:
    bool ok = false;
    void* window = nullptr;
};

// Puts pointer moves with the left button held into SDL's event queue, as a fast mouse would,
// for benchmarks of how the program drains them.
void QueueHostPointerMoves(const int* xy, int count);

// Takes in every event waiting on the display connection with one read, as the program does, and
// returns how many were pointer moves; *x, *y become the last one's place (unchanged if none).
int TakeWaitingPointerMoves(int* x, int* y);
