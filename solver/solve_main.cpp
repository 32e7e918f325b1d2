// quillfen-solve: solves seeded deals of any game from the command line.
//
//   quillfen-solve --game klondike --deal 12345 [--option CardsDealt=1 ...]
//       prints the answer (won, lost or unknown) and the winning moves;
//   quillfen-solve --game klondike --deals 1-1000 [--seconds 1] [--jobs 2]
//       measures the game's winnability: the won share with its 95% confidence interval, the
//       share left unknown and the time per deal, solving deals on every core at once;
//   quillfen-solve --game klondike --winnable-from 12345 [--seconds 1]
//       prints "winnable N" for the first deal number from 12345 on that it proves won within
//       the time, else "none" (the program's "Winnable Deals Only" asks it this way).
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "games/models/model_registry.h"
#include "solver/solver.h"

namespace {

constexpr int kBadArguments = 2;

const char* kUsage =
    "Usage: quillfen-solve --game NAME (--deal N | --deals FIRST-LAST) [options]\n"
    "  --game NAME          the game, as named on the selection screen (case and spaces do not matter)\n"
    "  --deal N             solve deal number N and print the winning moves\n"
    "  --deals FIRST-LAST   solve every deal in the range and report the game's winnability\n"
    "  --winnable-from N    print the first deal number from N on proven won within --seconds in all\n"
    "  --option NAME=VALUE  a rule option, named and valued as in the settings file (Recycles=99999)\n"
    "  --seconds S          time budget per deal (default 1); with --winnable-from, for the whole search\n"
    "  --each               with --deals, also print every deal's answer, positions and time\n"
    "  --jobs N             with --deals, solve N deals at a time (default: one per core)\n"
    "  --cpu                count the search's processor time, not wall-clock time, against --seconds\n"
    "  --nodes N            position budget per deal (default 20000000)\n"
    "  --memory MB          memory budget of the position table per deal (default 256)\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillfen-solve: %s\n", message.c_str());
    return kBadArguments;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseSeconds(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && value > 0 && value < 1e6;
}

std::string DescribeMove(const PlayMove& move) {
    const std::string from = std::to_string(move.from), to = std::to_string(move.to);
    switch (move.kind) {
    case PlayMove::kStock:
        return "press the stock";
    case PlayMove::kMove:
        return "move " + std::to_string(move.count) + (move.count == 1 ? " card" : " cards") + " from place " + from +
               " (card " + std::to_string(move.index) + ") to place " + to;
    case PlayMove::kSelect:
        return "select place " + from + " card " + std::to_string(move.index);
    case PlayMove::kFlip:
        return "turn the top card of place " + from;
    case PlayMove::kDeal:
        return "redeal";
    }
    return "?";
}

// Wilson score interval of a proportion at 95%.
void Wilson(double successes, double total, double& low, double& high) {
    const double z = 1.959964;
    if (total <= 0) {
        low = 0;
        high = 1;
        return;
    }
    const double p = successes / total, z2 = z * z / total;
    const double centre = (p + z2 / 2) / (1 + z2);
    const double half = z * std::sqrt(p * (1 - p) / total + z * z / (4 * total * total)) / (1 + z2);
    low = std::max(0.0, centre - half);
    high = std::min(1.0, centre + half);
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size()))) - 1;
    return values[std::min(at, values.size() - 1)];
}

void Progress(unsigned done, unsigned total, unsigned won) {
    constexpr int kWidth = 40;
    const int filled = static_cast<int>(static_cast<double>(done) / total * kWidth);
    std::fprintf(stderr, "\r[%s%s] %u/%u, %u won", std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(kWidth - filled), ' ').c_str(), done, total, won);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
}

// Whether a won answer's moves, played on the model from `position`, are each one it offers and
// end in a win: every measured win is checked this way.
bool Replays(const PlayModelOps& ops, const std::string& position, const MoveList& moves) {
    std::vector<uint64_t> at((ops.positionSize + 7) / 8);
    std::memcpy(at.data(), position.data(), ops.positionSize);
    MoveList offered;
    for (const PlayMove& move : moves) {
        ops.moves(at.data(), offered);
        if (std::find(offered.begin(), offered.end(), move) == offered.end()) return false;
        ops.apply(at.data(), move);
    }
    return ops.won(at.data());
}

