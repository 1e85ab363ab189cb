// Step 1 of the picture import: the file read as a grey picture over white.

#include "canvas/picture_import.h"

#include "canvas/import_internal.h"
#include "canvas/picture_file.h"
#include "text/file_kind.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
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

// Luminance (ITU-R BT.601 weights) composited over white by the alpha; and
// the alpha itself, null unless some of the picture is see-through.
std::pair<QImage, QImage> greyOverWhite(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8)
        return {image, QImage()};
    // RGB32 is stored as 0xFFRRGGBB: read as it is, it is opaque ARGB32.
    const bool direct = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    const QImage argb = direct ? image : image.convertToFormat(QImage::Format_ARGB32);
    QImage grey(argb.size(), QImage::Format_Grayscale8);
    QImage opacity = image.hasAlphaChannel() ? QImage(argb.size(), QImage::Format_Grayscale8) : QImage();
    bool seeThrough = false;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        uchar *out = grey.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = in[x];
            const int alpha = qAlpha(p);
            const int luma = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
            out[x] = static_cast<uchar>((luma * alpha + WhiteLevel * (255 - alpha) + 127) / 255);
        }
        // A pass of its own, so that opaque pictures keep the loop above lean.
        if (!opacity.isNull()) {
            uchar *alphas = opacity.scanLine(y);
            for (int x = 0; x < argb.width(); ++x) {
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
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoTransform(true);
}

bool fitsInMemory(QSize decoded)
{
    return qint64(decoded.width()) * decoded.height() * 4 <= AllocationLimitBytes;
}

// Whether a reference in a drawing leads outside it: anything but a part of
// the drawing itself (#id) or data it holds (data:).
bool leadsOutside(QStringView reference)
{
    reference = reference.trimmed();
    return !reference.isEmpty() && !reference.startsWith(QLatin1Char('#')) &&
           !reference.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

// The first url(...) in a style that leads outside the drawing.
QString outsideUrl(QStringView style)
{
    for (qsizetype at = style.indexOf(QLatin1String("url(")); at >= 0;
         at = style.indexOf(QLatin1String("url("), at + 4)) {
        const qsizetype end = style.indexOf(QLatin1Char(')'), at);
        QStringView inside = style.mid(at + 4, end < 0 ? -1 : end - at - 4).trimmed();
        if (inside.startsWith(QLatin1Char('"')) || inside.startsWith(QLatin1Char('\'')))
            inside = inside.mid(1, inside.size() - 2);
        if (leadsOutside(inside))
            return inside.toString();
    }
    if (style.contains(QLatin1String("@import")))
        return QStringLiteral("@import");
    return QString();
}

// The first reference of an SVG document to something outside it (a file,
// a device, a web address), in an href, a style, or a style sheet; empty
// when it holds everything it shows. The renderer would fetch such things
// itself, and one of them could be a FIFO it waits on for ever.
QString outsideReference(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                if (attribute.name() == QLatin1String("href") && leadsOutside(attribute.value()))
                    return attribute.value().toString();
                if (attribute.name() == QLatin1String("style"))
                    if (const QString url = outsideUrl(attribute.value()); !url.isEmpty())
                        return url;
            }
            break;
        case QXmlStreamReader::Characters:
            if (const QString url = outsideUrl(xml.text()); !url.isEmpty())
                return url;
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (xml.processingInstructionTarget() == QLatin1String("xml-stylesheet"))
                return xml.processingInstructionData().toString().trimmed();
            break;
        default:
            break;
        }
    }
    return QString();
}

// A drawing: rendered large enough to area-average from, and its centre
// rendered at its own size for Original size.
std::optional<ImportSource> readDrawing(QImageReader &reader, const QString &fileName, const QByteArray &format,
                                        QSize target, QString *error)
{
    // Checked before the renderer reads the document, which fetches what it
    // refers to. A compressed drawing (svgz) is left to the renderer.
    constexpr qint64 MaxDrawingBytes = 16 * 1024 * 1024;
    if (format == "svg") {
        const QByteArray svg = reader.device()->peek(MaxDrawingBytes + 1);
        if (svg.size() > MaxDrawingBytes)
            return fail(error, fileName, QStringLiteral("the drawing is larger than 16 MB"));
        if (const QString outside = outsideReference(svg); !outside.isEmpty())
            return fail(error, fileName,
                        QStringLiteral("the drawing refers to %1 outside it; only what a drawing holds itself "
                                       "(data: URIs) is drawn")
                            .arg(outside));
    }
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
    std::tie(source.grey, source.opacity) = greyOverWhite(image);
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
// What libjpeg keeps while it decodes a progressive JPEG: every DCT
// coefficient of the whole picture, two bytes each, whatever size it is
// asked to scale the result to. Read from the frame header before any
// decoding; why the file is refused, or nothing when it may be decoded.
// The other kinds decode a strip at a time.
QString progressiveJpegTooLarge(QIODevice &file)
{
    const QByteArray head = file.peek(256 * 1024); // the frame header follows EXIF and the like
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (head.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return QString();
    for (qsizetype at = 2; at + 9 < head.size() && b[at] == 0xFF;) {
        const uchar marker = b[at + 1];
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            const qint64 height = (b[at + 5] << 8) | b[at + 6];
            const qint64 width = (b[at + 7] << 8) | b[at + 8];
            auto blocks = [](qint64 side) { return (side + 7) / 8 * 8; };
            const qint64 working = blocks(width) * blocks(height) * b[at + 9] * 2;
            if (!progressive || working <= AllocationLimitBytes)
                return QString();
            return QStringLiteral("the picture is %1 x %2 pixels in progressive JPEG: decoding it would take %3 MB, "
                                  "more than the %4 MB allowed")
                .arg(width)
                .arg(height)
                .arg(working / (1024 * 1024))
                .arg(AllocationLimitMb);
        }
        at += 2 + ((b[at + 2] << 8) | b[at + 3]);
    }
    return QString();
}

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
    if (const QString tooLargeToDecode = progressiveJpegTooLarge(file); !tooLargeToDecode.isEmpty())
        return fail(error, fileName, tooLargeToDecode);

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
    const DecoderWarnings warnings;
    if (!reader.read(&image) || image.isNull())
        return fail(error, fileName, readFailure(reader));
    if (warnings.any())
        return fail(error, fileName, CutOff);

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
    if (fileSize.isValid() && QRect(QPoint(), fileSize).contains(clip) &&
        reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(clip);
        QImage part;
        const DecoderWarnings warnings;
        if (!reader.read(&part) || part.isNull())
            return failed(error, fileName, readFailure(reader));
        if (warnings.any())
            return failed(error, fileName, CutOff);
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
