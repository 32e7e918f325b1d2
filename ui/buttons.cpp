// Push buttons, image buttons, arrow buttons and the caption parsing they share.

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/paths.h"
#include "ui/controls.h"
#include "ui/control_art.h"
#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

// Button faces in the art buffer's strip: two faces side by side, each 206 x 107.
constexpr int kFaceTop = 628;
constexpr int kFaceBottomEdgeTop = 726;
constexpr int kFaceBottom = 734;
constexpr int kPressedFaceLeft = 206;
constexpr int kFaceRightEdge = 198;  // columns f+198..f+205 form the right edge
constexpr int kFaceEdgeWidth = 8;
constexpr int kFaceArtWidth = 412;

Pixel DisabledCaptionColor() { return MapRgb(127, 127, 127); }

int OtherCase(int c) {
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    return c;
}

// Sprite files are read once; a missing file caches as empty and the arrow is drawn by hand.
const std::vector<uint8_t>& SpriteBytes(const std::string& name) {
    static std::map<std::string, std::vector<uint8_t>> cache;
    auto found = cache.find(name);
    if (found != cache.end()) return found->second;
    std::vector<uint8_t> bytes;
    std::ifstream file(DataPath(name.c_str()), std::ios::binary);
    if (file) bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return cache.emplace(name, std::move(bytes)).first->second;
}

}  // namespace

Caption ParseCaption(std::string_view caption) {
    Caption result;
    const size_t amp = caption.find('&');
    if (amp == std::string_view::npos || amp + 1 >= caption.size()) {
        // A trailing "&" marks nothing and is dropped.
        result.text = std::string(caption.substr(0, amp));
        return result;
    }
    result.text = std::string(caption.substr(0, amp)) + std::string(caption.substr(amp + 1));
    result.hotKeyPosition = static_cast<int>(amp);
    result.hotKey = static_cast<unsigned char>(caption[amp + 1]);
    result.otherCaseHotKey = OtherCase(result.hotKey);
    return result;
}

// --- Button ---

Button::Button(Window* parentWindow, int bx, int by, int w, int h, int art, std::string_view caption)
    : Control(parentWindow, bx, by, w, h), artBuffer(art) {
    Button::SetText(caption);
}

void Button::SetText(std::string_view caption) {
    const Caption parsed = ParseCaption(caption);
    text = parsed.text;
    hotKeyPosition = parsed.hotKeyPosition;
    hotKey = parsed.hotKey;
    otherCaseHotKey = parsed.otherCaseHotKey;
}

void Button::PlayClick() { PlayToolkitSound("button.wav"); }

void Button::HandleEvent() { HandlePushEvent(); }

void Button::HandlePushEvent() {
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
            if (inside && !pressed) {
                focus = 2;
                pressed = true;
                Draw();
                PlayClick();
                e.type = kEventFocusRequest;
                e.sourceId = id;
            } else if (!inside && focus != 0) {
                focus = 0;
                pressed = false;
                Draw();
            }
            break;
        case kMouseLeftHeld:
            if (focus == 2 && inside != pressed) {
                pressed = inside;
                Draw();
            }
            if (hover) {
                hover = false;
                Draw();
            }
            break;
        case kMouseLeftReleased:
            if (focus == 2) {
                pressed = false;
                focus = 1;
                Draw();
                if (inside) {
                    e.type = kEventCommand;
                    e.sourceId = id;
                }
            }
            break;
        case kMouseRightPressed:
            if (inside) {
                e.type = kEventRightClick;
                e.sourceId = id;
            }
            break;
        case kMouseMove:
            if (inside != hover) {
                hover = inside;
                Draw();
            }
            break;
        default: break;
    }
    int dx = 0, dy = 0;
    if (DoubleClickPending(&dx, &dy) && HitTest(dx, dy)) e.doubleClickId = id;
    if (focus != 0 && e.keyKind == kKeyDown && e.keyChar == kKeyEnter) {
        e.type = kEventCommand;
        e.sourceId = id;
        e.keyKind = kKeyNone;
        Draw();
    }
    // The hot key typed alone or with Alt; with Alt it arrives as WM_SYSKEYDOWN, whose virtual
    // key (an upper-case letter) is kept in the event.
    const bool typed = e.type == kEventNone && e.keyKind == kKeyDown && (e.keyChar == hotKey || e.keyChar == otherCaseHotKey);
    const int altKey = static_cast<int>(e.timerId);
    const bool withAlt = e.type == kEventAltDown && (altKey == hotKey || altKey == otherCaseHotKey);
    if (hotKey != 0 && (typed || withAlt)) {
        e.type = kEventCommand;
        e.sourceId = id;
        e.keyKind = kKeyNone;
        Draw();
    }
}

