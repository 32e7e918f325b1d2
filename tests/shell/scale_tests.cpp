// The real program with the generated data at device scales 2 and 3: it opens only the art made
// for its scale, and that art is drawn finer than the 1x picture enlarged; while the window changes
// its scale, cards on the table are the scaled art cell for cell and an open dialog is drawn again
// at the new scale; a dragged stack's picture is exact at scales 1 and 3.

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
#include "cards/card_geometry.h"
#include "framework/game.h"
#include "platform/paths.h"
#include "shell/shell.h"
#include "tests/shell/shell_fixture.h"
#include "ui/art_cells.h"
#include "ui/dialog.h"
#include "ui/toolkit.h"

namespace shell_test {
namespace {

using namespace card_geometry;
namespace fs = std::filesystem;

constexpr int kKlondikeItem = 11;
// Virtual time for a deal's slides to finish: input sent earlier is swallowed by the animation.
constexpr uint64_t kDealMs = 10000;

// The front sheet of the chosen design as the drawing layer loads it at the running scale, in
// device pixels.
struct FrontSheet {
    std::vector<Pixel> pixels;
    int pitch = 0;
    int scale = 1;

    explicit FrontSheet(int design) {
        const int handle = CreateBuffer(kFrontSheetWidth, kFrontSheetHeight);
        const int previous = ActiveBuffer();
        SelectBuffer(handle);
        ShowBmp(DataPath(kFrontFiles[design]).c_str(), 1);
        pitch = BufferWidth(handle);
        scale = BufferScale(handle);
        pixels.assign(BufferPixels(handle), BufferPixels(handle) + static_cast<size_t>(pitch) * BufferHeight(handle));
        SelectBuffer(previous);
        FreeBuffer(handle);
    }
    Pixel CellPixel(Card card, int x, int y) const {
        return pixels[static_cast<size_t>(FrontCellY(card.Suit()) * scale + y) * pitch + FrontCellX(card.Rank()) * scale + x] &
               0xFFFFFF;
    }
};

// True when the card at logical (x, y) of the screen shows the art's cell pixel for pixel (the
// magenta corners show the table), and the cell is true scaled art: some s x s block of it is
// not one flat colour, as every block of an enlarged 1x cell would be.
::testing::AssertionResult ShowsCell(const FrontSheet& sheet, Card card, int x, int y) {
    const int screen = ScreenBuffer();
    const int s = sheet.scale;
    bool finerThanOneX = false;
    for (int cy = 0; cy < (kCardHeight + 1) * s; ++cy) {
        for (int cx = 0; cx < (kCardWidth + 1) * s; ++cx) {
            const Pixel art = sheet.CellPixel(card, cx, cy);
            if (art != sheet.CellPixel(card, cx / s * s, cy / s * s)) finerThanOneX = true;
            if (art == kMagenta) continue;
            const Pixel shown = At(screen, x * s + cx, y * s + cy);
            if (shown != art)
                return ::testing::AssertionFailure() << "cell pixel " << cx << "," << cy << " shows " << std::hex
                                                     << shown << " for " << art;
        }
    }
    if (!finerThanOneX) return ::testing::AssertionFailure() << "the cell is enlarged 1x art";
    return ::testing::AssertionSuccess();
}

// Checks every card a fresh Klondike deal lets the player pick up (the uncovered foot
// of each of the seven columns).
void ExpectPickupsShowTheirCells(int scale) {
    Game* game = CurrentGame();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(BufferWidth(ScreenBuffer()), 800 * scale);
    const FrontSheet sheet(ShellArtwork()->cardFront);
    ASSERT_EQ(sheet.scale, scale);
    int checked = 0;
    for (const Hotspot& pickup : game->pickups) {
        EXPECT_TRUE(ShowsCell(sheet, pickup.cards[0], pickup.x, pickup.y)) << "card at " << pickup.x << "," << pickup.y;
        ++checked;
    }
    EXPECT_EQ(checked, 7);
}

class ScaledShellTest : public ShellTest {
protected:
    std::vector<Pixel> Screen() const {
        const int screen = ScreenBuffer();
        return {BufferPixels(screen), BufferPixels(screen) + static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen)};
    }
};

// The drawing scale follows the window's size while the program runs: after each resize the
// screen is drawn again from scratch with the art of the new scale, under an open dialog too, and
// the window shows it pixel for pixel at whole sizes; what was saved under a menu or a hint at the
// old scale never comes back.
TEST_F(ScaledShellTest, ResizingTheWindowDrawsEverythingAgainAtTheNewScale) {
    backend.SetScaleFollowsWindow(true);
    Activate(10);
    EndLogo(10);
    int scale = 1;
    auto resize = [&](uint64_t delayMs, int newScale) {
        backend.After(delayMs, [this, &scale, newScale] {
            scale = newScale;
            backend.SetWindowSize(800 * newScale, 600 * newScale);
        });
    };
    // The window shows the screen buffer pixel for pixel, and both are at the scale asked for.
    auto windowShowsScreen = [&] {
        const std::vector<Pixel> screen = Screen();
        return BufferWidth(ScreenBuffer()) == 800 * scale && DrawScale() == scale &&
               backend.WindowPixels() == screen;
    };
    // A check that must hold at that moment; the count at the end says that each was made.
    int checked = 0;
    auto check = [&](uint64_t delayMs, const char* what, std::function<bool()> holds) {
        backend.After(delayMs, [&checked, what, holds] {
            EXPECT_TRUE(holds()) << what;
            ++checked;
        });
    };
    const int nameX = CentreOf(kKlondikeItem).x, nameY = CentreOf(kKlondikeItem).y;

    resize(100, 3);
    std::vector<Pixel> selection, dialogAtThree;
    check(100, "the selection screen at 3x", [&] {
        selection = Screen();
        return windowShowsScreen();
    });
    // The rule dialog, open while the window goes down to 1x and back up to 3x, closes onto the
    // selection screen as drawn at 3x: its save-under was taken again from the new screen.
    backend.Click(100, nameX * 3, nameY * 3);
    check(200, "the rule dialog shown", [&] { return ModalLoopDepth() > 0 && Screen() != selection; });
    backend.After(10, [&] { dialogAtThree = Screen(); });
    resize(100, 1);
    resize(200, 3);
    check(200, "the rule dialog drawn again at 3x",
          [&] { return ModalLoopDepth() > 0 && Screen() == dialogAtThree && windowShowsScreen(); });
    backend.PressKey(100, kHidEscape);
    check(200, "the selection screen restored", [&] { return !IsGameRunning() && Screen() == selection; });

    // A deal started at 2x, then the window made 3x: the table is drawn again from the 3x art.
    resize(100, 2);
    backend.Click(100, nameX * 2, nameY * 2);
    backend.PressKey(200, kHidS);
    check(kDealMs, "the deal at 2x", [&] {
        ExpectPickupsShowTheirCells(2);
        return IsGameRunning() && windowShowsScreen();
    });
    resize(100, 3);
    check(100, "the table drawn again at 3x", [&] {
        ExpectPickupsShowTheirCells(3);
        return windowShowsScreen();
    });
    // A hint shown and the Game menu open while the window goes to 2x: the menu comes back drawn
    // at 2x, and closing it and the hint's end leave the table as a full redraw draws it, never
    // pieces saved at 3x.
    backend.PressKey(100, kHidH);
    backend.Click(100, 100 * 3, 15 * 3);
    resize(100, 2);
    check(100, "the menu drawn again at 2x", [&] { return ToolkitMenuOpen() && windowShowsScreen(); });
    backend.PressKey(100, kHidEscape);
    check(3000, "the table whole", [&] {
        const std::vector<Pixel> shown = Screen();
        CurrentGame()->Draw(true);
        return Screen() == shown;
    });
    backend.PressKey(100, kHidEscape);
    backend.PressKey(100, kHidEscape);
    EXPECT_EQ(RunApplication(), 0);
    EXPECT_EQ(checked, 8);
}


// The dragged stack's picture at device scales 1 and 3 with the generated card art: after every
// step, small or large, in any direction, from a place partly off the screen, the screen equals
// the table with the run drawn card by card at the new place; when the drag ends the table
// comes back exactly.
TEST(DragImage, EveryStepEqualsTheRunDrawnOverTheTable) {
    for (int scale : {1, 3}) {
        SCOPED_TRACE(scale);
        ScriptedBackend backend;
        backend.SetDeviceScale(scale);
        SetBackend(&backend);
        InitBuffers();
        SetBufferDepth(32);
        const int screen = CreateBuffer(800, 600);
        SelectBuffer(screen);
        Pixel* pixels = BufferPixels(screen);
        const size_t count = static_cast<size_t>(BufferWidth(screen)) * BufferHeight(screen);
        for (size_t i = 0; i < count; ++i) pixels[i] = static_cast<Pixel>(i * 2654435761u) & 0xFFFFFF;
        const std::vector<Pixel> table(pixels, pixels + count);
        Artwork artwork;
        ASSERT_TRUE(artwork.Init(screen, nullptr, 0));
        std::vector<Card> run;
        for (int k = 0; k < 13; ++k) run.emplace_back(k % 4, Card::kKing - k);
        const int dy = 15, width = artwork.cardWidth + 1, height = artwork.cardHeight + 12 * dy + 1;
        ASSERT_TRUE(artwork.BeginDragImage(run.data(), 13, 0, dy, width, height));

        const int reference = CreateBuffer(800, 600);
        const auto expect = [&](int x, int y) {
            std::copy(table.begin(), table.end(), BufferPixels(reference));
            artwork.DrawRun(x, y, run.data(), reference, 13, 0, dy);
            const Pixel* want = BufferPixels(reference);
            for (size_t i = 0; i < count; ++i)
                if (pixels[i] != want[i])
                    return ::testing::AssertionFailure() << "stack at " << x << "," << y << ": pixel " << i % BufferWidth(screen)
                                                         << "," << i / BufferWidth(screen);
            return ::testing::AssertionSuccess();
        };
        // Picked up with its foot past the bottom edge, then moved by small and large steps.
        int x = 300, y = 400;
        artwork.SaveUnderDragImage(x, y);
        artwork.DrawDragImage(x, y);
        ASSERT_TRUE(expect(x, y));
        const int steps[][2] = {{300, 250}, {305, 248}, {299, 251}, {299, 251}, {40, 30}, {0, 0}, {747, 600 - height}, {700, 200}};
        for (const auto& [newX, newY] : steps) {
            artwork.MoveDragImage(x, y, newX, newY);
            x = newX, y = newY;
            ASSERT_TRUE(expect(x, y));
        }
        artwork.RestoreUnderDragImage(x, y);
        EXPECT_TRUE(std::equal(table.begin(), table.end(), pixels));
        artwork.EndDragImage();
        EXPECT_FALSE(artwork.HasDragImage());
        artwork.FreeArtwork();
        InitBuffers();
        SetBackend(nullptr);
    }
}

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

// Every 1x picture of the data has a 2x and a 3x file of exactly two and three times its size
// (the menu bars: of the rows read), and drawn at its scale it differs clearly from the 1x picture
// enlarged (the drawing layer's fallback, and what a pixel-doubled file would show) along its edges
// and shading.
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
            const bool menuBar = name.starts_with("menu") && name.ends_with(".bmp");
            EXPECT_EQ(scaledSize.second, (menuBar ? art::kMenuBarArtHeight : size.second) * scale);
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
