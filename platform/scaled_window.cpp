#include "platform/scaled_window.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QUILLFEN_AVX2_FORMS 1
#endif

namespace {

constexpr int kLargestDeviceScale = 3;
constexpr int kWeightOne = 256;
constexpr Rect kNoPixels{0, 0, -1, -1};

// Floor division that is also right for negative numerators.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The resampler works on all three channels at once: a pixel is spread into 16-bit lanes
// (blue 0..15, green 16..31, red 32..47), so one multiply weighs all three. Weights sum to 256,
// so a weighted sum of 8-bit lanes stays below 65536, and each pass rounds back to 8 bits.
constexpr uint64_t kLaneMask = 0x000000FF00FF00FFull;
constexpr uint64_t kLaneHalf = 0x0000008000800080ull;
inline uint64_t Spread(uint32_t p) {
    return (p & 0xFFull) | (static_cast<uint64_t>(p & 0xFF00u) << 8) | (static_cast<uint64_t>(p & 0xFF0000u) << 16);
}
inline uint64_t RoundLanes(uint64_t sum) { return ((sum + kLaneHalf) >> 8) & kLaneMask; }
inline uint32_t Gather(uint64_t v) {
    return static_cast<uint32_t>((v & 0xFF) | ((v >> 8) & 0xFF00) | ((v >> 16) & 0xFF0000));
}

// Spreads `count` pixels into lanes.
void SpreadRow(const uint32_t* source, int count, uint64_t* lanes) {
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: their bytes widened to 16 bits, the unused top byte cleared first.
    const __m128i colours = _mm_set1_epi32(0x00FFFFFF), zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4) {
        const __m128i p = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)), colours);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes + i), _mm_unpacklo_epi8(p, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes + i + 2), _mm_unpackhi_epi8(p, zero));
    }
#endif
    for (; i < count; ++i) lanes[i] = Spread(source[i]);
}

// Pixels [x, width) of an output row from `taps` rows of filtered lanes and their weights: the
// weighted sum, rounded and gathered back into pixels.
void BlendTail(const uint64_t* const* lines, const uint64_t* weights, int taps, int x, int width, uint32_t* row) {
    for (; x < width; ++x) {
        uint64_t sum = 0;
        for (int k = 0; k < taps; ++k) sum += lines[k][x] * weights[k];
        row[x] = Gather(RoundLanes(sum));
    }
}

// A whole output row the same way, two pixels at a time where SSE2 is there.
void BlendRows(const uint64_t* const* lines, const uint64_t* weights, int taps, int width, uint32_t* row) {
    int x = 0;
#if defined(__SSE2__)
    // Two pixels (eight 16-bit lanes) at a time. Every lane's sum stays below 65536, as in the
    // scalar sum, so 16-bit products and sums give the same result; packing the rounded lanes
    // back to bytes gives the pixels.
    __m128i weight[8];
    for (int k = 0; k < taps; ++k) weight[k] = _mm_set1_epi16(static_cast<int16_t>(weights[k]));
    const __m128i half = _mm_set1_epi16(0x80);
    for (; x + 2 <= width; x += 2) {
        __m128i sum = _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[0] + x)), weight[0]);
        for (int k = 1; k < taps; ++k)
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(lines[k] + x)),
                                                     weight[k]));
        const __m128i rounded = _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(row + x), _mm_packus_epi16(rounded, rounded));
    }
#endif
    BlendTail(lines, weights, taps, x, width, row);
}

#if defined(QUILLFEN_AVX2_FORMS)
bool ProcessorHasAvx2() {
    // Run while constructors run, perhaps before the library's own look at the processor.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}
// Whether the table's filter takes its AVX2 forms, decided once at start.
const bool useAvx2 = ProcessorHasAvx2();

// The same blend four pixels at a time, for processors with AVX2.
__attribute__((target("avx2"))) void BlendRowsAvx2(const uint64_t* const* lines, const uint64_t* weights, int taps,
                                                   int width, uint32_t* row) {
    __m256i weight[8];
    for (int k = 0; k < taps; ++k) weight[k] = _mm256_set1_epi16(static_cast<int16_t>(weights[k]));
    const __m256i half = _mm256_set1_epi16(0x80);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        __m256i sum = _mm256_mullo_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[0] + x)), weight[0]);
        for (int k = 1; k < taps; ++k)
            sum = _mm256_add_epi16(
                sum, _mm256_mullo_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lines[k] + x)), weight[k]));
        // Packing works within each half: pixels 0-1 land in the first quarter, 2-3 in the third.
        const __m256i rounded = _mm256_srli_epi16(_mm256_add_epi16(sum, half), 8);
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(rounded, rounded), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm256_castsi256_si128(packed));
    }
    BlendTail(lines, weights, taps, x, width, row);
}
#endif

// Pixels [0, width) of a row filtered across, from spread source pixels (`lanes`, indexed from
// the row's first source pixel `spanLeft`), with kTaps taps a pixel: the target pixel x weighs
// the pixels from first[x] by its lane weights (4 x kTaps a pixel). With SSE2 a pixel's two first
// taps are one load and one multiply, 16-bit products being as exact as 64-bit ones since no
// lane's sum reaches 65536.
template <int kTaps>
void FilterAcross(const uint64_t* lanes, int spanLeft, const int* first, const uint16_t* weight, int width,
                  uint64_t* line) {
    static_assert(kTaps == 2 || kTaps == 3);
    int x = 0;
#if defined(__SSE2__)
    const __m128i half = _mm_set1_epi16(0x80);
    for (; x < width; ++x, weight += 4 * kTaps) {
        const uint64_t* in = lanes + (first[x] - spanLeft);
        const __m128i pair = _mm_mullo_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(weight)));
        __m128i sum = _mm_add_epi16(pair, _mm_unpackhi_epi64(pair, pair));
        if constexpr (kTaps == 3)
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + 2)),
                                                     _mm_loadl_epi64(reinterpret_cast<const __m128i*>(weight + 8))));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(line + x), _mm_srli_epi16(_mm_add_epi16(sum, half), 8));
    }
