#include "ui/dialog.h"

#include <algorithm>
#include <vector>

#include "platform/paths.h"
#include "platform/translation.h"

#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

// The dialog art buffer: the 800 x 600 face, then from y = 600 the strip with the title plate.
constexpr int kFaceWidth = 800;
constexpr int kFaceHeight = 600;
constexpr int kPlateLeft = 288;
constexpr int kPlateRight = 600;
constexpr int kPlateTop = 600;
constexpr int kPlateBottom = 623;
constexpr int kPlateHalfWidth = 154;  // the plate is placed from the dialog's centre less this
constexpr int kTitleHeight = 23;
// The band of the table's title: in play rows 35..68 and columns 176..623, on the selection
// screen the program's name down to about row 92. Dialogs whose top edge falls inside it get a
// cap (see SaveUnder).
constexpr int kTitleZoneTop = 33;
constexpr int kTitleZoneBottom = 92;
constexpr int kTitleZoneLeft = 170;
constexpr int kTitleZoneRight = 630;

constexpr int kMessageTextY = 30;
constexpr int kMessageMinTextWidth = 125;
constexpr int kMessageMargin = 40;
constexpr int kTitledBoxExtra = 24;

constexpr int kExitWidth = 800;
constexpr int kExitHeight = 600;

bool DialogArtReady(int art) { return ArtAvailable(art, kFaceWidth, kPlateBottom + 1); }

// Decodes a JPEG named the program's way into the whole of a buffer.
void LoadJpegInto(int buffer, const char* name) {
    const std::string path = DataPath(name);
    JpegHeader header{};
    if (ReadJpegHeader(path.c_str(), &header) != 0) return;
    std::vector<uint8_t> work(JpegWorkSize(&header));
    if (work.empty()) return;
    SelectBuffer(buffer);
    SetImageWorkBuffer(work.data(), work.size());
    ShowJpeg(path.c_str(), 0);
}

// Keeps the promise that a modal loop always ends by closing its panel, even when the loop is
// left by an exception.
template <typename Owner>
class CloseOnExit {
public:
    CloseOnExit(Owner& panel, bool& running) : panel(panel), running(running) {}
    ~CloseOnExit() {
        panel.Close();
        running = false;
    }

private:
    Owner& panel;
    bool& running;
};

}  // namespace

// --- Dialog ---

Dialog::Dialog(int dx, int dy, int w, int h, std::string_view title) : Panel(nullptr, dx, dy, w, h, 0) {
    text = title;
    SetToolkitColorValue(kColorText, CurrentTheme().textColor);
}

Dialog::~Dialog() = default;

void Dialog::Open() {
    SaveUnder();
    Panel::Open();
}

void Dialog::Close() {
    Panel::Close();
    RestoreUnder();
    if (capHeight > 0) QueueRect(capLeft, y - capHeight, capRight, y - 1);
    QueueRect(x, y, x + width - 1, y + height - 1);
    capHeight = 0;
    dirty = true;
}

namespace {

// True when id names a button among the window's children, at any depth.
bool IsButtonAmong(const Window& window, int id) {
    const WindowList* children = window.Children();
    if (children == nullptr) return false;
    for (const Window* w = children->Head(); w != nullptr; w = w->NextInList()) {
        if (w->GetId() == id) return dynamic_cast<const Button*>(w) != nullptr;
        if (IsButtonAmong(*w, id)) return true;
    }
    return false;
}

}  // namespace

void Dialog::HandleEvent() {
    ToolkitEvent& e = CurrentEvent();
    const bool enter = e.keyKind == kKeyDown && e.keyChar == kKeyEnter && !ToolkitMenuOpen();
    Panel::HandleEvent();
    if (!enter || defaultButton == nullptr || defaultButton->IsDisabled() || ToolkitMenuOpen()) return;
    // Enter left alone, or turned into a command by a control that is not a button (an edit
    // field), presses the default button.
    const bool leftAlone = e.type == kEventNone && e.keyKind == kKeyDown;
    const bool fieldCommand = e.type == kEventCommand && !IsButtonAmong(*this, e.sourceId);
    if (!leftAlone && !fieldCommand) return;
    e.type = kEventCommand;
    e.sourceId = defaultButton->GetId();
    e.keyKind = kKeyNone;
}

