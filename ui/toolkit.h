// The toolkit's global state: start-up and shut-down, the one current event and how window
// messages become it, the colour table, the font roles, the theme values the shell hands over,
// and the queue of rectangles waiting to be presented.
//
// Input runs in two stages. The window procedure or a modal loop calls TranslateInput for each
// input message; it only records what happened (button states, the key, timer and Alt markers).
// The code that owns the screen then calls TranslateEvent (TranslateKey, TranslateMouse and the
// two merge steps) and hands the finished event to its top panel's HandleEvent. Controls read
// the event and may rewrite its type and source id on the way, so a panel learns from the event
// which control was activated.
#pragma once

#include <cstdint>
#include <string_view>

#include "draw/draw.h"
#include "platform/messages.h"

// --- The current event ---

enum EventType : int {
    kEventNone = 0,
    kEventCommand = 1,       // a control or menu item was activated; sourceId names it
    kEventRightClick = 3,
    kEventFocusRequest = 4,  // the left button went down on a control
    kEventTab = 6,
    kEventShiftTab = 7,
    kEventUp = 8,
    kEventDown = 9,
    kEventLeft = 10,
    kEventHome = 11,
    kEventEnd = 12,
    kEventPageUp = 13,
    kEventPageDown = 14,
    kEventDelete = 15,
    kEventInsert = 16,
    kEventRight = 17,
    kEventTimer = 18,
    kEventAltDown = 25,
    kEventAltUp = 26,
};

enum MouseEvent : int {
    kMouseNone = 0,
    kMouseMove = 1,
    kMouseLeftPressed = 2,
    kMouseLeftHeld = 3,
    kMouseLeftReleased = 4,
    kMouseRightPressed = 5,
    kMouseRightHeld = 6,
    kMouseRightReleased = 7,
};

enum KeyKind : int { kKeyNone = 0, kKeyDown = 1, kKeyFunction = 4 };

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyBackspace = 8;
constexpr int kKeySpace = 32;

struct ToolkitEvent {
    int type = kEventNone;
    int sourceId = 0;
    int mouseEvent = kMouseNone;
    int mouseX = 0, mouseY = 0;
    int keyKind = kKeyNone;
    int keyChar = 0;
    int doubleClickId = 0;
    // wParam and lParam of the last timer message. WM_SYSKEYDOWN also stores its virtual key in
    // timerId, which is what the Alt hot keys compare with.
    uintptr_t timerId = 0;
    intptr_t timerData = 0;
};

// The one event in flight. Everything runs on the window thread, so one record suffices.
ToolkitEvent& CurrentEvent();

// First stage: records an input message. Returns true for the messages it understands (the
// mouse messages, WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP and WM_TIMER).
bool TranslateInput(HWND window, uint32_t message, WPARAM wParam, LPARAM lParam);
// Second stage, in this order.
void TranslateKey();
void TranslateMouse();
void MergeTimerEvent();
void MergeAltEvent();
// All four second-stage steps in their order.
void TranslateEvent();

// True when the last mouse message was a double click whose position is (x, y).
bool DoubleClickPending(int* x, int* y);

// --- Start-up and shut-down ---

enum ToolkitFlags : int {
    kToolkitLoadSystemFonts = 4,  // load the body font as regular and body, the title font as bold
    kToolkitPanelSaveUnder = 8,   // every panel saves and restores the pixels under itself
    kToolkitSubPanelEvents = 16,  // panels pass each event on to their open sub-panels
};

// Stores the window and the screen buffer. The first call also applies the flags and records
// the screen size; later calls only update the two handles.
void InitToolkit(HWND window, int screenBuffer, int flags);
// Unloads the fonts (when any were loaded) and forgets everything, so InitToolkit works again.
void ShutdownToolkit();
bool ToolkitInitialised();
int ToolkitFlagsInUse();
int ToolkitScreenBuffer();
HWND ToolkitWindow();
int ScreenWidth();
int ScreenHeight();
// Selects the screen buffer; every Draw starts with it, since game code may have selected another.
void SelectScreenBuffer();

// Set by the menu bar and the drop-down list while a drop-down is open; other controls go inactive.
void SetToolkitMenuOpen(bool open);
bool ToolkitMenuOpen();
// How many modal loops (dialogs, message boxes, the picture screens' waits) are running now;
// 0 at the table.
int ModalLoopDepth();
// True while a drop-down or a modal loop stands over the table. Nothing may draw on the table
// then: what the menu or dialog saved under itself and puts back would no longer be the table.
bool TableCovered();
// Kept by RunModalLoop, and by every other nested loop, around the loop.
struct ModalLoopScope {
    ModalLoopScope();
    ~ModalLoopScope();
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;
};

// --- Colour table ---

