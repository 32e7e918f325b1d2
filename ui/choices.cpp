// Static controls (labels, group boxes) and the choice controls (check boxes, option buttons and
// the group that keeps one option checked).

#include <algorithm>

#include "ui/controls.h"
#include "ui/control_art.h"
#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

constexpr int kLabelLineSpacing = 14;
constexpr int kWrappedLineOffset = 7;  // wrapped captions sit this far above and below the centre
constexpr int kGroupCaptionIndent = 15;

struct WrappedCaption {
    std::string lines[2];
    int count = 1;
};

// Breaks a caption wider than the limit at a space: the last space that lets the first line
// fit, else the first space. A caption without spaces stays on one line.
WrappedCaption WrapCaption(const std::string& caption, int widthLimit) {
    WrappedCaption result;
    result.lines[0] = caption;
    if (RegularTextWidth(caption) <= widthLimit) return result;
    size_t breakAt = std::string::npos;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != ' ') continue;
        if (breakAt == std::string::npos || RegularTextWidth(std::string_view(caption).substr(0, i)) <= widthLimit)
            breakAt = i;
    }
    if (breakAt == std::string::npos) return result;
    result.lines[0] = caption.substr(0, breakAt);
    result.lines[1] = caption.substr(breakAt + 1);
    result.count = 2;
    return result;
}

int CheckBoxWidth(std::string_view caption, int widthLimit) {
    const WrappedCaption wrapped = WrapCaption(ParseCaption(caption).text, widthLimit);
    int widest = 0;
    for (int i = 0; i < wrapped.count; ++i) widest = std::max(widest, RegularTextWidth(wrapped.lines[i]));
    return 17 + widest + 3;
}

}  // namespace

// --- Label ---

Label::Label(Window* parentWindow, int lx, int ly, int just, const char* line1, const char* line2, const char* line3,
             const char* line4, const char* line5)
    : Control(parentWindow, lx, ly, 0, 0), justification(just) {
    const char* given[kMaxLines] = {line1, line2, line3, line4, line5};
    for (int i = 0; i < kMaxLines; ++i) {
        if (given[i] == nullptr) continue;
        lines[i] = given[i];
        lineCount = i + 1;
    }
    text = lines[0];
}

void Label::SetText(std::string_view value) { SetLine(0, value); }

void Label::SetLine(int index, std::string_view value) {
    if (index < 0 || index >= kMaxLines) return;
    lines[index] = value;
    if (index == 0) text = value;
    lineCount = std::max(lineCount, index + 1);
}

const std::string& Label::Line(int index) const { return lines[std::clamp(index, 0, kMaxLines - 1)]; }

void Label::Extent(int* minx, int* maxx, int* miny, int* maxy) const {
    int widest = 0;
    for (int i = 0; i < lineCount; ++i) widest = std::max(widest, RegularTextWidth(lines[i]));
    const int left = justification < 0 ? x : justification == 0 ? x - widest / 2 - 1 : x - widest;
    *minx = left;
    *maxx = left + widest + 1;
    *miny = y;
    *maxy = y + kLabelLineSpacing * (lineCount - 1) + RegularTextHeight();
}

void Label::Draw() {
    SelectScreenBuffer();
    SetColor(ToolkitColorValue(kColorText));
    for (int i = 0; i < lineCount; ++i) {
        if (lines[i].empty()) continue;
        SetColor(ToolkitColorValue(kColorText));
        MoveTo(x, y + kLabelLineSpacing * i);
        DrawRegularText(lines[i], justification, 1);
    }
    int minx, maxx, miny, maxy;
    Extent(&minx, &maxx, &miny, &maxy);
    QueueRect(minx, miny, maxx, maxy);
    dirty = true;
}

void Label::Erase() {
    int minx, maxx, miny, maxy;
    Extent(&minx, &maxx, &miny, &maxy);
    if (parent != nullptr) parent->PaintBackground(minx, maxx, miny, maxy);
    QueueRect(minx, miny, maxx, maxy);
    dirty = true;
}

// --- GroupBox ---

