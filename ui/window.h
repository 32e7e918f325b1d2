// The toolkit's class family. A Window is anything drawn by the toolkit; a Control is placed
// inside a panel (or a composite control) and is positioned relative to it; a Panel is a
// top-level window with a list of child controls and a list of sub-panels.
//
// How a frame of interaction goes: the owner of the screen builds the current event (toolkit.h)
// and calls HandleEvent on its top panel. The panel offers the event to its focused child first,
// then to every other child in list order; each control decides by itself (hit test, focus, hot
// key) whether the event concerns it, and may rewrite the event's type and source id. Controls
// draw straight into the screen buffer whenever their look changes, queue the rectangle for
// presentation and mark themselves dirty; the owner then asks the top panel IsDirty, presents
// the queued rectangles and calls ClearDirty.
//
// Ownership: a control adds itself to its parent's child list in its constructor and removes
// itself in its destructor. Windows made with Create<T>(...) are owned by the window that made
// them and destroyed with it (dialogs own their controls this way). A window whose parent goes
// away first simply loses its parent.
//
// The operations are declared in a fixed order, the same for the whole family; those that vary
// between its members are virtual.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "draw/draw.h"

class Window;
class WindowList;

// Bytes of a save-under block of width x height logical pixels: larger at depths above 24 bits,
// as the drawing layer asks.
size_t SaveBlockSize(int width, int height);

// After the screen under them was drawn again from scratch (at a new device scale): every open
// panel that keeps what it covers takes it again and draws itself, the earliest opened first.
void RedrawOpenPanels();
// The panels open now that keep what they cover (dialogs, message boxes), the earliest first.
const std::vector<Window*>& OpenPanels();
// Panels that keep a save-under of their own (the drop-down menus) join and leave the list here.
void RememberOpenPanel(Window* panel);
void ForgetOpenPanel(Window* panel);

