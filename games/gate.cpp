#include "games/gate.h"

#include "games/game_rules.h"

#include <algorithm>

#include "framework/game_services.h"
#include "artwork/artwork.h"
#include "store/settings_store.h"

namespace {

constexpr int kPointsFromHandToColumn = 5;       // from the waste or a post
constexpr int kPointsFromHandToFoundation = 10;
constexpr int kPointsColumnToFoundation = 5;
constexpr int32_t kMaxRecycles = 1'000'000;
constexpr int kScreenBottom = 599;
constexpr int kStockMarginX = 22, kStockMarginY = 11;
constexpr int kWasteMarginX = 12, kWasteMarginY = 6;

}  // namespace

GateRules GateRules::Read() {
    GateRules rules;
    const RuleValues values(GateGame::kGameNumber);
    rules.movePartial = values.On("MovePartial");
    rules.filledIn = values.On("FilledIn");
    rules.fillFromWaste = values.On("FillFromWaste");
    rules.recycles = values["Recycles"];
    rules.startCard = values["StartCard"];
    return rules;
}

GateGame::GateGame(Artwork* artwork) : Game(artwork, kGameNumber) {}

bool GateGame::CanPlay(Card card, Card top, bool toFoundation) const {
    if (!card.IsValid() || !top.IsValid() || card.Rank() == startRank) return false;
    if (toFoundation) return NextRank(top.Rank()) == card.Rank() && card.Suit() == top.Suit();
    return NextRank(card.Rank()) == top.Rank() && card.IsRed() != top.IsRed();
}

int GateGame::PostTopY(int post) const {
    const int n = postCount[post];
    return PostSlotY(std::max(n - 1, 0)) - n / kCardsPerLayer;
}

int GateGame::FoundationAt(int x, int y) {
    if (y != kFoundationY) return -1;
    for (int f = 0; f < kFoundations; ++f)
        if (FoundationX(f) == x) return f;
    return -1;
}

int GateGame::ColumnDropAt(int x, int y) const {
    for (int column = 0; column < kColumns; ++column)
        if (ColumnX(column) == x && CardY(columnCount[column]) == y) return column;
    return -1;
}

void GateGame::ClearHeld() {
    held.fill(Card());
    heldCount = 0;
    heldSource = kNoSource;
}

// ---- Deal ----

void GateGame::NewGame(bool restart) {
    BeginRuledDeal(restart);
    ClearHotspots();
    recyclesUsed = 0;
    fanDx = 0;
    fanDy = kColumnStep;
    fan2A = kWasteFanStep;
    fan2B = 0;
    SetStandardPanel();
    foundations.fill(Card());
    waste.fill(Card());
    wasteCount = 0;
    dealtThisTurn = 0;
    for (auto& post : posts) post.fill(Card());
    postCount.fill(0);
    for (auto& column : columns) column.fill(Card());
    columnCount.fill(0);
    ClearHeld();

    deck.SetPacks(1);
    deck.IncludeAll();
    deck.Shuffle();
    artwork->RestoreBackground(0, 799, 0, 599);
    artwork->DrawGameTitle(kGameNumber);
    const GateRules rules = GateRules::Read();
    startRank = rules.startCard;
    if (!rules.filledIn && startRank == -1) {
        foundations[0] = deck.DealNext();
        startRank = foundations[0].Rank();
    } else if (rules.filledIn) {
        if (startRank == -1) startRank = deck.Peek(0).Rank();
        for (int suit = 0; suit < kFoundations; ++suit) {
            foundations[suit] = Card(suit, startRank);
            deck.Exclude(foundations[suit]);
        }
    }
    Draw(true);
    if (Services().setGameMusic) Services().setGameMusic();

    const int screen = artwork->screenBuffer;
    auto dealTo = [&](int x, int y) {
        const Card card = deck.DealNext();
        if (!card.IsValid()) return card;
        DrawStockArea(true);
        AnimateCard(kStockX, kStockY, x, y, card, screen, true, true, -1);
        PlaySound("flip.wav");
        return card;
    };
    for (int slot = 0; slot < kPostSlots; ++slot) {
        for (int post = 0; post < 2; ++post) {
            const Card card = dealTo(PostX(post), PostSlotY(slot));
            if (card.IsValid()) posts[post][postCount[post]++] = card;
        }
    }
    for (int column = 0; column < kColumns; ++column) {
        const Card card = dealTo(ColumnX(column), CardY(0));
        if (!card.IsValid()) break;
        columns[column][columnCount[column]++] = card;
    }
    Draw(true);
    CheckGameOver();
    StartClock(0);
}

