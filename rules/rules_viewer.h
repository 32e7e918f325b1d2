// "Rule Help": the rules text of one game, a page at a time, headings in the left column and
// the running text in the right one. Opened by the in-game "&Rules..." command.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rules_text.h"
#include "ui/dialog.h"

// One row of a page as shown: the heading beside it (may be empty) and its text.
struct RulesRow {
    std::string heading;
    std::string text;
};

// The rows of a page. Ordinary lines run together into paragraphs, wrapped at spaces to width as
// measured (a line ending in a hyphen joins the next without a space); an empty line stays an
// empty row; a heading goes on the row of the text that follows it, or on a row of its own when
// nothing follows.
std::vector<RulesRow> LayoutRulesPage(const RulesPage& page, int width,
                                      const std::function<int(std::string_view)>& measure);

class RulesViewer : public Dialog {
public:
    static constexpr int kResultOk = 2000;
    // Layout, relative to the dialog; the test of the shipped text checks its lines against it.
    static constexpr int kX = 50, kY = 50, kWidth = 700, kHeight = 500;
    static constexpr int kHeadingX = 30;
    static constexpr int kTextX = 220;
    static constexpr int kFirstRow = 40;
    static constexpr int kRowPitch = 16;
    static constexpr int kButtonTop = kHeight - 50;
    // Room for each column: headings end before the text column, text before the right border.
    static constexpr int kHeadingWidth = kTextX - kHeadingX - 10;
    static constexpr int kTextWidth = kWidth - kTextX - 20;
    // Rows that fit above the buttons with a small gap.
    static constexpr int kRowsPerPage = (kButtonTop - 8 - kFirstRow) / kRowPitch;

    // Loads the section of gameName from the file at path (normally DataPath("HELP.TXT")).
    RulesViewer(std::string_view gameName, const std::string& path);

    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    const RulesPages& Pages() const { return *pages; }
    // The rows of page p as drawn: body text wrapped to the text column.
    std::vector<RulesRow> PageRows(int p) const;
    int CurrentPage() const { return page; }
    Button* OkButton() const { return okButton; }
    Button* PreviousButton() const { return previousButton; }
    Button* NextButton() const { return nextButton; }

private:
    void DrawPage();
    void TurnTo(int newPage);

    std::unique_ptr<RulesPages> pages;
    int page = 0;
    Button* okButton = nullptr;
    Button* previousButton = nullptr;
    Button* nextButton = nullptr;
};

// The shipped rules text of a game in the current language: "HELP.<code>.TXT" in the data folder
// when the language has one with the game's section, else the English "HELP.TXT". Sections keep
// the English game names as keys, so a translation may come a game at a time.
std::string RulesTextPath(std::string_view gameName);
// Runs the viewer for the game's section of RulesTextPath().
void ShowRulesText(std::string_view gameName);
