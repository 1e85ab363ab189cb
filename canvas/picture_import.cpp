#include "canvas/picture_import.h"

#include "canvas/canvas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// A decoded picture may take this much memory; beyond it the reader refuses,
// so a small file whose header claims a huge picture cannot exhaust memory.
constexpr int AllocationLimitMb = 256;
constexpr qint64 AllocationLimitBytes = qint64(AllocationLimitMb) * 1024 * 1024;
// Grey pixels kept per display pixel along each side: enough for smooth area
// averaging under any fit, few enough that a re-scale is cheap.
constexpr int Oversampling = 4;
// A drawing is rendered at no more than this on its longer side.
constexpr int MaxRenderSide = 4096;

constexpr quint8 WhiteLevel = 255;

std::nullopt_t fail(QString *error, const QString &fileName, const QString &reason)
{
    if (error)
        *error = QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(fileName), reason);
    return std::nullopt;
}

QString tooLarge(QSize size)
{
    return QStringLiteral("the picture is %1 x %2 pixels, too large to import").arg(size.width()).arg(size.height());
}

QString readFailure(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("not a picture in a format this program reads");
    case QImageReader::DeviceError:
        return QStringLiteral("the file cannot be read (%1)").arg(reader.errorString());
    default:
        return QStringLiteral("the picture data is damaged or too large (%1)").arg(reader.errorString());
    }
}

bool isVectorFormat(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

// The top-left corner, in picture pixels, of the target-sized window centred
// on the picture (negative when the picture is the smaller). An odd pixel
// left over goes to the right and bottom, as under Fit.
QPoint windowOrigin(QSize picture, QSize target)
{
    return {(picture.width() - target.width()) / 2, (picture.height() - target.height()) / 2};
}

QImage whiteGrey(QSize size)
{
    QImage grey(size, QImage::Format_Grayscale8);
    grey.fill(WhiteLevel);
    return grey;
}

// Luminance (ITU-R BT.601 weights) composited over white by the alpha.
QImage greyOverWhite(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8)
        return image;
    // RGB32 is stored as 0xFFRRGGBB: read as it is, it is opaque ARGB32.
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage argb = direct ? image : image.convertToFormat(QImage::Format_ARGB32);
    QImage grey(argb.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *out = grey.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = in[x];
            const int alpha = qAlpha(p);
            const int luma = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
            out[x] = static_cast<uchar>((luma * alpha + WhiteLevel * (255 - alpha) + 127) / 255);
        }
    }
    return grey;
}

// The mean of each factor x factor block; blocks at the right and bottom
// edges average the pixels they have.
QImage reduceBy(const QImage &grey, int factor)
{
    const int w = (grey.width() + factor - 1) / factor;
    const int h = (grey.height() + factor - 1) / factor;
    QImage reduced(w, h, QImage::Format_Grayscale8);
    std::vector<quint32> sums(static_cast<std::size_t>(w));
    for (int by = 0; by < h; ++by) {
        std::fill(sums.begin(), sums.end(), 0u);
        const int rowEnd = std::min(grey.height(), (by + 1) * factor);
        for (int y = by * factor; y < rowEnd; ++y) {
            const uchar *line = grey.constScanLine(y);
            for (int x = 0; x < grey.width(); ++x)
                sums[static_cast<std::size_t>(x / factor)] += line[x];
        }
        const int rows = rowEnd - by * factor;
        uchar *out = reduced.scanLine(by);
        for (int bx = 0; bx < w; ++bx) {
            const int columns = std::min(grey.width(), (bx + 1) * factor) - bx * factor;
            const quint32 count = static_cast<quint32>(rows * columns);
            out[bx] = static_cast<uchar>((sums[static_cast<std::size_t>(bx)] + count / 2) / count);
        }
    }
    return reduced;
}

// Copies the picture into a white window at the given offset.
void placeInto(QImage &window, const QImage &grey, QPoint at)
{
    const QRect area = QRect(at, grey.size()) & window.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar *in = grey.constScanLine(y - at.y()) + (area.left() - at.x());
        std::copy(in, in + area.width(), window.scanLine(y) + area.left());
    }
}

QImage centredWindow(const QImage &grey, QSize target)
{
    QImage window = whiteGrey(target);
    placeInto(window, grey, -windowOrigin(grey.size(), target));
    return window;
}

