// Reformat For Output and the text output window's commands, driven
// through the real main window.
#include "app/canvas_view.h"
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

class TestWindowOutputText : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void convertFailsCleanlyOnABadAddress();
    void reformatEveryBufferSizeLosesNothing();
    void reformatRefusesFormatOrDelimiter();
    void copySaveClearRestore();
    void textSaveFailureKeepsTheOldFile();
    void noTransmissionWithoutItsPrefix();
};

void TestWindowOutputText::convertFailsCleanlyOnABadAddress()
{
    click(Control::Convert);
    const QString good = outputText();
    click(Control::EepromTarget);
    auto *startAddressEdit = find<QLineEdit>(Control::StartAddress);
    startAddressEdit->setText(QStringLiteral("zz"));
    click(Control::Convert);
    QCOMPARE(prompts->messages, QStringList({"Conversion Error - Check settings"}));
    QVERIFY(outputText().isEmpty());
    QCOMPARE(startAddressEdit->text(), QStringLiteral("zz"));
    QVERIFY(find<QPushButton>(Control::Reformat)->isEnabled());
    QVERIFY(find<QPushButton>(Control::SaveText)->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
    // The last good text stays for Restore; no prefix is left for Reformat.
    click(Control::RestoreText);
    QCOMPARE(outputText(), good);
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    click(Control::Reformat);
    QCOMPARE(prompts->messages.last(), QStringLiteral("Conversion Error - Check settings"));
}

void TestWindowOutputText::reformatEveryBufferSizeLosesNothing()
{
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    input::click(find<CanvasView>(Control::Canvas), Qt::LeftButton, at(127, 63));
    auto *picBufferList = find<QListWidget>(Control::PicBuffer);
    for (int row = 0; row < picBufferList->count(); ++row) {
        picBufferList->setCurrentRow(row);
        const int n = picBufferList->item(row)->text().toInt();
        click(Control::Convert);
        const QString digits = outputText();
        QCOMPARE(digits.size(), 2048);
        click(Control::Reformat);
        const QString sent = outputText();
        QCOMPARE(sent.left(10), QStringLiteral("*0") +
                                    QString::number(n, 16).toUpper().rightJustified(2, QLatin1Char('0')) +
                                    QStringLiteral("00000A"));
        const QString body = sent.mid(10);
        QCOMPARE(body.count(QLatin1Char(']')), 2048 / n);
        QCOMPARE(QString(body).remove(QLatin1Char(']')), digits);
        QVERIFY(body.endsWith(QStringLiteral("80")));
        QVERIFY(find<QPushButton>(Control::SendToLcd)->isEnabled());
        QVERIFY(!find<QPushButton>(Control::Reformat)->isEnabled());
    }
}

void TestWindowOutputText::reformatRefusesFormatOrDelimiter()
{
    click(Control::Convert);
    const QString converted = outputText();
    click(Control::Reformat);
    QCOMPARE(prompts->messages, QStringList({"No Format or Delimiters allowed\n\rConvert again without them."}));
    QCOMPARE(outputText(), converted);
    QVERIFY(find<QPushButton>(Control::Reformat)->isEnabled());
    QVERIFY(!find<QPushButton>(Control::SendToLcd)->isEnabled());

    // Text typed into the window is what gets cut: trimmed and lower-cased.
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    find<QPlainTextEdit>(Control::OutputText)->setPlainText(QStringLiteral("  AB CD  "));
    click(Control::Reformat);
    QCOMPARE(outputText(), QStringLiteral("*02000000A]ab cd"));
}

void TestWindowOutputText::copySaveClearRestore()
{
    QDir::setCurrent(dir->path());
    click(Control::Convert);
    const QString converted = outputText();

    click(Control::CopyText);
    QCOMPARE(QGuiApplication::clipboard()->text(), converted);
    QCOMPARE(prompts->messages.last(), QStringLiteral("Text copied to Clipboad"));

    find<QPlainTextEdit>(Control::OutputText)->setPlainText(QStringLiteral("  ") + converted + QStringLiteral(" "));
    click(Control::SaveText); // the default answer, relative to the current folder
    QCOMPARE(prompts->asked.last(), QStringLiteral("Save Hex File|Enter File Name and Path|test.asm"));
    QFile saved(QStringLiteral("test.asm"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), converted.toLatin1() + "\r\n");

    click(Control::ClearText);
    QVERIFY(outputText().isEmpty());
    QVERIFY(!find<QPushButton>(Control::SaveText)->isEnabled());

    click(Control::RestoreText);
    QCOMPARE(outputText(), converted);
    QVERIFY(find<QPushButton>(Control::SaveText)->isEnabled());

    prompts->answers.enqueue(QString()); // cancelled: nothing written, nothing shown
    const int shown = prompts->messages.size();
    click(Control::SaveText);
    QCOMPARE(prompts->messages.size(), shown);
}

void TestWindowOutputText::textSaveFailureKeepsTheOldFile()
{
    click(Control::Convert);
    prompts->answers.enqueue(path("missing/dir/test.asm"));
    click(Control::SaveText);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("File Save Error - ")));

    // A folder in the way of the name: the save fails, the folder stays.
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("taken")));
    prompts->answers.enqueue(path("taken"));
    click(Control::SaveText);
    QCOMPARE(prompts->messages.size(), 2);
    QVERIFY(QFileInfo(path("taken")).isDir());
}

void TestWindowOutputText::noTransmissionWithoutItsPrefix()
{
    find<QLineEdit>(Control::Format)->clear();
    find<QLineEdit>(Control::Delimiter)->clear();
    auto *startAddressEdit = find<QLineEdit>(Control::StartAddress);
    // A Convert that failed on the start address, and a Clear then Restore,
    // both leave digits without a prefix.
    for (const char *how : {"failed convert", "clear and restore"}) {
        click(Control::Convert);
        if (QByteArray(how) == "failed convert") {
            click(Control::EepromTarget);
            startAddressEdit->setText(QStringLiteral("zz"));
            click(Control::Convert);
            click(Control::EepromTarget);
            click(Control::RestoreText);
        } else {
            click(Control::ClearText);
            click(Control::RestoreText);
        }
        prompts->messages.clear();
        const QString shown = outputText();
        click(Control::Reformat);
        QCOMPARE(prompts->messages, QStringList({"Conversion Error - Check settings"}));
        QCOMPARE(outputText(), shown);
        QVERIFY(!find<QPushButton>(Control::SendToLcd)->isEnabled());
    }
}

VOXCEL_TEST_MAIN(TestWindowOutputText)
#include "test_window_output_text.moc"
