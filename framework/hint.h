// Hints: the move a search proposes for the current position, shown for two seconds as two
// animated outlines in the theme's highlight colour, one round the cards to move and one round
// where they go, with the move in words on the status line. The outlines are drawn over the table
// with the pixels under them saved, and put back (and presented through the dirty rectangles) when
// the hint ends, so the table itself is never redrawn for them. Saved pixels are only good while
// nothing else draws there: an answer that arrives while a menu or a dialog is open waits until it
// has closed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <string>

#include "cards/card.h"
#include "framework/play_model.h"
#include "platform/rect.h"
#include "platform/translation.h"

class Game;

// A search for a hint running beside the interface: polled, never waited for.
class HintSearch {
public:
    enum class Answer {
        kMove,         // a move to show
        kCannotWin,    // the search proved that no move leads to a win
        kNothingFound  // the search ran out of time with no move to offer
    };
    virtual ~HintSearch() = default;
    // True once the search has an answer.
    virtual bool Ready() = 0;
    // The answer; with kMove, the move to show.
    virtual Answer Move(PlayMove& move) = 0;
};

// The verdict on the status line: whether the current position can still be won, as a search
// beside the interface found it. Polled, never waited for; dropped when the position changes.
class VerdictSearch {
public:
    enum class Verdict {
        kNone,      // not known (the search ran out of its budget)
        kWinnable,  // the search found a win
        kCannotWin  // the search proved that none exists
    };
    virtual ~VerdictSearch() = default;
    virtual bool Ready() = 0;
    virtual Verdict Answer() = 0;
};

// The line a demonstration plays, from a search beside the interface: polled, never waited for.
class LineSearch {
public:
    enum class Outcome {
        kWon,         // the line wins
        kCannotWin,   // no win exists: the line sends the most cards home
        kNoWinFound,  // the search ran out of time: the line that sent the most cards home
        kForPoints    // a game played for points: the line that scored the most
    };
    virtual ~LineSearch() = default;
    virtual bool Ready() = 0;
    virtual Outcome Line(MoveList& moves) = 0;
};

// Thin outlines round every place held cards may go, drawn when they are picked up and taken away
// when they are let go. Only the pixels under the outlines' edges are saved and put back.
class TargetMarks {
public:
    static constexpr int kMargin = 2;  // the outline runs this far outside the card

    // Outlines the card rectangles in `colour` (queued for presenting, not presented).
    void Show(const std::vector<Rect>& cards, uint32_t colour);
    // Puts the table back under the outlines (queued for presenting).
    void Hide();
    // The table was drawn again from scratch: the outlines are gone with what they saved.
    void Forget() { edges.clear(), cards.clear(); }
    bool Visible() const { return !cards.empty(); }
    const std::vector<Rect>& Cards() const { return cards; }

private:
    struct Edge {
        Rect rect;
        std::vector<uint8_t> pixels;
    };
    std::vector<Edge> edges;  // saved in drawing order, put back in reverse
    std::vector<Rect> cards;
};

// A move as the table shows it: the rectangles where its cards and its target are drawn (edges
// included; the target empty when the move has none), and the cards it names.
struct MovePlaces {
    enum Target : uint8_t {
        kNoTarget,    // the stock, a card to turn or to remove
        kOntoCard,    // onto the card `onto`
        kFoundation,  // to a foundation
        kEmptyPlace,  // to an empty place of the table
        kPartner,     // paired with the card `onto`
    };
    Rect source{0, 0, -1, -1}, target{0, 0, -1, -1};
    Card card;  // the card moved (the lowest of a run); no card for the stock or a face-down card
    Card onto;
    Target kind = kNoTarget;
    bool dealsRow = false;  // the stock deals a card onto every place of a row
};

// The move in plain words for the status line: "Move the 9 of spades onto the 10 of hearts".
std::string MoveInWords(const PlayMove& move, const MovePlaces& places);
// The card in words: "the 9 of spades", "the Queen of hearts".
std::string CardInWords(Card card);

// What the status line says when the search found nothing to show.
inline constexpr const char* kCannotWinWords = TranslateLater("No helpful move: the deal cannot be won from here");
inline constexpr const char* kNothingFoundWords = TranslateLater("No hint found in time");

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
