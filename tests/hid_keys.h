// USB HID usage ids of the keys the test scripts press, as the SDL back end reports them.
#pragma once

enum Hid : int {
    kHidA = 4, kHidB = 5, kHidC = 6, kHidI = 12, kHidK = 14, kHidM = 16, kHidN = 17, kHidO = 18,
    kHidR = 21, kHidS = 22, kHidY = 28, kHidZ = 29, kHid1 = 30,
    kHidEnter = 40, kHidEscape = 41, kHidBackspace = 42, kHidTab = 43, kHidSpace = 44, kHidSemicolon = 51,
    kHidCapsLock = 57, kHidF1 = 58, kHidF11 = 68, kHidF12 = 69, kHidHome = 74,
    kHidRight = 79, kHidLeft = 80, kHidDown = 81, kHidUp = 82,
    kHidLeftControl = 224, kHidLeftShift = 225, kHidLeftAlt = 226,
};