class Window {
public:
    Window(Window* parent, int x, int y, int width, int height, int style);
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    virtual ~Window();
    virtual void Open() = 0;
    virtual void Close() = 0;
    // Reacts to the current event (toolkit.h).
    virtual void HandleEvent() = 0;
    // Draws into the screen buffer and queues the rectangle for presentation.
    virtual void Draw() = 0;
    // Called on a parent panel when a child panel opens or closes over it.
    virtual void Repaint() = 0;
    virtual void SaveUnder();
    virtual void RestoreUnder();
    void SaveUnderInclusive();
    void RestoreUnderInclusive();
    virtual void OffsetBy(int dx, int dy) = 0;
    virtual void PlaceAt(int x, int y) = 0;
    virtual void Center() = 0;
    virtual void CenterHorizontally() = 0;
    virtual void CenterVertically() = 0;
    virtual int ClientLeft() const = 0;
    virtual int ClientRight() const = 0;
    virtual int ClientTop() const = 0;
    virtual int ClientBottom() const = 0;
    virtual void SetClientLeft(int value) = 0;
    virtual void SetClientRight(int value) = 0;
    virtual void SetClientTop(int value) = 0;
    virtual void SetClientBottom(int value) = 0;
    int GetId() const { return id; }
    int GetX() const { return x; }
    int GetY() const { return y; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetStyle() const { return style; }
    void SetParent(Window* window) { parent = window; }
    void SetId(int value) { id = value; }
    void SetX(int value) { x = value; }
    void SetY(int value) { y = value; }
    void SetWidth(int value) { width = value; }
    void SetHeight(int value) { height = value; }
    void SetActive(int flag) { active = flag != 0; }
    void SetStyle(int flags) { style = flags; }
    // 0 not focused, 1 focused, 2 armed (the mouse went down on it and is still down).
    virtual void SetFocus(int state);
    int GetFocus() const { return focus; }
    bool IsDisabled() const { return disabled; }
    virtual void SetDisabled(int flag);
    virtual void SetText(std::string_view value) { text = value; }
    const std::string& GetText() const { return text; }
    int GetTextLength() const { return static_cast<int>(text.size()); }
    bool IsPressed() const { return pressed; }
    bool IsChecked() const { return checked; }
    void SetPressed(int flag);
    void SetChecked(int flag);
    bool IsActive() const { return active; }
    bool IsOpen() const { return open; }
    bool IsClosed() const { return !open; }
    // Redraws when dirty.
    virtual void Refresh() = 0;
    // Adding a window that is already a member is refused with result 1 (0 on success).
    virtual int AddChild(Window* window) = 0;
    virtual void RemoveChild(Window* window) = 0;
    virtual int AddPanel(Window* window) = 0;
    virtual void RemovePanel(Window* window) = 0;
    virtual Pixel BackgroundColor() const;
    virtual void Erase() = 0;
    // Own dirty flag, else whether any member of the child or sub-panel list is dirty.
    virtual bool IsDirty() const;
    virtual void ClearDirty();

    // Paints the rectangle with what lies behind this window's children (the panel's face);
    // controls that erase themselves or interrupt a frame line ask their parent for it.
    virtual void PaintBackground(int minx, int maxx, int miny, int maxy);

    // --- Helpers (not part of the operation order) ---
    Window* GetParent() const { return parent; }
    WindowList* Children() const { return children.get(); }
    WindowList* Panels() const { return panels.get(); }
    Window* NextInList() const { return next; }
    Window* PreviousInList() const { return previous; }
    bool HitTest(int px, int py) const;
    void MarkDirty() { dirty = true; }
    bool HasSavedPixels() const { return saveState == 0; }
    bool SavedUnderIsCurrent() const { return BlockIsCurrent(savedPixels.data()); }

    // Makes a window owned by this one: constructed with this window as its parent and
    // destroyed with it.
    template <typename T, typename... Args>
    T* Create(Args&&... args) {
        auto made = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* result = made.get();
        owned.push_back(std::move(made));
        return result;
    }
    // Destroys a window made with Create before its owner goes (a message box's buttons).
    void DestroyOwned(Window* window);

protected:
    // Queues this window's rectangle for presentation and marks it dirty.
    void QueueSelf();

    Window* parent;
    Window* previous = nullptr;
    Window* next = nullptr;
    std::unique_ptr<WindowList> children;
    std::unique_ptr<WindowList> panels;
    int id;
    int x, y;
    int width, height;
    bool active = false;
    bool disabled = false;
    int focus = 0;
    bool open = false;
    int style;
    bool dirty = false;
    bool pressed = false;
    bool checked = false;
    std::string text;
    std::vector<uint8_t> savedPixels;
    int saveState = -1;  // -1 nothing saved, 0 pixels saved

private:
    friend class WindowList;
    void DetachFromParent();
    std::vector<std::unique_ptr<Window>> owned;
};

// An intrusive list of windows through their previous/next links, with an iteration cursor and
// a focused member. A window is a member of at most one list.
class WindowList {
public:
    WindowList() = default;
    WindowList(const WindowList&) = delete;
    WindowList& operator=(const WindowList&) = delete;
    ~WindowList();

    // Inserts after the cursor (at the tail when the cursor is there) and moves the cursor to
    // the new member. The first member also becomes the focused one. False if already a member.
    bool Append(Window* window);
    // Removes the member at the cursor. When it was focused, it gets SetFocus(0) and focus moves
    // to the next member (wrapping to the head).
    void RemoveAtCursor();
    // Removes a given member (with the same focus rule); the cursor returns to the head.
    void Remove(Window* window);
    bool CursorToHead();
    bool CursorToTail();
    bool CursorToNext();      // fails at the tail
    bool CursorToPrevious();  // fails at the head
    bool CursorToFocus();
    void FocusCursor();
    bool FocusMember(Window* window);
    void FocusNext();      // wraps from the tail to the head
    void FocusPrevious();  // wraps from the head to the tail
    bool Contains(const Window* window) const;

    Window* Head() const { return head; }
    Window* Tail() const { return tail; }
    Window* Cursor() const { return cursor; }
    Window* Focused() const { return focused; }
    int Count() const;

private:
    friend class Window;
    void Unlink(Window* window, bool notifyFocus);

