#include "games/auld_lang_syne.h"

// ---- The game ----

AuldLangSyneGame::PlaceView AuldLangSyneGame::View(int place) const {
    if (place == Model::kStockPlace) return {.x = kStockX, .y = kStockY};
    if (place < Model::kPilePlace) {
        const int k = place - Model::kFoundationPlace;
        return {.x = ColumnX(k), .y = kFoundationY, .cards = &position.foundations[k], .count = 1, .targetKind = kAutoMoveKind};
    }
    const int k = place - Model::kPilePlace;
    return {.x = ColumnX(k), .y = kPileY, .dy = kPileStep, .cards = position.piles[k].data(),
            .count = position.pileCounts[k] - (lifted == place), .pickup = true};
}

void AuldLangSyneGame::SlideToPile(int pile) {
    DrawPlace(Model::kStockPlace, true);
    artwork->PresentDirty();
    const int top = position.pileCounts[pile] - 1;
    AnimateCard(kStockX, kStockY, ColumnX(pile), CardY(top), position.piles[pile][top], {.fast = true});
    PlaySound("deal.wav");
}

void AuldLangSyneGame::ShowDealt(const Position& now, int place, int) {
    position = now;
    SlideToPile(place - Model::kPilePlace);
}

void AuldLangSyneGame::DealRow() {
    struct SlideHooks : play_position::NoHooks {
        AuldLangSyneGame& game;
        void Dealt(int pile) {
            game.deck.DealNext();
            game.SlideToPile(pile);
        }
    } hooks{{}, *this};
    LoadStock();
    AuldLangSyneModel::Play(position, {.kind = PlayMove::kStock, .from = Model::kStockPlace}, hooks);
    CheckGameOver();
}

void AuldLangSyneGame::DrawPlace(int place, bool present) {
    const int k = place - Model::kFoundationPlace;
    if (place == Model::kStockPlace) play_position::DrawStockArea(*this, kStockX, kStockY, present);
    else if (place >= Model::kPilePlace) DrawView(place, present, true, play_position::kScreenBottom);
    else play_position::DrawFoundationArea(*this, ColumnX(k), kFoundationY, position.foundations[k], position.startRank,
                                           kDepthFromRanks, present);
}

// A foundation shows its top on the layers of its depth.
Rect AuldLangSyneGame::DrawnTop(int place) const {
    const int k = place - Model::kFoundationPlace;
    if (place == Model::kStockPlace || place >= Model::kPilePlace || !position.foundations[k].IsValid()) return ModelTable::DrawnTop(place);
    return artwork->CardRect(artwork->FoundationTopPosition(ColumnX(k), kFoundationY, position.foundations[k],
                                                            position.startRank, kDepthFromRanks));
}

// A card on its way is out of play until it lands.
bool AuldLangSyneGame::OverNow() const {
    AuldLangSyneModel::Position shown = position;
    if (const int pile = lifted - Model::kPilePlace; lifted != kNothingLifted)
        play_position::Pop(shown.piles[pile], shown.pileCounts[pile]);
    return AuldLangSyneModel::Over(shown);
}

bool AuldLangSyneGame::RecordPart(play_position::RecordFields& fields, Position& read) {
    fields.Cards(read.foundations);
    fields.Piles(read.piles);
    fields.Counts(read.pileCounts, 0, Model::kPileSlots);
    for (int k = 0; k < Model::kPiles; ++k) ClearPastCount(read.piles[k], read.pileCounts[k]);
    return true;
}
