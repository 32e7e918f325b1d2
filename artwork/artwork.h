// The shared screen artwork: the card images plus the screen buffer, the table background of the
// current game, the interface pictures of the current backdrop theme and its colours, and the one
// list of dirty rectangles through which every part of the program presents what it drew.
#pragma once

#include <functional>
#include <vector>

#include "cards/card_images.h"
#include "draw/draw.h"
#include "platform/messages.h"
#include "artwork/screen_layout.h"
#include "ui/toolkit.h"

inline constexpr Rect kWholeScreen{0, 0, screen_layout::kScreenWidth - 1, screen_layout::kScreenHeight - 1};

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
    // The same for a screen without a table (the selection screen): the menu bar and the colours
    // only. The table background and placeholders wait for the next LoadTheme.
    void LoadMenuTheme(int index);
    // After a change of device scale: loads every picture held here again from the art of the new
    // scale (card sheets, the current theme, the title buttons and arrows). The screen buffer is
    // left as it is; the caller draws the screen again.
    void ReloadAtDeviceScale();
    // The selection screen's title picture, over the whole screen buffer (queued for presenting).
    void DrawSelectionScreen();
    // Decodes a full-screen picture ("artwork\\logo.jpg") into the screen buffer. False when the
    // file is missing or damaged, which leaves the screen buffer as it was.
    bool DrawScreenPicture(const char* name);
    // Puts game gameNumber's title (1..20) centred at the top of the table background, the last
    // game's title taken off. The screen shows it from the next restore on: every game's Draw
    // restores the whole screen first.
    void DrawGameTitle(int gameNumber);
    // Copies an area of the table background into the screen buffer.
    void RestoreBackground(int minx, int maxx, int miny, int maxy);

    // Queues a rectangle for presenting. A rectangle that meets the newest one is merged into
    // it, so overlapping updates cost one copy.
    void AddDirty(const Rect& rect);
    // Presents the queued rectangles, newest first, and empties the list. First, once per call,
    // beforePresent runs (when set): a layer drawn over the table puts itself back there when a
    // restore of the background reached it, so no frame shows it torn.
    void PresentDirty();
    std::function<void()> beforePresent;
    const void* beforePresentOwner = nullptr;
    // Whether a restore of the background since the last present reached rect.
    bool RestoredSincePresent(const Rect& rect) const;
    // Presents the whole screen; the queued rectangles are dropped since it covers them.
    void Present();
    void Present(const Rect& rect);
    // While a hold lives, presents only queue their rectangles (a whole-screen present queues the
    // whole screen), and the last hold to end presents them at once: a burst of drawing, such as
    // a whole table or a deal without animation, costs the display one present, not one per part.
    class PresentHold {
    public:
        explicit PresentHold(Artwork& artwork) : artwork(artwork) { ++artwork.presentHolds; }
        ~PresentHold() {
            if (--artwork.presentHolds == 0) artwork.PresentDirty();
        }
        PresentHold(const PresentHold&) = delete;
        PresentHold& operator=(const PresentHold&) = delete;

    private:
        Artwork& artwork;
    };
    // The queued rectangles, oldest first (the newest is the last).
    const std::vector<Rect>& DirtyList() const { return dirty; }

    // What a window wider or taller than the table shows beside it: the backdrop runs on beside
    // the table (after LoadTheme, or this), the edges of a screen picture beside the picture
    // (after DrawScreenPicture). The margins change with the next present.
    void ShowBackdropInMargins() { marginWanted = MarginSource::kBackdrop; }

    void FreeArtwork();

    // The stack being dragged, drawn once into a picture of its own when the drag starts, with a
    // second picture of the same size for the table under it: each drag step then restores, saves
    // and draws one block, however many cards the stack holds. The stack's cards are fanned by
    // (dx, dy) >= 0 and cover width x height logical pixels from its top-left corner. False when
    // the pictures could not be made; the caller then draws card by card.
    bool BeginDragImage(const Card* cards, int count, int dx, int dy, int width, int height);
    bool HasDragImage() const { return dragImage >= 0; }
    // The screen area under the stack at (x, y), kept and put back (parts off the screen are
    // neither); and the stack drawn there. Each needs BeginDragImage.
    void SaveUnderDragImage(int x, int y);
    void RestoreUnderDragImage(int x, int y);
    void DrawDragImage(int x, int y);
    // One drag step: the stack drawn at (x, y) moves to (newX, newY), the table under it kept
    // and restored where it is uncovered. Composed in one pass over the new place, so it costs
    // about a third of restoring, saving and drawing the whole stack.
    void MoveDragImage(int x, int y, int newX, int newY);
    void EndDragImage();

    // The theme in use and its colours.
    int Backdrop() const { return backdrop; }
    const screen_layout::ThemeColors& ThemeColours() const { return screen_layout::kThemeColors[backdrop]; }
    // Words on the score panel (cut from the dialog face) and words on the table itself.
    Pixel TextColour() const;
    Pixel TableTextColour() const;
    // The values the toolkit draws dialogs, controls and menus with; art that failed to load is
    // handed over as -1, so the toolkit draws plainly instead of reading an empty buffer.
    ToolkitTheme ToolkitThemeValues() const;

    HWND window = nullptr;
    int palette = 0;
    int screenBuffer = -1;
    // Buffer handles owned here, -1 when not created.
    int background = -1;       // 800 x 600 table background: backdrop plus the game's title
    int menuBarArt = -1;       // 801 x 60: the bar and title cells of the 801 x 901 picture
    int dropDownArt = -1;      // 220 x 481, decoded when a menu first opens
    int titleArt = -1;         // 447 x 34: the band of the in-game title picture drawn last
    int titleButtonArt = -1;   // 256 x 111 Players and Exit buttons
    int upDownArt = -1;        // 85 x 33
    int dialogArt = -1;        // 801 x 741 dialog face and strip, made when first needed

    // The dialog face and strip of the theme shown, decoded now if they are not here at this
    // scale yet; -1 when the files are missing or damaged.
    int DialogArt();
    // A width x height panel cut from the dialog face: its top-left area, with the face's right
    // edge, bottom edge and corner (`edge` pixels wide) put on. Made once per theme and scale; the
    // face itself is let go again when no dialog has asked for it. -1 without a dialog face.
    int PanelFace(int width, int height, int edge);

