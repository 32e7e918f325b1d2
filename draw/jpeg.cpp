// JPEG decoding through libjpeg-turbo's TurboJPEG interface.
//
// Policy for damaged files: a picture is drawn only when the decoder finishes without any
// complaint. A truncated or corrupt file makes the decoder report a warning and hand back a
// partly grey picture; we refuse it and leave the buffer as it was, the same as for any other
// unreadable image. The artwork we ship never raises a warning.

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "draw/draw.h"
#include "draw/draw_internal.h"
#include "platform/paths.h"
#include "draw/jpeg_encode.h"

using namespace draw_internal;

namespace {

constexpr int kBytesPerPixel = 4;

uint8_t internalWorkBlock[kDefaultImageWorkSize];
uint8_t* workMemory = internalWorkBlock;
size_t workSize = sizeof internalWorkBlock;

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, HandleCloser>;

bool ReadHeaderMemory(tjhandle handle, const uint8_t* data, size_t size, JpegHeader& header) {
    header = {0, 0, 0};
    if (handle == nullptr || data == nullptr || size == 0 || size > kMaxFileBytes) return false;
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    // Junk can be reported as a success without a size, so the size is checked as well.
    if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &width, &height, &subsampling,
                            &colorspace) != 0)
        return false;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
    header = {width, height, subsampling};
    return true;
}

}  // namespace

namespace {

// A picture made at the device scale must measure whole logical pixels.
bool FitsScale(const JpegHeader& header) {
    return header.width % Scale() == 0 && header.height % Scale() == 0;
}

}  // namespace

// The header gives the picture's size in logical pixels: the device-scale file's size divided by
// the scale when that file is there and usable, else the 1x file's, as ShowJpeg will choose.
int ReadJpegHeader(const char* path, void* header) {
    if (header == nullptr) return -1;
    JpegHeader result{0, 0, 0};
    std::vector<uint8_t> bytes;
    int status = -1;
    Decompressor handle(tjInitDecompress());
    if (Scale() > 1 && ReadScaledFileBytes(path, bytes) &&
        ReadHeaderMemory(handle.get(), bytes.data(), bytes.size(), result) && FitsScale(result)) {
        result.width /= Scale();
        result.height /= Scale();
        status = 0;
    } else if (ReadFileBytes(path, bytes) && ReadHeaderMemory(handle.get(), bytes.data(), bytes.size(), result)) {
        status = 0;
    } else {
        ReportUnusableDataFile(path, "its picture is left out");
        result = {0, 0, 0};
    }
    std::memcpy(header, &result, sizeof result);
    return status;
}

// Enough for a 1x picture of the header's size. A picture made for the device scale needs more,
// which the decoder then allocates for itself: callers clear the block they allocate, and
// most pictures are 1x files enlarged, so a block s * s times larger would cost memory for nothing.
size_t JpegWorkSize(const void* header) {
    if (header == nullptr) return 0;
    JpegHeader h;
    std::memcpy(&h, header, sizeof h);
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxImageSide || h.height > kMaxImageSide) return 0;
    return static_cast<size_t>(h.width) * static_cast<size_t>(h.height) * kBytesPerPixel;
}

void SetImageWorkBuffer(void* memory, size_t size) {
    if (memory == nullptr || size == 0) {
        workMemory = internalWorkBlock;
        workSize = sizeof internalWorkBlock;
    } else {
        workMemory = static_cast<uint8_t*>(memory);
        workSize = size;
    }
}

