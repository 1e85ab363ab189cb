#include "canvas/canvas.h"
#include "convert/byte_matrix.h"
#include "convert/reformat.h"
#include "support/test_main.h"

#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <functional>

namespace {

// A canvas whose pixel (x, y) is black when isBlack(x, y), white otherwise.
Canvas canvasWhere(const std::function<bool(int, int)> &isBlack)
{
    QImage picture(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
    for (int y = 0; y < Canvas::Height; ++y)
        for (int x = 0; x < Canvas::Width; ++x)
            picture.setPixel(x, y, isBlack(x, y) ? 0xFF000000u : 0xFFFFFFFFu);
    Canvas canvas;
    canvas.placePicture(picture);
    return canvas;
}

Canvas canvasWithPixel(int px, int py)
{
    return canvasWhere([=](int x, int y) { return x == px && y == py; });
}

QString convert(const Canvas &canvas, qint16 horizontalBytes, const OutputFormat &format = OutputFormat::startUp())
{
    return formatByteMatrix(buildByteMatrix(canvas), horizontalBytes, format);
}

QString hexDigits(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QLatin1Char("0123456789abcdef"[(i * 7 + i / 16) % 16]);
    return text;
}

// The pieces behind the prefix, split at the wait text.
QStringList piecesOf(const QString &sendText, const QString &prefix, const QString &waitChars)
{
    if (!sendText.startsWith(prefix))
        return {QStringLiteral("<prefix missing>")};
    const QString body = sendText.mid(prefix.size());
    if (body.isEmpty())
        return {};
    if (!body.startsWith(waitChars))
        return {QStringLiteral("<no wait text before the first piece>")};
    return body.mid(waitChars.size()).split(waitChars);
}

const QString StartUpPrefix = QStringLiteral("*02000000A");

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void blankCanvasGivesZeroItems();
    void singlePixelLandsInItsItem_data();
    void singlePixelLandsInItsItem();
    void everyByteValueIsTwoLowerCaseDigits();
    void onlyPureBlackSetsABit_data();
    void onlyPureBlackSetsABit();
    void outputFormatShapesTheText_data();
    void outputFormatShapesTheText();
    void halfHeightZeroesTheLowerPages();
    void byteValuesFollowTheScanOrder();

    void reformatKeepsEveryCharacter_data();
    void reformatKeepsEveryCharacter();
    void reformatPieces_data();
    void reformatPieces();
    void reformatOfAConvertedPicture();
    void reformatHasNoLengthLimit();
    void workTextTrimsBlanksAndLowerCases_data();
    void workTextTrimsBlanksAndLowerCases();
    void reformatNeedsPlainDigits_data();
    void reformatNeedsPlainDigits();
};

void TestConvert::blankCanvasGivesZeroItems()
{
    for (qint16 horizontal : {qint16(0), qint16(1)}) {
        const QString text = convert(Canvas(), horizontal);
        QCOMPARE(text.size(), 4095);
        QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
        const QStringList items = text.split(QLatin1Char(','));
        QCOMPARE(items.size(), 1024);
        QCOMPARE(items.count(QStringLiteral("$00")), 1024);
    }
}

void TestConvert::singlePixelLandsInItsItem_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<qint16>("horizontal");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("value");

