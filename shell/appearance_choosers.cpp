#include "shell/appearance_choosers.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "cards/card_geometry.h"
#include "cards/card_images.h"
#include "platform/paths.h"
#include "platform/translation.h"
#include "store/settings_store.h"
#include "ui/paint.h"
#include "ui/toolkit.h"

using namespace card_geometry;

namespace {

constexpr int kButtonWidth = 100, kButtonHeight = 30;
constexpr int kButtonsFromBottom = 50;
constexpr int kMarkGap = 3;    // between a picture and its selection mark
constexpr int kMarkWidth = 2;  // thickness of the mark
constexpr int kScreenWidth = 800, kScreenHeight = 600;

// Backdrop thumbnails: the 800 x 600 pictures shrunk five times.
constexpr int kThumbScale = 5;
constexpr int kBackdropWidth = 800, kBackdropHeight = 600;
constexpr int kThumbWidth = kBackdropWidth / kThumbScale, kThumbHeight = kBackdropHeight / kThumbScale;
constexpr int kThumbColumns = 3;
// The status rail across the foot of every backdrop (with its rim): a thumbnail shows the table
// above it in its place, as the chooser is about the material, not the rail.
constexpr int kRailTop = 544, kRailBottom = 586;
// A label: the line pitch, and the strip of a label inside a picture.
constexpr int kLabelPitch = 14, kLabelStrip = 18;

// A buffer made for a chooser and freed when it closes.
class OwnedBuffer {
public:
    OwnedBuffer(int width, int height) : handle(CreateBuffer(width, height)) {
        if (handle < 0) return;
        // A picture that fails to load leaves a plain grey cell rather than garbage.
        const int previous = ActiveBuffer();
        SelectBuffer(handle);
        SetColor(MapRgb(128, 128, 128));
        FillRect(0, width - 1, 0, height - 1);
        SelectBuffer(previous);
    }
    ~OwnedBuffer() {
        if (handle >= 0) FreeBuffer(handle);
    }
    OwnedBuffer(const OwnedBuffer&) = delete;
    OwnedBuffer& operator=(const OwnedBuffer&) = delete;
    int Handle() const { return handle; }

private:
    int handle;
};

// Runs a chooser and stores the accepted choice in *choice and the player's preferences.
bool RunChooser(PictureChooser& chooser, uint32_t* choice) {
    const int outcome = chooser.RunModal();
    PresentQueuedRects();
    if (outcome != PictureChooser::kResultOk || chooser.Selected() < 0) return false;
    *choice = static_cast<uint32_t>(chooser.Selected());
    SavePlayerPreferences();
    return true;
}

int Clamped(uint32_t value, int count) { return value < static_cast<uint32_t>(count) ? static_cast<int>(value) : 0; }

// Shrinks an 800 x 600 picture into the thumbnail at (left, top) of target by averaging blocks.
// Both buffers hold device pixels, so at scale s the thumbnail is s times as wide and as high.
void ShrinkInto(int picture, int target, int left, int top) {
    const Pixel* from = BufferPixels(picture);
    Pixel* to = BufferPixels(target);
    if (from == nullptr || to == nullptr) return;
    const int fromPitch = BufferWidth(picture), toPitch = BufferWidth(target);
    const int scale = BufferScale(target);
    left *= scale;
    top *= scale;
    for (int ty = 0; ty < kThumbHeight * scale; ++ty) {
        for (int tx = 0; tx < kThumbWidth * scale; ++tx) {
            uint32_t r = 0, g = 0, b = 0;
            for (int dy = 0; dy < kThumbScale; ++dy) {
                int y = ty * kThumbScale + dy;
                const int railTop = kRailTop * scale, railRows = (kRailBottom - kRailTop + 1) * scale;
                if (y >= railTop && y < railTop + railRows) y -= railRows;
                const Pixel* row = from + y * fromPitch + tx * kThumbScale;
                for (int dx = 0; dx < kThumbScale; ++dx) {
                    r += (row[dx] >> 16) & 0xFF;
                    g += (row[dx] >> 8) & 0xFF;
                    b += row[dx] & 0xFF;
                }
            }
            constexpr uint32_t n = kThumbScale * kThumbScale;
            to[(top + ty) * toPitch + left + tx] = ((r / n) << 16) | ((g / n) << 8) | (b / n);
        }
    }
}

bool DecodeJpeg(int buffer, const char* name) {
    const std::string path = DataPath(name);
    JpegHeader header{};
    if (ReadJpegHeader(path.c_str(), &header) != 0 || header.width != kBackdropWidth ||
        header.height != kBackdropHeight)
        return false;
    const size_t size = JpegWorkSize(&header);
    if (size == 0) return false;
    const auto work = std::make_unique<uint8_t[]>(size);
    const int previous = ActiveBuffer();
    SelectBuffer(buffer);
    SetImageWorkBuffer(work.get(), size);
    ShowJpeg(path.c_str(), 0);
    SetImageWorkBuffer(nullptr, 0);
    SelectBuffer(previous);
    return true;
}

}  // namespace

