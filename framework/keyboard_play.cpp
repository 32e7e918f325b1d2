#include "framework/keyboard_play.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "artwork/artwork.h"
#include "artwork/screen_layout.h"
#include "draw/draw.h"
#include "framework/game.h"
#include "platform/keys.h"
#include "ui/toolkit.h"

namespace {

constexpr int kScreenRight = screen_layout::kScreenWidth - 1;
constexpr int kScreenBottom = screen_layout::kScreenHeight - 1;
constexpr int kRingMargin = 3;  // the ring runs this far outside the cards, three pixels wide
// Saved edges get the same headroom as the drag's save-under.
constexpr double kBlockSlack = 1.35;
// Two click points this close are the same place.
constexpr int kSamePoint = 4;

Rect Clamped(const Rect& r) {
    return {std::clamp(r.left, 0, kScreenRight), std::clamp(r.top, 0, kScreenBottom), std::clamp(r.right, 0, kScreenRight),
            std::clamp(r.bottom, 0, kScreenBottom)};
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

int CentreX(const Rect& r) { return (r.left + r.right) / 2; }
int CentreY(const Rect& r) { return (r.top + r.bottom) / 2; }

}  // namespace

// ---- Keys ----

bool KeyboardPlay::OnKey(uint32_t message, WPARAM key) {
    if (message == WM_KEYUP) {
        switch (key) {
        case kAfterPressKey: AfterPress(); return true;
        case kAfterMoveKey: AfterMove(); return true;
        case kRedrawKey:
            redrawPosted = false;
            Refresh();
            // The ring was taken off before the last input; if it is not back (the mouse took
            // over), what it covered must still reach the window.
            if (game.artwork) game.artwork->PresentDirty();
            return true;
        default: return false;
        }
    }
    if (message != WM_KEYDOWN) return false;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    const bool press = key == VK_SPACE || key == VK_RETURN;
    const bool escape = key == VK_ESCAPE && lifted;
    if (!arrow && !press && !escape && key != 'D') return false;
    if (busy && ++deferrals <= kMostDeferrals) {
        // The last action's messages are still queued: this key waits behind them.
        PostMessage(MainWindowHandle(), WM_KEYDOWN, key, 0);
        return true;
    }
    if (busy) {
        // A modal loop took the report: carry on from the table as it stands.
        lifted = game.dragging;
        busy = false;
        stale = true;
    }
    deferrals = 0;
    if (game.paused || game.gameOver || !game.artwork) return false;
    if (key == 'D') {
        PressStock();
        return true;
    }
    if (escape) {
        Cancel();
        return true;
    }
    Hide(false);
    if (stale) Rebuild();
    if (!active) {
        // The first key shows where the ring stands; the next ones move or press.
        active = true;
    } else if (arrow && focus >= 0) {
        const Direction direction = key == VK_LEFT ? kLeft : key == VK_RIGHT ? kRight : key == VK_UP ? kUp : kDown;
        SetFocus(Neighbour(focus, direction));
    } else if (press) {
        Activate();
    }
    Refresh();
    game.artwork->PresentDirty();
    return true;
}

void KeyboardPlay::OnMouse(uint32_t message, WPARAM keys) {
    if ((keys & kKeyboardMouse) != 0) return;
    // The pointer may be warped while cards are held: only a button hands them to the mouse.
    if (lifted && message == WM_MOUSEMOVE) return;
    if (lifted && game.dragging && (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK))
        game.OnLButtonUp(kKeyboardMouse, originX, originY);
    lifted = false;
    active = false;
    stale = true;
    // The mouse has taken over: the ring goes at once. Left for the next input to take off, it
    // would come off the table only, and stay in the window until something else was presented.
    Hide(true);
}

void KeyboardPlay::BeforeInput() {
    Hide(false);
    stale = true;
    RequestRedraw();
}

void KeyboardPlay::TableRedrawn() {
    drawn = false;
    saved.clear();
    stale = true;
    RequestRedraw();
}

void KeyboardPlay::ClearOf(const Rect& area, bool orDragging) {
    if (!drawn) {
        // The panel's tick brings back a ring that could not be drawn before (a dialog was open).
        RequestRedraw();
        return;
    }
    if (!game.gameOver && !(orDragging && game.dragging) && !Overlap(ringOuter, area)) return;
    Hide(false);
    RequestRedraw();
}

// ---- Actions, as mouse messages ----

void KeyboardPlay::Post(uint32_t message, WPARAM keys, int x, int y) {
    PostMessage(MainWindowHandle(), message, keys | kKeyboardMouse, MakeLParam(x, y));
}

void KeyboardPlay::PostKeyUp(WPARAM key) { PostMessage(MainWindowHandle(), WM_KEYUP, key, 0); }

void KeyboardPlay::RequestRedraw() {
    if (!active || drawn || redrawPosted) return;
    redrawPosted = true;
    PostKeyUp(kRedrawKey);
}

void KeyboardPlay::Activate() {
    if (focus < 0 || focus >= static_cast<int>(stops.size())) return;
    const FocusStop stop = stops[static_cast<size_t>(focus)];
    if (lifted && focus != originStop) {
        // A place that refuses the cards keeps them in hand.
        DragRecord drag = game.dragRecord;
        DropTarget* target = game.FindDropTargetAt(stop.x, stop.y);
        if (!target || !game.CanDrop(drag, *target)) {
            game.PlaySound("invalid.wav");
            return;
        }
    }
    busy = true;
    stale = true;
    if (lifted) {
        Post(WM_MOUSEMOVE, MK_LBUTTON, stop.x, stop.y);
        Post(WM_LBUTTONUP, 0, stop.x, stop.y);
        PostKeyUp(kAfterMoveKey);
        return;
    }
    Post(WM_MOUSEMOVE, 0, stop.x, stop.y);
    Post(WM_LBUTTONDOWN, MK_LBUTTON, stop.x, stop.y);
    if (stop.kind == FocusStop::kPickup) {
        originX = stop.x;
        originY = stop.y;
        PostKeyUp(kAfterPressKey);
        return;
    }
    Post(WM_LBUTTONUP, 0, stop.x, stop.y);
    if (stop.kind == FocusStop::kDoubleClick) {
        Post(WM_LBUTTONDBLCLK, MK_LBUTTON, stop.x, stop.y);
        Post(WM_LBUTTONUP, 0, stop.x, stop.y);
    }
    PostKeyUp(kAfterMoveKey);
}

void KeyboardPlay::AfterPress() {
    if (!game.dragging) {
        // The press selected rather than lifted: finish the click.
        Post(WM_LBUTTONUP, 0, originX, originY);
        PostKeyUp(kAfterMoveKey);
        return;
    }
    busy = false;
    lifted = true;
    // The keyboard holds the cards: the pointer need not stay with them.
    ClipCursor(nullptr);
    game.RaiseHeld();
    Rebuild();
    // The ring starts on the first place that takes the cards, else where they came from.
    SetFocus(originStop);
    DragRecord drag = game.dragRecord;
    if (const DropTarget* legal = game.FindLegalTarget(drag, 0)) {
        for (size_t i = 0; i < stops.size(); ++i)
            if (static_cast<int>(i) != originStop && game.FindDropTargetAt(stops[i].x, stops[i].y) == legal) {
                SetFocus(static_cast<int>(i));
                break;
            }
    }
    Refresh();
}

void KeyboardPlay::AfterMove() {
    busy = false;
    lifted = false;
    stale = true;
    Refresh();
}

void KeyboardPlay::Cancel() {
    Hide(false);
    focusX = originX;
    focusY = originY;
    busy = true;
    stale = true;
    Post(WM_MOUSEMOVE, MK_LBUTTON, originX, originY);
    Post(WM_LBUTTONUP, 0, originX, originY);
    PostKeyUp(kAfterMoveKey);
}

void KeyboardPlay::PressStock() {
    if (lifted) return;
    MoveList moves;
    game.PlayMoves(moves);
    for (const PlayMove& move : moves) {
        MoveGesture gesture;
        if ((move.kind != PlayMove::kStock && move.kind != PlayMove::kDeal) || !game.GestureFor(move, gesture)) continue;
        Hide(false);
        busy = true;
        stale = true;
        Post(WM_MOUSEMOVE, 0, gesture.fromX, gesture.fromY);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, gesture.fromX, gesture.fromY);
        Post(WM_LBUTTONUP, 0, gesture.fromX, gesture.fromY);
        if (gesture.kind == MoveGesture::kDoubleClick) {
            Post(WM_LBUTTONDBLCLK, MK_LBUTTON, gesture.fromX, gesture.fromY);
            Post(WM_LBUTTONUP, 0, gesture.fromX, gesture.fromY);
        }
        PostKeyUp(kAfterMoveKey);
        return;
    }
}

