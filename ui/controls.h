// The controls dialogs and the game screen place inside their panels. Every constructor takes
// the parent first and coordinates relative to the parent's top-left, and adds the control to the
// parent's child list.
//
// Events they produce (in the current event): type 4 (focus request) with the control's id when
// the left button goes down on it, type 1 (command) when it is activated, type 3 when the right
// button goes down on it. Disabled controls ignore everything, and while a drop-down is open
// (ToolkitMenuOpen) every other control goes inactive.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/toolkit.h"
#include "ui/window.h"

// A caption as passed ("&Restart") becomes the shown text ("Restart") and a hot key ('R' at
// position 0, also answering to 'r'). A caption without "&" has no hot key (position -1).
struct Caption {
    std::string text;
    int hotKeyPosition = -1;
    int hotKey = 0;
    int otherCaseHotKey = 0;
};
Caption ParseCaption(std::string_view caption);

// Push button drawn from the two button faces in the art buffer (x 0..205 normal and 206..411
// pressed, rows 628..734), or plainly when the art buffer is missing. The pattern every clickable
// control follows: press arms it, release inside activates it, release outside does not.
class Button : public Control {
public:
    Button(Window* parent, int x, int y, int width, int height, int artBuffer, std::string_view caption);

    void HandleEvent() override;
    void Draw() override;
    void SetText(std::string_view caption) override;

    bool IsHovering() const { return hover; }
    int HotKey() const { return hotKey; }

protected:
    // The press/hover/release/key handling shared by every button-like control.
    void HandlePushEvent();
    virtual void PlayClick();
    void DrawFace(bool pressedFace);

    int artBuffer;
    bool hover = false;
    bool saveUnderDone = false;
    int hotKeyPosition = -1;
    int hotKey = 0;
    int otherCaseHotKey = 0;
};

struct ArtCell {
    int x = 0, y = 0;
};

// A button whose looks are whole pictures: one cell of the art buffer per state, copied
// transparently over what was under the button (saved before its first drawing).
class ImageButton : public Button {
public:
    ImageButton(Window* parent, int x, int y, int width, int height, int artBuffer, ArtCell normal, ArtCell hover,
                ArtCell disabled, ArtCell pressed);
    void Draw() override;

private:
    ArtCell normalCell, hoverCell, disabledCell, pressedCell;
    bool backgroundSaved = false;
};

// Static text of up to five lines, 14 pixels apart, each with its top at the line's position.
// Its own width and height are 0; Erase paints its text area with the parent's background.
class Label : public Control {
public:
    static constexpr int kMaxLines = 5;
    // justification: -1 left edge at x, 0 centred on x, 1 right edge at x. Further lines may be null.
    Label(Window* parent, int x, int y, int justification, const char* text, const char* line2 = nullptr,
          const char* line3 = nullptr, const char* line4 = nullptr, const char* line5 = nullptr);

    void HandleEvent() override {}
    void Draw() override;
    void Erase() override;
    void SetText(std::string_view value) override;
    void SetLine(int index, std::string_view value);  // index 0..4; 0 is the text
    const std::string& Line(int index) const;
    // The rectangle its text covers on the screen.
    void Extent(int* minx, int* maxx, int* miny, int* maxy) const;

private:

    int justification;
    std::string lines[kMaxLines];
    int lineCount = 1;
};

// A check box: a 13 x 13 sunken box with the caption at its right, wrapped at a space into two
// lines when wider than the width limit.
class CheckBox : public Control {
public:
    CheckBox(Window* parent, int x, int y, std::string_view caption, int style = 1, int widthLimit = 800);

    void HandleEvent() override;
    void Draw() override;

    int HotKey() const { return hotKey; }
    // The caption's lines: two when it was wrapped at the width limit.
    int LineCount() const { return lineCount; }

protected:
    // Click or Space; hot key (alone or with Alt). A check box toggles in both cases.
    virtual void Activate() { checked = !checked; }
    virtual void DrawMark();
    void DrawCaption();
    bool HotKeyTyped() const;

    static constexpr int kBoxSize = 13;
    static constexpr int kCaptionOffset = 17;

