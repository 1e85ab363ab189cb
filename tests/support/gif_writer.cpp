#include "support/gif_writer.h"

#include <QFile>

namespace {

void put16(QByteArray &out, int value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

// 9-bit codes, least significant bit first, in sub-blocks of up to 255.
// A clear code every 250 literals keeps the decoder's table, and so the
// code width, from growing.
QByteArray pixelData(const QImage &grey)
{
    constexpr int Clear = 256, End = 257;
    QByteArray packed;
    quint32 bits = 0;
    int held = 0;
    auto code = [&](int value) {
        bits |= quint32(value) << held;
        for (held += 9; held >= 8; held -= 8, bits >>= 8)
            packed += char(bits & 0xFF);
    };
    int run = 0;
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            if (run++ % 250 == 0)
                code(Clear);
            code(grey.constScanLine(y)[x]);
        }
    code(End);
    if (held > 0)
        packed += char(bits & 0xFF);
    QByteArray out(1, char(8)); // the minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        out += char(block.size());
        out += block;
    }
    return out + char(0);
}

} // namespace

bool writeGreyGif(const QString &fileName, const QList<QImage> &frames, const QList<int> &delaysMs)
{
    const QSize size = frames.constFirst().size();
    QByteArray out("GIF89a");
    put16(out, size.width());
    put16(out, size.height());
    out += char(0xF7); // a global table of 256 colours
    out += char(0);
    out += char(0);
    for (int level = 0; level < 256; ++level)
        out += QByteArray(3, char(level));
    for (qsizetype k = 0; k < frames.size(); ++k) {
        out += QByteArray("\x21\xF9\x04\x04", 4); // graphic control: keep the frame
        put16(out, delaysMs.value(k) / 10);
        out += QByteArray("\x00\x00", 2);
        out += char(0x2C);
        put16(out, 0);
        put16(out, 0);
        put16(out, size.width());
        put16(out, size.height());
        out += char(0);
        out += pixelData(frames[k].convertToFormat(QImage::Format_Grayscale8));
    }
    out += char(0x3B);
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}
