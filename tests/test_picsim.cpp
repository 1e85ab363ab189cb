// The PIC simulator: its reading of the prefix and pieces, the silence it
// finds on a modelled wire, the display it rebuilds, the program's verdicts
// on streams written to its pseudo-terminal, and the whole road from the
// window through the real port layer into the voxcel-picsim program.

#include "app/main_window.h"
#include "canvas/canvas.h"
#include "convert/byte_matrix.h"
#include "convert/reformat.h"
#include "picsim/lcd_picture.h"
#include "picsim/pic_line.h"
#include "picsim/pic_receiver.h"
#include "serial/pacing.h"
#include "serial/param_prefix.h"
#include "serial/qt_serial_port.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

class TestPicsim : public QObject
{
    Q_OBJECT

private slots:
    void prefixes_data();
    void prefixes();
    void wholePictureForEveryBufferSize_data();
    void wholePictureForEveryBufferSize();
    void longerWaitText();
    void silenceOnTheModelledWire_data();
    void silenceOnTheModelledWire();
    void faultsAreReported();
    void displayLayout();
    void programJudgesStreams_data();
    void programJudgesStreams();
    void convertSendIsAcceptedAt9600();
    void pictureThroughThePortIntoTheProgram();
};

namespace {

QByteArray testBytes()
{
    QByteArray bytes(PicReceiver::DisplayBytes, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 37 + i / 128) & 0xFF);
    return bytes;
}

// The transmission the program builds: prefix, then pieces behind the
// wait text.
QByteArray transmission(const QByteArray &prefix, const QByteArray &bytes, int pieceLength, const QByteArray &wait)
{
    const QByteArray hex = bytes.toHex();
    QByteArray text = prefix;
    for (qsizetype at = 0; at < hex.size(); at += pieceLength)
        text += wait + hex.mid(at, pieceLength);
    return text;
}

} // namespace

void TestPicsim::prefixes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("buffer");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("delay");

    QTest::newRow("start-up") << QByteArray("*02000000A") << true << 0 << 32 << 0 << 10;
    QTest::newRow("EEPROM, buffer 16, 1024, 5 ms") << QByteArray("*110040005") << true << 1 << 16 << 0x400 << 5;
    QTest::newRow("three-character delay") << QByteArray("*080270F064") << true << 0 << 128 << 0x270F << 100;
    QTest::newRow("no start mark") << QByteArray("02000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("target 2") << QByteArray("*22000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("buffer 00") << QByteArray("*00000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("address not hex") << QByteArray("*0200G000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay without its 0") << QByteArray("*0200000AA") << false << 0 << 0 << 0 << 0;
    QTest::newRow("too short") << QByteArray("*02000000") << false << 0 << 0 << 0 << 0;
    QTest::newRow("too long") << QByteArray("*02000000123") << false << 0 << 0 << 0 << 0;
    // Only what the program itself writes.
    QTest::newRow("lower-case hex") << QByteArray("*0200000a0A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("buffer not offered") << QByteArray("*03000000A") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay not offered") << QByteArray("*02000000B") << false << 0 << 0 << 0 << 0;
    QTest::newRow("delay with a leading zero") << QByteArray("*020000000A") << false << 0 << 0 << 0 << 0;
}

void TestPicsim::prefixes()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QString error;
    const auto prefix = parsePicPrefix(text, &error);
    QCOMPARE(prefix.has_value(), valid);
    if (!prefix) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QTEST(prefix->target, "target");
    QTEST(prefix->bufferSize, "buffer");
    QTEST(prefix->startAddress, "address");
    QTEST(prefix->picDelay, "delay");
}

void TestPicsim::wholePictureForEveryBufferSize_data()
{
    QTest::addColumn<int>("pieceLength");
    QTest::addColumn<QByteArray>("prefix");
    for (const int n : {2, 4, 8, 16, 32, 64, 128}) {
        const QByteArray prefix = "*0" + QByteArray::number(n, 16).rightJustified(2, '0').toUpper() + "00000A";
        QTest::addRow("buffer %d", n) << n << prefix;
    }
}

