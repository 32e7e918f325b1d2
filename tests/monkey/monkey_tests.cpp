// Short monkey runs for every test run, and the long one for `make soak`.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/monkey/monkey.h"

namespace {

std::string RunMonkey(uint64_t seed, long messages) {
    Monkey monkey(seed, messages);
    const std::string failure = monkey.Run();
    const MonkeyStatistics& s = monkey.Statistics();
    std::printf("seed %llu: %ld messages, %d sessions, %d games entered, %d menu commands, %d undo storms, "
                "%d drags, %d model moves, %d moves, %d card checks, %d screen checks, %.0f s of virtual time\n",
                static_cast<unsigned long long>(seed), s.messages, s.sessions, s.gamesEntered, s.menuCommands,
                s.undoStorms, s.drags, s.modelMoves, s.moves, s.cardChecks, s.screenChecks, s.virtualMs / 1000.0);
    return failure;
}

TEST(Monkey, ShortRunsKeepEveryCardAndLeaveNothingBehind) {
    const long messages = 2500;
    for (uint64_t seed : {1u, 2u, 3u}) EXPECT_EQ(RunMonkey(seed, messages), "") << "seed " << seed;
}

// `make soak`: QUILLFEN_MONKEY_MESSAGES messages from QUILLFEN_MONKEY_SEED (0 picks one).
TEST(Monkey, Soak) {
    if (!std::getenv("QUILLFEN_MONKEY_MESSAGES")) GTEST_SKIP() << "set QUILLFEN_MONKEY_MESSAGES (make soak)";
    const uint64_t seed = Monkey::SeedFromEnvironment(0);
    EXPECT_EQ(RunMonkey(seed, Monkey::MessagesFromEnvironment(1000000)), "");
}

}  // namespace
