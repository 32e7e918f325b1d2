// Each control's input behaviour, driven through a dialog's modal loop.

#include <algorithm>

#include "tests/ui/ui_fixture.h"
#include "ui/art_cells.h"
#include "ui/controls.h"

namespace {

using Controls = UiTest;

TEST_F(Controls, ButtonCommandsOnlyWhenReleasedInside) {
    TestDialog dialog(100, 100, 400, 200);
    Button* button = dialog.Create<Button>(150, 100, 100, 30, -1, "&Restart");
    dialog.ending = {button->GetId()};
    int x, y;
    CentreOf(*button, &x, &y);
    // Press, leave, release outside: nothing.
    MouseDown(10, x, y);
    MouseMove(10, x + 200, y, true);
    MouseUp(10, x + 200, y);
    // Press, leave, come back, release: a command.
    MouseDown(10, x, y);
    MouseMove(10, x + 200, y, true);
    MouseMove(10, x, y, true);
    MouseUp(10, x, y);
    EXPECT_EQ(dialog.RunModal(), button->GetId());
    int commands = 0;
    for (const ToolkitEvent& e : dialog.events) commands += e.type == kEventCommand;
    EXPECT_EQ(commands, 1);
    EXPECT_EQ(button->GetText(), "Restart");
}

TEST_F(Controls, CheckBoxTogglesByClickSpaceAndAltHotKey) {
    TestDialog dialog(100, 100, 400, 200);
    CheckBox* box = dialog.Create<CheckBox>(20, 60, "&Remember me");
    ClickOn(10, *box);                  // on
    backend->PressKey(10, kHidSpace);   // off
    Chord(kHidLeftAlt, kHidR);          // on
    backend->PressKey(10, kHidEscape);
    std::vector<bool> states;
    dialog.onEvent = [&](const ToolkitEvent& e) {
        if (e.sourceId == box->GetId() && e.type == kEventCommand) states.push_back(box->IsChecked());
    };
    dialog.RunModal();
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
    EXPECT_TRUE(box->IsChecked()) << "Alt with the hot key toggles it again";
}

// With the theme's dialog art, marks are drawn over the dialog's face in the theme's colours:
// no white well, a ring in the text colour, the option's circle symmetric (round, not
// stepped), and a click's focus shown as a ring in the highlight colour.
TEST_F(Controls, ThemedMarksShowTheFaceAndTheThemeColours) {
    constexpr Pixel kFace = 0x1E4A30, kText = 0xDCB44F, kRing = 0xFFDC80;
    const int art = CreateBuffer(art::kDialogArtWidth, art::kDialogArtHeight);
    ASSERT_GE(art, 0);
    std::fill(BufferPixels(art), BufferPixels(art) + art::kDialogArtWidth * art::kDialogArtHeight, kFace);
    ToolkitTheme theme;
    theme.dialogFace = art;
    theme.textColor = theme.controlTextColor = kText;
    theme.controlHighlightColor = kRing;
    SetToolkitTheme(theme);
    TestDialog dialog(100, 100, 400, 200);
    CheckBox* box = dialog.Create<CheckBox>(20, 60, "&Remember me");
    OptionGroup* group = dialog.Create<OptionGroup>(20, 100);
    OptionButton* option = group->Create<OptionButton>(0, 0, "&Alpha");
    group->Check(option);
    box->SetChecked(1);
    ClickOn(10, *box);
    ClickOn(10, *box);
    int white = 0, text = 0, asymmetric = 0, ring = 0;
    backend->After(10, [&] {
        for (const Window* mark : {static_cast<const Window*>(box), static_cast<const Window*>(option)})
            for (int py = mark->GetY(); py < mark->GetY() + 12; ++py)
                for (int px = mark->GetX(); px < mark->GetX() + 12; ++px) {
                    const Pixel p = ScreenPixel(px, py) & 0xFFFFFF;
                    white += p == 0xFFFFFF;
                    text += p == kText;
                    if (mark == option) asymmetric += p != (ScreenPixel(2 * mark->GetX() + 11 - px, py) & 0xFFFFFF);
                }
        for (int py = box->GetY() - 6; py < box->GetY() + 20; ++py)
            for (int px = box->GetX() + 12; px < box->GetX() + box->GetWidth() + 4; ++px) ring += (ScreenPixel(px, py) & 0xFFFFFF) == kRing;
    });
    backend->PressKey(10, kHidEscape);
    dialog.RunModal();
    EXPECT_EQ(white, 0);
    EXPECT_GT(text, 30);
    EXPECT_EQ(asymmetric, 0);
    EXPECT_GT(ring, 60);
    SetToolkitTheme(ToolkitTheme{});
    FreeBuffer(art);
}

TEST_F(Controls, OptionGroupKeepsExactlyOneChecked) {
    TestDialog dialog(100, 100, 400, 200);
    OptionGroup* group = dialog.Create<OptionGroup>(20, 50);
    OptionButton* a = group->Create<OptionButton>(0, 0, "&Alpha");
    OptionButton* b = group->Create<OptionButton>(0, 20, "&Beta");
    OptionButton* c = group->Create<OptionButton>(0, 40, "&Gamma");
    group->Check(a);
    ClickOn(10, *c);
    backend->PressKey(10, kHidUp);  // the group has focus: the check moves up
    backend->PressKey(10, kHidEscape);
    bool afterClick = false;
    dialog.onEvent = [&](const ToolkitEvent& e) {
        if (e.type == kEventCommand && e.sourceId == c->GetId()) afterClick = c->IsChecked() && !a->IsChecked();
    };
    dialog.RunModal();
    EXPECT_TRUE(afterClick);
    EXPECT_EQ(group->CheckedOption(), b);
    EXPECT_FALSE(a->IsChecked());
    EXPECT_FALSE(c->IsChecked());
    EXPECT_EQ(dialog.Children()->Focused(), group);
}

TEST_F(Controls, EditFieldTypesEditsAndMovesTheCaret) {
    TestDialog dialog(100, 100, 400, 200);
    EditField* field = dialog.Create<EditField>(20, 60, 200, 5, "&Name");
    dialog.ending = {field->GetId()};
    ClickOn(10, *field);
    HoldKey(10, kHidLeftShift);
    backend->PressKey(10, kHidA);
    ReleaseKey(10, kHidLeftShift);
    backend->PressKey(10, kHid1);
    backend->PressKey(10, kHidLeft);
    backend->PressKey(10, kHidSemicolon);   // inserted before the "1"
    backend->PressKey(10, kHidBackspace);   // and taken out again
    backend->PressKey(10, kHidR);           // a button's hot key would not see it
    // The keyboard layout's own letters: a German keyboard's Z where a US one has its Y, and a
    // French é, whose key gives no key message and whose letter arrives as typed text.
    auto layoutKey = [&](int hid, int layoutKey) {
        for (const HostEvent::Kind kind : {HostEvent::KeyDown, HostEvent::KeyUp}) {
            HostEvent key;
            key.kind = kind;
            key.hidScancode = hid;
            key.layoutKey = layoutKey;
            backend->PostHost(10, key);
        }
    };
    layoutKey(kHidA + ('Y' - 'A'), 'Z');
    layoutKey(kHid1 + 1, HostEvent::kTypedOnly);  // the key of a US keyboard's 2
    HostEvent typed;
    typed.kind = HostEvent::Text;
    typed.text = "\xE9";
    backend->PostHost(10, typed);
    for (int i = 0; i < 5; ++i) backend->PressKey(10, kHidA);  // the field holds 5 characters
    backend->PressKey(10, kHidEnter);
    EXPECT_EQ(dialog.RunModal(), field->GetId());
    EXPECT_EQ(field->GetText(), "Arz\xE9" "1");
}

TEST_F(Controls, EventsForDeletedControlsAreHarmless) {
    TestDialog dialog(100, 100, 400, 200);
    Button* keep = dialog.Create<Button>(20, 100, 100, 30, -1, "Keep");
    Button* gone = dialog.Create<Button>(150, 100, 100, 30, -1, "&Gone");
    const int goneId = gone->GetId();
    dialog.ending = {keep->GetId(), goneId};
    int x, y;
    CentreOf(*gone, &x, &y);
    // Armed and focused when it goes; the release, its hot key and Enter then find nothing.
    MouseDown(10, x, y);
    backend->After(5, [&] { dialog.DestroyOwned(gone); });
    MouseUp(10, x, y);
    backend->PressKey(10, kHidA + ('G' - 'A'));
    backend->After(5, [&] {
        // A command still naming the deleted control goes through the panel like any event.
        CurrentEvent().type = kEventFocusRequest;
        CurrentEvent().sourceId = goneId;
        dialog.HandleEvent();
    });
    backend->PressKey(10, kHidEnter);
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(dialog.RunModal(), -1);
    EXPECT_EQ(dialog.Children()->Count(), 1);
    EXPECT_NE(dialog.Children()->Focused(), nullptr);
    EXPECT_TRUE(ScreenEqualsPattern());
}

TEST_F(Controls, SpinFieldArrowsStayInRangeAndRepeatWhileHeld) {
    TestDialog dialog(100, 100, 400, 200);
    SpinField* spin = dialog.Create<SpinField>(20, 60, 40, "Cards");
    spin->SetRange(1, 5, 1);
    spin->SetValue(4);
    for (int i = 0; i < 3; ++i) ClickOn(10, *spin->UpArrow());
    backend->PressKey(10, kHidEscape);
    dialog.RunModal();
    EXPECT_EQ(spin->GetValue(), 5);
    EXPECT_EQ(spin->Field()->GetText(), "5");

    for (int i = 0; i < 7; ++i) ClickOn(10, *spin->DownArrow());
    backend->PressKey(10, kHidEscape);
    dialog.RunModal();
    EXPECT_EQ(spin->GetValue(), 1);

    // An arrow held down steps at once, then repeats, faster after five repeats.
    spin->SetRange(0, 100, 1);
    spin->SetValue(50);
    int x, y;
    CentreOf(*spin->DownArrow(), &x, &y);
    std::vector<int> seen;
    auto look = [&] { seen.push_back(spin->GetValue()); };
    MouseDown(10, x, y);   // t = 10: one step at once
    backend->After(250, look);   // 260
    backend->After(500, look);   // 760: one repeat (510)
    backend->After(1770, look);  // 2530: five repeats (510 .. 2510)
    backend->After(55, look);    // 2585: fast repeats from 2560
    MouseUp(0, x, y);
    backend->After(1000, look);  // released: no more steps
    backend->PressKey(10, kHidEscape);
    dialog.RunModal();
    EXPECT_EQ(seen, (std::vector<int>{49, 48, 44, 43, 43}));
}

TEST_F(Controls, DropDownListChoosesAnItemRestoresUnderTheListAndPassesOnAPressOutside) {
    TestDialog dialog(100, 100, 400, 300);
    DropDownList* list = dialog.Create<DropDownList>(20, 50, 150, 30);
    Button* below = dialog.Create<Button>(20, 90, 100, 30, -1, "Below");
    CheckBox* box = dialog.Create<CheckBox>(20, 200, "&Don't show again");
    for (const char* item : {"Green", "Blue", "Red"}) list->AddItem(item);
    list->SetSelectedIndex(0);
    dialog.ending = {below->GetId()};
    int x, y;
    CentreOf(*list, &x, &y);
    std::vector<Pixel> before;
    bool flagWhileOpen = false;
    backend->After(5, [&] { before.assign(BufferPixels(screen), BufferPixels(screen) + 800 * 600); });
    backend->Click(5, x, y);
    backend->After(5, [&] { flagWhileOpen = ToolkitMenuOpen() && list->IsListOpen(); });
    // Row 2 ("Red") of the open list; the button under the list must not take the press.
    const int rowY = list->GetY() + DropDownList::kHeight + DropDownList::kListMargin + 2 * DropDownList::kRowHeight + 6;
    backend->Click(5, x, rowY);
    bool listAreaRestored = false;
    backend->After(5, [&] {
        const Pixel* now = BufferPixels(screen);
        listAreaRestored = true;
        for (int py = list->GetY() + DropDownList::kHeight; py < rowY + 20; ++py)
            for (int px = list->GetX(); px < list->GetX() + list->GetWidth(); ++px)
                listAreaRestored = listAreaRestored && now[py * 800 + px] == before[py * 800 + px];
    });
    backend->PressKey(10, kHidEscape);
    EXPECT_EQ(dialog.RunModal(), -1);
    EXPECT_TRUE(flagWhileOpen);
    EXPECT_FALSE(ToolkitMenuOpen());
    EXPECT_EQ(list->SelectedIndex(), 2);
    EXPECT_EQ(list->GetText(), "Red");
    EXPECT_TRUE(listAreaRestored);
    EXPECT_TRUE(ScreenEqualsPattern());

    // A press outside an open list closes it unchanged and then does what it would have done
    // with the list closed: the check box under the pointer toggles.
    list->SetSelectedIndex(1);
    ClickOn(5, *list);
    bool openBefore = false;
    backend->After(5, [&] { openBefore = list->IsListOpen(); });
    ClickOn(5, *box);
    backend->PressKey(10, kHidEscape);
    dialog.RunModal();
    EXPECT_TRUE(openBefore);
    EXPECT_FALSE(list->IsListOpen());
    EXPECT_FALSE(ToolkitMenuOpen());
    EXPECT_EQ(list->SelectedIndex(), 1) << "closed without a change";
    EXPECT_TRUE(box->IsChecked()) << "the press reached the check box";
}

}  // namespace
