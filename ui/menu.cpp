// The in-game menu bar: the bar strip, the menu titles, their drop-down panels and the items.

#include <algorithm>

#include "platform/keys.h"
#include "ui/art_cells.h"
#include "ui/controls.h"
#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

// Titles use the font in slot 1, the first one the toolkit loads at start-up.
constexpr int kTitleFontSlot = 1;
constexpr int kTitleUnderlineBelowCentre = 6;

// Panels keep their items clear of the frame: a margin above the first row and below the last,
// and at the sides, where the plain frame's bevel is.
constexpr int kPanelTopMargin = 5;
constexpr int kPanelBottomMargin = 5;
constexpr int kItemSideInset = 3;

// Item layout: caption at x+10 centred on y+8; the check glyph's lower-left at (x+175, y+13).
constexpr int kItemCaptionLeft = 10;
constexpr int kItemCaptionCentre = 8;
constexpr int kItemUnderlineBelowCentre = 6;
constexpr int kCheckGlyphLeft = 175;
constexpr int kCheckGlyphBottom = 13;
// Shortcut keys end a little left of the check glyph.
constexpr int kShortcutRight = kCheckGlyphLeft - 5;

Pixel DisabledItemColor() { return MapRgb(127, 127, 127); }

// The caption on the highlight bar of a light theme's panel.
Pixel LitItemTextColor() { return MapRgb(255, 250, 238); }

// Without artwork and with light text, the highlighted item gets a bar a little lighter than the face.
Pixel PlainItemHighlightColor() { return MapRgb(78, 84, 98); }

bool MenuBarArtReady() {
    return ArtAvailable(CurrentTheme().menuBarArt, art::kMenuBarImageWidth - 1,
                        art::kMenuTitleTop + art::kMenuTitleHeight);
}

bool DropDownArtReady() {
    return ArtAvailable(ThemeDropDownArt(), art::kDropDownImageWidth, art::kDropDownImageHeight);
}

bool SelectTitleFont() {
    SelectFont(kTitleFontSlot);
    return SelectedFont() == kTitleFontSlot;
}

int TitleTextWidth(std::string_view text) {
    if (!SelectTitleFont()) return RegularTextWidth(text);
    return TextWidth(text.data(), static_cast<int>(text.size()));
}

void DrawTitleText(std::string_view text) {
    if (!SelectTitleFont()) {
        DrawRegularText(text, 0, 0);
        return;
    }
    SetTextJustify(0, 0);
    DrawText(text.data(), static_cast<int>(text.size()));
}

// Underlines character `position` of text drawn left-justified at left, with the given widths.
template <typename Width>
void Underline(std::string_view text, int position, int left, int lineY, Width width) {
    if (position < 0 || position >= static_cast<int>(text.size())) return;
    const auto at = static_cast<size_t>(position);
    MoveTo(left + width(text.substr(0, at)), lineY);
    DrawLineTo(left + width(text.substr(0, at + 1)) - 1, lineY);
}

// Copies a picture of pictureWidth x pictureHeight whose last edgeWidth columns and edgeHeight
// rows are its right and bottom edges onto a w x h rectangle at (left, top): the body fills the
// rectangle from its top-left (repeated if the rectangle is larger) and the edges close it.
void CopyFramed(int art, int pictureWidth, int pictureHeight, int edgeWidth, int edgeHeight, int left, int top,
                int w, int h) {
    const int screen = ToolkitScreenBuffer();
    const int bodyWidth = pictureWidth - edgeWidth, bodyHeight = pictureHeight - edgeHeight;
    const int wantWidth = std::max(w - edgeWidth, 0), wantHeight = std::max(h - edgeHeight, 0);
    // Columns: (source left, destination left, count) spans; the right edge last.
    auto copyRows = [&](int sourceTop, int destinationTop, int rows) {
        for (int done = 0; done < wantWidth;) {
            const int n = std::min(bodyWidth, wantWidth - done);
            CopyBufferRect(0, n - 1, sourceTop, sourceTop + rows - 1, left + done, destinationTop + rows - 1, art, screen);
            done += n;
        }
        const int edge = std::min(edgeWidth, w);
        CopyBufferRect(pictureWidth - edge, pictureWidth - 1, sourceTop, sourceTop + rows - 1, left + w - edge,
                       destinationTop + rows - 1, art, screen);
    };
    for (int done = 0; done < wantHeight;) {
        const int n = std::min(bodyHeight, wantHeight - done);
        copyRows(0, top + done, n);
        done += n;
    }
    const int edge = std::min(edgeHeight, h);
    copyRows(pictureHeight - edge, top + h - edge, edge);
}

}  // namespace

