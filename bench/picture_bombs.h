#pragma once

// Small picture files that declare huge pictures, one or more for every
// format the image readers take here: what a hostile or broken file does
// to a decoder. The benchmark of bombs measures them; the import's tests
// take them as rows.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>

#include <vector>
#include <zlib.h>

struct PictureBomb
{
    QString name; // a file name, with the format's usual suffix
    QByteArray bytes;
    // What the import's message says when it refuses the file; empty for
    // a picture within the limits, which is decoded.
    QString refusal = {};
};

namespace bombs {

inline QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

inline QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

inline QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

// A PNG chunk (and MNG, which shares their form) with its CRC.
inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray typed = QByteArray(type) + data;
    const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size())));
    return be32(quint32(data.size())) + typed + be32(crc);
}

inline QByteArray pngHeader(quint32 width, quint32 height, char bits, char colourType)
{
    return pngChunk("IHDR",
                    be32(width) + be32(height) + QByteArray(1, bits) + QByteArray(1, colourType) + QByteArray(3, '\0'));
}

// A PNG whose header claims the size, with data for a few rows only.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray idat = qCompress(QByteArray(4096, '\0')).mid(4); // the zlib stream alone
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(width, height, 8, 0) + pngChunk("IDAT", idat) +
           pngChunk("IEND", {});
}