// ---- Drawing ----

void GateGame::DrawStockArea(bool present) {
    const int left = kStockX - kStockMarginX, top = kStockY - kStockMarginY;
    const int right = kStockX + artwork->cardWidth, bottom = kStockY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    artwork->DrawStock(kStockX, kStockY, artwork->cardBack, deck, artwork->screenBuffer,
                       GateRules::Read().RecycleAllowed(recyclesUsed));
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void GateGame::DrawWasteArea(bool present) {
    const int left = kWasteX - kWasteMarginX, top = kWasteY - kWasteMarginY;
    const int right = kWasteX + artwork->cardWidth, bottom = kWasteY + artwork->cardHeight;
    if (present) artwork->RestoreBackground(left, right, top, bottom);
    const int screen = artwork->screenBuffer;
    if (wasteCount == 0) artwork->DrawPlaceholder(kWasteX, kWasteY, card_geometry::kPlaceholderEmptyPile, screen);
    else artwork->DrawPile(kWasteX, kWasteY, waste.data(), wasteCount, screen, kNoFan);
    if (present) artwork->AddDirty({left, top, right, bottom});
}

void GateGame::DrawPostArea(int post, bool present) {
    const int x = PostX(post);
    const int top = kPostY - kWasteMarginY, bottom = PostSlotY(kPostSlots - 1) + artwork->cardHeight;
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, top, bottom);
    // Every card stands at its slot; only the pick-up of the last one is raised.
    for (int slot = 0; slot < postCount[post]; ++slot)
        artwork->DrawCard(x, PostSlotY(slot), posts[post][slot], artwork->screenBuffer);
    if (present) artwork->AddDirty({x, top, x + artwork->cardWidth, bottom});
}

void GateGame::DrawFoundationArea(int f, bool present) {
    const int x = FoundationX(f), y = kFoundationY;
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, y, y + artwork->cardHeight);
    if (foundations[f].IsValid()) artwork->DrawCard(x, y, foundations[f], artwork->screenBuffer);
    else artwork->DrawPlaceholder(x, y, card_geometry::kPlaceholderEmptyPile, artwork->screenBuffer);
    if (present) artwork->AddDirty({x, y, x + artwork->cardWidth, y + artwork->cardHeight});
}

void GateGame::DrawColumnArea(int column, bool present) {
    const int x = ColumnX(column);
    if (present) artwork->RestoreBackground(x, x + artwork->cardWidth, kColumnY, kScreenBottom);
    const int screen = artwork->screenBuffer;
    if (columnCount[column] == 0) artwork->DrawPlaceholder(x, kColumnY, card_geometry::kPlaceholderEmptyPile, screen);
    for (int i = 0; i < columnCount[column]; ++i) artwork->DrawCard(x, CardY(i), columns[column][i], screen);
    if (present) artwork->AddDirty({x, kColumnY, x + artwork->cardWidth, kScreenBottom});
}

void GateGame::Draw(bool present) {
    artwork->RestoreBackground(0, 799, 0, 599);
    DrawStockArea(false);
    DrawWasteArea(false);
    for (int post = 0; post < 2; ++post) DrawPostArea(post, false);
    for (int f = 0; f < kFoundations; ++f) DrawFoundationArea(f, false);
    for (int column = 0; column < kColumns; ++column) DrawColumnArea(column, false);
    DrawTableFrame(present);
}

// ---- Moves ----

void GateGame::OnLButtonDown(WPARAM keys, int x, int y) {
    if (paused || gameOver) return;
    const GateRules rules = GateRules::Read();
    if (OnStockTop(x, y, kStockX, kStockY)) {
        if (deck.Remaining() > 0) {
            SaveUndo();
            dealtThisTurn = 0;
            const Card card = deck.DealNext();
            if (card.IsValid() && wasteCount < kWasteSlots) {
                waste[wasteCount++] = card;
                ++dealtThisTurn;
            } else if (card.IsValid()) {
                deck.PutBack(card);
            }
            PlaySound("flip.wav");
            DrawStockArea(true);
            DrawWasteArea(true);
            artwork->PresentDirty();
        } else if (rules.RecycleAllowed(recyclesUsed)) {
            SaveUndo();
            ReturnWasteToStock(waste.data(), wasteCount);
            DrawWasteArea(true);
            DrawStockArea(true);
            artwork->PresentDirty();
            ++recyclesUsed;
            dealtThisTurn = 0;
        }
    } else {
        // Every press off the stock writes a record, whether or not a drag follows: LiftCards
        // writes none of its own, and a refused drag drops this one again.
        SaveUndo();
        Game::OnLButtonDown(keys, x, y);
    }
    CheckGameOver();
}