private:
    // The artwork the toolkit's loadDialogArt and loadDropDownArt reach: the last one whose
    // theme it was handed.
    static Artwork* dialogArtOwner;
    static int LoadOwnersDialogArt();
    static int LoadOwnersDropDownArt();
    // The drop-down panels and check marks of the theme shown, decoded now if they are not here
    // at this scale yet; -1 when the files are missing or damaged.
    int DropDownArt();
    void ApplyToolkitTheme();
    // Puts back the backdrop where the last game title was drawn on it.
    void TakeTitleOff();
    // Hands the window the margin picture wanted, when it is not the one it shows.
    void SyncMargins();

    int backdrop = 0;
    // The theme whose backdrop and placeholders are here, and the scale they were decoded at
    // (-1: none); the same for the menu bar. backdropWanted: a table has asked for a backdrop.
    int themeLoaded = -1, themeScale = 0;
    int menuBarTheme = -1, menuBarScale = 0;
    bool backdropWanted = false;
    uint32_t themeEdgeColour = 0;
    // The backdrop under the game title drawn on it, and where that title is.
    static constexpr Rect kNoTitle{0, 0, -1, -1};
    int titleUnder = -1;
    Rect titleDrawn = kNoTitle;
    // Which title band titleArt holds: game, theme and scale (game 0: none).
    int titleBandGame = 0, titleBandTheme = -1, titleBandScale = 0;
    enum class MarginSource { kNone, kBackdrop, kScreenPicture };
    MarginSource marginWanted = MarginSource::kNone, marginShown = MarginSource::kNone;
    int marginTheme = -1, marginScale = 0;
    // The outermost columns of the last screen picture, one left and one right per row.
    std::vector<uint32_t> screenEdges;
    int screenEdgesHeight = 0;
    // Which theme pictures were found, so the toolkit is never pointed at an empty buffer.
    bool menuBarLoaded = false;
    bool dropDownLoaded = false;
    int dropDownTheme = -1, dropDownScale = 0;  // what dropDownArt was decoded for (-1: nothing)
    bool dialogLoaded = false;
    // The theme and scale dialogArt was made for (-1: none); a failed decode is not tried again
    // for them.
    int dialogTheme = -1, dialogScale = 0;
    // The panel PanelFace made, and for which theme, scale and size.
    int panelFace = -1, panelTheme = -1, panelScale = 0, panelWidth = 0, panelHeight = 0;
    // The toolkit has been handed dialogArt: it stays until the theme or scale changes.
    bool dialogHandedOut = false;
    // Oldest first, so the newest rectangle, the one merged with, is cheap to reach.
    std::vector<Rect> dirty;
    Rect restored{0, 0, -1, -1};  // the restores of the background since the last present
    int presentHolds = 0;
    bool inBeforePresent = false;
    int dragImage = -1;  // the dragged stack on magenta
    int dragUnder = -1;  // the screen under it
    int dragUnderNext = -1;  // the screen under its next place, while a step composes it
    int dragWidth = 0, dragHeight = 0;
};