// A one-bit grey PNG with every row there: zeros compress a thousandfold.
inline QByteArray pngOneBit(quint32 side)
{
    const QByteArray rows(qsizetype(side) * (1 + (side + 7) / 8), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngHeader(side, side, 1, 0) +
           pngChunk("IDAT", qCompress(rows, 9).mid(4)) + pngChunk("IEND", {});
}

inline QByteArray encoded(const QImage &picture, const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(100);
    writer.write(picture);
    return bytes;
}

// A small JPEG with its frame header's size overwritten.
inline QByteArray jpegClaiming(quint16 side, bool progressive)
{
    QImage grey(64, 64, QImage::Format_Grayscale8);
    grey.fill(128);
    QByteArray bytes = encoded(grey, "jpeg", progressive);
    const qsizetype frame = bytes.indexOf(progressive ? "\xFF\xC2" : "\xFF\xC0");
    qToBigEndian(side, bytes.data() + frame + 5);
    qToBigEndian(side, bytes.data() + frame + 7);
    return bytes;
}

inline QByteArray gifClaiming(quint16 side)
{
    return "GIF89a" + le16(side) + le16(side) + QByteArray("\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 9) + "," + le32(0) +
           le16(side) + le16(side) + QByteArray("\x00\x02\x02\x44\x01\x00;", 7);
}

// Eight-bit run-length data that ends at once: complete, and a huge picture.
inline QByteArray bmpRunLengthClaiming(qint32 side)
{
    const QByteArray palette(256 * 4, '\0');
    const QByteArray data("\x00\x01", 2); // end of picture
    const quint32 offset = 14 + 40 + quint32(palette.size());
    return "BM" + le32(offset + quint32(data.size())) + le32(0) + le32(offset) + le32(40) + le32(quint32(side)) +
           le32(quint32(side)) + le16(1) + le16(8) + le32(1) + le32(quint32(data.size())) + le32(2835) + le32(2835) +
           le32(256) + le32(0) + palette + data;
}

// One strip of one-bit pixels, of which the file holds 8 bytes.
inline QByteArray tiffClaiming(quint32 side)
{
    const auto entry = [](quint16 tag, quint16 type, quint32 value) {
        return le16(tag) + le16(type) + le32(1) + (type == 3 ? le16(quint16(value)) + le16(0) : le32(value));
    };
    const quint32 data = 8 + 2 + 9 * 12 + 4;
    return "II" + le16(42) + le32(8) + le16(9) + entry(256, 4, side) + entry(257, 4, side) + entry(258, 3, 1) +
           entry(259, 3, 1) + entry(262, 3, 1) + entry(273, 4, data) + entry(277, 3, 1) + entry(278, 4, side) +
           entry(279, 4, side / 8 * side) + le32(0) + QByteArray(8, '\0');
}

// A lossless WebP whose header claims 16384 x 16384, the most it can say.
inline QByteArray webpClaimingLargest()
{
    QImage one(1, 1, QImage::Format_ARGB32);
    one.fill(Qt::white);
    QByteArray bytes = encoded(one, "webp");
    const qsizetype header = bytes.indexOf("VP8L") + 8 + 1; // after the chunk's signature byte
    if (header > 8) {
        bytes[header] = char(0xFF);                                   // width - 1: 14 bits
        bytes[header + 1] = char(0xFF);                               // width's high bits, then
        bytes[header + 2] = char(0xFF);                               // height - 1: 14 bits
        bytes[header + 3] = char((bytes[header + 3] & ~0x0F) | 0x0F); // the alpha bit and version stay
    }
    return bytes;
}

inline QByteArray icoHolding(const QByteArray &png)
{
    return le16(0) + le16(1) + le16(1) + QByteArray("\x00\x00\x00\x00", 4) + le16(1) + le16(32) +
           le32(quint32(png.size())) + le32(22) + png;
}

inline QByteArray icnsHolding(const QByteArray &png)
{
    return "icns" + be32(quint32(8 + 8 + png.size())) + "ic10" + be32(quint32(8 + png.size())) + png;
}

inline QByteArray tgaClaiming(quint16 side)
{
    return QByteArray("\x00\x00\x02", 3) + QByteArray(9, '\0') + le16(side) + le16(side) + QByteArray("\x18\x20", 2) +
           QByteArray(16, '\0');
}

// WBMP sizes are written seven bits a byte, high bits first.
inline QByteArray wbmpClaiming(quint32 side)
{
    const QByteArray number =
        QByteArray(1, char(0x80 | (side >> 14))) + char(0x80 | ((side >> 7) & 0x7F)) + char(side & 0x7F);
    return QByteArray(2, '\0') + number + number + QByteArray(16, '\0');
}

inline QByteArray mngClaiming(quint32 side)
{
    const QByteArray header = be32(side) + be32(side) + be32(1) + be32(0) + be32(1) + be32(0) + be32(1);
    const QByteArray idat = qCompress(QByteArray(4096, '\0')).mid(4);
    return QByteArray("\x8aMNG\r\n\x1a\n", 8) + pngChunk("MHDR", header) + pngHeader(side, side, 8, 0) +
           pngChunk("IDAT", idat) + pngChunk("IEND", {}) + pngChunk("MEND", {});
}

inline QByteArray gzipped(const QByteArray &data)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace bombs

// Every bomb, a few kilobytes each at most.
inline std::vector<PictureBomb> pictureBombs()
{
    using namespace bombs;
    const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='1000000000' height='1000000000'>"
                           "<rect width='500000000' height='500000000'/></svg>";
    const QByteArray bigSvg = "<svg xmlns='http://www.w3.org/2000/svg' width='64' height='32'><!--" +
                              QByteArray(64 * 1024 * 1024, ' ') + "--></svg>";
    return {
        {"png-50000.png", pngClaiming(50000, 50000), "MB allowed"},
        {"png-one-bit-16000.png", pngOneBit(16000), "MB allowed"},
        {"png-one-bit-6000.png", pngOneBit(6000)},
        {"jpeg-60000.jpg", jpegClaiming(60000, false), "MB allowed"},
        {"jpeg-30000.jpg", jpegClaiming(30000, false), "cut off"},
        {"jpeg-progressive-60000.jpg", jpegClaiming(60000, true), "MB allowed"},
        {"jpeg-progressive-10000.jpg", jpegClaiming(10000, true), "cut off"},
        {"gif-65535.gif", gifClaiming(65535), "MB allowed"},
        {"bmp-rle-16384.bmp", bmpRunLengthClaiming(16384), "MB allowed"},
        {"bmp-rle-5000.bmp", bmpRunLengthClaiming(5000)},
        {"tiff-60000.tif", tiffClaiming(60000), "MB allowed"},
        {"webp-16384.webp", webpClaimingLargest(), "MB allowed"},
        {"ico-png-50000.ico", icoHolding(pngClaiming(50000, 50000)), "MB allowed"},
        {"icns-png-50000.icns", icnsHolding(pngClaiming(50000, 50000)), "MB allowed"},
        {"tga-65535.tga", tgaClaiming(65535), "MB allowed"},
        {"wbmp-60000.wbmp", wbmpClaiming(60000), "not a picture"},
        {"mng-60000.mng", mngClaiming(60000), "MB allowed"},
        {"pbm-60000.pbm", "P4\n60000 60000\n" + QByteArray(16, '\0'), "MB allowed"},
        {"pgm-60000.pgm", "P5\n60000 60000\n255\n" + QByteArray(16, '\0'), "MB allowed"},
        {"ppm-ascii-60000.ppm", "P3\n60000 60000\n255\n0 0 0\n", "MB allowed"},
        {"xbm-60000.xbm", "#define b_width 60000\n#define b_height 60000\nstatic char b_bits[] = {0x00};\n",
         "not a picture"},
        {"xpm-60000.xpm", "/* XPM */\nstatic char *b[] = {\n\"60000 60000 1 1\",\n\"a c #000000\",\n\"a\"};\n",
         "MB allowed"},
        {"svg-1e9.svg", svg},
        {"svgz-1e9.svgz", gzipped(svg)},
        {"svgz-64mb.svgz", gzipped(bigSvg), "16 MB"},
    };
}
