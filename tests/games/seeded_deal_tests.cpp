// A deal number must give the same cards on every machine and in every version: for a fixed seed
// each game's first deal must be exactly what the deck's documented calls give. The generator and
// the shuffle are modelled here again, plainly, so a change to either (or a game that shuffles,
// excludes or draws from the generator differently) shows up as a different order.
#include <map>
#include <optional>
#include <string>

#include "games/game_registry.h"
#include "games/models/model_registry.h"
#include "store/settings_store.h"
#include "tests/games/card_census.h"
#include "tests/framework/game_fixture.h"
#include "tests/games/reference_deck.h"

namespace {

using namespace reference_deck;

class SeededDealTest : public GameTest, public ::testing::WithParamInterface<int> {};

TEST_P(SeededDealTest, FirstDealOfAFixedSeedIsTheDocumentedOrder) {
    const GameDescriptor* entry = FindGame(GetParam());
    ASSERT_NE(entry, nullptr);
    for (uint32_t seed : {1u, 20261206u}) {
        // The deck seeds the generator from the clock when it is made; the deal number replaces it.
        game = entry->create(artwork.get());
        game->deck.Seed(seed);
        game->NewGame(false);
        ReferenceDeck reference(seed);
        ModelFor(GetParam())(reference);
        ASSERT_EQ(game->deck.Total(), static_cast<int>(reference.order.size())) << entry->name;
        for (int i = 0; i < game->deck.Total(); ++i)
            ASSERT_EQ(game->deck.OrderAt(i), reference.order[i]) << entry->name << " seed " << seed << " card " << i;
        game.reset();
    }
}

// The model deals the same position alone, from the deal number and the rule values, as the table
// deals through the program's own path: with the defaults, and with every rule value moved off
// its default.
TEST_P(SeededDealTest, TheModelAloneDealsWhatTheTableDeals) {
    const GameDescriptor* entry = FindGame(GetParam());
    const GameModel* model = FindModel(GetParam());
    ASSERT_NE(model, nullptr);
    for (const bool varied : {false, true}) {
        std::map<std::string, int32_t, std::less<>> values;
        SettingsKey key(GameSettingsPath(entry->name));
        for (const RuleOption& option : entry->rules.options) {
            int32_t value = option.ReadDefault();
            if (varied) {
                switch (option.control) {
                case RuleControl::kSpinField: value = value < option.maximum ? value + 1 : value - 1; break;
                case RuleControl::kRecycles: value = value == 1 ? RuleValues::kUnlimitedRecycles : 1; break;
                case RuleControl::kTwoChoices: value = value == option.firstValue ? option.secondValue : option.firstValue; break;
                case RuleControl::kRankList:
                case RuleControl::kRankListOrNext:
                case RuleControl::kCalculationList: value = (value + 4) % Card::kRankCount; break;
                default: value = !value;
                }
            }
            if (option.control == RuleControl::kScoringChoice) {
                value = varied;
                WriteStringValue(key, option.valueName, varied ? "English" : "American");
            } else {
                WriteDwordValue(key, option.valueName, value);
            }
            values[option.valueName] = value;
        }
        game = entry->create(artwork.get());
        for (const uint32_t deal : {1u, 7u, 20261206u}) {
            game->Deal(false, deal);
            std::string alone(model->ops.positionSize, '\0');
            model->deal(deal, [&](std::string_view name) -> std::optional<int32_t> {
                const auto found = values.find(name);
                return found == values.end() ? std::nullopt : std::optional<int32_t>(found->second);
            }, alone.data());
            EXPECT_EQ(game->PositionBytes(), alone) << entry->name << " deal " << deal << (varied ? ", rules varied" : "");
        }
        game.reset();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryGame, SeededDealTest, ::testing::ValuesIn(RegisteredGameNumbers()),
                         [](const ::testing::TestParamInfo<int>& info) { return GameTestName(info.param); });

}  // namespace
