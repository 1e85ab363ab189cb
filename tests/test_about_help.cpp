#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/help_window.h"
#include "app/qt_prompts.h"
#include "serial/pic_settings.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"
#include "voxcel_version.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {
// Deletes the windows closed so far, as the event loop would.
void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int topLevelsNamed(const QString &name)
{
    int count = 0;
    for (const QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name)
            ++count;
    return count;
}

QLabel *label(QWidget *box, const char *name)
{
    auto *found = box->findChild<QLabel *>(QLatin1String(name));
    if (!found)
        qFatal("no label %s", name);
    return found;
}
} // namespace

class TestAboutHelp : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void iconHasBothSizes();
    void aboutBoxLooksAsDesigned();
    void aboutBoxIsOneInstance();
    void closedAboutBoxLoadsAgain();
    void okIsDefaultAndCancel_data();
    void okIsDefaultAndCancel();
    void sysInfo_data();
    void sysInfo();
    void systemInfoProgramIsFirstFoundOnPath();

    void helpTextHasItsFourteenLines();
    void helpWindowShowsHelpText();
    void helpWindowIsOneInstance();
    void messageBoxesShowOneLinePerLineAndTheirTitle();

private:
    ScriptedPrompts prompts;
};

void TestAboutHelp::cleanup()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        widget->close();
    runDeferredDeletes();
    prompts.messages.clear();
}

void TestAboutHelp::iconHasBothSizes()
{
    const QIcon icon = applicationIcon();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(32, 32), QSize(256, 256)}));
}

