#include "ui/toolkit.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/keys.h"
#include "platform/paths.h"
#include "ui/typography.h"

namespace {

// The built-in system font is 6 pixels a character and 12 high.
constexpr int kSystemFontAdvance = 6;
constexpr int kSystemFontHeight = 12;
constexpr int kAltBufferSize = 10;  // nine key codes and the terminating zero

struct ToolkitState {
    bool initialised = false;
    HWND window = nullptr;
    int screenBuffer = -1;
    int flags = 0;
    int screenWidth = 800;
    int screenHeight = 600;
    bool menuOpen = false;
    bool fontsLoaded = false;
    int regularFont = 0;
    int boldFont = 0;
    int bodyFont = 0;
    std::array<Pixel, kColorTableSize + 1> colors{};
    ToolkitTheme theme;
    PresentHooks hooks;
    std::vector<Rect> dirty;  // newest first
};

// What the first stage has seen of the input since the last event was made.
struct InputState {
    bool leftDown = false;
    bool rightDown = false;
    bool moved = false;
    int mouseX = 0, mouseY = 0;
    bool doubleClick = false;
    int typed = 0;  // a WM_CHAR's character, taken by the next TranslateKey
    int doubleClickX = 0, doubleClickY = 0;
    int virtualKey = 0;  // 0 when no key is remembered
    int scanCode = 0;
    bool extended = false;
    bool keyReleased = false;
    int altMarker = 0;    // 0, kEventAltDown or kEventAltUp
    int timerMarker = 0;  // 0 or kEventTimer
    std::string altNumber;
    int previousMouseEvent = kMouseNone;
};

ToolkitState state;
InputState input;
ToolkitEvent currentEvent;

std::string ResolveName(const char* name) {
    if (name == nullptr) return {};
    if (name[0] == '/') return name;
    return DataPath(name);
}

bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// US keyboard characters of the OEM keys 186..192 and 219..222, unshifted and shifted.
char OemCharacter(int virtualKey, bool shifted) {
    static constexpr char kPlain[] = ";=,-./`";
    static constexpr char kShifted[] = ":+<_>?~";
    static constexpr char kPlainBrackets[] = "[\\]'";
    static constexpr char kShiftedBrackets[] = "{|}\"";
    if (virtualKey >= VK_OEM_1 && virtualKey <= VK_OEM_3)
        return shifted ? kShifted[virtualKey - VK_OEM_1] : kPlain[virtualKey - VK_OEM_1];
    if (virtualKey >= VK_OEM_4 && virtualKey <= VK_OEM_7)
        return shifted ? kShiftedBrackets[virtualKey - VK_OEM_4] : kPlainBrackets[virtualKey - VK_OEM_4];
    return 0;
}

bool IsOemKey(int virtualKey) {
    return (virtualKey >= VK_OEM_1 && virtualKey <= VK_OEM_3) || (virtualKey >= VK_OEM_4 && virtualKey <= VK_OEM_7);
}

}  // namespace

ToolkitEvent& CurrentEvent() { return currentEvent; }

// --- First stage ---

