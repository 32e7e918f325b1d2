#include "games/models/model_registry.h"

#include <array>
#include <cctype>
#include <cstring>

#include "games/models/golf.h"

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

const GameModel kModels[] = {
    Entry<GolfModel>(11, "Golf"),
};

}  // namespace

std::span<const GameModel> GameModels() { return kModels; }

const GameModel* FindModel(int number) {
    for (const GameModel& model : kModels)
        if (model.number == number) return &model;
    return nullptr;
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