#endif
    for (; x < width; ++x, weight += 4 * kTaps) {
        const uint64_t* in = lanes + (first[x] - spanLeft);
        uint64_t sum = 0;
        for (int k = 0; k < kTaps; ++k) sum += in[k] * weight[4 * k];
        line[x] = RoundLanes(sum);
    }
}

#if defined(QUILLFEN_AVX2_FORMS)
// Two 16-byte loads as the low and high halves of one register; two 8-byte loads likewise.
__attribute__((target("avx2"))) inline __m256i LoadHalves(const void* low, const void* high) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(low))),
                                   _mm_loadu_si128(static_cast<const __m128i*>(high)), 1);
}
inline __m128i LoadQuarters(const void* low, const void* high) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(static_cast<const __m128i*>(low)), _mm_loadl_epi64(static_cast<const __m128i*>(high)));
}
// The filter across two pixels at a time, for processors with AVX2: both pixels' first two taps
// in one multiply, each half's two products added in its low quarter, the quarters then brought
// together.
template <int kTaps>
__attribute__((target("avx2"))) void FilterAcrossAvx2(const uint64_t* lanes, int spanLeft, const int* first,
                                                      const uint16_t* weight, int width, uint64_t* line) {
    const __m128i half = _mm_set1_epi16(0x80);
    int x = 0;
    for (; x + 2 <= width; x += 2, weight += 8 * kTaps) {
        const uint64_t* one = lanes + (first[x] - spanLeft);
        const uint64_t* two = lanes + (first[x + 1] - spanLeft);
        // Two taps a pixel: the two pixels' weights lie side by side.
        const __m256i weights = kTaps == 2 ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weight))
                                           : LoadHalves(weight, weight + 4 * kTaps);
        const __m256i pairs = _mm256_mullo_epi16(LoadHalves(one, two), weights);
        const __m256i sums = _mm256_add_epi16(pairs, _mm256_srli_si256(pairs, 8));
        __m128i sum = _mm256_castsi256_si128(_mm256_permute4x64_epi64(sums, 0x08));
        if constexpr (kTaps == 3)
            sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadQuarters(one + 2, two + 2), LoadQuarters(weight + 8, weight + 20)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(line + x), _mm_srli_epi16(_mm_add_epi16(sum, half), 8));
    }
    if (x < width) FilterAcross<kTaps>(lanes, spanLeft, first + x, weight, width - x, line + x);
}
#endif

// The table's filter: the AVX2 forms where the processor has them.
template <int kTaps>
void TableFilterAcross(const uint64_t* lanes, int spanLeft, const int* first, const uint16_t* weight, int width,
                       uint64_t* line) {
#if defined(QUILLFEN_AVX2_FORMS)
    if (useAvx2) return FilterAcrossAvx2<kTaps>(lanes, spanLeft, first, weight, width, line);
#endif
    FilterAcross<kTaps>(lanes, spanLeft, first, weight, width, line);
}
void TableBlendRows(const uint64_t* const* lines, const uint64_t* weights, int taps, int width, uint32_t* row) {
#if defined(QUILLFEN_AVX2_FORMS)
    if (useAvx2) return BlendRowsAvx2(lines, weights, taps, width, row);
#endif
    BlendRows(lines, weights, taps, width, row);
}

// The rows of a column of taps with a non-zero weight, each clamped to lastRow, and their
// weights; a reduction steeper than kMostTaps keeps only its first taps (windows are never that
// small against the table).
constexpr int kMostTaps = 8;
int NonZeroTaps(const uint16_t* weight, int stride, int first, int lastRow, int* sourceRows, uint64_t* weights) {
    int taps = 0;
    for (int k = 0; k < stride && taps < kMostTaps; ++k) {
        if (weight[k] == 0) continue;
        sourceRows[taps] = std::min(first + k, lastRow);
        weights[taps++] = weight[k];
    }
    return taps;
}

// Per-call scratch rows of the resampler; one set per thread is enough.
thread_local std::vector<uint64_t> scratch;
thread_local std::vector<uint64_t> sourceLanes;

}  // namespace

int ChooseDeviceScale(int width, int height, int logicalWidth, int logicalHeight) {
    if (logicalWidth <= 0 || logicalHeight <= 0) return 1;
    for (int scale = 1; scale < kLargestDeviceScale; ++scale) {
        // The table's scale is the smaller of the two ratios: at or below `scale` when either is.
        if (static_cast<int64_t>(width) <= static_cast<int64_t>(logicalWidth) * scale ||
            static_cast<int64_t>(height) <= static_cast<int64_t>(logicalHeight) * scale)
            return scale;
    }
    return kLargestDeviceScale;
}

void DefaultWindowSize(int usableWidth, int usableHeight, int logicalWidth, int logicalHeight, int* width,
                       int* height) {
    const int64_t w = static_cast<int64_t>(usableWidth) * 9 / 10;
    const int64_t h = static_cast<int64_t>(usableHeight) * 9 / 10;
    if (w * logicalHeight <= h * logicalWidth) {
        *width = static_cast<int>(w);
        *height = static_cast<int>(w * logicalHeight / logicalWidth);
    } else {
        *height = static_cast<int>(h);
        *width = static_cast<int>(h * logicalWidth / logicalHeight);
    }
}

