// Controls drawn from the theme's control sheet (check boxes, option buttons, small push
// buttons) and the field colours the sheet carries. Without a usable sheet every caller keeps
// its plain drawing in the colour table's colours.
#pragma once

#include "draw/draw.h"
#include "ui/art_cells.h"

// True when the dialog art holds a control sheet: its coverage cells read as coverage and its
// swatches are drawn.
bool ControlArtReady();
// Blends the cell over the screen at (x, y), device pixel by device pixel. Nothing without a sheet.
void DrawControlCell(const art::ControlCell& cell, int x, int y);

inline int MarkStateOf(bool on, bool pressed, bool disabled) {
    return (disabled ? art::kMarkDisabledOff : pressed ? art::kMarkPressedOff : art::kMarkOff) + (on ? 1 : 0);
}
inline int PushStateOf(bool pressed, bool disabled) {
    return disabled ? art::kPushDisabled : pressed ? art::kPushPressed : art::kPushNormal;
}

// A field of the control sheet's look over the face already drawn there: rounded, filled with
// fill and ringed in the text colour. False (nothing drawn) without a sheet.
bool DrawThemedField(int minx, int maxx, int miny, int maxy, Pixel fill);

// Field colours from the sheet, or the colour table's when there is none.
Pixel FieldFillColor();
Pixel FieldTextColor();
Pixel ListSelectionColor();
Pixel ListSelectionTextColor();
