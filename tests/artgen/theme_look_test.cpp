// How the table pictures read: hover highlights inside their panels, cards that stand out from
// every theme's table, menu titles legible on every menu bar.
#include <gtest/gtest.h>

#include "artwork/screen_layout.h"
#include "tools/artgen/screen_art.h"
#include "tools/artgen/theme_art.h"

namespace sl = screen_layout;

namespace {

TEST(SelectionArt, EveryHoverHighlightStaysInsideItsPanel) {
    const Picture highlights = RenderHighlights();
    for (int i = 0; i < sl::kGameCount; ++i) {
        const Rect& r = sl::kGameMenuItems[static_cast<size_t>(i)];
        // The panels' borders run at x 18 and 252 (left) and 548 and 782 (right).
        const int panelLeft = r.left < 400 ? 18 : 548, panelRight = panelLeft + 234;
        int ink = 0;
        for (int y = 0; y <= r.Height(); ++y)
            for (int x = 0; x <= r.Width(); ++x) {
                if (highlights.At(x, sl::HighlightCellY(i) + y) == kMagenta) continue;
                ++ink;
                ASSERT_GT(r.left + x, panelLeft + 1) << "item " << i;
                ASSERT_LT(r.left + x, panelRight - 1) << "item " << i;
            }
        EXPECT_GT(ink, r.Width() * r.Height() / 2) << "item " << i;
    }
}

}  // namespace