WindowPlacement OpeningPlacement(const WindowPlacement& remembered, const Rect& usable, int logicalWidth, int logicalHeight) {
    WindowPlacement opening = remembered;
    const bool fits = remembered.width > 0 && remembered.height > 0 && remembered.width <= usable.Width() &&
                      remembered.height <= usable.Height();
    opening.placed = fits && remembered.placed && remembered.x >= usable.left && remembered.y >= usable.top &&
                     remembered.x + remembered.width - 1 <= usable.right && remembered.y + remembered.height - 1 <= usable.bottom;
    // Too large, or left elsewhere (on a larger display, or partly off this one): opened as at a
    // first start.
    if (!fits || (remembered.placed && !opening.placed))
        DefaultWindowSize(usable.Width(), usable.Height(), logicalWidth, logicalHeight, &opening.width, &opening.height);
    opening.width = std::max(opening.width, logicalWidth / 2);
    opening.height = std::max(opening.height, logicalHeight / 2);
    return opening;
}

void ScaledWindow::Configure(int newLogicalWidth, int newLogicalHeight, int newDeviceScale, int newWindowWidth,
                             int newWindowHeight, bool newWholeFactor) {
    logicalWidth = std::max(1, newLogicalWidth);
    logicalHeight = std::max(1, newLogicalHeight);
    deviceScale = std::clamp(newDeviceScale, 1, kLargestDeviceScale);
    windowWidth = std::max(1, newWindowWidth);
    windowHeight = std::max(1, newWindowHeight);
    wholeFactor = newWholeFactor;
    const int newFrameWidth = logicalWidth * deviceScale;
    const int newFrameHeight = logicalHeight * deviceScale;
    if (newFrameWidth != frameWidth || newFrameHeight != frameHeight) {
        frameWidth = newFrameWidth;
        frameHeight = newFrameHeight;
        frame = PixelVector(static_cast<size_t>(frameWidth) * frameHeight);
        blank = true;
    }

    int tableWidth = 0, tableHeight = 0;
    if (wholeFactor) {
        const int factor = std::max(1, std::min(windowWidth / logicalWidth, windowHeight / logicalHeight));
        tableWidth = logicalWidth * factor;
        tableHeight = logicalHeight * factor;
    } else if (static_cast<int64_t>(windowWidth) * logicalHeight <= static_cast<int64_t>(windowHeight) * logicalWidth) {
        tableWidth = windowWidth;
        tableHeight = static_cast<int>((static_cast<int64_t>(windowWidth) * logicalHeight * 2 + logicalWidth) /
                                       (2 * logicalWidth));
    } else {
        tableHeight = windowHeight;
        tableWidth = static_cast<int>((static_cast<int64_t>(windowHeight) * logicalWidth * 2 + logicalHeight) /
                                      (2 * logicalHeight));
    }
    tableWidth = std::max(1, tableWidth);
    tableHeight = std::max(1, tableHeight);
    table = Rect::FromSize(std::max(0, (windowWidth - tableWidth) / 2), std::max(0, (windowHeight - tableHeight) / 2),
                           tableWidth, tableHeight);
    // Plain copies only for whole enlargements of the classic window; everything else is filtered.
    columns = BuildTaps(frameWidth, tableWidth, wholeFactor && tableWidth % frameWidth == 0);
    columns.laneWeights.resize(columns.weights.size() * 4);
    for (size_t i = 0; i < columns.weights.size(); ++i)
        std::fill_n(columns.laneWeights.begin() + 4 * i, 4, columns.weights[i]);
    rows = BuildTaps(frameHeight, tableHeight, wholeFactor && tableHeight % frameHeight == 0);
}

void ScaledWindow::ChangeFrameScale(int newDeviceScale) {
    const int oldScale = deviceScale, oldWidth = frameWidth;
    PixelVector old = std::move(frame);
    frame = PixelVector();
    const bool wasBlank = blank;
    frameWidth = frameHeight = 0;
    Configure(logicalWidth, logicalHeight, newDeviceScale, windowWidth, windowHeight, wholeFactor);
    behind = false;
    blank = wasBlank;
    if (old.empty() || oldScale == deviceScale) {
        if (!old.empty()) frame = std::move(old);
        return;
    }
    std::vector<int> fromColumn(static_cast<size_t>(frameWidth));
    for (int x = 0; x < frameWidth; ++x) fromColumn[x] = x * oldScale / deviceScale;
    for (int y = 0; y < frameHeight; ++y) {
        const uint32_t* from = old.data() + static_cast<size_t>(y * oldScale / deviceScale) * oldWidth;
        uint32_t* to = frame.data() + static_cast<size_t>(y) * frameWidth;
        for (int x = 0; x < frameWidth; ++x) to[x] = from[fromColumn[x]];
    }
}