GroupBox::GroupBox(Window* parentWindow, int gx, int gy, int w, int h, std::string_view caption, int styleFlags, int)
    : Control(parentWindow, gx, gy, w, h, styleFlags) {
    text = ParseCaption(caption).text;
}

void GroupBox::Draw() {
    SelectScreenBuffer();
    if ((style & 1) && ThemedControls()) {
        // On the theme's face: one fine rounded line in a soft share of the text colour.
        StrokeShape(x, x + width + 1, y, y + height + 1, RoundedBox(x + 0.5, y + 0.5, x + width + 1, y + height + 1, 4), 1,
                    CurrentTheme().textColor, 0.45);
    } else if (style & 1) {
        SetBoxDepth(1, 1);
        SetColor(ToolkitColorValue(kColorText));
        DrawBox(x + 1, x + width + 1, y + 1, y + height + 1);
        SetColor(ToolkitColorValue(kColorShadow));
        DrawBox(x, x + width, y, y + height);
    }
    if (!text.empty()) {
        const int w = RegularTextWidth(text);
        const int h = RegularTextHeight();
        PaintBackground(x + kGroupCaptionIndent - 2, x + kGroupCaptionIndent + w + 1, y - h / 2, y + h / 2 + 1);
        SetColor(ToolkitColorValue(kColorText));
        MoveTo(x + kGroupCaptionIndent, y);
        DrawRegularText(text, -1, 0);
    }
    QueueRect(x, y - RegularTextHeight() / 2, x + width + 1, y + height + 1);
    dirty = true;
}

// --- CheckBox ---

CheckBox::CheckBox(Window* parentWindow, int cx, int cy, std::string_view caption, int styleFlags, int widthLimit)
    : Control(parentWindow, cx, cy, CheckBoxWidth(caption, widthLimit), kBoxSize, styleFlags) {
    const Caption parsed = ParseCaption(caption);
    text = parsed.text;
    hotKeyPosition = parsed.hotKeyPosition;
    hotKey = parsed.hotKey;
    otherCaseHotKey = parsed.otherCaseHotKey;
    const WrappedCaption wrapped = WrapCaption(text, widthLimit);
    lines[0] = wrapped.lines[0];
    lines[1] = wrapped.lines[1];
    lineCount = wrapped.count;
}

bool CheckBox::HotKeyTyped() const {
    if (hotKey == 0) return false;
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventNone && e.keyKind == kKeyDown) return e.keyChar == hotKey || e.keyChar == otherCaseHotKey;
    // With Alt the key arrives as WM_SYSKEYDOWN, whose virtual key (an upper-case letter) is kept.
    if (e.type == kEventAltDown) {
        const int key = static_cast<int>(e.timerId);
        return key == hotKey || key == otherCaseHotKey;
    }
    return false;
}

void CheckBox::HandleEvent() {
    if (disabled) return;
    if (ToolkitMenuOpen()) {
        active = false;
        return;
    }
    active = true;
    ToolkitEvent& e = CurrentEvent();
    const bool inside = HitTest(e.mouseX, e.mouseY);
    switch (e.mouseEvent) {
        case kMouseLeftPressed:
            if (inside) {
                focus = 2;
                pressed = true;
                Draw();
                e.type = kEventFocusRequest;
                e.sourceId = id;
            }
            break;
        case kMouseLeftHeld:
            if (focus == 2 && inside != pressed) {
                pressed = inside;
                Draw();
            }
            break;
        case kMouseLeftReleased:
            if (focus == 2) {
                pressed = false;
                focus = 1;
                if (inside) {
                    Activate();
                    e.type = kEventCommand;
                    e.sourceId = id;
                }
                Draw();
            }
            break;
        case kMouseRightPressed:
            if (inside) {
                e.type = kEventRightClick;
                e.sourceId = id;
            }
            break;
        default: break;
    }
    if (focus != 0 && e.keyKind == kKeyDown && e.keyChar == kKeySpace) {
        Activate();
        e.type = kEventCommand;
        e.sourceId = id;
        e.keyKind = kKeyNone;
        Draw();
    } else if (HotKeyTyped()) {
        Activate();
        focus = 1;
        e.type = kEventFocusRequest;
        e.sourceId = id;
        e.keyKind = kKeyNone;
        Draw();
    }
}