// --- MenuItem ---

MenuItem::MenuItem(Window* panel, std::string_view caption, int command)
    : Control(panel, 0, 0, 0, kHeight, kStyle), commandId(command) {
    MenuItem::SetText(caption);
}

void MenuItem::SetText(std::string_view caption) {
    const size_t tab = caption.find('\t');
    shortcut = tab == std::string_view::npos ? std::string() : std::string(caption.substr(tab + 1));
    const Caption parsed = ParseCaption(caption.substr(0, tab));
    text = parsed.text;
    hotKeyPosition = parsed.hotKeyPosition;
    hotKey = parsed.hotKey;
    otherCaseHotKey = parsed.otherCaseHotKey;
    if (open) Draw();
}

void MenuItem::Draw() {
    SelectScreenBuffer();
    const bool lit = (focus != 0 || pressed) && !disabled;
    const bool haveArt = DropDownArtReady();
    const int left = x + kItemSideInset, right = x + width - 1 - kItemSideInset, bottom = y + height - 1;
    const ToolkitTheme& theme = CurrentTheme();
    Pixel color = disabled ? DisabledItemColor() : lit ? theme.menuItemHighlightColor : theme.menuItemColor;
    if (lit && !haveArt) {
        // Plain look: a bar behind the item; on a light face the list's selection colours read best.
        const bool lightText = MenuTextIsLight();
        SetColor(lightText ? PlainItemHighlightColor() : ToolkitColorValue(kColorListSelectedBack));
        FillRect(left, right, y, bottom);
        if (!lightText) color = ToolkitColorValue(kColorListSelectedText);
    } else if (lit && !MenuTextIsLight()) {
        // A light theme's panel: a bar in the theme's dark highlight colour with pale text, as a
        // dimmed caption would read as disabled.
        SetColor(theme.menuItemHighlightColor);
        FillRect(left, right, y, bottom);
        color = LitItemTextColor();
    } else if (parent != nullptr) {
        parent->PaintBackground(left, right, y, bottom);
        // A dark theme's panel: a soft bar of the caption colour under the brightened caption.
        if (lit) FillShape(left, right, y, bottom, RoundedBox(left, y, right, bottom, 3), theme.menuItemColor, 0.2);
    }
    if (groupStart && !lit) {
        const int ruleLeft = left + kItemCaptionLeft - 4, ruleRight = right - kItemCaptionLeft + 4;
        FillShape(ruleLeft, ruleRight, y, y, RoundedBox(ruleLeft, y, ruleRight + 1, y + 0.6, 0), theme.menuItemColor, 0.45);
    }

    SetColor(color);
    MoveTo(x + kItemCaptionLeft, y + kItemCaptionCentre);
    DrawRegularText(text, -1, 0);
    SetColor(color);
    Underline(text, hotKeyPosition, x + kItemCaptionLeft, y + kItemCaptionCentre + kItemUnderlineBelowCentre,
              [](std::string_view part) { return RegularTextWidth(part); });
    if (!shortcut.empty()) {
        MoveTo(x + kShortcutRight - RegularTextWidth(shortcut), y + kItemCaptionCentre);
        DrawRegularText(shortcut, -1, 0);
    }

    if (checked) {
        const int glyphLeft = x + kCheckGlyphLeft, glyphBottom = y + kCheckGlyphBottom;
        // On a light theme's highlight bar the art's dark mark would vanish: the tick is drawn in
        // the bar's pale text colour instead.
        const bool onBar = lit && haveArt && !MenuTextIsLight();
        if (haveArt && !onBar) {
            CopyBufferRectTransparent(art::kCheckLeft, art::kCheckLeft + art::kCheckWidth - 1, art::kCheckTop,
                                      art::kCheckTop + art::kCheckHeight - 1, glyphLeft, glyphBottom,
                                      ThemeDropDownArt(), ToolkitScreenBuffer());
        } else {
            // A two-pixel tick inside the same 15 x 13 cell.
            SetColor(color);
            for (int k = 0; k < 2; ++k) {
                MoveTo(glyphLeft + 2, glyphBottom - 6 + k);
                DrawLineTo(glyphLeft + 5, glyphBottom - 3 + k);
                DrawLineTo(glyphLeft + 12, glyphBottom - 10 + k);
            }
        }
    }
    QueueSelf();
}

