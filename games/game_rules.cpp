#include "games/game_rules.h"

#include "games/game_registry.h"
#include "store/settings_store.h"

namespace {

constexpr int32_t kFirstStartCard = -1, kLastStartCard = 12;
constexpr int32_t kMostRecycles = 4;

bool InRange(const RuleOption& option, int32_t value) {
    switch (option.control) {
    case RuleControl::kSpinField:
        return value >= option.minimum && value <= option.maximum;
    case RuleControl::kRecycles:
        return (value >= 0 && value <= kMostRecycles) || value == RuleValues::kUnlimitedRecycles;
    case RuleControl::kRankList:
    case RuleControl::kRankListOrNext:
        return value >= kFirstStartCard && value <= kLastStartCard;
    case RuleControl::kCalculationList:
        return value >= 0 && value <= kLastStartCard;
    default:
        return true;
    }
}

}  // namespace

RuleValues::RuleValues(int gameNumber) : game(*FindGame(gameNumber)) {}

const RuleOption& RuleValues::Option(const char* valueName) const {
    for (const RuleOption& option : game.rules.options)
        if (std::string_view(option.valueName) == valueName) return option;
    // A game reads only the values its descriptor lists; anything else is a programming error
    // caught by the tests on the first deal.
    static constexpr RuleOption kMissing{};
    return kMissing;
}

int32_t RuleValues::Unchecked(const char* valueName) const {
    const RuleOption& option = Option(valueName);
    SettingsKey key(GameSettingsPath(game.name));
    return ReadDwordValue(key, valueName, option.ReadDefault());
}

int32_t RuleValues::operator[](const char* valueName) const {
    const RuleOption& option = Option(valueName);
    const int32_t value = Unchecked(valueName);
    return InRange(option, value) ? value : option.ReadDefault();
}

int32_t RuleValues::Number(const char* valueName) const {
    if (Option(valueName).control == RuleControl::kScoringChoice) return Text(valueName) == "English";
    return (*this)[valueName];
}

std::string RuleValues::Text(const char* valueName) const {
    SettingsKey key(GameSettingsPath(game.name));
    return ReadStringValue(key, valueName, Option(valueName).control == RuleControl::kScoringChoice ? "American" : "");
}
