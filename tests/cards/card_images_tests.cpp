#include <gtest/gtest.h>

#include <cstdlib>

#include "cards/card_images.h"
#include "cards/deck.h"
#include "draw/draw.h"

namespace {

constexpr Pixel kGutter = 0x101010;      // sheet pixels outside every cell
constexpr Pixel kBackground = 0x202020;  // the target before drawing
constexpr Pixel kMagenta = 0xFF00FF;

// Per-cell colours: the sheet in the top byte's place, then two numbers identifying the cell.
Pixel FrontColour(int suit, int rank) { return 0x400000 | suit << 8 | rank; }
Pixel DarkColour(int suit, int rank) { return 0x800000 | suit << 8 | rank; }
Pixel BackColour(int back) { return 0xC00000 | back; }
Pixel PlaceholderColour(int cell) { return 0xE00000 | cell; }

void Fill(int handle, int left, int top, int width, int height, Pixel colour) {
    Pixel* pixels = BufferPixels(handle);
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) pixels[y * BufferWidth(handle) + x] = colour;
}

Pixel At(int handle, int x, int y) { return BufferPixels(handle)[y * BufferWidth(handle) + x] & 0xFFFFFF; }

class CardImagesTest : public testing::Test {
protected:
    void SetUp() override {
        // No art at all: every load must leave its sheet as created.
        setenv("QUILLFEN_DATA_DIR", "/nonexistent/quillfen-test-data", 1);
        InitBuffers();
        SetBufferDepth(32);
        SetTransparentColor(253, 1);
        screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        images.LoadCardImages();
        images.LoadPlaceholder();
        ASSERT_EQ(BufferWidth(images.frontSheet) * BufferHeight(images.darkFrontSheet), 702 * 336);
        ASSERT_EQ(BufferWidth(images.backsSheet) + BufferWidth(images.placeholderSheet), 1135 + 161);

        // Cells as the artwork lays them out: columns Ace, Two .. King from x = 1 on a pitch of
        // 54; rows hold suits 2, 3, 0, 1.
        const int rowOfSuit[4] = {2, 3, 0, 1};
        Fill(images.frontSheet, 0, 0, 702, 336, kGutter);
        Fill(images.darkFrontSheet, 0, 0, 702, 336, kGutter);
        for (int suit = 0; suit < 4; ++suit) {
            for (int rank = 0; rank < 13; ++rank) {
                const int column = rank == 12 ? 0 : rank + 1;
                Fill(images.frontSheet, column * 54 + 1, rowOfSuit[suit] * 84, 53, 83, FrontColour(suit, rank));
                Fill(images.darkFrontSheet, column * 54 + 1, rowOfSuit[suit] * 84, 53, 83, DarkColour(suit, rank));
            }
        }
        Fill(images.backsSheet, 0, 0, 1135, 85, kGutter);
        for (int back = 0; back < 21; ++back) Fill(images.backsSheet, back * 54 + 1, 0, 53, 83, BackColour(back));
        Fill(images.placeholderSheet, 0, 0, 161, 85, kGutter);
        const int placeholderLeft[3] = {0, 54, 107};
        for (int cell = 0; cell < 3; ++cell)
            Fill(images.placeholderSheet, placeholderLeft[cell], 0, 53, 83, PlaceholderColour(cell));
        ClearScreen();
    }

    void ClearScreen() { Fill(screen, 0, 0, 800, 600, kBackground); }

    // True when exactly the card rectangle at (x, y) shows the colour, and its surround does not.
    ::testing::AssertionResult CardAt(int x, int y, Pixel colour) {
        for (int py = y - 1; py <= y + 83; ++py) {
            for (int px = x - 1; px <= x + 53; ++px) {
                const bool inside = px >= x && px <= x + 52 && py >= y && py <= y + 82;
                const Pixel got = At(screen, px, py);
                if (inside && got != colour)
                    return ::testing::AssertionFailure() << "pixel " << px << "," << py << " is " << std::hex << got;
                if (!inside && got == colour)
                    return ::testing::AssertionFailure() << "colour spills to " << px << "," << py;
            }
        }
        return ::testing::AssertionSuccess();
    }

