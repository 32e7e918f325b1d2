// Controls that hold a value: the edit field, the spin field with its arrows, and the drop-down
// list.

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/keys.h"
#include "platform/messages.h"
#include "ui/controls.h"
#include "ui/control_art.h"
#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

// A Windows-1252 character typed as text beyond ASCII: the accented letters and signs the fonts
// hold (the five unassigned codes are not).
bool IsTypedLetter(int c) { return c >= 0x80 && c <= 0xFF && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D; }

// Text from (x, y), left-justified and cut by the clip; the regular font when one is loaded.
void DrawFieldText(int x, int y, std::string_view text) {
    MoveTo(x, y);
    if (RegularFont() > 0) {
        SelectFont(RegularFont());
        SetTextJustify(-1, 0);
        DrawTextClipped(text.data(), static_cast<int>(text.size()));
    } else {
        DrawRegularText(text, -1, 0);
    }
}

constexpr int kFieldTextIndent = 6;
constexpr int kFieldInset = 3;  // the rim and one pixel of air around clipped text

// The field of an edit field or a closed list: the sheet's rounded field in the theme's field
// colour over the face, or the plain sunken one.
void DrawField(Window& control, int minx, int maxx, int miny, int maxy) {
    if (ControlArtReady()) {
        control.PaintBackground(minx, maxx, miny, maxy);
        DrawThemedField(minx, maxx, miny, maxy, FieldFillColor());
        return;
    }
    DrawSunkenField(minx, maxx, miny, maxy,
                    control.IsDisabled() ? ToolkitColorValue(kColorFace) : ToolkitColorValue(kColorFieldBackground));
}

// Text in a field: the field's text colour, faded halfway into the fill when disabled.
Pixel FieldInk(const Window& control) {
    if (!control.IsDisabled()) return FieldTextColor();
    if (!ControlArtReady()) return ToolkitColorValue(kColorFieldShadow);
    return Blend(FieldFillColor(), FieldTextColor(), 0.5);
}

size_t BlockSize(int width, int height) {
    size_t size = ImageSize(width, height);
    if (DisplayDepth() > 24) size = static_cast<size_t>(static_cast<double>(size) * 1.35);
    return size;
}

bool ContainsOnlyDigits(const std::string& text, bool allowMinus) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') continue;
        if (allowMinus && i == 0 && text[i] == '-') continue;
        return false;
    }
    return true;
}

}  // namespace

// --- EditField ---

EditField::EditField(Window* parentWindow, int ex, int ey, int w, int length, std::string_view caption, int styleFlags)
    : Control(parentWindow, ex, ey, w, kHeight, styleFlags),
      maxCharacters(std::clamp(length > 0 ? length : kMaxCharacters, 1, kMaxCharacters)) {
    const Caption parsed = ParseCaption(caption);
    hotKey = parsed.hotKey;
    otherCaseHotKey = parsed.otherCaseHotKey;
}

void EditField::SetText(std::string_view value) {
    text = value.substr(0, static_cast<size_t>(maxCharacters));
    caret = anchor = static_cast<int>(text.size());
    scroll = 0;
}

void EditField::SelectAll() {
    anchor = 0;
    caret = static_cast<int>(text.size());
    scroll = 0;
    if (open) Draw();
}

int EditField::CaretFromX(int px) const {
    const std::string_view shown = std::string_view(text).substr(static_cast<size_t>(scroll));
    const int left = x + kFieldTextIndent;
    for (size_t i = 0; i < shown.size(); ++i) {
        const int middle = (RegularTextWidth(shown.substr(0, i)) + RegularTextWidth(shown.substr(0, i + 1))) / 2;
        if (px < left + middle) return scroll + static_cast<int>(i);
    }
    return static_cast<int>(text.size());
}

void EditField::DeleteSelection() {
    const int start = SelectionStart();
    text.erase(static_cast<size_t>(start), static_cast<size_t>(SelectionEnd() - start));
    caret = anchor = start;
}

void EditField::Refuse() const { PlayToolkitSound("invalid.wav"); }

