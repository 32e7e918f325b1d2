// The table in windows of any size: placement, device scale, mouse mapping and the resampling of
// changed rectangles, checked against whole redraws, and the margins beside the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "platform/keys.h"
#include "platform/scaled_window.h"
#include "scripted_fixture.h"
#include "tests/hid_keys.h"

namespace {

constexpr int kLogicalWidth = 800;
constexpr int kLogicalHeight = 600;

struct Case {
    int windowWidth, windowHeight, deviceScale;
};
// Whole factors, fractional enlargements, reductions of a larger frame, tall and wide windows.
const Case kCases[] = {
    {800, 600, 1},   {1600, 1200, 1}, {2400, 1800, 1}, {1000, 700, 1},  {1920, 1080, 1}, {3840, 2160, 1},
    {1600, 1200, 2}, {1440, 1080, 2}, {1000, 700, 3},  {2400, 1800, 3}, {400, 300, 3},   {900, 1000, 2},
    {3840, 2160, 3},
};

// Window pixels map onto logical pixels in order, from the table's first pixel to its last, none
// skipped when the window is larger than the table; margins are outside.
TEST(ScaledWindowMouse, WindowPixelsMapOntoEveryLogicalPixelInOrder) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.windowWidth << "x" << c.windowHeight << " at " << c.deviceScale);
        ScaledWindow view;
        view.Configure(kLogicalWidth, kLogicalHeight, c.deviceScale, c.windowWidth, c.windowHeight, false);
        const Rect table = view.Table();
        // Logical pixels per window pixel, rounded up: 1 unless the window is the smaller.
        const int stride = (kLogicalWidth + table.Width() - 1) / table.Width();
        int x = 0, y = 0, previous = -1;
        for (int wx = table.left; wx <= table.right; ++wx) {
            ASSERT_TRUE(view.ToLogical(wx, table.top, &x, &y));
            ASSERT_TRUE(x >= previous && x <= previous + stride) << wx;
            previous = x;
        }
        EXPECT_GT(previous, kLogicalWidth - 1 - stride);
        previous = -1;
        for (int wy = table.top; wy <= table.bottom; ++wy) {
            ASSERT_TRUE(view.ToLogical(table.left, wy, &x, &y));
            ASSERT_TRUE(y >= previous && y <= previous + stride) << wy;
            previous = y;
        }
        EXPECT_GT(previous, kLogicalHeight - 1 - stride);
        EXPECT_FALSE(view.ToLogical(table.left - 1, table.top, &x, &y));
        EXPECT_FALSE(view.ToLogical(table.right + 1, table.bottom, &x, &y));
        EXPECT_EQ(x, kLogicalWidth - 1);  // clamped to the edge
        // A confined logical rectangle's window pixels all map back inside it.
        const Rect confine{100, 50, 500, 400};
        const Rect area = view.ToWindow(confine);
        for (const auto& [wx, wy] : {std::pair{area.left, area.top}, std::pair{area.right, area.bottom}}) {
            ASSERT_TRUE(view.ToLogical(wx, wy, &x, &y));
            EXPECT_TRUE(x >= confine.left && x <= confine.right && y >= confine.top && y <= confine.bottom);
        }
        EXPECT_FALSE(view.ToLogical(area.left - 1, area.top, &x, &y) && x >= confine.left);
    }
}

// A rectangle of up to `largest` pixels a side, reaching up to 20 pixels past the frame's edges,
// given new random pixels where it lies on the frame: {x, y, width, height}.
std::array<int, 4> RepaintRandomRect(std::mt19937& random, std::vector<uint32_t>& source, int frameWidth,
                                     int frameHeight, int largest) {
    const int w = 1 + static_cast<int>(random() % largest), h = 1 + static_cast<int>(random() % largest);
    const int x = static_cast<int>(random() % (frameWidth + 40)) - 20;
    const int y = static_cast<int>(random() % (frameHeight + 40)) - 20;
    for (int row = std::max(0, y); row < std::min(frameHeight, y + h); ++row)
        for (int col = std::max(0, x); col < std::min(frameWidth, x + w); ++col)
            source[static_cast<size_t>(row) * frameWidth + col] = random() & 0xFFFFFF;
    return {x, y, w, h};
}

