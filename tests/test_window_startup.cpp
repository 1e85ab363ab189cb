// The main window as it comes up, driven by objectName like a user would.
#include "support/test_main.h"
#include "support/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
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
        find<QLineEdit>(Control::Format)->clear();
        find<QLineEdit>(Control::Delimiter)->clear();
        click(Control::Convert);
        click(Control::Reformat);
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
    QCOMPARE(find<CanvasView>(Control::Canvas)->size(), QSize(132, 68));
}

void TestWindowStartup::captionsAndTexts()
{
    const QList<QPair<const char *, QString>> buttons{{controlName(Control::PortButton), "Open"},
                                                      {controlName(Control::DisplaySize), "128x64"},
                                                      {controlName(Control::Draw), "Draw"},
                                                      {controlName(Control::Erase), "Erase"},
                                                      {controlName(Control::ClearCanvas), "Clear"},
                                                      {controlName(Control::SavePicture), "Save"},
                                                      {controlName(Control::Convert), "Convert"},
                                                      {controlName(Control::LoadPicture), "Load"},
                                                      {controlName(Control::PasteAndSend), "Paste and Send "},
                                                      {controlName(Control::ApplySettings), "Apply"},
                                                      {controlName(Control::CopyText), "Copy"},
                                                      {controlName(Control::SaveText), "Save"},
                                                      {controlName(Control::ClearText), "Clear"},
                                                      {controlName(Control::RestoreText), "Restore"},
                                                      {controlName(Control::Reformat), "Reformat For Output"},
                                                      {controlName(Control::SendToLcd), "Send to LCD"}};
    for (const auto &[name, caption] : buttons)
        QCOMPARE(find<QPushButton>(name)->text(), caption);

    const QList<QPair<const char *, QString>> labels{{controlName(Control::LineSettingsInForce), "9600,n,8,1"},
                                                     {controlName(Control::PortIndicator), "OFF"},
                                                     {controlName(Control::CanvasPosition), "X,Y Position"},
                                                     {controlName(Control::PenSizeLabel), "Pen Size"},
                                                     {controlName(Control::EepromLoadLabel), "Load EEprom"},
                                                     {controlName(Control::StartAddressLabel), "Start Addr"},
                                                     {controlName(Control::TransmitActive), "Transmit Window Active"},
                                                     {controlName(Control::HeaderLabel), "Header"},
                                                     {controlName(Control::FooterLabel), "Footer"},
                                                     {controlName(Control::FormatLabel), "Format"},
                                                     {controlName(Control::DelimiterLabel), "Delimiter"},
                                                     {controlName(Control::WaitCharsLabel), "Wait Chr"},
                                                     {controlName(Control::PicBufferLabel), "PIC Buffer"},
                                                     {controlName(Control::PicDelayLabel), "PIC Delay(ms)"},
                                                     {controlName(Control::XmitDelayLabel), "Xmit Delay(ms)"},
                                                     {controlName(Control::OutputTextLabel), "Editable Text"}};
    for (const auto &[name, caption] : labels)
        QCOMPARE(find<QLabel>(name)->text(), caption);

    const QList<QPair<const char *, QString>> groups{{controlName(Control::Graphics), "Graphics"},
                                                     {controlName(Control::Eeprom), "I2C Eeprom"},
                                                     {controlName(Control::OutputFormat), "Output Format"},
                                                     {controlName(Control::ByteMatrix), "Byte Matrix"},
                                                     {controlName(Control::Io), "I/O"},
                                                     {controlName(Control::OutputCommands), "Text Output Window"},
                                                     {controlName(Control::DirectLoad), "Directly load LCD"}};
    for (const auto &[name, title] : groups) {
        QCOMPARE(find<QGroupBox>(name)->title(), title);
        QVERIFY(find<QGroupBox>(name)->isFlat());
    }

    const QList<QPair<const char *, QString>> boxes{
        {controlName(Control::StartAddress), "0000"}, {controlName(Control::Header), ""},
        {controlName(Control::Footer), ""},           {controlName(Control::Format), "$"},
        {controlName(Control::Delimiter), ","},       {controlName(Control::WaitChars), "]"},
        {controlName(Control::XmitDelay), "20"}};
    for (const auto &[name, text] : boxes)
        QCOMPARE(find<QLineEdit>(name)->text(), text);

    QCOMPARE(find<QPlainTextEdit>(Control::ReceiveText)->toPlainText(), QStringLiteral("Serial Input from PIC\n"));
    QVERIFY(find<QPlainTextEdit>(Control::TransmitText)->toPlainText().isEmpty());
    QVERIFY(find<QPlainTextEdit>(Control::OutputText)->toPlainText().isEmpty());

    QCOMPARE(find<QRadioButton>(Control::Com1)->text(), QStringLiteral("Com1"));
    QVERIFY(find<QRadioButton>(Control::Com1)->isChecked());
    QCOMPARE(find<QRadioButton>(Control::Com2)->text(), QStringLiteral("Com2"));
    QVERIFY(!find<QRadioButton>(Control::Com2)->isChecked());
    QCOMPARE(find<QRadioButton>(Control::Vertical)->text(), QStringLiteral("Vertical"));
    QVERIFY(find<QRadioButton>(Control::Vertical)->isChecked());
    QCOMPARE(find<QRadioButton>(Control::Horizontal)->text(), QStringLiteral("Horizontal"));
    QVERIFY(!find<QCheckBox>(Control::EepromTarget)->isChecked());
}

