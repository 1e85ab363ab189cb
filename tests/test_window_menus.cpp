// The menu bar of the main window: Open, Exit, About and Help.
#include "support/test_main.h"
#include "support/window_fixture.h"
#include "voxcel_version.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestWindowMenus : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void openAppendsTheFieldsToTheTransmitWindow();
    void openFailuresAndCancel();
    void exitClosesAnOpenPort();
    void aboutIsOneBoxAndLoadsAgainAfterClosing();
    void helpIsOneWindowWithTheHelpText();

private:
    void trigger(const char *name) { window->findChild<QAction *>(QLatin1String(name))->trigger(); }
    QPlainTextEdit *transmitText() const
    {
        return window->findChild<QPlainTextEdit *>(QLatin1String(controlName(Control::TransmitText)));
    }
    QString writeFile(const QByteArray &content)
    {
        const QString name = dir->filePath(QStringLiteral("file%1.txt").arg(++files));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(name));
        file.write(content);
        return name;
    }

    int files = 0;
};

void TestWindowMenus::init()
{
    openWindow();
}

void TestWindowMenus::cleanup()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top != window && top->isVisible())
            top->close();
    closeWindow();
}

void TestWindowMenus::openAppendsTheFieldsToTheTransmitWindow()
{
    openPort();
    transmitText()->setPlainText(QStringLiteral("before:"));
    prompts->fileNames.enqueue(writeFile("12,34\r\n  56\n\"7,8\"\n"));
    trigger("mnuOpen");
    QCOMPARE(prompts->fileDialogs, QStringList({"LCD File to Open"}));
    QCOMPARE(transmitText()->toPlainText(), QStringLiteral("before:1234567,8"));
    QVERIFY(prompts->messages.isEmpty());
    QTest::qWait(100);
    QVERIFY(port->written().isEmpty()); // nothing goes to the PIC

    // Bytes the box cannot show arrive visible, nothing is lost.
    prompts->fileNames.enqueue(writeFile(QByteArray("a\0b", 3)));
    trigger("mnuOpen");
    QCOMPARE(transmitText()->toPlainText(), QStringLiteral("before:1234567,8a") + QChar(0x2400) + QStringLiteral("b"));

    prompts->fileNames.enqueue(writeFile(""));
    trigger("mnuOpen");
    QVERIFY(prompts->messages.isEmpty());
}

void TestWindowMenus::openFailuresAndCancel()
{
    transmitText()->setPlainText(QStringLiteral("kept"));
    trigger("mnuOpen"); // cancelled: no name
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(transmitText()->toPlainText(), QStringLiteral("kept"));

    prompts->fileNames.enqueue(dir->filePath(QStringLiteral("missing.txt")));
    trigger("mnuOpen");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages.first().startsWith(QStringLiteral("File Open Error - ")));
    QVERIFY(prompts->messages.first().size() > 18);
    QCOMPARE(transmitText()->toPlainText(), QStringLiteral("kept"));

    // A FIFO is never opened: nobody may ever write to it.
    const QString fifo = dir->filePath(QStringLiteral("fifo.txt"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    prompts->fileNames.enqueue(fifo);
    trigger("mnuOpen");
    QVERIFY(prompts->messages.last().startsWith(QStringLiteral("File Open Error - ")));
}

void TestWindowMenus::exitClosesAnOpenPort()
{
    openPort();
    trigger("mnuExit");
    QTRY_VERIFY(!port->isOpen());
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(prompts->confirmations.isEmpty());
}

void TestWindowMenus::aboutIsOneBoxAndLoadsAgainAfterClosing()
{
    trigger("mnuAbout");
    trigger("mnuAbout");
    QList<QDialog *> boxes = window->findChildren<QDialog *>(QStringLiteral("frmAbout"));
    QCOMPARE(boxes.size(), 1);
    QDialog *about = boxes.first();
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Voxcel"));

    about->findChild<QLabel *>(QStringLiteral("lblVersion"))->setText(QStringLiteral("changed"));
    input::click(about->findChild<QWidget *>(QStringLiteral("cmdOK")));
    QTRY_VERIFY(window->findChildren<QDialog *>(QStringLiteral("frmAbout")).isEmpty());

    trigger("mnuAbout");
    boxes = window->findChildren<QDialog *>(QStringLiteral("frmAbout"));
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first()->findChild<QLabel *>(QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Version " VOXCEL_VERSION));
}

void TestWindowMenus::helpIsOneWindowWithTheHelpText()
{
    trigger("mnuHelp");
    trigger("mnuHelp");
    const QList<QWidget *> helps = window->findChildren<QWidget *>(QStringLiteral("frmHelp"));
    QCOMPARE(helps.size(), 1);
    QWidget *help = helps.first();
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("Voxcel Help"));
    const QString shown = help->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText();
    const QStringList lines = shown.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.at(11).isEmpty());
    QCOMPARE(lines.first(), QStringLiteral("Some Brief Beta Instructions"));
    QVERIFY(lines.last().startsWith(QStringLiteral("Any comments and or suggestions are welcome! - ")));
    // The main window stays usable while the help is open.
    QVERIFY(!QApplication::activeModalWidget());
}

VOXCEL_TEST_MAIN(TestWindowMenus)
#include "test_window_menus.moc"
