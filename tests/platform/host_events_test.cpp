#include <set>
#include <tuple>

#include "platform/host_events.h"
#include "platform/keys.h"
#include "scripted_fixture.h"

namespace {

constexpr LPARAM kExtended = LPARAM{1} << 24;
constexpr LPARAM kAltHeld = LPARAM{1} << 29;
constexpr LPARAM kPrevious = LPARAM{1} << 30;
constexpr LPARAM kReleased = LPARAM{1} << 31;

HWND const kWindow = reinterpret_cast<HWND>(0x1000);

std::vector<Message> Translate(const HostEvent& event) {
    std::vector<Message> out;
    TranslateHostEvent(event, kWindow, &out);
    return out;
}

HostEvent Mouse(HostEvent::Kind kind, int button, int x, int y) {
    HostEvent event;
    event.kind = kind;
    event.button = button;
    event.x = x;
    event.y = y;
    return event;
}

HostEvent Key(HostEvent::Kind kind, int hid, bool alt = false) {
    HostEvent event;
    event.kind = kind;
    event.hidScancode = hid;
    event.alt = alt;
    return event;
}

int ScanOf(LPARAM lParam) { return static_cast<int>((lParam >> 16) & 0xFF); }

TEST(HostEvents, MouseMessagesCarryPositionAndHeldButtons) {
    HostEvent move = Mouse(HostEvent::MouseMove, 0, 799, 599);
    move.buttons = 1 | 4;
    move.shift = true;
    move.control = true;
    auto out = Translate(move);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(out[0].hwnd, kWindow);
    EXPECT_EQ(out[0].wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL);
    EXPECT_EQ(LowWord(out[0].lParam), 799);
    EXPECT_EQ(HighWord(out[0].lParam), 599);

    // The pressed button is held in its own down message and no longer in its up message.
    out = Translate(Mouse(HostEvent::MouseDown, 1, 5, 6));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(out[0].wParam, MK_LBUTTON);
    HostEvent release = Mouse(HostEvent::MouseUp, 1, 5, 6);
    release.buttons = 1;
    out = Translate(release);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_LBUTTONUP);
    EXPECT_EQ(out[0].wParam, 0u);

    out = Translate(Mouse(HostEvent::MouseDown, 3, 0, 0));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_RBUTTONDOWN);
    EXPECT_EQ(out[0].wParam, MK_RBUTTON);
    EXPECT_EQ(Translate(Mouse(HostEvent::MouseUp, 3, 0, 0)).at(0).message, WM_RBUTTONUP);

    // The second press of a double click replaces the down message.
    HostEvent second = Mouse(HostEvent::MouseDown, 1, 7, 8);
    second.clicks = 2;
    EXPECT_EQ(Translate(second).at(0).message, WM_LBUTTONDBLCLK);
    second.button = 3;
    EXPECT_EQ(Translate(second).at(0).message, WM_RBUTTONDBLCLK);
    second.clicks = 3;
    EXPECT_EQ(Translate(second).at(0).message, WM_RBUTTONDBLCLK);

    EXPECT_TRUE(Translate(Mouse(HostEvent::MouseDown, 2, 0, 0)).empty()) << "middle button";
    EXPECT_TRUE(Translate(Mouse(HostEvent::MouseUp, 2, 0, 0)).empty());
}

TEST(HostEvents, KeysCarryVirtualKeyScanCodeAndFlags) {
    struct Case {
        int hid;
        int virtualKey;
        int scan;
        bool extended;
    };
    const Case cases[] = {
        {4, 'A', 0x1E, false},         {29, 'Z', 0x2C, false},         {30, '1', 2, false},
        {39, '0', 11, false},          {40, VK_RETURN, 0x1C, false},   {88, VK_RETURN, 0x1C, true},
        {74, VK_HOME, SC_HOME, true},  {95, VK_NUMPAD0 + 7, SC_HOME, false},
        {98, VK_NUMPAD0, SC_INSERT, false}, {82, VK_UP, SC_UP, true}, {76, VK_DELETE, SC_DELETE, true},
        {58, VK_F1, SC_F1, false},     {69, VK_F12, 0x58, false},     {43, VK_TAB, SC_TAB, false},
        {225, VK_SHIFT, SC_LSHIFT, false}, {229, VK_SHIFT, SC_RSHIFT, false},
        {224, VK_CONTROL, 29, false},  {228, VK_CONTROL, 29, true},   {57, VK_CAPITAL, SC_CAPSLOCK, false},
        {51, VK_OEM_1, 0x27, false},   {56, VK_OEM_2, 0x35, false},   {84, VK_DIVIDE, 0x35, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hid);
        const auto out = Translate(Key(HostEvent::KeyDown, c.hid));
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(out[0].message, WM_KEYDOWN);
        EXPECT_EQ(out[0].wParam, static_cast<WPARAM>(c.virtualKey));
        EXPECT_EQ(ScanOf(out[0].lParam), c.scan);
        EXPECT_EQ((out[0].lParam & kExtended) != 0, c.extended);
        EXPECT_EQ(out[0].lParam & 0xFFFF, 1) << "repeat count";
        EXPECT_EQ(out[0].lParam & (kAltHeld | kPrevious | kReleased), 0);
    }

    HostEvent repeat = Key(HostEvent::KeyDown, 4);
    repeat.repeat = true;
    EXPECT_EQ(Translate(repeat).at(0).lParam & (kPrevious | kReleased), kPrevious);
    const auto up = Translate(Key(HostEvent::KeyUp, 4));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, WM_KEYUP);
    EXPECT_EQ(up[0].lParam & (kPrevious | kReleased), kPrevious | kReleased);

    EXPECT_TRUE(Translate(Key(HostEvent::KeyDown, 0)).empty()) << "unknown key";
    EXPECT_TRUE(Translate(Key(HostEvent::KeyDown, 300)).empty());
}

