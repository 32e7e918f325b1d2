// Feeds arbitrary bytes to the readers of art made for a device scale (BMP, PNG and JPEG
// pictures, sprites and font glyphs at 2x and 3x), and to the 1x readers enlarging into scaled
// buffers. The first byte picks the reader and the scale; none may crash, and a font's scaled
// glyphs must draw inside the buffer whatever cells they claim.

#include <cstddef>
#include <cstdint>

#include "draw/draw.h"
#include "platform/scripted_backend.h"

namespace {

// A 1x font of 96 glyphs, 3 x 4 pixels each, to attach scaled glyphs to.
std::vector<uint8_t> SmallFont() {
    std::vector<uint8_t> font = {'Q', 'F', 'G', 'F', 1, 0, 96, 0, 32, 0, 0, 3, 4, 0, 0, 0};
    for (int i = 0; i < 96; ++i) {
        font.push_back(3);
        font.push_back(4);
        font.insert(font.end(), 12, 255);
    }
    return font;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static ScriptedBackend* backend = new ScriptedBackend;
    static int currentScale = 0;
    const int scale = 2 + (data[0] & 1);
    if (scale != currentScale) {
        SetBackend(backend);
        backend->SetDeviceScale(scale);
        InitBuffers();
        SelectBuffer(CreateBuffer(64, 48));
        SetTransparentColor(34, 1);
        SetTransparentColor(253, 1);
        currentScale = scale;
    }
    ++data;
    --size;
    MoveTo(8, 40);
    switch ((data[-1] >> 1) % 7) {
    case 0: ShowScaledBmpMemory(data, size, 3); break;
    case 6: ShowScaledPngMemory(data, size, 3); break;
    case 1: ShowBmpMemory(data, size, 3); break;
    case 2: ShowScaledJpegMemory(data, size); break;
    case 3: ShowScaledSprMemory(data, size, size >= 6 ? (data[4] | (data[5] << 8)) / scale : 9); break;
    case 4: ShowSprMemory(data, size, size >= 6 ? data[4] | (data[5] << 8) : 9); break;
    default: {
        static const std::vector<uint8_t> font = SmallFont();
        UnloadFont(-1);
        const int slot = LoadFontMemory(font.data(), font.size());
        AttachScaledFontMemory(slot, data, size);
        SelectFont(slot);
        static const char kSample[] = "Aa 0~";
        DrawText(kSample, sizeof kSample - 1);
        break;
    }
    }
    return 0;
}
