// quillfen-solve as a player runs it: arguments, answers, the winnability report and its errors.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct ToolRun {
    int status;
    std::string output;  // stdout and stderr
};

ToolRun Solve(const std::string& arguments) {
    const std::string command = std::string(QUILLFEN_SOLVE_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ToolRun run{-1, {}};
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(SolveTool, SolvesOneDealListsTheMovesAndFindsAWinnableOne) {
    const ToolRun run = Solve("--game 'gate' --deal 3 --nodes 20000");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Gate deal 3: won"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("   1. "), std::string::npos) << run.output;
    // So a search for a winnable deal from 3 answers 3, and with no time, none.
    EXPECT_EQ(Solve("--game gate --winnable-from 3 --seconds 5").output, "winnable 3\n");
    EXPECT_EQ(Solve("--seconds 0 --game gate --winnable-from 3").output, "none\n");

    // It deals through the models alone: no window, picture or sound library is loaded.
    FILE* pipe = popen((std::string("ldd ") + QUILLFEN_SOLVE_PROGRAM).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string libraries;
    for (char line[512]; fgets(line, sizeof line, pipe);) libraries += line;
    pclose(pipe);
    EXPECT_NE(libraries.find("libc.so"), std::string::npos) << libraries;
    for (const char* drawingOrSound : {"SDL", "fluidsynth", "jpeg", "png", "X11"})
        EXPECT_EQ(libraries.find(drawingOrSound), std::string::npos) << drawingOrSound << " in\n" << libraries;
}

TEST(SolveTool, MeasuresARangeOfDeals) {
    const ToolRun run = Solve("--game 'Monte  carlo' --deals 1-5 --option rows=4 --seconds 0.5 --each");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("deal 5: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Monte Carlo, deals 1-5"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("95% CI"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("median"), std::string::npos) << run.output;
    // No terminal: no progress bar.
    EXPECT_EQ(run.output.find('\r'), std::string::npos);

    // On several threads, every deal gets the same answer (a budget of positions, not time).
    const auto answers = [](const std::string& jobs) {
        const ToolRun run = Solve("--game golf --deals 1-12 --nodes 3000 --each --jobs " + jobs);
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find("deals per second on " + jobs + " thread"), std::string::npos) << run.output;
        std::string lines;
        for (size_t at = 0; (at = run.output.find("deal ", at)) != std::string::npos; at = run.output.find('(', at))
            lines += run.output.substr(at, run.output.find('(', at) - at) + "\n";
        return lines;
    };
    const std::string one = answers("1");
    EXPECT_NE(one.find("deal 12: "), std::string::npos) << one;
    EXPECT_EQ(answers("3"), one);
}

TEST(SolveTool, BadArgumentsExitWithTwo) {
    const ToolRun unknownGame = Solve("--game solitaire --deal 1");
    EXPECT_EQ(unknownGame.status, 2);
    EXPECT_NE(unknownGame.output.find("Take Fourteen"), std::string::npos) << unknownGame.output;
    for (const char* arguments :
         {"--game golf", "--game golf --deal x", "--game golf --deals 5-2", "--game golf --deal 1 --option Rows",
          "--game golf --deal 1 --option Nonsense=1", "--game golf --deal 1 --option WrapAround=yes",
          "--game klondike --deal 1 --option CardsDealt=9", "--game golf --deal 1 --seconds -1", "--game golf --deal 1 --seconds 0",
          "--game golf --winnable-from 0", "--game golf --deals 1-2 --jobs 0", "--frobnicate 1"}) {
        const ToolRun run = Solve(arguments);
        EXPECT_EQ(run.status, 2) << arguments << "\n" << run.output;
        EXPECT_NE(run.output.find("quillfen-solve: "), std::string::npos) << arguments;
    }
    EXPECT_EQ(Solve("--help").status, 0);
}

}  // namespace
