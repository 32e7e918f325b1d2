// The desktop's keys in the program's own dialogs, through the real program: Enter presses a
// dialog's default button, Alt with an underlined letter presses that button, and the deal
// number field takes only what can be a deal number.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/game.h"
#include "platform/virtual_audio_device.h"
#include "shell/shell.h"
#include "tests/hooks/test_hooks.h"
#include "tests/shell/shell_fixture.h"
#include "ui/toolkit.h"

namespace {

using namespace shell_test;

constexpr int kKlondike = 12;
constexpr uint64_t kStepMs = 300;

class DialogKeysTest : public ShellTest {
protected:
    void Key(HostEvent::Kind kind, int hid) {
        HostEvent event;
        event.kind = kind;
        event.hidScancode = hid;
        backend.PostHost(20, event);
    }
    void WithModifier(int modifier, int hid) {
        Key(HostEvent::KeyDown, modifier);
        backend.PressKey(20, hid);
        Key(HostEvent::KeyUp, modifier);
    }
    void StartFromSelection(uint64_t delayMs) {
        backend.Click(delayMs, CentreOf(kKlondike - 1).x, CentreOf(kKlondike - 1).y);
    }
};

// The rule dialog opens with its first option focused: Enter still starts the game, and so does
// Alt with the underlined S of "Start".
TEST_F(DialogKeysTest, TheRuleDialogStartsOnEnterAndOnAltWithItsLetter) {
    Activate(10);
    EndLogo(10);
    StartFromSelection(500);
    bool startedByEnter = false, startedByAlt = false;
    backend.PressKey(kStepMs, kHidEnter);
    backend.After(kStepMs, [&] { startedByEnter = IsGameRunning(); });
    backend.PressKey(kStepMs, kHidEscape);  // back to the selection screen, nothing moved
    StartFromSelection(kStepMs);
    WithModifier(kHidLeftAlt, kHidS);
    backend.After(kStepMs, [&] { startedByAlt = IsGameRunning(); });
    backend.PressKey(kStepMs, kHidEscape);
    backend.PressKey(kStepMs, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_TRUE(startedByEnter);
    EXPECT_TRUE(startedByAlt);
}

// Choose Deal opens with the number selected, so typing replaces it; a letter and an eleventh
// digit are refused at once with the refusal sound, never by a message box afterwards.
TEST_F(DialogKeysTest, ChooseDealReplacesItsNumberAndRefusesWhatCannotBeOne) {
    RequestStartingDeal(kKlondike, 4242);
    Activate(10);
    EndLogo(10);
    uint32_t dealt = 0;
    int depthAfterLetter = 0;
    backend.At(1000, [&] {
        ResetVirtualAudio();
        ASSERT_TRUE(PostClickOnControl(backend, "&Game"));
        backend.After(kStepMs, [&] {
            ASSERT_TRUE(PostClickOnControl(backend, "&Choose Deal..."));
            backend.PressKey(kStepMs, kHidA);  // refused
            backend.After(kStepMs, [&] { depthAfterLetter = ModalLoopDepth(); });
            backend.PressKey(kStepMs, kHid1 + 8);  // "9" replaces "4242"
            WithModifier(kHidLeftControl, kHidA);
            backend.After(kStepMs, [&] {
                for (int digit = 0; digit < 10; ++digit) backend.PressKey(20, kHid1 + digit);  // "1234567890"
                backend.PressKey(20, kHid1 + 2);  // an eleventh digit, refused
                backend.PressKey(20, kHidEnter);
                backend.After(kStepMs, [&] { dealt = CurrentGame() ? CurrentGame()->dealNumber : 0; });
                backend.PressKey(kStepMs, kHidEscape);
                backend.PressKey(kStepMs, kHidEscape);
            });
        });
    });
    EXPECT_EQ(RunApplication(), 0);
    RequestStartingDeal(0, std::nullopt);
    EXPECT_EQ(depthAfterLetter, 1) << "a message box opened";
    EXPECT_EQ(dealt, 1234567890u);
    const auto& requests = VirtualAudio().requests;
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.name == "invalid.wav"; }), 2);
}

}  // namespace