namespace {

// A themed mark's well: darker than a light face, lighter than a dark one, over the face itself.
void DrawWell(const ShapeDistance& shape, int left, int top, int size, bool pressed) {
    FillShape(left, left + size - 1, top, top + size - 1, shape, ThemeTextIsLight() ? MapRgb(255, 255, 255) : MapRgb(0, 0, 0),
              pressed ? 0.32 : 0.16);
}

}  // namespace

void CheckBox::DrawMark() {
    const int h = kBoxSize;
    if (ControlArtReady()) {
        PaintBackground(x, x + h - 1, y, y + h - 1);
        DrawControlCell(art::CheckBoxCell(MarkStateOf(checked, pressed, disabled)), x, y);
        return;
    }
    if (ThemedControls()) {
        // The dialog's face shows through a shallow well ringed in the text colour.
        PaintBackground(x, x + h - 1, y, y + h - 1);
        const Pixel ink = disabled ? ToolkitColorValue(kColorShadow) : CurrentTheme().textColor;
        const RoundedBox box(x + 0.5, y + 0.5, x + h - 0.5, y + h - 0.5, 2.5);
        DrawWell(box, x, y, h, pressed);
        StrokeShape(x, x + h - 1, y, y + h - 1, box, 1.2, ink);
        if (checked) FillShape(x, x + h - 1, y, y + h - 1, Tick(x + 3.4, y + 6.6, x + 5.6, y + 9.0, x + 9.8, y + 3.8, 0.95), ink);
        return;
    }
    const Pixel fill = (pressed || disabled) ? ToolkitColorValue(kColorFace) : ToolkitColorValue(kColorFieldBackground);
    SetColor(fill);
    FillRect(x + 2, x + h - 3, y + 2, y + h - 3);
    SetColor(ToolkitColorValue(kColorShadow));
    FillRect(x, x + h - 2, y, y);
    FillRect(x, x, y, y + h - 2);
    SetColor(ToolkitColorValue(kColorHighlight));
    FillRect(x, x + h - 1, y + h - 1, y + h - 1);
    FillRect(x + h - 1, x + h - 1, y, y + h - 1);
    SetColor(ToolkitColorValue(kColorDarkEdge));
    FillRect(x + 1, x + h - 3, y + 1, y + 1);
    FillRect(x + 1, x + 1, y + 1, y + h - 3);
    SetColor(ToolkitColorValue(kColorFace));
    FillRect(x + 1, x + h - 2, y + h - 2, y + h - 2);
    FillRect(x + h - 2, x + h - 2, y + 1, y + h - 2);
    if (checked) {
        SetColor(disabled ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorDarkEdge));
        for (int k = 0; k < 3; ++k) {
            MoveTo(x + 3, y + 6 + k);
            DrawLineTo(x + 5, y + 7 + k);
            DrawLineTo(x + 9, y + 3 + k);
        }
    }
}

void CheckBox::DrawCaption() {
    const int th = RegularTextHeight();
    const int centre = y + kBoxSize / 2;
    const int left = x + kCaptionOffset;
    const Pixel textColor = ToolkitColorValue(kColorText);
    int position = hotKeyPosition;  // hot-key index within the current line
    int widest = 0;
    for (int i = 0; i < lineCount; ++i) {
        const int lineCentre = lineCount == 1 ? centre : centre + (i == 0 ? -kWrappedLineOffset : kWrappedLineOffset);
        const std::string_view line(lines[i]);
        widest = std::max(widest, RegularTextWidth(line));
        if (disabled && ControlArtReady()) {
            // The theme's text colour, faded halfway into the fields' colour.
            SetColor(Blend(textColor, FieldFillColor(), 0.5));
        } else if (disabled) {
            // Embossed: a white copy one pixel right and down under the grey text.
            SetColor(ToolkitColorValue(kColorHighlight));
            MoveTo(left + 1, lineCentre + 1);
            DrawRegularText(line, -1, 0);
            SetColor(ToolkitColorValue(kColorShadow));
        } else {
            SetColor(textColor);
        }
        MoveTo(left, lineCentre);
        DrawRegularText(line, -1, 0);
        if (position >= 0 && position < static_cast<int>(line.size())) {
            const int underlineY = lineCentre - th / 2 + th;
            MoveTo(left + RegularTextWidth(line.substr(0, static_cast<size_t>(position))), underlineY);
            DrawLineTo(left + RegularTextWidth(line.substr(0, static_cast<size_t>(position) + 1)) - 1, underlineY);
        }
        position -= static_cast<int>(line.size()) + 1;  // the space taken by the line break
    }
    if (focus != 0) {
        const int spread = lineCount == 1 ? 0 : kWrappedLineOffset;
        DrawFocusRing(left - 3, left + widest + 2, centre - spread - th / 2 - 2, centre - spread - th / 2 + th + 2 * spread + 1);
    }
}

