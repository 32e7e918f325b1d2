// The rule-settings dialog and the rules-summary view of the sixteen games that have rule
// options. Both are built from the rule table of the game's descriptor (games/game_registry.h): the
// options with their controls, positions, defaults and ranges, and the summary lines. The values
// live in the game's own key, SOFTWARE\Quillfen Software\Solitaire\<game name>, and every game
// reads them from there itself (through RuleValues) when it deals.
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

#include "games/game_registry.h"
#include "ui/dialog.h"

enum class RuleDialogMode { kStart, kRestart };


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

    RuleSettingsDialog(const GameDescriptor& game, RuleDialogMode mode);
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

    const GameDescriptor& game;
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

    explicit RulesSummaryDialog(const GameDescriptor& game);
    ~RulesSummaryDialog() override;
    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    Button* OkButton() const { return okButton; }

private:
    void DrawLines();

    const GameDescriptor& game;
    Button* okButton = nullptr;
    int font = 0;  // the card table's small font, 0 when it could not be loaded
};

// The summary lines of a game as its view shows them now.
std::vector<std::string> RulesSummaryLines(const GameDescriptor& game);

// Runs the game's rule-settings dialog and returns 1 (start or restart) or 2 (cancelled). In
// start mode a stored "DontShowAgain" skips the dialog and counts as 1. Games without rule
// options return 1 at once.
int RunRuleSettings(int gameNumber, RuleDialogMode mode);
// Runs the game's rules-summary view; nothing for games without rule options.
void ShowRulesSummary(int gameNumber);
