#include "store/dialogs/high_scores_dialog.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/translation.h"

namespace {

constexpr int kDialogX = 200, kDialogY = 100, kDialogSize = 360;
constexpr int kHeaderX = 205, kHeaderY = 60;
constexpr int kRowTop = 85, kRowPitch = 20, kNameX = 35, kScoreX = 220, kColumnGap = 12;
constexpr int kEmptyRow = 2;  // where Translate("No scores yet.") stands
constexpr int kSmallButtonWidth = 90, kButtonHeight = 30;
constexpr int kCloseX = 53, kResetX = 216;
constexpr int kEndOfGameButtonY = 280, kMenuButtonY = 310;
constexpr int kPlayAgainX = 120, kPlayAgainY = 317, kPlayAgainWidth = 120;

// A long player name is cut to its column and ends in "...", so it never runs into the scores or
// out past the dialog's frame onto the table (which the dialog would not restore).
std::string FitToWidth(std::string text, int width) {
    if (RegularTextWidth(text) <= width) return text;
    while (!text.empty() && RegularTextWidth(text + "...") > width) text.pop_back();
    return text + "...";
}

}  // namespace

HighScoresDialog::HighScoresDialog(const std::string& name, int32_t highlight, bool endOfGame)
    : Dialog(kDialogX, kDialogY, kDialogSize, kDialogSize,
             FormatText(Translate("%s High Scores"), Translate("game name", name.c_str()))),
      gameName(name),
      entries(ReadScoreTable(name)),
      highlightScore(highlight) {
    const int art = ThemeDialogArt();
    const int buttonY = endOfGame ? kEndOfGameButtonY : kMenuButtonY;
    closeButton = Create<Button>(kCloseX, buttonY, kSmallButtonWidth, kButtonHeight, art, Translate("Close"));
    resetButton = Create<Button>(kResetX, buttonY, kSmallButtonWidth, kButtonHeight, art, Translate("&Reset"));
    SetDefaultButton(closeButton);
    if (endOfGame)
        playAgainButton =
            Create<Button>(kPlayAgainX, kPlayAgainY, kPlayAgainWidth, kButtonHeight, art, Translate("&Play Again"));
}

void HighScoresDialog::DrawTable() {
    SelectScreenBuffer();
    const ToolkitTheme& theme = CurrentTheme();
    SetColor(theme.textColor);
    MoveTo(x + kNameX, y + kHeaderY);
    DrawRegularText(Translate("high scores", "Player"), -1, 0);
    MoveTo(x + kHeaderX, y + kHeaderY);
    DrawRegularText(Translate("high scores", "Score"), -1, 0);
    if (entries.empty()) {
        // An empty table still shows its columns, and says why they are empty.
        const char* empty = Translate("No scores yet.");
        MoveTo(x + (kDialogSize - RegularTextWidth(empty)) / 2, y + kRowTop + kRowPitch * kEmptyRow);
        DrawRegularText(empty, -1, 0);
        return;
    }
    const int highlighted = HighlightedPlace(entries, highlightScore);
    const int first = page * kScorePlaces;
    const int last = std::min(static_cast<int>(entries.size()), first + kScorePlaces);
    char line[400];
    for (int i = first; i < last; ++i) {
        const int rowY = y + kRowTop + kRowPitch * (i - first);
        SetColor(i == highlighted ? theme.controlHighlightColor : theme.textColor);
        std::snprintf(line, sizeof line, "%d. %s", i + 1, entries[static_cast<size_t>(i)].name.c_str());
        MoveTo(x + kNameX, rowY);
        DrawRegularText(FitToWidth(line, kScoreX - kNameX - kColumnGap), -1, 0);
        MoveTo(x + kScoreX, rowY);
        DrawRegularText(GroupDigits(entries[static_cast<size_t>(i)].score), -1, 0);
    }
}

void HighScoresDialog::Draw() {
    Dialog::Draw();
    DrawTable();
}

void HighScoresDialog::Repaint() {
    Dialog::Repaint();
    DrawTable();
}

void HighScoresDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == closeButton->GetId()) {
            result = kAccepted;
        } else if (e.sourceId == resetButton->GetId()) {
            // Reset asks nothing: the table goes at once.
            ClearScores(gameName);
            result = kAccepted;
        } else if (playAgainButton && e.sourceId == playAgainButton->GetId()) {
            result = kPlayAgain;
        }
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kAccepted;
    }
}

void ShowHighScores(const std::string& gameName, int32_t highlightScore) {
    {
        HighScoresDialog dialog(gameName, highlightScore, false);
        dialog.RunModal();
    }
    PresentQueuedRects();
}