void Dialog::SaveUnder() {
    // A dialog whose top edge would slice through the table's title extends its frame up over
    // the title band, so the letters are hidden whole; its own geometry stays as it is.
    capLeft = std::max(x, kTitleZoneLeft);
    capRight = std::min(x + width - 1, kTitleZoneRight);
    capHeight = y > kTitleZoneTop && y < kTitleZoneBottom && capRight - capLeft > 2 * borderWidth ? y - kTitleZoneTop : 0;
    Panel::SaveUnder();
    if (capHeight == 0) return;
    capSaved.assign(SaveBlockSize(capRight - capLeft + 2, capHeight + 1), 0);
    SelectScreenBuffer();
    GetBlock(capSaved.data(), capLeft, capRight, y - capHeight, y - 1);
}

void Dialog::RestoreUnder() {
    Panel::RestoreUnder();
    if (capHeight == 0 || capSaved.empty()) return;
    SelectScreenBuffer();
    PutBlock(capSaved.data(), capLeft, capRight, y - capHeight, y - 1);
    capSaved.clear();
}

void Dialog::Draw() {
    SelectScreenBuffer();
    DrawFrame(false);
    DrawChildren();
    QueueSelf();
}

void Dialog::Repaint() {
    SelectScreenBuffer();
    DrawFrame(true);
    DrawChildren();
    QueueSelf();
}

Pixel Dialog::BackgroundColor() const {
    return DialogArtReady(ThemeDialogArt()) ? Panel::BackgroundColor() : PlainFaceColor();
}

void Dialog::PaintBackground(int minx, int maxx, int miny, int maxy) {
    const int art = ThemeDialogArt();
    SelectScreenBuffer();
    if (DialogArtReady(art)) {
        // The face lies under the dialog (and its cap) pixel for pixel.
        const int faceTop = y - capHeight;
        CopyBufferRect(minx - x, maxx - x, miny - faceTop, maxy - faceTop, minx, maxy, art, ToolkitScreenBuffer());
    } else {
        SetColor(PlainFaceColor());
        FillRect(minx, maxx, miny, maxy);
    }
}

void Dialog::PaintFace(int fx, int fy, int w, int h) { PaintBackground(x + fx, x + fx + w - 1, y + fy, y + fy + h - 1); }

namespace {

// Where a cap's side (drawn down to the foot of the top edge) meets the top edge: device pixels
// nearer the top than the side's outer line take the top edge back from the face art, so the two
// frame lines meet in a mitre instead of the side running on through the edge. side is the
// joint's square at (left, top), b logical pixels wide; the side's outer line is on its left
// when outsideLeft. edgeArtX is the face art's column under the square's left.
void MitreCapJoint(int art, int screen, int left, int top, int b, bool outsideLeft, int edgeArtX) {
    const int scale = BufferScale(screen);
    if (scale != BufferScale(art) || left < 0 || top < 0 || edgeArtX < 0) return;
    const int n = b * scale, screenWidth = BufferWidth(screen), artWidth = BufferWidth(art);
    if ((left + b) * scale > screenWidth || (top + b) * scale > BufferHeight(screen) ||
        (edgeArtX + b) * scale > artWidth || n > BufferHeight(art))
        return;
    Pixel* to = BufferPixels(screen);
    const Pixel* from = BufferPixels(art);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int depthIntoSide = outsideLeft ? i : n - 1 - i;
            if (j < depthIntoSide) continue;
            to[static_cast<size_t>(top * scale + j) * screenWidth + left * scale + i] =
                from[static_cast<size_t>(j) * artWidth + edgeArtX * scale + i];
        }
}

}  // namespace

