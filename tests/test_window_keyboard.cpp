// The keyboard, the focus after a command and the one-line lists, driven
// through the real main window.
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
    const QStringList expected{"Option1_0", "List1",     "cmdcomm",   "btnsize",   "Combo1",    "Command7",
                               "Command6",  "Command8",  "Command9",  "Command10", "Command5",  "Check1",
                               "Text1",     "Text2",     "txthead",   "txtfrmt",   "txtfoot",   "txtDelim",
                               "Text4",     "Option2_0", "List2",     "List3",     "xmitdelay", "cmdApply",
                               "Text3",     "Command11", "Command13", "Command14"};
    const QStringList before = texts();
    find<QWidget>("Option1_0")->setFocus(Qt::TabFocusReason);
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
    find<QLineEdit>("txtfrmt")->clear();
    find<QLineEdit>("txtDelim")->clear();
    find<QLineEdit>("xmitdelay")->setText(QStringLiteral("0"));
    auto *result = find<QLabel>("sendResult");
    for (int round = 1; round <= 2; ++round) {
        find<QWidget>("Command9")->setFocus(Qt::TabFocusReason);
        input::key(window, Qt::Key_Space);   // Convert: the next step is Reformat
        QCOMPARE(result->text(), QString()); // the last send's result goes with it
        QCOMPARE(QApplication::focusWidget(), find<QWidget>("Command15"));
        input::key(window, Qt::Key_Space); // Reformat disables itself and enables Send
        QTRY_COMPARE(QApplication::focusWidget(), find<QWidget>("Command16"));
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

    QTest::newRow("buffer: down arrow twice") << "List2"
                                              << "arrow" << 2 << "128"
                                              << "Buffer:128";
    QTest::newRow("buffer: up arrow past the top") << "List2"
                                                   << "arrow" << -9 << "2"
                                                   << "Buffer:2";
    QTest::newRow("buffer: wheel down once") << "List2"
                                             << "wheel" << 1 << "64"
                                             << "Buffer:64";
    QTest::newRow("delay: wheel up once") << "List3"
                                          << "wheel" << -1 << "5"
                                          << "Delay:5";
    QTest::newRow("delay: arrow keys") << "List3"
                                       << "key" << 3 << "25"
                                       << "Delay:25";
    QTest::newRow("settings: down arrow from nothing chosen") << "List1"
                                                              << "arrow" << 1 << "2400,n,8,1"
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
        QTRY_COMPARE(find<QLabel>("Label2")->text(), box->currentItem()->text()); // the session answers
        return;
    }
    click("cmdApply");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages.first().split(QStringLiteral("\n\r")).contains(applied),
             qPrintable(prompts->messages.first()));
}

QTEST_MAIN(TestWindowKeyboard)
#include "test_window_keyboard.moc"
