// What many test programs need: an environment variable set for a while, a private folder that
// goes away afterwards, whole files read and written as bytes, and where two pictures differ.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace test_support {

// Sets the variable (unsets it for null) for the life of the object, then puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name(name) {
        if (const char* old = std::getenv(name)) previous = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ScopedEnvironment(const char* name, const std::string& value) : ScopedEnvironment(name, value.c_str()) {}
    ~ScopedEnvironment() {
        if (previous) setenv(name, previous->c_str(), 1);
        else unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

// A fresh folder of the owner's only, removed with its contents when the object goes. inMemory
// puts it on /dev/shm when there is one, for tests that write a file at every move.
class TempFolder {
public:
    explicit TempFolder(const std::string& purpose, bool inMemory = false) {
        const std::filesystem::path base = inMemory && std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / ("quillfen-" + purpose + "-XXXXXX")).string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path; }
    std::string String() const { return path.string(); }

private:
    std::filesystem::path path;
};

// Where two pictures of width x height pixels differ: empty when they are equal, else how many
// pixels differ and the box that holds them.
inline std::string PictureDifference(const uint32_t* a, const uint32_t* b, int width, int height) {
    if (std::memcmp(a, b, static_cast<size_t>(width) * static_cast<size_t>(height) * 4) == 0) return {};
    int left = width, top = height, right = -1, bottom = -1, count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (a[static_cast<size_t>(y) * width + x] != b[static_cast<size_t>(y) * width + x]) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
                ++count;
            }
    if (count == 0) return {};
    return std::to_string(count) + " pixels differ within (" + std::to_string(left) + ", " + std::to_string(top) +
           ") - (" + std::to_string(right) + ", " + std::to_string(bottom) + ")";
}

// Where the table shown in a window (its pixels, its width and the table's top-left corner in it)
// differs from the screen buffer of width x height it should show, the buffer's top byte ignored:
// empty when they agree. Rows are compared in place; pictures are copied only to say where.
inline std::string WindowDifference(const uint32_t* window, int windowWidth, int tableLeft, int tableTop,
                                    const uint32_t* screen, int width, int height) {
    const auto row = [&](int y) { return window + static_cast<size_t>(tableTop + y) * windowWidth + tableLeft; };
    bool same = true;
    for (int y = 0; y < height && same; ++y)
        for (int x = 0; x < width; ++x) same &= (screen[static_cast<size_t>(y) * width + x] & 0xFFFFFFu) == row(y)[x];
    if (same) return {};
    std::vector<uint32_t> drawn(static_cast<size_t>(width) * height), shown(drawn.size());
    for (size_t i = 0; i < drawn.size(); ++i) drawn[i] = screen[i] & 0xFFFFFFu;
    for (int y = 0; y < height; ++y) std::copy(row(y), row(y) + width, shown.begin() + static_cast<ptrdiff_t>(y) * width);
    return PictureDifference(drawn.data(), shown.data(), width, height);
}

// Appends the low `bytes` bytes of value, least significant first.
inline void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The sum over the three channels of 0xRRGGBB pixels of how far apart they are.
inline int Distance(uint32_t a, uint32_t b) {
    int sum = 0;
    for (int shift : {0, 8, 16}) sum += std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF));
    return sum;
}
// Whether every channel is within tolerance (by default a JPEG's small errors).
inline bool Near(uint32_t a, uint32_t b, int tolerance = 6) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

// Relative luminance of an sRGB colour with channels 0..1 or of a 0xRRGGBB pixel, and the
// contrast ratio of two luminances.
inline double Luminance(double r, double g, double b) {
    auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
}
inline double Luminance(uint32_t p) { return Luminance((p >> 16 & 0xFF) / 255.0, (p >> 8 & 0xFF) / 255.0, (p & 0xFF) / 255.0); }
inline double Contrast(double a, double b) { return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05); }

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Creates the parent folders as needed.
inline void WriteBytes(const std::filesystem::path& path, const void* data, size_t size) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}
inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    WriteBytes(path, bytes.data(), bytes.size());
}

}  // namespace test_support
