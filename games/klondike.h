// Klondike: seven tableau piles built down in alternating colours, four foundations built up by
// suit from a configurable starting rank, and a stock dealt one to three cards at a time onto a
// waste that may be turned over a configurable number of times. Ranks form a cycle (after the
// King comes the Ace, after the Ace the Two), cut just below the starting rank.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct KlondikeRules {
    static constexpr int32_t kUnlimitedRecycles = 99999;
    int32_t cardsDealt = 3;    // "CardsDealt", 1..3
    int32_t recycles = 3;      // "Recycles", 0..4 or kUnlimitedRecycles
    int32_t startCard = 12;    // "StartCard", -1 (the first card dealt) or a rank index
    bool filledIn = false;     // "FilledIn"
    bool tableauStart = true;  // "TableauStart"
    bool movePartial = false;  // "MovePartial"
    bool autoFlip = false;     // "AutoFlip"

    static KlondikeRules Read();
    bool TurnAllowed(int turnsUsed) const { return recycles == kUnlimitedRecycles || turnsUsed < recycles; }
};

class KlondikeGame : public Game {
public:
    static constexpr int kGameNumber = 12;
    static constexpr int kPiles = 7;
    static constexpr int kPileSlots = 20;
    static constexpr int kWasteSlots = 35;
    static constexpr int kFoundations = 4;
    static constexpr int kStockX = 100, kStockY = 80;
    static constexpr int kWasteX = 180, kWasteY = 80;
    static constexpr int kFoundationY = 80;
    static constexpr int kFoundationX[kFoundations] = {330, 400, 470, 540};
    static constexpr int kTableauX = 230, kTableauPitch = 70, kTableauY = 170, kTableauStep = 15;
    static constexpr int kWasteFanStep = 10;
    static constexpr int kNoSource = -3;
    static constexpr int kWasteSource = -1;
    static constexpr int kMaxCandidates = 128;
    // Size of an undo record.
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (kFoundations + kMaxStackCards + kWasteSlots + kPiles * kPileSlots) +
        4 * (1 + 2 * kPiles) + 8;

    explicit KlondikeGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void AfterMove() override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Klondike"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    // Reads an undo record and, only when it is whole and possible, puts the game in its position.
    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int PileX(int pile) { return kTableauX + kTableauPitch * pile; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }
    static int NextRank(int rank) { return (rank + 1) % Card::kRankCount; }
    bool CanStack(Card moving, Card onto, bool ontoFoundation) const;
    // Where the waste's top card lies (and is picked up).
    void WasteTopPosition(const KlondikeRules& rules, int& x, int& y) const;
    // Which foundation has its place at (x, y), or -1.
    static int FoundationAt(int x, int y);
    // Which pile takes its next card at (x, y), or -1.
    int PileDropAt(int x, int y) const;

    // The position. Foundations hold only their top card.
    std::array<Card, kFoundations> foundations{};
    std::array<Card, kMaxStackCards> held{};
    int32_t heldCount = 0;
    int32_t heldSource = kNoSource;
    std::array<Card, kWasteSlots> waste{};
    int32_t wasteCount = 0;
    std::array<std::array<Card, kPileSlots>, kPiles> tableau{};
    std::array<int32_t, kPiles> pileCount{};
    std::array<int32_t, kPiles> faceDownCount{};
    int32_t startRank = Card::kAce;
    int32_t turnsUsed = 0;
    int32_t dealtThisTurn = 0;

private:
    bool DecideGameOver(const KlondikeRules& rules) const;
    void RegisterPickups(const KlondikeRules& rules);
    void RegisterDropTargets();
    bool FaceUpTop(int pile) const { return pileCount[pile] > faceDownCount[pile]; }
    void DrawStockArea(bool present);
    void DrawWasteArea(bool present);
    void DrawFoundationArea(int index, bool present);
    void DrawPileArea(int pile, bool present);
    void DealToWaste(const KlondikeRules& rules);
    void TurnWaste();
    void TurnPileTop(int pile);
};