// --- MenuPanel ---

MenuPanel::MenuPanel(Window* menu, int panelWidth) : Panel(menu, 0, 0, panelWidth, 0, kStyleKeepParentActive) {
    Layout();
}

void MenuPanel::Layout() {
    int wantX = x, wantY = y;
    if (parent != nullptr) {
        wantX = parent->GetX();
        wantY = parent->GetY() + parent->GetHeight();
    }
    // A panel that would pass the screen's right edge is moved left to end there.
    if (wantX + width > ScreenWidth()) wantX = ScreenWidth() - width;
    if (wantX != x || wantY != y) OffsetBy(wantX - x, wantY - y);

    int rowTop = y + kPanelTopMargin;
    int count = 0;
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList(), ++count) {
        w->SetX(x);
        w->SetY(rowTop);
        w->SetWidth(width);
        rowTop += w->GetHeight();
    }
    height = count == 0 ? 0 : rowTop - y + kPanelBottomMargin;
    clientLeft = x;
    clientRight = x + width - 1;
    clientTop = y;
    clientBottom = y + height - 1;
}

int MenuPanel::AddChild(Window* window) {
    const int refused = Panel::AddChild(window);
    if (refused == 0) Layout();
    return refused;
}

void MenuPanel::RemoveChild(Window* window) {
    if (window == highlighted) highlighted = nullptr;
    Panel::RemoveChild(window);
    Layout();
}

void MenuPanel::Open() {
    Layout();
    SelectScreenBuffer();
    SaveUnder();
    RememberOpenPanel(this);
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        w->SetFocus(0);
        w->SetPressed(0);
        w->Open();
    }
    highlighted = nullptr;
    active = true;
    open = true;
    Draw();
}

void MenuPanel::Close() {
    ForgetOpenPanel(this);
    active = false;
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) w->Close();
    highlighted = nullptr;
    RestoreUnder();
    QueueRect(x, y, x + width - 1, y + height - 1);
    open = false;
    dirty = true;
}

void MenuPanel::DrawPicture() {
    if (width <= 0 || height <= 0) return;
    if (DropDownArtReady()) {
        CopyFramed(ThemeDropDownArt(), art::kDropDownPanelWidth, art::kDropDownImageHeight,
                   art::kDropDownRightEdge, art::kDropDownBottomEdge, x, y, width, height);
        return;
    }
    SetColor(PlainMenuFaceColor());
    FillRect(x, x + width - 1, y, y + height - 1);
    DrawBevel(x, x + width - 1, y, y + height - 1, true);
}

void MenuPanel::Draw() {
    SelectScreenBuffer();
    DrawPicture();
    DrawChildren();
    QueueSelf();
}