bool TranslateInput(HWND /*window*/, uint32_t message, WPARAM wParam, LPARAM lParam) {
    input.timerMarker = 0;
    input.altMarker = 0;
    input.moved = false;
    input.doubleClick = false;
    input.keyReleased = false;
    switch (message) {
        case WM_LBUTTONDOWN:
            input.leftDown = true;
            input.mouseX = LowWord(lParam);
            input.mouseY = HighWord(lParam);
            SetCapture(state.window);
            return true;
        case WM_LBUTTONUP:
            input.leftDown = false;
            input.mouseX = LowWord(lParam);
            input.mouseY = HighWord(lParam);
            ReleaseCapture();
            return true;
        case WM_LBUTTONDBLCLK:
            // The second press of a double click: a press like any other (a menu item or button
            // clicked soon after another nearby still works), marked as the double click too.
            input.leftDown = true;
            input.mouseX = input.doubleClickX = LowWord(lParam);
            input.mouseY = input.doubleClickY = HighWord(lParam);
            input.doubleClick = true;
            SetCapture(state.window);
            return true;
        case WM_RBUTTONDOWN:
            input.rightDown = true;
            input.mouseX = LowWord(lParam);
            input.mouseY = HighWord(lParam);
            SetCapture(state.window);
            return true;
        case WM_RBUTTONUP:
            input.rightDown = false;
            input.mouseX = LowWord(lParam);
            input.mouseY = HighWord(lParam);
            ReleaseCapture();
            return true;
        case WM_RBUTTONDBLCLK:
            return true;
        case WM_MOUSEMOVE:
            input.moved = true;
            input.mouseX = LowWord(lParam);
            input.mouseY = HighWord(lParam);
            return true;
        case WM_KEYDOWN:
            input.virtualKey = static_cast<int>(wParam);
            input.scanCode = static_cast<int>((lParam >> 16) & 0xFF);
            input.extended = ((lParam >> 24) & 1) != 0;
            return true;
        case WM_KEYUP:
            input.keyReleased = true;
            return true;
        case WM_CHAR:
            // A letter beyond ASCII typed as text (the key messages carry the rest).
            input.typed = static_cast<int>(wParam);
            return true;
        case WM_SYSKEYDOWN:
            input.altMarker = kEventAltDown;
            currentEvent.timerId = wParam;
            return true;
        case WM_SYSKEYUP:
            input.altMarker = kEventAltUp;
            return true;
        case WM_TIMER:
            currentEvent.timerId = wParam;
            currentEvent.timerData = lParam;
            input.timerMarker = kEventTimer;
            return true;
        default:
            return false;
    }
}

// --- Second stage ---

void TranslateKey() {
    ToolkitEvent& e = currentEvent;
    e.type = kEventNone;
    e.keyChar = 0;
    if (input.typed != 0) {
        e.keyKind = kKeyDown;
        e.keyChar = input.typed;
        input.typed = 0;
        input.virtualKey = 0;
        return;
    }

    // Alt-number entry: the keys typed while Alt is held spell a decimal key code, which is
    // taken as the key when the next key is released.
    if (input.altMarker == kEventAltDown && e.timerId == VK_MENU) input.altNumber.clear();  // a new entry
    if (input.altMarker == kEventAltDown && e.timerId != VK_MENU && e.timerId != 0 &&
        static_cast<int>(input.altNumber.size()) < kAltBufferSize - 1) {
        int code = static_cast<int>(e.timerId);
        if (code >= VK_NUMPAD0 && code <= VK_NUMPAD0 + 9) code = code - VK_NUMPAD0 + '0';  // keypad digits
        input.altNumber.push_back(static_cast<char>(code));
    }
    if (input.keyReleased && !input.altNumber.empty()) {
        const int code = std::atoi(input.altNumber.c_str());
        if (code > 0 && code < 256) {
            input.virtualKey = code;
            input.scanCode = 0;
            input.extended = false;
        }
        input.altNumber.clear();
        input.altMarker = 0;
    }
    if (input.virtualKey == 0) {
        e.keyKind = kKeyNone;
        return;
    }

    const int vk = input.virtualKey;
    const int scan = input.scanCode;
    int ch = vk;
    e.keyKind = kKeyDown;

    if (!input.extended) {
        static constexpr char kKeypad[] = "789-456+1230.";  // scan codes 71..83
        if (scan >= SC_HOME && scan <= SC_DELETE && kKeypad[scan - SC_HOME] != '-' && kKeypad[scan - SC_HOME] != '+')
            ch = kKeypad[scan - SC_HOME];
        if (scan >= SC_F1 && scan <= SC_F10) e.keyKind = kKeyFunction;
    }

    const bool shiftKeys = IsKeyDown(SC_LSHIFT) != 0 || IsKeyDown(SC_RSHIFT) != 0;
    if (shiftKeys && IsKeyDown(SC_TAB) != 0) {
        e.type = kEventShiftTab;
        e.keyChar = SC_TAB;
        input.virtualKey = 0;
        return;
    }

    const bool shift = IsVirtualKeyDown(VK_SHIFT);
    if (ch == vk) {
        if (shift) {
            static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
            if (vk >= '0' && vk <= '9') ch = kShiftedDigits[vk - '0'];
            else if (IsOemKey(vk)) ch = OemCharacter(vk, true);
        } else {
            if (vk >= 'A' && vk <= 'Z') ch = vk - 'A' + 'a';
            else if (IsOemKey(vk)) ch = OemCharacter(vk, false);
        }
    }

    if (e.keyKind == kKeyDown && IsCapsLockOn() && IsLetter(ch)) {
        if (ch >= 'a' && ch <= 'z') ch = ch - 'a' + 'A';
        else if (shift) ch = ch - 'A' + 'a';
    }

    struct Navigation {
        int virtualKey;
        EventType type;
        char scanLetter;
    };
    static constexpr Navigation kNavigation[] = {
        {VK_PRIOR, kEventPageUp, 'I'}, {VK_NEXT, kEventPageDown, 'Q'}, {VK_END, kEventEnd, 'O'},
        {VK_HOME, kEventHome, 'G'},    {VK_LEFT, kEventLeft, 'K'},     {VK_UP, kEventUp, 'H'},
        {VK_RIGHT, kEventRight, 'M'},  {VK_DOWN, kEventDown, 'P'},     {VK_INSERT, kEventInsert, 'R'},
        {VK_DELETE, kEventDelete, 'S'},
    };
    if (vk == VK_TAB) e.type = kEventTab;
    for (const Navigation& n : kNavigation) {
        if (vk == n.virtualKey) {
            e.type = n.type;
            ch = n.scanLetter;
        }
    }
    switch (vk) {
        case VK_MULTIPLY: ch = '*'; break;
        case VK_ADD: ch = '+'; break;
        case VK_SUBTRACT: ch = '-'; break;
        case VK_DIVIDE: ch = '/'; break;
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
        case VK_PAUSE:
        case VK_NUMLOCK: ch = 0; break;
        case VK_SCROLL:
            if (scan == 70) ch = 0;
            break;
        default: break;
    }
    e.keyChar = ch;
    input.virtualKey = 0;
}

