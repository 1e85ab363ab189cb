// Byte lists in source code, read back into bytes (see readPictureText).

#include "convert/picture_text_readers.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>
#include <QStringView>

namespace {

// A number as written, shortened when it is a long run of digits.
QString shown(const QString &written)
{
    return written.size() <= 20 ? written : written.left(16) + QStringLiteral("...");
}

QString valueMessage(const QString &written, std::size_t byteNumber)
{
    return QStringLiteral("Found %1 at byte %2; a byte is 0 to 255").arg(shown(written)).arg(qulonglong(byteNumber));
}

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

} // namespace

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
