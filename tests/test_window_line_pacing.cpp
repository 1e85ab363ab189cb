// Send to LCD on a line that has a speed: the real main window, offscreen,
// sends the start-up picture through its real port to voxcel-picsim, which
// judges the silence before each wait character as a PIC on a 9600 baud
// line would get it, and stays on the line afterwards.
#include "app/main_window.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "support/controls.h"
#include "support/picsim_link.h"
#include "support/pty_pair.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestWindowLinePacing : public QObject
{
    Q_OBJECT
private slots:
    void startUpPictureKeepsThePicsSilence();
};

void TestWindowLinePacing::startUpPictureKeepsThePicsSilence()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("lcd"));
    QProcess picsim;
    QVERIFY(startPicsimBehind(picsim, link,
                              {QStringLiteral("--expect-delay=20"), PicsimBusyMachineAllowance, QStringLiteral("--log"),
                               dir.filePath(QStringLiteral("picsim.log"))}));

    ScriptedPrompts prompts;
    {
        PortSession session([] { return std::make_unique<QtSerialPort>(); });
        MainWindow window(prompts, session);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        control<QLineEdit>(&window, Control::Format)->clear();
        control<QLineEdit>(&window, Control::Delimiter)->clear();
        clickButton(&window, Control::PortButton);
        QTRY_VERIFY2(control<QLabel>(&window, Control::PortIndicator)->text() == QStringLiteral("ON"),
                     qPrintable(prompts.messages.join(QLatin1Char('|'))));
        clickButton(&window, Control::Convert);
        clickButton(&window, Control::Reformat);
        clickButton(&window, Control::SendToLcd);

        // The window runs its event loop while it sends: the line may
        // already be in the process's buffer.
        while (!picsim.canReadLine() && picsim.waitForReadyRead(20000)) {
        }
        const QString result = QString::fromLocal8Bit(picsim.readLine()).trimmed();
        VERIFY_PICSIM(result.startsWith(QStringLiteral("picture 1: OK; 64 pauses")),
                      fileText(dir.filePath("picsim.log")));
        // The poll runs on while the simulator waits for the next picture:
        // the port is still there.
        QTest::qWait(300);
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join(QLatin1Char('|'))));
        QCOMPARE(control<QLabel>(&window, Control::PortIndicator)->text(), QStringLiteral("ON"));
        clickButton(&window, Control::PortButton);
    }
    qunsetenv("VOXCEL_COM1");
    picsim.terminate();
    QVERIFY(picsim.waitForFinished(10000));
    QCOMPARE(picsim.exitCode(), 0);
}

VOXCEL_TEST_MAIN(TestWindowLinePacing)
#include "test_window_line_pacing.moc"