void GateGame::LiftCards(DragRecord& drag) {
    if (paused || gameOver) return;
    const Card first = drag.cards[0];
    ClearHeld();
    if (wasteCount > 0 && first == waste[wasteCount - 1]) {
        held[0] = first;
        heldCount = 1;
        heldSource = kWasteSource;
        waste[--wasteCount] = Card();
        dealtThisTurn = std::max(dealtThisTurn - 1, 0);
        DrawWasteArea(true);
    } else if (postCount[0] > 0 && first == posts[0][postCount[0] - 1]) {
        held[0] = first;
        heldCount = 1;
        heldSource = kLeftPostSource;
        posts[0][--postCount[0]] = Card();
        DrawPostArea(0, true);
    } else if (postCount[1] > 0 && first == posts[1][postCount[1] - 1]) {
        held[0] = first;
        heldCount = 1;
        heldSource = kRightPostSource;
        posts[1][--postCount[1]] = Card();
        DrawPostArea(1, true);
    } else {
        for (int column = 0; column < kColumns && heldSource == kNoSource; ++column) {
            if (ColumnX(column) != drag.x) continue;
            for (int i = 0; i < columnCount[column]; ++i) {
                if (CardY(i) != drag.y || columns[column][i] != first) continue;
                heldCount = columnCount[column] - i;
                for (int k = 0; k < heldCount; ++k) {
                    held[k] = columns[column][i + k];
                    columns[column][i + k] = Card();
                }
                heldSource = column;
                columnCount[column] = i;
                DrawColumnArea(column, true);
                break;
            }
        }
    }
    CheckGameOver();
}

bool GateGame::CanDrop(DragRecord& drag, DropTarget& target) {
    const Card first = drag.cards[0];
    const int f = FoundationAt(target.x, target.y);
    if (f >= 0) {
        if (drag.count != 1) return false;
        if (!foundations[f].IsValid()) return first.Rank() == startRank;
        return CanPlay(first, foundations[f], true);
    }
    const int column = ColumnDropAt(target.x, target.y);
    if (column < 0 || columnCount[column] + drag.count > kColumnSlots) return false;
    if (columnCount[column] == 0) {
        const bool fromPost = heldSource == kLeftPostSource || heldSource == kRightPostSource ||
                              (postCount[0] > 0 && first == posts[0][postCount[0] - 1]) ||
                              (postCount[1] > 0 && first == posts[1][postCount[1] - 1]);
        return fromPost || postCount[0] == 0 || postCount[1] == 0 || GateRules::Read().fillFromWaste;
    }
    return CanPlay(first, columns[column][columnCount[column] - 1], false);
}

void GateGame::DropCards(DragRecord& drag, DropTarget& target) {
    if (heldCount < 1 || drag.cards[0] != held[0]) {
        CheckGameOver();
        return;
    }
    const bool fromHand = heldSource == kWasteSource || heldSource == kLeftPostSource || heldSource == kRightPostSource;
    const int f = FoundationAt(target.x, target.y);
    const int column = f < 0 ? ColumnDropAt(target.x, target.y) : -1;
    if (column >= 0 && columnCount[column] + heldCount <= kColumnSlots) {
        for (int i = 0; i < heldCount; ++i) columns[column][columnCount[column]++] = held[i];
        if (fromHand) points += kPointsFromHandToColumn;
        ClearHeld();
        DrawColumnArea(column, true);
        artwork->PresentDirty();
        PlaySound("tableau.wav");
    } else if (f >= 0 && heldCount == 1) {
        foundations[f] = held[0];
        points += fromHand ? kPointsFromHandToFoundation : kPointsColumnToFoundation;
        ClearHeld();
        DrawFoundationArea(f, true);
        artwork->PresentDirty();
        PlaySound("foundation.wav");
    }
    CheckGameOver();
}

void GateGame::ReturnCards() {
    if (heldSource == kNoSource || heldCount < 1) return;
    DropNewestUndoRecord();
    if (heldSource == kWasteSource) {
        if (wasteCount < kWasteSlots) waste[wasteCount++] = held[0];
        ++dealtThisTurn;
        // The slide back drew the card where it was picked up, but the waste's depth may have
        // changed with its count: draw the waste again.
        DrawWasteArea(true);
        artwork->PresentDirty();
    } else if (heldSource == kLeftPostSource || heldSource == kRightPostSource) {
        const int post = heldSource == kLeftPostSource ? 0 : 1;
        if (postCount[post] < kPostSlots) posts[post][postCount[post]++] = held[0];
        // The slide back ends at the raised pick-up; the card stands at its slot.
        DrawPostArea(post, true);
        artwork->PresentDirty();
    } else {
        for (int i = 0; i < heldCount && columnCount[heldSource] < kColumnSlots; ++i)
            columns[heldSource][columnCount[heldSource]++] = held[i];
    }
    ClearHeld();
    CheckGameOver();
}

