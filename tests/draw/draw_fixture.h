// Shared by the drawing-layer tests: a fixture with a scripted window behind PresentRect, and
// builders for the small image, font and sprite files the tests feed to the decoders.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "platform/messages.h"
#include "platform/scripted_backend.h"

constexpr Pixel kMagenta = 0xFF00FF;
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kBlack = 0x000000;

class DrawTest : public ::testing::Test {
public:
    void SetUp() override {
        SetBackend(&backend);
        window = CreateMainWindow("draw test", 800, 600, &Procedure);
        ASSERT_NE(window, nullptr);
        SetupDisplay(800, 600, 32, 0);
        InitBuffers();
        SetBufferDepth(32);
        SetTransparentColor(34, 1);
        SetTransparentColor(253, 1);
        UnloadFont(-1);
        SetColor(kBlack);
        MoveTo(0, 0);
        SetTextJustify(-1, 1);
        SetBoxDepth(1, 1);
    }
    void TearDown() override {
        DestroyWindow(window);
        SetBackend(nullptr);
        ShutdownGraphics();
        UnloadFont(-1);
    }
    static LRESULT Procedure(HWND w, uint32_t m, WPARAM wp, LPARAM lp) { return DefWindowProc(w, m, wp, lp); }

    // Creates a buffer filled with one colour and makes it active.
    static int MakeBuffer(int width, int height, Pixel fill) {
        int handle = CreateBuffer(width, height);
        SelectBuffer(handle);
        SetColor(fill);
        FillBuffer();
        return handle;
    }
    static Pixel At(int handle, int x, int y) { return BufferPixels(handle)[y * BufferWidth(handle) + x]; }
    static std::vector<Pixel> Snapshot(int handle) {
        const Pixel* p = BufferPixels(handle);
        return {p, p + static_cast<size_t>(BufferWidth(handle)) * BufferHeight(handle)};
    }
    static int CountPixels(int handle, Pixel color) {
        const Pixel* p = BufferPixels(handle);
        return static_cast<int>(std::count(p, p + BufferWidth(handle) * BufferHeight(handle), color));
    }
    // The painted pixels of a buffer as the inclusive rectangle {minx, maxx, miny, maxy}, or
    // {1, 0, 1, 0} when no pixel differs from the background.
    static std::vector<int> PaintedBounds(int handle, Pixel background) {
        std::vector<int> r{1 << 30, -1, 1 << 30, -1};
        for (int y = 0; y < BufferHeight(handle); ++y)
            for (int x = 0; x < BufferWidth(handle); ++x)
                if (At(handle, x, y) != background) {
                    r = {std::min(r[0], x), std::max(r[1], x), std::min(r[2], y), std::max(r[3], y)};
                }
        if (r[1] < 0) return {1, 0, 1, 0};
        return r;
    }

    ScriptedBackend backend;
    HWND window = nullptr;
};

// Writes bytes to a file in the test's temporary folder and returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

// A BMP file. values are the pixels top row first: palette indices for 1, 4 and 8 bits, raw
// little-endian words for 16 and 32 bits, 0x00RRGGBB for 24 bits. masks are stored as bit
// fields (compression 3) when given.
struct BmpLayout {
    BmpLayout(int width, int height, int bitsPerPixel, bool topDown = false)
        : width(width), height(height), bitsPerPixel(bitsPerPixel), topDown(topDown) {}
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    bool topDown = false;
    std::vector<Pixel> palette;
    std::vector<uint32_t> values;
    std::vector<uint32_t> masks;
    // For run-length coding (compression 1 or 2): the coded data, used instead of values.
    uint32_t compression = 0;
    std::vector<uint8_t> coded;
};
std::vector<uint8_t> MakeBmp(const BmpLayout& layout);

// A 96-glyph font whose glyph for character c is glyphWidth(c) x glyphHeight(c) pixels of
// coverage value ink.
std::vector<uint8_t> MakeFont(int spacing, int lineHeight, const std::function<int(int)>& glyphWidth,
                              const std::function<int(int)>& glyphHeight, uint8_t ink = 255);

// A sprite file of (length, palette index) runs.
std::vector<uint8_t> MakeSprite(int width, int height, const std::vector<std::pair<int, int>>& runs);