    Window* head = nullptr;
    Window* tail = nullptr;
    Window* cursor = nullptr;
    Window* focused = nullptr;
};

// Everything placed inside a panel or a composite control. The constructor takes coordinates
// relative to the parent's top-left and adds the control to the parent's child list.
class Control : public Window {
public:
    Control(Window* parent, int x, int y, int width, int height, int style = 0);

    void Open() override;
    void Close() override;
    void Repaint() override { Draw(); }
    void OffsetBy(int dx, int dy) override;
    void PlaceAt(int x, int y) override;
    void Center() override;
    void CenterHorizontally() override;
    void CenterVertically() override;
    int ClientLeft() const override { return x; }
    int ClientRight() const override { return x + width - 1; }
    int ClientTop() const override { return y; }
    int ClientBottom() const override { return y + height - 1; }
    void SetClientLeft(int) override {}
    void SetClientRight(int) override {}
    void SetClientTop(int) override {}
    void SetClientBottom(int) override {}
    void Refresh() override;
    int AddChild(Window*) override { return 0; }
    void RemoveChild(Window*) override {}
    int AddPanel(Window*) override { return 0; }
    void RemovePanel(Window*) override {}
    void Erase() override {}
};

// A control made of other controls (spin field, option group, menu bar): it keeps its own child
// list, and moving it moves its parts.
class CompositeControl : public Control {
public:
    CompositeControl(Window* parent, int x, int y, int width, int height, int style = 0);

    void Open() override;
    void Close() override;
    void OffsetBy(int dx, int dy) override;
    void PlaceAt(int x, int y) override;
    void Refresh() override;
    int AddChild(Window* window) override;
    void RemoveChild(Window* window) override;

protected:
    // Offers the current event to every part, the focused one first, as a panel does.
    void DispatchToParts();
    // Grows the control's rectangle to cover every part (so the hit test covers them).
    void FitToParts();
    void DrawParts();
};

// A top-level window with a child list and a sub-panel list. Coordinates given to the
// constructor are absolute screen coordinates.
class Panel : public Window {
public:
    Panel(Window* parent, int x, int y, int width, int height, int style = 0);

    void Open() override;
    void Close() override;
    void HandleEvent() override;
    void OffsetBy(int dx, int dy) override;
    void PlaceAt(int x, int y) override;
    void Center() override;
    void CenterHorizontally() override;
    void CenterVertically() override;
    int ClientLeft() const override { return clientLeft; }
    int ClientRight() const override { return clientRight; }
    int ClientTop() const override { return clientTop; }
    int ClientBottom() const override { return clientBottom; }
    void SetClientLeft(int value) override { clientLeft = value; }
    void SetClientRight(int value) override { clientRight = value; }
    void SetClientTop(int value) override { clientTop = value; }
    void SetClientBottom(int value) override { clientBottom = value; }
    void Refresh() override;
    int AddChild(Window* window) override;
    void RemoveChild(Window* window) override;
    int AddPanel(Window* window) override;
    void RemovePanel(Window* window) override;
    void Erase() override {}

    // Draws every child in list order.
    void DrawChildren();

    // Style value that keeps the parent active while this panel is open.
    static constexpr int kStyleKeepParentActive = 0x2000;

protected:
    // Moves the client rectangle and every child (not the panel itself).
    void MoveContents(int dx, int dy);

    int reserved = 0;
    int givenX, givenY, givenWidth, givenHeight;
    int clientLeft, clientRight, clientTop, clientBottom;
};

// The panel behind the selection screen and each game, covering the whole screen. The screen
// behind it is drawn by the shell or the game, so drawing it draws nothing.
class RootPanel : public Panel {
public:
    RootPanel();
    void Draw() override {}
    void Repaint() override { Draw(); }
};

// Style bit of a child that Tab passes over (the in-game menu bar).
constexpr int kStyleSkipOnTab = 1;
