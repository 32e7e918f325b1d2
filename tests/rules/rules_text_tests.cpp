// The rules text: the section reader, the "Rule Help" viewer run modally, and the shipped text.
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
    void ClickOn(uint64_t delay, const Window* control) {
        backend.Click(delay, control->GetX() + control->GetWidth() / 2, control->GetY() + control->GetHeight() / 2);
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

}  // namespace
