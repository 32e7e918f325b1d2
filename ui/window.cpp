#include "ui/window.h"

#include <algorithm>

#include "ui/toolkit.h"

size_t SaveBlockSize(int width, int height) {
    size_t size = ImageSize(width, height);
    if (DisplayDepth() > 24) size = static_cast<size_t>(static_cast<double>(size) * 1.35);
    return size;
}

namespace {

int lastWindowId = 0;

template <typename Visit>
void ForEachMember(const WindowList* list, Visit visit) {
    if (list == nullptr) return;
    // The next member is taken first, so a visit may remove the member it is given.
    for (Window* w = list->Head(); w != nullptr;) {
        Window* following = w->NextInList();
        visit(w);
        w = following;
    }
}

// Open panels holding a save-under, in the order they opened.
std::vector<Window*> openPanels;

}  // namespace

void ForgetOpenPanel(Window* panel) { std::erase(openPanels, panel); }

void RememberOpenPanel(Window* panel) {
    ForgetOpenPanel(panel);
    openPanels.push_back(panel);
}

const std::vector<Window*>& OpenPanels() { return openPanels; }

void RedrawOpenPanels() {
    for (Window* panel : openPanels) {
        panel->SaveUnder();
        if (panel->IsActive()) panel->Draw();
        else panel->Repaint();
    }
}

// --- Window ---

Window::Window(Window* parentWindow, int left, int top, int w, int h, int styleFlags)
    : parent(parentWindow), id(++lastWindowId), x(left), y(top), width(w), height(h), style(styleFlags) {
    SelectScreenBuffer();
}

Window::~Window() {
    ForgetOpenPanel(this);
    // Owned windows go first; they unlink themselves from this window's lists.
    while (!owned.empty()) owned.pop_back();
    DetachFromParent();
    for (WindowList* list : {children.get(), panels.get()}) {
        if (list == nullptr) continue;
        while (Window* member = list->Head()) {
            member->parent = nullptr;
            list->Unlink(member, false);
        }
    }
}

void Window::DetachFromParent() {
    if (parent == nullptr) return;
    for (WindowList* list : {parent->children.get(), parent->panels.get()})
        if (list != nullptr && list->Contains(this)) list->Unlink(this, false);
    parent = nullptr;
}

void Window::DestroyOwned(Window* window) {
    auto found = std::find_if(owned.begin(), owned.end(), [window](const auto& p) { return p.get() == window; });
    if (found != owned.end()) owned.erase(found);
}

void Window::SaveUnder() {
    savedPixels.assign(SaveBlockSize(width + 1, height + 1), 0);
    SelectScreenBuffer();
    GetBlock(savedPixels.data(), x, x + width - 1, y, y + height - 1);
    saveState = 0;
}

void Window::RestoreUnder() {
    if (saveState != 0) return;
    SelectScreenBuffer();
    PutBlock(savedPixels.data(), x, x + width - 1, y, y + height - 1);
    savedPixels.clear();
    savedPixels.shrink_to_fit();
    saveState = -1;
}

void Window::SaveUnderInclusive() {
    savedPixels.assign(SaveBlockSize(width + 1, height + 1), 0);
    SelectScreenBuffer();
    GetBlock(savedPixels.data(), x, x + width, y, y + height);
    saveState = 0;
}

void Window::RestoreUnderInclusive() {
    if (saveState != 0) return;
    SelectScreenBuffer();
    PutBlock(savedPixels.data(), x, x + width, y, y + height);
}

void Window::SetFocus(int state) {
    focus = state;
    dirty = true;
}

void Window::SetDisabled(int flag) {
    disabled = flag != 0;
    focus = 0;
}

void Window::SetPressed(int flag) {
    pressed = flag != 0;
    dirty = true;
}

void Window::SetChecked(int flag) {
    checked = flag != 0;
    dirty = true;
}

Pixel Window::BackgroundColor() const { return ToolkitColorValue(kColorBackground); }

bool Window::IsDirty() const {
    if (dirty) return true;
    bool any = false;
    ForEachMember(children.get(), [&any](Window* w) { any = any || w->IsDirty(); });
    ForEachMember(panels.get(), [&any](Window* w) { any = any || w->IsDirty(); });
    return any;
}

void Window::ClearDirty() {
    dirty = false;
    ForEachMember(children.get(), [](Window* w) { w->ClearDirty(); });
    ForEachMember(panels.get(), [](Window* w) { w->ClearDirty(); });
}

