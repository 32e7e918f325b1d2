#include "rules/rule_settings.h"

#include <cstdio>
#include <iterator>

#include "cards/card_geometry.h"
#include "platform/paths.h"
#include "platform/translation.h"
#include "store/settings_store.h"
#include "ui/toolkit.h"

namespace {

constexpr int kDialogX = 200;
constexpr int kDialogWidth = 400;
constexpr int kButtonWidth = 100, kButtonHeight = 30;
// The two buttons share the width in thirds.
constexpr int kFirstButtonX = (kDialogWidth - 2 * kButtonWidth) / 3;
constexpr int kSecondButtonX = 2 * (kDialogWidth - 2 * kButtonWidth) / 3 + kButtonWidth;
constexpr int kLabelX = 30;
constexpr int kSpinLabelDrop = 3;  // a spin field's label sits this much lower than its field
constexpr int kListLabelDrop = 5;  // and a list's label this much lower than its list
constexpr int kCaptionWidthLimit = 330;
constexpr int kDontShowAboveButtons = 40;
constexpr int kListTextLength = 30;
constexpr int kFrameWidth = 340;
constexpr int kSixChoiceFrameHeight = 80, kTwoChoiceFrameHeight = 40;
// Option buttons inside a frame: two columns of up to three rows.
constexpr int kOptionColumnX[2] = {10, 150};
constexpr int kOptionRowY[3] = {15, 35, 55};

constexpr int kRecycleValues[] = {0, 1, 2, 3, 4, 99999};
constexpr const char* kRecycleCaptions[] = {TranslateLater("recycles", "&None"),    "&1", "&2", "&3", "&4",
                                            TranslateLater("recycles", "&Infinite")};
constexpr int kNextCardItem = 13;
constexpr int kNextCardValue = -1;
constexpr int kRankCount = 13;

// The stored values of the scoring choice (kept in English: they are settings, not text).
constexpr const char* kAmerican = "American";
constexpr const char* kEnglish = "English";

// Summary view layout.
constexpr int kSummaryBaseHeight = 110, kSummaryLinePitch = 20, kSummaryFirstLine = 60, kSummaryTextX = 20;
constexpr int kScreenHeight = 600;
constexpr int kSummaryDrop = 10;  // the view sits this much below the screen's middle

const RuleOption* FindOption(const RuleTable& table, std::string_view valueName) {
    for (const RuleOption& option : table.options)
        if (valueName == option.valueName) return &option;
    return nullptr;
}

std::string LabelText(const char* caption) { return ParseCaption(Translate(caption)).text; }

}  // namespace

// --- Rule settings ---

RuleSettingsDialog::RuleSettingsDialog(const GameDescriptor& of, RuleDialogMode mode)
    : Dialog(kDialogX, of.rules.dialogTop, kDialogWidth, of.rules.dialogHeight,
             FormatText(Translate("%s Rule Settings"), GameDisplayName(of))),
      game(of),
      table(of.rules) {
    const int art = ThemeDialogArt();
    int dontShow = 0;
    {
        SettingsKey key(GameSettingsPath(game.name));
        for (const RuleOption& option : table.options) {
            if (option.control == RuleControl::kScoringChoice) {
                CreateOption(option, 0, ReadStringValue(key, option.valueName, kAmerican));
            } else {
                CreateOption(option, ReadDwordValue(key, option.valueName, option.defaultValue), {});
            }
        }
        dontShow = ReadDwordValue(key, "DontShowAgain", 0);
    }
    const std::string dontShowCaption =
        FormatText(Translate("&Don't show %s Settings at start again"), GameDisplayName(game));
    dontShowBox = Create<CheckBox>(kLabelX, table.buttonTop - kDontShowAboveButtons, dontShowCaption, 1,
                                   kCaptionWidthLimit);
    dontShowBox->SetChecked(dontShow != 0);
    const bool restart = mode == RuleDialogMode::kRestart && table.hasRestart;
    acceptButton = Create<Button>(kFirstButtonX, table.buttonTop, kButtonWidth, kButtonHeight, art,
                                  restart ? Translate("&Restart") : Translate("&Start"));
    cancelButton = Create<Button>(kSecondButtonX, table.buttonTop, kButtonWidth, kButtonHeight, art,
                                  Translate(table.cancelCaption));
    SetDefaultButton(acceptButton);

    // A face-down row count always leaves the last row face up.
    for (size_t i = 0; i < table.options.size(); ++i) {
        const std::string_view name = table.options[i].valueName;
        if (table.options[i].control != RuleControl::kSpinField) continue;
        if (name == "Rows") rowsField = static_cast<SpinField*>(controls[i]);
        if (name == "RowsFaceDown") faceDownField = static_cast<SpinField*>(controls[i]);
    }
    if (rowsField != nullptr && faceDownField != nullptr) {
        lastRows = rowsField->GetValue();
        faceDownField->SetRange(0, lastRows - 1, 1);
    }
}

