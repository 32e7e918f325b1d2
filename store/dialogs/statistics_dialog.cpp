#include "store/dialogs/statistics_dialog.h"

#include <algorithm>
#include <cstdio>

#include "platform/translation.h"
#include "store/settings_store.h"
#include "ui/paint.h"

namespace {

constexpr int kDialogX = 30, kDialogY = 40, kDialogWidth = 740, kDialogHeight = 520;
constexpr int kHeaderY = 52, kRowTop = 74, kRowPitch = 19;
constexpr int kNameX = 24;
// The last column ends as far from the frame's right side as the names start from its left.
constexpr StatisticsDialog::Column kColumns[] = {
    {222, TranslateLater("statistics", "Played")},
    {278, TranslateLater("statistics", "Won")},
    {334, TranslateLater("statistics", "Win %")},
    {394, TranslateLater("statistics", "Streak")},
    {452, TranslateLater("statistics", "Best")},
    {538, TranslateLater("statistics", "Best Score")},
    {606, TranslateLater("statistics", "Average")},
    {666, TranslateLater("statistics", "Fastest")},
    {kDialogWidth - kNameX, TranslateLater("statistics", "Time")},
};
constexpr int kFigureColumns = static_cast<int>(std::size(kColumns));
constexpr int kButtonY = 470, kButtonWidth = 90, kButtonHeight = 30;
constexpr int kCloseX = 250, kResetX = 400, kPreviousX = 30, kNextX = kDialogWidth - 30 - kButtonWidth;

std::string Number(int32_t value) { return GroupDigits(value); }

}  // namespace

std::string ClockText(int32_t seconds) {
    seconds = std::max(seconds, 0);
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::span<const StatisticsDialog::Column> StatisticsDialog::Columns() { return kColumns; }

std::string StatisticsDialog::Duration(int32_t seconds) { return seconds <= 0 ? "-" : ClockText(seconds); }

StatisticsDialog::StatisticsDialog(std::vector<std::string> gameNames, const std::string& currentGame, int player)
    : Dialog(kDialogX, kDialogY, kDialogWidth, kDialogHeight, Translate("Statistics")),
      names(std::move(gameNames)),
      player(player) {
    const auto found = std::find(names.begin(), names.end(), currentGame);
    if (found != names.end()) {
        highlighted = static_cast<int>(found - names.begin());
        page = highlighted / kRowsPerPage;
    }
    ReadFigures();
    const int art = ThemeDialogArt();
    closeButton = Create<Button>(kCloseX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("Close"));
    resetButton = Create<Button>(kResetX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("&Reset"));
    SetDefaultButton(closeButton);
    if (static_cast<int>(names.size()) > kRowsPerPage) {
        previousButton = Create<Button>(kPreviousX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("&Previous"));
        nextButton = Create<Button>(kNextX, kButtonY, kButtonWidth, kButtonHeight, art, Translate("&Next"));
    }
}

void StatisticsDialog::ReadFigures() {
    figures.clear();
    for (const std::string& name : names) figures.push_back(ReadStatistics(player, name));
}

void StatisticsDialog::DrawTable() {
    SelectScreenBuffer();
    const ToolkitTheme& theme = CurrentTheme();
    // The rows are drawn over a clean face, so a reset or a page turn leaves nothing behind.
    PaintFace(kNameX, kHeaderY - 2, kDialogWidth - kNameX - 10, kRowTop + kRowsPerPage * kRowPitch - kHeaderY);
    auto rightAligned = [&](const std::string& text, int right, int rowY) {
        MoveTo(x + right - RegularTextWidth(text), rowY);
        DrawRegularText(text, -1, 0);
    };
    SetColor(theme.textColor);
    MoveTo(x + kNameX, y + kHeaderY);
    DrawRegularText(Translate("statistics", "Game"), -1, 0);
    for (const Column& column : kColumns)
        rightAligned(Translate("statistics", column.heading), column.right, y + kHeaderY);

    const int first = page * kRowsPerPage;
    const int last = std::min(static_cast<int>(names.size()), first + kRowsPerPage);
    for (int i = first; i < last; ++i) {
        const GameStatistics& f = figures[static_cast<size_t>(i)];
        const int rowY = y + kRowTop + kRowPitch * (i - first);
        // The current game's row on a band of the text colour, its text as strong as the rest.
        if (i == highlighted) {
            const int left = x + kNameX - 6, right = x + kDialogWidth - kNameX + 6;
            const int top = rowY - 9, bottom = rowY + 8;
            ResetClip();
            FillShape(left, right, top, bottom, RoundedBox(left, top, right, bottom, 4), theme.textColor, 0.14);
        }
        SetColor(theme.textColor);
        MoveTo(x + kNameX, rowY);
        DrawRegularText(Translate("game name", names[static_cast<size_t>(i)].c_str()), -1, 0);
        const std::optional<int32_t> average = f.AverageScore();
        const std::string cells[kFigureColumns] = {
            Number(f.played),
            Number(f.won),
            f.played > 0 ? FormatText(Translate("%d%%"), f.WinPercent()) : "-",
            Number(f.streak),
            Number(f.bestStreak),
            f.scored > 0 ? Number(f.bestScore) : "-",
            average ? Number(*average) : "-",
            Duration(f.fastestWin),
            Duration(f.secondsPlayed),
        };
        for (int c = 0; c < kFigureColumns; ++c) rightAligned(cells[c], kColumns[c].right, rowY);
    }
    QueueSelf();
}

void StatisticsDialog::Draw() {
    Dialog::Draw();
    DrawTable();
}

void StatisticsDialog::Repaint() {
    Dialog::Repaint();
    DrawTable();
}

void StatisticsDialog::ShowPage(int newPage) {
    const int pages = (static_cast<int>(names.size()) + kRowsPerPage - 1) / kRowsPerPage;
    page = std::clamp(newPage, 0, std::max(pages - 1, 0));
    DrawTable();
}

void StatisticsDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == closeButton->GetId()) {
            result = kClosed;
        } else if (e.sourceId == resetButton->GetId()) {
            int answer = 0;
            {
                // Enter answers "No": a slip of the key never wipes them.
                MessageBox ask(this, Translate("Statistics"), MessageBox::kYesNo | MessageBox::kSecondIsDefault,
                               Translate("Reset your statistics of every game?"));
                answer = ask.RunModal();
            }
            if (answer == MessageBox::kResultYes) {
                ResetStatistics(player);
                ReadFigures();
                DrawTable();
            }
        } else if (previousButton && e.sourceId == previousButton->GetId()) {
            ShowPage(page - 1);
        } else if (nextButton && e.sourceId == nextButton->GetId()) {
            ShowPage(page + 1);
        }
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kClosed;
    }
}

void ShowStatistics(const std::vector<std::string>& gameNames, const std::string& currentGame) {
    {
        StatisticsDialog dialog(gameNames, currentGame, userPreferences.CurrentPlayer);
        dialog.RunModal();
    }
    PresentQueuedRects();
}