// Presenting rectangles one by one must leave exactly the picture a whole redraw gives, whether
// each is filtered whole or only where it differs from the frame (then stored with a border of
// unchanged pixels, whose bands must stay inside the repainted rows and columns).
TEST(ScaledWindowResample, ChangedRectanglesGiveTheSamePictureAsAWholeRedraw) {
    std::mt19937 random(15);
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.windowWidth << "x" << c.windowHeight << " at " << c.deviceScale);
        const int frameWidth = kLogicalWidth * c.deviceScale, frameHeight = kLogicalHeight * c.deviceScale;
        std::vector<uint32_t> source(static_cast<size_t>(frameWidth) * frameHeight);
        for (uint32_t& p : source) p = random() & 0xFFFFFF;
        ScaledWindow view;
        view.Configure(kLogicalWidth, kLogicalHeight, c.deviceScale, c.windowWidth, c.windowHeight, false);
        std::vector<uint32_t> shown(static_cast<size_t>(c.windowWidth) * c.windowHeight, 0x123456);
        // The first present reaches a blank (black) frame: only what is not black changes.
        for (int row = 0; row < frameHeight; ++row)
            for (int col = 0; col < frameWidth; ++col)
                if (row < 10 || col < 7) source[static_cast<size_t>(row) * frameWidth + col] = 0;
        view.RenderAll(0x00FF00, shown.data(), c.windowWidth);
        std::vector<Rect> first;
        view.StoreChanges(source.data(), frameWidth, 0, 0, frameWidth, frameHeight, 0, 0, first);
        ASSERT_FALSE(first.empty());
        for (const Rect& band : first) {
            EXPECT_TRUE(band.top >= 10 && band.left >= 7);
            view.Render(band, shown.data(), c.windowWidth);
        }
        for (int step = 0; step < 12; ++step) {
            const auto [x, y, w, h] = RepaintRandomRect(random, source, frameWidth, frameHeight, 120);
            if (step % 2 == 0) {
                const Rect changed = view.Store(source.data(), frameWidth, std::max(0, x), std::max(0, y), w, h,
                                                std::max(0, x), std::max(0, y));
                const Rect drawn = view.Render(changed, shown.data(), c.windowWidth);
                EXPECT_TRUE(changed.Empty() || (!drawn.Empty() && drawn.left >= view.Table().left &&
                                                drawn.right <= view.Table().right));
                continue;
            }
            std::vector<Rect> bands;
            view.StoreChanges(source.data(), frameWidth, 0, 0, frameWidth, frameHeight, 0, 0, bands);
            for (const Rect& band : bands) {
                EXPECT_TRUE(band.left >= x && band.right < x + w && band.top >= y && band.bottom < y + h);
                view.Render(band, shown.data(), c.windowWidth);
            }
        }
        std::vector<uint32_t> whole(shown.size(), 0);
        view.RenderAll(0x00FF00, whole.data(), c.windowWidth);
        ASSERT_EQ(shown, whole);

        // The margins show the margin picture through the table's own filter, mirrored at the
        // table's edges: with the frame holding that same picture, every margin pixel equals the
        // table pixel it mirrors. Every pixel is equally bright, so nothing darkens outwards.
        for (uint32_t& p : source) {
            const int r = static_cast<int>(random() % 256), b = static_cast<int>(random() % 256);
            const int g = (1024 - 2 * r - b + 4) / 5;  // (2r + 5g + b) / 8 == 128
            p = static_cast<uint32_t>(r << 16 | g << 8 | b);
        }
        view.Store(source.data(), frameWidth, 0, 0, frameWidth, frameHeight, 0, 0);
        view.SetMarginPicture(MarginPicture::Owned(source, frameWidth, frameHeight));
        view.RenderAll(0x00FF00, whole.data(), c.windowWidth);
        const Rect table = view.Table();
        const auto mirror = [](int t, int length) { return t < 0 ? -t - 1 : t >= length ? 2 * length - 1 - t : t; };
        for (int y = 0; y < c.windowHeight; ++y)
            for (int x = 0; x < c.windowWidth; ++x) {
                if (x >= table.left && x <= table.right && y >= table.top && y <= table.bottom) continue;
                const int mx = table.left + mirror(x - table.left, table.Width());
                const int my = table.top + mirror(y - table.top, table.Height());
                ASSERT_EQ(whole[static_cast<size_t>(y) * c.windowWidth + x], whole[static_cast<size_t>(my) * c.windowWidth + mx])
                    << x << "," << y;
            }
    }
}

