// The rules text: the section reader, the "Rule Help" viewer run modally, how it lays a page out
// (paragraphs wrapped to the text column, headings in their own style beside the first row), and
// the shipped text fitting every page in the real fonts.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "games/game_registry.h"
#include "platform/paths.h"
#include "rules/rules_text.h"
#include "rules/rules_viewer.h"
#include "tests/rules/rules_fixture.h"

namespace {

std::vector<std::string> Lines(const RulesPage& page) {
    return {page.lines.begin(), page.lines.begin() + page.lineCount};
}

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

TEST(RulesText, SectionsStartAtTheirHeaderAndEndAtAnyBracketLine) {
    RulesPages pages;
    const std::string text =
        "+Not this\nbefore\n[Golf]\r\nfirst\r\n[not a game\nafter\n[Golf]\nsecond copy\n";
    ASSERT_TRUE(LoadRulesText(text, "Golf", &pages));
    ASSERT_EQ(pages.pageCount, 1);
    EXPECT_EQ(Lines(pages.pages[0]), std::vector<std::string>{"first"});

    // The header may continue after its bracket; its beginning alone is no header.
    ASSERT_TRUE(LoadRulesText("[Spider] (two packs)\nrow\n", "Spider", &pages));
    EXPECT_EQ(Lines(pages.pages[0]), std::vector<std::string>{"row"});
    EXPECT_FALSE(LoadRulesText("[Spid\nrow\n[Spider\n", "Spider", &pages));
    EXPECT_EQ(pages.pageCount, 0);
}

class RulesViewerTest : public RulesTest {
protected:
    std::string WriteText(const std::string& text) const {
        const std::string path = folder + "/HELP.TXT";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Text pixels in the heading or text column of row r (dialog at 50, 50).
    int HeadingPixels(int row) const {
        const int top = RulesViewer::kY + RulesViewer::kFirstRow + RulesViewer::kRowPitch * row;
        return TextPixels(RulesViewer::kX + RulesViewer::kHeadingX, RulesViewer::kX + RulesViewer::kTextX - 5, top,
                          top + RulesViewer::kRowPitch - 3);
    }
    int RowPixels(int row) const {
        const int top = RulesViewer::kY + RulesViewer::kFirstRow + RulesViewer::kRowPitch * row;
        return TextPixels(RulesViewer::kX + RulesViewer::kTextX, RulesViewer::kX + RulesViewer::kWidth - 20, top,
                          top + RulesViewer::kRowPitch - 3);
    }
};

TEST_F(RulesViewerTest, PagesTurnWithTheirButtonsAndHeadingsShareTheNextRow) {
    const std::string path = WriteText("[Klondike]\n+Heading\nfirst line\n\n<BR>\nsecond page\n+Last\n[Golf]\n");
    RulesViewer viewer("Klondike", path);
    ASSERT_EQ(viewer.Pages().pageCount, 2);
    ASSERT_NE(viewer.NextButton(), nullptr);
    EXPECT_TRUE(viewer.PreviousButton()->IsDisabled());
    backend.After(50, [&] {
        EXPECT_GT(HeadingPixels(0), 0);
        EXPECT_GT(RowPixels(0), 0);
        EXPECT_EQ(RowPixels(1), 0);  // the empty line
        EXPECT_EQ(HeadingPixels(1), 0);
    });
    ClickOn(50, viewer.NextButton());
    backend.After(50, [&] {
        EXPECT_EQ(viewer.CurrentPage(), 1);
        EXPECT_TRUE(viewer.NextButton()->IsDisabled());
        EXPECT_FALSE(viewer.PreviousButton()->IsDisabled());
        EXPECT_GT(RowPixels(0), 0);
        EXPECT_EQ(RowPixels(1), 0);
        // A heading as a page's last line goes on the row below the last ordinary line.
        EXPECT_EQ(HeadingPixels(0), 0);
        EXPECT_GT(HeadingPixels(1), 0);
    });
    ClickOn(50, viewer.OkButton());
    EXPECT_EQ(viewer.RunModal(), RulesViewer::kResultOk);
    EXPECT_TRUE(backend.ScriptDone());
}

TEST_F(RulesViewerTest, AMissingFileOrSectionGivesAnEmptyDialogWithOnlyOk) {
    RulesViewer missing("Klondike", folder + "/nothing.txt");
    EXPECT_EQ(missing.Pages().pageCount, 0);
    EXPECT_EQ(missing.NextButton(), nullptr);
    EXPECT_EQ(missing.PreviousButton(), nullptr);
    RulesViewer onePage("Golf", WriteText("[Golf]\nonly page\n"));
    EXPECT_EQ(onePage.Pages().pageCount, 1);
    EXPECT_EQ(onePage.NextButton(), nullptr);
    backend.PressKey(50, kHidEscape);
    EXPECT_EQ(missing.RunModal(), RulesViewer::kResultOk);
}

class RulesLayoutTest : public RulesViewerTest {
protected:
    RulesLayoutTest() {
        // The program's fonts: labels in the regular role, the body style loaded with the system fonts.
        ShutdownToolkit();
        InitToolkit(window, screen, kToolkitLoadSystemFonts | kToolkitSubPanelEvents);
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
    RulesViewer viewer("Golf", WriteText("[Golf]\n+Scoring\nScoring\n"));
    backend.After(50, [&] {
        EXPECT_GT(RowPixels(0), 0);
        EXPECT_GT(HeadingPixels(0), RowPixels(0) * 6 / 5) << "the heading is not drawn heavier than the text";
    });
    backend.PressKey(50, kHidEscape);
    EXPECT_EQ(viewer.RunModal(), RulesViewer::kResultOk);
}

}  // namespace
