// Short monkey runs for every test run, and the long one for `make soak`.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "draw/draw.h"
#include "framework/game.h"
#include "shell/shell.h"
#include "tests/monkey/monkey.h"

namespace {

std::string RunMonkey(uint64_t seed, long messages) {
    Monkey monkey(seed, messages);
    const std::string failure = monkey.Run();
    std::printf("%s\n", monkey.Summary().c_str());
    return failure;
}

TEST(Monkey, ShortRunsKeepEveryCardAndLeaveNothingBehind) {
    const long messages = 1500;
    for (uint64_t seed : {1u, 2u, 3u}) EXPECT_EQ(RunMonkey(seed, messages), "") << "seed " << seed;
}

// A dirty rectangle drawn but never presented: the screen buffer is right (a full redraw agrees),
// only the window is wrong, and only the check of what reached the window sees it. The failure
// replays exactly (the same message and the same last messages, hints included, since background
// answers come at a fixed virtual time), and the program it stopped is shut down whole, so the
// next run in the same process starts clean.
TEST(Monkey, APresentFaultIsCaughtReplaysExactlyAndLeavesNothingBehind) {
    auto planted = [] {
        Monkey monkey(7, 1500);
        monkey.PlantFault(400, [](Game&) {
            // The table's pixels are put back into the buffer alone, after the window was sent
            // garbage in their place: a redraw whose rectangle was never presented.
            SelectBuffer(ScreenBuffer());
            std::vector<uint8_t> saved(ImageSize(41, 41));
            GetBlock(saved.data(), 300, 340, 200, 240);
            SetColor(MapRgb(255, 0, 255));
            FillRect(300, 340, 200, 240);
            PresentRect(300, 340, 200, 240, 300, 240);
            PutBlock(saved.data(), 300, 340, 200, 240);
        });
        return monkey.Run();
    };
    const std::string first = planted();
    EXPECT_NE(first.find("never reached the window"), std::string::npos) << first;
    EXPECT_EQ(planted(), first);
    EXPECT_EQ(RunMonkey(8, 600), "");
}

// `make soak`: QUILLFEN_MONKEY_MESSAGES messages from QUILLFEN_MONKEY_SEED (0 picks one).
TEST(Monkey, Soak) {
    if (!std::getenv("QUILLFEN_MONKEY_MESSAGES")) GTEST_SKIP() << "set QUILLFEN_MONKEY_MESSAGES (make soak)";
    const uint64_t seed = Monkey::SeedFromEnvironment(0);
    EXPECT_EQ(RunMonkey(seed, Monkey::MessagesFromEnvironment(1000000)), "");
}

}  // namespace
