#include "platform/host_events.h"

#include <array>

#include "platform/keys.h"

namespace {

// USB HID usage ids of the keys the translation treats specially.
constexpr int kHidLetterA = 4;
constexpr int kHidDigit1 = 30;
constexpr int kHidKeypad1 = 89;
constexpr int kHidReturn = 40;
constexpr int kHidF11 = 68;
constexpr int kHidKeypadEnter = 88;
constexpr int kHidLeftAlt = 226;
constexpr int kHidRightAlt = 230;

constexpr LPARAM kAltHeldBit = LPARAM{1} << 29;
constexpr LPARAM kPreviousStateBit = LPARAM{1} << 30;
constexpr LPARAM kReleaseBit = LPARAM{1} << 31;
constexpr LPARAM kExtendedBit = LPARAM{1} << 24;

struct HidKey {
    int hid;
    KeyCodes codes;
};

// Every key the program can see, in HID order. Keypad keys keep their keypad virtual keys and
// plain scan codes whatever Num Lock says; the toolkit reads digits from those scan codes.
constexpr HidKey kHidKeys[] = {
    {40, {VK_RETURN, 0x1C, false}},      {41, {VK_ESCAPE, 0x01, false}},
    {42, {VK_BACK, 0x0E, false}},        {43, {VK_TAB, 0x0F, false}},
    {44, {VK_SPACE, 0x39, false}},       {45, {VK_OEM_MINUS, 0x0C, false}},
    {46, {VK_OEM_PLUS, 0x0D, false}},    {47, {VK_OEM_4, 0x1A, false}},
    {48, {VK_OEM_6, 0x1B, false}},       {49, {VK_OEM_5, 0x2B, false}},
    {50, {VK_OEM_5, 0x2B, false}},       {51, {VK_OEM_1, 0x27, false}},
    {52, {VK_OEM_7, 0x28, false}},       {53, {VK_OEM_3, 0x29, false}},
    {54, {VK_OEM_COMMA, 0x33, false}},   {55, {VK_OEM_PERIOD, 0x34, false}},
    {56, {VK_OEM_2, 0x35, false}},       {57, {VK_CAPITAL, SC_CAPSLOCK, false}},
    {58, {VK_F1, 0x3B, false}},          {59, {VK_F1 + 1, 0x3C, false}},
    {60, {VK_F1 + 2, 0x3D, false}},      {61, {VK_F1 + 3, 0x3E, false}},
    {62, {VK_F1 + 4, 0x3F, false}},      {63, {VK_F1 + 5, 0x40, false}},
    {64, {VK_F1 + 6, 0x41, false}},      {65, {VK_F1 + 7, 0x42, false}},
    {66, {VK_F1 + 8, 0x43, false}},      {67, {VK_F10, SC_F10, false}},
    {68, {VK_F11, 0x57, false}},         {69, {VK_F12, 0x58, false}},
    {70, {VK_SNAPSHOT, 0x37, true}},     {71, {VK_SCROLL, 0x46, false}},
    {72, {VK_PAUSE, 0x45, false}},       {73, {VK_INSERT, SC_INSERT, true}},
    {74, {VK_HOME, SC_HOME, true}},      {75, {VK_PRIOR, SC_PAGEUP, true}},
    {76, {VK_DELETE, SC_DELETE, true}},  {77, {VK_END, SC_END, true}},
    {78, {VK_NEXT, SC_PAGEDOWN, true}},  {79, {VK_RIGHT, SC_RIGHT, true}},
    {80, {VK_LEFT, SC_LEFT, true}},      {81, {VK_DOWN, SC_DOWN, true}},
    {82, {VK_UP, SC_UP, true}},          {83, {VK_NUMLOCK, 0x45, true}},
    {84, {VK_DIVIDE, 0x35, true}},       {85, {VK_MULTIPLY, 0x37, false}},
    {86, {VK_SUBTRACT, 0x4A, false}},    {87, {VK_ADD, 0x4E, false}},
    {88, {VK_RETURN, 0x1C, true}},       {98, {VK_NUMPAD0, 0x52, false}},
    {99, {VK_DECIMAL, 0x53, false}},     {100, {VK_OEM_102, 0x56, false}},
    {101, {VK_APPS, 0x5D, true}},        {224, {VK_CONTROL, SC_CONTROL, false}},
    {225, {VK_SHIFT, SC_LSHIFT, false}}, {226, {VK_MENU, SC_ALT, false}},
    {227, {VK_LWIN, 0x5B, true}},        {228, {VK_CONTROL, SC_CONTROL, true}},
    {229, {VK_SHIFT, SC_RSHIFT, false}}, {230, {VK_MENU, SC_ALT, true}},
    {231, {VK_RWIN, 0x5C, true}},
};

// Set-1 scan codes of A..Z (they follow the keyboard rows, not the alphabet).
constexpr std::array<int, 26> kLetterScanCodes = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};
// Keypad 1..9 in HID order.
constexpr std::array<int, 9> kKeypadScanCodes = {0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49};

WPARAM MouseFlags(const HostEvent& event) {
    uint32_t buttons = event.buttons;
    // The pressed button counts as held in its own down message, the released one no longer.
    const uint32_t own = event.button == 1 ? 1u : event.button == 3 ? 4u : 0u;
    if (event.kind == HostEvent::MouseDown) buttons |= own;
    if (event.kind == HostEvent::MouseUp) buttons &= ~own;
    WPARAM flags = 0;
    if (buttons & 1u) flags |= MK_LBUTTON;
    if (buttons & 4u) flags |= MK_RBUTTON;
    if (event.shift) flags |= MK_SHIFT;
    if (event.control) flags |= MK_CONTROL;
    return flags;
}

