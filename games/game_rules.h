// A game's rule options: how each is edited in its rule-settings dialog, its stored value's name,
// default and range, and the lines of the rules summary; and the reader through which the game
// takes its values from the settings store when it deals. The values live in the game's own key,
// SOFTWARE\Quillfen Software\Solitaire\<game name>.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "games/models/model_parts.h"

// How one option is edited and stored.
enum class RuleControl {
    kCheckBox,       // 0 or 1
    kSpinField,      // a number in [minimum, maximum]
    kRecycles,       // six option buttons: 0, 1, 2, 3, 4 and 99999 (no limit)
    kTwoChoices,     // two option buttons storing firstValue and secondValue
    kScoringChoice,  // two option buttons storing the strings "American" and "English"
    kRankList,       // "Two" ... "Ace" as rank indices 0..12 (-1 shows no selection)
    kRankListOrNext, // the same plus "Next card from deck", stored as -1
    kCalculationList // the thirteen starting-card choices of Calculation, 0..12
};

struct RuleOption {
    RuleControl control = RuleControl::kCheckBox;
    const char* caption = "";    // the control's caption or the frame's title, with its hot key
    const char* valueName = "";  // the settings value
    int x = 0, y = 0;            // check box, spin field, frame or list position inside the dialog
    int defaultValue = 0;
    int minimum = 0, maximum = 0;  // spin fields
    int fieldWidth = 20;           // spin fields
    int listWidth = 190;           // lists
    // Two-choice groups: the button captions and the values they store.
    const char* firstCaption = nullptr;
    const char* secondCaption = nullptr;
    int firstValue = 1, secondValue = 0;
    // What the game reads when no value (or one out of range) is stored, where that differs from
    // the dialog's default.
    std::optional<int> readDefault = std::nullopt;
    int ReadDefault() const { return readDefault.value_or(defaultValue); }
};

// How a summary line shows a value.
enum class SummaryFormat {
    kYesNo,        // "<text>: Yes" or "<text>: No"
    kNumber,       // text is a "%d" format
    kRecycles,     // "Number of recycles: Infinite" or the number
    kStartCard,    // "Starting Card: <rank>" or "Starting Card: Next Card form Deck"
    kCalculation,  // "Starting Cards: <choice label>"
    kTwoTexts,     // text when the value is non-zero, otherText when it is zero
    kString        // text is a "%s" format of a string value
};

struct SummaryLine {
    SummaryFormat format;
    const char* text;
    const char* valueName;
    const char* otherText = nullptr;
};

// A game's rule-settings dialog and rules summary. Empty options: the game has no rule options.
struct RuleTable {
    const char* summaryTitle;  // "View Klondike Rules"
    int dialogTop, dialogHeight, buttonTop;
    bool hasRestart;           // false: the first button reads "&Start" in both modes
    const char* cancelCaption;
    std::span<const RuleOption> options;
    std::span<const SummaryLine> summary;
};

struct GameDescriptor;

// The stored rule values of one game, each held to its option's range: a missing value, or one
// outside the range, reads as the option's default. Check boxes and two-choice groups accept any
// number (the game reads them as on when non-zero); recycles are 0..4 or kUnlimitedRecycles;
// starting cards -1 (the next card from the deck) to 12 (the Ace).
class RuleValues {
public:
    static constexpr int32_t kUnlimitedRecycles = ::kUnlimitedRecycles;

    explicit RuleValues(int gameNumber);
    int32_t operator[](const char* valueName) const;
    bool On(const char* valueName) const { return (*this)[valueName] != 0; }
    // The stored number without the range check (a range that follows another value).
    int32_t Unchecked(const char* valueName) const;
    // A string value (Poker Solitaire's scoring).
    std::string Text(const char* valueName) const;
    // The value as a model's rules hold it: a scoring choice as 1 for "English", 0 for "American".
    int32_t Number(const char* valueName) const;

private:
    const RuleOption& Option(const char* valueName) const;
    const GameDescriptor& game;
};

// A game's rules (its model's Rules) from the stored values, each held to its option's range
// unless its field is read unchecked.
template <typename Rules>
Rules ReadRules(int gameNumber) {
    const RuleValues values(gameNumber);
    return RulesFrom<Rules>([&](const RuleField<Rules>& field) -> std::optional<int32_t> {
        return field.unchecked ? values.Unchecked(field.name) : values.Number(field.name);
    });
}