void CheckBox::Draw() {
    SelectScreenBuffer();
    const int th = RegularTextHeight();
    const int spread = lineCount == 1 ? 0 : kWrappedLineOffset;
    const int centre = y + kBoxSize / 2;
    const int top = std::min(y, centre - spread - th / 2 - 2);
    const int bottom = std::max(y + kBoxSize - 1, centre + spread - th / 2 + th + 2);
    PaintBackground(x + kBoxSize, x + width + 1, top, bottom);
    DrawMark();
    DrawCaption();
    QueueRect(x, top, x + width + 1, bottom);
    dirty = true;
}

// --- OptionButton ---

OptionButton::OptionButton(Window* group, int ox, int oy, std::string_view caption, int styleFlags, int widthLimit)
    : CheckBox(group, ox, oy, caption, styleFlags, widthLimit) {}

void OptionButton::HandleEvent() {
    ToolkitEvent& e = CurrentEvent();
    if (!disabled && focus != 0 && (e.type == kEventTab || e.type == kEventShiftTab)) {
        focus = 0;
        Draw();
    }
    CheckBox::HandleEvent();
}

void OptionButton::DrawMark() {
    constexpr int kSize = 12;
    constexpr double kCentre = 5.5;
    if (ControlArtReady()) {
        PaintBackground(x, x + kSize - 1, y, y + kSize - 1);
        DrawControlCell(art::OptionButtonCell(MarkStateOf(checked, pressed, disabled)), x, y);
        return;
    }
    if (ThemedControls()) {
        // A round well ringed in the text colour, a dot when chosen; smooth at every scale.
        PaintBackground(x, x + kSize - 1, y, y + kSize - 1);
        const Pixel ink = disabled ? ToolkitColorValue(kColorShadow) : CurrentTheme().textColor;
        const Disc well(x + kSize / 2.0, y + kSize / 2.0, kSize / 2.0 - 0.3);
        DrawWell(well, x, y, kSize, pressed);
        StrokeShape(x, x + kSize - 1, y, y + kSize - 1, well, 1.2, ink);
        if (checked) FillShape(x, x + kSize - 1, y, y + kSize - 1, Disc(x + kSize / 2.0, y + kSize / 2.0, 2.4), ink);
        return;
    }
    const Pixel interior = (pressed || disabled) ? ToolkitColorValue(kColorFace) : ToolkitColorValue(kColorFieldBackground);
    for (int row = 0; row < kSize; ++row) {
        for (int column = 0; column < kSize; ++column) {
            const double dx = column - kCentre, dy = row - kCentre;
            const double d2 = dx * dx + dy * dy;
            const bool upperLeft = column + row < kSize - 1;
            Pixel color;
            if (d2 >= 6.0 * 6.0) continue;
            if (d2 >= 5.0 * 5.0) color = upperLeft ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorHighlight);
            else if (d2 >= 4.0 * 4.0) color = upperLeft ? ToolkitColorValue(kColorDarkEdge) : ToolkitColorValue(kColorFace);
            else color = interior;
            SetColor(color);
            PlotPoint(x + column, y + row);
        }
    }
    if (checked) {
        SetColor(disabled ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorDarkEdge));
        FillRect(x + 4, x + 7, y + 5, y + 6);
        PlotPoint(x + 5, y + 4);
        PlotPoint(x + 6, y + 4);
        PlotPoint(x + 5, y + 7);
        PlotPoint(x + 6, y + 7);
    }
}