    std::string lines[2];
    int lineCount = 1;
    int hotKeyPosition = -1;
    int hotKey = 0;
    int otherCaseHotKey = 0;
};

// One choice of an OptionGroup: a round mark; clicking it checks it, and the group unchecks
// the others.
class OptionButton : public CheckBox {
public:
    OptionButton(Window* group, int x, int y, std::string_view caption, int style = 1, int widthLimit = 800);
    void HandleEvent() override;

protected:
    void Activate() override { checked = true; }
    void DrawMark() override;
};

// Holds option buttons (its children) so that exactly one stays checked. Up and Down (or Left
// and Right) move the check to the neighbouring option while the group has focus.
class OptionGroup : public CompositeControl {
public:
    OptionGroup(Window* parent, int x, int y);

    void HandleEvent() override;
    void Draw() override;
    void SetFocus(int state) override;
    void SetDisabled(int flag) override;

    // Makes the option the checked one (and unchecks the rest).
    void Check(Window* option);
    Window* CheckedOption() const;
    int CheckedIndex() const;  // -1 when none
    void CheckIndex(int index);

private:
    void MoveCheck(int direction);
};

// A frame with a caption on its top edge; style value 1 draws the etched frame.
class GroupBox : public Control {
public:
    GroupBox(Window* parent, int x, int y, int width, int height, std::string_view caption, int style = 1,
             int unused = 1);
    void HandleEvent() override {}
    void Draw() override;
};

// A one-line text field 21 pixels high holding up to min(length, 100) characters, with a caret
// moved by Left, Right, Home and End. Enter gives a command. The caption only gives a hot key.
// Ctrl+A selects the whole text; typing, Backspace or Delete then replace the selection. A key
// the field cannot take (a character past its length, a non-digit in a digits-only field) is
// refused at once with the refusal sound.
class EditField : public Control {
public:
    static constexpr int kHeight = 21;
    static constexpr int kMaxCharacters = 100;

    EditField(Window* parent, int x, int y, int width, int length, std::string_view caption, int style = 1);

    void HandleEvent() override;
    void Draw() override;
    void SetText(std::string_view value) override;
    int Caret() const { return caret; }

    void SetDigitsOnly(bool digits) { digitsOnly = digits; }
    void SelectAll();
    // The selected characters [SelectionStart, SelectionEnd); empty when equal.
    int SelectionStart() const { return std::min(anchor, caret); }
    int SelectionEnd() const { return std::max(anchor, caret); }
    bool HasSelection() const { return anchor != caret; }

private:
    int CaretFromX(int px) const;
    // Handles a key while focused; false when the key is not the field's.
    bool TakeKey(ToolkitEvent& e);
    void DeleteSelection();
    void Refuse() const;

    int maxCharacters;
    int caret = 0;
    int anchor = 0;  // the other end of the selection; equal to caret when nothing is selected
    int scroll = 0;  // first character shown
    int hotKey = 0;
    int otherCaseHotKey = 0;
    bool digitsOnly = false;
};

// The spin field's arrow: a small raised face with a 9 x 4 arrow sprite (its second sprite when
// disabled). Behaves as a button without caption and without the click sound.
class ArrowButton : public Button {
public:
    ArrowButton(Window* parent, int x, int y, int width, int height, const char* sprite, const char* disabledSprite,
                bool pointsUp);
    void Draw() override;

protected:
    void PlayClick() override {}

private:
    std::string spriteName, disabledSpriteName;
    bool pointsUp;
};

// A numeric field with up and down arrows. Holding an arrow steps once at once, then every
// 500 ms, and every 50 ms after the fifth repeat (timer 8000 on the main window).
class SpinField : public CompositeControl {
public:
    static constexpr uintptr_t kRepeatTimerId = 8000;
    static constexpr uint32_t kFirstRepeatMs = 500;
    static constexpr uint32_t kFastRepeatMs = 50;
    static constexpr int kSlowRepeats = 5;

    SpinField(Window* parent, int x, int y, int fieldWidth, std::string_view caption, int style = 1);
    ~SpinField() override;

    void HandleEvent() override;
    void Draw() override;
    void SetDisabled(int flag) override;
    void SetFocus(int state) override;

