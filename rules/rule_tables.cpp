// The labels the rule dialogs and summaries show for stored values.
#include "rules/rule_settings.h"

#include <iterator>

#include "platform/translation.h"

namespace {

constexpr const char* kRankNames[13] = {
    TranslateLater("rank", "Two"),   TranslateLater("rank", "Three"), TranslateLater("rank", "Four"),
    TranslateLater("rank", "Five"),  TranslateLater("rank", "Six"),   TranslateLater("rank", "Seven"),
    TranslateLater("rank", "Eight"), TranslateLater("rank", "Nine"),  TranslateLater("rank", "Ten"),
    TranslateLater("rank", "Jack"),  TranslateLater("rank", "Queen"), TranslateLater("rank", "King"),
    TranslateLater("rank", "Ace")};
// The cards' own letters, as their corners show them in every language.
constexpr const char* kCalculationLabels[13] = {
    "2, 4, 6, 8",  "3, 6, 9, Q", "4, 8, Q, 3",  "5, 10, 2, 7", "6, Q, 5, J",  "7, A, 8, 2", "8, 3, J, 6",
    "9, 5, A, 10", "10, 7, J, A", "J, 9, 7, 5", "Q, J, 10, 9", "K, K, K, K", "A, 2, 3, 4"};

}  // namespace

const char* CalculationChoiceLabel(int choice) {
    return choice >= 0 && choice < static_cast<int>(std::size(kCalculationLabels)) ? kCalculationLabels[choice] : "";
}

const char* RuleRankName(int rank) {
    return rank >= 0 && rank < static_cast<int>(std::size(kRankNames)) ? Translate("rank", kRankNames[rank]) : "";
}