void MenuPanel::PaintBackground(int minx, int maxx, int miny, int maxy) {
    SelectScreenBuffer();
    if (DropDownArtReady()) {
        // The picture is not a plain colour: draw it again, clipped to the rectangle.
        SetClip(minx, maxx, miny, maxy);
        DrawPicture();
        ResetClip();
        return;
    }
    SetColor(PlainMenuFaceColor());
    FillRect(minx, maxx, miny, maxy);
}

MenuItem* MenuPanel::ItemAt(int px, int py) const {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (px >= w->GetX() && px < w->GetX() + w->GetWidth() && py >= w->GetY() && py < w->GetY() + w->GetHeight())
            return dynamic_cast<MenuItem*>(w);
    return nullptr;
}

bool MenuPanel::Covers(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }

void MenuPanel::Highlight(MenuItem* item) {
    if (item == highlighted) return;
    MenuItem* previous = highlighted;
    highlighted = item;
    if (previous != nullptr) {
        previous->SetFocus(0);
        previous->SetPressed(0);
        if (open) previous->Draw();
    }
    if (item != nullptr) {
        item->SetFocus(1);
        if (open) item->Draw();
    }
}

MenuItem* MenuPanel::NeighbourItem(int direction) const {
    const int count = children->Count();
    Window* w = highlighted;
    for (int step = 0; step < count; ++step) {
        if (w == nullptr) w = direction > 0 ? children->Head() : children->Tail();
        else if (direction > 0) w = w->NextInList() != nullptr ? w->NextInList() : children->Head();
        else w = w->PreviousInList() != nullptr ? w->PreviousInList() : children->Tail();
        if (!w->IsDisabled()) return dynamic_cast<MenuItem*>(w);
    }
    return nullptr;
}

// --- Menu ---

Menu::Menu(Window* bar, int titleX, std::string_view caption, int panelWidth)
    : Control(bar, titleX, kTitleTop, art::kMenuTitleWidth, art::kMenuTitleHeight) {
    Menu::SetText(caption);
    panel = Create<MenuPanel>(std::max(panelWidth, 1));
}

Menu::~Menu() {
    // A menu that goes while its panel is open gives the screen and the input back first.
    ClosePanel();
}

void Menu::SetText(std::string_view caption) {
    const Caption parsed = ParseCaption(caption);
    text = parsed.text;
    hotKeyPosition = parsed.hotKeyPosition;
    hotKey = parsed.hotKey;
    otherCaseHotKey = parsed.otherCaseHotKey;
}

void Menu::Close() {
    ClosePanel();
    hover = false;
    Control::Close();
}

void Menu::OffsetBy(int dx, int dy) {
    Control::OffsetBy(dx, dy);
    backgroundSaved = false;
    panel->Layout();
}

bool Menu::IsDirty() const { return dirty || panel->IsDirty(); }

void Menu::ClearDirty() {
    dirty = false;
    panel->ClearDirty();
}

MenuItem* Menu::AddItem(std::string_view caption, int commandId) {
    return panel->Create<MenuItem>(caption, commandId);
}

void Menu::RemoveItem(MenuItem* item) {
    if (item == nullptr || !panel->Children()->Contains(item)) return;
    if (IsPanelOpen()) ClosePanel();
    panel->RemoveChild(item);
    panel->DestroyOwned(item);
}

void Menu::RemoveAllItems() {
    if (IsPanelOpen()) ClosePanel();
    while (Window* item = panel->Children()->Head()) {
        panel->RemoveChild(item);
        panel->DestroyOwned(item);
    }
    panel->Layout();
}

int Menu::ItemCount() const { return panel->Children()->Count(); }

MenuItem* Menu::Item(int index) const {
    if (index < 0) return nullptr;
    Window* w = panel->Children()->Head();
    for (int i = 0; w != nullptr && i < index; ++i) w = w->NextInList();
    return dynamic_cast<MenuItem*>(w);
}

bool Menu::IsPanelOpen() const { return panel->IsOpen(); }

bool Menu::OpenPanel() {
    if (IsPanelOpen()) return true;
    if (disabled || ItemCount() == 0) return false;
    panel->Open();
    SetToolkitMenuOpen(true);
    Draw();
    return true;
}

