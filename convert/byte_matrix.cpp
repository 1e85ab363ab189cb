#include "convert/byte_matrix.h"

#include "canvas/canvas.h"
#include "text/text_rules.h"

#include <algorithm>

ByteMatrix buildByteMatrix(const Canvas &canvas, ByteValues *byteValues)
{
    static_assert(ByteMatrix::Columns == Canvas::Width && ByteMatrix::Pages * 8 == Canvas::Height,
                  "one bit per canvas pixel");
    if (byteValues)
        byteValues->fill(0);

    ByteMatrix matrix;
    std::size_t scanIndex = 0;
    for (int x = 0; x < Canvas::Width; ++x) {
        for (int y = 0; y < Canvas::Height; y += 8) {
            qint16 sum = 0;
            for (int k = 0; k < 8; ++k) {
                if (canvas.pixelIsSet(x, y + k))
                    sum = static_cast<qint16>(sum + (1 << k));
            }
            if (byteValues)
                (*byteValues)[scanIndex] = sum;
            ++scanIndex;
            matrix.at(x, y / 8) = static_cast<quint8>(sum);
        }
    }
    return matrix;
}

namespace {

QChar *put(QChar *out, const QString &text)
{
    return std::copy(text.cbegin(), text.cend(), out);
}

} // namespace

QString formatByteMatrix(const ByteMatrix &matrix, qint16 horizontalBytes, const OutputFormat &format, int pages)
{
    static constexpr char16_t HexDigits[] = u"0123456789abcdef";
    pages = std::clamp(pages, 1, int(ByteMatrix::Pages));
    const qsizetype itemCount = ByteMatrix::Columns * pages;

    // The final delimiter is never written rather than removed afterwards:
    // the same text, without growing and shrinking the string.
    const qsizetype itemLength = format.Format.size() + 2 + format.Delimiter.size();
    const qsizetype length =
        format.Header.size() + itemCount * itemLength - format.Delimiter.size() + format.Footer.size();

    QString text(length, Qt::Uninitialized);
    QChar *out = put(text.data(), format.Header);
    qsizetype written = 0;
    auto item = [&](quint8 byte) {
        out = put(out, format.Format);
        *out++ = QChar(HexDigits[byte >> 4]);
        *out++ = QChar(HexDigits[byte & 0x0F]);
        if (++written < itemCount)
            out = put(out, format.Delimiter);
    };

    if (horizontalBytes == 0) {
        for (int page = 0; page < pages; ++page)
            for (int x = 0; x < ByteMatrix::Columns; ++x)
                item(matrix.at(x, page));
    } else {
        for (int x = 0; x < ByteMatrix::Columns; ++x)
            for (int page = 0; page < pages; ++page)
                item(matrix.at(x, page));
    }
    out = put(out, format.Footer);
    Q_ASSERT(out == text.constData() + length);

    // Header, Format, Delimiter and Footer are lower-cased along with the digits.
    return lowerCase(trimBlanks(text));
}
