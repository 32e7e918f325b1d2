#include "rules/rules_viewer.h"

#include "platform/paths.h"
#include "ui/toolkit.h"

namespace {

constexpr int kOkWidth = 100, kButtonHeight = 30;
constexpr int kPageButtonSize = 30;
constexpr int kPreviousX = 450, kNextX = 510;

}  // namespace

RulesViewer::RulesViewer(std::string_view gameName, const std::string& path)
    : Dialog(kX, kY, kWidth, kHeight, "Rule Help"), pages(std::make_unique<RulesPages>()) {
    LoadRulesFile(path, gameName, pages.get());
    const int art = CurrentTheme().dialogArt;
    okButton = Create<Button>(kWidth / 2 - kOkWidth / 2, kButtonTop, kOkWidth, kButtonHeight, art, "OK");
    if (pages->pageCount >= 2) {
        previousButton = Create<Button>(kPreviousX, kButtonTop, kPageButtonSize, kPageButtonSize, art, "<<");
        nextButton = Create<Button>(kNextX, kButtonTop, kPageButtonSize, kPageButtonSize, art, ">>");
        previousButton->SetDisabled(1);
    }
}

void RulesViewer::DrawPage() {
    if (pages->pageCount == 0) return;
    SelectScreenBuffer();
    SetColor(CurrentTheme().textColor);
    const RulesPage& shown = pages->pages[static_cast<size_t>(page)];
    int row = kFirstRow;
    for (int i = 0; i < shown.lineCount; ++i) {
        const std::string& line = shown.lines[static_cast<size_t>(i)];
        // A heading shares the row of the ordinary line that follows it.
        if (IsRulesHeading(line)) {
            MoveTo(x + kHeadingX, y + row);
            DrawRegularText(std::string_view(line).substr(1), -1, 1);
            continue;
        }
        if (!line.empty()) {
            MoveTo(x + kTextX, y + row);
            DrawRegularText(line, -1, 1);
        }
        row += kRowPitch;
    }
}

void RulesViewer::Draw() {
    Dialog::Draw();
    DrawPage();
}

void RulesViewer::Repaint() {
    Dialog::Repaint();
    DrawPage();
}

void RulesViewer::TurnTo(int newPage) {
    if (newPage < 0 || newPage >= pages->pageCount) return;
    page = newPage;
    previousButton->SetDisabled(page == 0 ? 1 : 0);
    nextButton->SetDisabled(page == pages->pageCount - 1 ? 1 : 0);
    Draw();
}

void RulesViewer::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == okButton->GetId()) result = kResultOk;
        else if (nextButton != nullptr && e.sourceId == nextButton->GetId()) TurnTo(page + 1);
        else if (previousButton != nullptr && e.sourceId == previousButton->GetId()) TurnTo(page - 1);
    } else if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kResultOk;
    }
}

void ShowRulesText(std::string_view gameName) {
    {
        RulesViewer viewer(gameName, DataPath("HELP.TXT"));
        viewer.RunModal();
    }
    PresentQueuedRects();
}