// The rule values given on the command line, by their settings names.
class Options {
public:
    // Takes NAME=VALUE for `game`; an empty answer means taken, otherwise it says what is wrong.
    std::string Take(const GameModel& game, const std::string& option) {
        const size_t equals = option.find('=');
        const std::string name = option.substr(0, equals), value = option.substr(equals + 1);
        for (const RuleInfo& known : game.rules) {
            if (!SameName(known.name, name)) continue;
            int32_t number = 0;
            // A scoring choice is stored as its name.
            if (SameName(value, "English") || SameName(value, "American")) number = SameName(value, "English");
            else if (!ParseNumber(value, number)) return std::string(known.name) + " needs a whole number, not \"" + value + "\"";
            if (!known.Accepts(number))
                return std::string(known.name) + " is " + std::to_string(known.range.lowest) + " to " +
                       std::to_string(known.range.highest) + (known.range.orUnlimited ? " or 99999 (no limit)" : "");
            values[known.name] = number;
            return {};
        }
        std::string names;
        for (const RuleInfo& known : game.rules) names += std::string(names.empty() ? "" : ", ") + known.name;
        return std::string(game.name) + " has no option \"" + name + "\"" +
               (names.empty() ? " (it has no rule options)" : " (its options: " + names + ")");
    }
    // Deal `number` of the game under these values.
    std::string Deal(const GameModel& game, unsigned number) const {
        std::string position(game.ops.positionSize, '\0');
        game.deal(number, [this](std::string_view name) -> std::optional<int32_t> {
            const auto found = values.find(std::string(name));
            return found == values.end() ? std::nullopt : std::optional<int32_t>(found->second);
        }, position.data());
        return position;
    }

private:
    std::map<std::string, int32_t> values;
};