void TranslateMouseButton(const HostEvent& event, HWND window, std::vector<Message>* out) {
    uint32_t message = 0;
    const bool down = event.kind == HostEvent::MouseDown;
    if (event.button == 1) {
        message = !down ? WM_LBUTTONUP : event.clicks >= 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    } else if (event.button == 3) {
        message = !down ? WM_RBUTTONUP : event.clicks >= 2 ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    } else {
        return;  // the program has no use for the middle or extra buttons
    }
    out->push_back(Message{window, message, MouseFlags(event), MakeLParam(event.x, event.y)});
}

void TranslateKey(const HostEvent& event, HWND window, std::vector<Message>* out) {
    KeyCodes codes = TranslateHidKey(event.hidScancode);
    // A key that types a letter beyond ASCII gives no key message of its own (its character comes
    // as typed text), unless Ctrl or Alt makes it a command.
    if (event.layoutKey == HostEvent::kTypedOnly && !event.control && !event.alt) return;
    if (event.layoutKey >= 'A' && event.layoutKey <= 'Z') codes.virtualKey = event.layoutKey;
    if (codes.virtualKey == 0) return;
    const bool down = event.kind == HostEvent::KeyDown;
    const bool isAlt = codes.virtualKey == VK_MENU;
    // Alt, keys pressed with Alt, and F10 are system keys, as the menu-key convention has it.
    const bool system = !event.plainRelease && (isAlt || event.alt || codes.virtualKey == VK_F10);
    LPARAM lParam = 1 | (static_cast<LPARAM>(codes.scanCode & 0xFF) << 16);
    if (codes.extended) lParam |= kExtendedBit;
    if (event.alt || (isAlt && down)) lParam |= kAltHeldBit;
    if (down && event.repeat) lParam |= kPreviousStateBit;
    if (!down) lParam |= kPreviousStateBit | kReleaseBit;
    const uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    out->push_back(Message{window, message, static_cast<WPARAM>(codes.virtualKey), lParam});
}

}  // namespace

KeyCodes TranslateHidKey(int hidScancode) {
    if (hidScancode >= kHidLetterA && hidScancode < kHidLetterA + 26) {
        const int index = hidScancode - kHidLetterA;
        return KeyCodes{'A' + index, kLetterScanCodes[index], false};
    }
    if (hidScancode >= kHidDigit1 && hidScancode < kHidDigit1 + 10) {
        // HID numbers the digit row 1..9 then 0, as does the set-1 code (2..11).
        const int index = hidScancode - kHidDigit1;
        return KeyCodes{index == 9 ? '0' : '1' + index, 2 + index, false};
    }
    if (hidScancode >= kHidKeypad1 && hidScancode < kHidKeypad1 + 9) {
        const int index = hidScancode - kHidKeypad1;
        return KeyCodes{VK_NUMPAD0 + 1 + index, kKeypadScanCodes[index], false};
    }
    for (const HidKey& key : kHidKeys) {
        if (key.hid == hidScancode) return key.codes;
    }
    return KeyCodes{};
}

bool IsFullScreenKey(const HostEvent& event) {
    if (event.kind != HostEvent::KeyDown && event.kind != HostEvent::KeyUp) return false;
    if (event.hidScancode == kHidF11) return true;
    return event.alt && (event.hidScancode == kHidReturn || event.hidScancode == kHidKeypadEnter);
}

bool TogglesFullScreen(const HostEvent& event) {
    return event.kind == HostEvent::KeyDown && !event.repeat && IsFullScreenKey(event);
}

bool FullScreenKeys::Take(HostEvent* event, bool* toggle) {
    *toggle = false;
    if (IsFullScreenKey(*event)) {
        if (event->alt) altUsed = true;
        *toggle = TogglesFullScreen(*event);
        return true;
    }
    const bool altKey = event->hidScancode == kHidLeftAlt || event->hidScancode == kHidRightAlt;
    if (altKey && event->kind == HostEvent::KeyDown && !event->repeat) altUsed = false;
    if (altKey && event->kind == HostEvent::KeyUp && altUsed) {
        altUsed = false;
        event->plainRelease = true;
        event->alt = false;
    }
    return false;
}

void TranslateHostEvent(const HostEvent& event, HWND window, std::vector<Message>* out) {
    switch (event.kind) {
    case HostEvent::MouseMove:
        out->push_back(Message{window, WM_MOUSEMOVE, MouseFlags(event), MakeLParam(event.x, event.y)});
        break;
    case HostEvent::MouseDown:
    case HostEvent::MouseUp:
        TranslateMouseButton(event, window, out);
        break;
    case HostEvent::KeyDown:
    case HostEvent::KeyUp:
        TranslateKey(event, window, out);
        break;
    case HostEvent::FocusGained:
        out->push_back(Message{window, WM_ACTIVATEAPP, 1, 0});
        out->push_back(Message{window, WM_SETFOCUS, 0, 0});
        break;
    case HostEvent::FocusLost:
        out->push_back(Message{window, WM_ACTIVATEAPP, 0, 0});
        break;
    case HostEvent::Quit:
        out->push_back(Message{window, WM_CLOSE, 0, 0});
        break;
    case HostEvent::Exposed:
        InvalidateWindow(window, true);
        break;
    case HostEvent::Text:
        // Only what the key messages cannot carry: the letters beyond ASCII, one WM_CHAR each.
        for (const char c : event.text)
            if (static_cast<unsigned char>(c) >= 0x80) out->push_back(Message{window, WM_CHAR, static_cast<unsigned char>(c), 1});
        break;
    case HostEvent::None:
        break;
    }
}
