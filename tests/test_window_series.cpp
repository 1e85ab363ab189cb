// The Series window on the real main window: an animation of 5 frames into
// the EEPROM through the window's port to voxcel-picsim, which checks that
// each picture lies one picture size after the one before. On its own, over
// a port in memory: the hold between the rounds of a loop, Play at the
// frames' delays, deleting several frames, and an import cancelled.
#include "app/main_window.h"
#include "app/picture_document.h"
#include "app/recent_pictures.h"
#include "app/series_window.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/gif_writer.h"
#include "support/picsim_link.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtTest>

class TestWindowSeries : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void framesIntoTheEeprom();
    void roundsAreHeldApart();
    void playFollowsTheDelays();
    void deletesSeveralFramesAtOnce();
    void cancelledImportAndTheNext();

private:
    QTemporaryDir config_;
};

namespace {
// Load, and OK in the Import dialog it opens on the file; the import runs on.
void startLoad(QWidget *series, ScriptedPrompts &prompts, const QString &file)
{
    QTimer::singleShot(0, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            input::click(dialog->findChild<QPushButton *>(QStringLiteral("importOk")));
    });
    prompts.fileNames.enqueue(file);
    clickButton(series, "seriesLoad");
}

// The fake port, each character stamped on the line's clock as it is
// handed over (read once the send has ended).
class StampingFakePort : public FakePort
{
public:
    void output(char ch) override
    {
        FakePort::output(ch);
        stamps.push_back(LineClock::now());
    }
    std::vector<LineTime> stamps;
};

void load(SeriesWindow *series, ScriptedPrompts &prompts, const QString &file)
{
    startLoad(series, prompts, file);
    QTRY_VERIFY(!series->isImporting());
}

// The main window's part for a Series window on its own.
SeriesHost plainHost(PictureDocument &picture, LineDuration characterTime = {})
{
    SeriesHost host;
    host.settings = [characterTime] {
        SeriesHost::Settings settings;
        settings.startAddressText = QStringLiteral("0");
        settings.xmitDelayMs = 0;
        settings.characterTime = characterTime;
        return settings;
    };
    host.portOpen = [] { return true; };
    host.picture = &picture;
    host.holdWindow = [](bool) {};
    return host;
}

// A Series window on its own, on a fake port, shown.
struct ShownSeries
{
    explicit ShownSeries(LineDuration characterTime = {})
        : series(plainHost(picture, characterTime), session, prompts, nullptr)
    {
        series.show();
    }
    PictureDocument picture;
    PortSession session{[] { return std::make_unique<FakePort>(); }};
    ScriptedPrompts prompts;
    SeriesWindow series;
};

QImage grey(QSize size, int level)
{
    QImage picture(size, QImage::Format_Grayscale8);
    picture.fill(level);
    return picture;
}

void retype(QWidget *window, const char *name, const QString &text)
{
    auto *box = control<QLineEdit>(window, name);
    box->selectAll();
    input::type(box, text);
}
} // namespace

void TestWindowSeries::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path())); // the recent pictures
}

