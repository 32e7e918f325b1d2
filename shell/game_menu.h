// The selection screen's menu of the twenty game names: where each lies, which one is under the
// mouse, and its highlight. The highlight is drawn over the name with save-under, so taking it
// away touches nothing but that name's rectangle.
#pragma once

#include <cstdint>
#include <vector>

#include "artwork/artwork.h"
#include "artwork/screen_layout.h"

class GameMenu {
public:
    static constexpr int kNoItem = -1;

    GameMenu() = default;
    ~GameMenu();
    GameMenu(const GameMenu&) = delete;
    GameMenu& operator=(const GameMenu&) = delete;

    // Makes the save-under block; nothing highlighted. The highlight image comes with the first
    // hover.
    bool Init();
    // The item (0..19, item i starts game i + 1) whose rectangle holds the point, or kNoItem.
    int HitTest(int x, int y) const;
    // Moves the highlight to the item under the point: the highlighted item gets back the pixels
    // saved under it, the item under the point (if any) saves its pixels and is highlighted.
    // Returns true when the screen buffer changed; Touched() then names the changed rectangles.
    bool Hover(int x, int y, int screenBuffer);
    // The rectangles the last Hover changed (none, one or two).
    const std::vector<Rect>& Touched() const { return touched; }
    // Forgets the highlight without restoring anything, for when the screen was drawn anew.
    void ForgetHighlight() { highlighted = kNoItem; }
    int Highlighted() const { return highlighted; }
    bool Initialised() const { return initialised; }
    void Release();
    // Lets the highlight image go while the selection screen is not shown.
    void ReleaseArt();

    // Screen rectangle of an item, inclusive; the highlight and its save-under cover exactly it.
    static Rect ItemRect(int item);

private:
    bool LoadArt();
    int highlightArt = -1;
    std::vector<uint8_t> saveUnder;
    int highlighted = kNoItem;
    bool initialised = false;
    std::vector<Rect> touched;
};