    void SetRange(int minimum, int maximum, int step);
    void SetValue(int value);
    int GetValue() const;

    EditField* Field() const { return edit; }
    ArrowButton* UpArrow() const { return up; }
    ArrowButton* DownArrow() const { return down; }

private:
    int ReadValue() const;
    void WriteValue();
    void Step(int direction);
    void StopRepeat();

    int value = 0;
    EditField* edit;
    ArrowButton* up;
    ArrowButton* down;
    int minimum = -1000, maximum = 1000, step = 1;
    bool repeating = false;
    int repeats = 0;
};

// A closed field showing the selected item, with a drop button; a press opens the list of items
// below it, a press on an item chooses it (command event), a press elsewhere closes the list.
class DropDownList : public Control {
public:
    static constexpr int kHeight = 21;
    static constexpr int kMaxItems = 1024;
    static constexpr int kButtonWidth = 17;
    static constexpr int kRowHeight = 12;
    static constexpr int kListMargin = 5;

    DropDownList(Window* parent, int x, int y, int width, int maxTextLength, int style = 1);

    void HandleEvent() override;
    void Draw() override;
    void Close() override;

    bool AddItem(std::string_view item);  // false when full
    void ClearItems();
    int ItemCount() const { return static_cast<int>(items.size()); }
    const std::string& Item(int index) const { return items.at(static_cast<size_t>(index)); }
    void SetSelectedIndex(int index);
    int SelectedIndex() const { return selected; }
    bool IsListOpen() const { return listOpen; }

private:
    void OpenList();
    void CloseList();
    void DrawList();
    void ListRect(int* minx, int* maxx, int* miny, int* maxy) const;

    std::vector<std::string> items;
    int maxTextLength;
    int selected = -1;
    int highlighted = -1;
    bool listOpen = false;
    std::vector<uint8_t> listSaved;
};

// --- The in-game menu bar ---
//
// A MenuBar runs along the top of its parent (the game's root panel) and holds Menus; each Menu
// is a title on the bar and owns a MenuPanel, the drop-down panel that holds its MenuItems. The
// bar drives everything: a press on a title (or Alt with the title's hot key) opens its panel and
// sets the toolkit's menu-open flag, so every other control stays inactive until it closes;
// choosing an item closes the panel and leaves a command event whose source id is the item's
// command id. Escape, a press outside, or a press on the open title closes the panel again.
//
// The bar draws into the screen buffer over the table: the game draws it after the table, and
// an open panel saves and restores what it covers.

class Menu;
class MenuPanel;

// One command of a drop-down panel. Placed by its panel, one row below the last one.
class MenuItem : public Control {
public:
    static constexpr int kStyle = 2;
    static constexpr int kHeight = 17;

    // panel is the MenuPanel of a Menu (normally reached through Menu::AddItem). A tab in the
    // caption starts the item's shortcut key, shown right-aligned ("&Undo\tCtrl+Z").
    MenuItem(Window* panel, std::string_view caption, int commandId);

    void HandleEvent() override {}  // the menu bar drives its items
    void Draw() override;
    void SetText(std::string_view caption) override;

    int CommandId() const { return commandId; }
    const std::string& Shortcut() const { return shortcut; }
    // The item begins a group: a fine rule is drawn along its top, inside its row, so the
    // items keep their places.
    MenuItem* StartGroup() {
        groupStart = true;
        return this;
    }
    bool AnswersToKey(int key) const { return hotKey != 0 && (key == hotKey || key == otherCaseHotKey); }

private:
    int commandId;
    int hotKeyPosition = -1;
    int hotKey = 0;
    int otherCaseHotKey = 0;
    std::string shortcut;
    bool groupStart = false;
};

// The drop-down panel of a Menu: directly below its title, as wide as asked, as high as its
// items need (0 without items), moved left when it would pass the screen's right edge.
class MenuPanel : public Panel {
public:
    MenuPanel(Window* menu, int width);