void TestWindowSeries::framesIntoTheEeprom()
{
    QTemporaryDir dir;
    QList<QImage> frames;
    for (int k = 0; k < 5; ++k) {
        QImage frame(40, 20, QImage::Format_Grayscale8);
        frame.fill(255);
        frame.setPixel(k * 2, k % 20, 0);
        frames << frame;
    }
    const QString gif = dir.filePath(QStringLiteral("dots.gif"));
    QVERIFY(writeGreyGif(gif, frames, QList<int>(5, 50)));
    const QString link = dir.filePath(QStringLiteral("lcd"));
    QProcess picsim;
    QVERIFY(startPicsimBehind(picsim, link, {QStringLiteral("--log"), dir.filePath("picsim.log")}));

    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    control<QLineEdit>(&window, Control::Format)->clear();
    control<QLineEdit>(&window, Control::Delimiter)->clear();
    clickButton(&window, Control::EepromTarget);
    retype(&window, controlName(Control::StartAddress), QStringLiteral("4096"));
    retype(&window, controlName(Control::XmitDelay), QStringLiteral("1"));
    clickButton(&window, Control::PortButton);
    QTRY_COMPARE(control<QLabel>(&window, Control::PortIndicator)->text(), QStringLiteral("ON"));

    control<QAction>(&window, "mnuSeries")->trigger();
    auto *series = control<SeriesWindow>(&window, "frmSeries");
    QVERIFY(QTest::qWaitForWindowExposed(series));
    load(series, prompts, gif);
    QCOMPARE(control<QListWidget>(series, "seriesFrames")->count(), 5);
    QVERIFY(control<QLabel>(series, "seriesTime")->text().startsWith(QStringLiteral("5 frames, estimated time")));
    prompts.answers.enqueue(dir.filePath(QStringLiteral("traffic.log")));
    control<QAction>(&window, "termLog")->trigger();
    clickButton(series, "seriesSend");
    QVERIFY(!control<QWidget>(&window, Control::Convert)->isEnabled()); // held as for one picture

    // The window sequences the frames on its event loop, which must run.
    QString results;
    QTRY_VERIFY_WITH_TIMEOUT((results += QString::fromLocal8Bit(picsim.readAll())).contains("picture 5: OK"), 120000);
    QTRY_VERIFY(control<QWidget>(&window, Control::Convert)->isEnabled());
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    QFile log(dir.filePath(QStringLiteral("traffic.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count('*'), 5); // each frame's prefix, logged as it left

    // 65 frames from 9999 would pass the end of the EEPROM: refused at once.
    const QString more = dir.filePath(QStringLiteral("more.gif"));
    QVERIFY(writeGreyGif(more, QList<QImage>(60, frames.first()), QList<int>(60, 50)));
    load(series, prompts, more);
    QCOMPARE(control<QListWidget>(series, "seriesFrames")->count(), 65);
    retype(&window, controlName(Control::StartAddress), QStringLiteral("9999"));
    clickButton(series, "seriesSend");
    QCOMPARE(prompts.messages.size(), 1);
    QVERIFY(prompts.messages.first().contains(QStringLiteral("past 65535")));
    clickButton(&window, Control::PortButton);
    QTRY_COMPARE(control<QLabel>(&window, Control::PortIndicator)->text(), QStringLiteral("OFF"));
    picsim.terminate();
    QVERIFY(picsim.waitForFinished(10000));
    results += QString::fromLocal8Bit(picsim.readAll());
    VERIFY_PICSIM(picsim.exitCode() == 0 && results.count(QStringLiteral(": OK")) == 5,
                  fileText(dir.filePath("picsim.log")));
    QVERIFY(results.contains(QStringLiteral("picture 1: EEPROM address 0x1000\n")));
    for (int k = 2; k <= 5; ++k)
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
    auto *port = new StampingFakePort;
    PortSession session([port] { return std::unique_ptr<PortLayer>(port); });
    session.open(1, QStringLiteral("115200,n,8,1"));
    PictureDocument picture;
    ScriptedPrompts prompts;
    SeriesWindow series(plainHost(picture), session, prompts, nullptr);
    series.loadPaths({dir.filePath(QStringLiteral("white.png"))});
    QTRY_VERIFY(!series.isImporting());
    control<QSpinBox>(&series, "seriesHold")->setValue(300);
    control<QSpinBox>(&series, "seriesLoops")->setValue(2); // one frame: only rounds to hold apart
    control<QPushButton>(&series, "seriesSend")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!series.isSending(), 20000);
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    QCOMPARE(port->written().count('*'), 2);
    const std::size_t secondRound = std::size_t(port->written().indexOf('*', 1));
    const auto held = port->stamps[secondRound] - port->stamps[secondRound - 1];
    QVERIFY2(held >= std::chrono::milliseconds(300),
             qPrintable(QString::number(std::chrono::duration<double, std::milli>(held).count())));
}

// Judged by when the label names each frame, seen from the test's clock,
// started before Play: never before the delays allow. At 1200 baud a frame
// takes 18 s on the line, which Play does not wait for.
void TestWindowSeries::playFollowsTheDelays()
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("run.gif"));
    QVERIFY(writeGreyGif(gif, {grey({32, 16}, 0), grey({32, 16}, 90), grey({32, 16}, 180), grey({32, 16}, 255)},
                         {300, 100, 200, 150}));
    const QList<qint64> starts{0, 300, 400, 600, 750}; // of frames 1 to 4, and of the second round
    ShownSeries shown(characterTime(*parseLineSettings(QStringLiteral("1200,n,8,1"))));
    SeriesWindow &series = shown.series;
    QVERIFY(QTest::qWaitForWindowExposed(&series));
    series.loadPaths({gif});
    QTRY_VERIFY(!series.isImporting());
    auto *about = control<QLabel>(&series, "seriesRate");
    auto *play = control<QPushButton>(&series, "seriesPlay");
    for (int time = 1; time <= 2; ++time) { // the second play starts again from the first frame
        QList<QPair<int, qint64>> shown;    // the frame from 1, and when it was seen, to the first again
        const auto roundSeen = [&shown] { return shown.size() > 1 && shown.last().first == 1; };
        QString text;
        QElapsedTimer clock;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (roundSeen())
                return;
            const int frame = about->text().section(QLatin1Char(' '), 1, 1).toInt();
            if (shown.isEmpty() || shown.last().first != frame)
                shown.append({frame, clock.elapsed()});
            text = about->text();
        });
        clock.start();
        input::click(play);
        watch.start(2);
        QTRY_VERIFY_WITH_TIMEOUT(roundSeen(), 10000);
        input::click(play);
        QCOMPARE(shown.first().first, 1);
        for (int k = 1; k < shown.size(); ++k) { // frames a loaded machine skipped are not seen
            const int round = shown[k].first > shown[k - 1].first ? 0 : 1;
            QVERIFY2(shown[k].second >= starts[round ? 4 : shown[k].first - 1],
                     qPrintable(QStringLiteral("frame %1 at %2 ms").arg(shown[k].first).arg(shown[k].second)));
            QVERIFY(round == 0 || k == shown.size() - 1);
        }
        QVERIFY2(text.contains(QStringLiteral("; sending it to the LCD takes ")), qPrintable(text));
        QCOMPARE(about->text(), QString());
        QCOMPARE(play->text(), QStringLiteral("&Play"));
    }
}