    QTest::newRow("(0,0) vertical") << 0 << 0 << qint16(0) << 0 << "$01";
    QTest::newRow("(0,0) horizontal") << 0 << 0 << qint16(1) << 0 << "$01";
    QTest::newRow("(0,7) vertical") << 0 << 7 << qint16(0) << 0 << "$80";
    QTest::newRow("(0,7) horizontal") << 0 << 7 << qint16(1) << 0 << "$80";
    QTest::newRow("(0,8) vertical") << 0 << 8 << qint16(0) << 128 << "$01";
    QTest::newRow("(0,8) horizontal") << 0 << 8 << qint16(1) << 1 << "$01";
    QTest::newRow("(1,0) vertical") << 1 << 0 << qint16(0) << 1 << "$01";
    QTest::newRow("(1,0) horizontal") << 1 << 0 << qint16(1) << 8 << "$01";
    QTest::newRow("(127,63) vertical") << 127 << 63 << qint16(0) << 1023 << "$80";
    QTest::newRow("(127,63) horizontal") << 127 << 63 << qint16(1) << 1023 << "$80";
    QTest::newRow("(5,37) vertical") << 5 << 37 << qint16(0) << 4 * 128 + 5 << "$20";
    QTest::newRow("(5,37) horizontal") << 5 << 37 << qint16(1) << 5 * 8 + 4 << "$20";
    QTest::newRow("any non-zero is horizontal") << 1 << 0 << qint16(-1) << 8 << "$01";
}

void TestConvert::singlePixelLandsInItsItem()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(qint16, horizontal);
    QFETCH(int, item);
    QFETCH(QString, value);

    const QStringList items = convert(canvasWithPixel(x, y), horizontal).split(QLatin1Char(','));
    QCOMPARE(items.size(), 1024);
    QCOMPARE(items.at(item), value);
    QCOMPARE(items.count(QStringLiteral("$00")), 1023);
}

void TestConvert::everyByteValueIsTwoLowerCaseDigits()
{
    // Page 0 of column x holds x, page 1 holds x + 128: all 256 values once.
    const Canvas canvas = canvasWhere([](int x, int y) {
        if (y < 8)
            return (x >> y & 1) != 0;
        if (y < 16)
            return ((x + 128) >> (y - 8) & 1) != 0;
        return false;
    });
    const ByteMatrix matrix = buildByteMatrix(canvas);
    const QString text = formatByteMatrix(matrix, 1, OutputFormat());
    QCOMPARE(text.size(), 2048);
    for (int x = 0; x < 128; ++x) {
        QCOMPARE(matrix.at(x, 0), quint8(x));
        QCOMPARE(text.mid(x * 16, 4), QString::asprintf("%02x%02x", x, x + 128));
        QCOMPARE(text.mid(x * 16 + 4, 12), QString(12, QLatin1Char('0')));
    }
}

void TestConvert::onlyPureBlackSetsABit_data()
{
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<int>("expected");
    QTest::newRow("black") << qRgb(0, 0, 0) << 0x04;
    QTest::newRow("near-black red") << qRgb(1, 0, 0) << 0;
    QTest::newRow("near-black blue") << qRgb(0, 0, 1) << 0;
    QTest::newRow("dark grey") << qRgb(16, 16, 16) << 0;
}

void TestConvert::onlyPureBlackSetsABit()
{
    QFETCH(QRgb, colour);
    QFETCH(int, expected);

    QImage picture(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(3, 2, colour);
    Canvas canvas;
    canvas.placePicture(picture);

    ByteMatrix wanted;
    wanted.at(3, 0) = quint8(expected);
    QCOMPARE(buildByteMatrix(canvas), wanted);
}

void TestConvert::outputFormatShapesTheText_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("footer");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("length");

    QTest::newRow("no format, no delimiter") << ""
                                             << ""
                                             << ""
                                             << ""
                                             << "0100"
                                             << "0080" << 2048;
    QTest::newRow("comma and blank") << ""
                                     << ""
                                     << ", "
                                     << "$"
                                     << "$01, $00, "
                                     << "$00, $80" << 1024 * 3 + 1023 * 2;
    QTest::newRow("header and footer") << "DB "
                                       << " END"
                                       << ","
                                       << "$"
                                       << "db $01,$00"
                                       << "$00,$80 end" << 4095 + 7;
    QTest::newRow("outer blanks dropped") << "  DB "
                                          << " END   "
                                          << ","
                                          << "$"
                                          << "db $01,$00"
                                          << "$00,$80 end" << 4095 + 7;
    QTest::newRow("format and delimiter lower-cased") << ""
                                                      << ""
                                                      << "H,"
                                                      << "0X"
                                                      << "0x01h,0x00h,"
                                                      << "0x00h,0x80" << 1024 * 4 + 1023 * 2;
    QTest::newRow("blank format at the very start") << ""
                                                    << ""
                                                    << ","
                                                    << " $"
                                                    << "$01, $00,"
                                                    << ", $00, $80" << 1024 * 4 + 1023 - 1;
}

