// The in-game menu bar, driven the way a game drives it: a root panel whose events come from the
// real queue, translated and dispatched after each input message.

#include "tests/ui/ui_fixture.h"
#include "ui/art_cells.h"
#include "ui/controls.h"

namespace {

class MenuBarTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        root = std::make_unique<RootPanel>();
        bar = root->Create<MenuBar>();
        game = bar->AddMenu(54, "&Game");
        for (auto [caption, id] : {std::pair{"&Undo", 1005}, {"&Pause", 1006}, {"&New Game", 1000},
                                   {"&End Game", 1007}, {"&Main Menu", 1003}, {"E&xit", 1004}})
            game->AddItem(caption, id);
        options = bar->AddMenu(155, "&Options");
        options->AddItem("&Music...", 1111);
        sfx = options->AddItem("&SFX", 1112);
        options->AddItem("&Auto Game Over", 1115)->SetDisabled(1);
        table = root->Create<Button>(300, 300, 100, 30, -1, "&Table");
        root->Open();
        bar->Draw();
        drawn.assign(BufferPixels(screen), BufferPixels(screen) + 800 * 600);
    }
    void TearDown() override {
        root.reset();
        UiTest::TearDown();
    }

    // Runs the script through the root panel as a game's event pump does, until it is done.
    void Run() {
        int done = 0;
        backend->After(10, [&done] { done = 1; });
        RunModalLoop(*root, done, false, [this] {
            TranslateEvent();
            root->HandleEvent();
            events.push_back(CurrentEvent());
        });
    }
    std::vector<int> Commands() const {
        std::vector<int> ids;
        for (const ToolkitEvent& e : events)
            if (e.type == kEventCommand) ids.push_back(e.sourceId);
        return ids;
    }
    // The middle of item row `index` of a menu's panel.
    static void ItemCentre(Menu* menu, int index, int* x, int* y) { CentreOf(*menu->Item(index), x, y); }
    bool ScreenEqualsDrawn() const { return std::equal(drawn.begin(), drawn.end(), BufferPixels(screen)); }

    std::unique_ptr<RootPanel> root;
    MenuBar* bar = nullptr;
    Menu* game = nullptr;
    Menu* options = nullptr;
    MenuItem* sfx = nullptr;
    Button* table = nullptr;
    std::vector<Pixel> drawn;
    std::vector<ToolkitEvent> events;
};

TEST_F(MenuBarTest, ClickOpensChooseGivesTheCommandAndTheScreenComesBack) {
    EXPECT_EQ(root->ClientTop(), art::kMenuBarHeight) << "the bar takes the top of its parent";
    int tx, ty, ix, iy, bx, by;
    CentreOf(*game, &tx, &ty);
    ItemCentre(game, 2, &ix, &iy);
    CentreOf(*table, &bx, &by);
    bool openAndFlagged = false, panelDrawn = false, tableInactive = false;
    backend->Click(10, tx, ty);
    backend->After(5, [&] {
        openAndFlagged = game->IsPanelOpen() && ToolkitMenuOpen();
        panelDrawn = !ScreenEqualsDrawn();
    });
    backend->MoveMouse(10, ix, iy);
    backend->After(5, [&] { tableInactive = !table->IsActive(); });
    backend->Click(10, bx, by);   // closes the menu; the button under the mouse does not react
    backend->Click(10, tx, ty);   // open ...
    backend->Click(10, tx, ty);   // ... and close again on the title
    backend->Click(10, ix, iy);   // no panel: nothing to choose
    backend->Click(10, tx, ty);
    // "New Game": pressed so soon after the title that the press comes as a double click's second.
    MouseDown(10, ix, iy, 2);
    MouseUp(10, ix, iy);
    Run();
    EXPECT_TRUE(openAndFlagged);
    EXPECT_TRUE(panelDrawn);
    EXPECT_TRUE(tableInactive);
    EXPECT_EQ(Commands(), std::vector<int>{1000});
    EXPECT_FALSE(game->IsPanelOpen());
    EXPECT_FALSE(ToolkitMenuOpen());
    EXPECT_EQ(table->GetFocus(), 0);
    // Everything the panel covered is back (only the title's look may differ: the mouse is on it).
    for (int py = game->DropDown()->GetY(); py < 600; ++py)
        for (int px = 0; px < 800; ++px) ASSERT_EQ(ScreenPixel(px, py), drawn[py * 800 + px]) << px << "," << py;
    EXPECT_EQ(backend->WindowPixels()[iy * 800 + ix], ScreenPixel(ix, iy)) << "the restore was presented";
}

TEST_F(MenuBarTest, KeyboardOpensMovesChoosesAndEscapeCloses) {
    Chord(kHidLeftAlt, kHidA + ('G' - 'A'));
    backend->PressKey(10, kHidDown);
    backend->PressKey(10, kHidEnter);  // the second item
    Chord(kHidLeftAlt, kHidA + ('O' - 'A'));
    backend->PressKey(10, kHidDown);  // SFX
    backend->PressKey(10, kHidDown);  // Auto Game Over is disabled: round to Music
    bool musicHighlighted = false;
    backend->After(5, [&] { musicHighlighted = options->DropDown()->Highlighted() == options->Item(0); });
    backend->PressKey(10, kHidEscape);
    bool closedByEscape = false;
    backend->After(5, [&] { closedByEscape = !options->IsPanelOpen() && !ToolkitMenuOpen() && bar->TookLastEvent(); });
    Chord(kHidLeftAlt, kHidA + ('O' - 'A'));
    backend->PressKey(10, kHidA + ('S' - 'A'));  // an item's hot key chooses it
    Run();
    EXPECT_TRUE(musicHighlighted);
    EXPECT_TRUE(closedByEscape) << "and the Escape was the menu's, not the game's";
    EXPECT_EQ(Commands(), (std::vector<int>{1006, 1112}));
}

