#include "framework/hint.h"

#include <algorithm>

#include "artwork/screen_layout.h"
#include "draw/draw.h"
#include "ui/toolkit.h"

namespace {

constexpr int kMargin = 3;  // the outline runs this far outside the cards
constexpr int kScreenRight = screen_layout::kScreenWidth - 1;
constexpr int kScreenBottom = screen_layout::kScreenHeight - 1;
// Saved blocks get the same headroom as the drag's save-under.
constexpr double kBlockSlack = 1.35;

Rect Outer(const Rect& r) {
    return {std::clamp(r.left - kMargin, 0, kScreenRight), std::clamp(r.top - kMargin, 0, kScreenBottom),
            std::clamp(r.right + kMargin, 0, kScreenRight), std::clamp(r.bottom + kMargin, 0, kScreenBottom)};
}

void MarkDirty(const Rect& r) { QueueRect(r.left, r.top, r.right, r.bottom); }

}  // namespace

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
    Draw();
}

void HintOutline::Hide() {
    if (!Visible()) return;
    SelectScreenBuffer();
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block) {
        PutBlock(block->pixels.data(), block->rect.left, block->rect.right, block->rect.top, block->rect.bottom);
        MarkDirty(block->rect);
    }
    blocks.clear();
    PresentQueuedRects();
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
