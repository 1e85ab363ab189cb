// The main window as it comes up, driven by objectName like a user would.
#include "support/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QMenuBar>
#include <QtTest>

class TestWindowStartup : public QObject, private WindowFixture
{
    Q_OBJECT
private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void windowIsFixedAndTitled();
    void captionsAndTexts();
    void listsAndSelections();
    void exactlyTheseAreDisabledAndHidden();
    void colours();
    void maximumLengths();
    void startValuesShowInTheTransmission();
    void menuBarHasFourEntries();
    void listClicksSetBufferAndDelayByPosition();
    void applyShowsTheSettings();
    void sizeToggleTwiceRestoresTheView();
    void clearKeepsPenColourAndMode();
    void prefixReadsTheAddressBoxAndLeavesItAlone();

private:
    // Convert and Reformat For Output with empty Format and Delimiter: the
    // transmission text, which shows the PIC settings in force.
    QString transmission()
    {
        find<QLineEdit>("txtfrmt")->clear();
        find<QLineEdit>("txtDelim")->clear();
        click("Command9");
        click("Command15");
        return outputText();
    }
};

void TestWindowStartup::windowIsFixedAndTitled()
{
    QCOMPARE(window->objectName(), QStringLiteral("Main"));
    QCOMPARE(window->windowTitle(),
             QStringLiteral("Voxcel Graphic LCD ToolBox for the KS0108 Controller Beta Ver 0.8"));
    QCOMPARE(window->centralWidget()->size(), QSize(496, 447));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(find<CanvasView>("Picture1")->size(), QSize(132, 68));
}

void TestWindowStartup::captionsAndTexts()
{
    const QList<QPair<const char *, QString>> buttons{
        {"cmdcomm", "Open"},      {"btnsize", "128x64"},   {"Command7", "Draw"},
        {"Command6", "Erase"},    {"Command5", "Clear"},   {"Command8", "Save"},
        {"Command9", "Convert"},  {"Command10", "Load"},   {"Command4", "Paste and Send "},
        {"cmdApply", "Apply"},    {"Command11", "Copy"},   {"Command12", "Save"},
        {"Command13", "Clear"},   {"Command14", "Restore"}, {"Command15", "Reformat For Output"},
        {"Command16", "Send to LCD"}};
    for (const auto &[name, caption] : buttons)
        QCOMPARE(find<QPushButton>(name)->text(), caption);

    const QList<QPair<const char *, QString>> labels{
        {"Label2", "9600,n,8,1"}, {"comm", "OFF"},          {"lblxy", "X,Y Position"},
        {"Label4", "Pen Size"},   {"Label13", "Load EEprom"}, {"Label12", "Start Addr"},
        {"lblxmit", "Transmit Window Active"}, {"Label3", "Header"}, {"Label5", "Footer"},
        {"lblfrmt", "Format"},    {"Label6", "Delimiter"},   {"Label9", "Wait Chr"},
        {"Label7", "PIC Buffer"}, {"Label8", "PIC Delay(ms)"}, {"Label11", "Xmit Delay(ms)"},
        {"Label10", "Editable Text"}};
    for (const auto &[name, caption] : labels)
        QCOMPARE(find<QLabel>(name)->text(), caption);

    const QList<QPair<const char *, QString>> groups{
        {"Frame6", "Graphics"},      {"Frame10", "I2C Eeprom"},        {"Frame4", "Output Format"},
        {"Frame1", "Byte Matrix"},   {"Frame5", "I/O"},                {"Frame8", "Text Output Window"},
        {"Frame7", "Directly load LCD"}};
    for (const auto &[name, title] : groups) {
        QCOMPARE(find<QGroupBox>(name)->title(), title);
        QVERIFY(find<QGroupBox>(name)->isFlat());
    }

    const QList<QPair<const char *, QString>> boxes{
        {"eeprom", "0000"}, {"txthead", ""}, {"txtfoot", ""}, {"txtfrmt", "$"},
        {"txtDelim", ","},  {"Text4", "]"},  {"xmitdelay", "20"}};
    for (const auto &[name, text] : boxes)
        QCOMPARE(find<QLineEdit>(name)->text(), text);

    QCOMPARE(find<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("Serial Input from PIC\n"));
    QVERIFY(find<QPlainTextEdit>("Text2")->toPlainText().isEmpty());
    QVERIFY(find<QPlainTextEdit>("Text3")->toPlainText().isEmpty());

    QCOMPARE(find<QRadioButton>("Option1_0")->text(), QStringLiteral("Com1"));
    QVERIFY(find<QRadioButton>("Option1_0")->isChecked());
    QCOMPARE(find<QRadioButton>("Option1_1")->text(), QStringLiteral("Com2"));
    QVERIFY(!find<QRadioButton>("Option1_1")->isChecked());
    QCOMPARE(find<QRadioButton>("Option2_0")->text(), QStringLiteral("Vertical"));
    QVERIFY(find<QRadioButton>("Option2_0")->isChecked());
    QCOMPARE(find<QRadioButton>("Option2_1")->text(), QStringLiteral("Horizontal"));
    QVERIFY(!find<QCheckBox>("Check1")->isChecked());
}

