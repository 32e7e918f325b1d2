#include "shell/display_depth.h"

int ChooseDisplayDepth(const std::vector<DisplayMode>& modes) {
    int chosen = 0;
    for (const DisplayMode& mode : modes) {
        if (mode.width != 800 || mode.height != 600) continue;
        const int bits = mode.bitsPerPixel;
        if (bits > chosen && chosen != 24 && bits < 33) chosen = bits;
    }
    return chosen;
}
