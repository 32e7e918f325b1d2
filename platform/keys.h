// Windows virtual-key codes and PC set-1 scan codes, the key numbers every layer above uses.
#pragma once

enum VirtualKey : int {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
    VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' 0x41..0x5A.
    VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
    VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2,
};

// Set-1 scan codes the toolkit asks for by number.
enum ScanCode : int {
    SC_ESCAPE = 1, SC_TAB = 15, SC_CONTROL = 29, SC_LSHIFT = 42, SC_RSHIFT = 54, SC_ALT = 56,
    SC_CAPSLOCK = 58, SC_F1 = 59, SC_F10 = 68, SC_HOME = 71, SC_UP = 72, SC_PAGEUP = 73, SC_LEFT = 75, SC_RIGHT = 77,
    SC_END = 79, SC_DOWN = 80, SC_PAGEDOWN = 81, SC_INSERT = 82, SC_DELETE = 83,
};