void TranslateMouse() {
    const int previous = input.previousMouseEvent;
    int result;
    if (input.leftDown) {
        result = (previous == kMouseLeftPressed || previous == kMouseLeftHeld) ? kMouseLeftHeld : kMouseLeftPressed;
    } else if (previous == kMouseLeftPressed || previous == kMouseLeftHeld) {
        result = kMouseLeftReleased;
    } else if (input.rightDown) {
        result = (previous == kMouseRightPressed || previous == kMouseRightHeld) ? kMouseRightHeld : kMouseRightPressed;
    } else if (previous == kMouseRightPressed || previous == kMouseRightHeld) {
        result = kMouseRightReleased;
    } else {
        result = input.moved ? kMouseMove : kMouseNone;
    }
    currentEvent.mouseEvent = result;
    currentEvent.mouseX = input.mouseX;
    currentEvent.mouseY = input.mouseY;
    input.previousMouseEvent = result;
}

void MergeTimerEvent() {
    if (input.timerMarker != 0) currentEvent.type = input.timerMarker;
}

void MergeAltEvent() {
    if (input.altMarker != 0) currentEvent.type = input.altMarker;
}

void TranslateEvent() {
    TranslateKey();
    TranslateMouse();
    MergeTimerEvent();
    MergeAltEvent();
}

bool DoubleClickPending(int* x, int* y) {
    if (!input.doubleClick) return false;
    if (x != nullptr) *x = input.doubleClickX;
    if (y != nullptr) *y = input.doubleClickY;
    return true;
}

// --- Start-up and shut-down ---

