// The shared screen artwork: the card images plus the screen buffer, the table background of the
// current game, the interface pictures of the current backdrop theme and its colours, and the one
// list of dirty rectangles through which every part of the program presents what it drew.
#pragma once

#include <vector>

#include "cards/card_images.h"
#include "draw/draw.h"
#include "platform/messages.h"
#include "artwork/screen_layout.h"
#include "ui/toolkit.h"

// Rectangle of the screen, (left, top) .. (right, bottom) inclusive.
struct DirtyRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DirtyRect&) const = default;
};

inline constexpr DirtyRect kWholeScreen{0, 0, screen_layout::kScreenWidth - 1, screen_layout::kScreenHeight - 1};

class Artwork : public CardImages {
public:
    // LoadTheme's index for the backdrop of the player's preferences.
    static constexpr int kPreferredTheme = -1;

    Artwork() = default;
    ~Artwork() override;

    // Creates every artwork buffer (freeing older ones), loads the title-button and arrow images,
    // marks the transparent colours and loads the card images. False when the buffers could not
    // be made; missing files only leave pictures empty.
    bool Init(int screenBuffer, HWND window, int palette);
    // Loads backdrop theme index (0..5, or kPreferredTheme): the table background, menu bar,
    // drop-down, dialog art, in-game titles, placeholders and the five theme colours, and hands
    // them to the toolkit. Every game calls it at each new deal.
    void LoadTheme(int index);
    // The selection screen's title picture, over the whole screen buffer (queued for presenting).
    void DrawSelectionScreen();
    // Decodes a full-screen picture ("artwork\\logo.jpg") into the screen buffer. False when the
    // file is missing or damaged, which leaves the screen buffer as it was.
    bool DrawScreenPicture(const char* name);
    // Restores the whole screen from the table background, then puts game gameNumber's title
    // (1..20) centred at the top of the background. The screen shows it from the next restore
    // on, which is how every game draws its table.
    void DrawGameTitle(int gameNumber);
    // Copies an area of the table background into the screen buffer.
    void RestoreBackground(int minx, int maxx, int miny, int maxy);

    // Queues a rectangle for presenting. A rectangle that meets the newest one is merged into
    // it, so overlapping updates cost one copy.
    void AddDirty(const DirtyRect& rect);
    // Presents the queued rectangles, newest first, and empties the list.
    void PresentDirty();
    // Presents the whole screen; the queued rectangles are dropped since it covers them.
    void Present();
    void Present(const DirtyRect& rect);
    // The queued rectangles, oldest first (the newest is the last).
    const std::vector<DirtyRect>& DirtyList() const { return dirty; }

    void FreeArtwork();

    // The theme in use and its colours.
    int Backdrop() const { return backdrop; }
    const screen_layout::ThemeColors& ThemeColours() const { return screen_layout::kThemeColors[backdrop]; }
    Pixel TextColour() const;
    // The values the toolkit draws dialogs, controls and menus with; art that failed to load is
    // handed over as -1, so the toolkit draws plainly instead of reading an empty buffer.
    ToolkitTheme ToolkitThemeValues() const;

    HWND window = nullptr;
    int palette = 0;
    int screenBuffer = -1;
    // Buffer handles owned here, -1 when not created.
    int background = -1;       // 800 x 600 table background: backdrop plus the game's title
    int menuBarArt = -1;       // 801 x 901
    int dropDownArt = -1;      // 220 x 481
    int titleArt = -1;         // 447 x 685 in-game titles
    int titleButtonArt = -1;   // 256 x 111 Players and Exit buttons
    int upDownArt = -1;        // 85 x 33
    int dialogArt = -1;        // 801 x 741 dialog face and strip

private:
    void ApplyToolkitTheme() const;

    int backdrop = 0;
    // Which theme pictures were found, so the toolkit is never pointed at an empty buffer.
    bool menuBarLoaded = false;
    bool dropDownLoaded = false;
    bool dialogLoaded = false;
    // Oldest first, so the newest rectangle, the one merged with, is cheap to reach.
    std::vector<DirtyRect> dirty;
};