void TestConvert::outputFormatShapesTheText()
{
    QFETCH(QString, header);
    QFETCH(QString, footer);
    QFETCH(QString, delimiter);
    QFETCH(QString, format);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(int, length);

    const Canvas canvas = canvasWhere([](int x, int y) { return (x == 0 && y == 0) || (x == 127 && y == 63); });
    const QString text = convert(canvas, 0, OutputFormat{header, footer, delimiter, format});
    QVERIFY2(text.startsWith(start), qPrintable(text.left(20)));
    QVERIFY2(text.endsWith(end), qPrintable(text.right(20)));
    QCOMPARE(text.size(), length);
    QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
}

void TestConvert::halfHeightZeroesTheLowerPages()
{
    Canvas canvas = canvasWhere([](int x, int y) { return (x + y) % 3 == 0; });
    const ByteMatrix full = buildByteMatrix(canvas);
    canvas.setHalfHeight(true);
    const ByteMatrix half = buildByteMatrix(canvas);

    for (int x = 0; x < 128; ++x) {
        for (int page = 0; page < 8; ++page) {
            QVERIFY(full.at(x, page) != 0);
            QCOMPARE(half.at(x, page), page < 4 ? full.at(x, page) : quint8(0));
        }
    }
    const QStringList items = formatByteMatrix(half, 0, OutputFormat::startUp()).split(QLatin1Char(','));
    QCOMPARE(items.size(), 1024);
    QCOMPARE(items.mid(512).count(QStringLiteral("$00")), 512);
}

void TestConvert::byteValuesFollowTheScanOrder()
{
    const Canvas canvas = canvasWhere([](int x, int y) { return (x * 5 + y * 3) % 7 == 0 || (x == 2 && y == 15); });
    ByteValues values;
    values.fill(99); // what an earlier conversion left behind
    const ByteMatrix matrix = buildByteMatrix(canvas, &values);

    QCOMPARE(values[2 * 8 + 1] & 0x80, 0x80); // bit 7 of column 2, page 1: a sum of 128 or more, not negative
    for (int x = 0; x < 128; ++x)
        for (int page = 0; page < 8; ++page)
            QCOMPARE(values[std::size_t(x * 8 + page)], qint16(matrix.at(x, page)));
    for (std::size_t i = 1024; i < values.size(); ++i)
        QCOMPARE(values[i], qint16(0));
}

void TestConvert::reformatKeepsEveryCharacter_data()
{
    QTest::addColumn<int>("N");
    for (int n : {2, 4, 8, 16, 32, 64, 128})
        QTest::addRow("N=%d", n) << n;
}

void TestConvert::reformatKeepsEveryCharacter()
{
    QFETCH(int, N);
    const QString text = hexDigits(2048);
    const QString sendText = reformatForOutput(text, N, QStringLiteral("]"), StartUpPrefix);

    QCOMPARE(sendText.count(QLatin1Char(']')), 2048 / N);
    QCOMPARE(sendText.size(), StartUpPrefix.size() + 2048 + 2048 / N);
    const QStringList pieces = piecesOf(sendText, StartUpPrefix, QStringLiteral("]"));
    QCOMPARE(pieces.size(), 2048 / N);
    for (const QString &piece : pieces)
        QCOMPARE(piece.size(), N);
    QCOMPARE(pieces.join(QString()), text);
}

