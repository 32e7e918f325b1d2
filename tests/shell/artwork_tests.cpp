#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "artwork/artwork.h"
#include "tests/shell/shell_fixture.h"

// The dragged stack's picture at device scales 1 and 3 with the generated card art: after every
// step, small or large, in any direction, from a place partly off the screen, the screen equals
// the table with the run drawn card by card at the new place; when the drag ends the table
// comes back exactly.
TEST(DragImage, EveryStepEqualsTheRunDrawnOverTheTable) {
    for (int scale : {1, 3}) {
        SCOPED_TRACE(scale);
        ScriptedBackend backend;
        backend.SetDeviceScale(scale);
        SetBackend(&backend);
        InitBuffers();
        SetBufferDepth(32);
        const int screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        Pixel* pixels = BufferPixels(screen);
        const size_t count = static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen);
        for (size_t i = 0; i < count; ++i) pixels[i] = static_cast<Pixel>(i * 2654435761u) & 0xFFFFFF;
        const std::vector<Pixel> table(pixels, pixels + count);
        Artwork artwork;
        ASSERT_TRUE(artwork.Init(screen, nullptr, 0));
        std::vector<Card> run;
        for (int k = 0; k < 13; ++k) run.emplace_back(k % 4, Card::kKing - k);
        const int dy = 15, width = artwork.cardWidth + 1, height = artwork.cardHeight + 12 * dy + 1;
        ASSERT_TRUE(artwork.BeginDragImage(run.data(), 13, 0, dy, width, height));

        const int reference = CreateBuffer(800, 600);
        const auto expect = [&](int x, int y) {
            std::copy(table.begin(), table.end(), BufferPixels(reference));
            artwork.DrawRun(x, y, run.data(), reference, 13, 0, dy);
            const Pixel* want = BufferPixels(reference);
            for (size_t i = 0; i < count; ++i)
                if (pixels[i] != want[i])
                    return ::testing::AssertionFailure() << "stack at " << x << "," << y << ": pixel " << i % BufferWidth(screen)
                                                         << "," << i / BufferWidth(screen);
            return ::testing::AssertionSuccess();
        };
        // Picked up with its foot past the bottom edge, then moved by small and large steps.
        int x = 300, y = 400;
        artwork.SaveUnderDragImage(x, y);
        artwork.DrawDragImage(x, y);
        ASSERT_TRUE(expect(x, y));
        const int steps[][2] = {{300, 250}, {305, 248}, {299, 251}, {299, 251}, {40, 30}, {0, 0}, {747, 600 - height}, {700, 200}};
        for (const auto& [newX, newY] : steps) {
            artwork.MoveDragImage(x, y, newX, newY);
            x = newX, y = newY;
            ASSERT_TRUE(expect(x, y));
        }
        artwork.RestoreUnderDragImage(x, y);
        EXPECT_TRUE(std::equal(table.begin(), table.end(), pixels));
        artwork.EndDragImage();
        EXPECT_FALSE(artwork.HasDragImage());
        artwork.FreeArtwork();
        InitBuffers();
        SetBackend(nullptr);
    }
}
