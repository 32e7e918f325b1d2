// The registry: all twenty games are there, in number order, and every place that names a game
// agrees with its descriptor (the table's own name, its model's entry and rule values, a look-up by
// typed name).
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "games/game_registry.h"
#include "games/models/model_registry.h"
#include "store/settings_store.h"
#include "tests/framework/game_fixture.h"

namespace {

class RegistryTest : public GameTest {};

TEST_F(RegistryTest, EveryGameIsRegisteredOnceUnderOneName) {
    ASSERT_EQ(RegisteredGames().size(), 20u);
    for (int number = 1; number <= 20; ++number) {
        const GameDescriptor* found = FindGame(number);
        ASSERT_NE(found, nullptr) << number;
        const GameDescriptor& descriptor = *found;
        SCOPED_TRACE(descriptor.name);
        EXPECT_EQ(descriptor.number, number);
        EXPECT_EQ(&RegisteredGames()[static_cast<size_t>(number) - 1], found);
        game = descriptor.create(artwork.get());
        EXPECT_STREQ(game->GetName(), descriptor.name);
        EXPECT_EQ(game->gameNumber, number);
        game.reset();
        // Typed names: without case or spaces.
        std::string squeezed;
        for (const char* c = descriptor.name; *c; ++c)
            if (*c != ' ') squeezed += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        EXPECT_EQ(FindGameByName(squeezed), found);
        EXPECT_EQ(FindGameByName(std::string("  ") + descriptor.name), found);

        // The model stands in the models' registry under the same number and name, and its rules
        // read exactly the values the dialog edits, with the same defaults and ranges.
        const GameModel* model = FindModel(number);
        ASSERT_NE(model, nullptr);
        EXPECT_STREQ(model->name, descriptor.name);
        EXPECT_EQ(FindModelByName(squeezed), model);
        EXPECT_EQ(model->ops.positionSize, descriptor.model->positionSize);
        ASSERT_EQ(model->rules.size(), descriptor.rules.options.size());
        for (const RuleOption& option : descriptor.rules.options) {
            const auto rule = std::find_if(model->rules.begin(), model->rules.end(),
                                           [&](const RuleInfo& info) { return SameName(info.name, option.valueName); });
            ASSERT_NE(rule, model->rules.end()) << option.valueName;
            SCOPED_TRACE(option.valueName);
            const bool onOff = option.control == RuleControl::kCheckBox ||
                               (option.control == RuleControl::kTwoChoices && option.firstValue == 1 && option.secondValue == 0);
            EXPECT_EQ(rule->checkBox, onOff);
            const int32_t readDefault = option.control == RuleControl::kScoringChoice ? 0 : option.ReadDefault();
            EXPECT_EQ(rule->defaultValue, readDefault) << "(a scoring choice reads American, 0)";
            const auto [lowest, highest, unlimited] = [&]() -> std::tuple<int32_t, int32_t, bool> {
                switch (option.control) {
                case RuleControl::kSpinField: return {option.minimum, option.maximum, false};
                case RuleControl::kRecycles: return {0, 4, true};
                case RuleControl::kRankList:
                case RuleControl::kRankListOrNext: return {-1, 12, false};
                case RuleControl::kCalculationList: return {0, 12, false};
                case RuleControl::kScoringChoice: return {0, 1, false};
                case RuleControl::kTwoChoices: return {std::min(option.firstValue, option.secondValue), std::max(option.firstValue, option.secondValue), false};
                default: return {rule->range.lowest, rule->range.highest, rule->range.orUnlimited};
                }
            }();
            if (!onOff) {
                EXPECT_EQ(rule->range.lowest, lowest);
                EXPECT_EQ(rule->range.highest, highest);
                EXPECT_EQ(rule->range.orUnlimited, unlimited);
            }
        }
    }
    EXPECT_EQ(FindGame(0), nullptr);
    EXPECT_EQ(FindGame(21), nullptr);
    EXPECT_EQ(FindGameByName("Klondikes"), nullptr);
    EXPECT_EQ(FindGameByName(""), nullptr);
}

// The readers hold each stored value to its option's range and fall back to the game's default.
TEST_F(RegistryTest, RuleValuesHoldStoredValuesToTheirRange) {
    const RuleValues klondike(12);
    EXPECT_EQ(klondike["CardsDealt"], 3);  // nothing stored
    {
        SettingsKey key(GameSettingsPath("Klondike"));
        WriteDwordValue(key, "CardsDealt", 2);
        WriteDwordValue(key, "Recycles", 7);
        WriteDwordValue(key, "StartCard", -1);
        WriteDwordValue(key, "AutoFlip", 5);
    }
    EXPECT_EQ(klondike["CardsDealt"], 2);
    EXPECT_EQ(klondike["Recycles"], 3);  // out of range: the default
    EXPECT_EQ(klondike["StartCard"], -1);
    EXPECT_TRUE(klondike.On("AutoFlip"));
    {
        SettingsKey key(GameSettingsPath("Klondike"));
        WriteDwordValue(key, "Recycles", RuleValues::kUnlimitedRecycles);
        WriteDwordValue(key, "CardsDealt", 4);
    }
    EXPECT_EQ(klondike["Recycles"], RuleValues::kUnlimitedRecycles);
    EXPECT_EQ(klondike["CardsDealt"], 3);
    // The dialog offers two recycles; the game reads none while nothing is stored.
    EXPECT_EQ(RuleValues(9)["Recycles"], 0);
    EXPECT_EQ(RuleValues(18)["Recycles"], 0);
    EXPECT_EQ(FindGame(9)->rules.options[2].defaultValue, 2);
    EXPECT_EQ(RuleValues(14).Text("Scoring"), "American");
}

}  // namespace
