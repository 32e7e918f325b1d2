// The rules text: the section reader, the "Rule Help" viewer run modally, how it lays a page out
// (paragraphs wrapped to the text column, headings in their own style beside the first row), the
// shipped text fitting every page in the real fonts; and every translation fitting its place.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "audio/music_dialog.h"
#include "cards/card_geometry.h"
#include "framework/deal_dialog.h"
#include "games/game_registry.h"
#include "platform/paths.h"
#include "platform/translation.h"
#include "rules/rule_settings.h"
#include "rules/rules_text.h"
#include "rules/rules_viewer.h"
#include "store/dialogs/high_scores_dialog.h"
#include "store/dialogs/player_dialog.h"
#include "store/dialogs/statistics_dialog.h"
#include "tests/rules/rules_fixture.h"
#include "ui/controls.h"
#include "ui/dialog.h"

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

// Pages turn with their buttons. A heading stands beside its paragraph's first row in a style of
// its own (the same word inks more as heading than as text), or ending a page, on the next row.
TEST_F(RulesLayoutTest, PagesTurnWithTheirButtonsAndHeadingsStandApartBesideTheirRow) {
    const std::string path = WriteText("[Klondike]\n+Scoring\nScoring\n\n<BR>\nsecond page\n+Last\n[Golf]\n");
    RulesViewer viewer("Klondike", path);
    ASSERT_EQ(viewer.Pages().pageCount, 2);
    ASSERT_NE(viewer.NextButton(), nullptr);
    EXPECT_TRUE(viewer.PreviousButton()->IsDisabled());
    backend.After(50, [&] {
        EXPECT_GT(RowPixels(0), 0);
        EXPECT_GT(HeadingPixels(0), RowPixels(0) * 6 / 5) << "the heading is not drawn heavier than the text";
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

// HELP.TXT and the translated pages present in the data folder.
std::vector<std::string> RulesFiles() {
    std::vector<std::string> files = {"HELP.TXT"};
    for (const char* code : kTranslatedLanguages) {
        const std::string name = std::string("HELP.") + code + ".TXT";
        if (std::ifstream(DataPath(name.c_str()))) files.push_back(name);
    }
    return files;
}


// The English text and every translated one (HELP.<code>.TXT, where a language has its own).
TEST_F(RulesLayoutTest, ShippedTextFillsTheColumnAndFitsEveryPage) {
    for (const std::string& file : RulesFiles()) {
        SCOPED_TRACE(file);
        std::ifstream in(DataPath(file.c_str()), std::ios::binary);
        ASSERT_TRUE(in) << file << " is missing from the data folder";
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        ASSERT_GT(RegularFont(), 0);
        int widest = 0;
        for (const GameDescriptor& game : RegisteredGames()) {
            SCOPED_TRACE(game.name);
            RulesPages pages;
            // A translation may leave a game to the English text.
            if (!LoadRulesText(bytes, game.name, &pages)) {
                EXPECT_NE(file, "HELP.TXT");
                continue;
            }
            for (int p = 0; p < pages.pageCount; ++p) {
                const std::vector<RulesRow> rows =
                    LayoutRulesPage(pages.pages[static_cast<size_t>(p)], RulesViewer::kTextWidth, BodyTextWidth);
                EXPECT_LE(static_cast<int>(rows.size()), RulesViewer::kRowsPerPage) << "page " << p + 1;
                for (const RulesRow& row : rows) {
                    EXPECT_LE(BodyTextWidth(row.text), RulesViewer::kTextWidth) << row.text;
                    EXPECT_LE(RegularTextWidth(row.heading), RulesViewer::kTextX - RulesViewer::kHeadingX - 5)
                        << row.heading;
                    widest = std::max(widest, BodyTextWidth(row.text));
                }
            }
        }
        // The running text uses the column, not the width the file happens to be wrapped at.
        EXPECT_GT(widest, RulesViewer::kTextWidth * 9 / 10);
    }
}

// --- Every translation in its place ---

// The language of one check, English again at its end.
class LanguageScope {
public:
    explicit LanguageScope(const std::string& code) {
        EXPECT_EQ(ChooseLanguage(code), code == "en" ? "" : code) << "no catalogue for " << code;
    }
    ~LanguageScope() { ChooseLanguage("en"); }
};

constexpr int kDialogEdge = 8;  // the frame's width: text must stay inside it
constexpr int kButtonPadding = 8;

struct Box {
    int left, right, top, bottom;
    bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};

// The dialog's controls, a composite's members too, except the members of a spin field (which
// counts as one control).
void CollectControls(Window* parent, std::vector<Window*>* out) {
    if (parent->Children() == nullptr) return;
    for (Window* c = parent->Children()->Head(); c != nullptr; c = c->NextInList()) {
        out->push_back(c);
        if (dynamic_cast<SpinField*>(c) == nullptr) CollectControls(c, out);
    }
}

// What does not fit in a dialog, one line each: a title wider than its plate, a caption wider than
// its button, list or frame, text past the dialog's edge, a caption or label running into another
// control, and a hot key two controls answer to.
std::vector<std::string> Misfits(Dialog& dialog) {
    std::vector<std::string> found;
    auto note = [&](const char* what, const std::string& text) {
        found.push_back(what + (": " + Windows1252ToUtf8(text)));
    };
    const int left = dialog.GetX() + kDialogEdge, right = dialog.GetX() + dialog.GetWidth() - kDialogEdge;
    SelectFont(BoldFont() > 0 ? BoldFont() : RegularFont());
    const std::string& title = dialog.GetText();
    if (TextWidth(title.c_str(), static_cast<int>(title.size())) > dialog.TitleRoom()) note("title", title);

    std::vector<Window*> controls;
    CollectControls(&dialog, &controls);
    // The places a text must keep out of: every control but labels, frames and option groups.
    std::vector<std::pair<Window*, Box>> obstacles;
    for (Window* c : controls) {
        if (dynamic_cast<Label*>(c) || dynamic_cast<GroupBox*>(c) || dynamic_cast<OptionGroup*>(c)) continue;
        obstacles.push_back({c, {c->GetX(), c->GetX() + c->GetWidth(), c->GetY(), c->GetY() + c->GetHeight()}});
    }
    auto runsInto = [&](Window* self, const Box& text) {
        for (const auto& [other, box] : obstacles)
            if (other != self && other != self->GetParent() && text.Overlaps(box)) return true;
        return false;
    };
    std::map<int, std::string> hotKeys;
    auto claim = [&](int key, const std::string& text) {
        if (key == 0) return;
        const auto [entry, fresh] = hotKeys.try_emplace(std::toupper(key), text);
        if (!fresh) note("hot key twice", entry->second + " / " + text);
    };
    for (Window* c : controls) {
        const std::string& text = c->GetText();
        if (auto* label = dynamic_cast<Label*>(c)) {
            Box box{};
            label->Extent(&box.left, &box.right, &box.top, &box.bottom);
            if (box.left < left || box.right > right) note("label past the edge", label->Line(0));
            if (runsInto(c, box)) note("label into a control", label->Line(0));
        } else if (auto* check = dynamic_cast<CheckBox*>(c)) {
            const Box box{c->GetX(), c->GetX() + c->GetWidth(), c->GetY(),
                          c->GetY() + 14 * (check->LineCount() - 1) + RegularTextHeight()};
            if (box.right > right) note("check box past the edge", text);
            if (runsInto(c, box)) note("check box into a control", text);
            claim(check->HotKey(), text);
        } else if (auto* list = dynamic_cast<DropDownList*>(c)) {
            for (int i = 0; i < list->ItemCount(); ++i)
                if (RegularTextWidth(list->Item(i)) > c->GetWidth() - DropDownList::kButtonWidth - kButtonPadding)
                    note("list item", list->Item(i));
        } else if (dynamic_cast<GroupBox*>(c) != nullptr) {
            if (RegularTextWidth(text) > c->GetWidth() - 2 * 15) note("frame", text);
        } else if (auto* button = dynamic_cast<Button*>(c); button != nullptr && !text.empty()) {
            if (RegularTextWidth(text) > c->GetWidth() - kButtonPadding) note("button", text);
            claim(button->HotKey(), text);
        }
    }
    return found;
}

std::string Describe(const std::vector<std::string>& misfits) {
    std::string out;
    for (const std::string& m : misfits) out += "\n  " + m;
    return out;
}

// Every catalogue's text, read from the compiled catalogue ("msgid\0" -> "msgstr\0" tables).
std::vector<std::string> CatalogueTexts(const std::string& code) {
    std::ifstream in(CatalogueDirectory() + "/" + code + "/LC_MESSAGES/quillfen-solitaire.mo", std::ios::binary);
    const std::string mo((std::istreambuf_iterator<char>(in)), {});
    auto word = [&](size_t at) {
        uint32_t value = 0;
        if (at + 4 <= mo.size()) std::memcpy(&value, mo.data() + at, 4);
        return static_cast<size_t>(value);
    };
    std::vector<std::string> texts;
    const size_t count = word(8), table = word(16);
    for (size_t i = 1; i < count; ++i) {  // entry 0 is the header
        const size_t length = word(table + 8 * i), offset = word(table + 8 * i + 4);
        if (offset + length <= mo.size()) texts.push_back(mo.substr(offset, length));
    }
    return texts;
}

// Every dialog in English and every language: the rule dialogs in both modes, their summaries in
// the summary's font, and the program's other dialogs; and every catalogue's text in the fonts'
// single-byte code page. A translation that does not fit is shortened, never the dialog changed.
TEST_F(RulesLayoutTest, EveryLanguageFitsItsDialogs) {
    const int summaryFont = LoadFont(DataPath(card_geometry::kCardTableFontFile).c_str());
    ASSERT_GT(summaryFont, 0);
    std::vector<std::string> gameNames;
    for (const GameDescriptor& game : RegisteredGames()) gameNames.emplace_back(game.name);
    for (const char* code : {"en", "de", "fr", "es", "it", "pt", "nl"}) {
        SCOPED_TRACE(code);
        const LanguageScope language(code);
        for (const std::string& text : CatalogueTexts(code)) {
            std::string converted;
            EXPECT_TRUE(Utf8ToWindows1252(text, &converted)) << text;
        }
        for (const GameDescriptor& game : RegisteredGames()) {
            if (!game.HasRuleSettings()) continue;
            SCOPED_TRACE(game.name);
            for (RuleDialogMode mode : {RuleDialogMode::kStart, RuleDialogMode::kRestart}) {
                RuleSettingsDialog dialog(game, mode);
                EXPECT_EQ(Describe(Misfits(dialog)), "");
            }
            RulesSummaryDialog summary(game);
            EXPECT_EQ(Describe(Misfits(summary)), "");
            SelectFont(summaryFont);
            for (const std::string& line : RulesSummaryLines(game))
                EXPECT_LE(TextWidth(line.c_str(), static_cast<int>(line.size())), summary.GetWidth() - 2 * 20) << line;
        }
        MusicDialog music(MusicChoice{});
        DealDialog deal(0);
        PlayerSelectDialog player;
        StatisticsDialog statistics(gameNames, "Klondike", 0);
        HighScoresDialog scores("Forty Thieves", 0, true);
        AboutDialog about;
        RulesViewer viewer("Klondike", RulesTextPath("Klondike"));
        // The statistics' headings are set right-aligned against their columns' right edges.
        const auto columns = StatisticsDialog::Columns();
        for (size_t i = 1; i < columns.size(); ++i)
            EXPECT_LE(RegularTextWidth(Translate("statistics", columns[i].heading)),
                      columns[i].right - columns[i - 1].right - kButtonPadding)
                << Windows1252ToUtf8(Translate("statistics", columns[i].heading));
        for (Dialog* dialog :
             std::initializer_list<Dialog*>{&music, &deal, &player, &statistics, &scores, &about, &viewer})
            EXPECT_EQ(Describe(Misfits(*dialog)), "") << dialog->GetText();
    }
    UnloadFont(summaryFont);
}

}  // namespace
