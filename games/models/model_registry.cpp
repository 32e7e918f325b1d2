#include "games/models/model_registry.h"

#include <array>
#include <cctype>
#include <cstring>

#include "games/models/accordion.h"
#include "games/models/agnes.h"
#include "games/models/auld_lang_syne.h"
#include "games/models/block_solitaire.h"
#include "games/models/calculation.h"
#include "games/models/canfield.h"
#include "games/models/cribbage_solitaire.h"
#include "games/models/forty_thieves.h"
#include "games/models/four_seasons.h"
#include "games/models/gate.h"
#include "games/models/golf.h"
#include "games/models/klondike.h"
#include "games/models/monte_carlo.h"
#include "games/models/poker_solitaire.h"
#include "games/models/pyramid.h"
#include "games/models/quadrille.h"
#include "games/models/simple_addition.h"
#include "games/models/simplicity.h"
#include "games/models/spider.h"
#include "games/models/take_fourteen.h"

namespace {

template <typename Rules>
struct RuleInfoOf {
    static constexpr auto kInfo = [] {
        if constexpr (requires { Rules::kFields; }) {
            std::array<RuleInfo, std::size(Rules::kFields)> info{};
            for (size_t i = 0; i < info.size(); ++i)
                info[i] = {Rules::kFields[i].name, Rules::kFields[i].checkBox, Rules::kFields[i].range,
                           Rules{}.*Rules::kFields[i].member};
            return info;
        } else {
            return std::array<RuleInfo, 0>{};
        }
    }();
};

template <typename Rules>
inline constexpr Rules kDefaultRules{};

// `base`: the rules before the settings are read (a family member's fixed shape).
template <typename Model, const typename Model::Rules& base>
void DealInto(uint32_t dealNumber, const RuleLookup& value, void* position) {
    using Rules = typename Model::Rules;
    const Rules rules = RulesFrom<Rules>([&](const RuleField<Rules>& field) { return value(field.name); }, base);
    const typename Model::Position dealt = DealNumber<Model>(dealNumber, rules);
    std::memcpy(position, &dealt, sizeof dealt);
}

template <typename Model, const typename Model::Rules& base = kDefaultRules<typename Model::Rules>>
constexpr GameModel Entry(int number, const char* name) {
    return {.number = number,
            .name = name,
            .ops = MakePlayModelOps<Model>(),
            .rules = RuleInfoOf<typename Model::Rules>::kInfo,
            .deal = &DealInto<Model, base>};
}

using namespace game_number;

const GameModel kModels[] = {
    Entry<AccordionModel>(kAccordion, "Accordion"),
    Entry<AgnesModel>(kAgnes, "Agnes"),
    Entry<AuldLangSyneModel>(kAuldLangSyne, "Auld Lang Syne"),
    Entry<PairingModel, kBlockSolitaireRules>(kBlockSolitaire, "Block Solitaire"),
    Entry<CalculationModel>(kCalculation, "Calculation"),
    Entry<CanfieldModel>(kCanfield, "Canfield"),
    Entry<CribbageSolitaireModel>(kCribbageSolitaire, "Cribbage Solitaire"),
    Entry<FortyThievesModel>(kFortyThieves, "Forty Thieves"),
    Entry<FourSeasonsModel>(kFourSeasons, "Four Seasons"),
    Entry<GateModel>(kGate, "Gate"),
    Entry<GolfModel>(kGolf, "Golf"),
    Entry<KlondikeModel>(kKlondike, "Klondike"),
    Entry<MonteCarloModel>(kMonteCarlo, "Monte Carlo"),
    Entry<PokerSolitaireModel>(kPokerSolitaire, "Poker Solitaire"),
    Entry<PyramidModel>(kPyramid, "Pyramid"),
    Entry<QuadrilleModel>(kQuadrille, "Quadrille"),
    Entry<PairingModel, kSimpleAdditionRules>(kSimpleAddition, "Simple Addition"),
    Entry<SimplicityModel>(kSimplicity, "Simplicity"),
    Entry<SpiderModel>(kSpider, "Spider"),
    Entry<PairingModel, kTakeFourteenRules>(kTakeFourteen, "Take Fourteen"),
};
static_assert(std::size(kModels) == size_t{kTakeFourteen});

}  // namespace

std::span<const GameModel> GameModels() { return kModels; }

const GameModel* FindModel(int number) {
    return number >= 1 && number <= static_cast<int>(std::size(kModels)) ? &kModels[number - 1] : nullptr;
}

bool SameName(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    for (;;) {
        while (i < a.size() && a[i] == ' ') ++i;
        while (j < b.size() && b[j] == ' ') ++j;
        if (i == a.size() || j == b.size()) return i == a.size() && j == b.size();
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[j]))) return false;
        ++i;
        ++j;
    }
}

const GameModel* FindModelByName(std::string_view name) {
    for (const GameModel& model : kModels)
        if (SameName(model.name, name)) return &model;
    return nullptr;
}
