// Every key of the table has its own codes; exposure asks for a repaint with erase.
#include <set>
#include <tuple>

#include "platform/host_events.h"
#include "platform/keys.h"
#include "scripted_fixture.h"

namespace {

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