// ---- Stops ----

const std::vector<FocusStop>& KeyboardPlay::Stops() {
    if (stale) Rebuild();
    return stops;
}

void KeyboardPlay::Rebuild() {
    stale = false;
    stops.clear();
    originStop = -1;
    if (lifted && game.dragging) BuildTargetStops();
    else BuildTableStops();
    SortIntoRows();
    FocusNearest(focusX, focusY);
}

void KeyboardPlay::BuildTableStops() {
    if (!game.artwork) return;
    int dx = 0, dy = 0;
    game.GetFanOffset(dx, dy);
    const int width = game.artwork->cardWidth, height = game.artwork->cardHeight;
    for (Hotspot& spot : game.pickups) {
        // Press in the middle of the part of the pick-up that a mouse press reaches.
        std::vector<int> rows;
        const int x = spot.x + Game::kPickupWidth / 2;
        for (int y = spot.y + 1; y < spot.y + Game::kPickupHeight - 1; y += 2)
            if (game.FindPickupAt(x, y) == &spot) rows.push_back(y);
        if (rows.empty()) continue;
        const int steps = std::max(spot.count - 1, 0);
        stops.push_back({FocusStop::kPickup, x, rows[rows.size() / 2],
                         {spot.x, spot.y, spot.x + steps * dx + width - 1, spot.y + steps * dy + height - 1}});
    }
    const size_t pickupStops = stops.size();
    auto addClick = [&](int x, int y, FocusStop::Kind kind) {
        if (const Hotspot* spot = game.FindPickupAt(x, y)) {
            for (size_t i = 0; i < pickupStops; ++i)
                if (game.FindPickupAt(stops[i].x, stops[i].y) == spot) return;
        }
        for (size_t i = pickupStops; i < stops.size(); ++i)
            if (std::abs(stops[i].x - x) <= kSamePoint && std::abs(stops[i].y - y) <= kSamePoint) return;
        stops.push_back({kind, x, y, {x - width / 2, y - height / 2, x - width / 2 + width - 1, y - height / 2 + height - 1}});
    };
    MoveList moves;
    game.PlayMoves(moves);
    for (const PlayMove& move : moves) {
        MoveGesture gesture;
        if (!game.GestureFor(move, gesture)) continue;
        switch (gesture.kind) {
        case MoveGesture::kClick: addClick(gesture.fromX, gesture.fromY, FocusStop::kClick); break;
        case MoveGesture::kDoubleClick: addClick(gesture.fromX, gesture.fromY, FocusStop::kDoubleClick); break;
        case MoveGesture::kTwoClicks:
            addClick(gesture.fromX, gesture.fromY, FocusStop::kClick);
            addClick(gesture.toX, gesture.toY, FocusStop::kClick);
            break;
        case MoveGesture::kDrag: break;  // drags start on pick-ups
        }
    }
}