PictureChooser::PictureChooser(std::string_view title, int w, int h, int sourceBuffer, std::vector<int> lefts,
                               std::vector<int> tops, const Grid& layout, int initial)
    : Dialog((kScreenWidth - w) / 2, (kScreenHeight - h) / 2, w, h, title),
      source(sourceBuffer),
      cellLefts(std::move(lefts)),
      cellTops(std::move(tops)),
      grid(layout),
      selected(initial) {
    const int art = ThemeDialogArt();
    const int buttonTop = h - kButtonsFromBottom;
    okButton = Create<Button>((w - 2 * kButtonWidth) / 3, buttonTop, kButtonWidth, kButtonHeight, art, Translate("OK"));
    cancelButton = Create<Button>(2 * (w - 2 * kButtonWidth) / 3 + kButtonWidth, buttonTop, kButtonWidth, kButtonHeight,
                                  art, Translate("Cancel"));
    SetDefaultButton(okButton);
}

void PictureChooser::CellPosition(int index, int* cellX, int* cellY) const {
    *cellX = x + grid.left + (index % grid.columns) * grid.pitchX;
    *cellY = y + grid.top + (index / grid.columns) * grid.pitchY;
}

int PictureChooser::CellAt(int px, int py) const {
    for (int i = 0; i < CellCount(); ++i) {
        int cx, cy;
        CellPosition(i, &cx, &cy);
        if (px >= cx && px < cx + grid.cellWidth && py >= cy && py < cy + grid.cellHeight) return i;
    }
    return -1;
}

void PictureChooser::DrawMark(int index, bool shown) {
    if (index < 0 || index >= CellCount()) return;
    int cx, cy;
    CellPosition(index, &cx, &cy);
    const int minx = cx - kMarkGap - kMarkWidth, maxx = cx + grid.cellWidth + kMarkGap + kMarkWidth - 1;
    const int miny = cy - kMarkGap - kMarkWidth, maxy = cy + grid.cellHeight + kMarkGap + kMarkWidth - 1;
    SelectScreenBuffer();
    if (shown) {
        SetColor(CurrentTheme().controlHighlightColor);
        FillRect(minx, maxx, miny, miny + kMarkWidth - 1);
        FillRect(minx, maxx, maxy - kMarkWidth + 1, maxy);
        FillRect(minx, minx + kMarkWidth - 1, miny, maxy);
        FillRect(maxx - kMarkWidth + 1, maxx, miny, maxy);
    } else {
        PaintBackground(minx, maxx, miny, miny + kMarkWidth - 1);
        PaintBackground(minx, maxx, maxy - kMarkWidth + 1, maxy);
        PaintBackground(minx, minx + kMarkWidth - 1, miny, maxy);
        PaintBackground(maxx - kMarkWidth + 1, maxx, miny, maxy);
    }
    QueueRect(minx, miny, maxx, maxy);
    dirty = true;
}

void PictureChooser::DrawCells() {
    SelectScreenBuffer();
    for (int i = 0; i < CellCount(); ++i) {
        int cx, cy;
        CellPosition(i, &cx, &cy);
        const int left = cellLefts[static_cast<size_t>(i)], top = cellTops[static_cast<size_t>(i)];
        // Transparent copy: the rounded corners of the card pictures show the dialog.
        CopyBufferRectTransparent(left, left + grid.cellWidth - 1, top, top + grid.cellHeight - 1, cx,
                                  cy + grid.cellHeight - 1, source, ToolkitScreenBuffer());
        if (static_cast<size_t>(i) < labels.size()) DrawLabel(labels[static_cast<size_t>(i)], cx, cy);
    }
    DrawMark(selected, true);
}

void PictureChooser::SetLabels(std::vector<std::string> names, bool inside) {
    labels = std::move(names);
    labelsInside = inside;
}

void PictureChooser::DrawLabel(const std::string& label, int cx, int cy) {
    const int centreX = cx + grid.cellWidth / 2;
    if (labelsInside) {
        const int top = cy + grid.cellHeight - kLabelStrip, right = cx + grid.cellWidth - 1, bottom = cy + grid.cellHeight - 1;
        FillShape(cx, right, top, bottom, RoundedBox(cx, top, right + 1, bottom + 1, 0), MapRgb(0, 0, 0), 0.55);
        SetColor(MapRgb(250, 246, 236));
        MoveTo(centreX, top + kLabelStrip / 2);
        DrawRegularText(label, 0, 0);
        return;
    }
    SetColor(CurrentTheme().textColor);
    int lineY = cy + grid.cellHeight + kMarkGap + kMarkWidth + kLabelPitch / 2 + 2;
    for (size_t start = 0; start <= label.size(); lineY += kLabelPitch) {
        const size_t end = std::min(label.find('\n', start), label.size());
        MoveTo(centreX, lineY);
        DrawRegularText(std::string_view(label).substr(start, end - start), 0, 0);
        start = end + 1;
    }
}

void PictureChooser::Draw() {
    Dialog::Draw();
    DrawCells();
}

