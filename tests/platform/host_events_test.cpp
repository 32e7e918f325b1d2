// Exposure asks for a repaint with erase.

#include "platform/host_events.h"
#include "platform/keys.h"
#include "scripted_fixture.h"

namespace {

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
