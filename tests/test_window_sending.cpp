// A running transmission through the real main window: its progress, and
// that Stop, Esc and closing end it while other input does nothing.
#include "support/window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>

namespace {
// Ten pieces behind the wait character: nine pauses of the xmit delay.
const QString Pieces = QStringLiteral("]abcd]efgh]ijkl]mnop]qrst]uvwx]yzab]cdef]ghij]klmn");
} // namespace

class TestWindowSending : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init()
    {
        openWindow();
        click("cmdcomm");
        find<QLineEdit>("xmitdelay")->setText(QStringLiteral("100"));
        QApplication::clipboard()->setText(Pieces);
    }
    void cleanup() { closeWindow(); }

    void stopEndsTheSendAfterTheCharacterInFlight_data();
    void stopEndsTheSendAfterTheCharacterInFlight();
    void inputDuringASendIsDropped();
    void closingStopsTheSendFirst();

private:
    // Runs `during` once the send is well under way, then Paste and Send.
    void pasteAndSendWhile(const std::function<void()> &during)
    {
        QTimer::singleShot(250, window, during);
        click("Command4");
    }
};

void TestWindowSending::stopEndsTheSendAfterTheCharacterInFlight_data()
{
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("Stop button") << false;
    QTest::newRow("Esc") << true;
}

void TestWindowSending::stopEndsTheSendAfterTheCharacterInFlight()
{
    QFETCH(bool, byEsc);
    QString progress;
    pasteAndSendWhile([&] {
        progress = find<QLabel>("sendProgressText")->text();
        QVERIFY(find<QWidget>("cmdStop")->isVisible());
        if (byEsc)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            click("cmdStop");
    });
    const qsizetype sent = port->written().size();
    QVERIFY2(sent > 0 && sent < Pieces.size(), qPrintable(QString::number(sent)));
    QCOMPARE(port->written(), Pieces.left(sent).toLatin1());
    QCOMPARE(prompts->messages,
             QStringList({QStringLiteral("Transmission stopped after %1 of 50 characters").arg(sent)}));
    QVERIFY2(QRegularExpression(QStringLiteral("^Sending: \\d+ of 50 characters, \\d+\\.\\d s left$"))
                 .match(progress)
                 .hasMatch(),
             qPrintable(progress));
    // Nothing more goes out later, and the window is as after a send.
    QTest::qWait(250);
    QCOMPARE(port->written().size(), sent);
    QVERIFY(port->isOpen());
    QCOMPARE(find<QLabel>("comm")->text(), QStringLiteral("ON"));
    QVERIFY(find<QTimer>("Timer1")->isActive());
    QVERIFY(!find<QWidget>("cmdStop")->isVisible());
    QVERIFY(!find<QWidget>("sendProgressText")->isVisible());
}

void TestWindowSending::inputDuringASendIsDropped()
{
    QTest::mouseClick(find<QWidget>("Picture1"), Qt::LeftButton, {}, at(5, 5));
    const QImage drawn = window->canvas().canvasImage();
    pasteAndSendWhile([&] {
        click("Command5"); // Clear
        QTest::keyClicks(find<QLineEdit>("txthead"), QStringLiteral("db "));
    });
    QCOMPARE(port->written(), Pieces.toLatin1()); // the send ran to its end
    QCoreApplication::processEvents();
    QCOMPARE(window->canvas().canvasImage(), drawn);
    QVERIFY(find<QLineEdit>("txthead")->text().isEmpty());
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowSending::closingStopsTheSendFirst()
{
    pasteAndSendWhile([&] { window->close(); });
    QVERIFY(port->written().size() < Pieces.size());
    QTRY_VERIFY(!window->isVisible());
}

QTEST_MAIN(TestWindowSending)
#include "test_window_sending.moc"