namespace {

// Decodes into the active buffer with the given work memory. A picture made at the device scale
// (atDeviceScale) is copied pixel for pixel, a 1x picture enlarged to the scale.
// The picture's left edge goes to device column left of the buffer (negative: the columns left of
// the buffer are cut off).
bool DrawJpeg(const uint8_t* data, size_t size, uint8_t* memory, size_t memorySize, bool atDeviceScale,
              int64_t left = 0) {
    Buffer* b = Active();
    if (b == nullptr) return false;
    Decompressor handle(tjInitDecompress());
    JpegHeader header;
    if (!ReadHeaderMemory(handle.get(), data, size, header)) return false;
    if (atDeviceScale && !FitsScale(header)) return false;
    PictureSink sink(*b, left, 0, header.width, header.height, atDeviceScale ? 1 : Scale());
    if (sink.Empty()) return false;

    const int pitch = header.width * kBytesPerPixel;
    // Rows come out as B, G, R, X bytes: 0x00RRGGBB words once X is cleared.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    // A picture that lands whole in the buffer is decoded straight into the sink, which reaches
    // the buffer only when the decoder finished; a clipped one goes through memory of its size.
    if (Pixel* whole = sink.Whole()) {
        if (tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), reinterpret_cast<uint8_t*>(whole),
                          header.width, pitch, header.height, TJPF_BGRX, flags) != 0)
            return false;
        const size_t count = static_cast<size_t>(header.width) * static_cast<size_t>(header.height);
        for (size_t i = 0; i < count; ++i) whole[i] &= kRgbMask;
        sink.Commit(*b);
        return true;
    }
    const size_t needed = static_cast<size_t>(header.width) * static_cast<size_t>(header.height) * kBytesPerPixel;
    // Left uninitialised: the decoder writes every byte, and a header may claim a picture far
    // larger than the data behind it, which the decoder then refuses after a few rows.
    std::unique_ptr<uint8_t[]> temporary;
    if (memorySize < needed) {
        temporary.reset(new (std::nothrow) uint8_t[needed]);
        if (!temporary) return false;
        memory = temporary.get();
    }
    if (tjDecompress2(handle.get(), data, static_cast<unsigned long>(size), memory, header.width, pitch,
                      header.height, TJPF_BGRX, flags) != 0)
        return false;

    // The bounds and each row's target are taken once: stores through the sink's pixels would
    // otherwise make every pixel read them again.
    const int firstColumn = sink.FirstColumn(), columns = sink.LastColumn() - firstColumn + 1;
    for (int row = sink.FirstRow(); row <= sink.LastRow(); ++row) {
        const uint8_t* p =
            memory + static_cast<size_t>(row) * pitch + static_cast<size_t>(firstColumn) * kBytesPerPixel;
        Pixel* target = &sink.At(firstColumn, row);
        for (int i = 0; i < columns; ++i, p += kBytesPerPixel) target[i] = Rgb(p[2], p[1], p[0]);
    }
    sink.Commit(*b);
    return true;
}

// The caller's work memory serves one decode: callers free it right after, so it must never be
// used again.
std::pair<uint8_t*, size_t> TakeWorkMemory() {
    const std::pair<uint8_t*, size_t> taken{workMemory, workSize};
    SetImageWorkBuffer(nullptr, 0);
    return taken;
}

}  // namespace

bool ShowJpegMemory(const uint8_t* data, size_t size) {
    const auto [memory, memorySize] = TakeWorkMemory();
    return DrawJpeg(data, size, memory, memorySize, false);
}

bool ShowScaledJpegMemory(const uint8_t* data, size_t size) {
    const auto [memory, memorySize] = TakeWorkMemory();
    return DrawJpeg(data, size, memory, memorySize, true);
}