// ---- Game over ----

bool GateGame::DecideGameOver(const GateRules& rules) const {
    if (endedByUser) return true;
    const int stockSize = deck.Remaining();
    if (dragging || (recyclesUsed == 0 && stockSize > 0)) return false;
    if (postCount[0] > 0 || postCount[1] > 0)
        for (int column = 0; column < kColumns; ++column)
            if (columnCount[column] == 0) return false;

    std::array<Card, kMaxCandidates> candidates;
    int count = 0;
    auto add = [&](Card card) {
        if (card.IsValid() && count < kMaxCandidates) candidates[count++] = card;
    };
    if (wasteCount > 0) add(waste[wasteCount - 1]);
    for (int post = 0; post < 2; ++post)
        if (postCount[post] > 0) add(posts[post][postCount[post] - 1]);
    for (int i = 0; i < stockSize; ++i) add(deck.Peek(i));
    if (rules.RecycleAllowed(recyclesUsed)) {
        for (int i = 0; i < wasteCount; ++i) add(waste[i]);
        for (int i = 0; i < stockSize; ++i) add(deck.Peek(i));
    }
    for (int c = 0; c < count; ++c)
        for (int column = 0; column < kColumns; ++column)
            if (columnCount[column] > 0 && CanPlay(candidates[c], columns[column][columnCount[column] - 1], false))
                return false;

    for (int column = 0; column < kColumns; ++column)
        if (columnCount[column] > 0) add(columns[column][columnCount[column] - 1]);
    if (rules.movePartial) {
        for (int column = 0; column < kColumns; ++column)
            for (int i = 1; i < columnCount[column]; ++i)
                for (int other = 0; other < kColumns; ++other)
                    if (other != column && columnCount[other] > 0 &&
                        CanPlay(columns[column][i], columns[other][columnCount[other] - 1], false))
                        add(columns[column][i - 1]);
    }
    for (int c = 0; c < count; ++c) {
        if (candidates[c].Rank() == startRank) return false;
        for (Card top : foundations)
            if (top.IsValid() && CanPlay(candidates[c], top, true)) return false;
    }
    return true;
}

bool GateGame::CheckGameOver() {
    const GateRules rules = GateRules::Read();
    gameOver = DecideGameOver(rules);
    if (gameOver && !AutoGameOverOn() && !endedByUser) gameOver = IsWon();
    RegisterHotspots(rules);
    return gameOver;
}

void GateGame::RegisterHotspots(const GateRules& rules) {
    pickups.clear();
    dropTargets.clear();
    if (paused || gameOver) return;
    if (wasteCount > 0) {
        const int d = wasteCount / kCardsPerLayer;
        AddPickup(kWasteX + kLayerStepX * d, kWasteY + kLayerStepY * d, &waste[wasteCount - 1], 1);
    }
    for (int post = 0; post < 2; ++post)
        if (postCount[post] > 0) AddPickup(PostX(post), PostTopY(post), &posts[post][postCount[post] - 1], 1);
    for (int column = 0; column < kColumns; ++column) {
        const int count = columnCount[column];
        if (count == 0) continue;
        AddPickup(ColumnX(column), CardY(count - 1), &columns[column][count - 1], 1);
        if (rules.movePartial) {
            for (int i = count - 2; i >= 0; --i) AddPickup(ColumnX(column), CardY(i), &columns[column][i], count - i);
        } else if (count > 1) {
            AddPickup(ColumnX(column), CardY(0), &columns[column][0], count);
        }
    }
    for (int f = 0; f < kFoundations; ++f)
        AddDropTarget(FoundationX(f), kFoundationY, CardHitRect(FoundationX(f), kFoundationY), kAutoMoveKind);
    for (int column = 0; column < kColumns; ++column) {
        const int y = CardY(columnCount[column]);
        AddDropTarget(ColumnX(column), y, CardHitRect(ColumnX(column), y), kPlainTargetKind);
    }
}