    CardImages images;
    int screen = -1;
};

TEST_F(CardImagesTest, EachDrawCopiesExactlyItsCellToItsPlace) {
    for (int suit = 0; suit < 4; ++suit) {
        for (int rank = 0; rank < 13; ++rank) {
            ClearScreen();
            images.DrawCard(100, 200, Card(suit, rank), screen);
            EXPECT_TRUE(CardAt(100, 200, FrontColour(suit, rank))) << suit << "," << rank;
            images.DrawCard(300, 200, Card(suit, rank), screen, true);
            EXPECT_TRUE(CardAt(300, 200, DarkColour(suit, rank))) << suit << "," << rank;
        }
    }
    for (int back = 0; back < 21; ++back) {
        ClearScreen();
        images.DrawCardBack(10, 10, back, screen);
        EXPECT_TRUE(CardAt(10, 10, BackColour(back))) << back;
    }
    for (int cell = 0; cell < 3; ++cell) {
        ClearScreen();
        images.DrawPlaceholder(700, 500, cell, screen);
        EXPECT_TRUE(CardAt(700, 500, PlaceholderColour(cell))) << cell;
    }

    // Magenta artwork pixels let the table show through; nothing is drawn for impossible values.
    ClearScreen();
    Fill(images.frontSheet, 1, 0, 1, 1, kMagenta);  // top-left pixel of the Ace of suit 2
    images.DrawCard(50, 50, Card(2, 12), screen);
    EXPECT_EQ(At(screen, 50, 50), kBackground);
    EXPECT_EQ(At(screen, 51, 50), FrontColour(2, 12));
    ClearScreen();
    images.DrawCard(50, 50, Card(), screen);
    images.DrawCard(50, 50, Card(4, 0), screen);
    images.DrawCardBack(50, 50, 21, screen);
    images.DrawPlaceholder(50, 50, 3, screen);
    EXPECT_EQ(At(screen, 60, 60), kBackground);
}

// The number of layers a pile at (x, y) shows: layer k's top-left corner (x - 2k, y - k) is
// covered only by layers k and above.
int LayersAt(int screen, int x, int y) {
    int layers = 0;
    while (At(screen, x - 2 * layers, y - layers) != kBackground) ++layers;
    return layers;
}

TEST_F(CardImagesTest, StockShowsOneLayerPerFiveCardsOrItsPlaceholder) {
    struct Case {
        int dealtFromFull, layers;
    };
    for (const Case c : {Case{48, 1}, Case{47, 2}, Case{0, 11}}) {
        Deck deck;
        deck.SetPacks(1);
        for (int i = 0; i < c.dealtFromFull; ++i) deck.DealNext();
        ClearScreen();
        const Rect drawn = images.DrawStock(400, 300, 7, deck, screen, true);
        EXPECT_EQ(LayersAt(screen, 400, 300), c.layers) << deck.Remaining();
        EXPECT_EQ(At(screen, 400 - 2 * (c.layers - 1), 300 - (c.layers - 1)), BackColour(7));
        const CardPoint top = images.StockTopPosition(400, 300, deck);
        EXPECT_EQ(top, (CardPoint{400 - 2 * (c.layers - 1), 300 - (c.layers - 1)}));
        EXPECT_EQ(drawn, (Rect{top.x, top.y, 452, 382}));
    }
    Deck deck;
    deck.SetPacks(1);
    EXPECT_EQ(images.StockTopPosition(400, 300, deck), (CardPoint{380, 290}));

    while (deck.Remaining() > 0) deck.DealNext();
    for (const bool canTurn : {true, false}) {
        ClearScreen();
        EXPECT_EQ(images.DrawStock(400, 300, 7, deck, screen, canTurn), (Rect{400, 300, 452, 382}));
        EXPECT_TRUE(CardAt(400, 300, PlaceholderColour(canTurn ? 2 : 1)));
        EXPECT_EQ(images.StockTopPosition(400, 300, deck), (CardPoint{400, 300}));
    }
}

}  // namespace
