// A running send through the real main window, with input as a person's
// arrives: its progress, Stop by mouse, Space and Esc, closing the window,
// and the controls held meanwhile.
#include "app/series_window.h"
#include "support/test_main.h"
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
        find<QLineEdit>(Control::XmitDelay)->setText(QStringLiteral("100"));
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
        click(Control::PasteAndSend);
        QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("Busy"));
        QTest::qWait(250);
        during();
        QTRY_COMPARE_WITH_TIMEOUT(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"), 5000);
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
        progress = find<QLabel>(Control::SendProgressText)->text();
        QVERIFY(find<QWidget>(Control::Stop)->hasFocus());
        if (how == QLatin1String("mouse"))
            click(Control::Stop);
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
    QVERIFY(find<QTimer>(Control::ReceivePoll)->isActive());
    QVERIFY(!find<QWidget>(Control::Stop)->isVisible());
    QVERIFY(!find<QWidget>(Control::SendProgressText)->isVisible());
    QCOMPARE(find<QLabel>(Control::SendResult)->text(), QStringLiteral("Stopped after %1 of 50 characters").arg(sent));
}

void TestWindowSending::heldControlsTakeNoInputAndComeBack()
{
    input::click(find<QWidget>(Control::Canvas), Qt::LeftButton, at(5, 5));
    const QImage drawn = window->canvas().canvasImage();
    find<QAction>("mnuLcdView")->trigger();
    QApplication::setActiveWindow(window);
    const QStringList held{controlName(Control::Canvas),
                           controlName(Control::ClearCanvas),
                           controlName(Control::Header),
                           controlName(Control::TransmitText),
                           controlName(Control::OutputText),
                           controlName(Control::PortButton),
                           controlName(Control::PicBuffer),
                           controlName(Control::XmitDelay),
                           controlName(Control::EepromTarget),
                           controlName(Control::PasteAndSend),
                           "lcdCanvas"};
    pasteAndSendWhile([&] {
        for (const QString &name : held)
            QVERIFY2(!find<QWidget>(name.toLatin1().constData())->isEnabled(), qPrintable(name));
        QVERIFY(find<QWidget>(Control::Stop)->isEnabled());
        QVERIFY(find<QWidget>(Control::CopyText)->isEnabled()); // Copy changes nothing
        click(Control::ClearCanvas);                            // Clear
        input::click(find<QWidget>(Control::Canvas), Qt::LeftButton, at(50, 30));
        input::click(find<QWidget>("lcdCanvas"), Qt::LeftButton, {40, 40});
        // Letters only: a space would press Stop, which has the focus.
        input::type(find<QLineEdit>(Control::Header), QStringLiteral("db"));
        input::type(find<QWidget>(Control::TransmitText), QStringLiteral("x"));
    });
    QCOMPARE(port->written(), Pieces.toLatin1()); // the send ran to its end, and nothing else went out
    QTest::qWait(100);
    QCOMPARE(port->written(), Pieces.toLatin1());
    QCOMPARE(window->canvas().canvasImage(), drawn);
    QVERIFY(find<QLineEdit>(Control::Header)->text().isEmpty());
    QVERIFY(prompts->messages.isEmpty());
    // Back as they were: Save of the text was disabled before and stays so.
    for (const QString &name : held)
        QVERIFY2(find<QWidget>(name.toLatin1().constData())->isEnabled(), qPrintable(name));
    QVERIFY(!find<QWidget>(Control::SaveText)->isEnabled());
}

void TestWindowSending::closingStopsTheSendFirst()
{
    click(Control::PasteAndSend);
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

VOXCEL_TEST_MAIN(TestWindowSending)
#include "test_window_sending.moc"
