// How window messages become the toolkit's current event, checked through the real queue: the
// scripted back end posts host input, a dialog's modal loop translates it.

#include "tests/ui/ui_fixture.h"

namespace {

class EventTranslation : public UiTest {
protected:
    // Runs an empty dialog over the script (which must end with Escape) and returns the events
    // that carried a key.
    std::vector<ToolkitEvent> KeyEvents() {
        TestDialog dialog(100, 100, 200, 100);
        dialog.RunModal();
        std::vector<ToolkitEvent> keys;
        for (const ToolkitEvent& e : dialog.events)
            if ((e.keyKind != kKeyNone && e.keyChar != 0) || e.type == kEventShiftTab) keys.push_back(e);
        return keys;
    }
};

TEST_F(EventTranslation, CharactersFollowShiftAndCapsLock) {
    backend->PressKey(10, kHidA);
    backend->PressKey(10, kHid1);
    backend->PressKey(10, kHidSemicolon);
    HoldKey(10, kHidLeftShift);
    backend->PressKey(10, kHidA);
    backend->PressKey(10, kHid1);
    backend->PressKey(10, kHidSemicolon);
    ReleaseKey(10, kHidLeftShift);
    backend->PressKey(10, kHidCapsLock);
    backend->PressKey(10, kHidA);
    HoldKey(10, kHidLeftShift);
    backend->PressKey(10, kHidA);
    ReleaseKey(10, kHidLeftShift);
    backend->PressKey(10, kHidCapsLock);
    backend->PressKey(10, kHidEscape);

    std::vector<int> chars;
    for (const ToolkitEvent& e : KeyEvents())
        if (e.keyKind == kKeyDown && e.keyChar != 0) chars.push_back(e.keyChar);
    const std::vector<int> expected = {'a', '1', ';', 'A', '!', ':', 'A', 'a', kKeyEscape};
    EXPECT_EQ(chars, expected);
}

TEST_F(EventTranslation, AltNumberEntryBecomesTheKeyOnTheNextRelease) {
    HoldKey(10, kHidLeftAlt);
    backend->PressKey(10, 92);  // keypad 4
    backend->PressKey(10, 90);  // keypad 2
    ReleaseKey(10, kHidLeftAlt);
    backend->PressKey(10, kHidLeftShift);  // its release finishes the entry
    backend->PressKey(10, kHidEscape);
    // Key releases reach the toolkit only in loops that pass them on, as the exit screen's does.
    TestDialog dialog(100, 100, 200, 100);
    int done = 0;
    RunModalLoop(dialog, done, true, [&] {
        dialog.ProcessEvent();
        done = dialog.Result();
    });
    std::vector<int> chars;
    for (const ToolkitEvent& e : dialog.events)
        if (e.keyKind == kKeyDown && e.keyChar != 0) chars.push_back(e.keyChar);
    EXPECT_EQ(chars, (std::vector<int>{'*', kKeyEscape}));
}

TEST_F(EventTranslation, AltKeysBecomeAltEventsWithTheKeyInTimerId) {
    Chord(kHidLeftAlt, kHidR);
    backend->PressKey(10, kHidEscape);

    TestDialog dialog(100, 100, 200, 100);
    dialog.RunModal();
    bool sawAltR = false, sawAltUp = false;
    for (const ToolkitEvent& e : dialog.events) {
        if (e.type == kEventAltDown && e.timerId == 'R') sawAltR = true;
        if (e.type == kEventAltUp) sawAltUp = true;
        EXPECT_NE(e.keyChar, 'r') << "an Alt key must not also type its letter";
    }
    EXPECT_TRUE(sawAltR);
    EXPECT_TRUE(sawAltUp);
}

}  // namespace
