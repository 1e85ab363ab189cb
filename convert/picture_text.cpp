#include "convert/picture_text.h"

#include "text/text_rules.h"

#include <QRegularExpression>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace {

using Bytes = std::vector<quint8>;

constexpr std::size_t FullCount = ByteMatrix::Columns * ByteMatrix::Pages;
constexpr std::size_t HalfCount = FullCount / 2;

bool isPictureCount(std::size_t count)
{
    return count == FullCount || count == HalfCount;
}

QString countMessage(std::size_t count)
{
    const QString found = count == 0   ? QStringLiteral("Found no bytes")
                          : count == 1 ? QStringLiteral("Found 1 byte")
                                       : QStringLiteral("Found %1 bytes").arg(qulonglong(count));
    return found + QStringLiteral("; a picture needs 1024, or 512 for 128 x 32");
}

// A number as written, shortened when it is a long run of digits.
QString shown(const QString &written)
{
    return written.size() <= 20 ? written : written.left(16) + QStringLiteral("...");
}

QString valueMessage(const QString &written, std::size_t byteNumber)
{
    return QStringLiteral("Found %1 at byte %2; a byte is 0 to 255").arg(shown(written)).arg(qulonglong(byteNumber));
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// ---- The text as Convert writes it --------------------------------------

// Each Output Format box as the words it holds: blanks between and around
// them may be any, since Convert trims the text and people re-space it.
struct Shape
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
qsizetype itemAt(QStringView line, qsizetype pos, const Shape &shape, Bytes &bytes)
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
bool endsAt(QStringView line, qsizetype pos, const Shape &shape, bool withFooter)
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
bool readShapedLine(QStringView line, const Shape &shape, Bytes &bytes)
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

// The whole text as Convert writes it, as one line (line breaks count as
// blanks); failing that, line by line, as when it was cut into lines.
std::optional<Bytes> readConvertShape(const QString &text, const OutputFormat &format)
{
    const Shape shape{wordsOf(format.Header), wordsOf(format.Footer), wordsOf(format.Delimiter),
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

// ---- Byte lists in source code ------------------------------------------

// Comments become a blank; a comment's line breaks stay, so lines stay
// lines. A comment left open runs to the end, as a compiler sees it.
QString withoutComments(const QString &text)
{
    QString code;
    code.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QStringView rest = QStringView(text).mid(i);
        qsizetype end = -1;
        if (rest.startsWith(u"/*")) {
            end = text.indexOf(QStringLiteral("*/"), i + 2);
            end = end < 0 ? text.size() : end + 2;
        } else if (rest.startsWith(u"//") || rest.startsWith(u';')) {
            end = text.indexOf(QLatin1Char('\n'), i);
            end = end < 0 ? text.size() : end;
        }
        if (end < 0) {
            code += text[i++];
            continue;
        }
        code += QLatin1Char(' ');
        code += QString(QStringView(text).mid(i, end - i).count(QLatin1Char('\n')), QLatin1Char('\n'));
        i = end;
    }
    return code;
}

// A transmission text starts with its parameter prefix: "*", the target,
// two digits of buffer size, four of address, "0" and the delay in one or
// two digits. The wait text ends it; without one, the digits that are left
// must be a picture's.
QString withoutParamPrefix(const QString &code)
{
    static const QRegularExpression prefix(QStringLiteral(R"(^\s*\*[01][0-9a-f]{6}0)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = prefix.match(code);
    if (!match.hasMatch())
        return code;
    const QStringView rest = QStringView(code).mid(match.capturedEnd());
    qsizetype run = 0;
    while (run < rest.size() && hexValue(rest[run]) >= 0)
        ++run;
    for (const qsizetype delayDigits : {run, run - qsizetype(2 * FullCount), run - qsizetype(2 * HalfCount)}) {
        if (delayDigits == 1 || delayDigits == 2)
            return rest.mid(delayDigits).toString();
    }
    return code;
}

// C: the initialiser between braces; the array size and the like outside
// them are no data.
QString insideBraces(const QString &code)
{
    QString inside;
    int depth = 0;
    for (const QChar c : code) {
        if (c == QLatin1Char('{') || c == QLatin1Char('}')) {
            depth += c == QLatin1Char('{') ? 1 : (depth > 0 ? -1 : 0);
            inside += QLatin1Char(' ');
        } else if (depth > 0) {
            inside += c;
        }
    }
    return inside;
}

// Assembler: what follows the data directives, when most of the text stands
// on lines that begin with one; otherwise everything but preprocessor
// lines. Lines of unmarked hex may begin with DB or DE by chance.
QString dataLines(const QString &code)
{
    static const QRegularExpression directive(
        QStringLiteral(
            R"(^\s*(?:[a-z_.$][\w.$]*:\s*|[a-z_.$][\w.$]*\s+)??\.?(?:db|dt|de|data|retlw|byte|defb|fcb|dc\.b)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = code.split(QLatin1Char('\n'));
    QString data;
    qsizetype dataLength = 0;
    qsizetype allLength = 0;
    for (const QString &line : lines) {
        const qsizetype length = line.trimmed().size();
        allLength += length;
        const QRegularExpressionMatch match = directive.match(line);
        if (match.hasMatch()) {
            dataLength += length;
            data += QStringView(line).mid(match.capturedEnd());
            data += QLatin1Char('\n');
        }
    }
    if (dataLength * 2 > allLength)
        return data;
    data.clear();
    for (const QString &line : lines) {
        if (!line.trimmed().startsWith(QLatin1Char('#')))
            data += line + QLatin1Char('\n');
    }
    return data;
}

struct Token
{
    enum Kind { Word, Marked, Decimal, HexDigits, Unreadable };
    QString written;
    Kind kind = Word;
    QString digits; // without mark or sign
    int base = 10;
    bool negative = false;
};

Token readToken(const QString &written)
{
    struct Form
    {
        QRegularExpression pattern;
        Token::Kind kind;
        int base;
    };
    const auto form = [](const char *pattern, Token::Kind kind, int base) {
        return Form{QRegularExpression(QRegularExpression::anchoredPattern(QString::fromLatin1(pattern)),
                                       QRegularExpression::CaseInsensitiveOption),
                    kind, base};
    };
    // Tried in this order: 0b01 is binary before it is hex digits, 12 is
    // decimal before it is hex digits.
    static const Form forms[] = {
        form(R"(0x([0-9a-f]+)[ul]*)", Token::Marked, 16), form(R"(\$([0-9a-f]+))", Token::Marked, 16),
        form(R"(&h([0-9a-f]+))", Token::Marked, 16),      form(R"(([0-9][0-9a-f]*)h)", Token::Marked, 16),
        form(R"(h'([0-9a-f]+)')", Token::Marked, 16),     form(R"(0b([01]+)[ul]*)", Token::Marked, 2),
        form(R"(b'([01]+)')", Token::Marked, 2),          form(R"(d'([0-9]+)')", Token::Marked, 10),
        form(R"(([0-9]+)[ul]*)", Token::Decimal, 10),     form(R"(([0-9a-f]+))", Token::HexDigits, 16),
    };
    Token token;
    token.written = written;
    token.negative = written.startsWith(QLatin1Char('-'));
    const QString body = token.negative ? written.mid(1) : written;
    for (const Form &f : forms) {
        const QRegularExpressionMatch match = f.pattern.match(body);
        if (match.hasMatch()) {
            token.kind = f.kind;
            token.digits = match.captured(1);
            token.base = f.base;
            return token;
        }
    }
    const QChar first = body.isEmpty() ? QChar() : body.front();
    token.kind = first.isLetter() || first == QLatin1Char('_') ? Token::Word : Token::Unreadable;
    return token;
}

QList<Token> tokensOf(const QString &code)
{
    static const QRegularExpression tokenPattern(QStringLiteral(R"(-?(?:&h\w*|\$\w*|[bdh]'[^'\n]*'|\w+))"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QList<Token> tokens;
    for (QRegularExpressionMatchIterator it = tokenPattern.globalMatch(code); it.hasNext();)
        tokens.append(readToken(it.next().captured()));
    return tokens;
}

// Nothing but hex digits in runs of even length, as many as a picture has:
// two digits a byte, whatever the digits are.
bool isHexRun(const QList<Token> &tokens)
{
    qsizetype digits = 0;
    for (const Token &token : tokens) {
        const bool hex = (token.kind == Token::Decimal || token.kind == Token::HexDigits) && !token.negative &&
                         token.digits == token.written && token.digits.size() % 2 == 0;
        if (!hex)
            return false;
        digits += token.digits.size();
    }
    return isPictureCount(static_cast<std::size_t>(digits / 2));
}

std::optional<Bytes> readSourceList(const QString &text, QString *message)
{
    QString code = withoutParamPrefix(withoutComments(text));
    code = code.contains(QLatin1Char('{')) ? insideBraces(code) : dataLines(code);
    const QList<Token> tokens = tokensOf(code);

    const bool hexRun = isHexRun(tokens);
    bool anyMarked = false;
    bool hexLetters = false;
    for (const Token &token : tokens) {
        anyMarked = anyMarked || token.kind == Token::Marked;
        hexLetters = hexLetters || (token.kind == Token::HexDigits && token.digits.front().isDigit());
    }
    const bool hexMode = hexRun || (!anyMarked && hexLetters);

    Bytes bytes;
    const auto refuse = [&](const QString &why) {
        *message = why;
        return std::nullopt;
    };
    for (const Token &token : tokens) {
        const bool bare = token.kind == Token::Decimal || token.kind == Token::HexDigits;
        if (token.kind == Token::Word ||
            (token.kind == Token::HexDigits && !hexMode && !token.digits.front().isDigit()))
            continue; // a name or directive such as "db", also when it looks like hex
        if (token.kind == Token::Unreadable || (token.kind == Token::HexDigits && !hexMode)) {
            return refuse(QStringLiteral("Found \"%1\" at byte %2; that is not a number (hex is written 0x1F, $1F or "
                                         "1Fh)")
                              .arg(shown(token.written))
                              .arg(qulonglong(bytes.size() + 1)));
        }
        // Hex runs of even length hold one byte per two digits.
        if (hexMode && bare && !token.negative && token.digits.size() % 2 == 0) {
            for (qsizetype i = 0; i < token.digits.size(); i += 2)
                bytes.push_back(static_cast<quint8>(token.digits.mid(i, 2).toUInt(nullptr, 16)));
            continue;
        }
        bool ok = false;
        const qulonglong value = token.digits.toULongLong(&ok, bare && hexMode ? 16 : token.base);
        if (!ok || value > 255 || token.negative)
            return refuse(valueMessage(token.written, bytes.size() + 1));
        bytes.push_back(static_cast<quint8>(value));
    }
    return bytes;
}

TextPicture pictureOf(const Bytes &bytes, qint16 horizontalBytes)
{
    TextPicture picture;
    const int pages = static_cast<int>(bytes.size()) / ByteMatrix::Columns;
    picture.height = pages * 8;
    for (int i = 0; i < static_cast<int>(bytes.size()); ++i) {
        const int x = horizontalBytes == 0 ? i % ByteMatrix::Columns : i / pages;
        const int page = horizontalBytes == 0 ? i / ByteMatrix::Columns : i % pages;
        picture.matrix.at(x, page) = bytes[static_cast<std::size_t>(i)];
    }
    return picture;
}

} // namespace

std::optional<TextPicture> readPictureText(const QString &text, const OutputFormat &format, qint16 horizontalBytes,
                                           QString *message)
{
    const std::optional<Bytes> shaped = readConvertShape(text, format);
    if (shaped && isPictureCount(shaped->size()))
        return pictureOf(*shaped, horizontalBytes);
    // Text of another shape, or with a word such as "db" the shape took for
    // a byte, may still read as a list in source code.
    QString listMessage;
    const std::optional<Bytes> listed = readSourceList(text, &listMessage);
    if (listed && isPictureCount(listed->size()))
        return pictureOf(*listed, horizontalBytes);

    if (message) {
        // The boxes' own shape tells best what was wrong, when the text had it.
        *message = shaped ? countMessage(shaped->size()) : listed ? countMessage(listed->size()) : listMessage;
    }
    return std::nullopt;
}

QImage pictureFromByteMatrix(const ByteMatrix &matrix)
{
    constexpr QRgb Black = 0xFF000000u;
    constexpr QRgb White = 0xFFFFFFFFu;
    QImage picture(ByteMatrix::Columns, ByteMatrix::Pages * 8, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < ByteMatrix::Columns; ++x)
            line[x] = (matrix.at(x, y / 8) >> (y % 8) & 1) != 0 ? Black : White;
    }
    return picture;
}
