#include "ui/control_art.h"

#include <algorithm>

#include "ui/paint.h"
#include "ui/toolkit.h"

namespace {

// The device pixel at logical (x, y) of the dialog art, or nullptr outside it.
const Pixel* ArtPixel(int x, int y) {
    const int art = ThemeDialogArt();
    const Pixel* pixels = BufferPixels(art);
    const int s = BufferScale(art);
    if (pixels == nullptr || s <= 0 || x < 0 || y < 0 || x * s >= BufferWidth(art) || y * s >= BufferHeight(art))
        return nullptr;
    return pixels + static_cast<size_t>(y * s) * static_cast<size_t>(BufferWidth(art)) + static_cast<size_t>(x * s);
}

int Channel(Pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

bool IsGrey(Pixel p) { return Channel(p, 0) == Channel(p, 8) && Channel(p, 8) == Channel(p, 16); }

Pixel Swatch(int which, int fallback) {
    if (!ControlArtReady()) return ToolkitColorValue(fallback);
    const art::ControlCell cell = art::FieldSwatchCell(which);
    return *ArtPixel(cell.left + 1, cell.top + 1);
}

}  // namespace

bool ControlArtReady() {
    if (!ArtAvailable(ThemeDialogArt(), art::kControlSheetRight + 1, art::kControlSheetBottom + 1))
        return false;
    // A check box is fully covered at its centre and not at all at its corner; a strip without
    // the sheet holds the transparency colour there, which is no grey.
    const art::ControlCell box = art::CheckBoxCell(art::kMarkOff);
    const Pixel centre = *ArtPixel(box.left + box.width / 2, box.top + art::kControlAlphaOffset + box.height / 2);
    const Pixel corner = *ArtPixel(box.left, box.top + art::kControlAlphaOffset);
    if (!IsGrey(centre) || !IsGrey(corner) || Channel(centre, 0) < 240 || Channel(corner, 0) > 128) return false;
    const art::ControlCell fill = art::FieldSwatchCell(art::kFieldFill), text = art::FieldSwatchCell(art::kFieldText);
    return *ArtPixel(fill.left, fill.top) != *ArtPixel(text.left, text.top);
}

void DrawControlCell(const art::ControlCell& cell, int x, int y) {
    if (!ControlArtReady()) return;
    const int art = ThemeDialogArt(), screen = ToolkitScreenBuffer();
    const Pixel* source = BufferPixels(art);
    Pixel* target = BufferPixels(screen);
    const int s = BufferScale(art);
    if (target == nullptr || BufferScale(screen) != s) return;
    const size_t sourcePitch = static_cast<size_t>(BufferWidth(art)), targetPitch = static_cast<size_t>(BufferWidth(screen));
    const int alphaRows = art::kControlAlphaOffset * s;
    for (int dy = std::max(0, -y * s); dy < cell.height * s && (y * s + dy) < BufferHeight(screen); ++dy) {
        const Pixel* colourRow = source + static_cast<size_t>(cell.top * s + dy) * sourcePitch + static_cast<size_t>(cell.left * s);
        const Pixel* alphaRow = colourRow + static_cast<size_t>(alphaRows) * sourcePitch;
        Pixel* row = target + static_cast<size_t>(y * s + dy) * targetPitch;
        for (int dx = std::max(0, -x * s); dx < cell.width * s && (x * s + dx) < BufferWidth(screen); ++dx) {
            const int a = Channel(alphaRow[dx], 0);
            if (a == 0) continue;
            Pixel& p = row[x * s + dx];
            Pixel out = p & ~0xFFFFFFu;
            // Premultiplied colour over what is there.
            for (int shift = 0; shift <= 16; shift += 8) {
                const int blended = Channel(p, shift) * (255 - a) / 255 + Channel(colourRow[dx], shift);
                out |= static_cast<Pixel>(std::min(blended, 255)) << shift;
            }
            p = out;
        }
    }
}

Pixel FieldFillColor() { return Swatch(art::kFieldFill, kColorFieldBackground); }
Pixel FieldTextColor() { return Swatch(art::kFieldText, kColorFieldText); }
Pixel ListSelectionColor() { return Swatch(art::kListSelection, kColorListSelectedBack); }
Pixel ListSelectionTextColor() { return Swatch(art::kListSelectionText, kColorListSelectedText); }

bool DrawThemedField(int minx, int maxx, int miny, int maxy, Pixel fill) {
    if (!ControlArtReady()) return false;
    const RoundedBox box(minx + 0.5, miny + 0.5, maxx + 0.5, maxy + 0.5, 3);
    FillShape(minx, maxx, miny, maxy, box, fill);
    StrokeShape(minx, maxx, miny, maxy, box, 1.0, CurrentTheme().textColor, 0.55);
    return true;
}