ScaledWindow::Taps ScaledWindow::BuildTaps(int sourceSize, int targetSize, bool nearest) {
    Taps taps;
    taps.first.resize(static_cast<size_t>(targetSize));
    if (targetSize == sourceSize || nearest) {
        taps.stride = 1;
        taps.weights.assign(static_cast<size_t>(targetSize), kWeightOne);
        for (int i = 0; i < targetSize; ++i)
            taps.first[i] = static_cast<int>(static_cast<int64_t>(i) * sourceSize / targetSize);
        return taps;
    }
    const double ratio = static_cast<double>(sourceSize) / targetSize;  // source pixels per target pixel
    std::vector<double> exact;
    if (targetSize > sourceSize) {
        // Enlarging: linear interpolation between the two nearest source pixel centres.
        taps.stride = 2;
        exact.resize(static_cast<size_t>(targetSize) * 2);
        for (int i = 0; i < targetSize; ++i) {
            const double at = std::clamp((i + 0.5) * ratio - 0.5, 0.0, static_cast<double>(sourceSize - 1));
            const int low = std::min(static_cast<int>(at), std::max(0, sourceSize - 2));
            const double t = at - low;
            taps.first[i] = low;
            exact[i * 2] = 1.0 - t;
            exact[i * 2 + 1] = sourceSize > 1 ? t : 0.0;
        }
    } else {
        // Shrinking: each target pixel averages the source area it covers.
        taps.stride = static_cast<int>(std::ceil(ratio)) + 1;
        exact.resize(static_cast<size_t>(targetSize) * taps.stride);
        for (int i = 0; i < targetSize; ++i) {
            const double from = i * ratio, to = std::min((i + 1) * ratio, static_cast<double>(sourceSize));
            const int first = static_cast<int>(from);
            taps.first[i] = first;
            for (int k = 0; k < taps.stride; ++k) {
                const double overlap = std::min(to, first + k + 1.0) - std::max(from, first + k + 0.0);
                exact[static_cast<size_t>(i) * taps.stride + k] = std::max(0.0, overlap) / (to - from);
            }
        }
    }
    // Rounded so that every target pixel's weights sum to exactly one.
    taps.weights.resize(exact.size());
    for (int i = 0; i < targetSize; ++i) {
        double running = 0;
        int given = 0;
        for (int k = 0; k < taps.stride; ++k) {
            running += exact[static_cast<size_t>(i) * taps.stride + k];
            const int upTo = static_cast<int>(std::lround(running * kWeightOne));
            taps.weights[static_cast<size_t>(i) * taps.stride + k] = static_cast<uint16_t>(std::max(0, upTo - given));
            given = std::max(given, upTo);
        }
    }
    return taps;
}

namespace {

// Cuts a copy of width x height to the frame, moving the source corner with the destination's.
bool ClipToFrame(int frameWidth, int frameHeight, int& sourceX, int& sourceY, int& width, int& height, int& destX,
                 int& destY) {
    if (destX < 0) {
        width += destX;
        sourceX -= destX;
        destX = 0;
    }
    if (destY < 0) {
        height += destY;
        sourceY -= destY;
        destY = 0;
    }
    width = std::min(width, frameWidth - destX);
    height = std::min(height, frameHeight - destY);
    return width > 0 && height > 0 && sourceX >= 0 && sourceY >= 0;
}

// The first and the last index in [begin, end) where two rows differ, given that they do. Equal
// pixels are skipped eight at a time: a card that jumped leaves its old and new places at two
// ends of the box presented, with long equal stretches between them.
constexpr int kSkipPixels = 8;
int FirstDifference(const uint32_t* a, const uint32_t* b, int begin, int end) {
    while (end - begin >= kSkipPixels && std::memcmp(a + begin, b + begin, kSkipPixels * sizeof(uint32_t)) == 0)
        begin += kSkipPixels;
    while (a[begin] == b[begin]) ++begin;
    return begin;
}
int LastDifference(const uint32_t* a, const uint32_t* b, int begin, int end) {
    while (end - begin >= kSkipPixels &&
           std::memcmp(a + end - kSkipPixels, b + end - kSkipPixels, kSkipPixels * sizeof(uint32_t)) == 0)
        end -= kSkipPixels;
    while (a[end - 1] == b[end - 1]) --end;
    return end - 1;
}

}  // namespace

Rect ScaledWindow::StoreDirect(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width,
                                    int height, int destX, int destY, uint32_t* out, int outPitch) {
    if (!pixels || !out || frame.empty() || !Unscaled()) return kNoPixels;
    if (!ClipToFrame(frameWidth, frameHeight, sourceX, sourceY, width, height, destX, destY)) return kNoPixels;
    behind = true;
    blank = false;
    for (int row = 0; row < height; ++row) {
        const uint32_t* from = pixels + static_cast<ptrdiff_t>(sourceY + row) * pitchPixels + sourceX;
        std::memcpy(out + static_cast<size_t>(table.top + destY + row) * outPitch + table.left + destX, from,
                    static_cast<size_t>(width) * sizeof(uint32_t));
    }
    return Rect::FromSize(table.left + destX, table.top + destY, width, height);
}

void ScaledWindow::CatchUp(const uint32_t* out, int outPitch) {
    if (!behind || !out || frame.empty()) return;
    behind = false;
    for (int row = 0; row < frameHeight; ++row)
        std::memcpy(frame.data() + static_cast<size_t>(row) * frameWidth,
                    out + static_cast<size_t>(table.top + row) * outPitch + table.left,
                    static_cast<size_t>(frameWidth) * sizeof(uint32_t));
}

Rect ScaledWindow::Store(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width,
                              int height, int destX, int destY) {
    if (!pixels || frame.empty()) return kNoPixels;
    if (!ClipToFrame(frameWidth, frameHeight, sourceX, sourceY, width, height, destX, destY)) return kNoPixels;
    blank = false;
    for (int row = 0; row < height; ++row) {
        const uint32_t* from = pixels + static_cast<ptrdiff_t>(sourceY + row) * pitchPixels + sourceX;
        std::memcpy(frame.data() + static_cast<size_t>(destY + row) * frameWidth + destX, from,
                    static_cast<size_t>(width) * sizeof(uint32_t));
    }
    return Rect::FromSize(destX, destY, width, height);
}