void RuleSettingsDialog::CreateOption(const RuleOption& option, int stored, const std::string& storedText) {
    switch (option.control) {
    case RuleControl::kCheckBox: {
        auto* box = Create<CheckBox>(option.x, option.y, Translate(option.caption), 1, kCaptionWidthLimit);
        box->SetChecked(stored != 0);
        controls.push_back(box);
        break;
    }
    case RuleControl::kSpinField: {
        Create<Label>(kLabelX, option.y + kSpinLabelDrop, -1, LabelText(option.caption).c_str());
        auto* spin = Create<SpinField>(option.x, option.y, option.fieldWidth, Translate(option.caption));
        spin->SetRange(option.minimum, option.maximum, 1);
        // A stored value outside the range is shown as it is.
        spin->SetValue(stored);
        controls.push_back(spin);
        break;
    }
    case RuleControl::kRecycles: {
        auto* group = Create<OptionGroup>(option.x, option.y);
        for (size_t i = 0; i < std::size(kRecycleCaptions); ++i) {
            group->Create<OptionButton>(kOptionColumnX[i / 3], kOptionRowY[i % 3],
                                        Translate("recycles", kRecycleCaptions[i]));
            if (kRecycleValues[i] == stored) group->CheckIndex(static_cast<int>(i));
        }
        Create<GroupBox>(option.x, option.y, kFrameWidth, kSixChoiceFrameHeight, Translate(option.caption));
        controls.push_back(group);
        break;
    }
    case RuleControl::kTwoChoices:
    case RuleControl::kScoringChoice: {
        auto* group = Create<OptionGroup>(option.x, option.y);
        group->Create<OptionButton>(kOptionColumnX[0], kOptionRowY[0], Translate(option.firstCaption));
        group->Create<OptionButton>(kOptionColumnX[1], kOptionRowY[0], Translate(option.secondCaption));
        int index = -1;
        if (option.control == RuleControl::kScoringChoice) {
            // Any text but "American" plays the English table.
            index = storedText == kAmerican ? 0 : 1;
        } else if (stored == option.firstValue) {
            index = 0;
        } else if (stored == option.secondValue) {
            index = 1;
        }
        if (index >= 0) group->CheckIndex(index);
        Create<GroupBox>(option.x, option.y, kFrameWidth, kTwoChoiceFrameHeight, Translate(option.caption));
        controls.push_back(group);
        break;
    }
    case RuleControl::kRankList:
    case RuleControl::kRankListOrNext:
    case RuleControl::kCalculationList: {
        Create<Label>(kLabelX, option.y + kListLabelDrop, -1, LabelText(option.caption).c_str());
        auto* list = Create<DropDownList>(option.x, option.y, option.listWidth, kListTextLength);
        for (int i = 0; i < kRankCount; ++i)
            list->AddItem(option.control == RuleControl::kCalculationList ? CalculationChoiceLabel(i) : RuleRankName(i));
        if (option.control == RuleControl::kRankListOrNext) {
            list->AddItem(Translate("Next card from deck"));
            if (stored == kNextCardValue) stored = kNextCardItem;
        }
        // A value without an item (-1 in a list without "Next card from deck") selects nothing.
        list->SetSelectedIndex(stored);
        controls.push_back(list);
        break;
    }
    }
}