void KeyboardPlay::BuildTargetStops() {
    int dx = 0, dy = 0;
    game.GetFanOffset(dx, dy);
    const int width = game.artwork->cardWidth, height = game.artwork->cardHeight;
    const DragRecord& drag = game.dragRecord;
    const int steps = std::max(drag.count - 1, 0);
    // The ring round the cards where they came from takes in the cards raised over them.
    stops.push_back({FocusStop::kTarget, originX, originY,
                     {drag.x, drag.y - Game::kRaise, drag.x + steps * dx + width - 1, drag.y + steps * dy + height - 1}});
    for (DropTarget& target : game.dropTargets) {
        // A point of the target that no target listed before it covers.
        const Rect& r = target.rect;
        bool found = false;
        for (int fy = 1; fy < 8 && !found; fy += 2)
            for (int fx = 1; fx < 8 && !found; fx += 2) {
                const int x = r.left + (r.right - r.left) * ((fx + 3) % 8) / 8;
                const int y = r.top + (r.bottom - r.top) * ((fy + 3) % 8) / 8;
                if (game.FindDropTargetAt(x, y) != &target) continue;
                // The ring shows where the cards would lie, whatever the size of the hit area.
                stops.push_back({FocusStop::kTarget, x, y,
                                 {target.x, target.y, target.x + width - 1, target.y + height - 1}});
                found = true;
            }
    }
}

