#include "platform/backend.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/paths.h"

namespace {

// The back end is read from the music thread's clock calls too, so the pointer is atomic.
std::atomic<Backend*> installedBackend{nullptr};

// No cursor file the program uses comes near this; anything larger is not a cursor.
constexpr std::streamsize kMaximumCursorFileBytes = 1 << 20;

}  // namespace

void SetBackend(Backend* backend) { installedBackend.store(backend); }

Backend* CurrentBackend() { return installedBackend.load(); }

// Without a back end (a tool, a unit test that needs none) the clock and sleep fall back to the
// host's own, so time still moves.
uint64_t GetTickCount64() {
    if (Backend* backend = CurrentBackend()) return backend->NowMs();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

int64_t WallClockSeconds() {
    if (Backend* backend = CurrentBackend()) return backend->WallClockSeconds();
    return static_cast<int64_t>(std::time(nullptr));
}

void SleepMs(uint32_t ms) {
    if (Backend* backend = CurrentBackend()) {
        backend->SleepMs(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void ShowPointer(bool visible) {
    if (Backend* backend = CurrentBackend()) backend->ShowPointer(visible);
}

void BeginPresents() {
    if (Backend* backend = CurrentBackend()) backend->BeginPresents();
}

void EndPresents() {
    if (Backend* backend = CurrentBackend()) backend->EndPresents();
}

bool HasMouse() {
    Backend* backend = CurrentBackend();
    return backend && backend->HasMouse();
}

bool LoadCursorImage(const char* path, CursorImage* image) {
    if (!path) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::vector<uint8_t> bytes;
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + file.gcount());
        if (static_cast<std::streamsize>(bytes.size()) > kMaximumCursorFileBytes) return false;
    }
    return DecodeCursor(bytes.data(), bytes.size(), image);
}

int CreateCursorFromImage(const CursorImage& image) {
    Backend* backend = CurrentBackend();
    return backend ? backend->CreateCursor(image) : 0;
}

bool ReplaceCursorImage(int handle, const CursorImage& image) {
    Backend* backend = CurrentBackend();
    return backend && handle > 0 && backend->ReplaceCursor(handle, image);
}

int LoadCursorFromFile(const char* path) {
    if (!CurrentBackend()) return 0;
    CursorImage image;
    if (LoadCursorImage(path, &image)) return CreateCursorFromImage(image);
    ReportUnusableDataFile(path, "the system's pointer is shown instead");
    return 0;
}

void SetCursor(int handle) {
    if (Backend* backend = CurrentBackend()) backend->SetCursor(handle);
}

void DestroyCursor(int handle) {
    if (handle <= 0) return;
    if (Backend* backend = CurrentBackend()) backend->FreeCursor(handle);
}

std::vector<DisplayMode> DisplayModes() {
    if (Backend* backend = CurrentBackend()) return backend->DisplayModes();
    return {};
}

void ShowHostMessageBox(const char* title, const char* text) {
    if (Backend* backend = CurrentBackend()) {
        backend->ShowMessageBox(title, text);
        return;
    }
    std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
}

namespace {
std::atomic<void (*)()> displayLostHandler{nullptr};
}

void SetDisplayLostHandler(void (*handler)()) { displayLostHandler = handler; }

void RunDisplayLostHandler() {
    if (void (*handler)() = displayLostHandler.load()) handler();
}

void ToggleFullScreen() {
    if (Backend* backend = CurrentBackend()) backend->ToggleFullScreen();
}

bool IsFullScreen() {
    Backend* backend = CurrentBackend();
    return backend && backend->IsFullScreen();
}

void SetWindowMarginColor(uint32_t rgb) {
    if (Backend* backend = CurrentBackend()) backend->SetMarginColor(rgb);
}

MarginPicture MarginPicture::Owned(std::vector<uint32_t> rows, int width, int height) {
    MarginPicture picture;
    if (width <= 0 || height <= 0 || rows.size() < static_cast<size_t>(width) * height) return picture;
    auto owned = std::make_shared<const std::vector<uint32_t>>(std::move(rows));
    picture.pixels = std::shared_ptr<const uint32_t>(owned, owned->data());
    picture.width = width;
    picture.height = height;
    return picture;
}

void SetWindowMarginPicture(MarginPicture picture) {
    if (Backend* backend = CurrentBackend()) backend->SetMarginPicture(std::move(picture));
}

bool WindowCanPresent() {
    Backend* backend = CurrentBackend();
    return backend && backend->CanPresent();
}

bool ClockIsVirtual() {
    Backend* backend = CurrentBackend();
    return backend && backend->ClockIsVirtual();
}
