// Step 1 of the picture import: the file read as a grey picture over white.

#include "import/picture_import.h"

#include "canvas/decode_limits.h"
#include "canvas/drawing_text.h"
#include "canvas/picture_file.h"
#include "import/import_internal.h"
#include "text/file_kind.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// Grey pixels kept per display pixel along each side: enough for smooth area
// averaging under any fit, few enough that a re-scale is cheap.
constexpr int Oversampling = 4;

std::nullopt_t fail(QString *error, const QString &fileName, const QString &reason)
{
    if (error)
        *error = QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(fileName), reason);
    return std::nullopt;
}

const QString CutOff = QStringLiteral("the file is cut off or damaged: the picture in it is incomplete");

bool failed(QString *error, const QString &fileName, const QString &reason)
{
    fail(error, fileName, reason);
    return false;
}

// decoderReason: what the decoder said, in place of the reader's own
// "Unable to read image data".
QString readFailure(const QImageReader &reader, const QString &decoderReason = QString())
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("not a picture in a format this program reads");
    case QImageReader::DeviceError:
        return QStringLiteral("the file cannot be read (%1)").arg(reader.errorString());
    default:
        // Kinds that tell their size only as they decode stop at the
        // reader's allocation limit, with no word of it.
        return QStringLiteral("the picture data is damaged, or it is larger than the %1 MB allowed (%2)")
            .arg(ImportLimits.memoryMb)
            .arg(decoderReason.isEmpty() ? reader.errorString() : decoderReason);
    }
}

bool isVectorFormat(const QByteArray &format)
{
    return format == "svg" || format == "svgz";
}

// Luminance (ITU-R BT.601 weights) composited over white by the alpha; and
// the alpha itself, null unless some of the picture is see-through.
std::pair<QImage, QImage> greyOverWhite(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8)
        return {image, QImage()};
    // RGB32 is stored as 0xFFRRGGBB: read as it is, it is opaque ARGB32.
    // Other kinds are converted a band of rows at a time: a whole copy of a
    // one-bit or palette picture would take up to 32 times its memory.
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    constexpr int BandRows = 64;
    QImage grey(image.size(), QImage::Format_Grayscale8);
    QImage opacity = image.hasAlphaChannel() ? QImage(image.size(), QImage::Format_Grayscale8) : QImage();
    bool seeThrough = false;
    QImage band;
    for (int y = 0; y < image.height(); ++y) {
        if (!direct && y % BandRows == 0)
            band = image.copy(0, y, image.width(), BandRows).convertToFormat(QImage::Format_ARGB32);
        const auto *in =
            reinterpret_cast<const QRgb *>(direct ? image.constScanLine(y) : band.constScanLine(y % BandRows));
        uchar *out = grey.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = in[x];
            const int alpha = qAlpha(p);
            const int luma = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
            out[x] = static_cast<uchar>((luma * alpha + WhiteLevel * (255 - alpha) + 127) / 255);
        }
        // A pass of its own, so that opaque pictures keep the loop above lean.
        if (!opacity.isNull()) {
            uchar *alphas = opacity.scanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                alphas[x] = static_cast<uchar>(qAlpha(in[x]));
                seeThrough |= alphas[x] != Opaque;
            }
        }
    }
    // Many files carry an alpha channel they never use: no need to keep it.
    return {grey, seeThrough ? opacity : QImage()};
}