void TestPicsim::wholePictureForEveryBufferSize()
{
    QFETCH(int, pieceLength);
    QFETCH(QByteArray, prefix);
    const QByteArray bytes = testBytes();
    const PicReceiver pic = receiveTransmission(transmission(prefix, bytes, pieceLength, "]"));
    QVERIFY2(pic.problems().isEmpty(), qPrintable(pic.problems().join(QLatin1Char('\n'))));
    QVERIFY(pic.complete());
    QVERIFY(pic.done());
    QCOMPARE(pic.displayBytes(), bytes);
    QCOMPARE(pic.piecesReceived(), PicReceiver::DisplayDigits / pieceLength);
    QCOMPARE(static_cast<int>(pic.pauses().size()), PicReceiver::DisplayDigits / pieceLength);
    QCOMPARE(pic.pauses().front().offset, prefix.size());
}

void TestPicsim::longerWaitText()
{
    const QByteArray bytes = testBytes();
    const PicReceiver pic = receiveTransmission(transmission("*1100400014", bytes, 16, "]]"), QStringLiteral("]]"));
    QVERIFY2(pic.problems().isEmpty(), qPrintable(pic.problems().join(QLatin1Char('\n'))));
    QCOMPARE(pic.prefix()->picDelay, 20);
    QCOMPARE(pic.displayBytes(), bytes);
}

void TestPicsim::silenceOnTheModelledWire_data()
{
    QTest::addColumn<double>("characterMs");
    QTest::addColumn<QList<double>>("pauses");
    // With no line time, the silence is the gap between arrivals.
    QTest::newRow("gaps between arrivals") << 0.0 << QList<double>{20.0, 25.5};
    // At 1 ms a character the prefix ends at 10 ms, and the 64 digits read
    // at 51 ms are still on the wire at 76.5 ms: no silence at all.
    QTest::newRow("1 ms a character") << 1.0 << QList<double>{13.0, 0.0};
}

void TestPicsim::silenceOnTheModelledWire()
{
    QFETCH(double, characterMs);
    const QByteArray hex = testBytes().toHex();
    PicLine line(QStringLiteral("]]"), -1);
    const auto feed = [&](const QByteArray &chunk, double ms) {
        line.receive(chunk, LineTime(std::chrono::microseconds(qRound64(ms * 1000))),
                     std::chrono::microseconds(qRound64(characterMs * 1000)));
    };
    feed("*0400000", 0.0);
    feed("0A", 3.0);
    feed("]", 23.0); // the silence the PIC gets comes before the first "]"
    feed("]", 50.0);
    feed(hex.left(64), 51.0);
    feed("]]" + hex.mid(64, 64), 76.5);
    const PicReceiver &pic = line.current()->receiver;
    QList<double> pauses;
    for (const auto &pause : pic.pauses())
        pauses << pause.ms;
    QTEST(pauses, "pauses");
    QCOMPARE(pic.pauses()[0].offset, qsizetype(10));
    QCOMPARE(pic.digitsReceived(), 128);
}

void TestPicsim::faultsAreReported()
{
    const QByteArray bytes = testBytes();

    // No start mark: the PIC takes nothing.
    PicReceiver refused = receiveTransmission(transmission("02000000A", bytes, 32, "]"));
    QVERIFY(refused.done());
    QVERIFY(!refused.complete());
    QVERIFY(!refused.prefix());
    QCOMPARE(refused.problems().size(), 1);

    // A piece one digit short: reported, and the rest still lands.
    QByteArray text = transmission("*02000000A", bytes, 32, "]");
    text.remove(10 + 1 + 5, 1);
    PicReceiver shortPiece = receiveTransmission(text);
    QVERIFY(!shortPiece.problems().isEmpty());
    QVERIFY(shortPiece.problems().front().contains(QStringLiteral("31 of 32")));
    QVERIFY(!shortPiece.complete());

    // Data digits in capitals: the program writes lower case.
    text = transmission("*02000000A", bytes, 32, "]");
    text.replace(10, 33, text.mid(10, 33).toUpper());
    QVERIFY(receiveTransmission(text).problems().front().contains(QStringLiteral("lower case")));

    // The transmission stops halfway: the rest of the display stays clear.
    PicReceiver half = receiveTransmission(transmission("*02000000A", bytes, 32, "]").left(10 + 32 * 33));
    QVERIFY(!half.done());
    QCOMPARE(half.digitsReceived(), 1024);
    QCOMPARE(half.displayBytes().left(512), bytes.left(512));
    QCOMPARE(half.displayBytes().mid(512), QByteArray(512, '\0'));
}