void KeyboardPlay::SortIntoRows() {
    std::vector<size_t> order(stops.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return stops[a].ring.top < stops[b].ring.top; });
    std::vector<int> row(stops.size(), 0);
    int current = -1, rowTop = 0;
    for (size_t i : order) {
        if (current < 0 || stops[i].ring.top - rowTop > kRowSpan) {
            ++current;
            rowTop = stops[i].ring.top;
        }
        row[i] = current;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (row[a] != row[b]) return row[a] < row[b];
        if (stops[a].ring.left != stops[b].ring.left) return stops[a].ring.left < stops[b].ring.left;
        return stops[a].ring.top < stops[b].ring.top;
    });
    std::vector<FocusStop> sorted;
    rowOf.clear();
    for (size_t i : order) {
        if (lifted && i == 0) originStop = static_cast<int>(sorted.size());
        sorted.push_back(stops[i]);
        rowOf.push_back(row[i]);
    }
    stops = std::move(sorted);
}

void KeyboardPlay::SetFocus(int stop) {
    focus = stop;
    if (stop < 0 || stop >= static_cast<int>(stops.size())) return;
    focusX = CentreX(stops[static_cast<size_t>(stop)].ring);
    focusY = CentreY(stops[static_cast<size_t>(stop)].ring);
    focusPressX = stops[static_cast<size_t>(stop)].x;
    focusPressY = stops[static_cast<size_t>(stop)].y;
}

void KeyboardPlay::FocusNearest(int x, int y) {
    focus = stops.empty() ? -1 : 0;
    if (stops.empty() || x < 0) return;
    // The same place again when it is still there; else the one nearest to where the ring was.
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i].x == focusPressX && stops[i].y == focusPressY && CentreX(stops[i].ring) == x &&
            CentreY(stops[i].ring) == y) {
            focus = static_cast<int>(i);
            return;
        }
    long best = -1;
    for (size_t i = 0; i < stops.size(); ++i) {
        const long ddx = CentreX(stops[i].ring) - x, ddy = CentreY(stops[i].ring) - y;
        const long distance = ddx * ddx + ddy * ddy;
        if (best < 0 || distance < best) {
            best = distance;
            focus = static_cast<int>(i);
        }
    }
}

int KeyboardPlay::Neighbour(int stop, Direction direction) {
    if (stale) Rebuild();
    const int count = static_cast<int>(stops.size());
    if (stop < 0 || stop >= count) return stop;
    if (direction == kRight) return (stop + 1) % count;
    if (direction == kLeft) return (stop + count - 1) % count;
    // Up and down: the stop of the row above or below nearest across, then nearest in height.
    const int row = rowOf[static_cast<size_t>(stop)] + (direction == kDown ? 1 : -1);
    const Rect& from = stops[static_cast<size_t>(stop)].ring;
    int best = stop;
    long bestAcross = 0, bestDown = 0;
    for (int i = 0; i < count; ++i) {
        if (rowOf[static_cast<size_t>(i)] != row) continue;
        const Rect& r = stops[static_cast<size_t>(i)].ring;
        const long across = std::abs(CentreX(r) - CentreX(from)), down = std::abs(CentreY(r) - CentreY(from));
        if (best == stop || across < bestAcross || (across == bestAcross && down < bestDown)) {
            best = i;
            bestAcross = across;
            bestDown = down;
        }
    }
    return best;
}

