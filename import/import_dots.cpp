// Step 3 of the picture import: the scaled grey picture as black and white
// dots, by a threshold (chosen, or Otsu's) and dithering, inverted on request.

#include "import/picture_import.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The 8 x 8 Bayer matrix: each level 0..63 once, every finer pattern spread
// as evenly as the coarser ones allow.
using BayerMatrix = std::array<std::array<int, 8>, 8>;

constexpr BayerMatrix makeBayer()
{
    BayerMatrix m{};
    m[0][0] = 0;
    for (int n = 1; n < 8; n *= 2) {
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const int v = 4 * m[y][x];
                m[y][x] = v;
                m[y][x + n] = v + 2;
                m[y + n][x] = v + 3;
                m[y + n][x + n] = v + 1;
            }
        }
    }
    return m;
}

constexpr BayerMatrix Bayer = makeBayer();

// Inverted, a dot that is less opaque than this stays white.
constexpr int HalfOpaque = 128;

// The level with the threshold moved to the middle: 0 stays 0, 255 stays
// 255, the threshold becomes 128, linear in between. Dithering then draws
// the threshold as half dots.
float toneFor(int level, int threshold)
{
    if (level < threshold)
        return level * 128.0f / threshold;
    if (threshold >= 255)
        return 255.0f;
    return 128.0f + (level - threshold) * 127.0f / (255 - threshold);
}

struct DiffusionTap
{
    int dx;
    int dy;
    float share;
};

constexpr std::array<DiffusionTap, 4> FloydSteinbergTaps{
    {{1, 0, 7 / 16.0f}, {-1, 1, 3 / 16.0f}, {0, 1, 5 / 16.0f}, {1, 1, 1 / 16.0f}}};
constexpr std::array<DiffusionTap, 6> AtkinsonTaps{
    {{1, 0, 1 / 8.0f}, {2, 0, 1 / 8.0f}, {-1, 1, 1 / 8.0f}, {0, 1, 1 / 8.0f}, {1, 1, 1 / 8.0f}, {0, 2, 1 / 8.0f}}};

// Error diffusion over the tones, row by row, every other row right to left
// (with the taps mirrored) so that the error does not drift one way.
template <std::size_t N>
void diffuse(std::vector<float> &tone, std::vector<bool> &dark, int w, int h, const std::array<DiffusionTap, N> &taps)
{
    for (int y = 0; y < h; ++y) {
        const bool leftward = y % 2 == 1;
        for (int step = 0; step < w; ++step) {
            const int x = leftward ? w - 1 - step : step;
            const std::size_t at = static_cast<std::size_t>(y * w + x);
            const bool isDark = tone[at] < 128.0f;
            dark[at] = isDark;
            const float error = tone[at] - (isDark ? 0.0f : 255.0f);
            for (const DiffusionTap &tap : taps) {
                const int tx = x + (leftward ? -tap.dx : tap.dx);
                const int ty = y + tap.dy;
                if (tx >= 0 && tx < w && ty < h)
                    tone[static_cast<std::size_t>(ty * w + tx)] += error * tap.share;
            }
        }
    }
}

} // namespace

int otsuThreshold(const QImage &grey, const QRect &area)
{
    std::array<qint64, 256> histogram{};
    const QRect inside = area & grey.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const uchar *line = grey.constScanLine(y);
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++histogram[line[x]];
    }
    double total = 0;
    double sum = 0;
    for (int level = 0; level < 256; ++level) {
        total += histogram[static_cast<std::size_t>(level)];
        sum += double(level) * histogram[static_cast<std::size_t>(level)];
    }
    // Class 0 is levels 0..k, class 1 the rest; the split with the largest
    // between-class variance n0 n1 (m0 - m1)^2 wins.
    double best = 0;
    int bestFirst = -1;
    int bestLast = -1;
    double n0 = 0;
    double s0 = 0;
    for (int k = 0; k < 255; ++k) {
        n0 += histogram[static_cast<std::size_t>(k)];
        s0 += double(k) * histogram[static_cast<std::size_t>(k)];
        const double n1 = total - n0;
        if (n0 == 0 || n1 == 0)
            continue;
        const double difference = s0 / n0 - (sum - s0) / n1;
        const double variance = n0 * n1 * difference * difference;
        if (variance > best * (1 + 1e-12)) {
            best = variance;
            bestFirst = bestLast = k;
        } else if (variance >= best * (1 - 1e-12) && bestLast == k - 1) {
            bestLast = k; // an equally good split next to it: a gap between the classes
        }
    }
    if (bestFirst < 0)
        return 128;
    return (bestFirst + bestLast) / 2 + 1;
}

int thresholdFor(const ScaledPicture &scaled, const ImportOptions &options)
{
    if (options.autoThreshold)
        return otsuThreshold(scaled.grey, scaled.content);
    return std::clamp(options.threshold, 0, 255);
}

QImage renderDots(const ScaledPicture &scaled, const ImportOptions &options)
{
    QImage dots(scaled.grey.size(), QImage::Format_RGB32);
    dots.fill(Qt::white);
    const QRect content = scaled.content & scaled.grey.rect();
    if (content.isEmpty())
        return dots;
    const int threshold = thresholdFor(scaled, options);
    const int w = content.width();
    const int h = content.height();
    const std::size_t count = static_cast<std::size_t>(w * h);

    std::vector<bool> dark(count);
    auto levelAt = [&](int x, int y) { return int(scaled.grey.constScanLine(content.top() + y)[content.left() + x]); };
    switch (options.dither) {
    case ImportDither::None:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                dark[static_cast<std::size_t>(y * w + x)] = levelAt(x, y) < threshold;
        break;
    case ImportDither::Ordered:
        // The pattern is anchored to the display, not to the picture.
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int cell = Bayer[static_cast<std::size_t>((content.top() + y) % 8)]
                                      [static_cast<std::size_t>((content.left() + x) % 8)];
                dark[static_cast<std::size_t>(y * w + x)] = toneFor(levelAt(x, y), threshold) < (cell + 0.5f) * 4.0f;
            }
        }
        break;
    case ImportDither::FloydSteinberg:
    case ImportDither::Atkinson: {
        std::vector<float> tone(count);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                tone[static_cast<std::size_t>(y * w + x)] = toneFor(levelAt(x, y), threshold);
        if (options.dither == ImportDither::FloydSteinberg)
            diffuse(tone, dark, w, h, FloydSteinbergTaps);
        else
            diffuse(tone, dark, w, h, AtkinsonTaps);
        break;
    }
    }

    // Inverting swaps dots and white in the picture itself; what shows
    // through it is background, and stays white like the margins.
    const bool keepSeeThrough = options.invert && !scaled.opacity.isNull();
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(dots.scanLine(content.top() + y)) + content.left();
        const uchar *opacity =
            keepSeeThrough ? scaled.opacity.constScanLine(content.top() + y) + content.left() : nullptr;
        for (int x = 0; x < w; ++x)
            if (dark[static_cast<std::size_t>(y * w + x)] != options.invert && !(opacity && opacity[x] < HalfOpaque))
                line[x] = black;
    }
    return dots;
}