void ScaledWindow::StoreChanges(const uint32_t* pixels, int pitchPixels, int sourceX, int sourceY, int width,
                                int height, int destX, int destY, std::vector<Rect>& changed) {
    if (!pixels || frame.empty()) return;
    if (!ClipToFrame(frameWidth, frameHeight, sourceX, sourceY, width, height, destX, destY)) return;
    // A blank frame is all zero and its pages mostly untouched: rows are compared with black
    // instead, so the first present faults each page in once, by writing it, not twice.
    const bool wasBlank = blank;
    blank = false;
    // Rows in bands as tall as Render's, so each band filters its own rows once.
    constexpr int kBandRows = 32;
    const size_t first = changed.size();
    for (int bandTop = 0; bandTop < height; bandTop += kBandRows) {
        const int bandEnd = std::min(height, bandTop + kBandRows);
        int left = width, right = -1, top = -1, bottom = -1;
        for (int row = bandTop; row < bandEnd; ++row) {
            const uint32_t* from = pixels + static_cast<ptrdiff_t>(sourceY + row) * pitchPixels + sourceX;
            uint32_t* to = frame.data() + static_cast<size_t>(destY + row) * frameWidth + destX;
            int a = 0, b = width - 1;
            if (wasBlank) {
                while (a < width && from[a] == 0) ++a;
                if (a == width) continue;
                while (from[b] == 0) --b;
            } else {
                if (std::memcmp(from, to, static_cast<size_t>(width) * sizeof(uint32_t)) == 0) continue;
                a = FirstDifference(from, to, 0, width);
                b = LastDifference(from, to, a, width);
            }
            std::memcpy(to + a, from + a, static_cast<size_t>(b - a + 1) * sizeof(uint32_t));
            left = std::min(left, a);
            right = std::max(right, b);
            if (top < 0) top = row;
            bottom = row;
        }
        if (right < 0) continue;
        const Rect band{destX + left, destY + top, destX + right, destY + bottom};
        // A band that continues the one above over about the same columns joins it: one render
        // instead of two, without filtering much that did not change.
        if (changed.size() > first) {
            Rect& above = changed.back();
            const Rect joined{std::min(above.left, band.left), above.top, std::max(above.right, band.right), band.bottom};
            const int64_t apart = static_cast<int64_t>(above.Width()) * above.Height() +
                                  static_cast<int64_t>(band.Width()) * band.Height();
            if (above.bottom + 1 == band.top && static_cast<int64_t>(joined.Width()) * joined.Height() * 4 <= apart * 5) {
                above = joined;
                continue;
            }
        }
        changed.push_back(band);
    }
}

Rect ScaledWindow::AffectedWindowRect(const Rect& frameRect) const {
    // Target pixels [*from, *to) whose taps reach into [begin, end) of the source; `first` never
    // decreases.
    const auto span = [](const Taps& taps, int begin, int end, int* from, int* to) {
        *from = static_cast<int>(std::lower_bound(taps.first.begin(), taps.first.end(), begin - taps.stride + 1) -
                                 taps.first.begin());
        *to = static_cast<int>(std::upper_bound(taps.first.begin(), taps.first.end(), end - 1) - taps.first.begin());
    };
    int left = 0, right = 0, top = 0, bottom = 0;
    span(columns, frameRect.left, frameRect.right + 1, &left, &right);
    span(rows, frameRect.top, frameRect.bottom + 1, &top, &bottom);
    return Rect{table.left + left, table.top + top, table.left + right - 1, table.top + bottom - 1};
}

