// The three appearance choosers of the "&Options" menu: card back, card front design and table
// background, each a dialog of pictures to click with "OK" and "Cancel". "OK" stores the choice
// with the player's preferences (userPreferences and the settings file); "Cancel" or Escape
// changes nothing. The caller applies a stored choice: the back at once, the front design with
// the next game, the background at the next theme load.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog.h"

// A dialog showing cells of a source buffer in a grid; a click selects a cell, a double click
// or "OK" accepts it.
class PictureChooser : public Dialog {
public:
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    struct Grid {
        int columns;
        int cellWidth, cellHeight;  // pixels of each picture
        int pitchX, pitchY;         // distance between neighbouring pictures
        int left, top;              // the first picture, relative to the dialog
    };
    // cellLefts/cellTops give each picture's top-left corner in source.
    PictureChooser(std::string_view title, int width, int height, int source, std::vector<int> cellLefts,
                   std::vector<int> cellTops, const Grid& grid, int selected);

    void Draw() override;
    void Repaint() override;
    void ProcessEvent() override;

    // Names the pictures: under each one (a second line after '\n'), or on a dark strip across
    // its foot when inside.
    void SetLabels(std::vector<std::string> names, bool inside);

    int Selected() const { return selected; }
    int CellCount() const { return static_cast<int>(cellLefts.size()); }
    // The picture's top-left corner on the screen (tests click there).
    void CellPosition(int index, int* cellX, int* cellY) const;
    Button* OkButton() const { return okButton; }
    Button* CancelButton() const { return cancelButton; }

private:
    void DrawCells();
    void DrawLabel(const std::string& label, int cellX, int cellY);
    void DrawMark(int index, bool shown);
    int CellAt(int px, int py) const;
    void Select(int index);

    int source;
    std::vector<int> cellLefts, cellTops;
    Grid grid;
    int selected;
    std::vector<std::string> labels;
    bool labelsInside = false;
    Button* okButton = nullptr;
    Button* cancelButton = nullptr;
};

// Each returns true when the player accepted a choice (stored even when it did not change).
bool ChooseCardBack();
bool ChooseCardFront();
bool ChooseBackdrop();