void InitToolkit(HWND window, int screenBuffer, int flags) {
    state.window = window;
    state.screenBuffer = screenBuffer;
    if (state.initialised) return;
    state.initialised = true;
    state.flags = flags;
    SelectBuffer(screenBuffer);
    if (ActiveBuffer() == screenBuffer) {
        state.screenWidth = MaxX() + 1;
        state.screenHeight = MaxY() + 1;
    }
    BuildColorTable();
    if (flags & kToolkitLoadSystemFonts) {
        SetRegularFont(typography::kBody.file);
        state.bodyFont = state.regularFont;
        SetBoldFont(typography::kTitle.file);
    }
}

void ShutdownToolkit() {
    if (state.fontsLoaded) UnloadFont(-1);
    input = InputState{};
    currentEvent = ToolkitEvent{};
    const PresentHooks hooks = state.hooks;
    state = ToolkitState{};
    state.hooks = hooks;  // the shell's connections outlive a restart of the toolkit
}

bool ToolkitInitialised() { return state.initialised; }
int ToolkitFlagsInUse() { return state.flags; }
int ToolkitScreenBuffer() { return state.screenBuffer; }
HWND ToolkitWindow() { return state.window; }
int ScreenWidth() { return state.screenWidth; }
int ScreenHeight() { return state.screenHeight; }

void SelectScreenBuffer() {
    if (state.screenBuffer >= 0) SelectBuffer(state.screenBuffer);
}

void SetToolkitMenuOpen(bool open) { state.menuOpen = open; }
bool ToolkitMenuOpen() { return state.menuOpen; }

namespace {
int modalLoops = 0;
}
int ModalLoopDepth() { return modalLoops; }
bool TableCovered() { return state.menuOpen || modalLoops > 0; }
ModalLoopScope::ModalLoopScope() { ++modalLoops; }
ModalLoopScope::~ModalLoopScope() { --modalLoops; }

// --- Colour table ---

void BuildColorTable() {
    struct Rgb {
        int r, g, b;
    };
    static constexpr Rgb kTable[kColorTableSize] = {
        {84, 84, 84},    {0, 0, 168},     {84, 84, 84},    {255, 255, 255}, {255, 255, 255}, {168, 168, 168},
        {255, 255, 255}, {84, 84, 84},    {0, 0, 0},       {0, 0, 168},     {255, 255, 255}, {168, 168, 168},
        {255, 255, 255}, {84, 84, 84},    {0, 0, 0},       {0, 0, 0},       {168, 168, 168}, {255, 255, 255},
        {84, 84, 84},    {0, 0, 0},       {0, 0, 0},       {255, 255, 255}, {255, 255, 255}, {84, 84, 84},
        {0, 0, 0},       {0, 0, 0},
    };
    for (int i = 0; i < kColorTableSize; ++i) state.colors[i + 1] = MapRgb(kTable[i].r, kTable[i].g, kTable[i].b);
}

Pixel ToolkitColorValue(int index) {
    if (index < 1 || index > kColorTableSize) return 0;
    return state.colors[index];
}

void SetToolkitColorValue(int index, Pixel value) {
    if (index >= 1 && index <= kColorTableSize) state.colors[index] = value;
}

// --- Fonts ---

namespace {
int LoadRole(const char* name) {
    const std::string path = ResolveName(name);
    const int slot = path.empty() ? 0 : LoadFont(path.c_str());
    if (slot > 0) state.fontsLoaded = true;
    return slot;
}

void DrawInRole(int slot, std::string_view text, int xjust, int yjust) {
    const int length = static_cast<int>(text.size());
    if (slot > 0) {
        SelectFont(slot);
        SetTextJustify(xjust, yjust);
        DrawText(text.data(), length);
    } else {
        SetWinTextJustify(xjust, yjust);
        DrawWinText(text.data(), length);
    }
}
}  // namespace

void SetRegularFont(const char* name) { state.regularFont = LoadRole(name); }
void SetBoldFont(const char* name) { state.boldFont = LoadRole(name); }

void LoadStartupFont(const char* name) {
    const int slot = LoadRole(name);
    if (slot > 0) SelectFont(slot);
}

int RegularFont() { return state.regularFont; }
int BoldFont() { return state.boldFont; }