void Button::DrawFace(bool pressedFace) {
    const int screen = ToolkitScreenBuffer();
    if (ArtAvailable(artBuffer, kFaceArtWidth, kFaceBottom + 1)) {
        const int f = pressedFace ? kPressedFaceLeft : 0;
        const int right = x + width - kFaceEdgeWidth;
        const int bottom = y + height - 1;
        CopyBufferRect(f, f + width - 8, kFaceTop, kFaceTop - 9 + height, x, y + height - 9, artBuffer, screen);
        CopyBufferRect(f + kFaceRightEdge, f + kFaceRightEdge + kFaceEdgeWidth - 1, kFaceTop, kFaceTop - 9 + height,
                       right, y + height - 9, artBuffer, screen);
        CopyBufferRect(f, f + width - 8, kFaceBottomEdgeTop, kFaceBottom, x, bottom, artBuffer, screen);
        CopyBufferRect(f + kFaceRightEdge, f + kFaceRightEdge + kFaceEdgeWidth - 1, kFaceBottomEdgeTop, kFaceBottom,
                       right, bottom, artBuffer, screen);
        return;
    }
    SetColor(PlainFaceColor());
    FillRect(x, x + width - 1, y, y + height - 1);
    DrawBevel(x, x + width - 1, y, y + height - 1, !pressedFace);
}

void Button::Draw() {
    SelectScreenBuffer();
    if ((ToolkitFlagsInUse() & kToolkitPanelSaveUnder) && !saveUnderDone) {
        SaveUnder();
        saveUnderDone = true;
    }
    DrawFace(pressed);

    const ToolkitTheme& theme = CurrentTheme();
    const Pixel color = disabled ? DisabledCaptionColor()
                        : (pressed || hover) ? theme.controlHighlightColor
                                             : theme.controlTextColor;
    SetColor(color);
    const int shift = pressed ? 2 : 0;
    MoveTo(x + width / 2 - 2 + shift, y + height / 2 - 1 + shift);
    DrawRegularText(text, 0, 0);

    if (focus != 0) {
        const int p = pressed ? 1 : 0;
        DrawFocusRing(x + 4 + p, x + width - 6 + p, y + 4 + p, y + height - 7 + p);
    }
    if (hotKeyPosition >= 0 && hotKeyPosition < static_cast<int>(text.size())) {
        const std::string_view caption(text);
        const int w = RegularTextWidth(caption);
        const int left = x + width / 2 - w / 2 - 2;
        const int underlineY = y + height / 2 + 5;
        SetColor(color);
        MoveTo(left + RegularTextWidth(caption.substr(0, static_cast<size_t>(hotKeyPosition))), underlineY);
        DrawLineTo(left + RegularTextWidth(caption.substr(0, static_cast<size_t>(hotKeyPosition) + 1)), underlineY);
    }
    QueueSelf();
}

// --- ImageButton ---

ImageButton::ImageButton(Window* parentWindow, int bx, int by, int w, int h, int art, ArtCell normal, ArtCell hoverCell_,
                         ArtCell disabledCell_, ArtCell pressedCell_)
    : Button(parentWindow, bx, by, w, h, art, ""),
      normalCell(normal),
      hoverCell(hoverCell_),
      disabledCell(disabledCell_),
      pressedCell(pressedCell_) {}

