// The Port and Terminal menus wired to the window: the views of the receive
// window, the log file and its name typed, choosing a device, and a port
// that comes back.
#include "app/qt_prompts.h"
#include "serial/port_devices.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QInputDialog>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

class TestWindowTerminal : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void hexViewAndLogThroughTheMenu();
    void hexViewFitsAndShowsWhatCameBefore();
    void fileNameBoxCompletesPaths();
    void unwritableLogTurnsLoggingOff();
    void otherDeviceIsRememberedForCom2();
    void lostPortComesBack();

private:
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    QString received() const { return find<QPlainTextEdit>(Control::ReceiveText)->toPlainText(); }
};

void TestWindowTerminal::hexViewAndLogThroughTheMenu()
{
    openPort();
    action("termHex")->trigger();
    prompts->answers.enqueue(path(QStringLiteral("pic.log")));
    action("termLog")->trigger();
    QVERIFY(action("termLog")->isChecked());
    port->queueInput(QStringLiteral("OK"));
    QTRY_COMPARE(received(), QStringLiteral("4F 4B"));
    input::type(find<QPlainTextEdit>(Control::TransmitText), QStringLiteral("v"));

    QFile log(path(QStringLiteral("pic.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 3); // and the end of the last line
    QVERIFY2(lines.at(0).endsWith(" RX OK") && lines.at(1).endsWith(" TX v"), lines.at(0) + lines.at(1));

    // Closed and opened again, the log turned off and on again: the offsets
    // start again, and the same file, asked for again and offered, keeps
    // the earlier traffic.
    click(Control::PortButton);
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    action("termLog")->trigger();
    openPort();
    action("termLog")->trigger();
    QCOMPARE(prompts->asked.size(), 2);
    QVERIFY(prompts->asked.last().endsWith(QLatin1Char('|') + log.fileName()));
    port->queueInput(QStringLiteral("OK"));
    QTRY_COMPARE(received(), QStringLiteral("4F 4B"));
    QVERIFY(log.seek(0));
    QCOMPARE(log.readAll().count(" RX OK\n"), 2);

    // Cancelled the third time: off, and the file as it was.
    const qint64 logged = log.size();
    action("termLog")->trigger();
    prompts->answers.enqueue(QString());
    action("termLog")->trigger();
    QVERIFY(!action("termLog")->isChecked());
    port->queueInput(QStringLiteral("OK"));
    QTRY_VERIFY(received().endsWith(QStringLiteral("4F 4B 4F 4B")));
    QCOMPARE(QFileInfo(log.fileName()).size(), logged);
}

void TestWindowTerminal::hexViewFitsAndShowsWhatCameBefore()
{
    openPort();
    port->queueInput(QStringLiteral("OK\r\n12345678"));
    QTRY_COMPARE(received(), QStringLiteral("OK\n12345678"));
    auto *box = find<QPlainTextEdit>(Control::ReceiveText);
    action("termHex")->trigger();
    // The window's own width holds 8 bytes a line, and nothing hides behind
    // a scroll bar; wider, 16 with their offset.
    QCOMPARE(received(), QStringLiteral("4F 4B 0D 0A 31 32 33 34\n35 36 37 38"));
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    box->resize(600, box->height());
    QCOMPARE(received(), QStringLiteral("00000000: 4F 4B 0D 0A 31 32 33 34 35 36 37 38"));
    QCOMPARE(box->horizontalScrollBar()->maximum(), 0);
    action("termHex")->trigger();
    QCOMPARE(received(), QStringLiteral("OK\n12345678"));
}

void TestWindowTerminal::fileNameBoxCompletesPaths()
{
    // The names sit in a folder of a big one, whose names arrive after the
    // model says it was read.
    for (int i = 0; i < 2000; ++i)
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("d%1").arg(i)));
    const QString in = path(QStringLiteral("d1999"));
    QVERIFY(QFile(in + QStringLiteral("/picture-one.bmp")).open(QIODevice::WriteOnly));
    QVERIFY(QDir(in).mkdir(QStringLiteral("pix")));
    QVERIFY(QDir(in).mkdir(QStringLiteral("Pictures"))); // other case: not offered
    QtPrompts real(window);
    QStringList offered;
    // The box as a person meets it: keys typed into it, the first offer taken.
    QTimer::singleShot(0, window, [&] {
        auto *box = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        auto *edit = box ? box->findChild<QLineEdit *>() : nullptr;
        if (edit && edit->completer()) {
            input::type(edit, in + QStringLiteral("/pi"));
            QAbstractItemModel *offers = edit->completer()->completionModel();
            if (QTest::qWaitFor([&] { return edit->completer()->popup()->isVisible(); }, 5000))
                for (int row = 0; row < offers->rowCount(); ++row)
                    offered << offers->index(row, 0).data().toString();
            offered.sort();
            input::key(edit, Qt::Key_Down);
            input::key(edit, Qt::Key_Return);
            input::key(edit, Qt::Key_Return);
        }
        if (box && box->isVisible())
            box->reject();
    });
    const QString answer = real.ask(FileNamePrompt, QStringLiteral("Log to File"), QString());
    QCOMPARE(offered, QStringList({"picture-one.bmp", "pix"}));
    QVERIFY2(answer.startsWith(in + QStringLiteral("/pi")) && answer.size() > in.size() + 3, qPrintable(answer));
}

void TestWindowTerminal::unwritableLogTurnsLoggingOff()
{
    openPort();
    prompts->answers.enqueue(dir->path()); // a folder
    action("termLog")->trigger();
    QVERIFY(!action("termLog")->isChecked());
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("Log File Error - ")));
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
}

void TestWindowTerminal::otherDeviceIsRememberedForCom2()
{
    qunsetenv("VOXCEL_COM2");
    auto *portMenu = window->findChild<QMenu *>(QStringLiteral("mnuPort"));
    emit portMenu->aboutToShow(); // as it opens
    auto *com2 = portMenu->findChild<QMenu *>(QStringLiteral("mnuPortCom2"));
    prompts->answers.enqueue(QStringLiteral(" /dev/ttyVOXCEL7 "));
    com2->findChild<QAction *>(QStringLiteral("mnuOtherDevice"))->trigger();
    QVERIFY(find<QRadioButton>(Control::Com2)->toolTip().contains(QStringLiteral("/dev/ttyVOXCEL7")));
    QCOMPARE(storedAssignment(2).path, QStringLiteral("/dev/ttyVOXCEL7"));
    emit portMenu->aboutToShow();
    QVERIFY(portMenu->findChild<QMenu *>(QStringLiteral("mnuPortCom2"))->title().endsWith(QStringLiteral("VOXCEL7")));
    storeAssignment(2, {});
}

void TestWindowTerminal::lostPortComesBack()
{
    const QString device = path(QStringLiteral("ttyFAKE"));
    QVERIFY(QFile(device).open(QIODevice::WriteOnly));
    port->device = device;
    openPort();
    QFile::remove(device); // unplugged
    port->failInput = true;
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
    QTest::qWait(600);
    port->failInput = false;
    QVERIFY(QFile(device).open(QIODevice::WriteOnly)); // plugged in again
    QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    // On a line of its own, after the caption the closed window showed.
    QVERIFY(received().endsWith(QStringLiteral("\n(reconnected to %1)\n").arg(device)));
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
}

VOXCEL_TEST_MAIN(TestWindowTerminal)
#include "test_window_terminal.moc"
