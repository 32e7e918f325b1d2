// Hints: the move a search proposes for the current position, shown for two seconds as two
// animated outlines in the theme's highlight colour, one round the cards to move and one round
// where they go. The outlines are drawn over the table with the pixels under them saved, and put
// back (and presented through the dirty rectangles) when the hint ends, so the table itself is
// never redrawn for them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/play_model.h"
#include "platform/rect.h"

class Game;

// A search for a hint running beside the interface: polled, never waited for.
class HintSearch {
public:
    virtual ~HintSearch() = default;
    // True once the search has an answer.
    virtual bool Ready() = 0;
    // The move to show; false when the position has none.
    virtual bool Move(PlayMove& move) = 0;
};

class HintOutline {
public:
    static constexpr uint64_t kShowMs = 2000;
    static constexpr uint64_t kStepMs = 100;

    // Draws the two outlines (the target may be empty) in `colour` (a pixel value) and remembers
    // the pixels under them.
    void Show(const Rect& source, const Rect& target, uint32_t colour, uint64_t now);
    // Moves the outlines' dashes on; ends the hint once its time is up.
    void Tick(uint64_t now);
    // Puts the table back as it was under the outlines.
    void Hide();
    bool Visible() const { return !blocks.empty(); }
    const Rect& Source() const { return source; }
    const Rect& Target() const { return target; }

private:
    struct Block {
        Rect rect;
        std::vector<uint8_t> pixels;
    };
    void Draw();

    std::vector<Block> blocks;  // saved in drawing order, put back in reverse
    Rect source, target;
    uint32_t colour = 0;
    uint64_t shownAt = 0, lastStep = 0;
    int phase = 0;
};