void TestWindowStartup::listsAndSelections()
{
    auto entries = [](QListWidget *list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    };
    auto *lineSettingsList = find<QListWidget>("List1");
    QCOMPARE(entries(lineSettingsList), QStringList({"9600,n,8,1", "2400,n,8,1", "1200,n,8,1"}));
    QVERIFY(lineSettingsList->selectedItems().isEmpty());
    QCOMPARE(lineSettingsList->currentRow(), -1);

    auto *picBufferList = find<QListWidget>("List2");
    QCOMPARE(entries(picBufferList), QStringList({"2", "4", "8", "16", "32", "64", "128"}));
    QCOMPARE(picBufferList->currentItem()->text(), QStringLiteral("32"));
    auto *picDelayList = find<QListWidget>("List3");
    QCOMPARE(entries(picDelayList), QStringList({"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "100"}));
    QCOMPARE(picDelayList->currentItem()->text(), QStringLiteral("10"));

    // One line high: the chosen entry is the one in view.
    for (QListWidget *list : {lineSettingsList, picBufferList, picDelayList})
        QVERIFY(list->height() <= 24);
    QVERIFY(picBufferList->visualItemRect(picBufferList->currentItem()).intersects(picBufferList->viewport()->rect()));

    auto *combo = find<QComboBox>("Combo1");
    QVERIFY(!combo->isEditable());
    QStringList sizes;
    for (int i = 0; i < combo->count(); ++i)
        sizes << combo->itemText(i);
    QCOMPARE(sizes, QStringList({"x1", "x2", "x3", "x4", "x5", "x10"}));
    QCOMPARE(combo->currentIndex(), 0);
}

void TestWindowStartup::exactlyTheseAreDisabledAndHidden()
{
    QStringList disabled;
    QStringList hidden;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        if (!widget->isEnabledTo(window))
            disabled << name;
        if (widget->isHidden())
            hidden << name;
    }
    disabled.sort();
    hidden.sort();
    QCOMPARE(disabled, QStringList({"Command12", "Command15", "Command16", "Command4", "eeprom"}));
    // The progress of a transmission and its Stop show only while one runs.
    QCOMPARE(hidden, QStringList({"cmdStop", "lblxmit", "lblxy", "mnuEdit", "mnuPort", "mnuTerminal", "mnuView",
                                  "sendProgress", "sendProgressText"}));
    QVERIFY(!find<QTimer>("Timer1")->isActive());
    QCOMPARE(find<QTimer>("Timer1")->interval(), 50);
}

void TestWindowStartup::colours()
{
    auto background = [this](const char *name, QPalette::ColorRole role = QPalette::Window) {
        return find<QWidget>(name)->palette().color(role);
    };
    QCOMPARE(background("comm"), QColor(192, 0, 0));
    QCOMPARE(background("cmdcomm", QPalette::Button), QColor(255, 128, 0));
    QCOMPARE(background("Text1", QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(background("Text1", QPalette::Text), QColor(0, 0, 128));
    QCOMPARE(background("Text2", QPalette::Text), QColor(128, 0, 0));
    QCOMPARE(background("lblxmit", QPalette::WindowText), QColor(128, 255, 128));
    QCOMPARE(background("Option1_0", QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(background("Option2_1", QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(background("Label7", QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(background("Frame6"), QColor(128, 128, 128));
    QCOMPARE(find<QWidget>("eeprom")->palette().color(QPalette::Disabled, QPalette::Base), QColor(128, 128, 128));
    QVERIFY(find<QWidget>("Option1_0")->font().bold());
    QVERIFY(find<QWidget>("btnsize")->font().bold());
    QCOMPARE(find<QWidget>("Label13")->font().pointSizeF(), 6.75);
}

void TestWindowStartup::maximumLengths()
{
    auto *startAddressEdit = find<QLineEdit>("eeprom");
    QCOMPARE(startAddressEdit->maxLength(), 4);
}

void TestWindowStartup::startValuesShowInTheTransmission()
{
    QCOMPARE(find<CanvasView>("Picture1")->heightTwips(), 1020.0);
    QCOMPARE(window->canvas().penSize(), 1);
    click("Command14"); // Restore: nothing converted yet
    QVERIFY(outputText().isEmpty());
    // LCD target, buffer 32, start address 0, PIC delay 10, wait text "]",
    // the bytes page by page.
    const QString text = transmission();
    QCOMPARE(text.size(), 2122);
    QVERIFY2(text.startsWith(QStringLiteral("*02000000A]")), qPrintable(text.left(20)));
    QCOMPARE(text.mid(10, 34).lastIndexOf(QLatin1Char(']')), 33);
    QCOMPARE(find<QLabel>("comm")->text(), QStringLiteral("OFF"));
}

void TestWindowStartup::menuBarHasFourEntries()
{
    QStringList texts;
    for (const char *name : {"mnuExit", "mnuOpen", "mnuAbout", "mnuHelp"}) {
        auto *action = window->findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action, name);
        QVERIFY(!action->menu());
        texts << action->text();
    }
    QCOMPARE(texts, QStringList({"E&xit", "&Open", "&About", "&Help"}));
    // Every entry in sight on the fixed window's bar, none behind its overflow button.
    QMenuBar *bar = window->menuBar();
    QVERIFY(bar->actionGeometry(bar->actions().constLast()).right() < bar->width());
}

void TestWindowStartup::listClicksSetBufferAndDelayByPosition()
{
    auto *picBufferList = find<QListWidget>("List2");
    auto *picDelayList = find<QListWidget>("List3");
    picBufferList->setFocus(); // the keys go where the focus is
    input::key(window, Qt::Key_Down);
    QCOMPARE(transmission().left(10), QStringLiteral("*04000000A"));
    picBufferList->setFocus();
    input::key(window, Qt::Key_Down);
    QCOMPARE(transmission().left(10), QStringLiteral("*08000000A"));
    picBufferList->setCurrentRow(0);
    QCOMPARE(transmission().left(10), QStringLiteral("*00200000A"));
    picDelayList->setCurrentRow(10); // the delay gets one leading zero, whatever its length
    QCOMPARE(transmission().left(11), QStringLiteral("*0020000064"));
    picDelayList->setFocus();
    input::key(window, Qt::Key_Up);
    QCOMPARE(transmission().left(11), QStringLiteral("*0020000032"));
}

void TestWindowStartup::applyShowsTheSettings()
{
    find<QLineEdit>("Text4")->setText(QStringLiteral(" ]"));
    find<QListWidget>("List2")->setCurrentRow(3);
    click("cmdApply");
    QCOMPARE(prompts->messages,
             QStringList({"Settings Now\n\rBuffer:16\n\rDelay:10\n\rWait Char(s):  ]\n\rXmit Delay:20"}));
    // Pieces of 16 digits, each behind the wait text as typed.
    QCOMPARE(transmission().mid(10, 38), QStringLiteral(" ]0000000000000000 ]0000000000000000 ]"));
}

void TestWindowStartup::sizeToggleTwiceRestoresTheView()
{
    auto *toggle = find<QPushButton>("btnsize");
    auto *view = find<CanvasView>("Picture1");
    input::click(toggle);
    QCOMPARE(toggle->text(), QStringLiteral("128x32"));
    QCOMPARE(view->heightTwips(), 510.0);
    QCOMPARE(view->scaleHeight(), 32);
    QCOMPARE(view->width(), 132);
    // The bottom of the halved box is row 31, not 63.
    QVERIFY(view->toCanvasUnits(QPointF(2, view->height() - 3)).y() < 32);

    input::click(toggle);
    QCOMPARE(toggle->text(), QStringLiteral("128x64"));
    QCOMPARE(view->heightTwips(), 1020.0);
    QCOMPARE(view->scaleHeight(), 64);
    // One canvas pixel per screen pixel.
    QCOMPARE(view->toCanvasUnits(QPointF(2 + 17, 2 + 40)), QPointF(17, 40));
}

void TestWindowStartup::clearKeepsPenColourAndMode()
{
    find<QComboBox>("Combo1")->setCurrentIndex(5);
    QCOMPARE(window->canvas().penSize(), 10);
    click("btnsize");
    click("Command5");
    QCOMPARE(window->canvas().penSize(), 10);
    QCOMPARE(find<QPushButton>("btnsize")->text(), QStringLiteral("128x32"));
    QVERIFY(prompts->messages.isEmpty());
    find<QComboBox>("Combo1")->setCurrentIndex(0);
    QCOMPARE(window->canvas().penSize(), 1);
}

void TestWindowStartup::prefixReadsTheAddressBoxAndLeavesItAlone()
{
    auto *startAddressEdit = find<QLineEdit>("eeprom");
    input::click(find<QCheckBox>("Check1"));
    startAddressEdit->setText(QStringLiteral("1.5"));
    QCOMPARE(transmission().left(10), QStringLiteral("*12000020A"));
    QCOMPARE(startAddressEdit->text(), QStringLiteral("1.5"));

    startAddressEdit->setText(QStringLiteral("ab"));
    QVERIFY(transmission().isEmpty());
    QCOMPARE(prompts->messages, QStringList({"Conversion Error - Check settings", "Conversion Error - Check settings"}));
    QCOMPARE(startAddressEdit->text(), QStringLiteral("ab"));
}

QTEST_MAIN(TestWindowStartup)
#include "test_window_startup.moc"
