#include "framework/hint.h"

#include <algorithm>
#include <string>

#include "artwork/screen_layout.h"
#include "draw/draw.h"
#include "platform/translation.h"
#include "ui/toolkit.h"

namespace {

constexpr int kHintMargin = 3;  // the hint's outline runs this far outside the cards
constexpr int kScreenRight = screen_layout::kScreenWidth - 1;
constexpr int kScreenBottom = screen_layout::kScreenHeight - 1;
// Saved blocks get the same headroom as the drag's save-under.
constexpr double kBlockSlack = 1.35;

Rect OnScreen(const Rect& r) {
    return {std::clamp(r.left, 0, kScreenRight), std::clamp(r.top, 0, kScreenBottom), std::clamp(r.right, 0, kScreenRight),
            std::clamp(r.bottom, 0, kScreenBottom)};
}

Rect Around(const Rect& r, int margin) {
    return OnScreen({r.left - margin, r.top - margin, r.right + margin, r.bottom + margin});
}

Rect Outer(const Rect& r) { return Around(r, kHintMargin); }

void MarkDirty(const Rect& r) { QueueRect(r.left, r.top, r.right, r.bottom); }

// Suit numbers as the card faces show them.
constexpr const char* kSuitWords[Card::kSuitCount] = {TranslateLater("suit", "spades"),
                                                      TranslateLater("suit", "hearts"), TranslateLater("suit", "clubs"),
                                                      TranslateLater("suit", "diamonds")};

const char* SuitInWords(Card card) { return Translate("suit", kSuitWords[card.Suit()]); }

// Pip cards by their number, the others by name.
std::string RankInWords(int rank) {
    if (rank == Card::kAce || rank >= Card::kRankCount - 4) return Translate("rank", Card::RankName(rank));
    return std::to_string(rank + 2);
}

}  // namespace

std::string CardInWords(Card card) {
    if (!card.IsValid()) return Translate("hint", "the card");
    // Translators: a card in a hint, "the Queen of spades", "the 7 of hearts": rank, then suit.
    return FormatText(Translate("hint", "the %s of %s"), RankInWords(card.Rank()).c_str(), SuitInWords(card));
}

std::string MoveInWords(const PlayMove& move, const MovePlaces& places) {
    switch (move.kind) {
    case PlayMove::kStock:
        return places.dealsRow ? Translate("hint", "Deal a new row") : Translate("hint", "Turn the stock");
    case PlayMove::kFlip: return Translate("hint", "Turn over the face-down card");
    case PlayMove::kDeal: return Translate("hint", "Deal the cards again");
    case PlayMove::kSelect:
        // A group goes out together: the high cards of one suit.
        if (move.count > 1 && places.card.IsValid())
            return FormatText(Translate("hint", "Remove the 10, Jack, Queen and King of %s"), SuitInWords(places.card));
        return FormatText(Translate("hint", "Remove %s"), CardInWords(places.card).c_str());
    case PlayMove::kMove: break;
    }
    const std::string card = CardInWords(places.card);
    switch (places.kind) {
    case MovePlaces::kPartner:
        return FormatText(Translate("hint", "Pair %s with %s"), card.c_str(), CardInWords(places.onto).c_str());
    case MovePlaces::kOntoCard:
        return FormatText(Translate("hint", "Move %s onto %s"), card.c_str(), CardInWords(places.onto).c_str());
    case MovePlaces::kFoundation: return FormatText(Translate("hint", "Move %s to a foundation"), card.c_str());
    case MovePlaces::kEmptyPlace: return FormatText(Translate("hint", "Move %s to an empty space"), card.c_str());
    case MovePlaces::kNoTarget: break;
    }
    return FormatText(Translate("hint", "Move %s"), card.c_str());
}

void HintOutline::Show(const Rect& from, const Rect& to, uint32_t rgb, uint64_t now) {
    Hide();
    source = from;
    target = to;
    colour = rgb;
    shownAt = lastStep = now;
    phase = 0;
    SelectScreenBuffer();
    for (const Rect& r : {source, target}) {
        if (r.Empty()) continue;
        Block block{Outer(r), {}};
        block.pixels.resize(static_cast<size_t>(
            static_cast<double>(ImageSize(block.rect.Width(), block.rect.Height())) * kBlockSlack));
        GetBlock(block.pixels.data(), block.rect.left, block.rect.right, block.rect.top, block.rect.bottom);
        blocks.push_back(std::move(block));
    }
    Draw();
}