bool EditField::TakeKey(ToolkitEvent& e) {
    const int size = static_cast<int>(text.size());
    switch (e.type) {
        case kEventLeft: caret = HasSelection() ? SelectionStart() : std::max(caret - 1, 0); break;
        case kEventRight: caret = HasSelection() ? SelectionEnd() : std::min(caret + 1, size); break;
        case kEventHome: caret = 0; break;
        case kEventEnd: caret = size; break;
        case kEventDelete:
            if (HasSelection()) DeleteSelection();
            else if (caret < size) text.erase(static_cast<size_t>(caret), 1);
            break;
        case kEventNone: {
            const int c = e.keyChar;
            if (c == kKeyEnter) {
                e.type = kEventCommand;
                e.sourceId = id;
                return true;
            }
            if (IsVirtualKeyDown(VK_CONTROL)) {
                // Ctrl with a letter is a command, never text.
                if (c != 'a' && c != 'A') return false;
                SelectAll();
                return true;
            }
            if (c == kKeyBackspace) {
                if (HasSelection()) DeleteSelection();
                else if (caret > 0) text.erase(static_cast<size_t>(--caret), 1);
            } else if ((c >= 32 && c <= 126) || IsTypedLetter(c)) {
                const int room = maxCharacters - size + (SelectionEnd() - SelectionStart());
                if (room <= 0 || (digitsOnly && (c < '0' || c > '9'))) {
                    Refuse();
                    return true;
                }
                DeleteSelection();
                text.insert(static_cast<size_t>(caret++), 1, static_cast<char>(c));
            } else {
                return false;  // Escape and the like are left to the dialog
            }
            break;
        }
        default: return false;  // Tab and the other keys are left to the panel
    }
    anchor = caret;
    return true;
}

void EditField::HandleEvent() {
    if (disabled) return;
    if (ToolkitMenuOpen()) {
        active = false;
        return;
    }
    active = true;
    ToolkitEvent& e = CurrentEvent();
    if (e.mouseEvent == kMouseLeftPressed && HitTest(e.mouseX, e.mouseY)) {
        focus = 1;
        caret = anchor = CaretFromX(e.mouseX);
        e.type = kEventFocusRequest;
        e.sourceId = id;
        Draw();
        return;
    }
    if (focus != 0 && e.keyKind == kKeyDown) {
        if (TakeKey(e)) {
            // The key is this field's: no button may take it as a hot key.
            e.keyKind = kKeyNone;
            Draw();
        }
        return;
    }
    if (hotKey != 0 && e.type == kEventAltDown &&
        (static_cast<int>(e.timerId) == hotKey || static_cast<int>(e.timerId) == otherCaseHotKey)) {
        focus = 1;
        e.type = kEventFocusRequest;
        e.sourceId = id;
        Draw();
    }
}

void EditField::Draw() {
    SelectScreenBuffer();
    const int right = x + width - 1, bottom = y + height - 1;
    DrawField(*this, x, right, y, bottom);

    // Keep the caret inside the field by scrolling the text under it.
    const int inner = width - kFieldTextIndent - kFieldInset - 1;
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    scroll = std::clamp(scroll, 0, caret);
    const std::string_view all(text);
    while (scroll < caret && RegularTextWidth(all.substr(static_cast<size_t>(scroll), static_cast<size_t>(caret - scroll))) > inner)
        ++scroll;

    SetClip(x + kFieldInset - 1, right - kFieldInset + 1, y + kFieldInset - 1, bottom - kFieldInset + 1);
    SetColor(FieldInk(*this));
    const std::string_view shown = all.substr(static_cast<size_t>(scroll));
    DrawFieldText(x + kFieldTextIndent, y + height / 2, shown);
    if (HasSelection() && focus != 0 && !disabled) {
        // The selected characters inverted: the list's selection colours behind them.
        const int from = std::max(SelectionStart(), scroll), to = SelectionEnd();
        const int left = x + kFieldTextIndent + RegularTextWidth(all.substr(static_cast<size_t>(scroll), static_cast<size_t>(from - scroll)));
        const std::string_view selected = all.substr(static_cast<size_t>(from), static_cast<size_t>(std::max(to - from, 0)));
        SetColor(ToolkitColorValue(kColorListSelectedBack));
        FillRect(left, left + RegularTextWidth(selected), y + 3, bottom - 3);
        SetColor(ToolkitColorValue(kColorListSelectedText));
        DrawFieldText(left, y + height / 2, selected);
    }
    if (focus != 0 && !disabled) {
        const int caretX = x + kFieldTextIndent +
                           RegularTextWidth(all.substr(static_cast<size_t>(scroll), static_cast<size_t>(caret - scroll)));
        SetColor(FieldTextColor());
        FillRect(caretX, caretX, y + 4, bottom - 4);
    }
    ResetClip();
    QueueSelf();
}

