#include "cards/card_images.h"

#include <cstdio>
#include <vector>

#include "cards/deck.h"
#include "platform/paths.h"

using namespace card_geometry;

namespace {

// The drawing layer never frees the active buffer, so a sheet that happens to be selected
// survives FreeBuffer; it is then reused when it already has the wanted size.
void RecreateBuffer(int& handle, int width, int height) {
    if (handle >= 0) {
        FreeBuffer(handle);
        if (BufferPixels(handle) != nullptr) {
            if (BufferWidth(handle) == width * BufferScale(handle) && BufferHeight(handle) == height * BufferScale(handle))
                return;
            handle = -1;  // FIXME: an active sheet of another size stays allocated until exit.
        }
    }
    handle = CreateBuffer(width, height);
}

void Release(int& handle) {
    if (handle >= 0) FreeBuffer(handle);
    handle = -1;
}

// Decodes an art file into a sheet with its top-left at (0, 0). The active buffer is restored
// afterwards so that loading never changes where the caller draws.
void LoadSheet(int handle, const char* name) {
    if (handle < 0) return;
    const int previous = ActiveBuffer();
    SelectBuffer(handle);
    ShowBmp(DataPath(name).c_str(), 1);
    SelectBuffer(previous);
}

}  // namespace

CardImages::~CardImages() { FreeCardImages(); }

void CardImages::LoadCardImages() {
    const int design = cardFront >= 0 && cardFront < kFrontDesignCount ? cardFront : 0;
    // Every game asks for them as it starts: sheets already decoded for this design at this scale
    // are kept, since nothing but loading draws into them.
    if (design == sheetsDesign && DrawScale() == sheetsScale && BufferScale(frontSheet) == sheetsScale) return;
    sheetsDesign = design;
    sheetsScale = DrawScale();
    if (cardFont > 0) UnloadFont(cardFont);
    cardFont = LoadFont(DataPath(kCardTableFontFile).c_str());

    RecreateBuffer(frontSheet, kFrontSheetWidth, kFrontSheetHeight);
    LoadSheet(frontSheet, kFrontFiles[design]);
    Release(darkFrontSheet);
    darkDesign = -1;
    cardWidth = kCardWidth;
    cardHeight = kCardHeight;
    ReleaseBackCells();
}

void CardImages::LoadCardFont() {
    if (cardFont == 0) cardFont = LoadFont(DataPath(kCardTableFontFile).c_str());
}

void CardImages::LoadPlaceholder() {
    const int background = backgroundNumber >= 0 && backgroundNumber < kBackgroundCount ? backgroundNumber : 0;
    char name[64];
    std::snprintf(name, sizeof name, kPlaceholderFilePattern, background + 1);
    RecreateBuffer(placeholderSheet, kPlaceholderSheetWidth, kPlaceholderSheetHeight);
    LoadSheet(placeholderSheet, name);
}

void CardImages::BuildFrontPreview() {
    RecreateBuffer(frontPreview, kFrontPreviewWidth, kFrontPreviewHeight);
    if (frontSheet < 0) RecreateBuffer(frontSheet, kFrontSheetWidth, kFrontSheetHeight);
    if (frontPreview < 0 || frontSheet < 0) return;

    // The sample is the sheet's first card (past the gap column), moved through memory as a block.
    const int previous = ActiveBuffer();
    std::vector<uint8_t> block(ImageSize(kCardWidth + 1, kCardHeight + 1));
    const int cellX = FrontCellX(12);
    sheetsDesign = -1;  // the front sheet ends holding the last design, not the player's
    for (int design = 0; design < kFrontDesignCount; ++design) {
        LoadSheet(frontSheet, kFrontFiles[design]);
        SelectBuffer(frontSheet);
        GetBlock(block.data(), cellX, cellX + kCardWidth, 0, kCardHeight);
        SelectBuffer(frontPreview);
        PutBlock(block.data(), (kCardWidth + 1) * design, (kCardWidth + 1) * design + kCardWidth, 0, kCardHeight);
    }
    SelectBuffer(previous);
}

int CardImages::DarkFrontSheet() const {
    if (sheetsDesign >= 0 && (darkDesign != sheetsDesign || darkScale != sheetsScale)) {
        darkDesign = sheetsDesign;
        darkScale = sheetsScale;
        RecreateBuffer(darkFrontSheet, kFrontSheetWidth, kFrontSheetHeight);
        LoadSheet(darkFrontSheet, kDarkFrontFiles[sheetsDesign]);
    }
    return darkFrontSheet;
}

int CardImages::BackCell(int back) const {
    if (backCellsScale != DrawScale()) ReleaseBackCells();
    backCellsScale = DrawScale();
    int& cell = backCells[static_cast<size_t>(back)];
    if (cell < 0) {
        cell = CreateBuffer(kCardWidth + 1, kCardHeight + 1);
        if (cell < 0) return -1;
        // The sheet drawn with the back's cell at the buffer's corner: only the cell is kept.
        const int previous = ActiveBuffer(), cursorX = CursorX(), cursorY = CursorY();
        SelectBuffer(cell);
        MoveTo(-BackCellX(back), 0);
        ShowBmp(DataPath(kBacksFile).c_str(), 1 | kShowBmpAtCursor);
        MoveTo(cursorX, cursorY);
        SelectBuffer(previous);
    }
    return cell;
}

