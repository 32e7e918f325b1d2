// The card pictures and every operation that puts a card, a card back, an empty-pile placeholder
// or a whole pile on a drawing buffer. One object for the whole program (the shell's Artwork
// extends it); every game draws its cards through it.
//
// Positions are a card's top-left corner in the target buffer; a card covers the inclusive
// rectangle (x, y) .. (x + cardWidth, y + cardHeight). Missing art files leave the sheets as they
// were created, so drawing then copies whatever the sheets hold, and never fails.
#pragma once

#include <array>
#include <vector>

#include "cards/card.h"
#include "cards/card_geometry.h"
#include "platform/rect.h"
#include "draw/draw.h"

class Deck;

struct CardPoint {
    int x = 0, y = 0;
    bool operator==(const CardPoint&) const = default;
};

// A pile looks thicker by one layer for every five cards; layer k is drawn at (x - 2k, y - k),
// so a pile grows up and to the left with its top card uppermost.
inline constexpr int kCardsPerLayer = 5;
inline constexpr int kLayerStepX = -2;
inline constexpr int kLayerStepY = -1;
constexpr int PileLayers(int cards) { return cards / kCardsPerLayer + 1; }

// DrawPile's fan value for a squared-up pile.
inline constexpr int kNoFan = -1;
// DrawFoundation's depth value that asks for the depth to be worked out from the ranks.
inline constexpr int kDepthFromRanks = -1;

// The status line's text colour (0xRRGGBB) for a colour scheme (0..2) on a table theme (0..5).
// The light tables (parchment, marble, linen) letter their status rail, a deep tone of their own
// material, in that material's pale tone; the others use the scheme's colour.
uint32_t StatusTextRgb(int scheme, int theme);

class CardImages {
public:
    CardImages() = default;
    virtual ~CardImages();
    CardImages(const CardImages&) = delete;
    CardImages& operator=(const CardImages&) = delete;

    // Loads the card-table font, (re)creates the front, darkened-front and backs sheets and loads
    // the chosen front design (cardFront) and the backs into them. Called by every new game, so a
    // changed front design shows from the next game on.
    void LoadCardImages();
    // The card-table font alone, when the artwork is set up (it takes the first font slot); the
    // sheets wait for the first game, as the screens before it show no card.
    void LoadCardFont();
    // True once the sheets were decoded (they are then kept at the scale in use).
    bool CardImagesLoaded() const { return sheetsScale > 0; }
    // (Re)creates the placeholder sheet and loads the placeholder file of backgroundNumber.
    void LoadPlaceholder();
    // Builds the strip with one sample card of each front design. Leaves the front sheet holding
    // the last design; the next LoadCardImages restores the chosen one.
    void BuildFrontPreview();
    // Frees every buffer and the font this object holds.
    void FreeCardImages();

    // A card's picture, darkened to show it selected or highlighted. Nothing for an invalid card.
    void DrawCard(int x, int y, Card card, int target, bool dark = false) const;
    // Back number 0..20 from the backs sheet; nothing for another number.
    void DrawCardBack(int x, int y, int back, int target) const;
    // Placeholder cell 0 (empty pile), 1 (empty stock, done) or 2 (empty stock, can turn).
    void DrawPlaceholder(int x, int y, int cell, int target) const;

    // The stock of the deck's remaining cards as layers of card backs, or the placeholder for an
    // empty stock (cell 2 when the waste can still be turned over, else cell 1). Returns the
    // rectangle drawn, for the caller to refresh.
    Rect DrawStock(int x, int y, int back, const Deck& deck, int target, bool canTurn) const;
    // Top-left corner of the stock's top layer: where clicks on the stock are tested.
    CardPoint StockTopPosition(int x, int y, const Deck& deck) const;
    // A face-up pile cards[0 .. count - 1], last on top. With fan = kNoFan the top count / 5 + 1
    // cards are drawn as layers; with fan f >= 0 the top f cards are spread by (dx, dy) per card
    // over the card below them, the top card always at position f - 1. Empty piles draw nothing.
    void DrawPile(int x, int y, const Card* cards, int count, int target, int fan = kNoFan, int dx = 0,
                  int dy = 0) const;
    // A foundation showing topCard on depth / 5 + 1 layers. With depth = kDepthFromRanks the
    // depth is the number of cards from startRank up to topCard, counted round the corner.
    void DrawFoundation(int x, int y, Card topCard, int target, int startRank, int depth) const;
    // Top-left corner of that foundation's top layer, where its top card shows.
    CardPoint FoundationTopPosition(int x, int y, Card topCard, int startRank, int depth) const;
    // The rectangle a card drawn at (x, y) covers.
    Rect CardRect(int x, int y) const { return {x, y, x + cardWidth, y + cardHeight}; }
    Rect CardRect(CardPoint at) const { return CardRect(at.x, at.y); }
    // count cards, the first at (x, y) and each next one moved by (dx, dy); used for the stack
    // being dragged or animated.
    void DrawRun(int x, int y, const Card* cards, int target, int count, int dx, int dy) const;
    // The colour of the status line for colourScheme on the table of backgroundNumber.
    Pixel StatusTextColour() const;

    // When set, every card, back and placeholder drawn is noted here, last on top: tests compare
    // what a table shows with where it says its cards are.
    struct DrawnCell {
        Rect rect;
        Card card;  // no card for a back or a placeholder
        int target = -1;
    };
    std::vector<DrawnCell>* drawnCells = nullptr;

    // Card size every game lays out and hit-tests with.
    int cardWidth = card_geometry::kCardWidth;
    int cardHeight = card_geometry::kCardHeight;

    // Choices the shell copies from the player's preferences before loading or drawing.
    int cardFront = 0;         // front design 0..3
    int cardBack = 0;          // back 0..20 every game draws face-down cards with
    int backgroundNumber = 0;  // table background 0..5, selects the placeholder file
    int colourScheme = 0;      // status text colours 0..2

    // Buffer handles (-1 = not created) and the font slot (0 = none), owned by this object.
    int frontSheet = -1;
    // The fronts as a selected card shows them: decoded the first time one is drawn, since most
    // games never select a card that way.
    mutable int darkFrontSheet = -1;
    int placeholderSheet = -1;
    int frontPreview = -1;
    int cardFont = 0;

private:
    // The front design the sheets hold and the drawing scale they were decoded at (-1: none).
    int sheetsDesign = -1, sheetsScale = 0;
    // The same for the dark fronts.
    mutable int darkDesign = -1, darkScale = 0;
    int DarkFrontSheet() const;
    // One buffer per back, decoded from the backs' sheet the first time that back is drawn: a
    // table shows one back, and the whole sheet is 3.5 MB at 3x. Emptied when the scale changes.
    mutable std::array<int, card_geometry::kBackCount> backCells = EmptyBackCells();
    static std::array<int, card_geometry::kBackCount> EmptyBackCells() {
        std::array<int, card_geometry::kBackCount> cells;
        cells.fill(-1);
        return cells;
    }
    mutable int backCellsScale = 0;
    int BackCell(int back) const;
    void ReleaseBackCells() const;
    // Copies the card-sized cell with top-left (cellX, cellY) of sheet to (x, y) of target.
    void CopyCell(int sheet, int cellX, int cellY, int x, int y, int target) const;
};