// --- SpinField ---

SpinField::SpinField(Window* parentWindow, int sx, int sy, int fieldWidth, std::string_view caption, int styleFlags)
    : CompositeControl(parentWindow, sx, sy, fieldWidth + 18, EditField::kHeight, styleFlags) {
    constexpr int kArrowWidth = 15, kArrowHeight = 10, kArrowGap = 3, kLowerArrowTop = 11;
    edit = Create<EditField>(0, 0, fieldWidth, 6, caption, 1);
    up = Create<ArrowButton>(fieldWidth + kArrowGap, 0, kArrowWidth, kArrowHeight, "icon06w.spr", "icon07w.spr", true);
    down = Create<ArrowButton>(fieldWidth + kArrowGap, kLowerArrowTop, kArrowWidth, kArrowHeight, "icon08w.spr",
                               "icon09w.spr", false);
    WriteValue();
}

SpinField::~SpinField() { StopRepeat(); }

int SpinField::ReadValue() const {
    const std::string& t = edit->GetText();
    if (t.empty()) return -1;
    return static_cast<int>(std::strtol(t.c_str(), nullptr, 10));
}

void SpinField::WriteValue() {
    edit->SetText(std::to_string(value));
    if (open) edit->Draw();
}

void SpinField::Step(int direction) {
    value = std::clamp(value + direction * step, minimum, maximum);
    WriteValue();
}

void SpinField::StopRepeat() {
    if (!repeating) return;
    KillTimer(ToolkitWindow(), kRepeatTimerId);
    repeating = false;
}

void SpinField::HandleEvent() {
    if (disabled) return;
    ToolkitEvent& e = CurrentEvent();
    const int previous = ReadValue();
    value = previous;
    const bool upWasPressed = up->IsPressed(), downWasPressed = down->IsPressed();
    DispatchToParts();

    const bool upPressed = up->IsPressed(), downPressed = down->IsPressed();
    if ((upPressed && !upWasPressed) || (downPressed && !downWasPressed)) {
        Step(upPressed ? 1 : -1);
        SetTimer(ToolkitWindow(), kRepeatTimerId, kFirstRepeatMs);
        repeating = true;
        repeats = 0;
    } else if (e.type == kEventTimer && e.timerId == kRepeatTimerId && repeating && (upPressed || downPressed)) {
        Step(upPressed ? 1 : -1);
        if (++repeats == kSlowRepeats) SetTimer(ToolkitWindow(), kRepeatTimerId, kFastRepeatMs);
    }
    const bool armed = up->GetFocus() == 2 || down->GetFocus() == 2;
    if (!armed) StopRepeat();

    if (edit->GetFocus() != 0) {
        if (!ContainsOnlyDigits(edit->GetText(), minimum < 0)) {
            value = previous;
            WriteValue();
        }
        if (e.type == kEventUp || e.type == kEventDown) {
            Step(e.type == kEventUp ? 1 : -1);
            e.keyKind = kKeyNone;
        }
    }
    if (e.type == kEventFocusRequest &&
        (e.sourceId == edit->GetId() || e.sourceId == up->GetId() || e.sourceId == down->GetId())) {
        e.sourceId = id;
        focus = 1;
    }
}

void SpinField::Draw() {
    DrawParts();
    dirty = true;
}

void SpinField::SetDisabled(int flag) {
    Window::SetDisabled(flag);
    edit->SetDisabled(flag);
    up->SetDisabled(flag);
    down->SetDisabled(flag);
    if (flag != 0) StopRepeat();
}

void SpinField::SetFocus(int state) {
    focus = state;
    dirty = true;
    edit->SetFocus(state);
    if (state == 0) {
        up->SetFocus(0);
        down->SetFocus(0);
    }
}