void RuleSettingsDialog::StoreValues() const {
    SettingsKey key(GameSettingsPath(game.name));
    for (size_t i = 0; i < table.options.size(); ++i) {
        const RuleOption& option = table.options[i];
        Window* control = controls[i];
        const char* name = option.valueName;
        switch (option.control) {
        case RuleControl::kCheckBox:
            WriteDwordValue(key, name, control->IsChecked() ? 1 : 0);
            break;
        case RuleControl::kSpinField:
            WriteDwordValue(key, name, static_cast<SpinField*>(control)->GetValue());
            break;
        case RuleControl::kRecycles: {
            // With no button checked (a stored value of no button) the value stays as it was.
            const int index = static_cast<OptionGroup*>(control)->CheckedIndex();
            if (index >= 0) WriteDwordValue(key, name, kRecycleValues[index]);
            break;
        }
        case RuleControl::kTwoChoices: {
            const int index = static_cast<OptionGroup*>(control)->CheckedIndex();
            if (index >= 0) WriteDwordValue(key, name, index == 0 ? option.firstValue : option.secondValue);
            break;
        }
        case RuleControl::kScoringChoice: {
            const int index = static_cast<OptionGroup*>(control)->CheckedIndex();
            WriteStringValue(key, name, index == 0 ? kAmerican : kEnglish);
            break;
        }
        case RuleControl::kRankList:
        case RuleControl::kRankListOrNext:
        case RuleControl::kCalculationList: {
            int index = static_cast<DropDownList*>(control)->SelectedIndex();
            if (option.control == RuleControl::kRankListOrNext && index == kNextCardItem) index = kNextCardValue;
            WriteDwordValue(key, name, index);
            break;
        }
        }
    }
    WriteDwordValue(key, "DontShowAgain", dontShowBox->IsChecked() ? 1 : 0);
}

void RuleSettingsDialog::FollowRowsField() {
    if (rowsField == nullptr || faceDownField == nullptr) return;
    const int rows = rowsField->GetValue();
    if (rows == lastRows) return;
    lastRows = rows;
    faceDownField->SetRange(0, rows - 1, 1);
    if (faceDownField->GetValue() > rows - 1) faceDownField->SetValue(rows - 1);
}

void RuleSettingsDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    FollowRowsField();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == acceptButton->GetId()) {
            StoreValues();
            result = kResultAccepted;
        } else if (e.sourceId == cancelButton->GetId()) {
            result = kResultCancelled;
        }
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape && !ToolkitMenuOpen()) {
        result = kResultCancelled;
    }
}

int RunRuleSettings(int gameNumber, RuleDialogMode mode) {
    const GameDescriptor* game = FindGame(gameNumber);
    if (game == nullptr || !game->HasRuleSettings()) return RuleSettingsDialog::kResultAccepted;
    if (mode == RuleDialogMode::kStart) {
        SettingsKey key(GameSettingsPath(game->name));
        if (ReadDwordValue(key, "DontShowAgain", 0) != 0) return RuleSettingsDialog::kResultAccepted;
    }
    int outcome = 0;
    {
        RuleSettingsDialog dialog(*game, mode);
        outcome = dialog.RunModal();
    }
    PresentQueuedRects();
    return outcome == RuleSettingsDialog::kResultAccepted ? outcome : RuleSettingsDialog::kResultCancelled;
}

// --- Rules summary ---