// Unscaled, presents go straight to the window picture; the frame caught up from it afterwards
// is the one plain stores would have kept, so a resize then shows the same picture.
TEST(ScaledWindowResample, DirectStoresCaughtUpEqualStoredFrames) {
    std::mt19937 random(16);
    for (const int scale : {1, 3}) {
        const int frameWidth = kLogicalWidth * scale, frameHeight = kLogicalHeight * scale;
        const int windowWidth = frameWidth + 40, windowHeight = frameHeight;  // margins left and right
        std::vector<uint32_t> source(static_cast<size_t>(frameWidth) * frameHeight);
        for (uint32_t& p : source) p = random() & 0xFFFFFF;
        ScaledWindow direct, stored;
        for (ScaledWindow* view : {&direct, &stored}) {
            view->Configure(kLogicalWidth, kLogicalHeight, scale, windowWidth, windowHeight, false);
            view->Store(source.data(), frameWidth, 0, 0, frameWidth, frameHeight, 0, 0);
        }
        ASSERT_TRUE(direct.Unscaled());
        std::vector<uint32_t> shown(static_cast<size_t>(windowWidth) * windowHeight, 0);
        direct.RenderAll(0x00FF00, shown.data(), windowWidth);
        for (int step = 0; step < 8; ++step) {
            const auto [x, y, w, h] = RepaintRandomRect(random, source, frameWidth, frameHeight, 200);
            const int sx = std::max(0, x), sy = std::max(0, y);
            const Rect drawn = direct.StoreDirect(source.data(), frameWidth, sx, sy, w, h, sx, sy, shown.data(), windowWidth);
            EXPECT_TRUE(drawn.left >= direct.Table().left && drawn.right <= direct.Table().right);
            stored.Store(source.data(), frameWidth, sx, sy, w, h, sx, sy);
        }
        EXPECT_TRUE(direct.Behind());
        std::vector<uint32_t> whole(shown.size(), 0);
        stored.RenderAll(0x00FF00, whole.data(), windowWidth);
        ASSERT_EQ(shown, whole);
        direct.CatchUp(shown.data(), windowWidth);
        EXPECT_FALSE(direct.Behind());
        // A resize to a scaled window: both views render the same picture.
        std::vector<uint32_t> after(static_cast<size_t>(1000) * 700), expected(after.size());
        direct.Configure(kLogicalWidth, kLogicalHeight, scale, 1000, 700, false);
        stored.Configure(kLogicalWidth, kLogicalHeight, scale, 1000, 700, false);
        direct.RenderAll(0x00FF00, after.data(), 1000);
        stored.RenderAll(0x00FF00, expected.data(), 1000);
        EXPECT_EQ(after, expected);
    }
}

// The scripted back end shows the same window: F11 and Alt+Enter switch full screen (the shell's
// full-screen test follows the window) without reaching the program, and presses land on the
// table in logical pixels.
using ScaledScriptedWindow = ScriptedTest;

TEST_F(ScaledScriptedWindow, FullScreenKeysStayOutOfTheProgramAndMouseMapsThroughMargins) {
    backend.SetWindowSize(1000, 700);
    backend.SetFullScreenSize(1920, 1080);
    ASSERT_NE(CreateWindow(), nullptr);
    backend.PressKey(0, kHidF11);
    backend.PostHost(0, HostEvent{HostEvent::KeyDown, 0, 0, 0, 1, 0, kHidLeftAlt});
    backend.PressKey(0, kHidEnter);
    backend.PostHost(0, HostEvent{HostEvent::KeyUp, 0, 0, 0, 1, 0, kHidLeftAlt});
    backend.Click(0, 20, 350);   // the left margin
    backend.Click(0, 500, 350);  // the middle of the table
    Message message;
    while (GetMessage(&message)) DispatchMessage(&message);
    EXPECT_FALSE(backend.IsFullScreen());
    for (const Message& m : received) {
        if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) { EXPECT_NE(m.wParam, WPARAM{VK_F11}); }
        if (m.message == WM_SYSKEYDOWN) { EXPECT_NE(m.wParam, WPARAM{VK_RETURN}); }
        if (m.message == WM_LBUTTONDOWN) { EXPECT_EQ(m.lParam, MakeLParam(400, 300)); }
    }
    EXPECT_EQ(Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(Count(WM_LBUTTONUP), 2);  // the margin's release still ends what a press began
}

}  // namespace
