#include "framework/demo.h"

#include <cstring>
#include <vector>

#include "framework/finish.h"
#include "framework/game.h"
#include "framework/game_services.h"
#include "platform/backend.h"
#include "platform/translation.h"
#include "store/settings_store.h"
#include "ui/controls.h"
#include "ui/toolkit.h"

namespace {

constexpr int kMaxReplans = 3;

constexpr const char* kCannotWinEnd =
    TranslateLater("This deal cannot be won. The demo played the line that sends the most cards home.");
constexpr const char* kNoWinFoundEnd =
    TranslateLater("The demo found no win in time. It played the line that sent the most cards home.");

// The model's position after `move`, or empty when the model has none.
std::string After(const PlayModelOps& ops, const std::string& position, const PlayMove& move) {
    if (position.size() != ops.positionSize) return {};
    std::vector<uint64_t> words(position.size() / sizeof(uint64_t) + 1);
    std::memcpy(words.data(), position.data(), position.size());
    ops.apply(words.data(), move);
    return std::string(reinterpret_cast<const char*>(words.data()), position.size());
}

}  // namespace

void DemoRunner::Start(Game& game) {
    GameServices& services = Services();
    if (running || game.paused || game.gameOver || game.dragging || !services.startLineSearch) return;
    search = services.startLineSearch(game);
    if (!search) return;
    expected = game.PositionBytes();
    line.clear();
    next = 0;
    replans = 0;
    running = true;
    // Told once a deal: from here it enters no high score or statistics.
    if (!game.playedByDemo) {
        const bool counted = game.DealUnderway();
        game.LeaveDeal(Game::Leaving::kForAnotherDeal);
        game.playedByDemo = true;
        game.ShowHintWords(
            counted
                ? Translate("Demo: this deal counts as given up and enters no high score. Any key or click stops it.")
                : Translate("Demo: this deal enters no high score or statistics. Any key or click stops it."));
    } else {
        game.ShowHintWords(Translate("Demo: any key or click stops it."));
    }
}

void DemoRunner::Stop() {
    if (stepping || !running) return;
    running = false;
    search.reset();
}

void DemoRunner::Tick(Game& game) {
    if (stepping) return;
    MenuItem* item = CommandItem(game.GameCommandsMenu(), kCommandDemo);
    const bool playable = !game.gameOver && Services().playModel && Services().playModel(game.gameNumber);
    if (item && item->IsDisabled() == playable) item->SetDisabled(!playable);
    if (!running) return;
    if (game.gameOver) {
        running = false;
        return;
    }
    if (game.paused || game.dragging || TableCovered()) return;
    if (search) {
        if (!search->Ready()) return;
        outcome = search->Line(line);
        search.reset();
        next = 0;
        nextMoveAt = 0;
        if (line.empty()) {
            game.demoEndWords = EndWords();
            Conclude(game);
            return;
        }
    }
    if (GetTickCount64() < nextMoveAt) return;
    Step(game);
}

// Plays line[next], unless the table already made it by itself (a face-down card some games turn
// on their own); a table that stands anywhere else gets a new line.
void DemoRunner::Step(Game& game) {
    const PlayModelOps* ops = Services().playModel ? Services().playModel(game.gameNumber) : nullptr;
    if (!ops) {
        running = false;
        return;
    }
    const PlayMove move = line[next];
    const std::string after = After(*ops, expected, move);
    const std::string now = game.PositionBytes();
    if (now != expected && now != after) {
        if (++replans > kMaxReplans || !Services().startLineSearch || !(search = Services().startLineSearch(game))) {
            running = false;
            return;
        }
        expected = now;
        return;
    }
    if (next + 1 == line.size()) game.demoEndWords = EndWords();
    if (now == expected) {
        stepping = true;
        const bool moved = PlayByHand(game, move, true);
        stepping = false;
        if (!moved) {
            // The table would not take the move: stop rather than try it forever.
            running = false;
            game.demoEndWords.clear();
            return;
        }
    }
    expected = after;
    ++next;
    nextMoveAt = GetTickCount64() + Pause(move);
    if (next == line.size()) Conclude(game);
}

// The words are left with the game before the line's last move: a move its own test ends the game
// with says them in place of "There are no moves left.". Else they are said here.
void DemoRunner::Conclude(Game& game) {
    running = false;
    if (game.demoEndWords.empty() || game.gameOver) return;
    if (Services().showMessage) Services().showMessage(game.demoEndWords.c_str());
    game.demoEndWords.clear();
}

const char* DemoRunner::EndWords() const {
    switch (outcome) {
    case LineSearch::Outcome::kCannotWin: return Translate(kCannotWinEnd);
    case LineSearch::Outcome::kNoWinFound: return Translate(kNoWinFoundEnd);
    default: return "";
    }
}

// Long enough to follow each move; presses of the stock come quicker.
uint64_t DemoRunner::Pause(const PlayMove& move) {
    uint64_t ms = 150;
    if (userPreferences.AnimationSpeed == kAnimationNormal) ms = 600;
    else if (userPreferences.AnimationSpeed == kAnimationFast) ms = 300;
    return move.kind == PlayMove::kStock ? ms / 3 : ms;
}
