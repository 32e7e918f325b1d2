// The rule-settings dialogs and rules summaries of all sixteen configurable games, run modally.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "rules/rule_settings.h"
#include "tests/rules/rules_fixture.h"

namespace {

// The games with rule options.
std::vector<GameDescriptor> RuleGames() {
    std::vector<GameDescriptor> games;
    for (const GameDescriptor& game : RegisteredGames())
        if (game.HasRuleSettings()) games.push_back(game);
    return games;
}

constexpr int kRecycleValues[] = {0, 1, 2, 3, 4, 99999};
constexpr int kListValues[] = {-1, 0, 5, 11, 12, 3};
constexpr int kRounds = 6;

// The stored form of every option in one round; rounds walk through each option's values.
struct StoredValues {
    std::map<std::string, int> numbers;
    std::string scoring;
};

StoredValues ValuesForRound(const GameDescriptor& table, int round) {
    StoredValues values;
    for (const RuleOption& option : table.rules.options) {
        int value = 0;
        switch (option.control) {
        case RuleControl::kCheckBox: value = round % 2; break;
        case RuleControl::kSpinField: value = option.minimum + round % (option.maximum - option.minimum + 1); break;
        case RuleControl::kRecycles: value = kRecycleValues[round]; break;
        case RuleControl::kTwoChoices: value = round % 2 ? option.firstValue : option.secondValue; break;
        case RuleControl::kScoringChoice: values.scoring = round % 2 ? "English" : "American"; continue;
        case RuleControl::kRankList:
        case RuleControl::kRankListOrNext: value = kListValues[round]; break;
        case RuleControl::kCalculationList: value = (round * 5) % 13; break;
        }
        values.numbers[option.valueName] = value;
    }
    // The face-down rows stay below the number of rows.
    if (values.numbers.count("Rows") && table.number == 8)
        values.numbers["RowsFaceDown"] = values.numbers["Rows"] - 1;
    values.numbers["DontShowAgain"] = round % 2;
    return values;
}

void Store(const GameDescriptor& table, const StoredValues& values) {
    SettingsKey key(GameSettingsPath(table.name));
    for (const auto& [name, value] : values.numbers) WriteDwordValue(key, name, value);
    if (!values.scoring.empty()) WriteStringValue(key, "Scoring", values.scoring);
}

class RuleSettingsTest : public RulesTest {
protected:
    static std::optional<int32_t> Stored(const GameDescriptor& table, const std::string& name) {
        const auto value = Dword(GameSettingsPath(table.name), name.c_str());
        return value ? std::optional(static_cast<int32_t>(*value)) : std::nullopt;
    }
};

// What a control shows for the stored value (the list index for lists, the button for groups).
void ExpectControlShows(const RuleSettingsDialog& dialog, size_t index, const RuleOption& option,
                        const StoredValues& values) {
    SCOPED_TRACE(option.valueName);
    Window* control = dialog.OptionControl(index);
    const int value = option.control == RuleControl::kScoringChoice ? 0 : values.numbers.at(option.valueName);
    switch (option.control) {
    case RuleControl::kCheckBox: EXPECT_EQ(control->IsChecked(), value != 0); break;
    case RuleControl::kSpinField: EXPECT_EQ(static_cast<SpinField*>(control)->GetValue(), value); break;
    case RuleControl::kRecycles: {
        const int checked = static_cast<OptionGroup*>(control)->CheckedIndex();
        ASSERT_GE(checked, 0);
        EXPECT_EQ(kRecycleValues[checked], value);
        break;
    }
    case RuleControl::kTwoChoices:
        EXPECT_EQ(static_cast<OptionGroup*>(control)->CheckedIndex(), value == option.firstValue ? 0 : 1);
        break;
    case RuleControl::kScoringChoice:
        EXPECT_EQ(static_cast<OptionGroup*>(control)->CheckedIndex(), values.scoring == "American" ? 0 : 1);
        break;
    case RuleControl::kRankList:
    case RuleControl::kCalculationList:
        // -1 has no item in a rank list: nothing is selected.
        EXPECT_EQ(static_cast<DropDownList*>(control)->SelectedIndex(), value);
        break;
    case RuleControl::kRankListOrNext: {
        auto* list = static_cast<DropDownList*>(control);
        EXPECT_EQ(list->SelectedIndex(), value == -1 ? 13 : value);
        EXPECT_EQ(list->Item(list->SelectedIndex()), value == -1 ? "Next card from deck" : RuleRankName(value));
        break;
    }
    }
}

TEST_F(RuleSettingsTest, EveryGameShowsItsStoredValuesAndStoresThemBackUntouched) {
    ASSERT_EQ(RuleGames().size(), 16u);
    for (const GameDescriptor& table : RuleGames()) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE(std::string(table.name) + " round " + std::to_string(round));
            const StoredValues values = ValuesForRound(table, round);
            Store(table, values);
            RuleSettingsDialog dialog(table, RuleDialogMode::kRestart);
            EXPECT_EQ(dialog.GetY(), table.rules.dialogTop);
            EXPECT_EQ(dialog.GetHeight(), table.rules.dialogHeight);
            EXPECT_EQ(dialog.DontShowBox()->IsChecked(), round % 2 == 1);
            for (size_t i = 0; i < table.rules.options.size(); ++i) ExpectControlShows(dialog, i, table.rules.options[i], values);
            ClickOn(50, dialog.AcceptButton());
            ASSERT_EQ(dialog.RunModal(), RuleSettingsDialog::kResultAccepted);
            for (const auto& [name, value] : values.numbers) EXPECT_EQ(Stored(table, name), value) << name;
            if (!values.scoring.empty()) {
                EXPECT_EQ(String(GameSettingsPath(table.name), "Scoring"), values.scoring);
            }
        }
    }
}