Rect ScaledWindow::Render(const Rect& frameRect, uint32_t* out, int outPitch) const {
    const Rect area{std::max(frameRect.left, 0), std::max(frameRect.top, 0), std::min(frameRect.right, frameWidth - 1),
                    std::min(frameRect.bottom, frameHeight - 1)};
    if (area.Empty() || !out) return kNoPixels;
    const Rect target = AffectedWindowRect(area);
    if (target.Empty()) return kNoPixels;
    const int width = target.Width();
    if (Unscaled()) {
        for (int y = target.top; y <= target.bottom; ++y) {
            const uint32_t* from = frame.data() + static_cast<size_t>(y - table.top) * frameWidth + (target.left - table.left);
            std::memcpy(out + static_cast<size_t>(y) * outPitch + target.left, from, static_cast<size_t>(width) * 4);
        }
        return target;
    }
    // Two passes: each source row the target rows need is filtered across, then rows are blended.
    // Target rows go in bands, so the filtered rows stay few and in cache however large the area.
    // Each source row the columns reach is spread into lanes once, padded past its end with its
    // last pixel (where the taps of the last columns are cut off); every tap is then one multiply,
    // zero weights included, which add nothing.
    const int stride = columns.stride;
    const int leftColumn = target.left - table.left;
    const int spanLeft = columns.first[leftColumn];
    const int spanEnd = std::min(frameWidth, columns.first[target.right - table.left] + stride);
    const int span = spanEnd - spanLeft;
    sourceLanes.resize(static_cast<size_t>(span + stride));
    const auto filterAcross = [&](int sy, uint64_t* line) {
        const uint32_t* source = frame.data() + static_cast<size_t>(sy) * frameWidth + spanLeft;
        SpreadRow(source, span, sourceLanes.data());
        for (int i = span; i < span + stride; ++i) sourceLanes[i] = sourceLanes[span - 1];
        const int* first = columns.first.data() + leftColumn;
        const uint16_t* weight = columns.weights.data() + static_cast<size_t>(leftColumn) * stride;
        const uint64_t* lanes = sourceLanes.data();
        if (stride == 2) {
            TableFilterAcross<2>(lanes, spanLeft, first, columns.laneWeights.data() + static_cast<size_t>(leftColumn) * 8,
                                 width, line);
        } else if (stride == 3) {
            TableFilterAcross<3>(lanes, spanLeft, first, columns.laneWeights.data() + static_cast<size_t>(leftColumn) * 12,
                                 width, line);
        } else {
            for (int x = 0; x < width; ++x, weight += stride) {
                const uint64_t* in = lanes + (first[x] - spanLeft);
                uint64_t sum = 0;
                for (int k = 0; k < stride; ++k) sum += in[k] * weight[k];
                line[x] = RoundLanes(sum);
            }
        }
    };
    constexpr int kBandRows = 32;
    for (int bandTop = target.top; bandTop <= target.bottom; bandTop += kBandRows) {
        const int bandBottom = std::min(target.bottom, bandTop + kBandRows - 1);
        const int firstRow = rows.first[bandTop - table.top];
        const int endRow = std::min(frameHeight, rows.first[bandBottom - table.top] + rows.stride);
        scratch.resize(static_cast<size_t>(endRow - firstRow) * width);
        for (int sy = firstRow; sy < endRow; ++sy) filterAcross(sy, scratch.data() + static_cast<size_t>(sy - firstRow) * width);
        for (int y = bandTop; y <= bandBottom; ++y) {
            const int ty = y - table.top;
            const int first = rows.first[ty];
            const uint16_t* weight = rows.weights.data() + static_cast<size_t>(ty) * rows.stride;
            uint32_t* row = out + static_cast<size_t>(y) * outPitch + target.left;
            int sourceRows[kMostTaps];
            const uint64_t* lines[kMostTaps];
            uint64_t weights[kMostTaps];
            const int taps = NonZeroTaps(weight, rows.stride, first, endRow - 1, sourceRows, weights);
            for (int k = 0; k < taps; ++k) lines[k] = scratch.data() + static_cast<size_t>(sourceRows[k] - firstRow) * width;
            if (taps == 1) {
                for (int x = 0; x < width; ++x) row[x] = Gather(lines[0][x]);
            } else {
                TableBlendRows(lines, weights, taps, width, row);
            }
        }
    }
    return target;
}

void ScaledWindow::RenderAll(uint32_t marginColor, uint32_t* out, int outPitch) const {
    if (!out) return;
    RenderMargins(marginColor, out, outPitch);
    if (!blank) {
        Render(Rect::FromSize(0, 0, frameWidth, frameHeight), out, outPitch);
        return;
    }
    // Nothing presented yet (a new window, or a frame made anew): the table is black, which
    // filtering would only confirm at a cost.
    for (int y = std::max(table.top, 0); y <= std::min(table.bottom, windowHeight - 1); ++y) {
        uint32_t* row = out + static_cast<size_t>(y) * outPitch;
        std::fill(row + std::max(table.left, 0), row + std::min(table.right + 1, windowWidth), 0u);
    }
}

