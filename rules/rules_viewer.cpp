#include "rules/rules_viewer.h"

#include <fstream>
#include <utility>

#include "platform/paths.h"
#include "platform/translation.h"
#include "ui/toolkit.h"

namespace {

constexpr int kOkWidth = 100, kButtonHeight = 30;
constexpr int kPageButtonSize = 30;
constexpr int kPreviousX = 450, kNextX = 510;

}  // namespace

RulesViewer::RulesViewer(std::string_view gameName, const std::string& path)
    : Dialog(kX, kY, kWidth, kHeight, Translate("Rule Help")), pages(std::make_unique<RulesPages>()) {
    LoadRulesFile(path, gameName, pages.get());
    if (!std::ifstream(path, std::ios::binary)) ReportUnusableDataFile(path, "the rules pages are empty");
    const int art = ThemeDialogArt();
    okButton = Create<Button>(kWidth / 2 - kOkWidth / 2, kButtonTop, kOkWidth, kButtonHeight, art, Translate("OK"));
    SetDefaultButton(okButton);
    if (pages->pageCount >= 2) {
        previousButton = Create<Button>(kPreviousX, kButtonTop, kPageButtonSize, kPageButtonSize, art, "<<");
        nextButton = Create<Button>(kNextX, kButtonTop, kPageButtonSize, kPageButtonSize, art, ">>");
        previousButton->SetDisabled(1);
    }
}

std::vector<RulesRow> LayoutRulesPage(const RulesPage& page, int width,
                                      const std::function<int(std::string_view)>& measure) {
    std::vector<RulesRow> rows;
    std::string heading, paragraph;
    const auto flush = [&] {
        std::string line;
        size_t start = 0;
        while (start < paragraph.size()) {
            size_t end = paragraph.find(' ', start);
            if (end == std::string::npos) end = paragraph.size();
            const std::string_view word(paragraph.data() + start, end - start);
            std::string longer = line.empty() ? std::string(word) : line + ' ' + std::string(word);
            if (!line.empty() && measure(longer) > width) {
                rows.push_back({std::exchange(heading, {}), std::exchange(line, std::string(word))});
            } else {
                line = std::move(longer);
            }
            start = end + 1;
        }
        if (!line.empty()) rows.push_back({std::exchange(heading, {}), line});
        paragraph.clear();
    };
    for (int i = 0; i < page.lineCount; ++i) {
        const std::string& line = page.lines[static_cast<size_t>(i)];
        if (IsRulesHeading(line)) {
            flush();
            heading = line.substr(1);
        } else if (line.empty()) {
            flush();
            rows.push_back({std::exchange(heading, {}), {}});
        } else {
            if (!paragraph.empty() && paragraph.back() != '-') paragraph += ' ';
            paragraph += line;
        }
    }
    flush();
    if (!heading.empty()) rows.push_back({heading, {}});
    return rows;
}

std::vector<RulesRow> RulesViewer::PageRows(int p) const {
    if (p < 0 || p >= pages->pageCount) return {};
    return LayoutRulesPage(pages->pages[static_cast<size_t>(p)], kTextWidth, BodyTextWidth);
}

void RulesViewer::DrawPage() {
    if (pages->pageCount == 0) return;
    SelectScreenBuffer();
    SetColor(CurrentTheme().textColor);
    // Headings in the label style, the running text in the body style; rows that would run into
    // the buttons are left out.
    const std::vector<RulesRow> rows = PageRows(page);
    for (size_t i = 0; i < rows.size() && i < static_cast<size_t>(kRowsPerPage); ++i) {
        const int row = kFirstRow + kRowPitch * static_cast<int>(i);
        if (!rows[i].heading.empty()) {
            MoveTo(x + kHeadingX, y + row);
            DrawRegularText(rows[i].heading, -1, 1);
        }
        if (!rows[i].text.empty()) {
            MoveTo(x + kTextX, y + row);
            DrawBodyText(rows[i].text, -1, 1);
        }
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

std::string RulesTextPath(std::string_view gameName) {
    if (!CurrentLanguage().empty()) {
        const std::string translated = DataDirectory() + "/HELP." + CurrentLanguage() + ".TXT";
        RulesPages pages;
        if (LoadRulesFile(translated, gameName, &pages)) return translated;
    }
    return DataPath("HELP.TXT");
}

void ShowRulesText(std::string_view gameName) {
    {
        RulesViewer viewer(gameName, RulesTextPath(gameName));
        viewer.RunModal();
    }
    PresentQueuedRects();
}