void HintOutline::Tick(uint64_t now) {
    if (!Visible()) return;
    if (now - shownAt >= kShowMs) {
        Hide();
        return;
    }
    if (now - lastStep < kStepMs) return;
    lastStep = now;
    phase = (phase + 1) % 8;
    // After a change of scale the table was drawn again without the outlines: what is under them
    // is taken again before they are drawn over it.
    if (!BlockIsCurrent(blocks.front().pixels.data())) {
        SelectScreenBuffer();
        for (Block& block : blocks)
            GetBlock(block.pixels.data(), block.rect.left, block.rect.right, block.rect.top, block.rect.bottom);
    }
    Draw();
}

void HintOutline::Hide() {
    if (!Visible()) return;
    SelectScreenBuffer();
    // Pieces saved before the scale changed are not put back: the table was drawn again since,
    // without the outline.
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        if (!BlockIsCurrent(block->pixels.data())) continue;
        PutBlock(block->pixels.data(), block->rect.left, block->rect.right, block->rect.top, block->rect.bottom);
        MarkDirty(block->rect);
    }
    blocks.clear();
    PresentQueuedRects();
}

void TargetMarks::Show(const std::vector<Rect>& rects, uint32_t colour) {
    Hide();
    cards = rects;
    SelectScreenBuffer();
    for (const Rect& card : cards) {
        const Rect r{card.left - kMargin, card.top - kMargin, card.right + kMargin, card.bottom + kMargin};
        for (const Rect& side : {Rect{r.left, r.top, r.right, r.top}, Rect{r.left, r.bottom, r.right, r.bottom},
                                 Rect{r.left, r.top, r.left, r.bottom}, Rect{r.right, r.top, r.right, r.bottom}}) {
            const Rect e = OnScreen(side);
            Edge edge{e, {}};
            edge.pixels.resize(static_cast<size_t>(static_cast<double>(ImageSize(e.Width(), e.Height())) * kBlockSlack));
            GetBlock(edge.pixels.data(), e.left, e.right, e.top, e.bottom);
            edges.push_back(std::move(edge));
        }
        SetColor(colour);
        MoveTo(r.left, r.top);
        DrawLineTo(r.right, r.top);
        DrawLineTo(r.right, r.bottom);
        DrawLineTo(r.left, r.bottom);
        DrawLineTo(r.left, r.top);
        MarkDirty(Around(card, kMargin));
    }
}

void TargetMarks::Hide() {
    SelectScreenBuffer();
    for (auto edge = edges.rbegin(); edge != edges.rend(); ++edge) {
        if (!BlockIsCurrent(edge->pixels.data())) continue;  // as the outline's, above
        PutBlock(edge->pixels.data(), edge->rect.left, edge->rect.right, edge->rect.top, edge->rect.bottom);
        MarkDirty(edge->rect);
    }
    Forget();
}

// Two-pixel dashed frames whose dashes march one step a tick: the dashes in the theme colour over a
// solid dark line, so they show on every backdrop.
void HintOutline::Draw() {
    SelectScreenBuffer();
    const Pixel dark = MapRgb(0, 0, 0);
    const int pattern = static_cast<int>((0xF0F0F0F0u >> phase) & 0xFFFFu);
    for (const Block& block : blocks) {
        for (int ring = 0; ring < 2; ++ring) {
            const int l = block.rect.left + ring, t = block.rect.top + ring;
            const int r = block.rect.right - ring, b = block.rect.bottom - ring;
            SetColor(dark);
            MoveTo(l, t);
            DrawLineTo(r, t);
            DrawLineTo(r, b);
            DrawLineTo(l, b);
            DrawLineTo(l, t);
            SetColor(colour);
            MoveTo(l, t);
            DrawDashedLineTo(r, t, pattern);
            DrawDashedLineTo(r, b, pattern);
            DrawDashedLineTo(l, b, pattern);
            DrawDashedLineTo(l, t, pattern);
        }
        MarkDirty(block.rect);
    }
    PresentQueuedRects();
}