void Window::PaintBackground(int minx, int maxx, int miny, int maxy) {
    if (parent != nullptr) {
        parent->PaintBackground(minx, maxx, miny, maxy);
        return;
    }
    SelectScreenBuffer();
    SetColor(BackgroundColor());
    FillRect(minx, maxx, miny, maxy);
}

bool Window::HitTest(int px, int py) const { return PointInside(px, py, x, y, width, height); }

void Window::QueueSelf() {
    QueueRect(x, y, x + width - 1, y + height - 1);
    dirty = true;
}

// --- WindowList ---

WindowList::~WindowList() {
    while (head != nullptr) Unlink(head, false);
}

bool WindowList::Append(Window* window) {
    if (window == nullptr || Contains(window) || window->previous != nullptr || window->next != nullptr) return false;
    if (head == nullptr) {
        head = tail = window;
    } else {
        Window* after = (cursor != nullptr) ? cursor : tail;
        window->previous = after;
        window->next = after->next;
        if (after->next != nullptr) after->next->previous = window;
        else tail = window;
        after->next = window;
    }
    cursor = window;
    if (focused == nullptr) focused = head;
    return true;
}

void WindowList::Unlink(Window* window, bool notifyFocus) {
    if (window == focused) {
        Window* following = window->next != nullptr ? window->next : head;
        focused = (following == window) ? nullptr : following;
        if (notifyFocus) window->SetFocus(0);
    }
    if (cursor == window) cursor = window->next != nullptr ? window->next : window->previous;
    if (window->previous != nullptr) window->previous->next = window->next;
    else head = window->next;
    if (window->next != nullptr) window->next->previous = window->previous;
    else tail = window->previous;
    window->previous = window->next = nullptr;
    if (focused == window) focused = nullptr;
}

void WindowList::RemoveAtCursor() {
    if (cursor != nullptr) Unlink(cursor, true);
}

void WindowList::Remove(Window* window) {
    if (!Contains(window)) return;
    Unlink(window, true);
    cursor = head;
}

bool WindowList::CursorToHead() {
    cursor = head;
    return cursor != nullptr;
}

bool WindowList::CursorToTail() {
    cursor = tail;
    return cursor != nullptr;
}

bool WindowList::CursorToNext() {
    if (cursor == nullptr || cursor->next == nullptr) return false;
    cursor = cursor->next;
    return true;
}

bool WindowList::CursorToPrevious() {
    if (cursor == nullptr || cursor->previous == nullptr) return false;
    cursor = cursor->previous;
    return true;
}

bool WindowList::CursorToFocus() {
    if (focused == nullptr) return false;
    cursor = focused;
    return true;
}

void WindowList::FocusCursor() {
    if (cursor != nullptr) focused = cursor;
}

bool WindowList::FocusMember(Window* window) {
    if (!Contains(window)) return false;
    focused = window;
    return true;
}

void WindowList::FocusNext() {
    if (focused == nullptr) focused = head;
    else focused = focused->next != nullptr ? focused->next : head;
}

void WindowList::FocusPrevious() {
    if (focused == nullptr) focused = tail;
    else focused = focused->previous != nullptr ? focused->previous : tail;
}

bool WindowList::Contains(const Window* window) const {
    for (const Window* w = head; w != nullptr; w = w->next)
        if (w == window) return true;
    return false;
}

int WindowList::Count() const {
    int count = 0;
    for (const Window* w = head; w != nullptr; w = w->next) ++count;
    return count;
}

// --- Control ---

Control::Control(Window* parentWindow, int left, int top, int w, int h, int styleFlags)
    : Window(parentWindow, left + (parentWindow != nullptr ? parentWindow->GetX() : 0),
             top + (parentWindow != nullptr ? parentWindow->GetY() : 0), w, h, styleFlags) {
    if (parentWindow != nullptr) parentWindow->AddChild(this);
}

void Control::Open() {
    open = true;
    active = true;
}

void Control::Close() {
    open = false;
    active = false;
}

void Control::OffsetBy(int dx, int dy) {
    x += dx;
    y += dy;
}

void Control::PlaceAt(int px, int py) {
    x = px + (parent != nullptr ? parent->GetX() : 0);
    y = py + (parent != nullptr ? parent->GetY() : 0);
}

void Control::CenterHorizontally() {
    x = parent != nullptr ? parent->GetX() + (parent->GetWidth() - width) / 2 : (ScreenWidth() - 1 - width) / 2;
}