void TestPicsim::displayLayout()
{
    QByteArray bytes(PicReceiver::DisplayBytes, '\0');
    bytes[0] = 0x01;          // column 0, row 0
    bytes[1] = 0x02;          // column 1, row 1
    bytes[128] = 0x80;        // column 0, page 1, row 15
    bytes[1023] = char(0x80); // column 127, row 63
    const QImage picture = lcdPicture(bytes);
    QCOMPARE(picture.size(), QSize(128, 64));
    auto lit = [&](int x, int y) { return (picture.pixel(x, y) & 0xFFFFFF) == 0; };
    QVERIFY(lit(0, 0));
    QVERIFY(lit(1, 1));
    QVERIFY(lit(0, 15));
    QVERIFY(lit(127, 63));
    QVERIFY(!lit(1, 0));
    QVERIFY(!lit(0, 8));
    int litCount = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            litCount += lit(x, y);
    QCOMPARE(litCount, 4);
    QCOMPARE(displayBytesOf(picture), bytes);
    QCOMPARE(displayBytesOf(lcdPicture(testBytes())), testBytes());
}

void TestPicsim::pictureThroughThePortIntoTheProgram()
{
    // A picture loaded into the window, converted, reformatted and sent with
    // the start-up settings, as a user without hardware would try it.
    QImage drawing(128, 64, QImage::Format_RGB32);
    drawing.fill(Qt::white);
    {
        QPainter painter(&drawing);
        painter.setPen(Qt::black);
        painter.drawEllipse(10, 5, 50, 50);
        painter.drawText(70, 40, QStringLiteral("PIC"));
        painter.drawLine(0, 63, 127, 0);
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("drawing.bmp"));
    QVERIFY(drawing.save(picture, "BMP"));
    const QString out = dir.filePath(QStringLiteral("display.png"));
    const QString log = dir.filePath(QStringLiteral("picsim.log"));

    QProcess picsim;
    picsim.start(QStringLiteral(VOXCEL_PICSIM_PROGRAM),
                 {QStringLiteral("--out"), out, QStringLiteral("--log"), log, QStringLiteral("--timeout"),
                  QStringLiteral("60"), QStringLiteral("--count"), QStringLiteral("1")});
    QVERIFY(picsim.waitForStarted());
    QVERIFY(picsim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QVERIFY2(device.startsWith(QLatin1Char('/')), qPrintable(device));
    qputenv("VOXCEL_COM1", device.toLocal8Bit());

    ScriptedPrompts prompts;
    QtSerialPort port;
    MainWindow window(prompts, port);
    window.show();
    auto click = [&window](const char *name) {
        QTest::mouseClick(window.findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    };
    prompts.answers.enqueue(picture);
    click("Command10");
    window.findChild<QLineEdit *>(QStringLiteral("txtfrmt"))->clear();
    window.findChild<QLineEdit *>(QStringLiteral("txtDelim"))->clear();
    click("Command9");
    click("Command15");
    QCOMPARE(window.state().sendText.size(), 2122);
    click("cmdcomm");
    QVERIFY2(port.isOpen(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    click("Command16");
    click("cmdcomm");
    qunsetenv("VOXCEL_COM1");
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));

    // The window lets events through while it sends, so the simulator may
    // already be known to have ended.
    if (picsim.state() != QProcess::NotRunning)
        QVERIFY(picsim.waitForFinished(60000));
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString logText = QString::fromUtf8(logFile.readAll());
    QVERIFY2(picsim.exitStatus() == QProcess::NormalExit && picsim.exitCode() == 0, qPrintable(logText));
    QCOMPARE(logText.count(QStringLiteral("of silence before the wait text")), 64);
    QVERIFY(logText.contains(QStringLiteral("prefix *02000000A: target LCD, buffer 32")));

    const QImage shown(out);
    QCOMPARE(shown.size(), QSize(128, 64));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const bool lit = (shown.pixel(x, y) & 0xFFFFFF) == 0;
            if (lit != window.canvas().pixelIsSet(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
        }
    }
}

void TestPicsim::programJudgesStreams_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<bool>("interrupt"); // with SIGTERM once the results are in
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("results");

    const QByteArray picture = transmission("*02000000A", testBytes(), 32, "]");
    const QString count1 = QStringLiteral("--count=1");
    QTest::newRow("two pictures") << QStringList{QStringLiteral("--count=2")} << QList<QByteArray>{picture, picture}
                                  << false << 0
                                  << QStringList{QStringLiteral("picture 1: OK"), QStringLiteral("picture 2: OK")};
    QTest::newRow("until interrupted") << QStringList() << QList<QByteArray>{picture} << true << 0
                                       << QStringList{QStringLiteral("picture 1: OK")};
    QTest::newRow("lower-case prefix") << QStringList{count1} << QList<QByteArray>{"*02000000a" + picture.mid(10)}
                                       << false << 1
                                       << QStringList{QStringLiteral("picture 1: FAILED: prefix \"*02000000a\"")};
    QTest::newRow("bytes after the picture")
        << QStringList{count1} << QList<QByteArray>{picture + "abc"} << false << 1
        << QStringList{QStringLiteral("picture 1: FAILED: 3 bytes after the picture")};
    QTest::newRow("short stream") << QStringList{QStringLiteral("--timeout=0.5")}
                                  << QList<QByteArray>{picture.left(10 + 33 * 30)} << false << 1
                                  << QStringList{QStringLiteral(
                                         "picture 1: FAILED: short: 960 of 2048 digits (then nothing for 0.5 s)")};
    // Written at once to a line of the pseudo-terminal's own 38400 baud.
    QTest::newRow("no pauses") << QStringList{count1, QStringLiteral("--expect-delay=20")} << QList<QByteArray>{picture}
                               << false << 1
                               << QStringList{QStringLiteral("picture 1: FAILED: piece 1: 0.000 ms of silence before "
                                                             "the wait character, 20 expected")};
}

void TestPicsim::programJudgesStreams()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(bool, interrupt);
    QFETCH(QStringList, results);

    // A link left behind by an earlier run is replaced, and removed at the end.
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("lcd"));
    QVERIFY(QFile::link(QStringLiteral("/dev/pts/no-such-terminal"), link));
    QProcess picsim;
    picsim.start(QStringLiteral(VOXCEL_PICSIM_PROGRAM),
                 arguments << QStringLiteral("--link") << link << QStringLiteral("--out")
                           << dir.filePath(QStringLiteral("lcd%d.png")) << QStringLiteral("--log")
                           << dir.filePath(QStringLiteral("log")));
    QVERIFY(picsim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QCOMPARE(QFile::symLinkTarget(link), device);

    const int fd = ::open(QFile::encodeName(link).constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    for (const QByteArray &bytes : std::as_const(writes))
        QCOMPARE(::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())), ssize_t(bytes.size()));
    ::close(fd);

    QStringList shown;
    for (;;) {
        while (picsim.canReadLine())
            shown << QString::fromLocal8Bit(picsim.readLine()).trimmed();
        if (shown.size() >= results.size() || !picsim.waitForReadyRead(10000))
            break;
    }
    if (interrupt)
        picsim.terminate();
    QVERIFY(picsim.waitForFinished(10000));
    QCOMPARE(shown.size(), results.size());
    for (int i = 0; i < results.size(); ++i)
        QVERIFY2(shown[i].startsWith(results[i]), qPrintable(shown[i]));
    QCOMPARE(picsim.exitStatus(), QProcess::NormalExit);
    QTEST(picsim.exitCode(), "exitCode");
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("lcd*.png")}).size(), results.size());
}

