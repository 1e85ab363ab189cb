// The keyboard, the focus after a command and the one-line lists, driven
// through the real main window.
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QToolButton>
#include <QWheelEvent>

class TestWindowKeyboard : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void tabWalksEveryControlInReadingOrder();
    void spaceWalksTheStepsAndTheResultStaysUntilTheNextCommand();
    void listsChooseWhatTheyShow_data();
    void listsChooseWhatTheyShow();

private:
    QStringList texts() const
    {
        QStringList all;
        for (const auto *box : window->findChildren<QPlainTextEdit *>())
            all << box->toPlainText();
        for (const auto *line : window->findChildren<QLineEdit *>())
            all << line->text();
        return all;
    }
};

void TestWindowKeyboard::tabWalksEveryControlInReadingOrder()
{
    // Disabled controls (the start address, Paste and Send, Save, Reformat,
    // Send) are passed over until they are enabled.
    const QStringList expected{
        controlName(Control::Com1),        controlName(Control::LineSettings), controlName(Control::PortButton),
        controlName(Control::DisplaySize), controlName(Control::PenSize),      controlName(Control::Draw),
        controlName(Control::Erase),       controlName(Control::SavePicture),  controlName(Control::Convert),
        controlName(Control::LoadPicture), controlName(Control::ClearCanvas),  controlName(Control::EepromTarget),
        controlName(Control::ReceiveText), controlName(Control::TransmitText), controlName(Control::Header),
        controlName(Control::Format),      controlName(Control::Footer),       controlName(Control::Delimiter),
        controlName(Control::WaitChars),   controlName(Control::Vertical),     controlName(Control::PicBuffer),
        controlName(Control::PicDelay),    controlName(Control::XmitDelay),    controlName(Control::ApplySettings),
        controlName(Control::OutputText),  controlName(Control::CopyText),     controlName(Control::ClearText),
        controlName(Control::RestoreText)};
    const QStringList before = texts();
    find<QWidget>(Control::Com1)->setFocus(Qt::TabFocusReason);
    QStringList walked;
    for (int i = 0; i < expected.size(); ++i) {
        walked << QApplication::focusWidget()->objectName();
        input::key(window, Qt::Key_Tab);
    }
    QCOMPARE(walked, expected);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.first()); // round the window and back
    input::key(window, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.last());
    QCOMPARE(texts(), before); // no tab character typed anywhere
}

void TestWindowKeyboard::spaceWalksTheStepsAndTheResultStaysUntilTheNextCommand()
{
    openPort();
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    find<QLineEdit>(Control::XmitDelay)->setText(QStringLiteral("0"));
    auto *result = find<QLabel>(Control::SendResult);
    for (int round = 1; round <= 2; ++round) {
        find<QWidget>(Control::Convert)->setFocus(Qt::TabFocusReason);
        input::key(window, Qt::Key_Space);   // Convert: the next step is Reformat
        QCOMPARE(result->text(), QString()); // the last send's result goes with it
        QCOMPARE(QApplication::focusWidget(), find<QWidget>(Control::Reformat));
        input::key(window, Qt::Key_Space); // Reformat disables itself and enables Send
        QTRY_COMPARE(QApplication::focusWidget(), find<QWidget>(Control::SendToLcd));
        input::key(window, Qt::Key_Space);
        QTRY_VERIFY2(QRegularExpression(QStringLiteral("^Sent 2122 characters in \\d+\\.\\d s$"))
                         .match(result->text())
                         .hasMatch(),
                     qPrintable(result->text()));
        QVERIFY(result->isVisible());
    }
}

void TestWindowKeyboard::listsChooseWhatTheyShow_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("steps"); // positive: down the list
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("applied"); // the line Apply reports; empty: Apply is not asked

    QTest::newRow("buffer: down arrow twice") << controlName(Control::PicBuffer) << "arrow" << 2 << "128"
                                              << "Buffer:128";
    QTest::newRow("buffer: up arrow past the top") << controlName(Control::PicBuffer) << "arrow" << -9 << "2"
                                                   << "Buffer:2";
    QTest::newRow("buffer: wheel down once") << controlName(Control::PicBuffer) << "wheel" << 1 << "64"
                                             << "Buffer:64";
    QTest::newRow("delay: wheel up once") << controlName(Control::PicDelay) << "wheel" << -1 << "5"
                                          << "Delay:5";
    QTest::newRow("delay: arrow keys") << controlName(Control::PicDelay) << "key" << 3 << "25"
                                       << "Delay:25";
    QTest::newRow("settings: down arrow from nothing chosen")
        << controlName(Control::LineSettings) << "arrow" << 1 << "2400,n,8,1"
        << "";
}

void TestWindowKeyboard::listsChooseWhatTheyShow()
{
    QFETCH(QString, list);
    QFETCH(QString, how);
    QFETCH(int, steps);
    auto *box = find<QListWidget>(list.toLatin1().constData());
    auto *arrow = box->findChild<QToolButton *>(steps > 0 ? QStringLiteral("scrollDown") : QStringLiteral("scrollUp"));
    QVERIFY(arrow && arrow->isVisible());
    for (int i = 0; i < qAbs(steps); ++i) {
        if (how == QLatin1String("arrow")) {
            input::click(arrow);
        } else if (how == QLatin1String("key")) {
            box->setFocus();
            input::key(window, steps > 0 ? Qt::Key_Down : Qt::Key_Up);
        } else {
            const QPoint at = box->viewport()->rect().center();
            QWheelEvent wheel(at, box->viewport()->mapToGlobal(at), {}, {0, steps > 0 ? -120 : 120}, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box->viewport(), &wheel);
        }
    }
    // The entry that shows is the one chosen, and it is the one in effect.
    QVERIFY(box->currentItem());
    QTEST(box->currentItem()->text(), "chosen");
    QCOMPARE(box->itemAt(box->viewport()->rect().topLeft() + QPoint(2, 2)), box->currentItem());
    QFETCH(QString, applied);
    if (applied.isEmpty()) {
        QTRY_COMPARE(find<QLabel>(Control::LineSettingsInForce)->text(),
                     box->currentItem()->text()); // the session answers
        return;
    }
    click(Control::ApplySettings);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages.first().split(QStringLiteral("\n\r")).contains(applied),
             qPrintable(prompts->messages.first()));
}

VOXCEL_TEST_MAIN(TestWindowKeyboard)
#include "test_window_keyboard.moc"