void ScaledWindow::RenderMargins(uint32_t marginColor, uint32_t* out, int outPitch) const {
    if (!out) return;
    // A window row's margins: [0, leftEnd) and [rightStart, windowWidth), the whole row above and
    // below the table.
    const auto sides = [&](int y, int* leftEnd, int* rightStart) {
        const bool acrossTable = y < table.top || y > table.bottom;
        *leftEnd = acrossTable ? windowWidth : std::clamp(table.left, 0, windowWidth);
        *rightStart = acrossTable ? windowWidth : std::clamp(table.right + 1, 0, windowWidth);
    };
    if (!HasMarginPicture() || table.Empty()) {
        for (int y = 0; y < windowHeight; ++y) {
            uint32_t* row = out + static_cast<size_t>(y) * outPitch;
            int leftEnd = 0, rightStart = 0;
            sides(y, &leftEnd, &rightStart);
            std::fill(row, row + leftEnd, marginColor);
            std::fill(row + rightStart, row + windowWidth, marginColor);
        }
        return;
    }
    // Each window column and row, once: the table position its margin pixels mirror and how much
    // they darken (256: none). A pixel is then one resample and one multiply.
    std::vector<MarginAxisPoint> across(static_cast<size_t>(std::max(windowWidth, 0)));
    std::vector<MarginAxisPoint> down(static_cast<size_t>(std::max(windowHeight, 0)));
    for (int x = 0; x < windowWidth; ++x) across[x] = MarginAxis(x - table.left, table.Width(), margin.columnLight, margin.picture.width);
    for (int y = 0; y < windowHeight; ++y) down[y] = MarginAxis(y - table.top, table.Height(), margin.rowLight, margin.picture.height);
    const auto darken = [](uint32_t p, int darkening) {
        return darkening >= 256 ? p : Gather(RoundLanes(Spread(p) * static_cast<uint64_t>(darkening)));
    };
    if (margin.picture.width != frameWidth || margin.picture.height != frameHeight) {
        // Another size than the frame's (a picture of the screen's edges, or one not yet drawn
        // again at the frame's scale): the nearest pixel.
        const int w = margin.picture.width, h = margin.picture.height;
        std::vector<int> pictureColumn(across.size());
        for (int x = 0; x < windowWidth; ++x)
            pictureColumn[x] = std::min(w - 1, static_cast<int>(static_cast<int64_t>(across[x].at) * w / table.Width()));
        for (int y = 0; y < windowHeight; ++y) {
            uint32_t* row = out + static_cast<size_t>(y) * outPitch;
            int leftEnd = 0, rightStart = 0;
            sides(y, &leftEnd, &rightStart);
            const uint32_t* source =
                margin.picture.Row(std::min(h - 1, static_cast<int>(static_cast<int64_t>(down[y].at) * h / table.Height())));
            const auto pixel = [&](int x) {
                return darken(source[pictureColumn[x]], across[x].darkening * down[y].darkening / 256);
            };
            for (int x = 0; x < leftEnd; ++x) row[x] = pixel(x);
            for (int x = rightStart; x < windowWidth; ++x) row[x] = pixel(x);
        }
        return;
    }
    // The picture goes through the table's own filter, a row at a time as Render does: each
    // margin row is the resampled table row it mirrors, read back to front. Only the table
    // columns the side margins mirror are filtered for rows beside the table; rows above and
    // below it take them all.
    const int tableWidth = table.Width();
    // The table columns each side margin mirrors, as one or two ranges.
    std::array<int, 2> firstSide{tableWidth, tableWidth}, lastSide{-1, -1};
    for (int x = 0; x < windowWidth; ++x) {
        if (x >= table.left && x <= table.right) continue;
        const int side = x < table.left ? 0 : 1;
        firstSide[side] = std::min(firstSide[side], across[x].at);
        lastSide[side] = std::max(lastSide[side], across[x].at);
    }
    std::vector<std::pair<int, int>> sideRanges, wideRange{{0, tableWidth - 1}};
    for (int side = 0; side < 2; ++side)
        if (firstSide[side] <= lastSide[side]) sideRanges.emplace_back(firstSide[side], lastSide[side]);
    if (sideRanges.size() == 2 && sideRanges[0].second + 1 >= sideRanges[1].first &&
        sideRanges[1].second + 1 >= sideRanges[0].first)
        sideRanges = {{std::min(sideRanges[0].first, sideRanges[1].first), std::max(sideRanges[0].second, sideRanges[1].second)}};
    // Filtered source rows (lanes per table column), one slot per tap so a row's taps never evict
    // each other; `wide` marks a slot filtered across every column.
    const int slots = std::max(rows.stride, 1);
    std::vector<uint64_t> filtered(static_cast<size_t>(slots) * tableWidth);
    std::vector<int> slotRow(static_cast<size_t>(slots), -1);
    std::vector<char> slotWide(static_cast<size_t>(slots), 0);
    std::vector<uint64_t> lanes(static_cast<size_t>(frameWidth + columns.stride));
    std::vector<uint32_t> tableRow(static_cast<size_t>(tableWidth));
    const auto filterAcross = [&](int sy, const std::vector<std::pair<int, int>>& ranges, uint64_t* line) {
        const uint32_t* source = margin.picture.Row(sy);
        for (const auto& [from, to] : ranges) {
            const int spanLeft = columns.first[from];
            const int spanEnd = std::min(frameWidth, columns.first[to] + columns.stride);
            SpreadRow(source + spanLeft, spanEnd - spanLeft, lanes.data() + spanLeft);
            for (int i = spanEnd; i < spanEnd + columns.stride; ++i) lanes[i] = lanes[spanEnd - 1];
            for (int tx = from; tx <= to; ++tx) {
                const uint64_t* in = lanes.data() + columns.first[tx];
                const uint16_t* weight = columns.weights.data() + static_cast<size_t>(tx) * columns.stride;
                uint64_t sum = 0;
                for (int k = 0; k < columns.stride; ++k) sum += in[k] * weight[k];
                line[tx] = RoundLanes(sum);
            }
        }
    };
    for (int y = 0; y < windowHeight; ++y) {
        int leftEnd = 0, rightStart = 0;
        sides(y, &leftEnd, &rightStart);
        if (leftEnd == 0 && rightStart >= windowWidth) continue;
        const bool wide = leftEnd >= windowWidth;
        const std::vector<std::pair<int, int>>& ranges = wide ? wideRange : sideRanges;
        if (ranges.empty()) continue;
        const int ty = down[y].at;
        const int first = rows.first[ty];
        const uint16_t* weight = rows.weights.data() + static_cast<size_t>(ty) * rows.stride;
        int sourceRows[kMostTaps];
        const uint64_t* lines[kMostTaps];
        uint64_t weights[kMostTaps];
        const int taps = NonZeroTaps(weight, rows.stride, first, frameHeight - 1, sourceRows, weights);
        for (int k = 0; k < taps; ++k) {
            const int sy = sourceRows[k];
            const int slot = sy % slots;
            uint64_t* line = filtered.data() + static_cast<size_t>(slot) * tableWidth;
            if (slotRow[slot] != sy || (wide && !slotWide[slot])) {
                filterAcross(sy, ranges, line);
                slotRow[slot] = sy;
                slotWide[slot] = wide;
            }
            lines[k] = line;
        }
        for (const auto& [from, to] : ranges) {
            const uint64_t* shifted[kMostTaps];
            for (int k = 0; k < taps; ++k) shifted[k] = lines[k] + from;
            // The portable blend: margins are drawn seldom, and comparing them with the table
            // they mirror checks the table's faster blend.
            BlendRows(shifted, weights, taps, to - from + 1, tableRow.data() + from);
        }
        uint32_t* row = out + static_cast<size_t>(y) * outPitch;
        const auto pixel = [&](int x) {
            return darken(tableRow[across[x].at], across[x].darkening * down[y].darkening / 256);
        };
        for (int x = 0; x < leftEnd; ++x) row[x] = pixel(x);
        for (int x = rightStart; x < windowWidth; ++x) row[x] = pixel(x);
    }
}

