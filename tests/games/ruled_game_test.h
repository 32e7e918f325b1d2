// A game's tests with its rule values set in the settings store before a deal, the automatic
// game-over check off so that hand-built tables stay in play, and the setting of a table's places
// by hand (model_positions.h on the table's position, the stock in its deck).
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "games/game_registry.h"
#include "tests/framework/game_fixture.h"
#include "tests/games/model_positions.h"

// One building rule: `card` played on `onto` (a foundation's top when `foundation`, else a pile's),
// whether it fits, and why.
struct Fit {
    Card card, onto;
    bool foundation, fits;
    const char* why = "";
};
// Checks each rule against canPlay(card, onto, foundation).
template <typename CanPlay>
void ExpectFits(CanPlay canPlay, std::initializer_list<Fit> fits) {
    for (const Fit& f : fits)
        EXPECT_EQ(canPlay(f.card, f.onto, f.foundation), f.fits)
            << f.why << " (card " << f.card.Index() << " on " << f.onto.Index() << ")";
}

template <typename Game>
class RuledGameTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        userPreferences.AutoGameOver = 0;
    }
    static void SetRule(const char* name, int32_t value) {
        SettingsKey key(GameSettingsPath(FindGame(Game::kGameNumber)->name));
        WriteDwordValue(key, name, value);
    }

    // Drags the card whose top-left corner is at (fromX, fromY) onto the place at (toX, toY).
    void DragCard(int fromX, int fromY, int toX, int toY) { this->Drag(fromX + 10, fromY + 10, toX + 10, toY + 10); }

    // ---- Hand-built tables: the position's places set directly ----

    // The stock dealt out, and every pile, foundation and waste of the position emptied.
    template <typename Table>
    static void ClearPlaces(Table& game) {
        while (game.deck.DealNext().IsValid()) {
        }
        model_positions::Clear(game.position);
    }
    // Pile `pile` of the tableau holding these cards, the first `faceDown` of them face down.
    template <typename Table>
    static void SetPile(Table& game, int pile, std::initializer_list<Card> cards, int faceDown = 0) {
        model_positions::SetPile(game.position, pile, cards, faceDown);
    }
    // A stock of exactly these cards (one pack's, in the order the shuffle gives them): a table's
    // stock lives in its deck, which its position reads.
    template <typename Table>
    static void SetStock(Table& game, std::initializer_list<Card> keep) {
        game.deck.SetPacks(1);
        game.deck.IncludeAll();
        for (int index = 0; index < Card::kCardsPerPack; ++index) {
            const Card card(index / Card::kRankCount, index % Card::kRankCount);
            if (std::find(keep.begin(), keep.end(), card) == keep.end()) game.deck.Exclude(card);
        }
    }
};
