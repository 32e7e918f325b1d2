// The rule-settings dialog and the rules-summary view of the sixteen games that have rule
// options. Both are built from one table per game (rule_tables.cpp): the options with their
// controls, positions and defaults, and the summary lines. The values live in the game's own key,
// SOFTWARE\Quillfen Software\Solitaire\<game name>, and every game reads them from there itself
// when it deals.
//
// Callers:
// - starting a game from the game list: RunRuleSettings(number, kStart); 1 deals, anything else
//   keeps the game list (the dialog is skipped, counting as 1, when "DontShowAgain" is set);
// - "&Game Settings..." during play: RunRuleSettings(number, kRestart); 1 deals anew;
// - "&Rules" during play: ShowRulesSummary(number).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/dialog.h"

enum class RuleDialogMode { kStart, kRestart };

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
    RuleControl control;
    const char* caption;    // the control's caption or the frame's title, with its hot key
    const char* valueName;  // the settings value
    int x, y;               // check box, spin field, frame or list position inside the dialog
    int defaultValue;
    int minimum = 0, maximum = 0;  // spin fields
    int fieldWidth = 20;           // spin fields
    int listWidth = 190;           // lists
    // Two-choice groups: the button captions and the values they store.
    const char* firstCaption = nullptr;
    const char* secondCaption = nullptr;
    int firstValue = 1, secondValue = 0;
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

struct RuleTable {
    int gameNumber;
    const char* name;          // the game's name: its settings key and the dialog's title
    const char* summaryTitle;  // "View Klondike Rules"
    int dialogTop, dialogHeight, buttonTop;
    bool hasRestart;           // false: the first button reads "&Start" in both modes
    const char* cancelCaption;
    std::span<const RuleOption> options;
    std::span<const SummaryLine> summary;
};

// The table of a game, or null for the four games without rule options.
const RuleTable* FindRuleTable(int gameNumber);
std::span<const RuleTable> AllRuleTables();
bool HasRuleSettings(int gameNumber);

// The label of Calculation's starting-card choice 0..12, or "" outside that range.
const char* CalculationChoiceLabel(int choice);
// The rank name of a rank index 0..12 ("Two" ... "Ace"), or "" outside that range.
const char* RuleRankName(int rank);

// The rule-settings dialog of one game. Construction reads the stored values (writing defaults
// for missing ones) and sets every control from them; the first button stores every value and
// closes with 1, "Cancel" or Escape closes with 2 and stores nothing.
class RuleSettingsDialog : public Dialog {
public:
    static constexpr int kResultAccepted = 1;
    static constexpr int kResultCancelled = 2;

    RuleSettingsDialog(const RuleTable& table, RuleDialogMode mode);
    void ProcessEvent() override;

    // The control that edits option index i of the table (a CheckBox, SpinField, OptionGroup or
    // DropDownList), for tests and the picture sample.
    Window* OptionControl(size_t index) const { return controls.at(index); }
    CheckBox* DontShowBox() const { return dontShowBox; }
    Button* AcceptButton() const { return acceptButton; }
    Button* CancelButton() const { return cancelButton; }

private:
    void CreateOption(const RuleOption& option, int storedValue, const std::string& storedText);
    void StoreValues() const;
    // Forty Thieves: the face-down rows stay below the number of rows.
    void FollowRowsField();

    const RuleTable& table;
    std::vector<Window*> controls;
    CheckBox* dontShowBox = nullptr;
    Button* acceptButton = nullptr;
    Button* cancelButton = nullptr;
    SpinField* rowsField = nullptr;
    SpinField* faceDownField = nullptr;
    int lastRows = 0;
};

// The summary view: the lines read afresh from the settings at every drawing, one "OK" button.
class RulesSummaryDialog : public Dialog {
public:
    static constexpr int kResultOk = 2000;

    explicit RulesSummaryDialog(const RuleTable& table);
    ~RulesSummaryDialog() override;
    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    Button* OkButton() const { return okButton; }

private:
    void DrawLines();

    const RuleTable& table;
    Button* okButton = nullptr;
    int font = 0;  // the card table's small font, 0 when it could not be loaded
};

// The summary lines of a game as its view shows them now.
std::vector<std::string> RulesSummaryLines(const RuleTable& table);

// Runs the game's rule-settings dialog and returns 1 (start or restart) or 2 (cancelled). In
// start mode a stored "DontShowAgain" skips the dialog and counts as 1. Games without rule
// options return 1 at once.
int RunRuleSettings(int gameNumber, RuleDialogMode mode);
// Runs the game's rules-summary view; nothing for games without rule options.
void ShowRulesSummary(int gameNumber);
