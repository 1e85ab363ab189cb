// The Series window on the real main window: an animation of 20 frames into
// the EEPROM through the window's port to voxcel-picsim, which checks that
// each picture lies one picture size after the one before. On its own, over
// a port in memory: the hold between the rounds of a loop.
#include "app/main_window.h"
#include "app/series_window.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/gif_writer.h"
#include "support/picsim_link.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestWindowSeries : public QObject
{
    Q_OBJECT
private slots:
    void twentyFramesIntoTheEeprom();
    void roundsAreHeldApart();
};

namespace {
// Load, and OK in the Import dialog it opens on the file.
void load(QWidget *series, ScriptedPrompts &prompts, const QString &file)
{
    QTimer::singleShot(0, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            input::click(dialog->findChild<QPushButton *>(QStringLiteral("importOk")));
    });
    prompts.fileNames.enqueue(file);
    clickButton(series, "seriesLoad");
    QTRY_VERIFY(!static_cast<SeriesWindow *>(series)->isImporting());
}

void retype(QWidget *window, const char *name, const QString &text)
{
    auto *box = control<QLineEdit>(window, name);
    box->selectAll();
    input::type(box, text);
}
} // namespace

void TestWindowSeries::twentyFramesIntoTheEeprom()
{
    QTemporaryDir dir;
    QList<QImage> frames;
    for (int k = 0; k < 20; ++k) {
        QImage frame(40, 20, QImage::Format_Grayscale8);
        frame.fill(255);
        frame.setPixel(k * 2, k % 20, 0);
        frames << frame;
    }
    const QString gif = dir.filePath(QStringLiteral("dots.gif"));
    QVERIFY(writeGreyGif(gif, frames, QList<int>(20, 50)));
    const QString link = dir.filePath(QStringLiteral("lcd"));
    QProcess picsim;
    QVERIFY(startPicsimBehind(picsim, link, {QStringLiteral("--log"), dir.filePath("picsim.log")}));

    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    control<QLineEdit>(&window, "txtfrmt")->clear();
    control<QLineEdit>(&window, "txtDelim")->clear();
    clickButton(&window, "Check1");
    retype(&window, "eeprom", QStringLiteral("4096"));
    retype(&window, "xmitdelay", QStringLiteral("1"));
    clickButton(&window, "cmdcomm");
    QTRY_COMPARE(control<QLabel>(&window, "comm")->text(), QStringLiteral("ON"));

    control<QAction>(&window, "mnuSeries")->trigger();
    QWidget *series = control<QWidget>(&window, "frmSeries");
    QVERIFY(QTest::qWaitForWindowExposed(series));
    load(series, prompts, gif);
    QCOMPARE(control<QListWidget>(series, "seriesFrames")->count(), 20);
    QVERIFY(control<QLabel>(series, "seriesTime")->text().startsWith(QStringLiteral("20 frames, estimated time")));
    prompts.answers.enqueue(dir.filePath(QStringLiteral("traffic.log")));
    control<QAction>(&window, "termLog")->trigger();
    clickButton(series, "seriesSend");
    QVERIFY(!control<QWidget>(&window, "Command9")->isEnabled()); // held as for one picture

    // The window sequences the frames on its event loop, which must run.
    QString results;
    QTRY_VERIFY_WITH_TIMEOUT((results += QString::fromLocal8Bit(picsim.readAll())).contains("picture 20: OK"), 120000);
    QTRY_VERIFY(control<QWidget>(&window, "Command9")->isEnabled());
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    QFile log(dir.filePath(QStringLiteral("traffic.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count('*'), 20); // each frame's prefix, logged as it left

    // 80 frames from 9999 would pass the end of the EEPROM: refused at once.
    for (int more = 0; more < 3; ++more)
        load(series, prompts, gif);
    QCOMPARE(control<QListWidget>(series, "seriesFrames")->count(), 80);
    retype(&window, "eeprom", QStringLiteral("9999"));
    clickButton(series, "seriesSend");
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.first().contains(QStringLiteral("past 65535")));
    clickButton(&window, "cmdcomm");
    QTRY_COMPARE(control<QLabel>(&window, "comm")->text(), QStringLiteral("OFF"));
    picsim.terminate();
    QVERIFY(picsim.waitForFinished(10000));
    results += QString::fromLocal8Bit(picsim.readAll());
    VERIFY_PICSIM(picsim.exitCode() == 0 && results.count(QStringLiteral(": OK")) == 20, fileText(dir.filePath("picsim.log")));
    QVERIFY(results.contains(QStringLiteral("picture 1: EEPROM address 0x1000\n")));
    for (int k = 2; k <= 20; ++k)
        QVERIFY2(results.contains(QStringLiteral("picture %1: EEPROM address 0x%2, 1024 bytes after picture %3\n")
                                      .arg(k)
                                      .arg(QString::number(4096 + (k - 1) * 1024, 16).toUpper())
                                      .arg(k - 1)),
                 qPrintable(results));
    qunsetenv("VOXCEL_COM1");
}

void TestWindowSeries::roundsAreHeldApart()
{
    QTemporaryDir dir;
    QImage white(128, 64, QImage::Format_RGB32);
    white.fill(Qt::white);
    QVERIFY(white.save(dir.filePath(QStringLiteral("white.png"))));
    auto *port = new FakePort;
    PortSession session([port] { return std::unique_ptr<PortLayer>(port); });
    // Connected before the window's handlers: its hold starts after a finish is noted here.
    QElapsedTimer clock;
    clock.start();
    qint64 finishedAt = -1, nextStartedAfter = -1;
    connect(&session, &PortSession::sendFinished, this, [&] { finishedAt = clock.elapsed(); });
    connect(&session, &PortSession::sendProgress, this, [&] {
        if (finishedAt >= 0 && nextStartedAfter < 0)
            nextStartedAfter = clock.elapsed() - finishedAt;
    });
    session.open(1, QStringLiteral("115200,n,8,1"));
    ImportOptions importOptions;
    SeriesHost host;
    host.settings = [] {
        SeriesHost::Settings settings;
        settings.startAddressText = QStringLiteral("0");
        settings.xmitDelayMs = 0;
        return settings;
    };
    host.portOpen = [] { return true; };
    host.otherSendRunning = [] { return false; };
    host.importOptions = [&importOptions] { return &importOptions; };
    host.halfHeight = [] { return false; };
    host.putOnCanvas = [](const QImage &, const QString &) {};
    host.holdWindow = [](bool) {};
    ScriptedPrompts prompts;
    SeriesWindow series(host, session, prompts, nullptr);
    series.loadPaths({dir.filePath(QStringLiteral("white.png"))});
    QTRY_VERIFY(!series.isImporting());
    control<QSpinBox>(&series, "seriesHold")->setValue(300);
    control<QSpinBox>(&series, "seriesLoops")->setValue(2); // one frame: only rounds to hold apart
    control<QPushButton>(&series, "seriesSend")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!series.isSending(), 20000);
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    QCOMPARE(port->written().count('*'), 2);
    QVERIFY2(nextStartedAfter >= 290, qPrintable(QString::number(nextStartedAfter))); // a timer's ms rounding
}

QTEST_MAIN(TestWindowSeries)
#include "test_window_series.moc"