// The mean of each factor x factor block; blocks at the right and bottom
// edges average the pixels they have. A null picture stays null.
QImage reduceBy(const QImage &grey, int factor)
{
    if (grey.isNull() || factor == 1)
        return grey;
    const int w = (grey.width() + factor - 1) / factor;
    const int h = (grey.height() + factor - 1) / factor;
    QImage reduced(w, h, QImage::Format_Grayscale8);
    std::vector<quint32> sums(static_cast<std::size_t>(w));
    for (int by = 0; by < h; ++by) {
        std::fill(sums.begin(), sums.end(), 0u);
        const int rowEnd = std::min(grey.height(), (by + 1) * factor);
        for (int y = by * factor; y < rowEnd; ++y) {
            const uchar *line = grey.constScanLine(y);
            // Block by block: no division per pixel.
            for (int bx = 0, x = 0; bx < w; ++bx) {
                const int blockEnd = std::min(grey.width(), x + factor);
                quint32 sum = 0;
                for (; x < blockEnd; ++x)
                    sum += line[x];
                sums[static_cast<std::size_t>(bx)] += sum;
            }
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

// The target-sized centre of the picture, `beyond` where the picture does
// not reach. A null picture stays null.
QImage centredWindow(const QImage &grey, QSize target, quint8 beyond)
{
    if (grey.isNull())
        return grey;
    QImage window = filledGrey(target, beyond);
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
    // The reader's own limit, for what tells its size only once decoded.
    QImageReader::setAllocationLimit(ImportLimits.memoryMb);
    reader.setAutoTransform(true);
}

// A drawing: rendered large enough to area-average from, and its centre
// rendered at its own size for Original size. The renderer is given the
// drawing's text, checked, never the file.
std::optional<ImportSource> readDrawing(QIODevice &file, const QString &fileName, const QByteArray &format,
                                        QSize target, QString *error)
{
    QString refusal;
    std::optional<QByteArray> svg = readDrawingText(file, format, &refusal);
    if (!svg)
        return fail(error, fileName, refusal);
    QBuffer whole(&*svg);
    whole.open(QIODevice::ReadOnly);
    QImageReader reader(&whole, "svg");
    prepare(reader);
    const QSize natural = reader.size();
    if (!natural.isValid() || natural.isEmpty())
        return fail(error, fileName, QStringLiteral("the drawing has no size"));
    const double w = natural.width();
    const double h = natural.height();
    double scale = std::max(Oversampling * target.width() / w, Oversampling * target.height() / h);
    scale = std::min({scale, MaxDrawingRenderSide / w, MaxDrawingRenderSide / h});
    const QSize render(std::max(1, int(std::lround(w * scale))), std::max(1, int(std::lround(h * scale))));
    reader.setScaledSize(render);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return fail(error, fileName, readFailure(reader));

    ImportSource source;
    source.size = natural;
    std::tie(source.grey, source.opacity) = greyOverWhite(image);
    source.extent = QSizeF(source.grey.size());

    const QPoint origin = windowOrigin(natural, target);
    const QRect clip = QRect(origin, target) & QRect(QPoint(), natural);
    source.window = whiteGrey(target);
    if (!clip.isEmpty()) {
        QBuffer again(&*svg);
        again.open(QIODevice::ReadOnly);
        QImageReader centre(&again, "svg");
        prepare(centre);
        centre.setClipRect(clip);
        QImage part;
        if (!centre.read(&part) || part.isNull())
            return fail(error, fileName, readFailure(centre));
        const auto [grey, opacity] = greyOverWhite(part);
        placeInto(source.window, grey, clip.topLeft() - origin);
        if (!opacity.isNull()) {
            source.windowOpacity = filledGrey(target, SeeThrough);
            placeInto(source.windowOpacity, opacity, clip.topLeft() - origin);
        }
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

std::optional<ImportSource> readImportSource(const QString &fileName, QSize target, QString *error)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return fail(error, fileName, QStringLiteral("no such file"));
    if (info.isDir())
        return fail(error, fileName, QStringLiteral("it is a folder, not a picture"));
    // A FIFO or a device could keep the read waiting for ever.
    if (!isRegularFile(fileName))
        return fail(error, fileName, QStringLiteral("not a regular file (a FIFO, a device or a socket)"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, fileName, file.errorString());
    if (file.size() == 0)
        return fail(error, fileName, QStringLiteral("the file is empty"));
    // Decoders fill in what a cut-off file lacks: a part of the picture
    // would come out blank, with nothing said.
    if (!pictureFileIsWhole(file))
        return fail(error, fileName, CutOff);
    const QByteArray head = file.peek(DecodeHeaderBytes);

    QImageReader reader(&file);
    prepare(reader);
    if (!reader.canRead())
        return fail(error, fileName, QStringLiteral("not a picture in a format this program reads"));
    const QByteArray format = reader.format();
    if (isVectorFormat(format))
        return readDrawing(file, fileName, format, target, error);

    // From here on the reader is loaded, and its header read may warn.
    const DecoderWarnings warnings;
    // The header's size decides before any pixel is decoded.
    const QSize fileSize = reader.size();
    const int jpegDivisor = jpegReduction(reader, fileSize, target);
    const QSize decoded((fileSize.width() + jpegDivisor - 1) / jpegDivisor,
                        (fileSize.height() + jpegDivisor - 1) / jpegDivisor);
    if (const QString refusal = decodeRefusal(head, format, fileSize, decoded, ImportLimits); !refusal.isEmpty())
        return fail(error, fileName, refusal);
    if (jpegDivisor > 1)
        reader.setScaledSize(decoded);
    QImage image;
    const int warnedBefore = warnings.count();
    if (!reader.read(&image) || image.isNull())
        return fail(error, fileName, readFailure(reader, warnings.reason()));
    if (warnings.count() > warnedBefore)
        return fail(error, fileName, withDecoderReason(CutOff, warnings));
    // Some kinds tell no size before they are decoded, or a smaller one.
    if (const QString refusal = decodedRefusal(image.size(), ImportLimits); !refusal.isEmpty())
        return fail(error, fileName, refusal);

    ImportSource source;
    if (jpegDivisor > 1) {
        source.size = upright(fileSize, reader.transformation());
        std::tie(source.grey, source.opacity) = greyOverWhite(image);
        source.extent = QSizeF(source.size) / jpegDivisor;
        return source; // the window is read when Original size asks for it
    }
    source = importSourceFromImage(image, target);
    return source;
}

bool readImportWindow(const QString &fileName, QSize target, ImportSource &source, QString *error)
{
    if (!isRegularFile(fileName)) // replaced since it was read
        return readImportSource(fileName, target, error).has_value();
    QImageReader reader(fileName);
    prepare(reader);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return failed(error, fileName, readFailure(reader));
    // The window is centred, so it is the same rectangle however the picture
    // is turned, only across instead of down when turned by a quarter.
    const QSize fileSize = reader.size();
    const QSize fileTarget = upright(target, reader.transformation());
    const QRect clip(windowOrigin(fileSize, fileTarget), fileTarget);
    if (fileSize.isValid() && QRect(QPoint(), fileSize).contains(clip) && !isVectorFormat(reader.format()) &&
        reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(clip);
        QImage part;
        const DecoderWarnings warnings;
        if (!reader.read(&part) || part.isNull())
            return failed(error, fileName, readFailure(reader, warnings.reason()));
        if (warnings.any())
            return failed(error, fileName, withDecoderReason(CutOff, warnings));
        if (part.size() == target) {
            std::tie(source.window, source.windowOpacity) = greyOverWhite(part);
            return true;
        }
    }
    // Otherwise read whole and cut out; the size checks of a full read apply.
    std::optional<ImportSource> whole = readImportSource(fileName, target, error);
    if (!whole)
        return false;
    if (whole->window.isNull())
        return failed(error, fileName, QStringLiteral("its centre cannot be read at full size"));
    source.window = std::move(whole->window);
    source.windowOpacity = std::move(whole->windowOpacity);
    return true;
}

ImportSource importSourceFromImage(const QImage &picture, QSize target)
{
    ImportSource source;
    const auto [grey, opacity] = greyOverWhite(picture);
    source.size = grey.size();
    source.window = centredWindow(grey, target, WhiteLevel);
    source.windowOpacity = centredWindow(opacity, target, SeeThrough);
    const int factor = reductionFor(source.size, target);
    source.grey = reduceBy(grey, factor);
    source.opacity = reduceBy(opacity, factor);
    source.extent = QSizeF(source.size) / factor;
    return source;
}
