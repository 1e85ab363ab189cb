#include "canvas/drawing_text.h"

#include "canvas/decode_limits.h"

#include <QGuiApplication>
#include <QXmlStreamReader>

#include <zlib.h>

namespace {

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

// A gzip stream inflated, up to `limit` bytes and one more, so that a
// stream that goes beyond shows it; nothing when the stream is damaged or
// cut off. The compressed side is read a block at a time: a small file can
// inflate to gigabytes.
std::optional<QByteArray> gunzip(QIODevice &file, qint64 limit)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return std::nullopt;
    QByteArray out;
    QByteArray in;
    int status = Z_OK;
    char block[64 * 1024];
    while (status == Z_OK && out.size() <= limit) {
        if (stream.avail_in == 0) {
            in = file.read(64 * 1024);
            if (in.isEmpty())
                break;
            stream.next_in = reinterpret_cast<Bytef *>(in.data());
            stream.avail_in = uInt(in.size());
        }
        stream.next_out = reinterpret_cast<Bytef *>(block);
        stream.avail_out = sizeof block;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(block, qsizetype(sizeof block - stream.avail_out));
    }
    inflateEnd(&stream);
    if (out.size() > limit)
        return out.left(limit + 1);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace

std::optional<QByteArray> readDrawingText(QIODevice &file, const QByteArray &format, QString *reason)
{
    // The renderer's text needs the font database, which only a GUI
    // application has; without one, Qt aborts the program.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        *reason = QStringLiteral("a drawing cannot be rendered here: there are no fonts without a graphical "
                                 "application");
        return std::nullopt;
    }
    std::optional<QByteArray> svg =
        format == "svgz" ? gunzip(file, MaxDrawingBytes) : std::optional(file.read(MaxDrawingBytes + 1));
    if (!svg) {
        *reason = QStringLiteral("the file is cut off or damaged: the compressed drawing is incomplete");
        return std::nullopt;
    }
    if (svg->size() > MaxDrawingBytes) {
        *reason = QStringLiteral("the drawing is larger than %1 MB").arg(MaxDrawingBytes / (1024 * 1024));
        return std::nullopt;
    }
    // The renderer would fetch what the drawing refers to itself, and one of
    // those could be a FIFO it waits on for ever.
    if (const QString outside = outsideReference(*svg); !outside.isEmpty()) {
        *reason = QStringLiteral("the drawing refers to %1 outside it; only what a drawing holds itself "
                                 "(data: URIs) is drawn")
                      .arg(outside);
        return std::nullopt;
    }
    return svg;
}

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
