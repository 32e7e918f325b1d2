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

// Suits 0 and 2 are black, 1 and 3 red.
constexpr int kBlack = 0, kRed = 1, kBlack2 = 2, kRed2 = 3;

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
    void ClickStock() { this->Click(Game::kStockX + 20, Game::kStockY + 30); }
    // The screen's pixels from (left, top) to (right, bottom), both included.
    std::vector<Pixel> Region(int left, int top, int right, int bottom) const {
        std::vector<Pixel> pixels;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) pixels.push_back(BufferPixels(this->screen)[y * BufferWidth(this->screen) + x]);
        return pixels;
    }
    // Whether the table takes this stack (bottom card first) dropped on the place at (x, y).
    static bool Accepts(Game& game, std::initializer_list<Card> cards, int x, int y) {
        DragRecord drag;
        for (Card card : cards) drag.cards[drag.count++] = card;
        DropTarget target{x, y, {}, kPlainTargetKind};
        return game.CanDrop(drag, target);
    }

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
    template <typename Table>
    static void SetWaste(Table& game, std::initializer_list<Card> cards) {
        model_positions::SetWaste(game.position, cards);
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
