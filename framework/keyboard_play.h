// Play by keyboard. The arrow keys move a focus ring among the places the table answers to: the
// pick-ups, the points the mouse presses for the game's other moves (stock, face-down cards,
// cards to select) and, while cards are lifted, the drop targets. Space or Enter presses there,
// Escape puts lifted cards back, D presses the stock. Lifted cards are shown raised off the table
// until they are put down; a place that refuses them sounds so and leaves them in hand.
//
// Every action becomes the mouse messages the same gesture would make, posted to the main
// window's queue and marked with kKeyboardMouse in wParam, so the game's own mouse path plays
// the move: the rules, sounds, animations and undo records are the mouse's. A private key-up
// posted behind those messages tells the keyboard when they have been handled.
//
// The ring is drawn over the table with the pixels under it saved and put back (through the
// artwork's dirty rectangles) before anything else can draw there: at every input message, at
// the start of each panel refresh and before a hint. A full redraw of the table drops the saved
// pixels instead. Any real mouse message hides the ring until an arrow key brings it back.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/messages.h"
#include "platform/rect.h"

class Game;

// Marks mouse messages made by the keyboard (no real button state uses this bit).
inline constexpr WPARAM kKeyboardMouse = 0x8000;

struct FocusStop {
    enum Kind : uint8_t {
        kPickup,       // a press lifts cards (or, in games that select, selects)
        kClick,        // a click makes a move: the stock, a card to turn or select
        kDoubleClick,  // a double click makes a move
        kTarget,       // lifted cards go here (the first target is where they came from)
    };
    Kind kind = kPickup;
    int x = 0, y = 0;  // where the mouse would press or release
    Rect ring;         // the cards the ring surrounds
};

class KeyboardPlay {
public:
    // Private key-ups (unassigned virtual keys) posted behind the keyboard's mouse messages: the
    // press has been handled, the whole gesture has, or the ring may be drawn again.
    static constexpr WPARAM kAfterPressKey = 0xE8;
    static constexpr WPARAM kAfterMoveKey = 0xE9;
    static constexpr WPARAM kRedrawKey = 0xEA;
    // Stops whose tops lie within this many pixels of a row's first stop share the row.
    static constexpr int kRowSpan = 40;
    // A key waits behind the keyboard's own messages at most this many times.
    static constexpr int kMostDeferrals = 64;

    enum Direction { kLeft, kRight, kUp, kDown };

    explicit KeyboardPlay(Game& game) : game(game) {}
    KeyboardPlay(const KeyboardPlay&) = delete;
    KeyboardPlay& operator=(const KeyboardPlay&) = delete;

    // A key at the table (WM_KEYDOWN or WM_KEYUP); true when the keyboard used it. Escape is
    // left alone unless cards are lifted.
    bool OnKey(uint32_t message, WPARAM key);
    // Every input message, before the menus see it: the ring comes off the table, to be drawn
    // again once the message has been handled.
    void BeforeInput();
    // Something is about to draw over `area` (or over the dragged cards too, with `orDragging`):
    // a ring in the way comes off the table, to be drawn again once the table is at rest.
    void ClearOf(const Rect& area, bool orDragging);
    // A mouse message for the table; a real one ends keyboard play until the next arrow key.
    void OnMouse(uint32_t message, WPARAM keys);
    // The table was drawn again from scratch: the ring is no longer on it, and comes back once
    // the table is at rest.
    void TableRedrawn();
    // Takes the ring off the table (presenting the change when asked).
    void Hide(bool present);
    // Draws the ring again where it belongs when keyboard play is on and the table is at rest.
    void Refresh();

    // For tests and the ring: the stops in reading order, the focused one, the neighbour of a
    // stop in a direction (itself when there is none), and the stop a mouse press at (x, y)
    // would act as (-1 when none).
    const std::vector<FocusStop>& Stops();
    int Focus() const { return focus; }
    int Neighbour(int stop, Direction direction);
    int StopAt(int x, int y);
    bool Visible() const { return drawn; }
    bool Active() const { return active; }
    bool Lifted() const { return lifted; }
    bool Busy() const { return busy; }

private:
    struct Saved {
        Rect rect;
        std::vector<uint8_t> pixels;
    };

    void Rebuild();
    void BuildTableStops();
    void BuildTargetStops();
    void SortIntoRows();
    // Moves the focus to a stop, remembering where it is so a rebuilt list keeps it.
    void SetFocus(int stop);
    void FocusNearest(int x, int y);
    void Draw();
    bool AtRest() const;
    void Post(uint32_t message, WPARAM keys, int x, int y);
    void PostKeyUp(WPARAM key);
    void RequestRedraw();
    void AfterPress();
    void AfterMove();
    void Activate();
    void Cancel();
    void PressStock();

    Game& game;
    std::vector<FocusStop> stops;
    std::vector<int> rowOf;  // the row of each stop
    bool stale = true;       // the stops must be built again
    int focus = -1;
    int focusX = -1, focusY = -1;  // the centre of the focused ring, kept across rebuilds
    int focusPressX = -1, focusPressY = -1;
    bool active = false;           // keyboard play is on: the ring is wanted
    bool lifted = false;           // the keyboard holds lifted cards
    bool busy = false;             // posted messages are still in the queue
    bool redrawPosted = false;
    int deferrals = 0;
    int originX = 0, originY = 0;  // where the lifted cards were pressed
    int originStop = -1;
    bool drawn = false;
    Rect ringOuter;
    std::vector<Saved> saved;
};