void TestWindowSeries::deletesSeveralFramesAtOnce()
{
    QTemporaryDir dir;
    for (int k = 1; k <= 6; ++k)
        QVERIFY(grey({128, 64}, k * 40).save(dir.filePath(QStringLiteral("f%1.png").arg(k))));
    ShownSeries shown;
    SeriesWindow &series = shown.series;
    QVERIFY(QTest::qWaitForWindowExposed(&series));
    auto *strip = control<QListWidget>(&series, "seriesFrames");
    for (int time = 1; time <= 2; ++time) {
        series.loadPaths({dir.path()});
        QTRY_VERIFY(!series.isImporting());
        QCOMPARE(strip->count(), 6);
        for (const auto &[row, modifiers] :
             {QPair<int, Qt::KeyboardModifiers>{0, {}}, {2, Qt::ControlModifier}, {3, Qt::ControlModifier}})
            input::click(strip->viewport(), Qt::LeftButton, strip->visualItemRect(strip->item(row)).center(),
                         modifiers);
        input::key(&series, Qt::Key_Delete);
        QStringList left;
        for (int row = 0; row < strip->count(); ++row)
            left << strip->item(row)->toolTip();
        QCOMPARE(left, (QStringList{QStringLiteral("f2.png"), QStringLiteral("f5.png"), QStringLiteral("f6.png")}));
        input::key(&series, Qt::Key_A, Qt::ControlModifier);
        clickButton(&series, "seriesDelete");
        QCOMPARE(strip->count(), 0);
    }
}

void TestWindowSeries::cancelledImportAndTheNext()
{
    QTemporaryDir dir;
    const QString gif = dir.filePath(QStringLiteral("long.gif"));
    QVERIFY(writeGreyGif(gif, QList<QImage>(40, grey({400, 300}, 128)), QList<int>(40, 100)));
    ShownSeries shown;
    SeriesWindow &series = shown.series;
    ScriptedPrompts &prompts = shown.prompts;
    QVERIFY(QTest::qWaitForWindowExposed(&series));
    auto *cancel = control<QPushButton>(&series, "seriesCancelImport");
    auto *loadButton = control<QPushButton>(&series, "seriesLoad");
    startLoad(&series, prompts, gif);
    QVERIFY(series.isImporting() && cancel->isVisible() && !loadButton->isEnabled());
    input::click(cancel);
    QVERIFY(!series.isImporting() && !cancel->isVisible() && loadButton->isEnabled());
    QTRY_COMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0); // the reading stopped
    QCOMPARE(control<QListWidget>(&series, "seriesFrames")->count(), 0);

    load(&series, prompts, gif);
    QCOMPARE(control<QListWidget>(&series, "seriesFrames")->count(), 40);
    QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
    QCOMPARE(RecentPictures().list().value(0), QFileInfo(gif).absoluteFilePath());
}

VOXCEL_TEST_MAIN(TestWindowSeries)
#include "test_window_series.moc"