// Deal numbers from `first` on, each searched for at most a quarter of the time left, until one
// is proven won or the time is spent. Numbers wrap round within 1..999999999.
int FindWinnable(const Options& given, const GameModel& game, unsigned first, SolveBudget budget,
                 MoveScore score) {
    constexpr unsigned kLastDealNumber = 999999999;
    constexpr double kFloorSeconds = 0.05;  // a deal gets at least this long while any time is left
    const auto start = std::chrono::steady_clock::now();
    const double total = budget.seconds;
    for (unsigned deal = std::min(first, kLastDealNumber);; deal = deal == kLastDealNumber ? 1 : deal + 1) {
        const double left = total - std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (left <= 0) break;
        budget.seconds = std::min(left, std::max(left / 4, kFloorSeconds));
        const std::string position = given.Deal(game, deal);
        if (Solve(game.ops, position.data(), budget, score).outcome == SolveOutcome::kWon) {
            std::printf("winnable %u\n", deal);
            return 0;
        }
    }
    std::printf("none\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string gameName;
    std::vector<std::string> options;
    unsigned first = 0, last = 0;
    bool haveDeals = false, oneDeal = false, findWinnable = false, each = false;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    SolveBudget budget;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--cpu" || argument == "--each") {
            (argument == "--cpu" ? budget.processorTime : each) = true;
            continue;
        }
        if (i + 1 >= argc) return Fail("missing value after " + argument + "\n" + kUsage);
        const std::string value = argv[++i];
        if (argument == "--game") {
            gameName = value;
        } else if (argument == "--deal") {
            if (!ParseNumber(value, first)) return Fail("--deal needs a deal number, not \"" + value + "\"");
            last = first;
            haveDeals = oneDeal = true;
        } else if (argument == "--deals") {
            const size_t dash = value.find('-');
            if (dash == std::string::npos || !ParseNumber(std::string_view(value).substr(0, dash), first) ||
                !ParseNumber(std::string_view(value).substr(dash + 1), last) || last < first)
                return Fail("--deals needs a range FIRST-LAST, not \"" + value + "\"");
            haveDeals = true;
            oneDeal = false;
        } else if (argument == "--winnable-from") {
            if (!ParseNumber(value, first) || first == 0) return Fail("--winnable-from needs a deal number");
            haveDeals = findWinnable = true;
        } else if (argument == "--option") {
            if (value.find('=') == std::string::npos) return Fail("--option needs NAME=VALUE, not \"" + value + "\"");
            options.push_back(value);
        } else if (argument == "--seconds") {
            // A search for a winnable deal may be given no time at all (checked below): it finds none.
            if (value == "0") budget.seconds = 0;
            else if (!ParseSeconds(value, budget.seconds)) return Fail("--seconds needs a positive number");
        } else if (argument == "--nodes") {
            if (!ParseNumber(value, budget.nodes) || budget.nodes == 0) return Fail("--nodes needs a positive number");
        } else if (argument == "--jobs") {
            if (!ParseNumber(value, jobs) || jobs == 0 || jobs > 256) return Fail("--jobs needs a number from 1 to 256");
        } else if (argument == "--memory") {
            size_t megabytes = 0;
            if (!ParseNumber(value, megabytes) || megabytes == 0 || megabytes > (size_t{1} << 20))
                return Fail("--memory needs a number of megabytes");
            budget.memoryBytes = megabytes << 20;
        } else {
            return Fail("unknown argument " + argument + "\n" + kUsage);
        }
    }
    if (budget.seconds <= 0 && !findWinnable) return Fail("--seconds needs a positive number");
    if (gameName.empty() || !haveDeals) return Fail(std::string("--game and --deal or --deals are needed\n") + kUsage);
    const GameModel* game = FindModelByName(gameName);
    if (!game) {
        std::string names;
        for (const GameModel& entry : GameModels()) names += std::string("\n  ") + entry.name;
        return Fail("no game is called \"" + gameName + "\"; the games are:" + names);
    }

    if (PlayedForPoints(game->number)) {
        std::printf("%s is played for points: no deal is won or lost, so there is nothing to solve.\n", game->name);
        return 0;
    }

    Options given;
    for (const std::string& option : options)
        if (const std::string problem = given.Take(*game, option); !problem.empty()) return Fail(problem);
    const MoveScore score = MoveScoreFor(game->number);

    if (findWinnable) return FindWinnable(given, *game, first, budget, score);
    if (oneDeal) {
        const std::string position = given.Deal(*game, first);
        const SolveResult result = Solve(game->ops, position.data(), budget, score);
        std::printf("%s deal %u: %s (%llu positions, %.3f s)\n", game->name, first, OutcomeName(result.outcome),
                    static_cast<unsigned long long>(result.nodes), result.seconds);
        for (size_t i = 0; i < result.moves.size(); ++i)
            std::printf("%4zu. %s\n", i + 1, DescribeMove(result.moves[i]).c_str());
        return 0;
    }

    // The deals are made on this thread; the searches, each over its own copy, run on `jobs` threads
    // taking deals in order. Each deal's answer does not depend on which thread found it.
    const bool showProgress = isatty(STDERR_FILENO);
    const unsigned total = last - first + 1;
    std::vector<std::string> positions;
    positions.reserve(total);
    for (unsigned deal = first;; ++deal) {
        positions.push_back(given.Deal(*game, deal));
        if (deal == last) break;
    }
    std::vector<SolveResult> results(total);
    std::vector<uint8_t> replayed(total, 1);
    std::atomic<unsigned> next{0}, finished{0}, wonSoFar{0};
    const auto solveDeals = [&] {
        for (unsigned i; (i = next.fetch_add(1)) < total;) {
            results[i] = Solve(game->ops, positions[i].data(), budget, score);
            if (results[i].outcome == SolveOutcome::kWon) {
                replayed[i] = Replays(game->ops, positions[i], results[i].moves);
                wonSoFar.fetch_add(1);
            }
            finished.fetch_add(1);
        }
    };
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned j = 1; j < std::min(jobs, total); ++j) workers.emplace_back(solveDeals);
    if (showProgress && !each) {
        // This thread reports progress and takes no deals itself.
        workers.emplace_back(solveDeals);
        for (unsigned done; (done = finished.load()) < total;) {
            Progress(done, total, wonSoFar.load());
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        Progress(total, total, wonSoFar.load());
    } else {
        solveDeals();
    }
    for (std::thread& worker : workers) worker.join();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    unsigned won = 0, lost = 0, unknown = 0, broken = 0;
    std::vector<double> times;
    for (unsigned i = 0; i < total; ++i) {
        const SolveResult& result = results[i];
        times.push_back(result.seconds);
        if (!replayed[i]) {
            std::fprintf(stderr, "quillfen-solve: deal %u: the winning moves do not win\n", first + i);
            ++broken;
        }
        won += result.outcome == SolveOutcome::kWon;
        lost += result.outcome == SolveOutcome::kLost;
        unknown += result.outcome == SolveOutcome::kUnknown;
        if (each)
            std::printf("deal %u: %s (%llu positions, %.3f s)\n", first + i, OutcomeName(result.outcome),
                        static_cast<unsigned long long>(result.nodes), result.seconds);
    }
    double low = 0, high = 0;
    Wilson(won, total, low, high);
    std::printf("%s, deals %u-%u, %.3g s%s per deal\n", game->name, first, last, budget.seconds,
                budget.processorTime ? " of processor time" : "");
    std::printf("won %u (%.1f%%, 95%% CI %.1f-%.1f%%), lost %u (%.1f%%), unknown %u (%.1f%%)\n", won,
                100.0 * won / total, 100 * low, 100 * high, lost, 100.0 * lost / total, unknown, 100.0 * unknown / total);
    std::printf("time per deal: median %.3f s, 95th percentile %.3f s\n", Percentile(times, 0.5),
                Percentile(times, 0.95));
    std::printf("%.1f deals per second on %u %s\n", total / std::max(wall, 1e-9), std::min(jobs, total),
                std::min(jobs, total) == 1 ? "thread" : "threads");
    return broken == 0 ? 0 : 1;
}
