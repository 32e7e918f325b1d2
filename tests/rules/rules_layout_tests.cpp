// How the rules viewer lays a page out: paragraphs wrapped to the text column, headings in their
// own style beside the first row, and the shipped text fitting every page in the real fonts.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "games/game_registry.h"
#include "platform/paths.h"
#include "rules/rules_viewer.h"
#include "tests/rules/rules_fixture.h"

namespace {

RulesPage PageOf(std::initializer_list<const char*> lines) {
    RulesPage page;
    for (const char* line : lines) page.lines[static_cast<size_t>(page.lineCount++)] = line;
    return page;
}

std::string Describe(const std::vector<RulesRow>& rows) {
    std::string out;
    for (const RulesRow& row : rows) out += (row.heading.empty() ? "" : row.heading + ": ") + row.text + "|";
    return out;
}

TEST(RulesLayout, ParagraphsRunTogetherAndWrapAtTheColumnWidth) {
    const auto oneAPixel = [](std::string_view text) { return static_cast<int>(text.size()); };
    // A heading goes beside the first row of its paragraph; a hyphen at a line's end joins the
    // next line without a space; an empty line stays an empty row; a heading with nothing after
    // it takes a row of its own; a word longer than the column still gets a row.
    const RulesPage page = PageOf({"+Aim", "one two", "three four-", "five", "", "six", "+Tail", "seven",
                                   "eightnineten", "+End"});
    EXPECT_EQ(Describe(LayoutRulesPage(page, 10, oneAPixel)),
              "Aim: one two|three|four-five||six|Tail: seven|eightnineten|End: |");
    EXPECT_EQ(Describe(LayoutRulesPage(page, 99, oneAPixel)),
              "Aim: one two three four-five||six|Tail: seven eightnineten|End: |");
}

class RulesLayoutTest : public RulesTest {
protected:
    RulesLayoutTest() {
        // The program's fonts: labels in the regular role, the body style loaded with the system fonts.
        ShutdownToolkit();
        InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
        BuildColorTable();
        SetRegularFont("windb_10.fgf");
        ToolkitTheme theme;
        theme.textColor = kTextColor;
        SetToolkitTheme(theme);
    }
};

TEST_F(RulesLayoutTest, ShippedTextFillsTheColumnAndFitsEveryPage) {
    std::ifstream in(DataPath("HELP.TXT"), std::ios::binary);
    ASSERT_TRUE(in) << "HELP.TXT is missing from the data folder";
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(RegularFont(), 0);
    int widest = 0;
    for (const GameDescriptor& game : RegisteredGames()) {
        SCOPED_TRACE(game.name);
        RulesPages pages;
        ASSERT_TRUE(LoadRulesText(bytes, game.name, &pages));
        for (int p = 0; p < pages.pageCount; ++p) {
            const std::vector<RulesRow> rows = LayoutRulesPage(pages.pages[static_cast<size_t>(p)],
                                                               RulesViewer::kTextWidth, BodyTextWidth);
            EXPECT_LE(static_cast<int>(rows.size()), RulesViewer::kRowsPerPage) << "page " << p + 1;
            for (const RulesRow& row : rows) {
                EXPECT_LE(BodyTextWidth(row.text), RulesViewer::kTextWidth) << row.text;
                widest = std::max(widest, BodyTextWidth(row.text));
            }
        }
    }
    // The running text uses the column, not the width the file happens to be wrapped at.
    EXPECT_GT(widest, RulesViewer::kTextWidth * 9 / 10);
}

// Heading and running text are different styles: the same word drawn as both inks differently.
TEST_F(RulesLayoutTest, HeadingsStandApartFromTheRunningText) {
    const std::string path = folder + "/HELP.TXT";
    std::ofstream(path, std::ios::binary) << "[Golf]\n+Scoring\nScoring\n";
    RulesViewer viewer("Golf", path);
    backend.After(50, [&] {
        const int top = RulesViewer::kY + RulesViewer::kFirstRow, bottom = top + RulesViewer::kRowPitch - 3;
        const int heading = TextPixels(RulesViewer::kX + RulesViewer::kHeadingX, RulesViewer::kX + RulesViewer::kTextX - 5,
                                       top, bottom);
        const int body = TextPixels(RulesViewer::kX + RulesViewer::kTextX, RulesViewer::kX + RulesViewer::kWidth - 20,
                                    top, bottom);
        EXPECT_GT(body, 0);
        EXPECT_GT(heading, body * 6 / 5) << "the heading is not drawn heavier than the text";
    });
    backend.PressKey(50, kHidEscape);
    EXPECT_EQ(viewer.RunModal(), RulesViewer::kResultOk);
}

}  // namespace