TEST(HostEvents, EveryMainKeyHasItsOwnScanCode) {
    // A slip in the table shows up as two keys sharing a code.
    std::set<std::tuple<int, bool>> scans;
    std::set<int> virtualKeys;
    int keys = 0;
    for (int hid = 4; hid <= 69; ++hid) {
        if (hid == 50) continue;  // the non-US hash key is the backslash key
        const KeyCodes codes = TranslateHidKey(hid);
        ASSERT_NE(codes.virtualKey, 0) << hid;
        scans.insert({codes.scanCode, codes.extended});
        virtualKeys.insert(codes.virtualKey);
        ++keys;
    }
    EXPECT_EQ(scans.size(), static_cast<size_t>(keys));
    EXPECT_EQ(virtualKeys.size(), static_cast<size_t>(keys));
}

TEST(HostEvents, AltAndF10AreSystemKeys) {
    auto out = Translate(Key(HostEvent::KeyDown, 226, true));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(out[0].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(ScanOf(out[0].lParam), SC_ALT);
    EXPECT_NE(out[0].lParam & kAltHeld, 0);
    // The host may report the Alt press without its own modifier; it is a system key anyway.
    EXPECT_EQ(Translate(Key(HostEvent::KeyDown, 230)).at(0).message, WM_SYSKEYDOWN);

    out = Translate(Key(HostEvent::KeyDown, 27, true));  // Alt+X
    EXPECT_EQ(out.at(0).message, WM_SYSKEYDOWN);
    EXPECT_EQ(out[0].wParam, static_cast<WPARAM>('X'));
    EXPECT_NE(out[0].lParam & kAltHeld, 0);
    EXPECT_EQ(Translate(Key(HostEvent::KeyUp, 27, true)).at(0).message, WM_SYSKEYUP);

    out = Translate(Key(HostEvent::KeyUp, 226, false));
    EXPECT_EQ(out.at(0).message, WM_SYSKEYUP);
    EXPECT_EQ(out[0].wParam, static_cast<WPARAM>(VK_MENU));

    out = Translate(Key(HostEvent::KeyDown, 67));  // F10
    EXPECT_EQ(out.at(0).message, WM_SYSKEYDOWN);
    EXPECT_EQ(out[0].lParam & kAltHeld, 0);
    EXPECT_EQ(Translate(Key(HostEvent::KeyUp, 67)).at(0).message, WM_SYSKEYUP);
    EXPECT_EQ(Translate(Key(HostEvent::KeyDown, 66)).at(0).message, WM_KEYDOWN) << "F9";
}

TEST(HostEvents, FocusAndQuit) {
    HostEvent event;
    event.kind = HostEvent::FocusGained;
    auto out = Translate(event);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(out[0].wParam, 1u);
    EXPECT_EQ(out[1].message, WM_SETFOCUS);

    event.kind = HostEvent::FocusLost;
    out = Translate(event);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(out[0].wParam, 0u);

    event.kind = HostEvent::Quit;
    out = Translate(event);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, WM_CLOSE);
}

using HostExposure = ScriptedTest;

TEST_F(HostExposure, ExposureRepaintsWithErase) {
    HWND window = CreateWindow();
    ASSERT_NE(window, nullptr);
    HostEvent exposed;
    exposed.kind = HostEvent::Exposed;
    std::vector<Message> out;
    TranslateHostEvent(exposed, window, &out);
    EXPECT_TRUE(out.empty());
    received.clear();
    Message m;
    ASSERT_TRUE(PeekMessage(&m, true));
    EXPECT_EQ(m.message, WM_PAINT);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, WM_ERASEBKGND);
}

}  // namespace