// How many picture pixels per side a grey pixel may stand for and still
// leave Oversampling of them per display pixel under any fit.
int reductionFor(QSize picture, QSize target)
{
    const int across = picture.width() / (Oversampling * target.width());
    const int down = picture.height() / (Oversampling * target.height());
    return std::max(1, std::min(across, down));
}

QSize upright(QSize fileSize, QImageIOHandler::Transformations transformation)
{
    return transformation.testFlag(QImageIOHandler::TransformationRotate90) ? fileSize.transposed() : fileSize;
}

void prepare(QImageReader &reader)
{
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(true);
}

bool fitsInMemory(QSize decoded)
{
    return qint64(decoded.width()) * decoded.height() * 4 <= AllocationLimitBytes;
}

// A drawing: rendered large enough to area-average from, and its centre
// rendered at its own size for Original size.
std::optional<ImportSource> readDrawing(QImageReader &reader, const QString &fileName, const QByteArray &format,
                                        QSize target, QString *error)
{
    const QSize natural = reader.size();
    if (!natural.isValid() || natural.isEmpty())
        return fail(error, fileName, QStringLiteral("the drawing has no size"));
    const double w = natural.width();
    const double h = natural.height();
    double scale = std::max(Oversampling * target.width() / w, Oversampling * target.height() / h);
    scale = std::min({scale, MaxRenderSide / w, MaxRenderSide / h});
    const QSize render(std::max(1, int(std::lround(w * scale))), std::max(1, int(std::lround(h * scale))));
    reader.setScaledSize(render);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return fail(error, fileName, readFailure(reader));

    ImportSource source;
    source.size = natural;
    source.grey = greyOverWhite(image);
    source.extent = QSizeF(source.grey.size());

    const QPoint origin = windowOrigin(natural, target);
    const QRect clip = QRect(origin, target) & QRect(QPoint(), natural);
    source.window = whiteGrey(target);
    if (!clip.isEmpty()) {
        QImageReader centre(fileName, format);
        prepare(centre);
        centre.setClipRect(clip);
        QImage part;
        if (!centre.read(&part) || part.isNull())
            return fail(error, fileName, readFailure(centre));
        placeInto(source.window, greyOverWhite(part), clip.topLeft() - origin);
    }
    return source;
}

// A JPEG decodes at 1/2, 1/4 or 1/8 of its size in the decoder itself, far
// faster than in full. Returns the divisor worth using, or 1.
int jpegReduction(QImageReader &reader, QSize fileSize, QSize target)
{
    if (reader.format() != "jpeg" || !fileSize.isValid())
        return 1;
    const int wanted = reductionFor(upright(fileSize, reader.transformation()), target);
    int divisor = 1;
    while (divisor * 2 <= std::min(wanted, 8))
        divisor *= 2;
    return divisor;
}

} // namespace

std::optional<ImportFit> importFitNamed(const QString &name)
{
    if (name == QLatin1String("fit"))
        return ImportFit::Fit;
    if (name == QLatin1String("fill"))
        return ImportFit::Fill;
    if (name == QLatin1String("stretch"))
        return ImportFit::Stretch;
    if (name == QLatin1String("none"))
        return ImportFit::OriginalSize;
    return std::nullopt;
}

std::optional<ImportDither> importDitherNamed(const QString &name)
{
    if (name == QLatin1String("none"))
        return ImportDither::None;
    if (name == QLatin1String("floyd-steinberg"))
        return ImportDither::FloydSteinberg;
    if (name == QLatin1String("atkinson"))
        return ImportDither::Atkinson;
    if (name == QLatin1String("ordered"))
        return ImportDither::Ordered;
    return std::nullopt;
}

QSize importTargetSize(bool halfHeight)
{
    return {Canvas::Width, halfHeight ? Canvas::Height / 2 : Canvas::Height};
}

