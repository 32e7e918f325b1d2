// The appearance choosers of a running game take effect at once, without a new deal.
#include <gtest/gtest.h>

#include <vector>

#include "draw/draw.h"
#include "framework/game.h"
#include "platform/host_events.h"
#include "platform/messages.h"
#include "shell/shell.h"
#include "tools/dev/click_now.h"
#include "tests/shell/shell_fixture.h"
#include "ui/controls.h"

namespace {

using namespace shell_test;

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