void Menu::ClosePanel() {
    if (!IsPanelOpen()) return;
    panel->Close();
    SetToolkitMenuOpen(false);
    if (open) Draw();
}

void Menu::SetHover(bool value) {
    if (hover == value) return;
    hover = value;
    if (open) Draw();
}

void Menu::Draw() {
    SelectScreenBuffer();
    // The title's cells are transparent, so every drawing starts again from what was under it.
    if (!backgroundSaved || !BlockIsCurrent(background.data())) {  // taken again after a scale change
        background.assign(ImageSize(width + 1, height + 1), 0);
        GetBlock(background.data(), x, x + width - 1, y, y + height - 1);
        backgroundSaved = true;
    } else {
        PutBlock(background.data(), x, x + width - 1, y, y + height - 1);
    }

    const bool opened = IsPanelOpen();
    const ToolkitTheme& theme = CurrentTheme();
    if (MenuBarArtReady()) {
        const int cell = opened ? art::kMenuTitleOpenLeft : hover ? art::kMenuTitleHoverLeft : art::kMenuTitleNormalLeft;
        CopyBufferRectTransparent(cell, cell + width - 1, art::kMenuTitleTop, art::kMenuTitleTop + height - 1, x,
                                  y + height - 1, theme.menuBarArt, ToolkitScreenBuffer());
    } else if (opened || hover) {
        // Plain look: a raised frame under the mouse, a sunken one while open, inside the strip.
        const int bottom = std::min(y + height - 1, (parent != nullptr ? parent->GetY() + parent->GetHeight() : y + height) - 2);
        DrawBevel(x + 2, x + width - 3, y, bottom, !opened);
    }

    // Light text is brightened under the mouse and while open. Dark text keeps its full colour
    // (a muted one reads as disabled): the title's pill or frame shows the state.
    const bool highlightText = (opened || hover) && MenuTextIsLight();
    const Pixel color = disabled ? DisabledItemColor() : highlightText ? theme.menuItemHighlightColor : theme.menuItemColor;
    const int centreX = x + width / 2 + (opened ? 1 : 0);
    const int centreY = y + height / 2 - 1 + (opened ? 1 : 0);
    SetColor(color);
    MoveTo(centreX, centreY);
    DrawTitleText(text);
    SetColor(color);
    Underline(text, hotKeyPosition, centreX - TitleTextWidth(text) / 2, centreY + kTitleUnderlineBelowCentre,
              [](std::string_view part) { return TitleTextWidth(part); });
    QueueSelf();
}

// --- MenuBar ---

MenuBar::MenuBar(Window* parentWindow)
    : CompositeControl(parentWindow, 0, 0, ScreenWidth(), art::kMenuBarHeight, kStyleSkipOnTab) {
    if (parentWindow != nullptr) parentWindow->SetClientTop(parentWindow->ClientTop() + art::kMenuBarHeight);
}

Menu* MenuBar::AddMenu(int titleX, std::string_view caption, int panelWidth) {
    return Create<Menu>(titleX, caption, panelWidth);
}

void MenuBar::Draw() {
    SelectScreenBuffer();
    if (MenuBarArtReady()) {
        CopyBufferRect(0, width - 1, art::kMenuBarTop, art::kMenuBarTop + height - 1, x, y + height - 1,
                       CurrentTheme().menuBarArt, ToolkitScreenBuffer());
    } else {
        SetColor(PlainMenuFaceColor());
        FillRect(x, x + width - 1, y, y + height - 1);
        SetColor(ToolkitColorValue(kColorHighlight));
        FillRect(x, x + width - 1, y, y);
        SetColor(ToolkitColorValue(kColorShadow));
        FillRect(x, x + width - 1, y + height - 2, y + height - 2);
        SetColor(ToolkitColorValue(kColorDarkEdge));
        FillRect(x, x + width - 1, y + height - 1, y + height - 1);
    }
    QueueSelf();
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        if (auto* menu = dynamic_cast<Menu*>(w)) menu->ForgetBackground();
        w->Draw();
    }
}