std::optional<ImportSource> readImportSource(const QString &fileName, QSize target, QString *error)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(error, fileName, QStringLiteral("no such file"));
    if (info.isDir())
        return fail(error, fileName, QStringLiteral("it is a folder, not a picture"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, fileName, file.errorString());
    if (file.size() == 0)
        return fail(error, fileName, QStringLiteral("the file is empty"));

    QImageReader reader(&file);
    prepare(reader);
    if (!reader.canRead())
        return fail(error, fileName, QStringLiteral("not a picture in a format this program reads"));
    const QByteArray format = reader.format();
    if (isVectorFormat(format))
        return readDrawing(reader, fileName, format, target, error);

    // The header's size decides before any pixel is decoded.
    const QSize fileSize = reader.size();
    const int jpegDivisor = jpegReduction(reader, fileSize, target);
    if (fileSize.isValid()) {
        const QSize decoded((fileSize.width() + jpegDivisor - 1) / jpegDivisor,
                            (fileSize.height() + jpegDivisor - 1) / jpegDivisor);
        if (!fitsInMemory(decoded))
            return fail(error, fileName, tooLarge(fileSize));
        if (jpegDivisor > 1)
            reader.setScaledSize(decoded);
    }
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return fail(error, fileName, readFailure(reader));

    ImportSource source;
    if (jpegDivisor > 1) {
        source.size = upright(fileSize, reader.transformation());
        source.grey = greyOverWhite(image);
        source.extent = QSizeF(source.size) / jpegDivisor;
        return source; // the window is read when Original size asks for it
    }
    source = importSourceFromImage(image, target);
    return source;
}

std::optional<QImage> readImportWindow(const QString &fileName, QSize target, QString *error)
{
    QImageReader reader(fileName);
    prepare(reader);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return fail(error, fileName, readFailure(reader));
    // The window is centred, so it is the same rectangle however the picture
    // is turned, only across instead of down when turned by a quarter.
    const QSize fileSize = reader.size();
    const QSize fileTarget = upright(target, reader.transformation());
    const QRect clip(windowOrigin(fileSize, fileTarget), fileTarget);
    if (fileSize.isValid() && QRect(QPoint(), fileSize).contains(clip) &&
        reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(clip);
        QImage part;
        if (!reader.read(&part) || part.isNull())
            return fail(error, fileName, readFailure(reader));
        if (part.size() == target)
            return greyOverWhite(part);
    }
    // Otherwise read whole and cut out; the size checks of a full read apply.
    std::optional<ImportSource> whole = readImportSource(fileName, target, error);
    if (!whole)
        return std::nullopt;
    if (whole->window.isNull())
        return fail(error, fileName, QStringLiteral("its centre cannot be read at full size"));
    return whole->window;
}

ImportSource importSourceFromImage(const QImage &picture, QSize target)
{
    ImportSource source;
    const QImage grey = greyOverWhite(picture);
    source.size = grey.size();
    source.window = centredWindow(grey, target);
    const int factor = reductionFor(grey.size(), target);
    source.grey = factor > 1 ? reduceBy(grey, factor) : grey;
    source.extent = QSizeF(source.size) / factor;
    return source;
}

