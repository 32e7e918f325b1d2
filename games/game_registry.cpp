#include "games/game_registry.h"

#include <array>

#include "games/accordion.h"
#include "games/agnes.h"
#include "games/forty_thieves.h"
#include "games/gate.h"
#include "games/simplicity.h"
#include "games/spider.h"
#include "games/auld_lang_syne.h"
#include "games/calculation.h"
#include "games/cribbage_solitaire.h"
#include "games/four_seasons.h"
#include "games/poker_solitaire.h"
#include "games/quadrille.h"
#include "games/canfield.h"
#include "games/klondike.h"
#include "games/golf.h"
#include "games/pyramid.h"
#include "games/monte_carlo.h"
#include "games/take_fourteen.h"
#include "games/simple_addition.h"
#include "games/block_solitaire.h"

namespace {

template <typename T>
std::unique_ptr<Game> Make(Artwork* artwork) {
    return std::make_unique<T>(artwork);
}

constexpr std::array kGames = {
    GameEntry{1, "Accordion", &Make<AccordionGame>},
    GameEntry{2, "Agnes", &Make<AgnesGame>},
    GameEntry{3, "Auld Lang Syne", &Make<AuldLangSyneGame>},
    GameEntry{5, "Calculation", &Make<CalculationGame>},
    GameEntry{7, "Cribbage Solitaire", &Make<CribbageSolitaireGame>},
    GameEntry{8, "Forty Thieves", &Make<FortyThievesGame>},
    GameEntry{9, "Four Seasons", &Make<FourSeasonsGame>},
    GameEntry{10, "Gate", &Make<GateGame>},
    GameEntry{14, "Poker Solitaire", &Make<PokerSolitaireGame>},
    GameEntry{16, "Quadrille", &Make<QuadrilleGame>},
    GameEntry{6, "Canfield", &Make<CanfieldGame>},
    GameEntry{12, "Klondike", &Make<KlondikeGame>},
    GameEntry{11, "Golf", &Make<GolfGame>},
    GameEntry{15, "Pyramid", &Make<PyramidGame>},
    GameEntry{13, "Monte Carlo", &Make<MonteCarloGame>},
    GameEntry{18, "Simplicity", &Make<SimplicityGame>},
    GameEntry{19, "Spider", &Make<SpiderGame>},
    GameEntry{20, "Take Fourteen", &Make<TakeFourteenGame>},
    GameEntry{17, "Simple Addition", &Make<SimpleAdditionGame>},
    GameEntry{4, "Block Solitaire", &Make<BlockSolitaireGame>},
};

}  // namespace

std::span<const GameEntry> RegisteredGames() { return kGames; }

const GameEntry* FindGame(int number) {
    for (const GameEntry& entry : kGames)
        if (entry.number == number) return &entry;
    return nullptr;
}