void DrawRegularText(std::string_view text, int xjust, int yjust) { DrawInRole(state.regularFont, text, xjust, yjust); }
void DrawBoldText(std::string_view text, int xjust, int yjust) { DrawInRole(state.boldFont, text, xjust, yjust); }

void DrawBodyText(std::string_view text, int xjust, int yjust) {
    DrawInRole(state.bodyFont > 0 ? state.bodyFont : state.regularFont, text, xjust, yjust);
}

int BodyTextWidth(std::string_view text) {
    if (state.bodyFont <= 0) return RegularTextWidth(text);
    SelectFont(state.bodyFont);
    return TextWidth(text.data(), static_cast<int>(text.size()));
}

int RegularTextWidth(std::string_view text) {
    if (state.regularFont <= 0) return static_cast<int>(text.size()) * kSystemFontAdvance;
    SelectFont(state.regularFont);
    return TextWidth(text.data(), static_cast<int>(text.size()));
}

int RegularTextHeight() {
    if (state.regularFont <= 0) return kSystemFontHeight;
    SelectFont(state.regularFont);
    static constexpr char kSample[] = "Ag";
    return TextHeight(kSample, 2);
}

// --- Theme ---

void SetToolkitTheme(const ToolkitTheme& theme) { state.theme = theme; }
const ToolkitTheme& CurrentTheme() { return state.theme; }

namespace {

// A theme picture made by its loader the first time it is asked for (asked once per theme).
int MadeOnFirstUse(int& handle, int (*&load)()) {
    if (handle < 0 && load) {
        const auto made = load;
        load = nullptr;
        handle = made();
    }
    return handle;
}

}  // namespace

int ThemeDialogArt() { return MadeOnFirstUse(state.theme.dialogFace, state.theme.loadDialogArt); }

int ThemeDropDownArt() { return MadeOnFirstUse(state.theme.dropDownArt, state.theme.loadDropDownArt); }

bool ArtAvailable(int handle, int minWidth, int minHeight) {
    if (handle < 0 || handle >= kMaxBuffers || BufferScale(handle) == 0) return false;
    return BufferWidth(handle) / BufferScale(handle) >= minWidth && BufferHeight(handle) / BufferScale(handle) >= minHeight;
}

// --- Presentation ---

void SetPresentHooks(const PresentHooks& hooks) { state.hooks = hooks; }

void QueueRect(int left, int top, int right, int bottom) {
    if (state.hooks.addDirty != nullptr) {
        state.hooks.addDirty(left, top, right, bottom);
        return;
    }
    if (left > right || top > bottom) return;
    // Overlapping updates are merged with the newest rectangle to limit copies.
    if (!state.dirty.empty()) {
        Rect& newest = state.dirty.front();
        if (left <= newest.right && newest.left <= right && top <= newest.bottom && newest.top <= bottom) {
            newest = {std::min(left, newest.left), std::min(top, newest.top), std::max(right, newest.right),
                      std::max(bottom, newest.bottom)};
            return;
        }
    }
    state.dirty.insert(state.dirty.begin(), Rect{left, top, right, bottom});
}

void PresentQueuedRects() {
    if (state.hooks.presentDirty != nullptr) {
        state.hooks.presentDirty();
        return;
    }
    SelectScreenBuffer();
    const int maxX = state.screenWidth - 1, maxY = state.screenHeight - 1;
    for (const Rect& r : state.dirty) {
        const int left = std::max(r.left, 0), top = std::max(r.top, 0);
        const int right = std::min(r.right, maxX), bottom = std::min(r.bottom, maxY);
        if (left <= right && top <= bottom) PresentRect(left, right, top, bottom, left, bottom);
    }
    state.dirty.clear();
}

bool ApplicationActiveForToolkit() {
    return state.hooks.applicationActive == nullptr || state.hooks.applicationActive();
}

void PlayToolkitSound(const char* name) {
    if (state.hooks.playSound != nullptr) state.hooks.playSound(name);
}

int QueuedRectCount() { return static_cast<int>(state.dirty.size()); }
