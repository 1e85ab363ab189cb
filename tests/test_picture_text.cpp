#include "canvas/canvas.h"
#include "convert/byte_matrix.h"
#include "convert/picture_text.h"

#include <QtTest>

#include <functional>

namespace {

enum Picture { Random, AllClear, AllSet };

ByteMatrix matrixOf(Picture picture, int pages = ByteMatrix::Pages)
{
    ByteMatrix matrix;
    quint32 seed = 2024;
    for (int x = 0; x < ByteMatrix::Columns; ++x) {
        for (int page = 0; page < pages; ++page) {
            seed = seed * 1103515245u + 12345u;
            matrix.at(x, page) = picture == AllSet ? 0xFF : picture == AllClear ? 0 : quint8(seed >> 16);
        }
    }
    return matrix;
}

// The bytes in the order a text holds them.
QList<quint8> inTextOrder(const ByteMatrix &matrix, qint16 horizontal, int pages = ByteMatrix::Pages)
{
    QList<quint8> bytes;
    for (int i = 0; i < ByteMatrix::Columns * pages; ++i)
        bytes.append(horizontal ? matrix.at(i / pages, i % pages) : matrix.at(i % 128, i / 128));
    return bytes;
}

// Source-code lines of perLine bytes each, every line "lead item, item, ...".
QString sourceLines(const QList<quint8> &bytes, const QString &lead, const std::function<QString(int, quint8)> &item,
                    int perLine = 16)
{
    QString text;
    for (int i = 0; i < bytes.size(); ++i) {
        text += i % perLine == 0 ? lead : QStringLiteral(", ");
        text += item(i, bytes[i]);
        if (i % perLine == perLine - 1)
            text += QLatin1Char('\n');
    }
    return text;
}

QString hex2(quint8 byte)
{
    return QString::asprintf("%02X", byte);
}

} // namespace

Q_DECLARE_METATYPE(ByteMatrix)

class TestPictureText : public QObject
{
    Q_OBJECT
private slots:
    void convertedTextReadsBack_data();
    void convertedTextReadsBack();
    void sourceListsRead_data();
    void sourceListsRead();
    void halfPictureIs128x32_data();
    void halfPictureIs128x32();
    void wrongTextIsRefused_data();
    void wrongTextIsRefused();
};

void TestPictureText::convertedTextReadsBack_data()
{
    QTest::addColumn<QStringList>("boxes"); // Header, Footer, Delimiter, Format
    QTest::addColumn<qint16>("horizontal");
    QTest::addColumn<int>("picture");

    const QList<QPair<const char *, QStringList>> formats{
        {"start-up", {"", "", ",", "$"}},
        {"db 0x, END typed with blanks", {"  DB ", " END  ", ", ", "0X"}},
        {"bare digits", {"", "", "", ""}},
        {"db before bare digits", {"db ", "", "", ""}},
        {"hex-like header before bare digits", {"Dead ", "", "", ""}},
        {"&H", {"", "", ",", "&H"}},
        {"0..h assembler", {"", "h", "h, ", "0"}},
        {"footer that reads as delimiter and byte", {"", " ENDA,", " EN", ""}},
        {"hex-like footer after bare digits", {"db ", "DB", "", ""}},
        {"header over two lines", {"(\nAB ", "", "", ""}},
    };
    for (const auto &[name, boxes] : formats)
        for (const qint16 horizontal : {qint16(0), qint16(1)})
            for (const int picture : {Random, AllClear, AllSet})
                QTest::addRow("%s, %s, picture %d", name, horizontal ? "horizontal" : "vertical", picture)
                    << boxes << horizontal << picture;
}