void CardImages::ReleaseBackCells() const {
    for (int& cell : backCells) Release(cell);
}

void CardImages::FreeCardImages() {
    Release(frontSheet);
    Release(darkFrontSheet);
    ReleaseBackCells();
    Release(placeholderSheet);
    Release(frontPreview);
    if (cardFont > 0) UnloadFont(cardFont);
    cardFont = 0;
    sheetsDesign = -1;
}

void CardImages::CopyCell(int sheet, int cellX, int cellY, int x, int y, int target) const {
    // The drawing layer places a copy by its lower-left corner.
    CopyBufferRectTransparent(cellX, cellX + kCardWidth, cellY, cellY + kCardHeight, x, y + kCardHeight,
                              sheet, target);
}

void CardImages::DrawCard(int x, int y, Card card, int target, bool dark) const {
    if (!card.IsValid()) return;
    if (drawnCells) drawnCells->push_back({CardRect(x, y), card, target});
    CopyCell(dark ? DarkFrontSheet() : frontSheet, FrontCellX(card.Rank()), FrontCellY(card.Suit()), x, y,
             target);
}

void CardImages::DrawCardBack(int x, int y, int back, int target) const {
    if (back < 0 || back >= kBackCount) return;
    if (drawnCells) drawnCells->push_back({CardRect(x, y), Card(), target});
    const int cell = BackCell(back);
    if (cell >= 0) CopyCell(cell, 0, 0, x, y, target);
}

void CardImages::DrawPlaceholder(int x, int y, int cell, int target) const {
    if (cell < 0 || cell >= kPlaceholderCellCount) return;
    if (drawnCells) drawnCells->push_back({CardRect(x, y), Card(), target});
    CopyCell(placeholderSheet, kPlaceholderCellX[cell], 0, x, y, target);
}

Rect CardImages::DrawStock(int x, int y, int back, const Deck& deck, int target, bool canTurn) const {
    const int count = deck.Remaining();
    if (count >= 1) {
        for (int layer = 0; layer < PileLayers(count); ++layer)
            DrawCardBack(x + kLayerStepX * layer, y + kLayerStepY * layer, back, target);
    } else {
        DrawPlaceholder(x, y, canTurn ? kPlaceholderStockTurn : kPlaceholderStockDone, target);
    }
    const CardPoint top = StockTopPosition(x, y, deck);
    return {top.x, top.y, x + kCardWidth, y + kCardHeight};
}

CardPoint CardImages::StockTopPosition(int x, int y, const Deck& deck) const {
    const int count = deck.Remaining();
    if (count < 1) return {x, y};
    const int top = PileLayers(count) - 1;
    return {x + kLayerStepX * top, y + kLayerStepY * top};
}

void CardImages::DrawPile(int x, int y, const Card* cards, int count, int target, int fan, int dx,
                          int dy) const {
    if (cards == nullptr || count < 1) return;
    if (fan < 0) {
        const int layers = PileLayers(count);
        for (int layer = 0; layer < layers; ++layer)
            DrawCard(x + kLayerStepX * layer, y + kLayerStepY * layer, cards[count - layers + layer], target);
        return;
    }
    if (count > fan) DrawCard(x, y, cards[count - fan - 1], target);
    for (int i = 0; i < fan; ++i) {
        const int index = count - fan + i;
        if (index >= 0) DrawCard(x + i * dx, y + i * dy, cards[index], target);
    }
}

namespace {

int FoundationLayers(Card topCard, int startRank, int depth) {
    if (depth == kDepthFromRanks) {
        const int rank = topCard.Rank();
        if (rank == startRank)
            depth = 0;
        else if (startRank < rank)
            depth = rank - startRank + 1;
        else
            depth = rank - startRank + Card::kRankCount;
    }
    return PileLayers(depth);
}

}  // namespace

void CardImages::DrawFoundation(int x, int y, Card topCard, int target, int startRank, int depth) const {
    const int layers = FoundationLayers(topCard, startRank, depth);
    for (int layer = 0; layer < layers; ++layer)
        DrawCard(x + kLayerStepX * layer, y + kLayerStepY * layer, topCard, target);
}

CardPoint CardImages::FoundationTopPosition(int x, int y, Card topCard, int startRank, int depth) const {
    const int top = FoundationLayers(topCard, startRank, depth) - 1;
    return {x + kLayerStepX * top, y + kLayerStepY * top};
}

void CardImages::DrawRun(int x, int y, const Card* cards, int target, int count, int dx, int dy) const {
    if (cards == nullptr) return;
    for (int i = 0; i < count; ++i) DrawCard(x + i * dx, y + i * dy, cards[i], target);
}

uint32_t StatusTextRgb(int scheme, int theme) {
    switch (scheme) {
    case 1:
        return 0xFFA0A0;
    case 2:
        return 0xA0A0FF;
    default:
        break;
    }
    switch (theme) {
    case 1:  // parchment: cream on sepia
        return 0xF6EACC;
    case 3:  // marble: white on charcoal
        return 0xF2F0EB;
    case 4:  // linen: pale blue-white on navy
        return 0xEAF0F7;
    default:
        return 0xA0FFA0;
    }
}

Pixel CardImages::StatusTextColour() const {
    const uint32_t rgb = StatusTextRgb(colourScheme, backgroundNumber);
    return MapRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