void ImageButton::Draw() {
    SelectScreenBuffer();
    // The cells are transparent pictures, so each drawing starts again from what was under the
    // button; otherwise the edges of one state would show through the next.
    // What was saved at another scale is taken again: the screen was drawn anew at this one.
    if (!backgroundSaved || !SavedUnderIsCurrent()) {
        SaveUnderInclusive();
        backgroundSaved = true;
    } else {
        RestoreUnderInclusive();
    }
    const ArtCell cell = disabled ? disabledCell : pressed ? pressedCell : hover ? hoverCell : normalCell;
    if (ArtAvailable(artBuffer, cell.x + width, cell.y + height)) {
        CopyBufferRectTransparent(cell.x, cell.x + width - 1, cell.y, cell.y + height - 1, x, y + height - 1, artBuffer,
                                  ToolkitScreenBuffer());
    } else {
        SetColor(PlainFaceColor());
        FillRect(x, x + width - 1, y, y + height - 1);
        DrawBevel(x, x + width - 1, y, y + height - 1, !pressed);
    }
    if (focus != 0) {
        const int p = pressed ? 1 : 0;
        DrawFocusRing(x + 2 + p, x + width - 5 + p, y + 3 + p, y + height - 5 + p);
    }
    QueueSelf();
}

// --- ArrowButton ---

ArrowButton::ArrowButton(Window* parentWindow, int bx, int by, int w, int h, const char* sprite,
                         const char* disabledSprite, bool up)
    : Button(parentWindow, bx, by, w, h, -1, ""),
      spriteName(sprite != nullptr ? sprite : ""),
      disabledSpriteName(disabledSprite != nullptr ? disabledSprite : ""),
      pointsUp(up) {}

void ArrowButton::Draw() {
    constexpr int kSpriteWidth = 9;
    constexpr int kSpriteHeight = 4;
    SelectScreenBuffer();
    const art::ControlCell cell = art::SpinArrowCell(pointsUp, PushStateOf(pressed, disabled));
    if (ControlArtReady() && width == cell.width && height == cell.height) {
        PaintBackground(x, x + width - 1, y, y + height - 1);
        DrawControlCell(cell, x, y);
        if (focus != 0) DrawFocusRing(x, x + width - 1, y, y + height - 1);
        QueueSelf();
        return;
    }
    if (ThemedControls()) {
        PaintBackground(x, x + width - 1, y, y + height - 1);
        DrawThemedArrowButton(x, x + width - 1, y, y + height - 1, pressed, disabled, pointsUp);
        if (focus != 0) DrawFocusRing(x, x + width - 1, y, y + height - 1);
        QueueSelf();
        return;
    }
    SetColor(ToolkitColorValue(kColorFace));
    FillRect(x, x + width - 1, y, y + height - 1);
    DrawBevel(x, x + width - 1, y, y + height - 1, !pressed);

    const int p = pressed ? 1 : 0;
    const int left = x + width / 2 - kSpriteWidth / 2 + p;
    const int bottom = y + height / 2 + kSpriteHeight / 2 + p;
    const std::vector<uint8_t>& bytes = SpriteBytes(disabled ? disabledSpriteName : spriteName);
    MoveTo(left, bottom);
    if (bytes.empty() || !ShowSprMemory(bytes.data(), bytes.size(), kSpriteWidth)) {
        // No sprite: a filled triangle of the same size.
        SetColor(disabled ? ToolkitColorValue(kColorShadow) : ToolkitColorValue(kColorDarkEdge));
        for (int row = 0; row < kSpriteHeight; ++row) {
            const int rowY = pointsUp ? bottom - kSpriteHeight + 1 + row : bottom - row;
            FillRect(left + kSpriteWidth / 2 - row - 1, left + kSpriteWidth / 2 + row + 1, rowY, rowY);
        }
    }
    if (focus != 0) {
        SetColor(ToolkitColorValue(kColorDarkEdge));
        SetBoxDepth(1, 1);
        DrawBox(x, x + width - 1, y, y + height - 1);
    }
    QueueSelf();
}