void TestPictureText::convertedTextReadsBack()
{
    QFETCH(QStringList, boxes);
    QFETCH(qint16, horizontal);
    QFETCH(int, picture);
    const OutputFormat format{boxes[0], boxes[1], boxes[2], boxes[3]};
    const ByteMatrix matrix = matrixOf(Picture(picture));
    const QString text = formatByteMatrix(matrix, horizontal, format);

    // As shown, and as Save writes it.
    for (const QString &shown : {text, text + QStringLiteral("\r\n")}) {
        QString message;
        const std::optional<TextPicture> read = readPictureText(shown, format, horizontal, &message);
        QVERIFY2(read, qPrintable(message));
        QCOMPARE(read->height, 64);
        QCOMPARE(read->matrix, matrix);
    }

    // The picture put on the canvas converts to the same matrix, pure black on white.
    const QImage image = pictureFromByteMatrix(matrix);
    QCOMPARE(image.size(), QSize(128, 64));
    Canvas canvas;
    canvas.placePicture(image);
    QCOMPARE(buildByteMatrix(canvas), matrix);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            QVERIFY(canvas.colourAt(x, y) == Canvas::Black || canvas.colourAt(x, y) == Canvas::White);
}

void TestPictureText::sourceListsRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint16>("horizontal");
    QTest::addColumn<ByteMatrix>("expected");

    const ByteMatrix matrix = matrixOf(Random);
    const QList<quint8> bytes = inTextOrder(matrix, 0);
    const auto row = [&](const char *name, const QString &text) { QTest::newRow(name) << text << qint16(0) << matrix; };

    row("C array over lines with comments",
        QStringLiteral("/* logo,\n 128 x 64 */\n#define LOGO_W 128\nconst unsigned char logo[1024] = { // page 0\n") +
            sourceLines(bytes, QStringLiteral("    "), [](int, quint8 b) { return QStringLiteral("0x") + hex2(b); }) +
            QStringLiteral("};\n"));
    row("C array in decimal",
        QStringLiteral("static const uint8_t logo[] = {") +
            sourceLines(
                bytes, QStringLiteral(""), [](int, quint8 b) { return QString::number(b) + "u"; }, 1024) +
            QStringLiteral("};"));
    row("assembler db with labels and comments",
        QStringLiteral("; logo for the LCD\n    org 0x100\nlogo:\n") +
            sourceLines(
                bytes, QStringLiteral("logo_row: DB "),
                [](int, quint8 b) { return QStringLiteral("0") + hex2(b) + QStringLiteral("h ; a byte"); }, 1));
    row(".byte binary", sourceLines(bytes, QStringLiteral("\t.byte "), [](int, quint8 b) {
            return QStringLiteral("0b") + QString::number(b, 2).rightJustified(8, QLatin1Char('0'));
        }));
    row("MPASM dt", sourceLines(bytes, QStringLiteral("\tDT "), [](int i, quint8 b) {
            const QString forms[] = {QStringLiteral("H'%1'").arg(hex2(b)),
                                     QStringLiteral("B'%1'").arg(QString::number(b, 2)),
                                     QStringLiteral("D'%1'").arg(b)};
            return forms[i % 3];
        }));
    row("Basic &H data", sourceLines(bytes, QStringLiteral("Data "), [](int, quint8 b) { return "&H" + hex2(b); }));
    row("dollar list", sourceLines(bytes, QStringLiteral(""), [](int, quint8 b) { return "$" + hex2(b); }));
    row("unmarked hex with letters", sourceLines(bytes, QStringLiteral(""), [](int, quint8 b) { return hex2(b); }));

    QString digits;
    for (const quint8 b : bytes)
        digits += hex2(b);
    row("2048 hex digits", digits);
    QString lines;
    for (int i = 0; i < digits.size(); i += 32)
        lines += digits.mid(i, 32) + QLatin1Char('\n');
    row("hex digits in lines", lines);
    QString transmission = QStringLiteral("*02000000A");
    for (int i = 0; i < digits.size(); i += 32)
        transmission += QLatin1Char(']') + digits.mid(i, 32).toLower();
    row("transmission text", transmission);
    row("transmission text without wait text", "*0200000064" + digits.toLower());

    const QList<quint8> columns = inTextOrder(matrix, 1);
    QTest::newRow("horizontal C array") << QStringLiteral("{") +
                                               sourceLines(columns, "", [](int, quint8 b) { return "0x" + hex2(b); }) +
                                               "}"
                                        << qint16(1) << matrix;

    // Lines of unmarked hex that begin with the bytes DB and DE: no directives.
    ByteMatrix dbAndDe = matrix;
    dbAndDe.at(0, 0) = 0xDB;
    dbAndDe.at(16, 0) = 0xDE;
    QTest::newRow("unmarked hex lines beginning DB, DE")
        << sourceLines(inTextOrder(dbAndDe, 0), "", [](int, quint8 b) { return hex2(b); }) << qint16(0) << dbAndDe;

    // Hex digits without a letter among them are still hex in a run of 2048.
    ByteMatrix decimalDigits;
    QString run;
    for (int i = 0; i < 1024; ++i)
        decimalDigits.bytes[std::size_t(i)] = quint8((i % 10) * 16 + i / 10 % 10);
    for (const quint8 b : inTextOrder(decimalDigits, 0))
        run += hex2(b);
    QTest::newRow("2048 digits 0 to 9") << run << qint16(0) << decimalDigits;
}