TEST_F(MenuBarTest, MovingToAnotherTitleSwitchesAndDisabledItemsAreNotChosen) {
    int tx, ty, ox, oy, dx, dy;
    CentreOf(*game, &tx, &ty);
    CentreOf(*options, &ox, &oy);
    ItemCentre(options, 2, &dx, &dy);
    backend->Click(10, tx, ty);
    backend->MoveMouse(10, ox, oy);
    bool switched = false;
    backend->After(5, [&] { switched = options->IsPanelOpen() && !game->IsPanelOpen(); });
    backend->Click(10, dx, dy);
    Run();
    EXPECT_TRUE(switched);
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(options->IsPanelOpen()) << "a disabled item leaves the panel open";
}

// On a light theme's panel the item under the pointer gets a bar in the highlight colour with
// pale text; a dark theme keeps its panel and lights the caption instead.
TEST_F(MenuBarTest, AHoveredItemOnALightPanelGetsAHighlightBar) {
    const int art = CreateBuffer(art::kDropDownImageWidth, art::kDropDownImageHeight);
    ASSERT_GE(art, 0);
    const Pixel paper = MapRgb(236, 228, 210), umber = MapRgb(98, 93, 74);
    Pixel* pixels = BufferPixels(art);
    for (int i = 0; i < art::kDropDownImageWidth * art::kDropDownImageHeight; ++i) pixels[i] = paper;
    for (const bool light : {true, false}) {
        SCOPED_TRACE(light ? "light" : "dark");
        ToolkitTheme theme;
        theme.dropDownArt = art;
        theme.controlTextColor = light ? MapRgb(0, 0, 0) : MapRgb(220, 180, 79);
        theme.menuItemColor = theme.controlTextColor;
        theme.menuItemHighlightColor = light ? umber : MapRgb(255, 255, 255);
        SetToolkitTheme(theme);
        ASSERT_TRUE(options->OpenPanel());
        options->DropDown()->Highlight(options->Item(0));
        const MenuItem* item = options->Item(0);
        int bar = 0, area = 0;
        for (int py = item->GetY(); py < item->GetY() + item->GetHeight(); ++py)
            for (int px = item->GetX() + 3; px < item->GetX() + item->GetWidth() - 3; ++px, ++area) bar += ScreenPixel(px, py) == umber;
        if (light) EXPECT_GT(bar, area * 3 / 4);
        else EXPECT_EQ(bar, 0);
        if (light) {
            // A check mark on the bar is drawn in the bar's text colour, not the art's dark mark.
            sfx->SetChecked(1);
            options->DropDown()->Highlight(sfx);
            int tick = 0;
            for (int py = sfx->GetY(); py < sfx->GetY() + sfx->GetHeight(); ++py)
                for (int px = sfx->GetX() + 175; px < sfx->GetX() + 190; ++px) tick += ScreenPixel(px, py) == MapRgb(255, 250, 238);  // the lit caption colour
            EXPECT_GT(tick, 0);
        }
        options->ClosePanel();
    }
    SetToolkitTheme(ToolkitTheme{});
    FreeBuffer(art);
}

TEST_F(MenuBarTest, APanelIsRebuiltAfterRemovingItsItems) {
    const int fullHeight = game->DropDown()->GetHeight();
    ASSERT_TRUE(game->OpenPanel());
    game->RemoveAllItems();  // while open: it closes first and gives the screen back
    EXPECT_FALSE(ToolkitMenuOpen());
    EXPECT_TRUE(ScreenEqualsDrawn());
    EXPECT_EQ(game->DropDown()->GetHeight(), 0) << "an empty panel has no height";
    EXPECT_FALSE(game->OpenPanel()) << "and does not open";
    for (auto [caption, id] : {std::pair{"&Undo", 1005}, {"&Resume", 1006}, {"&New Game", 1000},
                               {"&End Game", 1007}, {"&Main Menu", 1003}, {"E&xit", 1004}})
        game->AddItem(caption, id);
    EXPECT_EQ(game->ItemCount(), 6);
    EXPECT_EQ(game->DropDown()->GetHeight(), fullHeight);
    EXPECT_EQ(game->Item(1)->GetText(), "Resume");
    game->RemoveItem(game->Item(0));
    EXPECT_EQ(game->DropDown()->GetHeight(), fullHeight - MenuItem::kHeight);
    EXPECT_EQ(game->Item(0)->GetY(), game->DropDown()->GetY() + 5) << "the rows close up";

    int tx, ty, ix, iy;
    CentreOf(*game, &tx, &ty);
    ItemCentre(game, 0, &ix, &iy);
    backend->Click(10, tx, ty);
    backend->Click(10, ix, iy);
    Run();
    EXPECT_EQ(Commands(), std::vector<int>{1006});
}

TEST_F(MenuBarTest, DeletingTheBarWithAnOpenPanelGivesEverythingBack) {
    ASSERT_TRUE(options->OpenPanel());
    root->DestroyOwned(bar);
    EXPECT_FALSE(ToolkitMenuOpen());
    EXPECT_TRUE(ScreenEqualsDrawn());
    backend->Click(10, 60, 10);
    backend->PressKey(10, kHidEscape);
    bar = nullptr;
    Run();
    EXPECT_EQ(root->Children()->Count(), 1);
}

}  // namespace
