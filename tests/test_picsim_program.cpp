// The voxcel-picsim program: its verdicts on streams written to its
// pseudo-terminal, a voxcel-convert send judged at 9600 baud, and the whole
// road from the window through the real port layer into the program.

#include "app/main_window.h"
#include "canvas/canvas.h"
#include "import/picture_series.h"
#include "picsim/lcd_picture.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/gif_writer.h"
#include "support/pic_streams.h"
#include "support/picsim_link.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

class TestPicsimProgram : public QObject
{
    Q_OBJECT

private slots:
    void programJudgesStreams_data();
    void programJudgesStreams();
    void convertSendIsAcceptedAt9600();
    void pictureThroughThePortIntoTheProgram();
    void seriesRoundTrip();
};

void TestPicsimProgram::programJudgesStreams_data()
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
    QTest::newRow("a second picture after the last") << QStringList{count1} << QList<QByteArray>{picture + picture}
                                                     << false << 0 << QStringList{QStringLiteral("picture 1: OK")};
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

void TestPicsimProgram::programJudgesStreams()
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
    // A terminal may take a long write in parts; they follow without a pause.
    // A program that has ended after its --count takes no more: what it
    // reported is judged below.
    for (const QByteArray &bytes : std::as_const(writes))
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
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
    while (picsim.canReadLine())
        shown << QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QCOMPARE(shown.size(), results.size());
    for (int i = 0; i < results.size(); ++i)
        QVERIFY2(shown[i].startsWith(results[i]), qPrintable(shown[i]));
    QCOMPARE(picsim.exitStatus(), QProcess::NormalExit);
    QTEST(picsim.exitCode(), "exitCode");
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("lcd*.png")}).size(), // none for a refused prefix
             results.size() - results.filter(QStringLiteral("FAILED: prefix")).size());
}

void TestPicsimProgram::convertSendIsAcceptedAt9600()
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
    QVERIFY2(convert.exitCode() == 0, convert.readAllStandardError().constData());
    QVERIFY(picsim.waitForFinished(60000));

    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString logText = QString::fromUtf8(logFile.readAll());
    VERIFY_PICSIM(picsim.exitCode() == 0, logText);
    QVERIFY(logText.contains(QStringLiteral("line 9600,n,8,1")));
    QCOMPARE(logText.count(QStringLiteral("of silence before the wait text")), 64);
    QVERIFY(picsim.readAll().startsWith("picture 1: OK"));
}

void TestPicsimProgram::pictureThroughThePortIntoTheProgram()
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
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto click = [&window](Control name) { clickButton(&window, name); };
    auto indicator = [&window] { return control<QLabel>(&window, Control::PortIndicator)->text(); };
    prompts.answers.enqueue(picture);
    click(Control::LoadPicture);
    window.findChild<QLineEdit *>(QLatin1String(controlName(Control::Format)))->clear();
    window.findChild<QLineEdit *>(QLatin1String(controlName(Control::Delimiter)))->clear();
    click(Control::Convert);
    click(Control::Reformat);
    QCOMPARE(control<QPlainTextEdit>(&window, Control::OutputText)->toPlainText().size(), 2122);
    click(Control::PortButton);
    QTRY_VERIFY2(indicator() == QStringLiteral("ON"), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    click(Control::SendToLcd);
    QTRY_COMPARE_WITH_TIMEOUT(indicator(), QStringLiteral("ON"), 20000);
    click(Control::PortButton);
    QTRY_COMPARE(indicator(), QStringLiteral("OFF"));
    qunsetenv("VOXCEL_COM1");
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));

    // The window ran its event loop while it sent, so the simulator may
    // already be known to have ended.
    if (picsim.state() != QProcess::NotRunning)
        QVERIFY(picsim.waitForFinished(60000));
    QFile logFile(log);
    QVERIFY(logFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString logText = QString::fromUtf8(logFile.readAll());
    VERIFY_PICSIM(picsim.exitStatus() == QProcess::NormalExit && picsim.exitCode() == 0, logText);
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

void TestPicsimProgram::seriesRoundTrip()
{
    // An animated GIF of 5 frames, a ball crossing grey, sent to the EEPROM
    // from address 2048: picsim shows each frame as imported, one picture
    // size apart.
    QTemporaryDir dir;
    QList<QImage> frames;
    for (int k = 0; k < 5; ++k) {
        QImage frame(200, 100, QImage::Format_RGB32);
        frame.fill(QColor(160, 160, 160));
        QPainter painter(&frame);
        painter.setBrush(Qt::black);
        painter.drawEllipse(k * 35, 20, 60, 60);
        frames << frame;
    }
    const QString gif = dir.filePath(QStringLiteral("ball.gif"));
    QVERIFY(writeGreyGif(gif, frames, {40, 40, 40, 40, 40}));
    QProcess picsim;
    picsim.start(QStringLiteral(VOXCEL_PICSIM_PROGRAM), {QStringLiteral("--count=5"), QStringLiteral("--timeout=30"),
                                                         QStringLiteral("--out"), dir.filePath("lcd%d.png")});
    QVERIFY(picsim.waitForReadyRead(10000));
    const QString device = QString::fromLocal8Bit(picsim.readLine()).trimmed();
    QProcess convert;
    convert.start(QStringLiteral(VOXCEL_CONVERT_PROGRAM),
                  {QStringLiteral("--series"), gif, QStringLiteral("--send"), device, QStringLiteral("--dither"),
                   QStringLiteral("ordered"), QStringLiteral("--eeprom"), QStringLiteral("--address"),
                   QStringLiteral("2048"), QStringLiteral("--xmit-delay"), QStringLiteral("2")});
    QVERIFY(convert.waitForFinished(60000));
    QVERIFY2(convert.exitCode() == 0, convert.readAllStandardError().constData());
    QVERIFY(picsim.waitForFinished(60000));
    const QString results = QString::fromLocal8Bit(picsim.readAll());
    VERIFY_PICSIM(picsim.exitCode() == 0, results + QString::fromLocal8Bit(picsim.readAllStandardError()));
    QVERIFY2(results.contains(QStringLiteral("picture 5: EEPROM address 0x1800, 1024 bytes after picture 4")),
             qPrintable(results));

    ImportOptions options;
    options.dither = ImportDither::Ordered;
    const auto imported = loadSeries({gif}, options, importTargetSize(false), nullptr);
    QVERIFY(imported && imported->size() == 5);
    for (int k = 0; k < 5; ++k) {
        const QImage shown(dir.filePath(QStringLiteral("lcd%1.png").arg(k + 1)));
        QCOMPARE(displayBytesOf(shown), displayBytesOf((*imported)[std::size_t(k)].picture));
    }
}

VOXCEL_TEST_MAIN(TestPicsimProgram)
#include "test_picsim_program.moc"