    void Open() override;
    void Close() override;
    void HandleEvent() override {}  // the menu bar drives the panel
    void Draw() override;
    void Repaint() override { Draw(); }
    int AddChild(Window* window) override;
    void RemoveChild(Window* window) override;
    void PaintBackground(int minx, int maxx, int miny, int maxy) override;

    // Places the panel under its title and the items in their rows; grows or shrinks it.
    void Layout();
    MenuItem* ItemAt(int px, int py) const;
    MenuItem* Highlighted() const { return highlighted; }
    // Moves the highlight (focus 1) to the item, or removes it for null; redraws what changed.
    void Highlight(MenuItem* item);
    // The next enabled item after (direction 1) or before (-1) the highlighted one, wrapping.
    MenuItem* NeighbourItem(int direction) const;
    bool Covers(int px, int py) const;

private:
    void DrawPicture();

    MenuItem* highlighted = nullptr;
};

// A title on the menu bar with its drop-down panel. The title is 96 x 29 at y = 2 of the bar.
class Menu : public Control {
public:
    static constexpr int kTitleTop = 2;
    static constexpr int kDefaultPanelWidth = 199;

    Menu(Window* bar, int x, std::string_view caption, int panelWidth = kDefaultPanelWidth);
    ~Menu() override;

    void HandleEvent() override {}  // the menu bar drives its menus
    void Draw() override;
    void Close() override;
    void OffsetBy(int dx, int dy) override;
    void SetText(std::string_view caption) override;
    bool IsDirty() const override;
    void ClearDirty() override;

    // Items are owned by the panel; RemoveAllItems lets a menu be built again (the pause item).
    MenuItem* AddItem(std::string_view caption, int commandId);
    void RemoveItem(MenuItem* item);
    void RemoveAllItems();
    int ItemCount() const;
    MenuItem* Item(int index) const;  // null outside 0..count-1

    MenuPanel* DropDown() const { return panel; }
    bool IsPanelOpen() const;
    // Opening needs at least one item; it sets the toolkit's menu-open flag, closing clears it.
    bool OpenPanel();
    void ClosePanel();
    void SetHover(bool value);
    bool IsHovering() const { return hover; }
    bool AnswersToAltKey(int virtualKey) const {
        return hotKey != 0 && (virtualKey == hotKey || virtualKey == otherCaseHotKey);
    }
    // The bar redraws its strip under the titles: the title must take its background afresh.
    void ForgetBackground() { backgroundSaved = false; }

private:
    MenuPanel* panel = nullptr;
    bool hover = false;
    int hotKeyPosition = -1;
    int hotKey = 0;
    int otherCaseHotKey = 0;
    std::vector<uint8_t> background;  // what lies under the title, for its transparent cells
    bool backgroundSaved = false;
};

// The bar strip, 29 pixels high, across the top of its parent; constructing it moves the
// parent's client top down by that height. Style bit 1, so Tab passes over it.
class MenuBar : public CompositeControl {
public:
    MenuBar(Window* parent);

    void HandleEvent() override;
    void Draw() override;
    void Close() override;

    // Makes a menu with its title at x on the bar (Menu's constructor, owned by the bar).
    Menu* AddMenu(int x, std::string_view caption, int panelWidth = Menu::kDefaultPanelWidth);
    Menu* OpenMenu() const;  // the menu whose panel is open, or null
    void CloseMenus();
    // True when the last event went to the menu (opening, closing, moving in it, choosing), so
    // the owner of the screen does not act on the same input again.
    bool TookLastEvent() const { return tookEvent; }

private:
    Menu* TitleAt(int px, int py) const;
    Menu* MenuForAltKey(int virtualKey) const;
    Menu* NeighbourMenu(Menu* menu, int direction) const;
    void SwitchTo(Menu* menu, bool highlightFirst);
    void UpdateHover(int px, int py);
    void HandleWhileClosed();
    void HandleWhileOpen(Menu* open);
    void HandleKeyWhileOpen(Menu* open);
    void Choose(Menu* open, MenuItem* item);
    // Alt pressed and released on its own (or F10) opens the first menu, or closes the open one.
    bool HandleMenuKeyTap(Menu* open);

    bool tookEvent = false;
    bool altAlone = false;  // Alt is down and no other key has been pressed with it
};