void Dialog::DrawFrame(bool repaintStyle) {
    const int b = borderWidth;
    const int w = width, h = height;
    const int screen = ToolkitScreenBuffer();
    const ToolkitTheme& theme = CurrentTheme();
    const int art = ThemeDialogArt();
    const bool haveArt = DialogArtReady(art);
    if (haveArt) {
        CopyBufferRect(0, w - 1, 0, h - 1, x, y + h - 1, art, screen);
        CopyBufferRect(kFaceWidth - b, kFaceWidth - 1, 0, h - b + 1, x + w - b, y + h - b + 1, art, screen);
        CopyBufferRect(0, w - b - 1, kFaceHeight - b, kFaceHeight - 1, x, y + h - 1, art, screen);
        CopyBufferRect(kFaceWidth - 1 - b, kFaceWidth - 1, kFaceHeight - b, kFaceHeight - 1, x + w - b - 1, y + h - 1,
                       art, screen);
    } else {
        // No artwork: a plain face with a raised outer edge and a sunken line inside the border.
        SetColor(PlainFaceColor());
        FillRect(x, x + w - 1, y, y + h - 1);
        DrawBevel(x, x + w - 1, y, y + h - 1, true);
        DrawBevel(x + b - 3, x + w - b + 2, y + b - 3, y + h - b + 2, false);
    }
    // The cap: a tab of the same frame rising from the top edge over the title band, its face
    // running on into the dialog's.
    const int top = y - capHeight;
    if (capHeight > 0) {
        const int cw = capRight - capLeft + 1, ch = capHeight + b;
        if (haveArt) {
            CopyBufferRect(0, cw - b - 1, 0, ch - 1, capLeft, top + ch - 1, art, screen);
            CopyBufferRect(kFaceWidth - b, kFaceWidth - 1, 0, ch - 1, capRight - b + 1, top + ch - 1, art, screen);
            MitreCapJoint(art, screen, capLeft, y, b, true, capLeft - x);
            MitreCapJoint(art, screen, capRight - b + 1, y, b, false, capRight - b + 1 - x);
        } else {
            SetColor(PlainFaceColor());
            FillRect(capLeft, capRight, top, y + b - 1);
            DrawBevel(capLeft, capRight, top, y + b, true);
        }
        QueueRect(capLeft, top, capRight, y - 1);
    }

    const bool hasTitle = !text.empty();
    titleLeft = x + b + 2;
    titleRight = x + w - b - 2;
    if (repaintStyle) {
        titleTop = top + b + 2;
        titleBottom = titleTop + 6 + (hasTitle ? 16 : 0);
    } else {
        titleTop = top + b + 7;
        titleBottom = titleTop + kTitleHeight;
    }
    if (!hasTitle) return;

    const int plateLeft = x + w / 2 - kPlateHalfWidth;
    const int plateBottom = titleTop + kTitleHeight;
    if (haveArt) {
        // A dialog narrower than the plate (a message box) gets the plate's two ends joined in
        // the middle, so the plate stays inside the frame and never paints over it.
        const int inner = w - 2 * (b + 2);
        const int full = kPlateRight - kPlateLeft + 1;
        SetClip(x, x + w - 1, top, y + h - 1);
        if (inner >= full) {
            CopyBufferRectTransparent(kPlateLeft, kPlateRight, kPlateTop, kPlateBottom, plateLeft, plateBottom, art,
                                      screen);
        } else if (inner > 1) {
            const int leftPart = inner / 2, rightPart = inner - leftPart, left = x + b + 2;
            CopyBufferRectTransparent(kPlateLeft, kPlateLeft + leftPart - 1, kPlateTop, kPlateBottom, left, plateBottom,
                                      art, screen);
            CopyBufferRectTransparent(kPlateRight - rightPart + 1, kPlateRight, kPlateTop, kPlateBottom, left + leftPart,
                                      plateBottom, art, screen);
        }
        ResetClip();
    } else {
        const int left = std::max(plateLeft, x + b + 2);
        const int right = std::min(plateLeft + (kPlateRight - kPlateLeft), x + w - b - 3);
        const int plateTop = plateBottom - (kPlateBottom - kPlateTop);
        SetColor(PlainPlateColor());
        FillRect(left, right, plateTop, plateBottom);
        DrawBevel(left, right, plateTop, plateBottom, false);
    }
    MoveTo((titleLeft + titleRight) / 2, (titleTop + titleBottom) / 2);
    if (repaintStyle) {
        SetColor(MapRgb(255, 170, 64));
        DrawBoldText(text, 0, 0);
    } else {
        // The title style on the plate; the regular role stands in when no bold font is loaded.
        SetColor(theme.controlTextColor);
        if (BoldFont() > 0) DrawBoldText(text, 0, 0);
        else DrawRegularText(text, 0, 0);
    }
}

int Dialog::TitleRoom() const {
    constexpr int kPlateEnd = 12;  // each rounded end of the plate
    return std::min(kPlateRight - kPlateLeft + 1, width - 2 * (borderWidth + 2)) - 2 * kPlateEnd;
}

int Dialog::RunModal() {
    if (running) return 0;
    running = true;
    result = 0;
    {
        CloseOnExit<Dialog> closer(*this, running);
        Open();
        RunModalLoop(*this, result, false, [this] { ProcessEvent(); });
    }
    // What the dialog covered is back; show it.
    if (ApplicationActiveForToolkit()) {
        PresentQueuedRects();
        ClearDirty();
    }
    return result;
}

// --- MessageBox ---

