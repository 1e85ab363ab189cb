// The construction of the main window's controls at their design values:
// captions, positions, colours and fonts. Commands are connected in
// main_window.cpp; the start values come from the load step there.

#include "app/main_window.h"

#include "app/app_icon.h"
#include "app/app_title.h"
#include "app/one_line_list.h"
#include "app/window_look.h"
#include "canvas/canvas_view.h"
#include "serial/pic_settings.h"
#include "serial/port_devices.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

namespace {

// The layout is fixed, in pixels at 96 dpi (15 twips to a pixel).
constexpr int ClientWidth = 496;  // 7440 twips
constexpr int ClientHeight = 447; // 6705 twips

using namespace Colour;

QFont sansFont(double points, bool bold = false)
{
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont serifFont(double points, bool bold = false)
{
    QFont font(QStringLiteral("Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

template <typename W> W *make(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect geometry, const QColor &background = Grey,
              const QColor &foreground = White)
{
    auto *l = make<QLabel>(parent, name, geometry);
    l->setText(text);
    setColours(l, background, foreground);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, QRect geometry, bool enabled = true)
{
    auto *b = make<QPushButton>(parent, name, geometry);
    b->setText(text);
    b->setEnabled(enabled);
    b->setAutoDefault(false);
    return b;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &title, QRect geometry)
{
    auto *g = make<QGroupBox>(parent, name, geometry);
    g->setTitle(title);
    g->setFlat(true);
    setColours(g, Grey, White);
    return g;
}

QWidget *container(QWidget *parent, const char *name, QRect geometry, const QColor &background)
{
    auto *w = make<QWidget>(parent, name, geometry);
    setColours(w, background, Black);
    return w;
}

OneLineList *oneLineList(QWidget *parent, const char *name, QRect geometry, const QStringList &entries)
{
    auto *list = make<OneLineList>(parent, name, geometry);
    list->addEntries(entries);
    list->setFixedHeight(list->height());
    return list;
}

QRadioButton *option(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *o = make<QRadioButton>(parent, name, geometry);
    o->setText(caption);
    return o;
}

template <typename Values> QStringList numbers(const Values &values)
{
    QStringList texts;
    for (auto v : values)
        texts << QString::number(v);
    return texts;
}

QAction *menuAction(QMenuBar *bar, const char *name, const QString &caption)
{
    QAction *action = bar->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

void MainWindow::buildControls()
{
    setWindowTitle(mainWindowTitle);
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(sansFont(8.25));

    exitAction = menuAction(menuBar(), "mnuExit", QStringLiteral("E&xit"));
    openAction = menuAction(menuBar(), "mnuOpen", QStringLiteral("&Open"));
    importAction = menuAction(menuBar(), "mnuImport", QStringLiteral("&Import"));
    importAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    fromTextAction = menuAction(menuBar(), "mnuFromText", QStringLiteral("&Picture from Text"));
    aboutAction = menuAction(menuBar(), "mnuAbout", QStringLiteral("&About"));
    helpAction = menuAction(menuBar(), "mnuHelp", QStringLiteral("&Help"));

    auto *client = named(new QWidget(this), "client");
    client->setFixedSize(ClientWidth, ClientHeight);
    setColours(client, Grey, Black);
    setCentralWidget(client);

    // Port strip across the top.
    auto *portStrip = container(client, "Frame3", {0, 0, ClientWidth, 26}, Grey);
    const QFont boldSmall = sansFont(8.25, true);
    com1Option = option(portStrip, "Option1_0", QStringLiteral("Com1"), {4, 4, 54, 18});
    com1Option->setChecked(true);
    auto *com2Option = option(portStrip, "Option1_1", QStringLiteral("Com2"), {60, 4, 54, 18});
    const QStringList devices = devicesForPorts(2);
    com1Option->setToolTip(QStringLiteral("Com1 is %1").arg(devices.at(0)));
    com2Option->setToolTip(QStringLiteral("Com2 is %1").arg(devices.at(1)));
    for (QRadioButton *portOption : {com1Option, com2Option}) {
        portOption->setFont(boldSmall);
        setColours(portOption, Grey, Navy);
    }
    lineSettingsLabel = label(portStrip, "Label2", QStringLiteral("Setting"), {118, 6, 78, 15}, Grey, Navy);
    lineSettingsLabel->setFont(boldSmall);
    lineSettingsList = oneLineList(portStrip, "List1", {200, 3, 92, 21}, {});
    portIndicator = label(portStrip, "comm", QStringLiteral("OFF"), {300, 4, 48, 18}, Red, Black);
    portIndicator->setFrameStyle(QFrame::Box | QFrame::Plain);
    portIndicator->setAlignment(Qt::AlignCenter);
    portIndicator->setFont(boldSmall);
    portButton = button(portStrip, "cmdcomm", QStringLiteral("Open"), {356, 2, 68, 22});
    setColours(portButton, Orange, Black);

    // Graphics group: the canvas, its tools and its commands.
    auto *graphicsGroup = group(client, "Frame6", QStringLiteral("Graphics"), {4, 28, 216, 152});
    positionLabel = label(graphicsGroup, "lblxy", QStringLiteral("X,Y Position"), {130, 14, 82, 14});
    positionLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    positionLabel->hide();
    displaySizeButton = button(graphicsGroup, "btnsize", QStringLiteral("128x64"), {8, 14, 50, 17});
    displaySizeButton->setFont(serifFont(6, true));
    canvasView = named(new CanvasView(canvas_, graphicsGroup), "Picture1");
    canvasView->setGeometry(8, 34, 132, 68); // 1980 x 1020 twips, border included
    canvasView->setFixedSize(132, 68);
    auto *penSizeLabel = label(graphicsGroup, "Label4", QStringLiteral("Pen Size"), {146, 32, 64, 14});
    penSizeLabel->setAlignment(Qt::AlignCenter);
    penSizeCombo = make<QComboBox>(graphicsGroup, "Combo1", {146, 48, 64, 20});
    penSizeCombo->setEditable(false);
    const QStringList penSizes{QStringLiteral("x1"), QStringLiteral("x2"), QStringLiteral("x3"),
                               QStringLiteral("x4"), QStringLiteral("x5"), QStringLiteral("x10")};
    for (int i = 0; i < penSizes.size(); ++i)
        penSizeCombo->addItem(penSizes.at(i), i + 1);
    penSizeCombo->setCurrentIndex(-1);
    drawButton = button(graphicsGroup, "Command7", QStringLiteral("Draw"), {146, 72, 64, 22});
    eraseButton = button(graphicsGroup, "Command6", QStringLiteral("Erase"), {146, 98, 64, 22});
    savePictureButton = button(graphicsGroup, "Command8", QStringLiteral("Save"), {8, 124, 40, 22});
    convertButton = button(graphicsGroup, "Command9", QStringLiteral("Convert"), {50, 124, 52, 22});
    loadPictureButton = button(graphicsGroup, "Command10", QStringLiteral("Load"), {104, 124, 38, 22});
    clearCanvasButton = button(graphicsGroup, "Command5", QStringLiteral("Clear"), {146, 124, 64, 22});

    // I2C Eeprom group with Paste and Send under it.
    const QFont smallSerif = serifFont(6.75);
    auto *eepromGroup = group(client, "Frame10", QStringLiteral("I2C Eeprom"), {224, 28, 94, 104});
    auto *eepromLoadLabel = label(eepromGroup, "Label13", QStringLiteral("Load EEprom"), {4, 16, 86, 24});
    eepromLoadLabel->setWordWrap(true);
    eepromLoadLabel->setAlignment(Qt::AlignCenter);
    eepromLoadLabel->setFont(smallSerif);
    // So narrow that its caption is cut off: only the box shows.
    eepromCheck = make<QCheckBox>(eepromGroup, "Check1", {39, 42, 17, 17});
    eepromCheck->setText(QStringLiteral("Check1"));
    setColours(eepromCheck, Grey, Black);
    auto *startAddressLabel = label(eepromGroup, "Label12", QStringLiteral("Start Addr"), {4, 60, 86, 14});
    startAddressLabel->setAlignment(Qt::AlignCenter);
    startAddressLabel->setFont(smallSerif);
    startAddressEdit = make<QLineEdit>(eepromGroup, "eeprom", {19, 76, 56, 20});
    startAddressEdit->setMaxLength(4);
    startAddressEdit->setText(QStringLiteral("0000"));
    startAddressEdit->setEnabled(false);
    setColours(startAddressEdit, Grey, Black);
    {
        QPalette palette = startAddressEdit->palette();
        palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
        startAddressEdit->setPalette(palette);
    }
    pasteAndSendButton = button(client, "Command4", QStringLiteral("Paste and Send "), {224, 138, 94, 26}, false);

    // The small terminal: what the PIC sends, and what is typed to it.
    receiveText = make<QPlainTextEdit>(client, "Text1", {322, 30, 170, 82});
    receiveText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    receiveText->setPlainText(QStringLiteral("Serial Input from PIC\r\n"));
    setColours(receiveText, White, Navy);
    transmitText = make<QPlainTextEdit>(client, "Text2", {322, 116, 170, 46});
    transmitText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    transmitText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColours(transmitText, White, Maroon);
    transmitActiveLabel =
        label(client, "lblxmit", QStringLiteral("Transmit Window Active"), {322, 164, 170, 16}, Grey, LightGreen);
    transmitActiveLabel->setFont(boldSmall);
    transmitActiveLabel->hide();

    // Band of three groups: Output Format, Byte Matrix, I/O.
    auto *settingsBand = container(client, "Frame2", {0, 182, ClientWidth, 110}, Grey);
    auto *outputFormatGroup = group(settingsBand, "Frame4", QStringLiteral("Output Format"), {4, 0, 236, 108});
    label(outputFormatGroup, "Label3", QStringLiteral("Header"), {6, 20, 44, 14});
    headerEdit = make<QLineEdit>(outputFormatGroup, "txthead", {52, 17, 70, 20});
    label(outputFormatGroup, "Label5", QStringLiteral("Footer"), {6, 44, 44, 14});
    footerEdit = make<QLineEdit>(outputFormatGroup, "txtfoot", {52, 41, 70, 20});
    auto *formatLabel = label(outputFormatGroup, "lblfrmt", QStringLiteral("Format"), {126, 20, 54, 14});
    formatLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    formatEdit = make<QLineEdit>(outputFormatGroup, "txtfrmt", {184, 17, 44, 20});
    formatEdit->setText(QStringLiteral("$"));
    auto *delimiterLabel = label(outputFormatGroup, "Label6", QStringLiteral("Delimiter"), {126, 44, 54, 14});
    delimiterLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    delimiterEdit = make<QLineEdit>(outputFormatGroup, "txtDelim", {184, 41, 44, 20});
    delimiterEdit->setText(QStringLiteral(","));
    waitCharsEdit = make<QLineEdit>(outputFormatGroup, "Text4", {184, 65, 44, 20});
    waitCharsEdit->setText(QStringLiteral("]"));
    auto *waitCharsLabel = label(outputFormatGroup, "Label9", QStringLiteral("Wait Chr"), {176, 88, 56, 14});
    waitCharsLabel->setAlignment(Qt::AlignCenter);

    auto *byteMatrixGroup = group(settingsBand, "Frame1", QStringLiteral("Byte Matrix"), {244, 0, 88, 108});
    verticalOption = option(byteMatrixGroup, "Option2_0", QStringLiteral("Vertical"), {8, 26, 76, 18});
    verticalOption->setChecked(true);
    horizontalOption = option(byteMatrixGroup, "Option2_1", QStringLiteral("Horizontal"), {8, 54, 76, 18});
    for (QRadioButton *orderOption : {verticalOption, horizontalOption})
        setColours(orderOption, Grey, White);

    auto *ioGroup = group(settingsBand, "Frame5", QStringLiteral("I/O"), {336, 0, 156, 108});
    label(ioGroup, "Label7", QStringLiteral("PIC Buffer"), {4, 20, 88, 14});
    picBufferList = oneLineList(ioGroup, "List2", {94, 16, 58, 21}, numbers(picBufferChoices));
    label(ioGroup, "Label8", QStringLiteral("PIC Delay(ms)"), {4, 42, 88, 14});
    picDelayList = oneLineList(ioGroup, "List3", {94, 38, 58, 21}, numbers(picDelayChoices));
    label(ioGroup, "Label11", QStringLiteral("Xmit Delay(ms)"), {4, 64, 88, 14});
    xmitDelayEdit = make<QLineEdit>(ioGroup, "xmitdelay", {94, 61, 58, 20});
    xmitDelayEdit->setText(QStringLiteral("20"));
    applyButton = button(ioGroup, "cmdApply", QStringLiteral("Apply"), {94, 84, 58, 20});

    // The text output window, editable by the user.
    auto *outputLabel = label(client, "Label10", QStringLiteral("Editable Text"), {4, 294, 120, 16}, Grey, White);
    outputLabel->setFont(boldSmall);
    // While a send runs: how far it got and the time left, and Stop.
    sendProgressText = label(client, "sendProgressText", QString(), {130, 294, 300, 16}, Grey, White);
    sendProgressText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sendProgressText->hide();
    stopButton = button(client, "cmdStop", QStringLiteral("Stop"), {434, 293, 58, 17});
    stopButton->hide();
    outputText = make<QPlainTextEdit>(client, "Text3", {4, 310, 488, 84});
    outputText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // Bottom band: the output window's commands and the direct load.
    auto *bottomBand = container(client, "Frame9", {0, 396, ClientWidth, 51}, Grey);
    auto *outputCommandsGroup = group(bottomBand, "Frame8", QStringLiteral("Text Output Window"), {4, 0, 240, 48});
    copyButton = button(outputCommandsGroup, "Command11", QStringLiteral("Copy"), {6, 18, 54, 24});
    saveTextButton = button(outputCommandsGroup, "Command12", QStringLiteral("Save"), {64, 18, 54, 24}, false);
    clearTextButton = button(outputCommandsGroup, "Command13", QStringLiteral("Clear"), {122, 18, 54, 24});
    restoreButton = button(outputCommandsGroup, "Command14", QStringLiteral("Restore"), {180, 18, 54, 24});
    directLoadGroup = group(bottomBand, "Frame7", QStringLiteral("Directly load LCD"), {248, 0, 244, 48});
    reformatButton =
        button(directLoadGroup, "Command15", QStringLiteral("Reformat For Output"), {6, 18, 126, 24}, false);
    sendButton = button(directLoadGroup, "Command16", QStringLiteral("Send to LCD"), {136, 18, 102, 24}, false);
    // A thin bar under the two buttons shows how far a transmission got.
    sendProgress = make<QProgressBar>(directLoadGroup, "sendProgress", {6, 43, 232, 4});
    sendProgress->setTextVisible(false);
    sendProgress->hide();

    receivePollTimer = named(new QTimer(this), "Timer1");

    // Undo and redo of the picture work from anywhere in the window; a text
    // box takes the keys first for its own text.
    undoAction = named(new QAction(QStringLiteral("Undo"), this), "canvasUndo");
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = named(new QAction(QStringLiteral("Redo"), this), "canvasRedo");
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    addActions({undoAction, redoAction});
    receivePollTimer->setInterval(50);

    // Tab walks the controls in reading order; in the multi-line boxes it
    // moves on too, so no tab character ever lands in a text.
    for (QPlainTextEdit *box : {receiveText, transmitText, outputText})
        box->setTabChangesFocus(true);
    const QList<QWidget *> readingOrder{
        com1Option,        com2Option,     lineSettingsList, portButton,         displaySizeButton, canvasView,
        penSizeCombo,      drawButton,     eraseButton,      savePictureButton,  convertButton,     loadPictureButton,
        clearCanvasButton, eepromCheck,    startAddressEdit, pasteAndSendButton, receiveText,       transmitText,
        headerEdit,        formatEdit,     footerEdit,       delimiterEdit,      waitCharsEdit,     verticalOption,
        horizontalOption,  picBufferList,  picDelayList,     xmitDelayEdit,      applyButton,       outputText,
        copyButton,        saveTextButton, clearTextButton,  restoreButton,      reformatButton,    sendButton};
    for (qsizetype i = 1; i < readingOrder.size(); ++i)
        setTabOrder(readingOrder.at(i - 1), readingOrder.at(i));

    // Fixed size: the window cannot be resized or maximised.
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
