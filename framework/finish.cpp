#include "framework/finish.h"

#include <cstring>
#include <unordered_set>
#include <vector>

#include "framework/game.h"
#include "framework/game_services.h"
#include "platform/backend.h"
#include "ui/controls.h"

namespace {

// Longer than any play-out of two packs with a stock turned over a few times.
constexpr int kMaxPlanMoves = 1000;

}  // namespace

bool FinishPlan(const PlayModelOps& ops, const std::string& position, MoveList& plan) {
    plan.clear();
    if (!ops.moves || position.size() != ops.positionSize || position.empty()) return false;
    std::vector<uint64_t> current(position.size() / sizeof(uint64_t) + 1), trial(current.size());
    std::memcpy(current.data(), position.data(), position.size());
    std::unordered_set<uint64_t> seen;
    MoveList moves;
    PositionCode code;
    while (static_cast<int>(plan.size()) < kMaxPlanMoves) {
        if (ops.won(current.data())) return !plan.empty();
        // A card still face down (a turn to make, or one the game turns by itself): the player
        // cannot know how the game goes on.
        if (ops.faceDown && ops.faceDown(current.data()) > 0) break;
        code.bytes.clear();
        ops.encode(current.data(), code);
        // Back where it was (the stock went round without a card played): a decision is missing.
        if (!seen.insert(code.Hash()).second) break;
        ops.moves(current.data(), moves);
        const PlayMove* best = nullptr;
        const PlayMove* stock = nullptr;
        int bestPoints = 0;
        for (const PlayMove& move : moves) {
            if (move.kind == PlayMove::kFlip) {
                plan.clear();
                return false;
            }
            if (move.kind == PlayMove::kStock) stock = &move;
            if (move.kind != PlayMove::kMove && move.kind != PlayMove::kSelect) continue;
            std::memcpy(trial.data(), current.data(), position.size());
            const int points = ops.apply(trial.data(), move);
            if (points > bestPoints) {
                bestPoints = points;
                best = &move;
            }
        }
        if (!best) best = stock;
        if (!best) break;
        plan.push_back(*best);
        ops.apply(current.data(), *best);
        // The game's own test would end it here (it looks only a move or two ahead).
        if (ops.over(current.data()) && !ops.won(current.data())) break;
    }
    plan.clear();
    return false;
}

MenuItem* CommandItem(Menu* menu, int commandId) {
    for (int i = 0; menu && i < menu->ItemCount(); ++i)
        if (menu->Item(i)->CommandId() == commandId) return menu->Item(i);
    return nullptr;
}

bool FinishRunner::Finishable(Game& game) {
    const std::string position = game.PositionBytes();
    if (position != checkedPosition) {
        checkedPosition = position;
        const PlayModelOps* ops = Services().playModel ? Services().playModel(game.gameNumber) : nullptr;
        MoveList plan;
        checkedFinishable = ops && FinishPlan(*ops, position, plan);
    }
    return checkedFinishable && !game.paused && !game.gameOver && !game.dragging;
}

bool FinishRunner::Start(Game& game) {
    running = Finishable(game);
    return running;
}

void FinishRunner::Stop() {
    if (!stepping) running = false;
}

void FinishRunner::Tick(Game& game) {
    // A full redraw inside one of the runner's own moves comes back here: nothing to do then.
    if (stepping) return;
    const bool finishable = Finishable(game);
    MenuItem* item = CommandItem(game.GameCommandsMenu(), kCommandFinish);
    if (item && item->IsDisabled() == finishable) item->SetDisabled(!finishable);
    if (!running) return;
    if (!finishable) {
        running = false;
        return;
    }
    // The play-out waits while the table is covered.
    if (TableCovered()) return;
    Step(game);
}

// One move of the plan, the way the player would make it.
void FinishRunner::Step(Game& game) {
    const PlayModelOps* ops = Services().playModel(game.gameNumber);
    MoveList plan;
    if (!FinishPlan(*ops, checkedPosition, plan)) {
        running = false;
        return;
    }
    stepping = true;
    const bool moved = PlayByHand(game, plan.front());
    stepping = false;
    // Nothing changed: the table would not take the move, so stop rather than try it forever.
    if (!moved) running = false;
}

// A card going home is double-clicked, so it slides there; anything else is made with the mouse
// as the game's gesture says.
bool PlayByHand(Game& game, const PlayMove& move, bool glide) {
    MoveGesture gesture;
    if (!game.GestureFor(move, gesture)) return false;
    const std::string before = game.PositionBytes();
    auto click = [&game](int x, int y) {
        game.HandleMouseMessage(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        game.HandleMouseMessage(WM_LBUTTONUP, 0, x, y);
    };
    // As the mouse sends a double click: a click, then the double click and its release.
    auto doubleClick = [&game, &click](int x, int y) {
        click(x, y);
        game.HandleMouseMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, x, y);
        game.HandleMouseMessage(WM_LBUTTONUP, 0, x, y);
    };
    // The double click sends the cards to the first home that takes them: used only where that is
    // the move's own.
    const DropTarget* target = game.FindDropTargetAt(gesture.toX, gesture.toY);
    Hotspot* spot = game.FindPickupAt(gesture.fromX, gesture.fromY);
    DragRecord picked = spot ? *spot : DragRecord{};
    if (gesture.kind == MoveGesture::kDrag && target && target->kind == kAutoMoveKind && spot &&
        game.FindLegalTarget(picked, kAutoMoveKind) == target) {
        doubleClick(gesture.fromX, gesture.fromY);
        // No home found for the card by the double click: the plain drag then.
        if (game.PositionBytes() != before) return true;
    }
    switch (gesture.kind) {
    case MoveGesture::kClick: click(gesture.fromX, gesture.fromY); break;
    case MoveGesture::kDoubleClick:
        doubleClick(gesture.fromX, gesture.fromY);
        break;
    case MoveGesture::kDrag:
        game.HandleMouseMessage(WM_LBUTTONDOWN, MK_LBUTTON, gesture.fromX, gesture.fromY);
        if (glide && Services().animate) {
            constexpr uint32_t kGlideFrameMs = 16;
            const Game::SlidePath path = Game::PlanSlide(gesture.fromX, gesture.fromY, gesture.toX, gesture.toY, false);
            const uint32_t duration = Game::SlideDurationMs(path.steps, false);
            const int frames = static_cast<int>(duration / kGlideFrameMs);
            for (int frame = 1; frame < frames; ++frame) {
                int x = 0, y = 0;
                path.PositionAfter(path.steps * frame / frames, x, y);
                game.HandleMouseMessage(WM_MOUSEMOVE, MK_LBUTTON, x, y);
                SleepMs(kGlideFrameMs);
            }
        }
        game.HandleMouseMessage(WM_MOUSEMOVE, MK_LBUTTON, gesture.toX, gesture.toY);
        game.HandleMouseMessage(WM_LBUTTONUP, 0, gesture.toX, gesture.toY);
        break;
    case MoveGesture::kTwoClicks:
        click(gesture.fromX, gesture.fromY);
        click(gesture.toX, gesture.toY);
        break;
    }
    return game.PositionBytes() != before;
}
