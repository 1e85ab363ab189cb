// A running send through the real main window, with input as a person's
// arrives: its progress, Stop by mouse, Space and Esc, closing the window,
// and the controls held meanwhile.
#include "app/series_window.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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
        openPort();
        find<QLineEdit>("xmitdelay")->setText(QStringLiteral("100"));
        QApplication::clipboard()->setText(Pieces);
    }
    void cleanup() { closeWindow(); }

    void stopEndsTheSendAfterTheCharacterInFlight_data();
    void stopEndsTheSendAfterTheCharacterInFlight();
    void heldControlsTakeNoInputAndComeBack();
    void closingStopsTheSendFirst();
    void seriesToCanvasWaitsForTheSend();

private:
    // Paste and Send, then `during` once the send is well under way; back
    // when the send has ended.
    void pasteAndSendWhile(const std::function<void()> &during)
    {
        click("Command4");
        QCOMPARE(find<QLabel>("comm")->text(), QStringLiteral("Busy"));
        QTest::qWait(250);
        during();
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>("comm")->text(), QStringLiteral("ON"), 5000);
    }
};

void TestWindowSending::stopEndsTheSendAfterTheCharacterInFlight_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("mouse on Stop") << "mouse";
    QTest::newRow("Space on Stop") << "space";
    QTest::newRow("Esc") << "esc";
}

void TestWindowSending::stopEndsTheSendAfterTheCharacterInFlight()
{
    QFETCH(QString, how);
    QString progress;
    pasteAndSendWhile([&] {
        progress = find<QLabel>("sendProgressText")->text();
        QVERIFY(find<QWidget>("cmdStop")->hasFocus());
        if (how == QLatin1String("mouse"))
            click("cmdStop");
        else
            input::key(window, how == QLatin1String("esc") ? Qt::Key_Escape : Qt::Key_Space);
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
    QVERIFY(find<QTimer>("Timer1")->isActive());
    QVERIFY(!find<QWidget>("cmdStop")->isVisible());
    QVERIFY(!find<QWidget>("sendProgressText")->isVisible());
}

void TestWindowSending::heldControlsTakeNoInputAndComeBack()
{
    input::click(find<QWidget>("Picture1"), Qt::LeftButton, at(5, 5));
    const QImage drawn = window->canvas().canvasImage();
    find<QAction>("mnuLcdView")->trigger();
    QApplication::setActiveWindow(window);
    const QStringList held{"Picture1",  "Command5", "txthead", "Text2",    "Text3",    "cmdcomm",
                           "List2",     "xmitdelay", "Check1", "Command4", "lcdCanvas"};
    pasteAndSendWhile([&] {
        for (const QString &name : held)
            QVERIFY2(!find<QWidget>(name.toLatin1().constData())->isEnabled(), qPrintable(name));
        QVERIFY(find<QWidget>("cmdStop")->isEnabled());
        QVERIFY(find<QWidget>("Command11")->isEnabled()); // Copy changes nothing
        click("Command5");                                // Clear
        input::click(find<QWidget>("Picture1"), Qt::LeftButton, at(50, 30));
        input::click(find<QWidget>("lcdCanvas"), Qt::LeftButton, {40, 40});
        // Letters only: a space would press Stop, which has the focus.
        input::type(find<QLineEdit>("txthead"), QStringLiteral("db"));
        input::type(find<QWidget>("Text2"), QStringLiteral("x"));
    });
    QCOMPARE(port->written(), Pieces.toLatin1()); // the send ran to its end, and nothing else went out
    QTest::qWait(100);
    QCOMPARE(port->written(), Pieces.toLatin1());
    QCOMPARE(window->canvas().canvasImage(), drawn);
    QVERIFY(find<QLineEdit>("txthead")->text().isEmpty());
    QVERIFY(prompts->messages.isEmpty());
    // Back as they were: Save of the text was disabled before and stays so.
    for (const QString &name : held)
        QVERIFY2(find<QWidget>(name.toLatin1().constData())->isEnabled(), qPrintable(name));
    QVERIFY(!find<QWidget>("Command12")->isEnabled());
}

void TestWindowSending::closingStopsTheSendFirst()
{
    click("Command4");
    QTest::qWait(250);
    window->close();
    QVERIFY(window->isVisible()); // until the send has ended
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(port->written().size() < Pieces.size());
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowSending::seriesToCanvasWaitsForTheSend()
{
    QImage frame(128, 64, QImage::Format_Mono);
    frame.fill(1);
    frame.setPixel(3, 3, 0);
    QVERIFY(frame.save(path(QStringLiteral("frame.png"))));
    find<QAction>("mnuSeries")->trigger();
    auto *series = find<SeriesWindow>("frmSeries");
    series->loadPaths({path(QStringLiteral("frame.png"))});
    QTRY_VERIFY(!series->isImporting());
    auto *toCanvas = control<QWidget>(series, "seriesToCanvas");
    const QImage blank = window->canvas().canvasImage();
    pasteAndSendWhile([&] {
        QVERIFY(!toCanvas->isEnabled() && !control<QWidget>(series, "seriesSend")->isEnabled());
        QVERIFY(toCanvas->toolTip().startsWith(HeldForMainSendText));
        QVERIFY(control<QLabel>(series, "seriesTime")->text().contains(QStringLiteral("main window's send")));
        input::click(toCanvas);
        QCOMPARE(window->canvas().canvasImage(), blank);
    });
    QVERIFY(toCanvas->isEnabled());
    QVERIFY(!toCanvas->toolTip().contains(HeldForMainSendText));
    input::click(toCanvas);
    QVERIFY(window->canvas().pixelIsSet(3, 3));
}

QTEST_MAIN(TestWindowSending)
#include "test_window_sending.moc"
