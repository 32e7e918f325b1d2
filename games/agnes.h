// Agnes's table: it draws the model's position (games/models/agnes.h) and turns the
// player's gestures into its moves.
#pragma once

#include "cards/card_images.h"
#include "games/models/agnes.h"
#include "games/tableau_game.h"

class AgnesGame : public ModelledTableauGame<AgnesModel> {
public:
    static constexpr int kGameNumber = 2;
    static constexpr int kStockX = 130, kStockY = 70;
    static constexpr int kFoundationX = 45, kFoundationY = 70, kFoundationPitch = 105;
    static constexpr int kTableauX = 275, kTableauPitch = 70, kTableauY = 215, kTableauStep = 15;
    static constexpr int kReserveX = 200, kReservePitch = 63, kReserveY = 70, kReserveStep = 15;

    explicit AgnesGame(Artwork* artwork) : ModelledTableauGame(artwork, kGameNumber) {}

    void NewGame(bool restart) override;

    static int PileX(int pile) { return kTableauX + kTableauPitch * pile; }
    static int CardY(int index) { return kTableauY + kTableauStep * index; }
    static int FoundationY(int f) { return kFoundationY + kFoundationPitch * f; }
    static int ReserveX(int pile) { return kReserveX + kReservePitch * pile; }
    static int ReserveY(int index) { return kReserveY + kReserveStep * index; }

    // Each reserve pile's count before its latest card from the stock; kept for the undo record.
    std::array<int32_t, AgnesModel::kReservePiles> reserveDealt{};
    // The reserve piles' dealt counts as a record being read has them, until it is accepted.
    std::array<int32_t, AgnesModel::kReservePiles> readDealt{};

private:
    void OnStock() override;
    void RecordFields(Fields& fields, Position& p, int32_t& recordPoints, int32_t& seconds) override;
    bool AcceptRecord(PackTally& tally, Position& read) override;
    Place PlaceAt(int place) const override;
    void DrawOwnPlace(int place, bool present) override;
};