// Entries without a named role exist because the table has them, but no control uses them.
enum ToolkitColor : int {
    kColorListText = 9,
    kColorListSelectedBack = 10,
    kColorListSelectedText = 11,
    kColorBackground = 12,
    kColorFace = 17,          // light grey
    kColorHighlight = 18,     // white
    kColorShadow = 19,        // shadow grey
    kColorDarkEdge = 20,      // black
    kColorText = 21,          // replaced by the theme's dialog text colour by every Dialog
    kColorFieldBackground = 22,
    kColorFieldLight = 23,
    kColorFieldShadow = 24,   // also disabled field text
    kColorFieldDark = 25,
    kColorFieldText = 26,
};
constexpr int kColorTableSize = 26;

void BuildColorTable();
Pixel ToolkitColorValue(int index);  // index 1..26; black outside
void SetToolkitColorValue(int index, Pixel value);

// --- Fonts ---

// Names are spelt as the program spells them ("windb_10.fgf") and resolved against the data
// folder; an absolute path is used as it is. A font that cannot be loaded leaves the role at 0,
// and text in that role is then drawn with the built-in system font.
void SetRegularFont(const char* name);
void SetBoldFont(const char* name);
void LoadStartupFont(const char* name);
int RegularFont();
int BoldFont();

// Text in the regular (or bold) role at the cursor with the given justification, falling back to
// the system font when the role has no font.
void DrawRegularText(std::string_view text, int xjust, int yjust);
void DrawBoldText(std::string_view text, int xjust, int yjust);
int RegularTextWidth(std::string_view text);
// Running text in the body style (ui/typography.h), loaded with the system fonts; the regular
// role stands in when it is missing.
void DrawBodyText(std::string_view text, int xjust, int yjust);
int BodyTextWidth(std::string_view text);
int RegularTextHeight();

// --- Theme ---

// The current backdrop theme's values that the toolkit draws with. The shell fills it from its
// artwork whenever a theme is loaded. A handle of -1 means the picture is missing: frames and
// faces are then drawn plainly with the colour table, never read from a missing buffer.
struct ToolkitTheme {
    // 800 x 600 dialog face, strip with title plate and button faces from y = 600. Read it through
    // ThemeDialogArt, which makes it on first use.
    int dialogFace = -1;
    int dropDownArt = -1;     // drop-down menu panels; the check-mark cell at x 201..215, y 0..12
    int menuBarArt = -1;      // the in-game menu bar strip
    Pixel textColor = 0x000000;               // dialog text
    Pixel controlTextColor = 0x000000;        // button captions, dialog titles
    Pixel controlHighlightColor = 0x625D4A;   // captions under the mouse or pressed
    Pixel menuItemColor = 0x000000;
    Pixel menuItemHighlightColor = 0x625D4A;
    // When dialogFace is -1: makes the dialog face when a dialog or control first needs it and
    // returns its handle (-1 when it cannot). Asked once per theme, so most screens never pay for
    // the largest picture of a theme.
    int (*loadDialogArt)() = nullptr;
    // The same for dropDownArt, asked when a menu first opens. Read it through ThemeDropDownArt.
    int (*loadDropDownArt)() = nullptr;
};
void SetToolkitTheme(const ToolkitTheme& theme);
const ToolkitTheme& CurrentTheme();
// The theme's dialog face, made on first use (see loadDialogArt); -1 when there is none.
int ThemeDialogArt();
// The drop-down panels' picture, made on first use like the dialog face (-1 when missing).
int ThemeDropDownArt();
// True when handle names a buffer of at least the given size.
bool ArtAvailable(int handle, int minWidth, int minHeight);

// --- Presentation and other seams the shell connects ---

// Where drawn rectangles are queued and how they are presented. Without hooks the toolkit keeps
// its own list (merging each rectangle with the newest one it intersects) and presents it with
// PresentRect; the shell points these at its artwork object so there is one list.
struct PresentHooks {
    void (*addDirty)(int left, int top, int right, int bottom) = nullptr;
    void (*presentDirty)() = nullptr;
    bool (*applicationActive)() = nullptr;  // modal loops present only while this is true
    void (*playSound)(const char* name) = nullptr;  // "button.wav"; nothing when unset
};
void SetPresentHooks(const PresentHooks& hooks);
void QueueRect(int left, int top, int right, int bottom);
void PresentQueuedRects();
bool ApplicationActiveForToolkit();
void PlayToolkitSound(const char* name);
// Rectangles waiting in the toolkit's own list (tests look at it).
int QueuedRectCount();

// Hit test shared by every control: the first column and row of a window do not react.
constexpr bool PointInside(int px, int py, int x, int y, int width, int height) {
    return x < px && px < x + width && y < py && py < y + height;
}