void SpinField::SetRange(int low, int high, int increment) {
    minimum = low;
    maximum = high;
    step = increment;
}

void SpinField::SetValue(int newValue) {
    value = newValue;
    WriteValue();
}

int SpinField::GetValue() const { return ReadValue(); }

// --- DropDownList ---

DropDownList::DropDownList(Window* parentWindow, int dx, int dy, int w, int maxLength, int styleFlags)
    : Control(parentWindow, dx, dy, w, kHeight, styleFlags), maxTextLength(std::max(maxLength, 1)) {}

bool DropDownList::AddItem(std::string_view item) {
    if (static_cast<int>(items.size()) >= kMaxItems) return false;
    items.emplace_back(item);
    return true;
}

void DropDownList::ClearItems() {
    if (listOpen) CloseList();
    items.clear();
    selected = highlighted = -1;
    text.clear();
}

void DropDownList::SetSelectedIndex(int index) {
    if (index < 0 || index >= ItemCount()) return;
    selected = index;
    text = items[static_cast<size_t>(index)].substr(0, static_cast<size_t>(maxTextLength));
    if (open) Draw();
}

void DropDownList::ListRect(int* minx, int* maxx, int* miny, int* maxy) const {
    const int listHeight = 2 * kListMargin + kRowHeight * ItemCount();
    int top = y + height;
    // A list that would pass the bottom of the screen opens upwards instead.
    if (top + listHeight > ScreenHeight() && y - listHeight >= 0) top = y - listHeight;
    *minx = x;
    *maxx = x + width - 1;
    *miny = top;
    *maxy = top + listHeight - 1;
}

void DropDownList::OpenList() {
    int minx, maxx, miny, maxy;
    ListRect(&minx, &maxx, &miny, &maxy);
    SelectScreenBuffer();
    listSaved.assign(BlockSize(maxx - minx + 2, maxy - miny + 2), 0);
    GetBlock(listSaved.data(), minx, maxx, miny, maxy);
    listOpen = true;
    highlighted = selected;
    SetToolkitMenuOpen(true);
    Draw();
}

void DropDownList::CloseList() {
    if (!listOpen) return;
    int minx, maxx, miny, maxy;
    ListRect(&minx, &maxx, &miny, &maxy);
    SelectScreenBuffer();
    PutBlock(listSaved.data(), minx, maxx, miny, maxy);
    listSaved.clear();
    QueueRect(minx, miny, maxx, maxy);
    listOpen = false;
    SetToolkitMenuOpen(false);
    Draw();
}

void DropDownList::Close() {
    CloseList();
    Control::Close();
}

void DropDownList::HandleEvent() {
    if (disabled) return;
    ToolkitEvent& e = CurrentEvent();
    if (listOpen) {
        int minx, maxx, miny, maxy;
        ListRect(&minx, &maxx, &miny, &maxy);
        const bool insideList = e.mouseX >= minx && e.mouseX <= maxx && e.mouseY >= miny && e.mouseY <= maxy;
        const int row = std::clamp((e.mouseY - miny - kListMargin) / kRowHeight, 0, ItemCount() - 1);
        if ((e.mouseEvent == kMouseMove || e.mouseEvent == kMouseLeftHeld) && insideList && row != highlighted) {
            highlighted = row;
            DrawList();
        } else if (e.mouseEvent == kMouseLeftPressed) {
            if (insideList) {
                SetSelectedIndex(row);
                e.type = kEventCommand;
                e.sourceId = id;
            }
            CloseList();
            if (insideList) e.mouseEvent = kMouseNone;  // the press belonged to the list
            // A press elsewhere only closed the list: it goes on to whatever lies under it. The
            // open list holds the focus, so it sees the press before the other controls do.
        } else if (e.keyKind == kKeyDown) {
            if (e.type == kEventUp || e.type == kEventDown) {
                highlighted = std::clamp(highlighted + (e.type == kEventUp ? -1 : 1), 0, ItemCount() - 1);
                DrawList();
            } else if (e.keyChar == kKeyEnter && highlighted >= 0) {
                SetSelectedIndex(highlighted);
                CloseList();
                e.type = kEventCommand;
                e.sourceId = id;
            } else if (e.keyChar == kKeyEscape) {
                CloseList();
            }
            e.keyKind = kKeyNone;
        }
        return;
    }
    if (ToolkitMenuOpen()) {
        active = false;
        return;
    }
    active = true;
    if (e.mouseEvent == kMouseLeftPressed && HitTest(e.mouseX, e.mouseY)) {
        focus = 1;
        e.type = kEventFocusRequest;
        e.sourceId = id;
        if (!items.empty()) OpenList();
        else Draw();
        return;
    }
    if (focus != 0 && e.keyKind == kKeyDown && (e.type == kEventUp || e.type == kEventDown) && !items.empty()) {
        const int from = selected < 0 ? 0 : selected;
        SetSelectedIndex(std::clamp(from + (e.type == kEventUp ? -1 : 1), 0, ItemCount() - 1));
        e.keyKind = kKeyNone;
    }
}