void TestWindowStartup::listsAndSelections()
{
    auto entries = [](QListWidget *list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    };
    auto *lineSettingsList = find<QListWidget>(Control::LineSettings);
    QCOMPARE(entries(lineSettingsList), QStringList({"9600,n,8,1", "2400,n,8,1", "1200,n,8,1"}));
    QVERIFY(lineSettingsList->selectedItems().isEmpty());
    QCOMPARE(lineSettingsList->currentRow(), -1);

    auto *picBufferList = find<QListWidget>(Control::PicBuffer);
    QCOMPARE(entries(picBufferList), QStringList({"2", "4", "8", "16", "32", "64", "128"}));
    QCOMPARE(picBufferList->currentItem()->text(), QStringLiteral("32"));
    auto *picDelayList = find<QListWidget>(Control::PicDelay);
    QCOMPARE(entries(picDelayList), QStringList({"5", "10", "15", "20", "25", "30", "35", "40", "45", "50", "100"}));
    QCOMPARE(picDelayList->currentItem()->text(), QStringLiteral("10"));

    // One line high: the chosen entry is the one in view.
    for (QListWidget *list : {lineSettingsList, picBufferList, picDelayList})
        QVERIFY(list->height() <= 24);
    QVERIFY(picBufferList->visualItemRect(picBufferList->currentItem()).intersects(picBufferList->viewport()->rect()));

    auto *combo = find<QComboBox>(Control::PenSize);
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
    QCOMPARE(disabled, QStringList({controlName(Control::SaveText), controlName(Control::Reformat),
                                    controlName(Control::SendToLcd), controlName(Control::PasteAndSend),
                                    controlName(Control::StartAddress)}));
    // The progress of a transmission and its Stop show only while one runs.
    QCOMPARE(hidden, QStringList({controlName(Control::Stop), controlName(Control::TransmitActive),
                                  controlName(Control::CanvasPosition), "mnuEdit", "mnuPort", "mnuTerminal", "mnuView",
                                  controlName(Control::SendProgress), controlName(Control::SendProgressText)}));
    QVERIFY(!find<QTimer>(Control::ReceivePoll)->isActive());
    QCOMPARE(find<QTimer>(Control::ReceivePoll)->interval(), 50);
}

