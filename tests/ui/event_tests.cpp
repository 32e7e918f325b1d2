// How window messages become the toolkit's current event, checked through the real queue: the
// scripted back end posts host input, a dialog's modal loop translates it.

#include "tests/ui/ui_fixture.h"

namespace {

class EventTranslation : public UiTest {
protected:
    // Runs an empty dialog over the script (which must end with Escape), keeps its events and
    // returns the characters of those that were key presses. Key releases reach the toolkit only
    // in loops that pass them on, as the exit screen's does.
    std::vector<int> TypedChars(bool passReleases = false) {
        TestDialog dialog(100, 100, 200, 100);
        int done = 0;
        if (passReleases) RunModalLoop(dialog, done, true, [&] {
            dialog.ProcessEvent();
            done = dialog.Result();
        });
        else dialog.RunModal();
        events = dialog.events;
        std::vector<int> chars;
        for (const ToolkitEvent& e : events)
            if (e.keyKind == kKeyDown && e.keyChar != 0) chars.push_back(e.keyChar);
        return chars;
    }
    std::vector<ToolkitEvent> events;
};

TEST_F(EventTranslation, CharactersFollowShiftAndCapsLock) {
    const auto type = [&](std::initializer_list<int> keys) {
        for (int hid : keys) backend->PressKey(10, hid);
    };
    type({kHidA, kHid1, kHidSemicolon});
    HoldKey(10, kHidLeftShift);
    type({kHidA, kHid1, kHidSemicolon});
    ReleaseKey(10, kHidLeftShift);
    type({kHidCapsLock, kHidA});
    Chord(kHidLeftShift, kHidA);
    type({kHidCapsLock, kHidEscape});
    EXPECT_EQ(TypedChars(), (std::vector<int>{'a', '1', ';', 'A', '!', ':', 'A', 'a', kKeyEscape}));
}

TEST_F(EventTranslation, AltNumberEntryBecomesTheKeyOnTheNextRelease) {
    HoldKey(10, kHidLeftAlt);
    backend->PressKey(10, 92);  // keypad 4
    backend->PressKey(10, 90);  // keypad 2
    ReleaseKey(10, kHidLeftAlt);
    backend->PressKey(10, kHidLeftShift);  // its release finishes the entry
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(TypedChars(true), (std::vector<int>{'*', kKeyEscape}));
}

TEST_F(EventTranslation, AltKeysBecomeAltEventsWithTheKeyInTimerId) {
    Chord(kHidLeftAlt, kHidR);
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(TypedChars(), std::vector<int>{kKeyEscape}) << "an Alt key must not also type its letter";
    bool sawAltR = false, sawAltUp = false;
    for (const ToolkitEvent& e : events) {
        sawAltR = sawAltR || (e.type == kEventAltDown && e.timerId == 'R');
        sawAltUp = sawAltUp || e.type == kEventAltUp;
        EXPECT_NE(e.keyChar, 'r');
    }
    EXPECT_TRUE(sawAltR);
    EXPECT_TRUE(sawAltUp);
}

}  // namespace