TEST_F(RuleSettingsTest, MissingValuesOpenAsTheDefaultsAndCancelStoresNothing) {
    for (const GameDescriptor& table : RuleGames()) {
        SCOPED_TRACE(table.name);
        RuleSettingsDialog dialog(table, RuleDialogMode::kStart);
        ClickOn(50, dialog.AcceptButton());
        ASSERT_EQ(dialog.RunModal(), RuleSettingsDialog::kResultAccepted);
        for (const RuleOption& option : table.rules.options) {
            if (option.control == RuleControl::kScoringChoice) {
                EXPECT_EQ(String(GameSettingsPath(table.name), "Scoring"), "American");
            } else {
                EXPECT_EQ(Stored(table, option.valueName), option.defaultValue) << option.valueName;
            }
        }
        EXPECT_EQ(Stored(table, "DontShowAgain"), 0);

        // Cancel stores nothing even after every control changed.
        RuleSettingsDialog again(table, RuleDialogMode::kRestart);
        const std::string before = FileText();
        backend.After(30, [&] {
            for (size_t i = 0; i < table.rules.options.size(); ++i) {
                Window* control = again.OptionControl(i);
                switch (table.rules.options[i].control) {
                case RuleControl::kCheckBox: control->SetChecked(!control->IsChecked()); break;
                case RuleControl::kSpinField: static_cast<SpinField*>(control)->SetValue(table.rules.options[i].maximum); break;
                case RuleControl::kRecycles:
                case RuleControl::kTwoChoices:
                case RuleControl::kScoringChoice: static_cast<OptionGroup*>(control)->CheckIndex(1); break;
                default: static_cast<DropDownList*>(control)->SetSelectedIndex(4); break;
                }
            }
            again.DontShowBox()->SetChecked(1);
        });
        ClickOn(50, again.CancelButton());
        EXPECT_EQ(again.RunModal(), RuleSettingsDialog::kResultCancelled);
        EXPECT_EQ(FileText(), before);
    }
}

TEST_F(RuleSettingsTest, StartModeIsSkippedWhenSwitchedOffButTheGameMenuStillOpensIt) {
    const GameDescriptor& klondike = *FindGame(12);
    {
        RuleSettingsDialog start(klondike, RuleDialogMode::kStart);
        RuleSettingsDialog restart(klondike, RuleDialogMode::kRestart);
        EXPECT_EQ(start.AcceptButton()->GetText(), "Start");
        EXPECT_EQ(restart.AcceptButton()->GetText(), "Restart");
    }
    // Poker Solitaire reads "&Start" in both modes; Auld Lang Syne's cancel has a hot key.
    RuleSettingsDialog poker(*FindGame(14), RuleDialogMode::kRestart);
    EXPECT_EQ(poker.AcceptButton()->GetText(), "Start");

    Store(klondike, {{{"DontShowAgain", 1}}, ""});
    EXPECT_EQ(RunRuleSettings(12, RuleDialogMode::kStart), 1);
    EXPECT_EQ(backend.PresentCount(), 0);  // nothing was shown
    backend.PressKey(50, kHidEscape);
    EXPECT_EQ(RunRuleSettings(12, RuleDialogMode::kRestart), 2);
    EXPECT_TRUE(backend.ScriptDone());
    // Games without rule options start at once.
    EXPECT_FALSE(FindGame(1)->HasRuleSettings());
    EXPECT_EQ(RunRuleSettings(1, RuleDialogMode::kStart), 1);
}

TEST_F(RuleSettingsTest, FortyThievesFaceDownRowsFollowTheRowsField) {
    const GameDescriptor& table = *FindGame(8);
    Store(table, {{{"Rows", 5}, {"RowsFaceDown", 4}}, ""});
    RuleSettingsDialog dialog(table, RuleDialogMode::kRestart);
    auto* faceDown = static_cast<SpinField*>(dialog.OptionControl(3));
    auto* rows = static_cast<SpinField*>(dialog.OptionControl(4));
    ClickOn(50, rows->DownArrow());
    ClickOn(50, rows->DownArrow());
    backend.After(20, [&] {
        EXPECT_EQ(rows->GetValue(), 3);
        EXPECT_EQ(faceDown->GetValue(), 2);
    });
    // The face-down field cannot pass its new maximum.
    ClickOn(50, faceDown->UpArrow());
    ClickOn(50, dialog.AcceptButton());
    ASSERT_EQ(dialog.RunModal(), 1);
    EXPECT_EQ(Stored(table, "Rows"), 3);
    EXPECT_EQ(Stored(table, "RowsFaceDown"), 2);
}

}  // namespace