void MenuBar::Close() {
    CloseMenus();
    CompositeControl::Close();
}

Menu* MenuBar::OpenMenu() const {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        auto* menu = dynamic_cast<Menu*>(w);
        if (menu != nullptr && menu->IsPanelOpen()) return menu;
    }
    return nullptr;
}

void MenuBar::CloseMenus() {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (auto* menu = dynamic_cast<Menu*>(w)) menu->ClosePanel();
}

Menu* MenuBar::TitleAt(int px, int py) const {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (w->HitTest(px, py) && !w->IsDisabled()) return dynamic_cast<Menu*>(w);
    return nullptr;
}

Menu* MenuBar::MenuForAltKey(int virtualKey) const {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        auto* menu = dynamic_cast<Menu*>(w);
        if (menu != nullptr && !menu->IsDisabled() && menu->AnswersToAltKey(virtualKey)) return menu;
    }
    return nullptr;
}

Menu* MenuBar::NeighbourMenu(Menu* menu, int direction) const {
    const int count = children->Count();
    Window* w = menu;
    for (int step = 0; step < count; ++step) {
        if (direction > 0) w = w->NextInList() != nullptr ? w->NextInList() : children->Head();
        else w = w->PreviousInList() != nullptr ? w->PreviousInList() : children->Tail();
        auto* candidate = dynamic_cast<Menu*>(w);
        if (candidate != nullptr && !candidate->IsDisabled() && candidate->ItemCount() > 0) return candidate;
    }
    return menu;
}

void MenuBar::SwitchTo(Menu* menu, bool highlightFirst) {
    Menu* current = OpenMenu();
    if (current != nullptr && current != menu) current->ClosePanel();
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (auto* other = dynamic_cast<Menu*>(w); other != nullptr && other != menu) other->SetHover(false);
    if (menu->OpenPanel() && highlightFirst) menu->DropDown()->Highlight(menu->DropDown()->NeighbourItem(1));
}

void MenuBar::UpdateHover(int px, int py) {
    Menu* under = TitleAt(px, py);
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (auto* menu = dynamic_cast<Menu*>(w)) menu->SetHover(menu == under);
}

void MenuBar::Choose(Menu* open, MenuItem* item) {
    ToolkitEvent& e = CurrentEvent();
    const int command = item->CommandId();
    open->ClosePanel();
    open->SetHover(false);
    e.type = kEventCommand;
    e.sourceId = command;
    e.keyKind = kKeyNone;
    e.mouseEvent = kMouseNone;
}

void MenuBar::HandleEvent() {
    tookEvent = false;
    if (disabled) return;
    Menu* open = OpenMenu();
    // A drop-down list elsewhere holds the input while its list is open.
    if (ToolkitMenuOpen() && open == nullptr) {
        active = false;
        return;
    }
    active = true;
    if (HandleMenuKeyTap(open)) return;
    if (open != nullptr) HandleWhileOpen(open);
    else HandleWhileClosed();
}

bool MenuBar::HandleMenuKeyTap(Menu* open) {
    ToolkitEvent& e = CurrentEvent();
    const bool tap = (e.type == kEventAltUp && altAlone) || (e.type == kEventAltDown && e.timerId == VK_F10);
    if (e.type == kEventAltDown) altAlone = e.timerId == VK_MENU;
    else if (e.type != kEventAltUp && (e.type != kEventNone || e.keyKind != kKeyNone || e.mouseEvent != kMouseNone))
        altAlone = false;
    if (!tap) return false;
    altAlone = false;
    e.type = kEventNone;
    tookEvent = true;
    if (open != nullptr) {
        open->ClosePanel();
        return true;
    }
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        auto* menu = dynamic_cast<Menu*>(w);
        if (menu != nullptr && !menu->IsDisabled() && menu->ItemCount() > 0) {
            SwitchTo(menu, true);
            break;
        }
    }
    return true;
}