// --- OptionGroup ---

OptionGroup::OptionGroup(Window* parentWindow, int gx, int gy) : CompositeControl(parentWindow, gx, gy, 0, 0) {}

void OptionGroup::Check(Window* option) {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        const bool wanted = w == option;
        if (w->IsChecked() != wanted) {
            w->SetChecked(wanted);
            if (open) w->Draw();
        }
    }
}

Window* OptionGroup::CheckedOption() const {
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (w->IsChecked()) return w;
    return nullptr;
}

int OptionGroup::CheckedIndex() const {
    int index = 0;
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList(), ++index)
        if (w->IsChecked()) return index;
    return -1;
}

void OptionGroup::CheckIndex(int index) {
    Window* w = children->Head();
    for (int i = 0; w != nullptr && i < index; ++i) w = w->NextInList();
    if (w != nullptr) Check(w);
}

void OptionGroup::MoveCheck(int direction) {
    Window* current = CheckedOption();
    if (current == nullptr) current = children->Focused();
    if (current == nullptr) return;
    const int count = children->Count();
    Window* candidate = current;
    for (int i = 0; i < count; ++i) {
        candidate = direction > 0 ? (candidate->NextInList() != nullptr ? candidate->NextInList() : children->Head())
                                  : (candidate->PreviousInList() != nullptr ? candidate->PreviousInList() : children->Tail());
        if (!candidate->IsDisabled()) break;
    }
    if (candidate == current || candidate->IsDisabled()) return;
    current->SetFocus(0);
    current->Draw();
    children->FocusMember(candidate);
    candidate->SetFocus(1);
    Check(candidate);
    candidate->Draw();
}

void OptionGroup::HandleEvent() {
    if (disabled) return;
    FitToParts();
    ToolkitEvent& e = CurrentEvent();
    Window* before = CheckedOption();
    const bool hadFocus = focus != 0;
    DispatchToParts();

    Window* newlyChecked = nullptr;
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
        if (w->IsChecked() && w != before) newlyChecked = w;
    if (newlyChecked != nullptr) Check(newlyChecked);

    if (e.type == kEventFocusRequest) {
        Window* requester = nullptr;
        for (Window* w = children->Head(); w != nullptr; w = w->NextInList())
            if (w->GetId() == e.sourceId) requester = w;
        if (requester != nullptr) {
            children->FocusMember(requester);
            for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
                if (w != requester && w->GetFocus() != 0) {
                    w->SetFocus(0);
                    w->Draw();
                }
            }
            // The panel focuses the group in turn.
            e.sourceId = id;
            focus = 1;
        }
    } else if (hadFocus && e.keyKind == kKeyDown && (e.type == kEventUp || e.type == kEventLeft)) {
        MoveCheck(-1);
        e.keyKind = kKeyNone;
    } else if (hadFocus && e.keyKind == kKeyDown && (e.type == kEventDown || e.type == kEventRight)) {
        MoveCheck(1);
        e.keyKind = kKeyNone;
    }
}

void OptionGroup::Draw() {
    FitToParts();
    DrawParts();
    dirty = true;
}

void OptionGroup::SetFocus(int state) {
    focus = state;
    dirty = true;
    Window* target = nullptr;
    if (state != 0) {
        target = CheckedOption();
        if (target == nullptr || target->IsDisabled()) target = children->Head();
        if (target != nullptr) children->FocusMember(target);
    }
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        const int wanted = (w == target) ? 1 : 0;
        if ((w->GetFocus() != 0) != (wanted != 0)) {
            w->SetFocus(wanted);
            if (open) w->Draw();
        }
    }
}

void OptionGroup::SetDisabled(int flag) {
    Window::SetDisabled(flag);
    for (Window* w = children->Head(); w != nullptr; w = w->NextInList()) w->SetDisabled(flag);
}