void Control::CenterVertically() {
    y = parent != nullptr ? parent->GetY() + (parent->GetHeight() - height) / 2 : (ScreenHeight() - 1 - height) / 2;
}

void Control::Center() {
    CenterHorizontally();
    CenterVertically();
}

void Control::Refresh() {
    if (!dirty) return;
    Draw();
    dirty = false;
}

// --- CompositeControl ---

CompositeControl::CompositeControl(Window* parentWindow, int left, int top, int w, int h, int styleFlags)
    : Control(parentWindow, left, top, w, h, styleFlags) {
    children = std::make_unique<WindowList>();
}

void CompositeControl::Open() {
    Control::Open();
    ForEachMember(children.get(), [](Window* w) { w->Open(); });
}

void CompositeControl::Close() {
    ForEachMember(children.get(), [](Window* w) { w->Close(); });
    Control::Close();
}

void CompositeControl::OffsetBy(int dx, int dy) {
    Control::OffsetBy(dx, dy);
    ForEachMember(children.get(), [dx, dy](Window* w) { w->OffsetBy(dx, dy); });
}

void CompositeControl::PlaceAt(int px, int py) {
    const int oldX = x, oldY = y;
    Control::PlaceAt(px, py);
    const int dx = x - oldX, dy = y - oldY;
    ForEachMember(children.get(), [dx, dy](Window* w) { w->OffsetBy(dx, dy); });
}

void CompositeControl::Refresh() {
    if (dirty) {
        Draw();
        dirty = false;
        return;
    }
    ForEachMember(children.get(), [](Window* w) { w->Refresh(); });
}

int CompositeControl::AddChild(Window* window) {
    if (!children->Append(window)) return 1;
    window->SetParent(this);
    return 0;
}

void CompositeControl::RemoveChild(Window* window) { children->Remove(window); }

void CompositeControl::DispatchToParts() {
    Window* focusedPart = children->Focused();
    if (focusedPart != nullptr) focusedPart->HandleEvent();
    ForEachMember(children.get(), [focusedPart](Window* w) {
        if (w != focusedPart) w->HandleEvent();
    });
}

void CompositeControl::FitToParts() {
    int right = x + width, bottom = y + height;
    ForEachMember(children.get(), [&](Window* w) {
        right = std::max(right, w->GetX() + w->GetWidth());
        bottom = std::max(bottom, w->GetY() + w->GetHeight());
    });
    width = right - x;
    height = bottom - y;
}

void CompositeControl::DrawParts() {
    ForEachMember(children.get(), [](Window* w) { w->Draw(); });
}

// --- Panel ---

Panel::Panel(Window* parentWindow, int left, int top, int w, int h, int styleFlags)
    : Window(parentWindow, left, top, w, h, styleFlags),
      givenX(left),
      givenY(top),
      givenWidth(w),
      givenHeight(h),
      clientLeft(left),
      clientRight(left + w - 1),
      clientTop(top),
      clientBottom(top + h - 1) {
    children = std::make_unique<WindowList>();
    panels = std::make_unique<WindowList>();
    if (parentWindow != nullptr) parentWindow->AddPanel(this);
}

void Panel::Open() {
    SelectScreenBuffer();
    if (parent != nullptr && (style & kStyleKeepParentActive) == 0) {
        parent->SetActive(0);
        parent->Repaint();
    }
    if (ToolkitFlagsInUse() & kToolkitPanelSaveUnder) SaveUnder();
    Window* focusedChild = children->Focused();
    ForEachMember(children.get(), [focusedChild](Window* w) {
        if (w == focusedChild && !w->IsDisabled()) w->SetFocus(1);
        w->Open();
    });
    active = true;
    Draw();
    open = true;
    dirty = true;
    ForgetOpenPanel(this);
    if (HasSavedPixels()) openPanels.push_back(this);
}

void Panel::Close() {
    ForgetOpenPanel(this);
    active = false;
    ForEachMember(children.get(), [](Window* w) { w->Close(); });
    if (ToolkitFlagsInUse() & kToolkitPanelSaveUnder) RestoreUnder();
    if (parent != nullptr && (style & kStyleKeepParentActive) == 0) {
        parent->SetActive(1);
        parent->Repaint();
    }
    open = false;
}

