// The appearance choosers: a choice survives a restart of the program; Cancel changes nothing;
// the pictures never show the transparent colour; a backdrop chosen in play shows at once,
// without a new deal.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "draw/draw.h"
#include "draw/palette.h"
#include "framework/game.h"
#include "shell/appearance_choosers.h"
#include "shell/shell.h"
#include "tests/rules/rules_fixture.h"
#include "tests/shell/shell_fixture.h"
#include "tools/dev/click_now.h"
#include "ui/controls.h"

namespace {

struct ChooserCase {
    const char* name;
    bool (*choose)();
    uint32_t UserPreferences::*choice;
    // Where picture `pick` lies on the screen: the chooser's dialog is centred and the first
    // picture sits at (left, top) inside it, the others on the pitch.
    int dialogWidth, dialogHeight, left, top, pitchX, pitchY, columns, pick;
};

constexpr ChooserCase kCases[] = {
    {"card back", ChooseCardBack, &UserPreferences::CardBack, 520, 410, 33, 55, 66, 98, 7, 16},
    {"card front", ChooseCardFront, &UserPreferences::CardFront, 400, 250, 53, 60, 80, 0, 4, 3},
    {"background", ChooseBackdrop, &UserPreferences::Backdrop, 580, 400, 30, 55, 180, 140, 3, 4},
};

class ChooserTest : public RulesTest {
protected:
    ChooserTest() {
        userPreferences.CurrentPlayer = FindOrAddPlayer("ann");
        LoadPreferences();
    }
    // What the program does at its next start: read the file again and load the player.
    void Restart() {
        Reload();
        ResetPreferences();
        userPreferences.CurrentPlayer = FindOrAddPlayer("ann");
        LoadPreferences();
    }
    static std::pair<int, int> PictureAt(const ChooserCase& c) {
        return {(800 - c.dialogWidth) / 2 + c.left + (c.pick % c.columns) * c.pitchX + 10,
                (600 - c.dialogHeight) / 2 + c.top + (c.pick / c.columns) * c.pitchY + 10};
    }
};

// A picture accepted with OK, or for the card backs with a double click on it, survives a restart.
TEST_F(ChooserTest, AnAcceptedChoiceSurvivesARestart) {
    for (const ChooserCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const auto [x, y] = PictureAt(c);
        if (c.choose == ChooseCardBack) {
            backend.DoubleClick(50, x, y);
        } else {
            backend.Click(50, x, y);
            // OK is the first of the two buttons at the bottom.
            backend.Click(50, (800 - c.dialogWidth) / 2 + (c.dialogWidth - 200) / 3 + 50,
                          (600 - c.dialogHeight) / 2 + c.dialogHeight - 35);
        }
        EXPECT_TRUE(c.choose());
        EXPECT_EQ(userPreferences.*c.choice, static_cast<uint32_t>(c.pick));
        Restart();
        EXPECT_EQ(userPreferences.*c.choice, static_cast<uint32_t>(c.pick));
    }
}

// Open, no picture shows the transparent colour; a picture clicked and then Cancel change nothing.
TEST_F(ChooserTest, NoPictureShowsTheTransparentColourAndCancelChangesNothing) {
    // As the program sets it up at start.
    SetTransparentColor(kTransparentIndexA, 1);
    SetTransparentColor(kTransparentIndexB, 1);
    for (const ChooserCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string before = FileText();
        int magenta = -1;
        backend.After(50, [&] {
            magenta = 0;
            const Pixel* pixels = BufferPixels(screen);
            const int pitch = BufferWidth(screen), scale = BufferScale(screen);
            const int left = (800 - c.dialogWidth) / 2, top = (600 - c.dialogHeight) / 2;
            for (int y = top * scale; y < (top + c.dialogHeight) * scale; ++y)
                for (int x = left * scale; x < (left + c.dialogWidth) * scale; ++x)
                    magenta += (pixels[y * pitch + x] & 0xFFFFFF) == 0xFF00FF;
        });
        backend.Click(50, PictureAt(c).first, PictureAt(c).second);
        backend.PressKey(50, kHidEscape);
        EXPECT_FALSE(c.choose());
        EXPECT_EQ(magenta, 0);
        EXPECT_EQ(userPreferences.*c.choice, 0u);
        EXPECT_EQ(FileText(), before);
    }
    SetTransparentColor(kTransparentIndexA, 0);
    SetTransparentColor(kTransparentIndexB, 0);
}

using shell_test::ShellTest;

TEST_F(ShellTest, ABackdropChosenInPlayShowsAtOnce) {
    RequestStartingDeal(12, 12345);  // no logo: straight to the table
    Activate(10);
    // Table points off every pile, in logical pixels.
    const std::vector<std::pair<int, int>> points = {{3, 300}, {796, 300}, {400, 530}};
    std::vector<Pixel> before, after;
    auto sample = [&points](std::vector<Pixel>* into) {
        const Pixel* pixels = BufferPixels(ScreenBuffer());
        const int pitch = BufferWidth(ScreenBuffer()), scale = BufferScale(ScreenBuffer());
        for (auto [x, y] : points) into->push_back(pixels[y * scale * pitch + x * scale] & 0xFFFFFF);
    };
    int itemX = 0, itemY = 0;
    backend.At(300, [] { EXPECT_NE(CurrentGame(), nullptr) << "a start with a game goes to its table, past the logo"; });
    backend.At(5000, [&] {
        sample(&before);
        Game* game = CurrentGame();
        ASSERT_NE(game, nullptr);
        Menu* options = game->OptionsMenu();
        for (int i = 0; i < options->ItemCount(); ++i)
            if (options->Item(i)->CommandId() == kCommandBackground) {
                itemX = options->Item(i)->GetX() + options->Item(i)->GetWidth() / 2;
                itemY = options->Item(i)->GetY() + options->Item(i)->GetHeight() / 2;
            }
        ClickNow(options->GetX() + options->GetWidth() / 2, options->GetY() + options->GetHeight() / 2);
    });
    backend.After(500, [&] { ClickNow(itemX, itemY); });
    // The fifth backdrop, then OK.
    backend.Click(500, (800 - 580) / 2 + 30 + 180 + 10, (600 - 400) / 2 + 55 + 140 + 10);
    backend.Click(200, (800 - 580) / 2 + (580 - 200) / 3 + 50, (600 - 400) / 2 + 400 - 35);
    backend.After(500, [&] { sample(&after); });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    RequestStartingDeal(0, std::nullopt);
    ASSERT_EQ(before.size(), points.size());
    ASSERT_EQ(after.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) EXPECT_GT(test_support::Distance(before[i], after[i]), 60) << i;
}

}  // namespace
