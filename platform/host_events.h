// Translation of host input events into window messages, kept free of SDL types so that it
// can be tested directly: the SDL back end copies the fields of each SDL event into a HostEvent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/messages.h"

struct HostEvent {
    enum Kind { None, MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, FocusGained, FocusLost, Quit, Exposed, Text };
    Kind kind = None;
    int x = 0, y = 0;       // window coordinates of mouse events
    int button = 0;         // 1 left, 2 middle, 3 right
    int clicks = 1;         // 2 or more on the second press of a double click
    uint32_t buttons = 0;   // buttons held: bit 0 left, bit 2 right (SDL's mask layout)
    int hidScancode = 0;    // USB HID usage id (SDL's scancode numbering)
    // The key as the keyboard layout labels it: 'A' to 'Z' for a letter, which becomes the virtual
    // key (a German Z, a French A are where those layouts print them); kTypedOnly for a key that
    // types a letter beyond ASCII (é, ü, ß), whose character arrives as Text; 0 for the key at
    // the scan code's place on a US keyboard.
    int layoutKey = 0;
    static constexpr int kTypedOnly = -1;
    std::string text{};     // Text: what was typed, in Windows-1252
    bool repeat = false;    // key auto-repeat
    bool shift = false, control = false, alt = false;  // modifiers held during the event
    // Alt released after a key the host kept for itself: a plain key release, not a menu tap.
    bool plainRelease = false;
};

struct KeyCodes {
    int virtualKey = 0;
    int scanCode = 0;   // PC set-1
    bool extended = false;
};

// Virtual key and scan code for a USB HID usage id; virtualKey 0 when the key is unknown.
KeyCodes TranslateHidKey(int hidScancode);

// F11, or Enter with Alt held: the keys that switch full screen on and off wherever the program
// is. Both their presses and releases are kept from the program; only a fresh press toggles.
bool IsFullScreenKey(const HostEvent& event);
bool TogglesFullScreen(const HostEvent& event);

// What both back ends do with those keys. Alt, pressed and released around Alt+Enter, would
// otherwise reach the program as Alt tapped on its own, which opens the menu.
class FullScreenKeys {
public:
    // True when the event is one of the keys (the caller drops it); *toggle when full screen
    // switches. Marks the release of an Alt that took part as a plain release.
    bool Take(HostEvent* event, bool* toggle);

private:
    bool altUsed = false;
};

// Appends the messages one host event becomes (none, one or two), packed the Windows way:
// mouse position in lParam, virtual key in wParam, scan code in bits 16..23 of lParam with the
// extended bit 24, bit 29 when Alt is held, bits 30 and 31 on key release. While Alt is held
// (or for F10) keys become WM_SYSKEYDOWN/WM_SYSKEYUP. Focus changes give WM_ACTIVATEAPP, and
// WM_SETFOCUS after gaining focus; a quit request gives WM_CLOSE; exposure invalidates.
void TranslateHostEvent(const HostEvent& event, HWND window, std::vector<Message>* out);
