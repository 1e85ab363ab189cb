#include "serial/field_reader.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestFieldReader : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void resultDoesNotDependOnPieces_data() { fields_data(); }
    void resultDoesNotDependOnPieces();
    void bytesAreLatin1Characters();
    void readsFileToTheEnd();
    void emptyFileGivesNothing();
    void missingFileGivesDescription();
    void readFailureKeepsFieldsBefore();
};

void TestFieldReader::fields_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two lines, LF") << QByteArray("12,34\n56\n") << QStringLiteral("123456");
    QTest::newRow("two lines, CR LF") << QByteArray("12,34\r\n56\r\n") << QStringLiteral("123456");
    QTest::newRow("lone CR ends a line") << QByteArray("12,34\r56") << QStringLiteral("123456");
    QTest::newRow("last line without a line end") << QByteArray("12,34\n56") << QStringLiteral("123456");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("only delimiters") << QByteArray(",,\r\n\n,\r") << QString();
    QTest::newRow("blanks before fields skipped")
        << QByteArray("  12,\t34, \t 56\n   78") << QStringLiteral("12345678");
    QTest::newRow("blanks inside and after a field kept") << QByteArray("1 2 ,3") << QStringLiteral("1 2 3");
    QTest::newRow("quoted field keeps commas") << QByteArray("\"a,b\",c") << QStringLiteral("a,bc");
    QTest::newRow("quoted field keeps line ends") << QByteArray("\"a\r\nb\"\nc") << QStringLiteral("a\r\nbc");
    QTest::newRow("blanks before a quote skipped, inside kept") << QByteArray("  \" x \",y") << QStringLiteral(" x y");
    QTest::newRow("empty quoted field") << QByteArray("\"\",1") << QStringLiteral("1");
    QTest::newRow("text after the closing quote kept") << QByteArray("\"ab\"cd,e") << QStringLiteral("abcde");
    QTest::newRow("blanks after the closing quote skipped")
        << QByteArray("\"ab\"  ,\"cd\" \t\n") << QStringLiteral("abcd");
    QTest::newRow("quote inside an unquoted field is a character")
        << QByteArray("a\"b,c\"d") << QStringLiteral("a\"bc\"d");
    QTest::newRow("unterminated quote runs to the end") << QByteArray("1,\"2,3\n4") << QStringLiteral("12,3\n4");
    QTest::newRow("lone quote") << QByteArray("\"") << QString();
    QTest::newRow("formatted transmission text")
        << QByteArray("*0200A]0f1e2d3c]4b5a6978\r\n") << QStringLiteral("*0200A]0f1e2d3c]4b5a6978");
}

void TestFieldReader::fields()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    QCOMPARE(readFields(file), expected);
}

void TestFieldReader::resultDoesNotDependOnPieces()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    for (qsizetype cut = 0; cut <= file.size(); ++cut) {
        FieldReader reader;
        reader.feed(QByteArrayView(file).first(cut));
        reader.feed(QByteArrayView(file).sliced(cut));
        QCOMPARE(reader.text(), expected);
    }
}

void TestFieldReader::bytesAreLatin1Characters()
{
    // A binary file: NULs, high bytes and bytes that are not UTF-8.
    QByteArray binary;
    for (int b = 0; b < 256; ++b)
        binary += char(b);
    const QString text = readFields(binary);

    // The first byte, a NUL, starts a field, so the blanks and quotes that
    // follow are characters of fields; only the delimiters go.
    QString expected;
    for (int b = 0; b < 256; ++b)
        if (b != ',' && b != '\n' && b != '\r')
            expected += QChar(b);
    QCOMPARE(text, expected);
    QCOMPARE(readFields(QByteArray("\0\0,\0", 4)), QString(3, QChar(0)));
}

void TestFieldReader::readsFileToTheEnd()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    // Larger than one read, with a quoted field across the read boundary.
    QByteArray content(64 * 1024 - 3, 'a');
    content += "\n\"x,\ny\",b\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const FieldFileResult result = readFieldFile(path);
    QVERIFY(result.error.isEmpty());
    QCOMPARE(result.text, QString(64 * 1024 - 3, QLatin1Char('a')) + QStringLiteral("x,\nyb"));
}

void TestFieldReader::emptyFileGivesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const FieldFileResult result = readFieldFile(path);
    QVERIFY(result.text.isEmpty());
    QVERIFY(result.error.isEmpty());
}

void TestFieldReader::missingFileGivesDescription()
{
    QTemporaryDir dir;
    const FieldFileResult result = readFieldFile(dir.filePath(QStringLiteral("missing.txt")));
    QVERIFY(result.text.isEmpty());
    QVERIFY(!result.error.isEmpty());

    QTest::ignoreMessage(QtWarningMsg, "QFSFileEngine::open: No file name specified");
    QVERIFY(!readFieldFile(QString()).error.isEmpty());
    QVERIFY(!readFieldFile(dir.path()).error.isEmpty()); // a directory
    QCOMPARE(fileOpenErrorPrefix, QLatin1String("File Open Error - "));
}

// A device that gives some bytes and then fails to read.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray head) : head_(std::move(head)) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (head_.isEmpty()) {
            setErrorString(QStringLiteral("device gone"));
            return -1;
        }
        const qint64 n = qMin(maxSize, qint64(head_.size()));
        memcpy(data, head_.constData(), size_t(n));
        head_.remove(0, n);
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray head_;
};

void TestFieldReader::readFailureKeepsFieldsBefore()
{
    FailingDevice device(QByteArrayLiteral("12,34\n"));
    const FieldFileResult result = readFieldDevice(device);
    QCOMPARE(result.text, QStringLiteral("1234"));
    QCOMPARE(result.error, QStringLiteral("device gone"));
}

VOXCEL_TEST_GUILESS_MAIN(TestFieldReader)
#include "test_field_reader.moc"