MessageBox::MessageBox(Window*, std::string_view title, int flags, std::string_view messageText)
    : Dialog(0, 0, 300, 100, title), message(messageText) {
    style = flags;
    // A message may run over several lines, split at line breaks; the box fits the widest.
    int widest = 0;
    for (const std::string_view line : MessageLines()) widest = std::max(widest, RegularTextWidth(line));
    width = std::max(widest, kMessageMinTextWidth) + kMessageMargin;
    const int extraLines = static_cast<int>(MessageLines().size()) - 1;
    height += extraLines * RegularTextHeight();
    // A title plate would cover the text line, so a titled box is taller by the plate's height.
    if (!text.empty()) {
        contentOffset = kTitledBoxExtra;
        height += kTitledBoxExtra;
    }
    buttonsOffset = contentOffset + extraLines * RegularTextHeight();
    clientRight = x + width - 1;
    clientBottom = y + height - 1;
    Center();
}

void MessageBox::Open() {
    const int art = ThemeDialogArt();
    const int w = width;
    auto make = [&](int slot, int left, const char* caption) {
        buttons[slot] = Create<Button>(left, kButtonTop + buttonsOffset, kButtonWidth, kButtonHeight, art, caption);
    };
    if (style & kYesNo) {
        make(0, w / 2 - 70, Translate("&Yes"));
        make(1, w / 2 + 10, Translate("&No"));
    } else if (style & kOkCancel) {
        make(0, w / 2 - 70, Translate("OK"));
        make(1, w / 2 + 10, Translate("Cancel"));
    } else if (style & kClose) {
        make(0, w / 2 - 30, Translate("Close"));
    } else {
        make(0, w / 2 - 30, Translate("OK"));
    }
    Button* chosen = (style & kSecondIsDefault) && buttons[1] != nullptr ? buttons[1] : buttons[0];
    SetDefaultButton(chosen);
    // The focus starts on the default button too, so Enter reaches it even through the focus.
    children->FocusMember(chosen);
    Dialog::Open();
}

void MessageBox::Close() {
    Dialog::Close();
    // The buttons belong to one opening, so the box can be opened again.
    SetDefaultButton(nullptr);
    for (Button*& button : buttons) {
        if (button != nullptr) DestroyOwned(button);
        button = nullptr;
    }
}

void MessageBox::Draw() {
    SelectScreenBuffer();
    DrawFrame(false);
    SetColor(ToolkitColorValue(kColorText));
    int top = y + kMessageTextY + contentOffset;
    for (const std::string_view line : MessageLines()) {
        MoveTo(x + width / 2, top);
        DrawRegularText(line, 0, 0);
        top += RegularTextHeight();
    }
    DrawChildren();
    QueueSelf();
}

std::vector<std::string_view> MessageBox::MessageLines() const {
    std::vector<std::string_view> lines;
    std::string_view rest = message;
    for (size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1))
        lines.push_back(rest.substr(0, end));
    lines.push_back(rest);
    return lines;
}

void MessageBox::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    const bool escape = e.keyKind == kKeyDown && e.keyChar == kKeyEscape;
    const bool first = e.type == kEventCommand && buttons[0] != nullptr && e.sourceId == buttons[0]->GetId();
    const bool second = e.type == kEventCommand && buttons[1] != nullptr && e.sourceId == buttons[1]->GetId();
    if (style & kYesNo) {
        if (first) result = kResultYes;
        else if (second || escape) result = kResultNo;
    } else if (style & kOkCancel) {
        if (first) result = kResultOk;
        else if (second || escape) result = kResultCancel;
    } else if (style & kClose) {
        if (first) result = kResultClose;
    } else if (first || escape) {
        result = kResultOk;
    }
}

// --- AboutDialog ---

namespace {

constexpr int kAboutX = 145, kAboutY = 90, kAboutWidth = 510, kAboutHeight = 400;
constexpr int kAboutCentreX = 240;
constexpr int kAboutRoleX = 20, kAboutNameX = 225, kAboutLineX = 20;
constexpr int kAboutButtonWidth = 100, kAboutButtonHeight = 30, kAboutButtonTop = 350;

struct Credit {
    int top;
    const char* role;
    const char* name;
};
constexpr Credit kCredits[] = {
    {100, TranslateLater("Design and programming"), TranslateLater("The Quillfen team")},
    {120, TranslateLater("Card games and rules"), TranslateLater("The Quillfen rules desk")},
    {140, TranslateLater("Artwork and backdrops"), TranslateLater("The Quillfen art studio")},
    {170, TranslateLater("Music and sound effects"), TranslateLater("The Quillfen sound workshop")},
    {200, TranslateLater("Testing"), TranslateLater("Friends of Quillfen")},
    {230, TranslateLater("Special thanks"), TranslateLater("Everyone who deals a hand")},
};

struct AboutLine {
    int top;
    const char* text;
};
constexpr AboutLine kAboutLines[] = {
    {260, TranslateLater("Twenty solitaire card games, each with its own rules and high scores.")},
    {280, TranslateLater("Choose Rules from the Help menu to learn the game on the table.")},
    {300, TranslateLater("Undo takes back moves; Auto Game Over ends a game that cannot go on.")},
    {320, TranslateLater("Made with care for the Linux desktop. Enjoy your game!")},
};

}  // namespace