std::vector<std::string> RulesSummaryLines(const GameDescriptor& game) {
    const RuleTable& table = game.rules;
    std::vector<std::string> lines;
    SettingsKey key(GameSettingsPath(game.name));
    char line[400];
    for (const SummaryLine& summary : table.summary) {
        const RuleOption* option = FindOption(table, summary.valueName);
        const int fallback = option != nullptr ? option->defaultValue : 0;
        if (summary.format == SummaryFormat::kString) {
            const std::string value = ReadStringValue(key, summary.valueName, kAmerican);
            // The stored value names the table; the summary shows its translated name.
            const char* shown = value == kAmerican  ? Translate("scoring", "American")
                                : value == kEnglish ? Translate("scoring", "English")
                                                    : value.c_str();
            std::snprintf(line, sizeof line, Translate(summary.text), shown);
            lines.emplace_back(line);
            continue;
        }
        const int value = ReadDwordValue(key, summary.valueName, fallback);
        switch (summary.format) {
        case SummaryFormat::kYesNo:
            lines.push_back(
                FormatText(value != 0 ? Translate("%s: Yes") : Translate("%s: No"), Translate(summary.text)));
            break;
        case SummaryFormat::kNumber:
            std::snprintf(line, sizeof line, Translate(summary.text), value);
            lines.emplace_back(line);
            break;
        case SummaryFormat::kRecycles:
            lines.push_back(value == kUnlimitedRecycles ? std::string(Translate("Number of recycles: Infinite"))
                                                        : FormatText(Translate("Number of recycles: %d"), value));
            break;
        case SummaryFormat::kStartCard: {
            const std::string rank = RuleRankName(value);
            lines.push_back(rank.empty() ? std::string(Translate("Starting Card: Next Card form Deck"))
                                         : FormatText(Translate("Starting Card: %s"), rank.c_str()));
            break;
        }
        case SummaryFormat::kCalculation:
            lines.push_back(FormatText(Translate("Starting Cards: %s"), CalculationChoiceLabel(value)));
            break;
        case SummaryFormat::kTwoTexts:
            lines.emplace_back(Translate(value != 0 ? summary.text : summary.otherText));
            break;
        case SummaryFormat::kString:
            break;
        }
    }
    return lines;
}

namespace {
int SummaryHeight(const RuleTable& table) {
    return kSummaryBaseHeight + kSummaryLinePitch * static_cast<int>(table.summary.size());
}
}  // namespace

RulesSummaryDialog::RulesSummaryDialog(const GameDescriptor& of)
    : Dialog(kDialogX, (kScreenHeight - SummaryHeight(of.rules)) / 2 + kSummaryDrop, kDialogWidth,
             SummaryHeight(of.rules), Translate(of.rules.summaryTitle)),
      game(of) {
    okButton = Create<Button>(kDialogWidth / 2 - kButtonWidth / 2, height - 50, kButtonWidth, kButtonHeight,
                              ThemeDialogArt(), Translate("OK"));
    SetDefaultButton(okButton);
    font = LoadFont(DataPath(card_geometry::kCardTableFontFile).c_str());
}

RulesSummaryDialog::~RulesSummaryDialog() {
    if (font > 0) UnloadFont(font);
}

void RulesSummaryDialog::DrawLines() {
    SelectScreenBuffer();
    SetColor(CurrentTheme().textColor);
    const std::vector<std::string> lines = RulesSummaryLines(game);
    for (size_t i = 0; i < lines.size(); ++i) {
        MoveTo(x + kSummaryTextX, y + kSummaryFirstLine + kSummaryLinePitch * static_cast<int>(i));
        if (font > 0) {
            SelectFont(font);
            SetTextJustify(-1, 1);
            DrawText(lines[i].c_str(), static_cast<int>(lines[i].size()));
        } else {
            DrawRegularText(lines[i], -1, 1);
        }
    }
}

void RulesSummaryDialog::Draw() {
    Dialog::Draw();
    DrawLines();
}

void RulesSummaryDialog::Repaint() {
    Dialog::Repaint();
    DrawLines();
}

void RulesSummaryDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if ((e.type == kEventCommand && e.sourceId == okButton->GetId()) ||
        (e.keyKind == kKeyDown && e.keyChar == kKeyEscape)) {
        result = kResultOk;
    }
}

void ShowRulesSummary(int gameNumber) {
    const GameDescriptor* game = FindGame(gameNumber);
    if (game == nullptr || !game->HasRuleSettings()) return;
    {
        RulesSummaryDialog dialog(*game);
        dialog.RunModal();
    }
    PresentQueuedRects();
}
