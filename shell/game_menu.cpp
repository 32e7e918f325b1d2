#include "shell/game_menu.h"

#include "draw/draw.h"
#include "platform/paths.h"

using namespace screen_layout;

namespace {

// The widest and tallest item, with the inclusive edge: the save-under block holds any of them.
constexpr int kSaveUnderWidth = 232;
constexpr int kSaveUnderHeight = 33;

constexpr bool SaveUnderHoldsEveryItem() {
    for (const Rect& item : kGameMenuItems)
        if (item.Width() + 1 > kSaveUnderWidth || item.Height() + 1 > kSaveUnderHeight) return false;
    return true;
}
static_assert(SaveUnderHoldsEveryItem());

}  // namespace

GameMenu::~GameMenu() { Release(); }

bool GameMenu::Init() {
    Release();
    saveUnder.assign(ImageSize(kSaveUnderWidth, kSaveUnderHeight), 0);
    highlighted = kNoItem;
    initialised = true;
    return true;
}

// The highlight picture is decoded when a name is first hovered, at the scale drawn at then:
// a start straight into a game never shows it.
bool GameMenu::LoadArt() {
    if (highlightArt >= 0 && BufferScale(highlightArt) == DrawScale()) return true;
    ReleaseArt();
    highlightArt = CreateBuffer(kHighlightImageWidth, kHighlightImageHeight);
    if (highlightArt < 0) return false;
    const int previous = ActiveBuffer();
    SelectBuffer(highlightArt);
    // A missing picture must leave a transparent one, so hovering then changes nothing visible.
    SetColor(MapRgb(255, 0, 255));
    FillBuffer();
    ShowBmp(DataPath("artwork\\hilight_title.bmp").c_str(), 1);
    if (previous >= 0) SelectBuffer(previous);
    else CloseBuffer();
    return true;
}

void GameMenu::ReleaseArt() {
    if (highlightArt >= 0 && highlightArt != ActiveBuffer()) FreeBuffer(highlightArt);
    highlightArt = -1;
}

Rect GameMenu::ItemRect(int item) {
    const Rect& r = kGameMenuItems[item];
    return {r.left, r.top, r.left + r.Width(), r.top + r.Height()};
}

int GameMenu::HitTest(int x, int y) const {
    for (int item = 0; item < kGameCount; ++item) {
        const Rect r = ItemRect(item);
        if (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom) return item;
    }
    return kNoItem;
}

bool GameMenu::Hover(int x, int y, int screenBuffer) {
    touched.clear();
    if (!initialised) return false;
    const int item = HitTest(x, y);
    if (item == highlighted) return false;

    const int previous = ActiveBuffer();
    SelectBuffer(screenBuffer);
    if (highlighted != kNoItem) {
        const Rect r = ItemRect(highlighted);
        PutBlock(saveUnder.data(), r.left, r.right, r.top, r.bottom);
        touched.push_back(r);
        highlighted = kNoItem;
    }
    if (item != kNoItem && LoadArt()) {
        const Rect r = ItemRect(item);
        GetBlock(saveUnder.data(), r.left, r.right, r.top, r.bottom);
        const int cellTop = HighlightCellY(item);
        CopyBufferRectTransparent(0, r.right - r.left, cellTop, cellTop + (r.bottom - r.top), r.left, r.bottom,
                                  highlightArt, screenBuffer);
        touched.push_back(r);
        highlighted = item;
    }
    if (previous >= 0) SelectBuffer(previous);
    return true;
}

void GameMenu::Release() {
    ReleaseArt();
    saveUnder.clear();
    saveUnder.shrink_to_fit();
    highlighted = kNoItem;
    initialised = false;
}