void TestAboutHelp::aboutBoxLooksAsDesigned()
{
    AboutBox *box = AboutBox::showSingle(nullptr, prompts);
    QCOMPARE(box->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box->windowTitle(), QStringLiteral("About Voxcel"));
    QVERIFY(!box->isModal());
    QCOMPARE(box->size(), QSize(382, 237));
    QCOMPARE(box->minimumSize(), box->maximumSize());
    QVERIFY(!(box->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(box->testAttribute(Qt::WA_DeleteOnClose));

    QVERIFY(!label(box, "picIcon")->pixmap().isNull());
    QCOMPARE(label(box, "lblTitle")->text(), QStringLiteral("Voxcel"));
    QCOMPARE(label(box, "Label4")->text(), QStringLiteral("Beta"));
    QCOMPARE(label(box, "lblVersion")->text(), QStringLiteral("Version " VOXCEL_VERSION));
    const struct
    {
        const char *name;
        qreal points;
        QColor colour;
    } styled[] = {
        {"lblTitle", 13.5, QColor(192, 64, 0)},
        {"Label4", 8.25, QColor(0, 0, 128)},
        {"lblVersion", 8.25, QColor(0, 0, 128)},
    };
    for (const auto &style : styled) {
        QLabel *styledLabel = label(box, style.name);
        QVERIFY(styledLabel->font().bold());
        QCOMPARE(styledLabel->font().pointSizeF(), style.points);
        QCOMPARE(styledLabel->palette().color(QPalette::WindowText), style.colour);
    }

    QLabel *description = label(box, "lblDescription");
    QCOMPARE(description->text(),
             QStringLiteral("Graphic LCD interface to a PIC microcontroller for the Samsung KS0108  controller"));
    QVERIFY(description->alignment() & Qt::AlignHCenter);
    QCOMPARE(description->palette().color(QPalette::WindowText), QColor(Qt::black));
    for (const char *name : {"lblAuthors", "lblCopyright", "lblTrademarks"})
        QVERIFY(!label(box, name)->text().isEmpty());

    // The etched line: grey over white.
    auto *line = box->findChild<QWidget *>(QStringLiteral("Line1"));
    QVERIFY(line);
    const QImage etched = line->grab().toImage();
    QCOMPARE(etched.height(), 2);
    QCOMPARE(QColor(etched.pixel(etched.width() / 2, 0)), QColor(128, 128, 128));
    QCOMPARE(QColor(etched.pixel(etched.width() / 2, 1)), QColor(255, 255, 255));

    auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    auto *sysInfo = box->findChild<QPushButton *>(QStringLiteral("cmdSysInfo"));
    QVERIFY(ok && sysInfo);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(sysInfo->text(), QStringLiteral("&System Info..."));
    QVERIFY(ok->isDefault());
    QVERIFY(sysInfo->y() > ok->y());
}

void TestAboutHelp::aboutBoxIsOneInstance()
{
    QWidget mainWindow;
    AboutBox *first = AboutBox::showSingle(&mainWindow, prompts);
    // A shown box is only brought forward: its load step does not run again.
    label(first, "lblVersion")->setText(QStringLiteral("changed"));
    AboutBox *second = AboutBox::showSingle(&mainWindow, prompts);
    QCOMPARE(second, first);
    QCOMPARE(mainWindow.findChildren<AboutBox *>().size(), 1);
    QCOMPARE(label(second, "lblVersion")->text(), QStringLiteral("changed"));
    QVERIFY(second->isVisible());
}

void TestAboutHelp::closedAboutBoxLoadsAgain()
{
    QPointer<AboutBox> first = AboutBox::showSingle(nullptr, prompts);
    label(first, "lblVersion")->setText(QStringLiteral("changed"));
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    runDeferredDeletes();
    QVERIFY(first.isNull());
    QCOMPARE(topLevelsNamed(QStringLiteral("frmAbout")), 0);

    AboutBox *again = AboutBox::showSingle(nullptr, prompts);
    QVERIFY(again->isVisible());
    QCOMPARE(label(again, "lblVersion")->text(), QStringLiteral("Version " VOXCEL_VERSION));
    QCOMPARE(topLevelsNamed(QStringLiteral("frmAbout")), 1);
}

void TestAboutHelp::okIsDefaultAndCancel_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestAboutHelp::okIsDefaultAndCancel()
{
    QFETCH(int, key);
    QPointer<AboutBox> box = AboutBox::showSingle(nullptr, prompts);
    auto *ok = box->findChild<QPushButton *>(QStringLiteral("cmdOK"));
    bool pressed = false;
    connect(ok, &QPushButton::clicked, this, [&] { pressed = true; });
    QTest::keyClick(box, Qt::Key(key));
    QVERIFY(pressed);
    runDeferredDeletes();
    QVERIFY(box.isNull());
}

void TestAboutHelp::sysInfo_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<bool>("lookupFails");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QStringList>("messages");

    const QStringList unavailable{QStringLiteral("System Information Is Unavailable At This Time")};
    const QString program = QStringLiteral("/usr/bin/hardinfo");
    QTest::newRow("found and started") << program << true << false << QStringList{program} << QStringList();
    QTest::newRow("nothing found") << QString() << true << false << QStringList() << unavailable;
    QTest::newRow("path names no program") << program << false << false << QStringList{program} << unavailable;
    QTest::newRow("look-up fails") << QString() << true << true << QStringList() << unavailable;
}

void TestAboutHelp::sysInfo()
{
    QFETCH(QString, found);
    QFETCH(bool, starts);
    QFETCH(bool, lookupFails);
    QFETCH(QStringList, started);
    QFETCH(QStringList, messages);

    AboutBox *box = AboutBox::showSingle(nullptr, prompts);
    QStringList starting;
    box->setProgramFinder([&] {
        if (lookupFails)
            throw std::runtime_error("empty registry value");
        return found;
    });
    box->setProgramStarter([&](const QString &path) {
        starting << path;
        return starts;
    });
    QTest::mouseClick(box->findChild<QPushButton *>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    runDeferredDeletes();
    QCOMPARE(starting, started);
    QCOMPARE(prompts.messages, messages);
    // The box stays open either way.
    QCOMPARE(topLevelsNamed(QStringLiteral("frmAbout")), 1);
    QVERIFY(box->isVisible());
}

void TestAboutHelp::systemInfoProgramIsFirstFoundOnPath()
{
    const QStringList candidates{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    QStringList asked;
    const auto onlyBAndC = [&](const QString &name) {
        asked << name;
        return name == QLatin1String("a") ? QString() : QStringLiteral("/bin/") + name;
    };
    QCOMPARE(findSystemInfoProgram(candidates, onlyBAndC), QStringLiteral("/bin/b"));
    QCOMPARE(asked, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    QVERIFY(findSystemInfoProgram(candidates, [](const QString &) { return QString(); }).isEmpty());
    QVERIFY(!systemInfoCandidates().isEmpty());
}

void TestAboutHelp::helpTextHasItsFourteenLines()
{
    const QString text = helpText();
    QVERIFY(!text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 14);
    // No bare line breaks: every break is a CR LF.
    QCOMPARE(text.count(QLatin1Char('\n')), 13);
    QCOMPARE(text.count(QLatin1Char('\r')), 13);
    QCOMPARE(lines.at(0), QStringLiteral("Some Brief Beta Instructions"));
    QCOMPARE(lines.at(7), QStringLiteral("7) The menu 'Exit' does exactly that, without any prompts!"));
    QVERIFY(lines.at(11).isEmpty());
    QCOMPARE(lines.at(12), QStringLiteral("There is much tidying up to do - such as the CRLF's in the receive window"));
    QCOMPARE(lines.at(13), QStringLiteral("Any comments and or suggestions are welcome! - voxcel@example.org"));
}

void TestAboutHelp::helpWindowShowsHelpText()
{
    HelpWindow *help = HelpWindow::showSingle(nullptr);
    QCOMPARE(help->objectName(), QStringLiteral("frmHelp"));
    QCOMPARE(help->windowTitle(), QStringLiteral("Voxcel Help"));
    QVERIFY(help->isWindow());
    QCOMPARE(help->size(), QSize(337, 458));
    QVERIFY(help->minimumSize() != help->maximumSize());
    QVERIFY(help->testAttribute(Qt::WA_DeleteOnClose));
    const QPoint offCentre = help->frameGeometry().center() - help->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 1, "the Help window opens centred");

    auto *close = help->findChild<QPushButton *>(QStringLiteral("Command1"));
    auto *text = help->findChild<QPlainTextEdit *>(QStringLiteral("Text1"));
    QVERIFY(close && text);
    QCOMPARE(close->text(), QStringLiteral("&Close"));
    QVERIFY(close->y() < text->y());
    // The whole text fits at the start-up size: no scroll bars until the
    // window is made smaller.
    QVERIFY(!text->verticalScrollBar()->isVisible());
    QVERIFY(!text->horizontalScrollBar()->isVisible());
    QCOMPARE(text->palette().color(QPalette::Base), QColor(192, 192, 192));
    QCOMPARE(text->palette().color(QPalette::Text), QColor(128, 0, 0));
    QVERIFY(text->font().bold());
    QCOMPARE(text->font().pointSizeF(), 8.25);
    QVERIFY(!text->isReadOnly());
    // The box keeps paragraphs, not CR LF pairs.
    QCOMPARE(text->blockCount(), 14);
    QCOMPARE(text->toPlainText(), QString(helpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    // The controls stay where they are when the window grows.
    const QRect before = text->geometry();
    help->resize(600, 700);
    QCOMPARE(text->geometry(), before);

    // Made smaller, the box stays inside the window and scrolls.
    help->resize(200, 150);
    QVERIFY(help->rect().contains(text->geometry()));
    QTRY_VERIFY(text->verticalScrollBar()->isVisible());

    // Esc closes it, as Close does.
    QPointer<HelpWindow> closing = help;
    QTest::keyClick(help, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
    runDeferredDeletes();
    QVERIFY(closing.isNull());
}

void TestAboutHelp::helpWindowIsOneInstance()
{
    QPointer<HelpWindow> first = HelpWindow::showSingle(nullptr);
    first->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->setPlainText(QStringLiteral("edited"));
    QCOMPARE(HelpWindow::showSingle(nullptr), first.data());
    QCOMPARE(topLevelsNamed(QStringLiteral("frmHelp")), 1);
    QCOMPARE(first->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->toPlainText(), QStringLiteral("edited"));

    // Edits are lost with the window: Close destroys it, the next one loads afresh.
    QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    runDeferredDeletes();
    QVERIFY(first.isNull());
    HelpWindow *again = HelpWindow::showSingle(nullptr);
    QCOMPARE(again->findChild<QPlainTextEdit *>(QStringLiteral("Text1"))->blockCount(), 14);
    QCOMPARE(topLevelsNamed(QStringLiteral("frmHelp")), 1);
}

void TestAboutHelp::messageBoxesShowOneLinePerLineAndTheirTitle()
{
    QtPrompts prompts;
    QString shown;
    int width = 0;
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            width = box->width();
            title = box->windowTitle();
            box->done(QMessageBox::Ok);
        }
    });
    prompts.message(applySettingsMessage(32, 10, QStringLiteral("]"), QStringLiteral("20")));
    QCOMPARE(shown, QStringLiteral("Settings Now\nBuffer:32\nDelay:10\nWait Char(s): ]\nXmit Delay:20"));
    QCOMPARE(title, QStringLiteral("Voxcel"));
    // Wide enough that a window manager shows the title in full.
    QVERIFY2(width >= 240, qPrintable(QString::number(width)));
}

VOXCEL_TEST_MAIN(TestAboutHelp)
#include "test_about_help.moc"