AboutDialog::AboutDialog()
    : Dialog(kAboutX, kAboutY, kAboutWidth, kAboutHeight, Translate("About Quillfen Solitaire")) {
    ok = Create<Button>(kAboutWidth / 2 - kAboutButtonWidth / 2, kAboutButtonTop, kAboutButtonWidth, kAboutButtonHeight,
                        ThemeDialogArt(), Translate("OK"));
    SetDefaultButton(ok);
}

void AboutDialog::DrawTexts() {
    SetColor(CurrentTheme().textColor);
    MoveTo(x + kAboutCentreX, y + 50);
    DrawRegularText("Quillfen Solitaire", 0, 0);
    MoveTo(x + kAboutCentreX, y + 70);
    DrawRegularText(Translate("Version 1.0"), 0, 0);
    for (const Credit& credit : kCredits) {
        MoveTo(x + kAboutRoleX, y + credit.top);
        DrawRegularText(Translate(credit.role), -1, 0);
        MoveTo(x + kAboutNameX, y + credit.top);
        DrawRegularText(Translate(credit.name), -1, 0);
    }
    for (const AboutLine& line : kAboutLines) {
        MoveTo(x + kAboutLineX, y + line.top);
        DrawRegularText(Translate(line.text), -1, 0);
    }
}

void AboutDialog::Draw() {
    SelectScreenBuffer();
    DrawFrame(false);
    DrawTexts();
    DrawChildren();
    QueueSelf();
}

void AboutDialog::Repaint() {
    SelectScreenBuffer();
    DrawFrame(true);
    DrawTexts();
    DrawChildren();
    QueueSelf();
}

void AboutDialog::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if ((e.type == kEventCommand && e.sourceId == ok->GetId()) || (e.keyKind == kKeyDown && e.keyChar == kKeyEscape))
        result = kResultOk;
}

// --- ExitScreen ---

ExitScreen::ExitScreen() : Panel(nullptr, 0, 0, kExitWidth, kExitHeight, 0) {
    background = CreateBuffer(kExitWidth + 1, kExitHeight + 1);
    buttonArt = CreateBuffer(274, 213);
    if (background >= 0) LoadJpegInto(background, "artwork\\exit_bak.jpg");
    if (buttonArt >= 0) {
        SelectBuffer(buttonArt);
        MoveTo(0, 0);
        ShowBmp(DataPath("artwork\\exit_btn.bmp").c_str(), 1);
    }
    SelectScreenBuffer();
    button = Create<ImageButton>(596, 505, 91, 39, buttonArt, ArtCell{182, 78}, ArtCell{0, 78}, ArtCell{91, 78},
                                 ArtCell{91, 78});
}

ExitScreen::~ExitScreen() {
    DestroyOwned(button);
    if (background >= 0) FreeBuffer(background);
    if (buttonArt >= 0) FreeBuffer(buttonArt);
    SelectScreenBuffer();
}

void ExitScreen::Open() {
    SaveUnder();
    Panel::Open();
    PresentRect(0, kExitWidth - 1, 0, kExitHeight - 1, 0, kExitHeight - 1);
}

void ExitScreen::Close() {
    Panel::Close();
    RestoreUnder();
}

void ExitScreen::Draw() {
    SelectScreenBuffer();
    if (ArtAvailable(background, kExitWidth, kExitHeight)) {
        CopyBufferRect(0, kExitWidth - 1, 0, kExitHeight - 1, 0, kExitHeight - 1, background, ToolkitScreenBuffer());
    }
    DrawChildren();
    QueueSelf();
}

int ExitScreen::RunModal() {
    if (running) return 0;
    running = true;
    result = 0;
    {
        CloseOnExit<ExitScreen> closer(*this, running);
        Open();
        RunModalLoop(*this, result, true, [this] { ProcessEvent(); });
    }
    return result;
}

void ExitScreen::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if ((e.type == kEventCommand && e.sourceId == button->GetId()) || (e.keyKind == kKeyDown && e.keyChar == kKeyEscape))
        result = kResult;
}