bool GateGame::IsWon() {
    if (startRank < 0) return false;
    const int last = (startRank + Card::kRankCount - 1) % Card::kRankCount;
    for (Card top : foundations)
        if (!top.IsValid() || top.Rank() != last) return false;
    return true;
}

double GateGame::GetScoreFactor() {
    const GateRules rules = GateRules::Read();
    double factor = rules.movePartial ? 0.95 : 1.0;
    if (rules.filledIn) factor *= 0.9;
    if (rules.fillFromWaste) factor *= 0.75;
    return factor;
}

// ---- Undo ----

void GateGame::SaveUndo() {
    UndoWriter writer = BeginUndoRecord();
    writer.Int(startRank);
    writer.Cards(foundations.data(), kFoundations);
    writer.Cards(waste.data(), kWasteSlots);
    // The waste's position travels with its cards, as a 36th pair.
    writer.Int(kWasteX);
    writer.Int(kWasteY);
    writer.Int(wasteCount);
    for (const auto& post : posts) writer.Cards(post.data(), kPostSlots);
    for (int32_t count : postCount) writer.Int(count);
    for (const auto& column : columns) writer.Cards(column.data(), kColumnSlots);
    for (int32_t count : columnCount) writer.Int(count);
    writer.Int(points);
    writer.Int(recyclesUsed);
    writer.Int(ElapsedSeconds());
    PushUndoRecord(writer);
}

void GateGame::Undo() {
    if (paused || gameOver) return;
    // This game sounds the undo before the table changes, with or without a record to restore.
    PlaySound("undo.wav");
    if (auto record = PopUndoRecord()) RestoreRecord(*record);
}

bool GateGame::RestoreRecord(std::span<const uint8_t> record) {
    UndoReader reader(record);
    if (!ReadBaseState(reader)) return false;
    int32_t readStart = 0, wasteX = 0, wasteY = 0, readWasteCount = 0, readPoints = 0, readRecycles = 0, elapsed = 0;
    std::array<Card, kFoundations> readFoundations;
    std::array<Card, kWasteSlots> readWaste;
    std::array<std::array<Card, kPostSlots>, 2> readPosts;
    std::array<int32_t, 2> readPostCounts;
    std::array<std::array<Card, kColumnSlots>, kColumns> readColumns;
    std::array<int32_t, kColumns> readCounts;
    reader.IntIn(readStart, 0, Card::kRankCount - 1);
    reader.Cards(readFoundations.data(), kFoundations);
    reader.Cards(readWaste.data(), kWasteSlots);
    reader.Int(wasteX);
    reader.Int(wasteY);
    reader.IntIn(readWasteCount, 0, kWasteSlots);
    for (auto& post : readPosts) reader.Cards(post.data(), kPostSlots);
    for (int32_t& count : readPostCounts) reader.IntIn(count, 0, kPostSlots);
    for (auto& column : readColumns) reader.Cards(column.data(), kColumnSlots);
    for (int32_t& count : readCounts) reader.IntIn(count, 0, kColumnSlots);
    reader.IntIn(readPoints, -kMaxRecordPoints, kMaxRecordPoints);
    reader.IntIn(readRecycles, 0, kMaxRecycles);
    reader.IntIn(elapsed, 0, kMaxRecordSeconds);
    if (!reader.AtEnd()) return false;

    // Every card once: stock, waste, posts, columns, and each foundation from the starting rank up.
    PackTally tally;
    if (!tally.TakeStock(*reader.deck) || !tally.TakeCards(readWaste.data(), readWasteCount)) return false;
    for (int post = 0; post < 2; ++post)
        if (!tally.TakeCards(readPosts[post].data(), readPostCounts[post])) return false;
    for (int column = 0; column < kColumns; ++column)
        if (!tally.TakeCards(readColumns[column].data(), readCounts[column])) return false;
    if (!tally.TakeFoundations(readFoundations, readStart)) return false;
    if (!tally.WholePack()) return false;

    CommitBaseState(reader);
    startRank = readStart;
    foundations = readFoundations;
    waste = readWaste;
    wasteCount = readWasteCount;
    ClearPastCount(waste, wasteCount);
    posts = readPosts;
    postCount = readPostCounts;
    for (int post = 0; post < 2; ++post)
        ClearPastCount(posts[post], postCount[post]);
    columns = readColumns;
    columnCount = readCounts;
    for (int column = 0; column < kColumns; ++column)
        ClearPastCount(columns[column], columnCount[column]);
    recyclesUsed = readRecycles;
    dealtThisTurn = std::min(dealtThisTurn, wasteCount);
    ClearHeld();
    FinishUndo(readPoints, elapsed, false);
    return true;
}