void PictureChooser::Repaint() {
    Dialog::Repaint();
    DrawCells();
}

void PictureChooser::Select(int index) {
    if (index < 0 || index >= CellCount() || index == selected) return;
    DrawMark(selected, false);
    selected = index;
    DrawMark(selected, true);
}

void PictureChooser::ProcessEvent() {
    TranslateEvent();
    HandleEvent();
    const ToolkitEvent& e = CurrentEvent();
    if (e.type == kEventCommand) {
        if (e.sourceId == okButton->GetId()) result = kResultOk;
        else if (e.sourceId == cancelButton->GetId()) result = kResultCancel;
        return;
    }
    if (e.keyKind == kKeyDown && e.keyChar == kKeyEscape) {
        result = kResultCancel;
        return;
    }
    int dx = 0, dy = 0;
    if (DoubleClickPending(&dx, &dy) && CellAt(dx, dy) >= 0) {
        Select(CellAt(dx, dy));
        result = kResultOk;
        return;
    }
    if (e.mouseEvent == kMouseLeftPressed) Select(CellAt(e.mouseX, e.mouseY));
    // Arrow keys walk through the pictures.
    if (e.type == kEventLeft) Select(selected - 1);
    else if (e.type == kEventRight) Select(selected + 1);
    else if (e.type == kEventUp) Select(selected - grid.columns);
    else if (e.type == kEventDown) Select(selected + grid.columns);
}

bool ChooseCardBack() {
    OwnedBuffer backs(kBacksSheetWidth, kBacksSheetHeight);
    if (backs.Handle() >= 0) {
        const int previous = ActiveBuffer();
        SelectBuffer(backs.Handle());
        ShowBmp(DataPath(kBacksFile).c_str(), 1);
        SelectBuffer(previous);
    }
    std::vector<int> lefts, tops;
    for (int i = 0; i < kBackCount; ++i) {
        lefts.push_back(BackCellX(i));
        tops.push_back(0);
    }
    // Seven backs to a row, three rows.
    const PictureChooser::Grid grid{7, kCardWidth + 1, kCardHeight + 1, 66, 98, 33, 55};
    PictureChooser chooser(Translate("Card Back"), 520, 410, backs.Handle(), lefts, tops, grid,
                           Clamped(userPreferences.CardBack, kBackCount));
    return RunChooser(chooser, &userPreferences.CardBack);
}

bool ChooseCardFront() {
    // A private set of card images, so the running game's sheets are not disturbed.
    CardImages samples;
    samples.BuildFrontPreview();
    std::vector<int> lefts, tops;
    const int sampleWidth = kFrontPreviewWidth / kFrontDesignCount;
    for (int i = 0; i < kFrontDesignCount; ++i) {
        lefts.push_back(i * sampleWidth);
        tops.push_back(0);
    }
    const PictureChooser::Grid grid{kFrontDesignCount, sampleWidth, kFrontPreviewHeight, 80, 0, 53, 60};
    PictureChooser chooser(Translate("Card Front"), 400, 250, samples.frontPreview, lefts, tops, grid,
                           Clamped(userPreferences.CardFront, kFrontDesignCount));
    chooser.SetLabels({Translate("card front", "Classic"), Translate("card front", "Classic\nlarge index"),
                       Translate("card front", "Modern"), Translate("card front", "Modern\nlarge index")},
                      false);
    return RunChooser(chooser, &userPreferences.CardFront);
}

bool ChooseBackdrop() {
    const int rows = (kBackgroundCount + kThumbColumns - 1) / kThumbColumns;
    OwnedBuffer thumbs(kThumbColumns * kThumbWidth, rows * kThumbHeight);
    {
        OwnedBuffer picture(kBackdropWidth, kBackdropHeight);
        for (int i = 0; i < kBackgroundCount && thumbs.Handle() >= 0 && picture.Handle() >= 0; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "artwork\\backdrop%d.jpg", i + 1);
            if (DecodeJpeg(picture.Handle(), name))
                ShrinkInto(picture.Handle(), thumbs.Handle(), (i % kThumbColumns) * kThumbWidth,
                           (i / kThumbColumns) * kThumbHeight);
        }
    }
    std::vector<int> lefts, tops;
    for (int i = 0; i < kBackgroundCount; ++i) {
        lefts.push_back((i % kThumbColumns) * kThumbWidth);
        tops.push_back((i / kThumbColumns) * kThumbHeight);
    }
    const PictureChooser::Grid grid{kThumbColumns, kThumbWidth, kThumbHeight, kThumbWidth + 20,
                                    kThumbHeight + 20, 30, 55};
    PictureChooser chooser(Translate("Background"), 580, 400, thumbs.Handle(), lefts, tops, grid,
                           Clamped(userPreferences.Backdrop, kBackgroundCount));
    chooser.SetLabels(
        {Translate("background", "Felt"), Translate("background", "Parchment"), Translate("background", "Velvet"),
         Translate("background", "Marble"), Translate("background", "Linen"), Translate("background", "Wood")},
        true);
    return RunChooser(chooser, &userPreferences.Backdrop);
}