int KeyboardPlay::StopAt(int x, int y) {
    if (stale) Rebuild();
    const int count = static_cast<int>(stops.size());
    if (lifted) {
        const DropTarget* target = game.FindDropTargetAt(x, y);
        for (int i = 0; i < count && target; ++i)
            if (i != originStop && game.FindDropTargetAt(stops[static_cast<size_t>(i)].x, stops[static_cast<size_t>(i)].y) == target)
                return i;
        return -1;
    }
    const Hotspot* spot = game.FindPickupAt(x, y);
    for (int i = 0; i < count; ++i) {
        const FocusStop& stop = stops[static_cast<size_t>(i)];
        if (stop.kind == FocusStop::kPickup ? spot && game.FindPickupAt(stop.x, stop.y) == spot
                                            : std::abs(stop.x - x) <= kSamePoint && std::abs(stop.y - y) <= kSamePoint)
            return i;
    }
    return -1;
}

// ---- The ring ----

bool KeyboardPlay::AtRest() const {
    return game.artwork && !game.paused && !game.gameOver && !busy && !TableCovered() &&
           !game.Hint().Visible() && game.dragging == lifted;
}

void KeyboardPlay::Refresh() {
    if (!active || drawn || !AtRest()) return;
    if (stale) Rebuild();
    if (focus < 0 || focus >= static_cast<int>(stops.size())) return;
    Draw();
    game.artwork->PresentDirty();
}

// Three lines round the cards: a dark one inside two in the theme's highlight colour, so the ring
// shows on every backdrop and card. Only the three-pixel edges are saved.
void KeyboardPlay::Draw() {
    const Rect& cards = stops[static_cast<size_t>(focus)].ring;
    const Rect outer = Clamped({cards.left - kRingMargin, cards.top - kRingMargin, cards.right + kRingMargin,
                                cards.bottom + kRingMargin});
    ringOuter = outer;
    const int l = outer.left, t = outer.top, r = outer.right, b = outer.bottom;
    const int w = kRingMargin - 1;
    SelectScreenBuffer();
    saved.clear();
    for (const Rect& edge : {Rect{l, t, r, t + w}, Rect{l, b - w, r, b}, Rect{l, t, l + w, b}, Rect{r - w, t, r, b}}) {
        const Rect e = Clamped(edge);
        Saved block{e, {}};
        block.pixels.resize(
            static_cast<size_t>(static_cast<double>(ImageSize(e.Width(), e.Height())) * kBlockSlack));
        GetBlock(block.pixels.data(), e.left, e.right, e.top, e.bottom);
        saved.push_back(std::move(block));
    }
    const screen_layout::Rgb rgb = game.artwork->ThemeColours().tableMark;
    const Pixel colours[] = {MapRgb(rgb.r, rgb.g, rgb.b), MapRgb(rgb.r, rgb.g, rgb.b), MapRgb(0, 0, 0)};
    for (int ring = 0; ring < kRingMargin; ++ring) {
        SetColor(colours[ring]);
        MoveTo(l + ring, t + ring);
        DrawLineTo(r - ring, t + ring);
        DrawLineTo(r - ring, b - ring);
        DrawLineTo(l + ring, b - ring);
        DrawLineTo(l + ring, t + ring);
    }
    for (const Saved& block : saved) game.artwork->AddDirty(block.rect);
    drawn = true;
}

void KeyboardPlay::Hide(bool present) {
    if (!drawn) return;
    drawn = false;
    SelectScreenBuffer();
    for (auto block = saved.rbegin(); block != saved.rend(); ++block) {
        // Saved before the scale changed: the table was drawn again since, without the ring.
        if (!BlockIsCurrent(block->pixels.data())) continue;
        PutBlock(block->pixels.data(), block->rect.left, block->rect.right, block->rect.top, block->rect.bottom);
        game.artwork->AddDirty(block->rect);
    }
    saved.clear();
    if (present && game.artwork) game.artwork->PresentDirty();
}