void TestConvert::reformatPieces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("N");
    QTest::addColumn<QString>("waitChars");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");

    QTest::newRow("last piece shorter") << "abcde" << 2 << "]"
                                        << "*P"
                                        << "*P]ab]cd]e";
    QTest::newRow("one character") << "a" << 32 << "]"
                                   << "*P"
                                   << "*P]a";
    QTest::newRow("empty text") << "" << 32 << "]"
                                << "*P"
                                << "*P";
    QTest::newRow("nothing at all") << "" << 32 << "]"
                                    << ""
                                    << "";
    QTest::newRow("empty wait text") << "abcdef" << 2 << ""
                                     << "*P"
                                     << "*Pabcdef";
    QTest::newRow("several wait characters") << "abcdef" << 4 << "<w>"
                                             << ""
                                             << "<w>abcd<w>ef";
    QTest::newRow("pieces of one") << "abc" << 1 << "]"
                                   << "*P"
                                   << "*P]a]b]c";
    QTest::newRow("text taken as it is") << "AB c " << 2 << "]"
                                         << "*0A"
                                         << "*0A]AB] c] ";
}

void TestConvert::reformatPieces()
{
    QFETCH(QString, text);
    QFETCH(int, N);
    QFETCH(QString, waitChars);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QCOMPARE(reformatForOutput(text, N, waitChars, prefix), expected);
}

void TestConvert::reformatOfAConvertedPicture()
{
    const Canvas canvas = canvasWhere([](int x, int y) { return (x + y) % 2 == 0; });
    const QString workText = workTextFrom(convert(canvas, 0, OutputFormat()));
    QCOMPARE(workText.size(), 2048);
    const QString sendText = reformatForOutput(workText, 32, QStringLiteral("]"), StartUpPrefix);

    QString body;
    for (int piece = 0; piece < 64; ++piece)
        body += QLatin1Char(']') + workText.mid(piece * 32, 32);
    QCOMPARE(sendText.size(), 2122);
    QCOMPARE(sendText, StartUpPrefix + body);

    // One digit more than a whole number of pieces: the last one starts a piece.
    const QString longer = workText + QLatin1Char('7');
    const QString sent = reformatForOutput(longer, 32, QStringLiteral("]"), StartUpPrefix);
    QCOMPARE(sent, StartUpPrefix + body + QStringLiteral("]7"));
}

void TestConvert::reformatHasNoLengthLimit()
{
    const QString text = hexDigits(40000);
    const QString sendText = reformatForOutput(text, 128, QStringLiteral("]"), StartUpPrefix);
    const QStringList pieces = piecesOf(sendText, StartUpPrefix, QStringLiteral("]"));
    QCOMPARE(pieces.size(), 313);
    QCOMPARE(pieces.last().size(), 40000 - 312 * 128);
    QCOMPARE(pieces.join(QString()), text);
}

void TestConvert::workTextTrimsBlanksAndLowerCases_data()
{
    QTest::addColumn<QString>("outputText");
    QTest::addColumn<QString>("workText");
    QTest::newRow("blanks at both ends") << "  DB $0A, END  "
                                         << "db $0a, end";
    QTest::newRow("tabs and line breaks stay") << "\tAB\r\n "
                                               << "\tab\r\n";
    QTest::newRow("blanks only") << "   "
                                 << "";
}

void TestConvert::workTextTrimsBlanksAndLowerCases()
{
    QFETCH(QString, outputText);
    QFETCH(QString, workText);
    QCOMPARE(workTextFrom(outputText), workText);
}

void TestConvert::reformatNeedsPlainDigits_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("both empty") << ""
                                << "" << true;
    QTest::newRow("start-up values") << "$"
                                     << "," << false;
    QTest::newRow("format only") << "$"
                                 << "" << false;
    QTest::newRow("delimiter only") << ""
                                    << "," << false;
    QTest::newRow("a blank is not empty") << " "
                                          << "" << false;
}

void TestConvert::reformatNeedsPlainDigits()
{
    QFETCH(QString, format);
    QFETCH(QString, delimiter);
    QFETCH(bool, allowed);
    QCOMPARE(formatAllowsReformat(format, delimiter), allowed);
}

VOXCEL_TEST_GUILESS_MAIN(TestConvert)
#include "test_convert.moc"
