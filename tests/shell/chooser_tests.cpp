// The appearance choosers: a choice survives a restart of the program; Cancel changes nothing;
// the pictures never show the transparent colour.
#include <gtest/gtest.h>

#include <functional>

#include "draw/palette.h"
#include "shell/appearance_choosers.h"
#include "tests/rules/rules_fixture.h"

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
    void ClickPicture(const ChooserCase& c) {
        const int x = (800 - c.dialogWidth) / 2 + c.left + (c.pick % c.columns) * c.pitchX + 10;
        const int y = (600 - c.dialogHeight) / 2 + c.top + (c.pick / c.columns) * c.pitchY + 10;
        backend.Click(50, x, y);
    }
};

TEST_F(ChooserTest, AnAcceptedChoiceSurvivesARestart) {
    for (const ChooserCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ClickPicture(c);
        // OK is the first of the two buttons at the bottom.
        backend.Click(50, (800 - c.dialogWidth) / 2 + (c.dialogWidth - 200) / 3 + 50,
                      (600 - c.dialogHeight) / 2 + c.dialogHeight - 35);
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
        ClickPicture(c);
        backend.PressKey(50, kHidEscape);
        EXPECT_FALSE(c.choose());
        EXPECT_EQ(magenta, 0);
        EXPECT_EQ(userPreferences.*c.choice, 0u);
        EXPECT_EQ(FileText(), before);
    }
    SetTransparentColor(kTransparentIndexA, 0);
    SetTransparentColor(kTransparentIndexB, 0);
}

TEST_F(ChooserTest, ADoubleClickOnAPictureAccepts) {
    const ChooserCase& c = kCases[0];
    backend.DoubleClick(50, (800 - c.dialogWidth) / 2 + c.left + 2 * c.pitchX + 10,
                        (600 - c.dialogHeight) / 2 + c.top + 10);
    EXPECT_TRUE(ChooseCardBack());
    EXPECT_EQ(userPreferences.CardBack, 2u);
}

}  // namespace