void TestPicsim::convertSendIsAcceptedAt9600()
{
    // voxcel-convert --send runs the window's pacing loop; at 9600 baud each
    // piece spends 34 ms on the wire before the 20 ms of silence can begin.
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("logo.bmp"));
    QVERIFY(lcdPicture(testBytes()).save(picture, "BMP"));
    const QString log = dir.filePath(QStringLiteral("picsim.log"));

    QProcess picsim;
    picsim.start(QStringLiteral(VOXCEL_PICSIM_PROGRAM),
                 {QStringLiteral("--count=1"), QStringLiteral("--expect-delay=20"), PicsimBusyMachineAllowance,
                  QStringLiteral("--timeout=30"), QStringLiteral("--log"), log});
    QVERIFY(picsim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QProcess convert;
    convert.start(QStringLiteral(VOXCEL_CONVERT_PROGRAM),
                  {QStringLiteral("--send"), device, QStringLiteral("--baud"), QStringLiteral("9600"), picture});
    QVERIFY(convert.waitForFinished(60000));
    QCOMPARE(convert.exitCode(), 0);
    QVERIFY(picsim.waitForFinished(60000));

    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString logText = QString::fromUtf8(logFile.readAll());
    QVERIFY2(picsim.exitCode() == 0, qPrintable(logText));
    QVERIFY(logText.contains(QStringLiteral("line 9600,n,8,1")));
    QCOMPARE(logText.count(QStringLiteral("of silence before the wait text")), 64);
    QVERIFY(picsim.readAll().startsWith("picture 1: OK"));
}

QTEST_MAIN(TestPicsim)
#include "test_picsim.moc"
