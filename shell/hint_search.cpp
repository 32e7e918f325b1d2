#include "shell/hint_search.h"

#include <cstring>
#include <string>

#include "framework/game.h"
#include "games/game_registry.h"
#include "platform/backend.h"
#include "solver/solver.h"

namespace {

constexpr SolveBudget kHintBudget{.memoryBytes = size_t{64} << 20, .seconds = 0.5};
// Under a virtual clock the search is given positions instead of time and its answer is awaited
// at the first poll, so the same script shows the same hint at the same virtual moment.
constexpr SolveBudget kReplayableHintBudget{.nodes = 200'000, .memoryBytes = size_t{64} << 20, .seconds = 1e9};

class SolverHint : public HintSearch {
public:
    SolverHint(const PlayModelOps& ops, std::string position, MoveScore score, bool replayable)
        : ops(ops), position(std::move(position)), score(score), replayable(replayable),
          job(ops, this->position.data(), replayable ? kReplayableHintBudget : kHintBudget, score) {}

    bool Ready() override {
        if (replayable) job.Wait();
        return job.Done();
    }

    Answer Move(PlayMove& move) override {
        const SolveResult& result = job.Result();
        if (result.outcome == SolveOutcome::kWon && !result.moves.empty()) {
            move = result.moves.front();
            return Answer::kMove;
        }
        if (result.outcome == SolveOutcome::kLost) return Answer::kCannotWin;
        // Out of time: the heuristic's best move is still worth showing.
        const MoveList ordered = OrderedMoves(ops, position.data(), score);
        if (ordered.empty()) return Answer::kNothingFound;
        move = ordered.front();
        return Answer::kMove;
    }

private:
    const PlayModelOps& ops;
    std::string position;
    MoveScore score;
    bool replayable;
    SolverJob job;
};

// One worker thread, and the processor time it may spend on a position before the verdict is left
// unknown. Under a virtual clock: a few positions, awaited, so a script replays exactly (and a
// long scripted session stays quick).
constexpr SolveBudget kVerdictBudget{.memoryBytes = size_t{64} << 20, .seconds = 2, .processorTime = true};
constexpr SolveBudget kReplayableVerdictBudget{.nodes = 2'000, .memoryBytes = size_t{8} << 20, .seconds = 1e9};

class SolverVerdict : public VerdictSearch {
public:
    SolverVerdict(const PlayModelOps& ops, const std::string& position, MoveScore score, bool replayable)
        : replayable(replayable),
          job(ops, position.data(), replayable ? kReplayableVerdictBudget : kVerdictBudget, score) {}

    bool Ready() override {
        if (replayable) job.Wait();
        return job.Done();
    }

    Verdict Answer() override {
        switch (job.Result().outcome) {
        case SolveOutcome::kWon: return Verdict::kWinnable;
        case SolveOutcome::kLost: return Verdict::kCannotWin;
        default: return Verdict::kNone;
        }
    }

private:
    bool replayable;
    SolverJob job;
};

// The demo's line: the player waits for it, so the search is given longer than a hint's.
constexpr SolveBudget kLineBudget{.memoryBytes = size_t{128} << 20, .seconds = 2};
constexpr SolveBudget kReplayableLineBudget{.nodes = 200'000, .memoryBytes = size_t{64} << 20, .seconds = 1e9};

class SolverLine : public LineSearch {
public:
    SolverLine(const PlayModelOps& ops, const std::string& position, MoveScore score, bool forPoints, bool replayable)
        : forPoints(forPoints), replayable(replayable),
          job(ops, position.data(), replayable ? kReplayableLineBudget : kLineBudget, score) {}

    bool Ready() override {
        if (replayable) job.Wait();
        return job.Done();
    }

    Outcome Line(MoveList& moves) override {
        const SolveResult& result = job.Result();
        if (result.outcome == SolveOutcome::kWon) {
            moves = result.moves;
            return Outcome::kWon;
        }
        moves = result.bestLine;
        if (forPoints) return Outcome::kForPoints;
        return result.outcome == SolveOutcome::kLost ? Outcome::kCannotWin : Outcome::kNoWinFound;
    }

private:
    bool forPoints, replayable;
    SolverJob job;
};

}  // namespace

std::unique_ptr<LineSearch> StartSolverLine(Game& game) {
    const GameDescriptor* entry = FindGame(game.gameNumber);
    const std::string position = game.PositionBytes();
    if (!entry || !entry->model || position.size() != entry->model->positionSize) return nullptr;
    return std::make_unique<SolverLine>(*entry->model, position, MoveScoreFor(entry->number),
                                        PlayedForPoints(entry->number), ClockIsVirtual());
}

std::unique_ptr<VerdictSearch> StartSolverVerdict(Game& game) {
    const GameDescriptor* entry = FindGame(game.gameNumber);
    const std::string position = game.PositionBytes();
    if (!entry || !entry->model || PlayedForPoints(entry->number) || position.size() != entry->model->positionSize)
        return nullptr;
    return std::make_unique<SolverVerdict>(*entry->model, position, MoveScoreFor(entry->number), ClockIsVirtual());
}

std::unique_ptr<HintSearch> StartSolverHint(Game& game) {
    const GameDescriptor* entry = FindGame(game.gameNumber);
    const std::string position = game.PositionBytes();
    if (!entry || !entry->model || position.size() != entry->model->positionSize) return nullptr;
    return std::make_unique<SolverHint>(*entry->model, position, MoveScoreFor(entry->number), ClockIsVirtual());
}