void DropDownList::DrawList() {
    int minx, maxx, miny, maxy;
    ListRect(&minx, &maxx, &miny, &maxy);
    SelectScreenBuffer();
    SetColor(FieldFillColor());
    FillRect(minx, maxx, miny, maxy);
    SetColor(ToolkitColorValue(kColorDarkEdge));
    SetBoxDepth(1, 1);
    DrawBox(minx, maxx, miny, maxy);
    SetClip(minx + 1, maxx - 1, miny + 1, maxy - 1);
    for (int i = 0; i < ItemCount(); ++i) {
        const int rowTop = miny + kListMargin + kRowHeight * i;
        if (i == highlighted) {
            SetColor(ListSelectionColor());
            FillRect(minx + 2, maxx - 2, rowTop, rowTop + kRowHeight - 1);
            SetColor(ListSelectionTextColor());
        } else {
            SetColor(ControlArtReady() ? FieldTextColor() : ToolkitColorValue(kColorListText));
        }
        MoveTo(minx + kFieldTextIndent, rowTop + kRowHeight / 2);
        DrawRegularText(items[static_cast<size_t>(i)], -1, 0);
    }
    ResetClip();
    QueueRect(minx, miny, maxx, maxy);
    dirty = true;
}

void DropDownList::Draw() {
    SelectScreenBuffer();
    const int fieldRight = x + width - 1 - kButtonWidth;
    const int bottom = y + height - 1;
    DrawField(*this, x, fieldRight, y, bottom);
    SetClip(x + kFieldInset - 1, fieldRight - kFieldInset + 1, y + kFieldInset - 1, bottom - kFieldInset + 1);
    SetColor(FieldInk(*this));
    MoveTo(x + kFieldTextIndent, y + height / 2);
    DrawRegularText(text, -1, 0);
    if (focus != 0 && !disabled) {
        DrawFocusRing(x + 3, fieldRight - 3, y + 3, bottom - 3);
    }
    ResetClip();

    // The drop button with its down arrow.
    const int buttonLeft = fieldRight + 1;
    const art::ControlCell button = art::DropButtonCell(PushStateOf(listOpen, disabled));
    if (ControlArtReady() && height == button.height && kButtonWidth == button.width) {
        PaintBackground(buttonLeft, x + width - 1, y, bottom);
        DrawControlCell(button, buttonLeft, y);
    } else if (ThemedControls()) {
        PaintBackground(buttonLeft, x + width - 1, y, bottom);
        DrawThemedArrowButton(buttonLeft + 1, x + width - 1, y, bottom, listOpen, disabled, false);
    } else {
        SetColor(ToolkitColorValue(kColorFace));
        FillRect(buttonLeft, x + width - 1, y, bottom);
        DrawBevel(buttonLeft, x + width - 1, y, bottom, !listOpen);
        SetColor(disabled ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorDarkEdge));
        const int arrowCentre = buttonLeft + kButtonWidth / 2 + (listOpen ? 1 : 0);
        const int arrowTop = y + height / 2 - 2 + (listOpen ? 1 : 0);
        for (int row = 0; row < 4; ++row)
            FillRect(arrowCentre - 3 + row, arrowCentre + 3 - row, arrowTop + row, arrowTop + row);
    }

    QueueSelf();
    if (listOpen) DrawList();
}