namespace {

// Brightness of a pixel, 0..255 (green weighs most, as the eye has it).
int Light(uint32_t p) { return static_cast<int>((((p >> 16) & 0xFF) * 2 + ((p >> 8) & 0xFF) * 5 + (p & 0xFF)) / 8); }

// Means along one axis, x256, smoothed over a window of `radius` either side so that the
// picture's grain does not stripe the margins.
std::vector<int> SmoothedMeans(std::vector<int64_t> sums, int count, int radius) {
    const int n = static_cast<int>(sums.size());
    std::vector<int> means(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        int64_t total = 0;
        int taken = 0;
        for (int k = std::max(0, i - radius); k <= std::min(n - 1, i + radius); ++k, ++taken) total += sums[k];
        means[i] = static_cast<int>(total * 256 / (static_cast<int64_t>(taken) * std::max(count, 1)));
    }
    return means;
}

// A distance into the table's side of an edge, folded back and forth across the table so that
// any margin, however wide, finds a picture pixel.
int Reflect(int distance, int size) {
    const int period = 2 * size;
    const int d = distance % period;
    return d < size ? d : period - 1 - d;
}

// How much darker a margin pixel is than its mirror image inside: the brightness profile is
// continued straight on from the edge (edge - (inside - edge)), as a vignette would go on.
int DarkeningAt(const std::vector<int>& light, int edge, int inside) {
    const int atEdge = light[static_cast<size_t>(edge)], atInside = light[static_cast<size_t>(inside)];
    if (atInside <= 0) return 256;
    const int wanted = 2 * atEdge - atInside;
    return std::clamp(wanted * 256 / atInside, 64, 256);
}

}  // namespace

void ScaledWindow::SetMarginPicture(MarginPicture picture) {
    margin = Margin{};
    if (!picture.Valid()) return;
    const int width = picture.width, height = picture.height;
    std::vector<int64_t> columns(static_cast<size_t>(width)), rowSums(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = picture.Row(y);
        for (int x = 0; x < width; ++x) {
            const int light = Light(row[x]);
            columns[x] += light;
            rowSums[y] += light;
        }
    }
    const int radius = std::max(2, width / 200);
    margin.columnLight = SmoothedMeans(std::move(columns), height, radius);
    margin.rowLight = SmoothedMeans(std::move(rowSums), width, radius);
    margin.picture = std::move(picture);
}

ScaledWindow::MarginAxisPoint ScaledWindow::MarginAxis(int t, int tableLength, const std::vector<int>& light,
                                                       int pictureLength) {
    // The picture column (or row) a table position shows, for the brightness profile.
    const auto inPicture = [&](int at) {
        return std::min(pictureLength - 1, static_cast<int>(static_cast<int64_t>(at) * pictureLength / tableLength));
    };
    if (t < 0) {
        const int at = Reflect(-t - 1, tableLength);
        return {at, DarkeningAt(light, 0, inPicture(at))};
    }
    if (t >= tableLength) {
        const int at = tableLength - 1 - Reflect(t - tableLength, tableLength);
        return {at, DarkeningAt(light, pictureLength - 1, inPicture(at))};
    }
    return {t, 256};
}

bool ScaledWindow::ToLogical(int windowX, int windowY, int* x, int* y) const {
    if (table.Empty()) {  // not laid out yet: nothing is on the table
        *x = *y = 0;
        return false;
    }
    const int64_t tx = windowX - table.left, ty = windowY - table.top;
    const int64_t lx = FloorDiv(tx * logicalWidth, table.Width());
    const int64_t ly = FloorDiv(ty * logicalHeight, table.Height());
    *x = static_cast<int>(std::clamp<int64_t>(lx, 0, logicalWidth - 1));
    *y = static_cast<int>(std::clamp<int64_t>(ly, 0, logicalHeight - 1));
    return lx >= 0 && lx < logicalWidth && ly >= 0 && ly < logicalHeight;
}

Rect ScaledWindow::ToWindow(const Rect& logical) const {
    // Rounded inwards, so every window pixel of the result maps back inside the logical rectangle.
    const auto edge = [](int64_t at, int length, int logicalLength, bool up) {
        return static_cast<int>(up ? CeilDiv(at * length, logicalLength) : FloorDiv(at * length, logicalLength));
    };
    Rect out;
    out.left = table.left + edge(logical.left, table.Width(), logicalWidth, true);
    out.top = table.top + edge(logical.top, table.Height(), logicalHeight, true);
    out.right = table.left + edge(static_cast<int64_t>(logical.right) + 1, table.Width(), logicalWidth, false) - 1;
    out.bottom = table.top + edge(static_cast<int64_t>(logical.bottom) + 1, table.Height(), logicalHeight, false) - 1;
    return out;
}

bool MapMouseEvent(const ScaledWindow& view, HostEvent* event) {
    if (event->kind != HostEvent::MouseMove && event->kind != HostEvent::MouseDown && event->kind != HostEvent::MouseUp)
        return true;
    const bool inside = view.ToLogical(event->x, event->y, &event->x, &event->y);
    return inside || event->kind != HostEvent::MouseDown;
}

void DescribeWindow(const ScaledWindow& view, WindowPicture* picture) {
    picture->width = view.WindowWidth();
    picture->height = view.WindowHeight();
    picture->tableLeft = view.Table().left;
    picture->tableTop = view.Table().top;
    picture->tableWidth = view.Table().Width();
    picture->tableHeight = view.Table().Height();
}
