// Reformat For Output and the text output window's commands, driven
// through the real main window.
#include "app/canvas_view.h"
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
    click("Command9");
    const QString good = outputText();
    click("Check1");
    auto *startAddressEdit = find<QLineEdit>("eeprom");
    startAddressEdit->setText(QStringLiteral("zz"));
    click("Command9");
    QCOMPARE(prompts->messages, QStringList({"Conversion Error - Check settings"}));
    QVERIFY(outputText().isEmpty());
    QCOMPARE(startAddressEdit->text(), QStringLiteral("zz"));
    QVERIFY(find<QPushButton>("Command15")->isEnabled());
    QVERIFY(find<QPushButton>("Command12")->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());
    // The last good text stays for Restore; no prefix is left for Reformat.
    click("Command14");
    QCOMPARE(outputText(), good);
    find<QLineEdit>("txtfrmt")->clear();
    find<QLineEdit>("txtDelim")->clear();
    click("Command15");
    QCOMPARE(prompts->messages.last(), QStringLiteral("Conversion Error - Check settings"));
}

void TestWindowOutputText::reformatEveryBufferSizeLosesNothing()
{
    find<QLineEdit>("txtfrmt")->clear();
    find<QLineEdit>("txtDelim")->clear();
    input::click(find<CanvasView>("Picture1"), Qt::LeftButton, at(127, 63));
    auto *picBufferList = find<QListWidget>("List2");
    for (int row = 0; row < picBufferList->count(); ++row) {
        picBufferList->setCurrentRow(row);
        const int n = picBufferList->item(row)->text().toInt();
        click("Command9");
        const QString digits = outputText();
        QCOMPARE(digits.size(), 2048);
        click("Command15");
        const QString sent = outputText();
        QCOMPARE(sent.left(10), QStringLiteral("*0") + QString::number(n, 16).toUpper().rightJustified(2, QLatin1Char('0')) + QStringLiteral("00000A"));
        const QString body = sent.mid(10);
        QCOMPARE(body.count(QLatin1Char(']')), 2048 / n);
        QCOMPARE(QString(body).remove(QLatin1Char(']')), digits);
        QVERIFY(body.endsWith(QStringLiteral("80")));
        QVERIFY(find<QPushButton>("Command16")->isEnabled());
        QVERIFY(!find<QPushButton>("Command15")->isEnabled());
    }
}

void TestWindowOutputText::reformatRefusesFormatOrDelimiter()
{
    click("Command9");
    const QString converted = outputText();
    click("Command15");
    QCOMPARE(prompts->messages, QStringList({"No Format or Delimiters allowed\n\rConvert again without them."}));
    QCOMPARE(outputText(), converted);
    QVERIFY(find<QPushButton>("Command15")->isEnabled());
    QVERIFY(!find<QPushButton>("Command16")->isEnabled());

    // Text typed into the window is what gets cut: trimmed and lower-cased.
    find<QLineEdit>("txtfrmt")->clear();
    find<QLineEdit>("txtDelim")->clear();
    find<QPlainTextEdit>("Text3")->setPlainText(QStringLiteral("  AB CD  "));
    click("Command15");
    QCOMPARE(outputText(), QStringLiteral("*02000000A]ab cd"));
}

void TestWindowOutputText::copySaveClearRestore()
{
    QDir::setCurrent(dir->path());
    click("Command9");
    const QString converted = outputText();

    click("Command11");
    QCOMPARE(QGuiApplication::clipboard()->text(), converted);
    QCOMPARE(prompts->messages.last(), QStringLiteral("Text copied to Clipboad"));

    find<QPlainTextEdit>("Text3")->setPlainText(QStringLiteral("  ") + converted + QStringLiteral(" "));
    click("Command12");  // the default answer, relative to the current folder
    QCOMPARE(prompts->asked.last(), QStringLiteral("Save Hex File|Enter File Name and Path|test.asm"));
    QFile saved(QStringLiteral("test.asm"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), converted.toLatin1() + "\r\n");

    click("Command13");
    QVERIFY(outputText().isEmpty());
    QVERIFY(!find<QPushButton>("Command12")->isEnabled());

    click("Command14");
    QCOMPARE(outputText(), converted);
    QVERIFY(find<QPushButton>("Command12")->isEnabled());

    prompts->answers.enqueue(QString());  // cancelled: nothing written, nothing shown
    const int shown = prompts->messages.size();
    click("Command12");
    QCOMPARE(prompts->messages.size(), shown);
}

void TestWindowOutputText::textSaveFailureKeepsTheOldFile()
{
    click("Command9");
    prompts->answers.enqueue(path("missing/dir/test.asm"));
    click("Command12");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("File Save Error - ")));

    // A folder in the way of the name: the save fails, the folder stays.
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("taken")));
    prompts->answers.enqueue(path("taken"));
    click("Command12");
    QCOMPARE(prompts->messages.size(), 2);
    QVERIFY(QFileInfo(path("taken")).isDir());
}

void TestWindowOutputText::noTransmissionWithoutItsPrefix()
{
    find<QLineEdit>("txtfrmt")->clear();
    find<QLineEdit>("txtDelim")->clear();
    auto *startAddressEdit = find<QLineEdit>("eeprom");
    // A Convert that failed on the start address, and a Clear then Restore,
    // both leave digits without a prefix.
    for (const char *how : {"failed convert", "clear and restore"}) {
        click("Command9");
        if (QByteArray(how) == "failed convert") {
            click("Check1");
            startAddressEdit->setText(QStringLiteral("zz"));
            click("Command9");
            click("Check1");
            click("Command14");
        } else {
            click("Command13");
            click("Command14");
        }
        prompts->messages.clear();
        const QString shown = outputText();
        click("Command15");
        QCOMPARE(prompts->messages, QStringList({"Conversion Error - Check settings"}));
        QCOMPARE(outputText(), shown);
        QVERIFY(!find<QPushButton>("Command16")->isEnabled());
    }
}

QTEST_MAIN(TestWindowOutputText)
#include "test_window_output_text.moc"
