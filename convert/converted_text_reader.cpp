// The text as Convert writes it, read back into bytes (see readPictureText).

#include "convert/picture_text_readers.h"

#include "text/text_rules.h"

#include <QRegularExpression>
#include <QStringList>
#include <QStringView>

namespace {

// Each Output Format box as the words it holds: blanks between and around
// them may be any, since Convert trims the text and people re-space it.
struct TextShape
{
    QStringList header, footer, delimiter, format;
};

// Lower-cased as Convert does it, which may change a letter's length.
QStringList wordsOf(const QString &box)
{
    return lowerCase(box).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

qsizetype skipSpace(QStringView line, qsizetype pos)
{
    while (pos < line.size() && line[pos].isSpace())
        ++pos;
    return pos;
}

// Where the piece ends when it stands at pos, or -1.
qsizetype after(QStringView line, qsizetype pos, const QStringList &piece)
{
    for (const QString &word : piece) {
        pos = skipSpace(line, pos);
        if (!line.mid(pos).startsWith(word, Qt::CaseInsensitive))
            return -1;
        pos += word.size();
    }
    return pos;
}

// One byte: the Format, then two hex digits. Returns where it ends, or -1.
qsizetype itemAt(QStringView line, qsizetype pos, const TextShape &shape, Bytes &bytes)
{
    pos = after(line, pos, shape.format);
    if (pos < 0)
        return -1;
    pos = skipSpace(line, pos);
    if (pos + 2 > line.size() || hexValue(line[pos]) < 0 || hexValue(line[pos + 1]) < 0)
        return -1;
    bytes.push_back(static_cast<quint8>(hexValue(line[pos]) * 16 + hexValue(line[pos + 1])));
    return pos + 2;
}

// The line may end here: after an optional Delimiter, with or without the
// Footer.
bool endsAt(QStringView line, qsizetype pos, const TextShape &shape, bool withFooter)
{
    for (const qsizetype beforeFooter : {pos, after(line, pos, shape.delimiter)}) {
        const qsizetype end = beforeFooter < 0 || !withFooter ? beforeFooter : after(line, beforeFooter, shape.footer);
        if (end >= 0 && skipSpace(line, end) == line.size())
            return true;
    }
    return false;
}

// A line may lack the Header (a line further down), and the Header is tried
// first, so a header such as "db " is never taken for a byte. The items are
// read as far as they go; when the line cannot end there, the last ones
// are given back, since a Footer may look like a Delimiter and an item. A
// line that can end with the Footer does: Convert always writes it.
bool readShapedLine(QStringView line, const TextShape &shape, Bytes &bytes)
{
    for (const bool withHeader : {true, false}) {
        if (!withHeader && shape.header.isEmpty())
            break;
        const qsizetype start = withHeader ? after(line, 0, shape.header) : 0;
        if (start < 0)
            continue;
        Bytes lineBytes;
        std::vector<qsizetype> itemEnds{start}; // where the line stands after 0, 1, 2 ... items
        for (qsizetype end = itemAt(line, start, shape, lineBytes); end >= 0;) {
            itemEnds.push_back(end);
            const qsizetype next = after(line, end, shape.delimiter);
            end = next < 0 ? -1 : itemAt(line, next, shape, lineBytes);
        }
        for (const bool withFooter : {true, false}) {
            for (std::size_t items = itemEnds.size(); items-- > 0;) {
                if (endsAt(line, itemEnds[items], shape, withFooter)) {
                    bytes.insert(bytes.end(), lineBytes.begin(), lineBytes.begin() + std::ptrdiff_t(items));
                    return true;
                }
            }
        }
    }
    return false;
}

} // namespace

// The whole text as Convert writes it, as one line (line breaks count as
// blanks); failing that, line by line, as when it was cut into lines.
std::optional<Bytes> readConvertShape(const QString &text, const OutputFormat &format)
{
    const TextShape shape{wordsOf(format.Header), wordsOf(format.Footer), wordsOf(format.Delimiter),
                          wordsOf(format.Format)};
    Bytes bytes;
    if (readShapedLine(text, shape, bytes))
        return bytes;
    static const QRegularExpression lineBreak(QStringLiteral("[\r\n]"));
    for (const QString &line : text.split(lineBreak)) {
        if (!readShapedLine(line, shape, bytes))
            return std::nullopt;
    }
    return bytes;
}