namespace {

struct TransformCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// Draws width of the picture's columns from logical column left on at the buffer's left edge.
// The columns are cut from the file without decoding the rest when left falls on a block boundary
// of the file (every picture of ours), else the whole picture is decoded and they are taken from it.
bool DrawJpegColumns(const uint8_t* data, size_t size, int left, int width, bool atDeviceScale) {
    if (Active() == nullptr || data == nullptr || size == 0 || size > kMaxFileBytes || left < 0 ||
        left > kMaxImageSide || width <= 0 || width > kMaxImageSide)
        return false;
    // Nothing right of the columns is drawn: the clip is narrowed to them meanwhile.
    struct NarrowClip {
        Buffer& buffer;
        int kept;
        NarrowClip(Buffer& b, int width) : buffer(b), kept(b.clipMaxX) {
            b.clipMaxX = static_cast<int>(std::min<int64_t>(b.clipMaxX, DeviceLast(width - 1)));
        }
        ~NarrowClip() { buffer.clipMaxX = kept; }
    } narrow(*Active(), width);
    const auto [memory, memorySize] = TakeWorkMemory();
    const int factor = atDeviceScale ? Scale() : 1;  // file pixels per logical pixel
    std::unique_ptr<void, TransformCloser> transformer(tjInitTransform());
    tjtransform crop{};
    crop.r = {left * factor, 0, width * factor, 0};  // zero height: to the picture's bottom edge
    crop.op = TJXOP_NONE;
    crop.options = TJXOPT_CROP;
    unsigned char* cut = nullptr;
    unsigned long cutSize = 0;
    // A damaged file must fail here as in the decoder, not come out as a whole picture with grey in it.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (transformer && tjTransform(transformer.get(), data, static_cast<unsigned long>(size), 1, &cut, &cutSize, &crop,
                                   flags) == 0) {
        const bool drawn = DrawJpeg(cut, cutSize, memory, memorySize, atDeviceScale);
        tjFree(cut);
        return drawn;
    }
    tjFree(cut);
    return DrawJpeg(data, size, memory, memorySize, atDeviceScale, -static_cast<int64_t>(left) * Scale());
}

}  // namespace

bool ShowJpegColumnsMemory(const uint8_t* data, size_t size, int left, int width) {
    return DrawJpegColumns(data, size, left, width, false);
}

bool ShowScaledJpegColumnsMemory(const uint8_t* data, size_t size, int left, int width) {
    return DrawJpegColumns(data, size, left, width, true);
}

void ShowJpeg(const char* path, int /*flags*/) {
    const auto [memory, memorySize] = TakeWorkMemory();
    std::vector<uint8_t> bytes;
    if (Active() == nullptr) return;
    if (Scale() > 1 && ReadScaledFileBytes(path, bytes) && DrawJpeg(bytes.data(), bytes.size(), memory, memorySize, true))
        return;
    if (!ReadFileBytes(path, bytes) || !DrawJpeg(bytes.data(), bytes.size(), memory, memorySize, false))
        ReportUnusableDataFile(path, "its picture is left out");
}

std::vector<uint8_t> EncodeJpeg(const uint32_t* pixels, int width, int height, int quality, bool subsampleChroma) {
    std::vector<uint8_t> result;
    if (pixels == nullptr || width <= 0 || height <= 0) return result;
    tjhandle handle = tjInitCompress();
    if (handle == nullptr) return result;
    // 0x00RRGGBB words are B, G, R, X bytes on a little-endian machine.
    std::vector<uint8_t> bgrx(static_cast<size_t>(width) * height * kBytesPerPixel);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        bgrx[i * 4] = static_cast<uint8_t>(pixels[i]);
        bgrx[i * 4 + 1] = static_cast<uint8_t>(pixels[i] >> 8);
        bgrx[i * 4 + 2] = static_cast<uint8_t>(pixels[i] >> 16);
        bgrx[i * 4 + 3] = 0;
    }
    unsigned char* jpeg = nullptr;
    unsigned long jpegSize = 0;
    if (tjCompress2(handle, bgrx.data(), width, width * kBytesPerPixel, height, TJPF_BGRX, &jpeg, &jpegSize,
                    subsampleChroma ? TJSAMP_420 : TJSAMP_444, std::clamp(quality, 1, 100), TJFLAG_ACCURATEDCT) == 0)
        result.assign(jpeg, jpeg + jpegSize);
    tjFree(jpeg);
    tjDestroy(handle);
    return result;
}