void Panel::HandleEvent() {
    Window* before = children->Focused();
    ToolkitEvent& e = CurrentEvent();
    if (active && open) {
        if (before != nullptr) before->HandleEvent();
        ForEachMember(children.get(), [before](Window* w) {
            if (w != before) w->HandleEvent();
        });

        const int count = children->Count();
        Window* current = children->Focused();
        if (e.type == kEventTab && current != nullptr && !((current->GetStyle() & kStyleSkipOnTab) && count == 1)) {
            current->SetFocus(0);
            current->Draw();
            // Bounded by the member count: a panel whose children are all disabled keeps still.
            for (int step = 0; step < count; ++step) {
                children->FocusNext();
                if (children->Focused()->GetStyle() & kStyleSkipOnTab) children->FocusNext();
                Window* reached = children->Focused();
                if (!reached->IsDisabled()) {
                    reached->SetFocus(1);
                    reached->Draw();
                    break;
                }
            }
        } else if (e.type == kEventShiftTab && current != nullptr) {
            current->SetFocus(0);
            if (!current->IsDisabled()) current->Draw();
            for (int step = 0; step < count; ++step) {
                children->FocusPrevious();
                Window* reached = children->Focused();
                if (!reached->IsDisabled()) {
                    reached->SetFocus(1);
                    reached->Draw();
                    break;
                }
            }
        } else if (e.type == kEventFocusRequest) {
            Window* target = nullptr;
            ForEachMember(children.get(), [&target, &e](Window* w) {
                if (w->GetId() == e.sourceId) target = w;
            });
            if (target != nullptr) {
                children->FocusMember(target);
                // The enclosing panel focuses this one in turn.
                e.sourceId = id;
                focus = 1;
                ForEachMember(children.get(), [target](Window* w) {
                    if (w != target && w->GetFocus() != 0) {
                        w->SetFocus(0);
                        w->Draw();
                    }
                });
            }
        }
    }
    if (ToolkitFlagsInUse() & kToolkitSubPanelEvents) {
        ForEachMember(panels.get(), [](Window* w) {
            if (w->IsOpen()) w->HandleEvent();
        });
    }
    Window* after = children->Focused();
    if (after != before && before != nullptr && children->Contains(before)) {
        before->SetFocus(0);
        before->Draw();
        dirty = true;
    }
}

void Panel::MoveContents(int dx, int dy) {
    clientLeft += dx;
    clientRight += dx;
    clientTop += dy;
    clientBottom += dy;
    ForEachMember(children.get(), [dx, dy](Window* w) { w->OffsetBy(dx, dy); });
}

void Panel::OffsetBy(int dx, int dy) {
    x += dx;
    y += dy;
    MoveContents(dx, dy);
    dirty = true;
}

void Panel::PlaceAt(int px, int py) {
    const int newX = px + (parent != nullptr ? parent->GetX() : 0);
    const int newY = py + (parent != nullptr ? parent->GetY() : 0);
    const int dx = newX - x, dy = newY - y;
    x = newX;
    y = newY;
    MoveContents(dx, dy);
}

void Panel::CenterHorizontally() {
    const int newX =
        parent != nullptr ? parent->GetX() + (parent->GetWidth() - width) / 2 : (ScreenWidth() - 1 - width) / 2;
    const int dx = newX - x;
    x = newX;
    MoveContents(dx, 0);
}

void Panel::CenterVertically() {
    const int newY =
        parent != nullptr ? parent->GetY() + (parent->GetHeight() - height) / 2 : (ScreenHeight() - 1 - height) / 2;
    const int dy = newY - y;
    y = newY;
    MoveContents(0, dy);
}

void Panel::Center() {
    CenterHorizontally();
    CenterVertically();
}

void Panel::Refresh() {
    if (dirty) {
        Draw();
        dirty = false;
    } else {
        ForEachMember(children.get(), [](Window* w) { w->Refresh(); });
    }
    ForEachMember(panels.get(), [](Window* w) {
        if (w->IsOpen()) w->Refresh();
    });
}

int Panel::AddChild(Window* window) {
    if (!children->Append(window)) return 1;
    window->SetParent(this);
    return 0;
}

void Panel::RemoveChild(Window* window) { children->Remove(window); }

int Panel::AddPanel(Window* window) {
    if (!panels->Append(window)) return 1;
    window->SetParent(this);
    return 0;
}

void Panel::RemovePanel(Window* window) { panels->Remove(window); }

void Panel::DrawChildren() {
    ForEachMember(children.get(), [](Window* w) { w->Draw(); });
}

// --- RootPanel ---

RootPanel::RootPanel() : Panel(nullptr, 0, 0, 799, 599, 0) {}
