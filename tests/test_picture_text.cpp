#include "canvas/canvas.h"
#include "convert/byte_matrix.h"
#include "convert/picture_text.h"
#include "convert/reformat.h"
#include "support/test_main.h"

#include <QtTest>

#include <functional>

namespace {

enum Picture { Random, AllClear, AllSet };

ByteMatrix matrixOf(Picture picture, int pages = ByteMatrix::Pages)
{
    ByteMatrix matrix;
    quint32 seed = 2024;
    for (int i = 0; i < ByteMatrix::Columns * pages; ++i) {
        seed = seed * 1103515245u + 12345u;
        matrix.at(i / pages, i % pages) = picture == AllSet ? 0xFF : picture == AllClear ? 0 : quint8(seed >> 16);
    }
    return matrix;
}

// The bytes as a text holds them, perLine to a line: lead, then the items
// joined by ", ".
QString listed(const ByteMatrix &matrix, qint16 horizontal, const QString &lead,
               const std::function<QString(int, quint8)> &item, int perLine = 16, int pages = ByteMatrix::Pages)
{
    QString text;
    for (int i = 0; i < ByteMatrix::Columns * pages; ++i) {
        text += i % perLine == 0 ? lead : QStringLiteral(", ");
        text += item(i, horizontal ? matrix.at(i / pages, i % pages) : matrix.at(i % 128, i / 128));
        text += i % perLine == perLine - 1 ? QStringLiteral("\n") : QString();
    }
    return text;
}

QString hex2(int, quint8 byte)
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
    void sourceListsReadOrAreRefused_data();
    void sourceListsReadOrAreRefused();
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
                QTest::addRow("%s, order %d, picture %d", name, horizontal, picture) << boxes << horizontal << picture;
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

    // On the canvas the picture converts to the same matrix; it is pure
    // black on white, so it comes through two colours unchanged.
    const QImage image = pictureFromByteMatrix(matrix);
    Canvas canvas;
    canvas.placePicture(image);
    QCOMPARE(buildByteMatrix(canvas), matrix);
    QCOMPARE(image.convertToFormat(QImage::Format_Mono).convertToFormat(QImage::Format_RGB32), image);
}

void TestPictureText::sourceListsReadOrAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint16>("horizontal");
    QTest::addColumn<ByteMatrix>("expected");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("message"); // empty: the text is read

    const ByteMatrix matrix = matrixOf(Random);
    const auto row = [&](const char *name, const QString &text) {
        QTest::newRow(name) << text << qint16(0) << matrix << 64 << QString();
    };
    const auto refused = [](const char *name, const QString &text, const QString &message) {
        QTest::newRow(name) << text << qint16(0) << ByteMatrix() << 0 << message;
    };
    const auto marked = [](const char *mark) { return [=](int, quint8 b) { return mark + hex2(0, b); }; };

    row("C array over lines with comments",
        "/* logo,\n 128 x 64 */\n#define LOGO_W 128\nconst unsigned char logo[1024] = { // page 0\n" +
            listed(matrix, 0, "    ", marked("0x")) + "};\n");
    row("C array in decimal",
        "{" + listed(matrix, 0, "", [](int, quint8 b) { return QString::number(b) + "u"; }) + "}");
    row("assembler db with labels and comments",
        "; logo\n    org 0x100\nlogo:\n" +
            listed(
                matrix, 0, "row: DB ", [](int, quint8 b) { return "0" + hex2(0, b) + "h ; a byte"; }, 1));
    row(".byte binary", listed(matrix, 0, "\t.byte ",
                               [](int, quint8 b) { return "0b" + QString::number(b, 2).rightJustified(8, '0'); }));
    row("MPASM dt", listed(matrix, 0, "\tDT ", [](int i, quint8 b) {
            return QStringList{"H'" + hex2(0, b), "B'" + QString::number(b, 2), "D'" + QString::number(b)}[i % 3] + "'";
        }));
    row("Basic &H data", listed(matrix, 0, "Data ", marked("&H")));
    row("unmarked hex with letters", listed(matrix, 0, "", hex2));
    const QString digits = formatByteMatrix(matrix, 0, OutputFormat());
    row("2048 hex digits", digits.toUpper());
    row("transmission text", reformatForOutput(digits, 32, "]", "*02000000A"));
    row("transmission text without wait text", reformatForOutput(digits, 32, "", "*0200000064"));

    // Lines of unmarked hex that begin with the bytes DB and DE: no directives.
    ByteMatrix dbAndDe = matrix;
    dbAndDe.at(0, 0) = 0xDB;
    dbAndDe.at(16, 0) = 0xDE;
    QTest::newRow("hex lines beginning DB, DE") << listed(dbAndDe, 0, "", hex2) << qint16(0) << dbAndDe << 64 << "";
    // Digits 0 to 9 only are still hex in a run of 2048.
    ByteMatrix decimalDigits;
    for (std::size_t i = 0; i < 1024; ++i)
        decimalDigits.bytes[i] = quint8((i % 10) * 16 + i / 10 % 10);
    QTest::newRow("2048 digits 0 to 9") << formatByteMatrix(decimalDigits, 1, OutputFormat()) << qint16(1)
                                        << decimalDigits << 64 << "";
    const ByteMatrix half = matrixOf(AllSet, 4);
    for (const qint16 horizontal : {qint16(0), qint16(1)})
        QTest::addRow("512 bytes, order %d", horizontal)
            << listed(half, horizontal, "", marked("$"), 16, 4) << horizontal << half << 32 << "";

    const QString needs = QStringLiteral("; a picture needs 1024, or 512 for 128 x 32");
    const QString notByte = QStringLiteral("; a byte is 0 to 255");
    const auto items = [](int count, const QString &item) { return QStringList(count, item).join(','); };
    refused("1000 in the boxes' shape", items(1000, "$00"), "Found 1000 bytes" + needs);
    refused("1025 in C", "{" + items(1025, "0") + "}", "Found 1025 bytes" + needs);
    refused("513 bare hex", items(513, "1f"), "Found 513 bytes" + needs);
    refused("one", "0x01", "Found 1 byte" + needs);
    refused("only words", "const unsigned char logo;", "Found no bytes" + needs);
    refused("300 at byte 17", items(16, "1") + ",300," + items(1007, "1"), "Found 300 at byte 17" + notByte);
    refused("$1FF", "$1FF,$00", "Found $1FF at byte 1" + notByte);
    refused("negative", "{0, -1}", "Found -1 at byte 2" + notByte);
    refused("odd hex run", "1" + QString(2046, 'a'), "Found 1aaaaaaaaaaaaaaa... at byte 1" + notByte);
    refused("unmarked hex among marked", "0x01, 1f",
            "Found \"1f\" at byte 2; that is not a number (hex is written 0x1F, $1F or 1Fh)");
}

void TestPictureText::sourceListsReadOrAreRefused()
{
    QFETCH(QString, text);
    QFETCH(qint16, horizontal);
    QFETCH(ByteMatrix, expected);
    QFETCH(int, height);
    QFETCH(QString, message);
    QString shown;
    const std::optional<TextPicture> read = readPictureText(text, OutputFormat::startUp(), horizontal, &shown);
    QCOMPARE(shown, message);
    QCOMPARE(read.has_value(), message.isEmpty());
    if (read) {
        QCOMPARE(read->matrix, expected);
        QCOMPARE(read->height, height);
    }
}

VOXCEL_TEST_MAIN(TestPictureText)
#include "test_picture_text.moc"