void TestPictureText::sourceListsRead()
{
    QFETCH(QString, text);
    QFETCH(qint16, horizontal);
    QFETCH(ByteMatrix, expected);
    QString message;
    const std::optional<TextPicture> read = readPictureText(text, OutputFormat::startUp(), horizontal, &message);
    QVERIFY2(read, qPrintable(message));
    QCOMPARE(read->matrix, expected);
}

void TestPictureText::halfPictureIs128x32_data()
{
    QTest::addColumn<qint16>("horizontal");
    QTest::newRow("vertical") << qint16(0);
    QTest::newRow("horizontal") << qint16(1);
}

void TestPictureText::halfPictureIs128x32()
{
    QFETCH(qint16, horizontal);
    const ByteMatrix matrix = matrixOf(AllSet, 4);
    const QString text =
        sourceLines(inTextOrder(matrix, horizontal, 4), "", [](int, quint8 b) { return "$" + hex2(b); });

    const std::optional<TextPicture> read = readPictureText(text, OutputFormat::startUp(), horizontal);
    QVERIFY(read);
    QCOMPARE(read->height, 32);
    QCOMPARE(read->matrix, matrix);
    const QImage image = pictureFromByteMatrix(read->matrix);
    QCOMPARE(image.pixel(127, 31), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(0, 32), qRgb(255, 255, 255));
}

void TestPictureText::wrongTextIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString needs = QStringLiteral("; a picture needs 1024, or 512 for 128 x 32");
    const auto items = [](int count, const QString &item) { return QStringList(count, item).join(','); };
    QTest::newRow("1000 in the boxes' shape") << items(1000, "$00") << "Found 1000 bytes" + needs;
    QTest::newRow("1025 in C") << "{" + items(1025, "0") + "}"
                               << "Found 1025 bytes" + needs;
    QTest::newRow("513 bare hex") << items(513, "1f") << "Found 513 bytes" + needs;
    QTest::newRow("one") << "0x01"
                         << "Found 1 byte" + needs;
    QTest::newRow("empty") << ""
                           << "Found no bytes" + needs;
    QTest::newRow("only words") << "const unsigned char logo;"
                                << "Found no bytes" + needs;
    QTest::newRow("300 at byte 17") << items(16, "1") + ",300," + items(1007, "1")
                                    << "Found 300 at byte 17; a byte is 0 to 255";
    QTest::newRow("$1FF") << "$1FF,$00"
                          << "Found $1FF at byte 1; a byte is 0 to 255";
    QTest::newRow("negative") << "{0, -1}"
                              << "Found -1 at byte 2; a byte is 0 to 255";
    QTest::newRow("odd hex run") << "1" + QString(2046, 'a')
                                 << "Found 1aaaaaaaaaaaaaaa... at byte 1; a byte is 0 to 255";
    QTest::newRow("unmarked hex among marked")
        << "0x01, 1f"
        << "Found \"1f\" at byte 2; that is not a number (hex is written 0x1F, $1F or 1Fh)";
}

void TestPictureText::wrongTextIsRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QString shown;
    QVERIFY(!readPictureText(text, OutputFormat::startUp(), 0, &shown));
    QCOMPARE(shown, message);
}

QTEST_MAIN(TestPictureText)
#include "test_picture_text.moc"
