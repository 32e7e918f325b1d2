// Spider: two packs, ten columns built down in suit, eight foundations that take complete suits
// (or, when the rules allow it, single cards built up in suit), and a stock that deals one card
// onto every column at a click. Ranks form a cycle cut just below the starting card.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cards/card_images.h"
#include "framework/game.h"

// The rule values, read from the settings store whenever a rule needs them. Values outside their
// range read as the default.
struct SpiderRules {
    bool suitAssembled = true;  // "SuitAssembled": only complete suits go to a foundation
    int32_t rowsFaceDown = 5;   // "RowsFaceDown", 0..5
    int32_t startCard = 12;     // "StartCard", -1 or a rank index
    bool autoFlip = false;      // "AutoFlip"

    static SpiderRules Read();
};

class SpiderGame : public Game {
public:
    static constexpr int kGameNumber = 19;
    static constexpr int kColumns = 10;
    static constexpr int kColumnSlots = 30;
    static constexpr int kFoundationSlots = 10;
    static constexpr int kFoundations = 8;
    static constexpr int kStockX = 130, kStockY = 80;
    static constexpr int kFoundationX = 220, kFoundationY = 80, kPitch = 60;
    static constexpr int kColumnX = 100, kColumnY = 170, kColumnStep = 12;
    static constexpr int kNoSource = -3;
    static constexpr int kSuitLength = Card::kRankCount;
    static constexpr size_t kRecordSize =
        kUndoGamePartOffset + 8 * (kFoundationSlots + kColumns * kColumnSlots) + 4 * 2 * kColumns + 8;

    explicit SpiderGame(Artwork* artwork);

    void NewGame(bool restart) override;
    void Draw(bool present) override;
    void DropCards(DragRecord& drag, DropTarget& target) override;
    void AfterMove() override;
    void LiftCards(DragRecord& drag) override;
    void ReturnCards() override;
    bool CanDrop(DragRecord& drag, DropTarget& target) override;
    bool CheckGameOver() override;
    void SaveUndo() override;
    const char* GetName() override { return "Spider"; }
    void OnLButtonDown(WPARAM keys, int x, int y) override;
    void Undo() override;
    double GetScoreFactor() override;
    bool IsWon() override;

    bool RestoreRecord(std::span<const uint8_t> record) override;

    static int ColumnX(int column) { return kColumnX + kPitch * column; }
    static int CardY(int index) { return kColumnY + kColumnStep * index; }
    static int FoundationX(int f) { return kFoundationX + kPitch * f; }
    static int NextRank(int rank) { return (rank + 1) % Card::kRankCount; }
    // May card c go on t (the no-card value for an empty place)?
    bool CanPlaceCard(Card c, Card t, bool toFoundation) const;
    static bool CanPlace(Card c, Card t, bool toFoundation, int startCard);

    // The game-over search's starting point: the face-up cards of each column, bottom first, and
    // whether face-down cards lie under them.
    struct SearchStart {
        std::array<std::vector<Card>, kColumns> columns;
        std::array<bool, kColumns> hadFaceDown{};
    };
    // Whether moving runs between columns can reach progress (see ProgressPossible). Exhaustive;
    // positionsSeen, when given, receives the number of distinct positions visited.
    static bool SearchProgress(const SearchStart& start, const std::array<Card, kFoundationSlots>& foundations,
                               int startCard, bool suitAssembled, size_t* positionsSeen = nullptr);
    // The same-suit run at the top of a column, going no lower than index lowest.
    int RunLength(int column, int lowest) const;
    // A complete suit, highest card first, in the dragged stack.
    static bool IsFullSuit(const DragRecord& drag);
    static int FoundationAt(int x, int y);
    int ColumnDropAt(int x, int y) const;

    std::array<Card, kFoundationSlots> foundations{};
    std::array<Card, kMaxStackCards> lifted{};
    int32_t liftedCount = 0;
    int32_t liftSource = kNoSource;
    std::array<std::array<Card, kColumnSlots>, kColumns> columns{};
    std::array<int32_t, kColumns> columnCount{};
    std::array<int32_t, kColumns> faceDownCount{};
    int32_t startCard = Card::kAce;

private:
    bool AllFaceDown(int column) const { return columnCount[column] > 0 && faceDownCount[column] == columnCount[column]; }
    bool ProgressPossible(const SpiderRules& rules) const;
    // The last game-over search's input and answer.
    mutable std::string lastSearchInput;
    mutable bool lastSearchResult = false;
    void RegisterHotspots();
    void DealRow();
    void TurnTop(int column);
    void DrawStockArea(bool present);
    void DrawFoundationArea(int f, bool present);
    void DrawColumnArea(int column, bool present);
    void ClearLifted();
};