void TestWindowStartup::colours()
{
    auto background = [this](const char *name, QPalette::ColorRole role = QPalette::Window) {
        return find<QWidget>(name)->palette().color(role);
    };
    QCOMPARE(background(controlName(Control::PortIndicator)), QColor(192, 0, 0));
    QCOMPARE(background(controlName(Control::PortButton), QPalette::Button), QColor(255, 128, 0));
    QCOMPARE(background(controlName(Control::ReceiveText), QPalette::Base), QColor(255, 255, 255));
    QCOMPARE(background(controlName(Control::ReceiveText), QPalette::Text), QColor(0, 0, 128));
    QCOMPARE(background(controlName(Control::TransmitText), QPalette::Text), QColor(128, 0, 0));
    QCOMPARE(background(controlName(Control::TransmitActive), QPalette::WindowText), QColor(128, 255, 128));
    QCOMPARE(background(controlName(Control::Com1), QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(background(controlName(Control::Horizontal), QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(background(controlName(Control::PicBufferLabel), QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(background(controlName(Control::Graphics)), QColor(128, 128, 128));
    QCOMPARE(find<QWidget>(Control::StartAddress)->palette().color(QPalette::Disabled, QPalette::Base),
             QColor(128, 128, 128));
    QVERIFY(find<QWidget>(Control::Com1)->font().bold());
    QVERIFY(find<QWidget>(Control::DisplaySize)->font().bold());
    QCOMPARE(find<QWidget>(Control::EepromLoadLabel)->font().pointSizeF(), 6.75);
}

void TestWindowStartup::maximumLengths()
{
    auto *startAddressEdit = find<QLineEdit>(Control::StartAddress);
    QCOMPARE(startAddressEdit->maxLength(), 4);
}

void TestWindowStartup::startValuesShowInTheTransmission()
{
    QCOMPARE(find<CanvasView>(Control::Canvas)->heightTwips(), 1020.0);
    QCOMPARE(window->canvas().penSize(), 1);
    click(Control::RestoreText); // Restore: nothing converted yet
    QVERIFY(outputText().isEmpty());
    // LCD target, buffer 32, start address 0, PIC delay 10, wait text "]",
    // the bytes page by page.
    const QString text = transmission();
    QCOMPARE(text.size(), 2122);
    QVERIFY2(text.startsWith(QStringLiteral("*02000000A]")), qPrintable(text.left(20)));
    QCOMPARE(text.mid(10, 34).lastIndexOf(QLatin1Char(']')), 33);
    QCOMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("OFF"));
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
    auto *picBufferList = find<QListWidget>(Control::PicBuffer);
    auto *picDelayList = find<QListWidget>(Control::PicDelay);
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
    find<QLineEdit>(Control::WaitChars)->setText(QStringLiteral(" ]"));
    find<QListWidget>(Control::PicBuffer)->setCurrentRow(3);
    click(Control::ApplySettings);
    QCOMPARE(prompts->messages,
             QStringList({"Settings Now\n\rBuffer:16\n\rDelay:10\n\rWait Char(s):  ]\n\rXmit Delay:20"}));
    // Pieces of 16 digits, each behind the wait text as typed.
    QCOMPARE(transmission().mid(10, 38), QStringLiteral(" ]0000000000000000 ]0000000000000000 ]"));
}

void TestWindowStartup::sizeToggleTwiceRestoresTheView()
{
    auto *toggle = find<QPushButton>(Control::DisplaySize);
    auto *view = find<CanvasView>(Control::Canvas);
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
    find<QComboBox>(Control::PenSize)->setCurrentIndex(5);
    QCOMPARE(window->canvas().penSize(), 10);
    click(Control::DisplaySize);
    click(Control::ClearCanvas);
    QCOMPARE(window->canvas().penSize(), 10);
    QCOMPARE(find<QPushButton>(Control::DisplaySize)->text(), QStringLiteral("128x32"));
    QVERIFY(prompts->messages.isEmpty());
    find<QComboBox>(Control::PenSize)->setCurrentIndex(0);
    QCOMPARE(window->canvas().penSize(), 1);
}

void TestWindowStartup::prefixReadsTheAddressBoxAndLeavesItAlone()
{
    auto *startAddressEdit = find<QLineEdit>(Control::StartAddress);
    input::click(find<QCheckBox>(Control::EepromTarget));
    startAddressEdit->setText(QStringLiteral("1.5"));
    QCOMPARE(transmission().left(10), QStringLiteral("*12000020A"));
    QCOMPARE(startAddressEdit->text(), QStringLiteral("1.5"));

    startAddressEdit->setText(QStringLiteral("ab"));
    QVERIFY(transmission().isEmpty());
    QCOMPARE(prompts->messages,
             QStringList({"Conversion Error - Check settings", "Conversion Error - Check settings"}));
    QCOMPARE(startAddressEdit->text(), QStringLiteral("ab"));
}

VOXCEL_TEST_MAIN(TestWindowStartup)
#include "test_window_startup.moc"