void MenuBar::HandleWhileClosed() {
    ToolkitEvent& e = CurrentEvent();
    if (e.mouseEvent == kMouseMove) UpdateHover(e.mouseX, e.mouseY);
    if (e.mouseEvent == kMouseLeftPressed) {
        if (Menu* menu = TitleAt(e.mouseX, e.mouseY)) {
            SwitchTo(menu, false);
            e.mouseEvent = kMouseNone;
            tookEvent = true;
        }
    } else if (e.type == kEventAltDown) {
        if (Menu* menu = MenuForAltKey(static_cast<int>(e.timerId))) {
            SwitchTo(menu, true);
            e.type = kEventNone;
            tookEvent = true;
        }
    }
}

void MenuBar::HandleWhileOpen(Menu* open) {
    ToolkitEvent& e = CurrentEvent();
    MenuPanel* panel = open->DropDown();
    const int mx = e.mouseX, my = e.mouseY;
    Menu* title = TitleAt(mx, my);
    MenuItem* item = panel->Covers(mx, my) ? panel->ItemAt(mx, my) : nullptr;
    const bool usable = item != nullptr && !item->IsDisabled();
    tookEvent = true;
    switch (e.mouseEvent) {
        case kMouseMove:
        case kMouseLeftHeld:
            if (title != nullptr && title != open) {
                SwitchTo(title, false);
                return;
            }
            if (panel->Covers(mx, my)) panel->Highlight(usable ? item : nullptr);
            break;
        case kMouseLeftPressed:
        case kMouseRightPressed:
            e.mouseEvent = kMouseNone;  // the press belongs to the menu whatever it hits
            if (title == open) {
                open->ClosePanel();
            } else if (title != nullptr) {
                SwitchTo(title, false);
            } else if (usable) {
                panel->Highlight(item);
                item->SetPressed(1);
                item->Draw();
            } else if (!panel->Covers(mx, my)) {
                open->ClosePanel();
                UpdateHover(mx, my);
            }
            return;
        case kMouseLeftReleased:
            e.mouseEvent = kMouseNone;
            if (usable) {
                Choose(open, item);
                return;
            }
            break;
        default: break;
    }
    HandleKeyWhileOpen(open);
}

void MenuBar::HandleKeyWhileOpen(Menu* open) {
    ToolkitEvent& e = CurrentEvent();
    MenuPanel* panel = open->DropDown();
    if (e.type == kEventAltDown) {
        if (Menu* menu = MenuForAltKey(static_cast<int>(e.timerId))) {
            if (menu == open) open->ClosePanel();
            else SwitchTo(menu, true);
            e.type = kEventNone;
        }
        return;
    }
    if (e.keyKind != kKeyDown) return;
    const int type = e.type;
    const int key = e.keyChar;
    // Every key belongs to the open menu; none reaches the table or another control.
    e.keyKind = kKeyNone;
    e.type = kEventNone;
    if (key == kKeyEscape) {
        open->ClosePanel();
    } else if (type == kEventUp || type == kEventDown) {
        panel->Highlight(panel->NeighbourItem(type == kEventDown ? 1 : -1));
    } else if (type == kEventLeft || type == kEventRight) {
        Menu* next = NeighbourMenu(open, type == kEventRight ? 1 : -1);
        if (next != open) SwitchTo(next, true);
    } else if (key == kKeyEnter) {
        if (panel->Highlighted() != nullptr) Choose(open, panel->Highlighted());
    } else if (type == kEventNone) {
        for (Window* w = panel->Children()->Head(); w != nullptr; w = w->NextInList()) {
            auto* candidate = dynamic_cast<MenuItem*>(w);
            if (candidate != nullptr && !candidate->IsDisabled() && candidate->AnswersToKey(key)) {
                Choose(open, candidate);
                return;
            }
        }
    }
}
