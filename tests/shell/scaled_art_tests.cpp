// Every picture of the generated data at device scales 2 and 3: the program opens only the art
// made for its scale, and that art is drawn finer than the 1x picture enlarged.

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "artwork/artwork.h"
#include "artwork/screen_layout.h"
#include "platform/paths.h"
#include "shell/shell.h"
#include "tests/shell/shell_fixture.h"
#include "ui/dialog.h"

namespace shell_test {
namespace {

namespace fs = std::filesystem;

constexpr int kKlondikeItem = 11;
constexpr uint64_t kDealMs = 10000;

fs::path ArtFolderOfData() { return fs::path(DataPath("artwork\\title.jpg")).parent_path(); }

bool IsPicture(const fs::path& path) {
    const std::string extension = path.extension().string();
    return extension == ".bmp" || extension == ".jpg" || extension == ".png";
}

bool IsScaledName(const std::string& name) { return name.find('@') != std::string::npos; }

// The 1x pictures of the generated data, by file name.
std::vector<std::string> OneXPictures() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ArtFolderOfData()))
        if (IsPicture(entry.path()) && !IsScaledName(entry.path().filename().string()))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The files opened in a folder while it lives, by name (inotify's open events).
class OpenedFiles {
public:
    explicit OpenedFiles(const fs::path& folder) {
        fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (fd >= 0) inotify_add_watch(fd, folder.c_str(), IN_OPEN);
    }
    ~OpenedFiles() {
        if (fd >= 0) close(fd);
    }
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;
    bool Watching() const { return fd >= 0; }
    std::set<std::string> Names() {
        alignas(inotify_event) char events[1 << 16];
        for (;;) {
            const ssize_t got = read(fd, events, sizeof events);
            if (got <= 0) break;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                if (event->len > 0) names.insert(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    int fd = -1;
    std::set<std::string> names;
};

// The file name of a picture's art for a scale: "menu1@2x.png" for "menu1.bmp".
std::string ScaledPictureName(const std::string& name, int scale) {
    const fs::path path = ScaledFileName(name.c_str(), scale);
    if (path.extension() != ".bmp") return path.string();
    fs::path png = path;
    return png.replace_extension(".png").string();
}

// A picture file's size in pixels, read from its header; {0, 0} when unreadable.
std::pair<int, int> PictureSize(const fs::path& path) {
    const std::vector<uint8_t> bytes = test_support::ReadBytes(path);
    const auto little = [&](size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24;
    };
    const auto big = [&](size_t at) { return bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]; };
    if (bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M') return {little(18), std::abs(little(22))};
    if (bytes.size() >= 24 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G') return {big(16), big(20)};
    JpegHeader header{};
    if (DrawScale() == 1 && ReadJpegHeader(path.c_str(), &header) == 0) return {header.width, header.height};
    return {0, 0};
}

// Draws a picture into a fresh buffer of its logical size and returns the device pixels:
// through the file form, which takes the art of the running scale, or from bytes (enlarged when
// they are a 1x picture, pixel for pixel when made at the scale).
std::vector<Pixel> Decode(int width, int height, const std::function<void()>& draw) {
    const int handle = CreateBuffer(width, height);
    SelectBuffer(handle);
    SetColor(kMagenta);
    FillBuffer();
    draw();
    std::vector<Pixel> pixels(BufferPixels(handle),
                              BufferPixels(handle) + static_cast<size_t>(BufferWidth(handle)) * BufferHeight(handle));
    for (Pixel& p : pixels) p &= 0xFFFFFF;
    CloseBuffer();
    FreeBuffer(handle);
    return pixels;
}

// Device pixels that differ by more than a JPEG's errors in some channel.
int FarApart(const std::vector<Pixel>& a, const std::vector<Pixel>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) count += !Near(a[i], b[i], 24);
    return count;
}

constexpr int kTolerance = 6;

// The scale x scale blocks of a picture drawn at a device scale whose pixels spread by more than
// tolerance in some channel: none in a 1x picture enlarged, whose every block is one colour.
int UnevenBlocks(const std::vector<Pixel>& pixels, int width, int scale, int tolerance) {
    const int height = static_cast<int>(pixels.size()) / width;
    int count = 0;
    for (int top = 0; top + scale <= height; top += scale)
        for (int left = 0; left + scale <= width; left += scale) {
            const Pixel first = pixels[static_cast<size_t>(top) * width + left];
            bool uneven = false;
            for (int y = top; y < top + scale && !uneven; ++y)
                for (int x = left; x < left + scale && !uneven; ++x)
                    uneven = !Near(pixels[static_cast<size_t>(y) * width + x], first, tolerance);
            count += uneven;
        }
    return count;
}

class ScaledArtTest : public ShellTest {};

// At 2x a session that shows every picture (logo, selection screen and its highlight and buttons,
// a rule dialog with its arrows, a deal, a menu, all six themes, every card design, the win,
// lose and exit screens) opens the 2x file of each and no 1x picture at all.
TEST_F(ScaledArtTest, AtTwoXTheProgramOpensEveryPictureFromItsTwoXFile) {
    // A data folder of this test's own (linked where it can be), so that the files other tests
    // open meanwhile in the shared one are not counted.
    const fs::path data = runtimeDir / "data";
    std::error_code linked;
    fs::copy(DataDirectory(), data, fs::copy_options::recursive | fs::copy_options::create_hard_links, linked);
    if (linked) {
        fs::remove_all(data);
        fs::copy(DataDirectory(), data, fs::copy_options::recursive);
    }
    const ScopedEnvironment dataFolder("QUILLFEN_DATA_DIR", data.string());
    OpenedFiles opened(ArtFolderOfData());
    ASSERT_TRUE(opened.Watching());
    backend.SetDeviceScale(2);
    Activate(10);
    EndLogo(10);
    const int nameX = CentreOf(kKlondikeItem).x, nameY = CentreOf(kKlondikeItem).y;
    backend.MoveMouse(100, nameX, nameY);
    backend.Click(100, nameX, nameY);
    backend.PressKey(200, kHidS);
    backend.Click(kDealMs, 80, 10);  // the Game menu opens
    backend.PressKey(200, kHidEscape);
    backend.After(200, [] {
        Artwork& artwork = *ShellArtwork();
        // Pictures decoded when first needed are asked for: a selected card, a dialog's face.
        for (int design = 0; design < 4; ++design) {
            artwork.cardFront = design;
            artwork.LoadCardImages();
            artwork.DrawCard(0, 0, Card(1, 0), artwork.screenBuffer, true);
        }
        for (int theme = 0; theme < screen_layout::kThemeCount; ++theme) {
            artwork.LoadTheme(theme);
            artwork.DrawGameTitle(1);  // a theme's title picture is read when a title is drawn
            artwork.DialogArt();
        }
        artwork.DrawScreenPicture("artwork\\winscreen.jpg");
        artwork.DrawScreenPicture("artwork\\losescreen.jpg");
        const ExitScreen exitScreen;
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);

    const std::set<std::string> names = opened.Names();
    for (const std::string& name : names)
        EXPECT_TRUE(!IsPicture(name) || IsScaledName(name)) << name << " was opened at 2x";
    for (const std::string& name : OneXPictures())
        EXPECT_EQ(names.count(ScaledPictureName(name, 2)), 1u) << ScaledPictureName(name, 2) << " was not opened";
}

// Every 1x picture of the data has a 2x and a 3x file of exactly two and three times its size,
// and drawn at its scale it differs clearly from the 1x picture enlarged (the drawing layer's
// fallback, and what a pixel-doubled file would show) along its edges and shading.
TEST_F(ScaledArtTest, EveryPictureHasTwoXAndThreeXArtThatIsNotTheOneXEnlarged) {
    const std::vector<std::string> pictures = OneXPictures();
    ASSERT_GE(pictures.size(), 50u);
    const fs::path folder = ArtFolderOfData();
    for (const int scale : {2, 3}) {
        for (const std::string& name : pictures) {
            SCOPED_TRACE(name + " at " + std::to_string(scale) + "x");
            backend.SetDeviceScale(1);
            InitBuffers();
            const std::pair<int, int> size = PictureSize(folder / name);
            const fs::path scaled = folder / ScaledPictureName(name, scale);
            ASSERT_TRUE(fs::exists(scaled));
            const std::pair<int, int> scaledSize = PictureSize(scaled);
            EXPECT_EQ(scaledSize.first, size.first * scale);
            EXPECT_EQ(scaledSize.second, size.second * scale);
            backend.SetDeviceScale(scale);
            InitBuffers();
            const fs::path oneX = folder / name;
            const bool jpeg = oneX.extension() == ".jpg";
            const int width = size.first * scale;
            const std::vector<Pixel> art = Decode(size.first, size.second, [&] {
                if (jpeg) ShowJpeg(oneX.c_str(), 0);
                else ShowBmp(oneX.c_str(), 1);
            });
            // The 1x picture enlarged, and for a JPEG saved again as the scale's file would be:
            // its blocks are one colour but for the encoder's errors.
            const std::vector<uint8_t> oneXBytes = test_support::ReadBytes(oneX);
            const std::vector<Pixel> enlarged = Decode(size.first, size.second, [&] {
                if (jpeg) ShowJpegMemory(oneXBytes.data(), oneXBytes.size());
                else ShowBmpMemory(oneXBytes.data(), oneXBytes.size(), 1);
            });
            std::vector<Pixel> control = enlarged;
            if (jpeg) {
                const std::vector<uint8_t> saved = EncodeJpeg(enlarged.data(), width, size.second * scale, 92, false);
                control = Decode(size.first, size.second, [&] { ShowScaledJpegMemory(saved.data(), saved.size()); });
            }
            // Finer than that control: more blocks that are not one colour (shading and texture
            // finer than a logical pixel), or many pixels far from the enlarged picture (edges
            // drawn at the device scale).
            const int uneven = UnevenBlocks(art, width, scale, kTolerance);
            const int unevenControl = UnevenBlocks(control, width, scale, kTolerance);
            const int moved = FarApart(art, enlarged), movedControl = FarApart(control, enlarged);
            EXPECT_TRUE(uneven >= unevenControl * 3 / 2 + 100 || moved >= 2 * movedControl + 100)
                << uneven << " uneven blocks against " << unevenControl << ", " << moved << " pixels far from the 1x "
                << "picture against " << movedControl;
        }
    }
    ShutdownGraphics();
}

}  // namespace
}  // namespace shell_test