namespace {

// Along one side: the grey pixels each target pixel covers and how much of
// each, for the span [from, from + length) of grey pixels spread over count
// target pixels. Coverage beyond the picture's extent does not count.
struct BoxTaps
{
    std::vector<int> first; // per target pixel: its first grey pixel
    std::vector<int> begin; // per target pixel: its first weight in weight
    std::vector<int> count;
    std::vector<float> weight;
};

BoxTaps boxTaps(double from, double length, int count, double extent)
{
    BoxTaps taps;
    const double step = length / count;
    for (int i = 0; i < count; ++i) {
        const double a = std::max(0.0, from + i * step);
        const double b = std::min(extent, from + (i + 1) * step);
        const int first = static_cast<int>(std::floor(a));
        const int end = std::max(first, static_cast<int>(std::ceil(b)));
        taps.first.push_back(first);
        taps.begin.push_back(static_cast<int>(taps.weight.size()));
        taps.count.push_back(end - first);
        for (int j = first; j < end; ++j)
            taps.weight.push_back(static_cast<float>((std::min(b, j + 1.0) - std::max(a, double(j))) / (b - a)));
    }
    return taps;
}

// Area-averages the span `from` of the grey picture into the rectangle `to`
// of out: horizontally into a float buffer, then vertically.
void resample(const ImportSource &source, const QRectF &from, QImage &out, const QRect &to)
{
    const BoxTaps across = boxTaps(from.x(), from.width(), to.width(), source.extent.width());
    const BoxTaps down = boxTaps(from.y(), from.height(), to.height(), source.extent.height());
    const int firstRow = down.first.front();
    const int endRow = down.first.back() + down.count.back();
    const std::size_t w = static_cast<std::size_t>(to.width());
    std::vector<float> rows(static_cast<std::size_t>(std::max(0, endRow - firstRow)) * w);
    for (int y = firstRow; y < endRow; ++y) {
        const uchar *line = source.grey.constScanLine(y);
        float *row = rows.data() + static_cast<std::size_t>(y - firstRow) * w;
        for (std::size_t i = 0; i < w; ++i) {
            const float *weight = across.weight.data() + across.begin[i];
            const uchar *level = line + across.first[i];
            float sum = 0;
            for (int k = 0; k < across.count[i]; ++k)
                sum += weight[k] * level[k];
            row[i] = sum;
        }
    }
    for (int j = 0; j < to.height(); ++j) {
        uchar *line = out.scanLine(to.y() + j) + to.x();
        const float *weight = down.weight.data() + down.begin[static_cast<std::size_t>(j)];
        const float *row =
            rows.data() + static_cast<std::size_t>(down.first[static_cast<std::size_t>(j)] - firstRow) * w;
        const int taps = down.count[static_cast<std::size_t>(j)];
        for (std::size_t i = 0; i < w; ++i) {
            float sum = 0;
            for (int k = 0; k < taps; ++k)
                sum += weight[k] * row[static_cast<std::size_t>(k) * w + i];
            line[i] = static_cast<uchar>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
}

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

ScaledPicture scalePicture(const ImportSource &source, ImportFit fit, QSize target)
{
    ScaledPicture scaled;
    scaled.grey = whiteGrey(target);
    if (source.size.isEmpty() || source.grey.isNull())
        return scaled;
    if (fit == ImportFit::OriginalSize) {
        Q_ASSERT(!source.window.isNull());
        if (!source.window.isNull())
            scaled.grey = source.window;
        scaled.content = QRect(-windowOrigin(source.size, target), source.size) & QRect(QPoint(), target);
        return scaled;
    }

    const double w = source.size.width();
    const double h = source.size.height();
    const double tw = target.width();
    const double th = target.height();
    const QRectF whole(QPointF(), source.extent);
    QRectF from = whole;
    scaled.content = QRect(QPoint(), target);
    if (fit == ImportFit::Fit) {
        const double scale = std::min(tw / w, th / h);
        const int cw = std::clamp(int(std::lround(w * scale)), 1, target.width());
        const int ch = std::clamp(int(std::lround(h * scale)), 1, target.height());
        scaled.content = QRect((target.width() - cw) / 2, (target.height() - ch) / 2, cw, ch);
    } else if (fit == ImportFit::Fill) {
        // The part of the picture the display shows, in grey pixels.
        const double scale = std::max(tw / w, th / h);
        const double kx = source.extent.width() / w;
        const double ky = source.extent.height() / h;
        const double vw = tw / scale;
        const double vh = th / scale;
        from = QRectF((w - vw) / 2 * kx, (h - vh) / 2 * ky, vw * kx, vh * ky);
    }
    resample(source, from, scaled.grey, scaled.content);
    return scaled;
}

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

    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(dots.scanLine(content.top() + y)) + content.left();
        for (int x = 0; x < w; ++x)
            if (dark[static_cast<std::size_t>(y * w + x)] != options.invert)
                line[x] = black;
    }
    return dots;
}

PictureImport::PictureImport(const QString &fileName, ImportSource source, QSize target)
    : fileName_(fileName), source_(std::move(source)), target_(target)
{
    scaled_ = scalePicture(source_, options_.fit, target_);
    render();
}

PictureImport::PictureImport(const QImage &picture, QSize target)
    : PictureImport(QString(), importSourceFromImage(picture, target), target)
{
}

std::optional<PictureImport> PictureImport::open(const QString &fileName, QSize target, QString *error)
{
    std::optional<ImportSource> source = readImportSource(fileName, target, error);
    if (!source)
        return std::nullopt;
    return PictureImport(fileName, std::move(*source), target);
}

bool PictureImport::setOptions(const ImportOptions &options, QString *error)
{
    if (options.fit == ImportFit::OriginalSize && source_.window.isNull()) {
        std::optional<QImage> window = readImportWindow(fileName_, target_, error);
        if (!window)
            return false;
        source_.window = std::move(*window);
    }
    const bool rescale = options.fit != options_.fit;
    options_ = options;
    if (rescale)
        scaled_ = scalePicture(source_, options_.fit, target_);
    render();
    return true;
}

void PictureImport::render()
{
    threshold_ = thresholdFor(scaled_, options_);
    picture_ = renderDots(scaled_, options_);
}

std::optional<QImage> importPicture(const QString &fileName, const ImportOptions &options, QSize target, QString *error)
{
    std::optional<PictureImport> import = PictureImport::open(fileName, target, error);
    if (!import || !import->setOptions(options, error))
        return std::nullopt;
    return import->picture();
}
