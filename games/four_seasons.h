// Four Seasons: five single cards dealt in a cross build down regardless of suit, cards are
// turned from the stock to a waste that may be turned over a configurable number of times, and
// four foundations in the corners build up in suit from a starting rank. Both wrap round between
// King and Ace.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct FourSeasonsRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    int32_t cardsDealt = 1;   // "CardsDealt", 1..3
    bool filledIn = false;    // "FilledIn"
    int32_t recycles = 0;     // "Recycles", 0..4 or kUnlimitedRecycles; none until the dialog stores one
    int32_t startCard = -1;   // "StartCard", -1 (a card from the deck) or a rank index

    static FourSeasonsRules Read();
    bool RecycleAllowed(int used) const { return recycles == kUnlimitedRecycles || used < recycles; }
};

class FourSeasonsGame : public Game {
public:
    static constexpr int kGameNumber = 9;
    static constexpr int kPiles = 5;
    static constexpr int kPileSlots = 13;
    static constexpr int kFoundations = 4;
    static constexpr int kWasteSlots = 48;
    static constexpr int kStockX = 80, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kWasteFanStep = 10;
    static constexpr int kPileX[kPiles] = {450, 450, 450, 370, 530};
    static constexpr int kPileY[kPiles] = {120, 230, 340, 230, 230};
    static constexpr int kFoundationX[kFoundations] = {345, 555, 345, 555};
    static constexpr int kFoundationY[kFoundations] = {105, 105, 335, 335};
    static constexpr int kWasteSource = 5;
    static constexpr int kNoSource = -1;
    static constexpr int kMaxCandidates = 129;
    // Size of an undo record: base part, pile cells, pile counts, foundation tops, starting rank,
    // waste cells, waste count, held source, points, elapsed seconds.
    static constexpr size_t kRecordSize = kUndoGamePartOffset + 8 * (kPiles * kPileSlots) + 4 * kPiles +
                                          8 * kFoundations + 4 + 8 * kWasteSlots + 4 * 4;

    explicit FourSeasonsGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Four Seasons"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    // Building rules on pip values: up in suit on a foundation (Ace on King), down regardless of
    // suit on a pile (King on Ace).
    static bool CanPlay(Card card, Card top, bool toFoundation);
    // Where the waste's top card lies (and is picked up).
    void WasteTopPosition(const FourSeasonsRules& rules, int& x, int& y) const;
    static int PileAt(int x, int y);
    static int FoundationAt(int x, int y);

    std::array<std::array<Card, kPileSlots>, kPiles> piles{};
    std::array<int32_t, kPiles> pileCounts{};
    std::array<Card, kFoundations> foundations{};
    int32_t startRank = -1;
    std::array<Card, kWasteSlots> waste{};
    int32_t wasteCount = 0;
    int32_t dealtThisTurn = 0;
    Card held;
    int32_t heldSource = kNoSource;
    int32_t recyclesUsed = 0;

private:
    bool DecideGameOver(const FourSeasonsRules& rules) const;
    bool FitsStartedFoundation(Card card) const;
    void RegisterHotspots(const FourSeasonsRules& rules);
    void DealToWaste(const FourSeasonsRules& rules);
    void Recycle();
    void DrawStockArea(bool present);
    void DrawWasteArea(bool present);
    void DrawPileArea(int k, bool present);
    void DrawFoundationArea(int k, bool present);
};
