// Pointer moves from the X server as one event per look at the events, not one per move.
#pragma once

#include <cstdint>

struct SDL_Window;
union SDL_Event;
struct _XDisplay;

// Left alone, the server sends every pointer move as an event of its own, and SDL asks for each
// twice (an input-extension event for the window and a raw one for the whole screen): a quick
// flick queues hundreds, each read, converted and queued before the newest place is known.
// Asked for motion hints instead, the server sends one move and then waits until the program
// asks where the pointer is; the program asks once per look at its events and takes the answer.
//
// Buttons then take their place from the X events themselves: SDL gives a press the place of
// the last move it was told of, which with hints can be older than the press.
//
// Needs SDL_SYSWMEVENT events, which Attach turns on; DrainEvents hands them to Note in queue
// order with the rest.
class X11Pointer {
public:
    // Asks for hints on `window`'s pointer moves and stops the moves SDL asked for elsewhere; on
    // a window that is not an X one nothing changes and this returns false.
    bool Attach(SDL_Window* window);
    void Detach() { display = nullptr; }

    // Reads one SDL_SYSWMEVENT: a hinted move, or the place of a button event SDL queues next.
    void Note(const SDL_Event& event);
    // Sets the place of an SDL button event to that of the X event it came from.
    void PlaceButton(SDL_Event* event);
    // A hinted move is waiting for the program to ask where the pointer went.
    bool HintWaiting() const { return hintWaiting; }
    // Where the pointer is now (window pixels) and which of the left, middle and right buttons are
    // held (SDL's masks); the server may then send the next hinted move. False when it could not
    // say (the pointer is on another screen).
    bool Follow(int* x, int* y, uint32_t* buttons);
    // A button went down since the last call: SDL holds the pointer for the window while a
    // button is down, with a grab that reports every move; its moves become hinted too.
    void HintGrabAfterPress();
    // After SDL took the pointer for the window (SDL_CaptureMouse).
    void HintGrab();

private:
    _XDisplay* display = nullptr;
    unsigned long xwindow = 0;
    bool hintWaiting = false;
    bool pressed = false;
    bool buttonPlaced = false;
    int buttonX = 0, buttonY = 0;
};
