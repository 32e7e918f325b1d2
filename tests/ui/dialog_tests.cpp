// Modal loops, focus and Tab order, save-under and the message box, through the real queue.

#include <array>

#include "tests/ui/ui_fixture.h"
#include "ui/art_cells.h"
#include "ui/controls.h"

namespace {

using ModalLoop = UiTest;

TEST_F(ModalLoop, NonInputMessagesStillReachTheWindowProcedure) {
    static int painted = 0;
    painted = 0;
    DestroyWindow(window);
    window = CreateMainWindow("ui test", 800, 600, [](HWND h, uint32_t m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_PAINT) {
            ++painted;
            ValidateWindow(h);
            return 0;
        }
        if (m == WM_CLOSE) {
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProc(h, m, w, l);
    });
    InitToolkit(window, screen, 0);
    backend->After(10, [this] { InvalidateWindow(window, false); });
    backend->PressKey(10, kHidEscape);
    TestDialog dialog(100, 100, 200, 100);
    EXPECT_EQ(dialog.RunModal(), -1);
    EXPECT_EQ(painted, 1);
}

using Focus = UiTest;

TEST_F(Focus, TabSkipsDisabledChildrenAndWraps) {
    TestDialog dialog(100, 100, 400, 200);
    Button* first = dialog.Create<Button>(20, 150, 100, 30, -1, "First");
    Button* second = dialog.Create<Button>(140, 150, 100, 30, -1, "Second");
    Button* third = dialog.Create<Button>(260, 150, 100, 30, -1, "Third");
    second->SetDisabled(1);
    dialog.ending = {first->GetId(), second->GetId(), third->GetId()};

    // Tab passes the disabled button; Enter activates the focused one.
    backend->PressKey(10, kHidTab);
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(dialog.RunModal(), third->GetId());

    // From the last child Tab wraps to the first.
    backend->PressKey(10, kHidTab);
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(dialog.RunModal(), first->GetId());

    // Shift+Tab goes backwards, again over the disabled one.
    Chord(kHidLeftShift, kHidTab);
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(dialog.RunModal(), third->GetId());
    EXPECT_EQ(second->GetFocus(), 0);
}

// Disabled controls take no focus, key, hot key or click.
TEST_F(Focus, APanelWhoseChildrenAreAllDisabledKeepsStill) {
    TestDialog dialog(100, 100, 400, 200);
    Button* a = dialog.Create<Button>(20, 150, 100, 30, -1, "&A");
    Button* b = dialog.Create<Button>(140, 150, 100, 30, -1, "B");
    CheckBox* box = dialog.Create<CheckBox>(20, 60, "Check");
    for (Window* w : std::initializer_list<Window*>{a, b, box}) w->SetDisabled(1);
    dialog.ending = {a->GetId(), b->GetId()};
    for (int i = 0; i < 4; ++i) backend->PressKey(10, kHidTab);
    HoldKey(10, kHidLeftShift);
    for (int i = 0; i < 4; ++i) backend->PressKey(10, kHidTab);
    ReleaseKey(10, kHidLeftShift);
    backend->PressKey(10, kHidEnter);
    backend->PressKey(10, kHidA);
    ClickOn(10, *b);
    ClickOn(10, *box);
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(dialog.RunModal(), -1);
    for (Window* w : std::initializer_list<Window*>{a, b, box}) EXPECT_EQ(w->GetFocus(), 0);
    EXPECT_FALSE(box->IsChecked());
    EXPECT_TRUE(ScreenEqualsPattern());
}

struct MessageBoxCase {
    int flags;
    int firstResult;
    int secondResult;  // 0: no second button
    int escapeResult;  // 0: Escape does nothing
    int enterResult;   // the default button's
};

class MessageBoxSets : public UiTest, public ::testing::WithParamInterface<MessageBoxCase> {};

TEST_P(MessageBoxSets, ButtonsAndEscapeGiveTheirResults) {
    const MessageBoxCase c = GetParam();
    for (int which = 0; which < 4; ++which) {
        if (which == 1 && c.secondResult == 0) continue;
        if (which == 2 && c.escapeResult == 0) continue;
        MessageBox box(nullptr, "Question", c.flags, "Do you want to go on?");
        box.Open();
        Button* target = which == 0 ? box.FirstButton() : box.SecondButton();
        int x = 0, y = 0;
        if (which < 2) CentreOf(*target, &x, &y);
        box.Close();
        ASSERT_TRUE(ScreenEqualsPattern());
        if (which < 2) backend->Click(10, x, y);
        else backend->PressKey(10, which == 2 ? kHidEscape : kHidEnter);
        const int expected = std::array{c.firstResult, c.secondResult, c.escapeResult, c.enterResult}[which];
        EXPECT_EQ(box.RunModal(), expected) << "flags " << c.flags << " case " << which;
        EXPECT_TRUE(ScreenEqualsPattern());
        EXPECT_EQ(box.FirstButton(), nullptr) << "the buttons go with the closing";
    }
}

INSTANTIATE_TEST_SUITE_P(AllSets, MessageBoxSets,
                         ::testing::Values(MessageBoxCase{MessageBox::kOk, 1, 0, 1, 1},
                                           MessageBoxCase{MessageBox::kClose, 2, 0, 0, 2},
                                           MessageBoxCase{MessageBox::kOkCancel, 1, 3, 3, 1},
                                           MessageBoxCase{MessageBox::kYesNo, 5, 6, 6, 5},
                                           MessageBoxCase{MessageBox::kYesNo | MessageBox::kSecondIsDefault, 5, 6, 6, 6}));

// Enter presses the default button wherever the focus is, except on another button, which takes
// Enter itself; a button's hot key works alone and with Alt.
TEST_F(Focus, EnterPressesTheDefaultButtonAndAltTheHotKeyButton) {
    TestDialog dialog(100, 100, 400, 200);
    CheckBox* box = dialog.Create<CheckBox>(20, 40, "&Check");
    EditField* field = dialog.Create<EditField>(20, 70, 150, 20, "");
    Button* ok = dialog.Create<Button>(20, 150, 100, 30, -1, "OK");
    Button* apply = dialog.Create<Button>(140, 150, 100, 30, -1, "&Apply");
    dialog.SetDefaultButton(ok);
    dialog.ending = {ok->GetId(), apply->GetId()};
    backend->PressKey(10, kHidEnter);  // the check box has the focus
    EXPECT_EQ(dialog.RunModal(), ok->GetId());
    ClickOn(10, *field);
    backend->PressKey(10, kHidEnter);  // the edit field's own Enter goes to the default too
    EXPECT_EQ(dialog.RunModal(), ok->GetId());
    Chord(kHidLeftAlt, kHidA);
    EXPECT_EQ(dialog.RunModal(), apply->GetId());
    dialog.Children()->FocusMember(apply);
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(dialog.RunModal(), apply->GetId());
    EXPECT_FALSE(box->IsChecked());
}

// The title plate is wider than a message box: it must stay inside the box's frame, its two
// ends joined, and still show.
TEST_F(ModalLoop, ATitlePlateNeverPaintsOverTheFrameOfANarrowBox) {
    constexpr Pixel kFace = 0x203040, kFrame = 0xC0A040, kPlate = 0x805020;
    const int art = CreateBuffer(art::kDialogArtWidth, art::kDialogArtHeight);
    ASSERT_GE(art, 0);
    Pixel* pixels = BufferPixels(art);
    for (int y = 0; y < art::kDialogArtHeight; ++y)
        for (int x = 0; x < art::kDialogArtWidth; ++x) {
            const bool frame = x < 8 || x >= art::kDialogFaceWidth - 8 || y < 8 || y >= art::kDialogFaceHeight - 8;
            const bool plate = y >= art::kPlateTop && y <= art::kPlateBottom && x >= art::kPlateLeft && x <= art::kPlateRight;
            pixels[y * art::kDialogArtWidth + x] = plate ? kPlate : y < art::kDialogFaceHeight && frame ? kFrame : kFace;
        }
    ToolkitTheme theme;
    theme.dialogFace = art;
    SetToolkitTheme(theme);
    MessageBox box(nullptr, "Title", MessageBox::kOk, "Hi");
    ASSERT_LT(box.GetWidth(), art::kPlateRight - art::kPlateLeft);
    int frameDamaged = 0, plate = 0;
    backend->After(10, [&] {
        for (int y = box.GetY(); y < box.GetY() + 40; ++y) {
            for (int dx = 0; dx < 8; ++dx) {
                frameDamaged += ScreenPixel(box.GetX() + dx, y) != kFrame;
                frameDamaged += ScreenPixel(box.GetX() + box.GetWidth() - 1 - dx, y) != kFrame;
            }
            for (int x = box.GetX(); x < box.GetX() + box.GetWidth(); ++x) plate += ScreenPixel(x, y) == kPlate;
        }
    });
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(box.RunModal(), MessageBox::kResultOk);
    EXPECT_EQ(frameDamaged, 0);
    EXPECT_GT(plate, (box.GetWidth() - 30) * 20);
    SetToolkitTheme(ToolkitTheme{});
    FreeBuffer(art);
}

// A dialog whose top edge would cut through the table's title (rows 33..91, columns 170..630)
// draws its frame up to row 33 across that part of its width; one below the title leaves the
// rows above it alone. Closing puts every pixel back either way, and presents them.
TEST_F(ModalLoop, ADialogCuttingTheTitleCoversItUpToTheBandTop) {
    struct Case {
        int top;
        bool capped;
    };
    for (const Case c : {Case{52, true}, Case{77, true}, Case{120, false}}) {
        SCOPED_TRACE(c.top);
        TestDialog dialog(100, c.top, 600, 200);
        int changedAbove = 0, changedOutside = 0;
        bool drawnWhileOpen = false;
        backend->After(10, [&] {
            drawnWhileOpen = !ScreenEqualsPattern();
            for (int y = 0; y < c.top; ++y)
                for (int x = 0; x < 800; ++x) {
                    const bool changed = ScreenPixel(x, y) != pattern[static_cast<size_t>(y * 800 + x)];
                    if (x >= 170 && x <= 630 && y >= 33) changedAbove += changed;
                    else changedOutside += changed;
                }
        });
        backend->PressKey(10, kHidEscape);
        EXPECT_EQ(dialog.RunModal(), -1);
        EXPECT_EQ(changedAbove, c.capped ? 461 * (c.top - 33) : 0);
        EXPECT_EQ(changedOutside, 0);
        EXPECT_TRUE(drawnWhileOpen);
        EXPECT_TRUE(ScreenEqualsPattern());
        EXPECT_FALSE(dialog.HasSavedPixels());
        // The restored area reached the window too.
        const std::vector<uint32_t>& shown = backend->WindowPixels();
        for (int py = c.top; py < c.top + 200; py += 7)
            for (int px = 100; px < 700; px += 11) ASSERT_EQ(shown[py * 800 + px], pattern[py * 800 + px]) << px << "," << py;
    }
}

TEST_F(ModalLoop, ExitScreenEndsWithItsButtonOrEscapeAndRestores) {
    // Without its pictures the exit screen still runs: a plain button on the unchanged screen.
    ExitScreen exitScreen;
    ClickOn(10, *exitScreen.ExitButton());
    EXPECT_EQ(exitScreen.RunModal(), ExitScreen::kResult);
    EXPECT_TRUE(ScreenEqualsPattern());
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(exitScreen.RunModal(), ExitScreen::kResult);
    EXPECT_TRUE(ScreenEqualsPattern());
}

}  // namespace
