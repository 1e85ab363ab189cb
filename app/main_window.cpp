#include "app/main_window.h"

#include "app/about_box.h"
#include "app/app_icon.h"
#include "serial/field_reader.h"
#include "app/help_window.h"
#include "app/app_title.h"
#include "text/decimal_text.h"
#include "app/prompts.h"
#include "canvas/canvas_view.h"
#include "canvas/display_height.h"
#include "canvas/drawing.h"
#include "canvas/picture_file.h"
#include "convert/byte_matrix.h"
#include "convert/reformat.h"
#include "convert/text_file.h"
#include "app/transmission_sleep.h"
#include "text/text_rules.h"
#include "serial/pacing.h"
#include "serial/param_prefix.h"
#include "serial/port_devices.h"
#include "serial/receive_window.h"
#include "serial/pic_settings.h"
#include "serial/port_layer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QProgressBar>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <stdexcept>

namespace {

// The layout is fixed, in pixels at 96 dpi (15 twips to a pixel).
constexpr int ClientWidth = 496;   // 7440 twips
constexpr int ClientHeight = 447;  // 6705 twips

const QColor Grey(128, 128, 128);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Navy(0, 0, 128);

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

template <typename W>
W *make(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = new W(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

// Background and text colours in the roles each kind of control paints with.
void setColours(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QPlainTextEdit *>(widget)) {
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Text, text);
    } else if (qobject_cast<QPushButton *>(widget)) {
        palette.setColor(QPalette::Button, background);
        palette.setColor(QPalette::ButtonText, text);
    } else {
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, text);
        // Option buttons and check boxes sit on their grey group already.
        if (!qobject_cast<QAbstractButton *>(widget))
            widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect geometry,
              const QColor &background = Grey, const QColor &foreground = White)
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

// A list box one line high: only the chosen entry shows, the scroll arrows
// and the arrow keys move through the rest.
int oneLineRowHeight(const QListWidget *list)
{
    return list->fontMetrics().height() + 4;
}

// Adds entries at the end of a one-line list, each exactly one line high.
void addListEntries(QListWidget *list, const QStringList &entries)
{
    for (const QString &entry : entries) {
        auto *item = new QListWidgetItem(entry, list);
        item->setSizeHint(QSize(0, oneLineRowHeight(list)));
    }
}

QListWidget *oneLineList(QWidget *parent, const char *name, QRect geometry, const QStringList &entries)
{
    auto *list = make<QListWidget>(parent, name, geometry);
    addListEntries(list, entries);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setFixedHeight(oneLineRowHeight(list) + 2 * list->frameWidth());
    return list;
}

template <typename Values>
QStringList numbers(const Values &values)
{
    QStringList texts;
    for (auto v : values)
        texts << QString::number(v);
    return texts;
}

} // namespace

MainWindow::MainWindow(Prompts &prompts, PortLayer &port, QWidget *parent)
    : QMainWindow(parent), prompts_(prompts), port_(port)
{
    setObjectName(QStringLiteral("Main"));
    buildControls();
    Form_Load();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    setWindowTitle(mainWindowTitle);
    setWindowIcon(applicationIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(sansFont(8.25));

    mnuExit = menuBar()->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    mnuOpen = menuBar()->addAction(QStringLiteral("&Open"));
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    mnuHelp = menuBar()->addAction(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setColours(client, Grey, Black);
    setCentralWidget(client);

    // Port strip across the top.
    Frame3 = container(client, "Frame3", {0, 0, ClientWidth, 26}, Grey);
    const QFont boldSmall = sansFont(8.25, true);
    Option1_0 = make<QRadioButton>(Frame3, "Option1_0", {4, 4, 54, 18});
    Option1_0->setText(QStringLiteral("Com1"));
    Option1_0->setChecked(true);
    Option1_1 = make<QRadioButton>(Frame3, "Option1_1", {60, 4, 54, 18});
    Option1_1->setText(QStringLiteral("Com2"));
    Option1_0->setToolTip(QStringLiteral("Com1 is %1").arg(deviceForPort(1)));
    Option1_1->setToolTip(QStringLiteral("Com2 is %1").arg(deviceForPort(2)));
    for (QRadioButton *option : {Option1_0, Option1_1}) {
        option->setFont(boldSmall);
        setColours(option, Grey, Navy);
    }
    Label2 = label(Frame3, "Label2", QStringLiteral("Setting"), {118, 6, 78, 15}, Grey, Navy);
    Label2->setFont(boldSmall);
    List1 = oneLineList(Frame3, "List1", {200, 3, 92, 21}, {});
    comm = label(Frame3, "comm", QStringLiteral("OFF"), {300, 4, 48, 18}, QColor(192, 0, 0), Black);
    comm->setFrameStyle(QFrame::Box | QFrame::Plain);
    comm->setAlignment(Qt::AlignCenter);
    comm->setFont(boldSmall);
    cmdcomm = button(Frame3, "cmdcomm", QStringLiteral("Open"), {356, 2, 68, 22});
    setColours(cmdcomm, QColor(255, 128, 0), Black);

    // Graphics group: the canvas, its tools and its commands.
    Frame6 = group(client, "Frame6", QStringLiteral("Graphics"), {4, 28, 216, 152});
    lblxy = label(Frame6, "lblxy", QStringLiteral("X,Y Position"), {130, 14, 82, 14});
    lblxy->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblxy->hide();
    btnsize = button(Frame6, "btnsize", QStringLiteral("128x64"), {8, 14, 50, 17});
    btnsize->setFont(serifFont(6, true));
    Picture1 = new CanvasView(canvas_, Frame6);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(8, 34, 132, 68);  // 1980 x 1020 twips, border included
    Picture1->setFixedSize(132, 68);
    Label4 = label(Frame6, "Label4", QStringLiteral("Pen Size"), {146, 32, 64, 14});
    Label4->setAlignment(Qt::AlignCenter);
    Combo1 = make<QComboBox>(Frame6, "Combo1", {146, 48, 64, 20});
    Combo1->setEditable(false);
    const QStringList penSizes{QStringLiteral("x1"), QStringLiteral("x2"), QStringLiteral("x3"),
                               QStringLiteral("x4"), QStringLiteral("x5"), QStringLiteral("x10")};
    for (int i = 0; i < penSizes.size(); ++i)
        Combo1->addItem(penSizes.at(i), i + 1);
    Combo1->setCurrentIndex(-1);
    Command7 = button(Frame6, "Command7", QStringLiteral("Draw"), {146, 72, 64, 22});
    Command6 = button(Frame6, "Command6", QStringLiteral("Erase"), {146, 98, 64, 22});
    Command8 = button(Frame6, "Command8", QStringLiteral("Save"), {8, 124, 40, 22});
    Command9 = button(Frame6, "Command9", QStringLiteral("Convert"), {50, 124, 52, 22});
    Command10 = button(Frame6, "Command10", QStringLiteral("Load"), {104, 124, 38, 22});
    Command5 = button(Frame6, "Command5", QStringLiteral("Clear"), {146, 124, 64, 22});

    // I2C Eeprom group with Paste and Send under it.
    const QFont smallSerif = serifFont(6.75);
    Frame10 = group(client, "Frame10", QStringLiteral("I2C Eeprom"), {224, 28, 94, 104});
    Label13 = label(Frame10, "Label13", QStringLiteral("Load EEprom"), {4, 16, 86, 24});
    Label13->setWordWrap(true);
    Label13->setAlignment(Qt::AlignCenter);
    Label13->setFont(smallSerif);
    // So narrow that its caption is cut off: only the box shows.
    Check1 = make<QCheckBox>(Frame10, "Check1", {39, 42, 17, 17});
    Check1->setText(QStringLiteral("Check1"));
    setColours(Check1, Grey, Black);
    Label12 = label(Frame10, "Label12", QStringLiteral("Start Addr"), {4, 60, 86, 14});
    Label12->setAlignment(Qt::AlignCenter);
    Label12->setFont(smallSerif);
    eeprom = make<QLineEdit>(Frame10, "eeprom", {19, 76, 56, 20});
    eeprom->setMaxLength(4);
    eeprom->setText(QStringLiteral("0000"));
    eeprom->setEnabled(false);
    setColours(eeprom, Grey, Black);
    {
        QPalette palette = eeprom->palette();
        palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
        eeprom->setPalette(palette);
    }
    Command4 = button(client, "Command4", QStringLiteral("Paste and Send "), {224, 138, 94, 26}, false);

    // The small terminal: what the PIC sends, and what is typed to it.
    Text1 = make<QPlainTextEdit>(client, "Text1", {322, 30, 170, 82});
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(QStringLiteral("Serial Input from PIC\r\n"));
    setColours(Text1, White, Navy);
    Text2 = make<QPlainTextEdit>(client, "Text2", {322, 116, 170, 46});
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setColours(Text2, White, QColor(128, 0, 0));
    lblxmit = label(client, "lblxmit", QStringLiteral("Transmit Window Active"), {322, 164, 170, 16}, Grey,
                    QColor(128, 255, 128));
    lblxmit->setFont(boldSmall);
    lblxmit->hide();

    // Band of three groups: Output Format, Byte Matrix, I/O.
    Frame2 = container(client, "Frame2", {0, 182, ClientWidth, 110}, Grey);
    Frame4 = group(Frame2, "Frame4", QStringLiteral("Output Format"), {4, 0, 236, 108});
    Label3 = label(Frame4, "Label3", QStringLiteral("Header"), {6, 20, 44, 14});
    txthead = make<QLineEdit>(Frame4, "txthead", {52, 17, 70, 20});
    Label5 = label(Frame4, "Label5", QStringLiteral("Footer"), {6, 44, 44, 14});
    txtfoot = make<QLineEdit>(Frame4, "txtfoot", {52, 41, 70, 20});
    lblfrmt = label(Frame4, "lblfrmt", QStringLiteral("Format"), {126, 20, 54, 14});
    lblfrmt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtfrmt = make<QLineEdit>(Frame4, "txtfrmt", {184, 17, 44, 20});
    txtfrmt->setText(QStringLiteral("$"));
    Label6 = label(Frame4, "Label6", QStringLiteral("Delimiter"), {126, 44, 54, 14});
    Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtDelim = make<QLineEdit>(Frame4, "txtDelim", {184, 41, 44, 20});
    txtDelim->setText(QStringLiteral(","));
    Text4 = make<QLineEdit>(Frame4, "Text4", {184, 65, 44, 20});
    Text4->setText(QStringLiteral("]"));
    Label9 = label(Frame4, "Label9", QStringLiteral("Wait Chr"), {176, 88, 56, 14});
    Label9->setAlignment(Qt::AlignCenter);

    Frame1 = group(Frame2, "Frame1", QStringLiteral("Byte Matrix"), {244, 0, 88, 108});
    Option2_0 = make<QRadioButton>(Frame1, "Option2_0", {8, 26, 76, 18});
    Option2_0->setText(QStringLiteral("Vertical"));
    Option2_0->setChecked(true);
    Option2_1 = make<QRadioButton>(Frame1, "Option2_1", {8, 54, 76, 18});
    Option2_1->setText(QStringLiteral("Horizontal"));
    for (QRadioButton *option : {Option2_0, Option2_1})
        setColours(option, Grey, White);

    Frame5 = group(Frame2, "Frame5", QStringLiteral("I/O"), {336, 0, 156, 108});
    Label7 = label(Frame5, "Label7", QStringLiteral("PIC Buffer"), {4, 20, 88, 14});
    List2 = oneLineList(Frame5, "List2", {94, 16, 58, 21}, numbers(picBufferChoices));
    Label8 = label(Frame5, "Label8", QStringLiteral("PIC Delay(ms)"), {4, 42, 88, 14});
    List3 = oneLineList(Frame5, "List3", {94, 38, 58, 21}, numbers(picDelayChoices));
    Label11 = label(Frame5, "Label11", QStringLiteral("Xmit Delay(ms)"), {4, 64, 88, 14});
    xmitdelay = make<QLineEdit>(Frame5, "xmitdelay", {94, 61, 58, 20});
    xmitdelay->setText(QStringLiteral("20"));
    cmdApply = button(Frame5, "cmdApply", QStringLiteral("Apply"), {94, 84, 58, 20});

    // The text output window, editable by the user.
    Label10 = label(client, "Label10", QStringLiteral("Editable Text"), {4, 294, 120, 16}, Grey, White);
    Label10->setFont(boldSmall);
    Text3 = make<QPlainTextEdit>(client, "Text3", {4, 310, 488, 84});
    Text3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // Bottom band: the output window's commands and the direct load.
    Frame9 = container(client, "Frame9", {0, 396, ClientWidth, 51}, Grey);
    Frame8 = group(Frame9, "Frame8", QStringLiteral("Text Output Window"), {4, 0, 240, 48});
    Command11 = button(Frame8, "Command11", QStringLiteral("Copy"), {6, 18, 54, 24});
    Command12 = button(Frame8, "Command12", QStringLiteral("Save"), {64, 18, 54, 24}, false);
    Command13 = button(Frame8, "Command13", QStringLiteral("Clear"), {122, 18, 54, 24});
    Command14 = button(Frame8, "Command14", QStringLiteral("Restore"), {180, 18, 54, 24});
    Frame7 = group(Frame9, "Frame7", QStringLiteral("Directly load LCD"), {248, 0, 244, 48});
    Command15 = button(Frame7, "Command15", QStringLiteral("Reformat For Output"), {6, 18, 126, 24}, false);
    Command16 = button(Frame7, "Command16", QStringLiteral("Send to LCD"), {136, 18, 102, 24}, false);
    // A thin bar under the two buttons shows how far a transmission got.
    sendProgress = make<QProgressBar>(Frame7, "sendProgress", {6, 43, 232, 4});
    sendProgress->setTextVisible(false);
    sendProgress->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);

    // A list's Click is a change of its chosen entry, by the user or by code.
    connect(Combo1, &QComboBox::currentIndexChanged, this, &MainWindow::on_Combo1_Click);
    connect(List2, &QListWidget::currentRowChanged, this, &MainWindow::on_List2_Click);
    connect(List3, &QListWidget::currentRowChanged, this, &MainWindow::on_List3_Click);
    connect(cmdApply, &QPushButton::clicked, this, &MainWindow::on_cmdApply_Click);
    connect(btnsize, &QPushButton::clicked, this, &MainWindow::on_btnsize_Click);
    connect(Command5, &QPushButton::clicked, this, &MainWindow::on_Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &MainWindow::on_Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &MainWindow::on_Command6_Click);
    connect(Picture1, &CanvasView::mousePressed, this, &MainWindow::onPicture1MouseDown);
    connect(Picture1, &CanvasView::mouseMoved, this, &MainWindow::onPicture1MouseMove);
    connect(Picture1, &CanvasView::mouseReleased, this, &MainWindow::onPicture1MouseUp);
    connect(Command10, &QPushButton::clicked, this, &MainWindow::on_Command10_Click);
    connect(Command8, &QPushButton::clicked, this, &MainWindow::on_Command8_Click);
    connect(Option2_0, &QRadioButton::clicked, this, &MainWindow::on_Option2_Click);
    connect(Option2_1, &QRadioButton::clicked, this, &MainWindow::on_Option2_Click);
    connect(Command9, &QPushButton::clicked, this, &MainWindow::on_Command9_Click);
    connect(Command15, &QPushButton::clicked, this, &MainWindow::on_Command15_Click);
    connect(Command11, &QPushButton::clicked, this, &MainWindow::on_Command11_Click);
    connect(Command12, &QPushButton::clicked, this, &MainWindow::on_Command12_Click);
    connect(Command13, &QPushButton::clicked, this, &MainWindow::on_Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &MainWindow::on_Command14_Click);
    connect(cmdcomm, &QPushButton::clicked, this, &MainWindow::on_cmdcomm_Click);
    connect(List1, &QListWidget::currentRowChanged, this, &MainWindow::on_List1_Click);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::on_Timer1_Timer);
    connect(Text1, &QPlainTextEdit::textChanged, this, &MainWindow::on_Text1_Change);
    Text2->installEventFilter(this);
    connect(Text4, &QLineEdit::textChanged, this, &MainWindow::on_Text4_Change);
    connect(Command16, &QPushButton::clicked, this, &MainWindow::on_Command16_Click);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::on_Command4_Click);
    connect(Check1, &QCheckBox::toggled, this, &MainWindow::on_Check1_Click);
    connect(mnuExit, &QAction::triggered, this, &MainWindow::on_mnuExit_Click);
    connect(mnuOpen, &QAction::triggered, this, &MainWindow::on_mnuOpen_Click);
    connect(mnuAbout, &QAction::triggered, this, &MainWindow::on_mnuAbout_Click);
    connect(mnuHelp, &QAction::triggered, this, &MainWindow::on_mnuHelp_Click);

    // Fixed size: the window cannot be resized or maximised.
    adjustSize();
    setFixedSize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::Form_Load()
{
    addListEntries(List1, {QStringLiteral("9600,n,8,1"), QStringLiteral("2400,n,8,1"), QStringLiteral("1200,n,8,1")});
    List1->setCurrentRow(-1);
    Label2->setText(QStringLiteral("9600,n,8,1"));
    state_.penDown = false;
    Combo1->setCurrentIndex(0);
    List2->setCurrentRow(defaultPicBufferIndex);
    List3->setCurrentRow(defaultPicDelayIndex);
    state_.canvasFullHeight = static_cast<qint16>(std::nearbyint(Picture1->heightTwips()));
    state_.imageWidth = 128;
    state_.imageHeight = 64;
    state_.picBuffer = 32;
    state_.picDelay = 10;
    state_.waitChars = QStringLiteral("]");
    state_.workText.clear();
    state_.savedOutput.clear();
    state_.sendText.clear();
    state_.eepromMode = false;
}

void MainWindow::getparam()
{
    state_.paramPrefix.clear();
    const std::optional<QString> prefix =
        buildParamPrefix(state_.eepromMode, state_.picBuffer, eeprom->text(), state_.picDelay);
    if (!prefix)
        throw std::invalid_argument("the EEPROM start address is not a number from 0 to 65535");
    state_.paramPrefix = *prefix;
}

void MainWindow::on_Combo1_Click()
{
    static constexpr int penSizeByIndex[] = {1, 2, 3, 4, 5, 10};
    const int index = Combo1->currentIndex();
    if (index >= 0 && index < 6)
        canvas_.setPenSize(penSizeByIndex[index]);
}

void MainWindow::on_List2_Click()
{
    const int row = List2->currentRow();
    if (row >= 0 && row < static_cast<int>(picBufferChoices.size()))
        state_.picBuffer = picBufferChoices[static_cast<std::size_t>(row)];
}

void MainWindow::on_List3_Click()
{
    const int row = List3->currentRow();
    if (row >= 0 && row < static_cast<int>(picDelayChoices.size()))
        state_.picDelay = picDelayChoices[static_cast<std::size_t>(row)];
}

void MainWindow::on_cmdApply_Click()
{
    state_.waitChars = Text4->text();
    if (const QListWidgetItem *item = List2->currentItem())
        state_.picBuffer = static_cast<qint16>(item->text().toShort());
    if (const QListWidgetItem *item = List3->currentItem())
        state_.picDelay = static_cast<qint16>(item->text().toShort());
    prompts_.message(applySettingsMessage(state_.picBuffer, state_.picDelay, state_.waitChars, xmitdelay->text()));
}

void MainWindow::on_btnsize_Click()
{
    const DisplayHeight next = toggledDisplayHeight(state_.halfHeight, state_.canvasFullHeight, state_.imageHeight);
    Picture1->setHeightTwips(next.outerHeightTwips);
    Picture1->setScaleHeight(next.scaleHeight);
    btnsize->setText(next.caption);
    state_.halfHeight = next.halfHeight;
    canvas_.setHalfHeight(next.halfHeight);
    Picture1->update();
}

void MainWindow::on_Command5_Click()
{
    canvas_.clearCanvas();
    Picture1->update();
}

void MainWindow::on_Command7_Click()
{
    canvas_.setDrawColour(Canvas::Black);
}

void MainWindow::on_Command6_Click()
{
    canvas_.setDrawColour(Canvas::White);
}

void MainWindow::onPicture1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    lblxy->show();
    canvas_.plotDot(x, y);
    penX_ = x;
    penY_ = y;
    state_.penDown = true;
    Picture1->update();
}

void MainWindow::onPicture1MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y)
{
    if (!state_.penDown)
        return;
    plotStroke(canvas_, penX_, penY_, x, y);
    penX_ = x;
    penY_ = y;
    lblxy->setText(positionCaption(x, y));
    Picture1->update();
}

void MainWindow::onPicture1MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, double, double)
{
    lblxy->hide();
    state_.penDown = false;
}

namespace {
const QString FileNamePrompt = QStringLiteral("Enter File Name and Path");
const QString PictureFileTitle = QStringLiteral("Load BMP Image");
const QString SaveErrorPrefix = QStringLiteral("File Save Error - ");
} // namespace

void MainWindow::on_Command10_Click()
{
    // The name is used exactly as typed: no trimming, no extension added.
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("kat.bmp"));
    if (name.isEmpty())
        return;
    const std::optional<QImage> picture = readPicture(name);
    if (!picture) {
        prompts_.message(QStringLiteral("File Not Found, make sure the path is correct."));
        return;
    }
    canvas_.placePicture(*picture);
    Picture1->update();
}

void MainWindow::on_Command8_Click()
{
    const QString name = prompts_.ask(FileNamePrompt, PictureFileTitle, QStringLiteral("test.bmp"));
    if (name.isEmpty())
        return;
    // All 64 rows are written, also in 128x32 mode: the hidden rows are kept.
    const QString failure = writeBmp(canvas_.canvasImage(), name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
}

void MainWindow::on_Option2_Click()
{
    state_.horizontalBytes = Option2_0->isChecked() ? 0 : 1;
}

void MainWindow::on_Command9_Click()
{
    Text3->clear();
    Command12->setEnabled(true);
    state_.workText.clear();
    state_.sendText.clear();
    state_.paramPrefix.clear();
    try {
        getparam();
        state_.ByteMatrix = ::ByteMatrix();
        state_.byteValues.fill(0);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        state_.ByteMatrix = buildByteMatrix(canvas_, &state_.byteValues);
        const OutputFormat format{txthead->text(), txtfoot->text(), txtDelim->text(), txtfrmt->text()};
        Text3->setPlainText(formatByteMatrix(state_.ByteMatrix, state_.horizontalBytes, format));
        state_.workText = Text3->toPlainText();
        state_.savedOutput = state_.workText;
        QApplication::restoreOverrideCursor();
    } catch (const std::exception &) {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        prompts_.message(QStringLiteral("Conversion Error - Check settings"));
    }
    Command15->setEnabled(true);
}

void MainWindow::on_Command15_Click()
{
    if (!formatAllowsReformat(txtfrmt->text(), txtDelim->text())) {
        prompts_.message(NoFormatOrDelimitersMessage);
        return;
    }
    state_.workText = workTextFrom(Text3->toPlainText());
    state_.sendText = reformatForOutput(state_.workText, state_.picBuffer, state_.waitChars, state_.paramPrefix);
    Text3->setPlainText(state_.sendText);
    Command16->setEnabled(true);
    Command15->setEnabled(false);
}

void MainWindow::on_Command11_Click()
{
    QApplication::clipboard()->setText(Text3->toPlainText());
    prompts_.message(QStringLiteral("Text copied to Clipboad"));
}

void MainWindow::on_Command12_Click()
{
    const QString text = Text3->toPlainText();
    const QString name = prompts_.ask(FileNamePrompt, QStringLiteral("Save Hex File"),
                                      QString::fromLatin1(HexFileDefaultName));
    if (name.isEmpty())
        return;
    const QString failure = writeHexFile(text, name);
    if (!failure.isEmpty())
        prompts_.message(SaveErrorPrefix + failure);
}

void MainWindow::on_Command13_Click()
{
    Text3->clear();
    state_.paramPrefix.clear();
    Command12->setEnabled(false);
}

void MainWindow::on_Command14_Click()
{
    Text3->setPlainText(state_.savedOutput);
    Command12->setEnabled(true);
}

namespace {
const QColor Red(192, 0, 0);
const QColor Green(0, 192, 0);
const QColor Orange(255, 128, 0);
} // namespace

void MainWindow::setIndicator(const QString &caption, const QColor &background)
{
    setColours(comm, background, Black);
    comm->setText(caption);
}

void MainWindow::showPortClosed()
{
    Timer1->stop();
    Text1->setPlainText(receiveTextOnClose(Text1->toPlainText()));
    lblxmit->hide();
    setColours(Text1, White, Navy);
    setColours(Text2, White, QColor(128, 0, 0));
    Text2->clear();
    prompts_.beep();
    Command4->setEnabled(false);
    setIndicator(QStringLiteral("OFF"), Red);
    cmdcomm->setText(QStringLiteral("Open"));
}

void MainWindow::showPortOpen()
{
    Timer1->start();
    Command4->setEnabled(true);
    setColours(Text1, QColor(255, 255, 192), Navy);
    setColours(Text2, QColor(192, 255, 192), QColor(128, 0, 0));
    lblxmit->show();
    prompts_.beep();
    setIndicator(QStringLiteral("ON"), Green);
    cmdcomm->setText(QStringLiteral("Close"));
}

void MainWindow::on_cmdcomm_Click()
{
    try {
        if (port_.isOpen()) {
            port_.setOpen(false);
            showPortClosed();
        } else {
            Text1->setPlainText(WaitingText);
            const QListWidgetItem *chosen = List1->currentItem();
            // No entry chosen yet: the settings in force stay.
            port_.setSettings(chosen ? chosen->text() : QString());
            port_.setCommPort(Option1_0->isChecked() ? 1 : 2);
            port_.setOpen(true);
            receiveDisplay_.reset();
            showPortOpen();
        }
    } catch (const std::exception &) {
        prompts_.message(QStringLiteral("Error opening Comm:") + QString::number(port_.commPort()));
        Command4->setEnabled(false);
    }
}

void MainWindow::on_List1_Click()
{
    const QListWidgetItem *chosen = List1->currentItem();
    if (!chosen)
        return;
    try {
        port_.setSettings(chosen->text());
    } catch (const PortError &error) {
        prompts_.message(QString::fromStdString(error.what()));
    }
    Label2->setText(port_.settings());
}

void MainWindow::portLost(const PortError &error)
{
    try {
        port_.setOpen(false);
    } catch (const std::exception &) {
        // Already gone; the closed look below is what counts.
    }
    showPortClosed();
    prompts_.message(QStringLiteral("Comm Port lost - ") + QString::fromStdString(error.what()));
}

void MainWindow::on_Timer1_Timer()
{
    QString received;
    try {
        received = port_.input();
    } catch (const PortError &error) {
        portLost(error);
        return;
    }
    if (received.isEmpty())
        return;
    Text1->setPlainText(appendReceived(Text1->toPlainText(), receiveDisplay_.toDisplay(received)));
    // The newest text is what the user wants to see.
    Text1->moveCursor(QTextCursor::End);
    Text1->ensureCursorVisible();
}

void MainWindow::on_Text1_Change()
{
    // Typing can push the window past its limit too; the oldest text goes.
    if (Text1->document()->characterCount() - 1 > ReceiveWindowLimit)
        Text1->setPlainText(capReceiveText(Text1->toPlainText()));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text2 && event->type() == QEvent::KeyPress)
        on_Text2_KeyPress(*static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event); // the box edits as usual
}

void MainWindow::on_Text2_KeyPress(const QKeyEvent &event)
{
    if (!port_.isOpen())
        return;
    const std::optional<char> ch = keyPressToSend(event.key(), event.text());
    if (!ch)
        return;
    try {
        port_.output(*ch);
    } catch (const PortError &error) {
        portLost(error);
    }
}

void MainWindow::on_Text4_Change()
{
    state_.waitChars = Text4->text();
}

void MainWindow::showSendProgress(qsizetype sent, qsizetype total)
{
    sendProgress->setMaximum(static_cast<int>(qMax<qsizetype>(total, 1)));
    sendProgress->setValue(static_cast<int>(sent));
    // Repainting after every character would slow the line down.
    if (sent == total || !progressClock_.isValid() || progressClock_.elapsed() >= 30) {
        progressClock_.start();
        repaintPending();
    }
}

MainWindow::SendOutcome MainWindow::transmit(const QString &text, const QString &waitText, const DelaySource &delay)
{
    setIndicator(QStringLiteral("Busy"), Orange);
    sendProgress->setValue(0);
    sendProgress->show();
    transmitting_ = true;
    SendOutcome outcome = SendOutcome::Sent;
    try {
        sendPaced(text, waitText, delay, port_, sleepWhileRepainting,
                  [this](qsizetype sent, qsizetype total) { showSendProgress(sent, total); });
    } catch (const PortError &error) {
        transmitting_ = false;
        sendProgress->hide();
        portLost(error);
        return SendOutcome::PortLost;
    } catch (const std::exception &) {
        outcome = SendOutcome::DelayFailed;
    }
    transmitting_ = false;
    sendProgress->hide();
    return outcome;
}

void MainWindow::on_Command16_Click()
{
    if (!port_.isOpen()) {
        prompts_.message(OpenPortFirstText);
        return;
    }
    // A bad delay is caught before the first character: the PIC never gets
    // half a picture because of a typing mistake.
    if (!sendDelayFloor(xmitdelay->text())) {
        prompts_.message(CheckSettingsText);
        prompts_.beep();
        return;
    }
    Command16->setEnabled(false);
    Timer1->stop();
    const SendOutcome outcome =
        transmit(state_.sendText, state_.waitChars, [this] { return sendDelayFloor(xmitdelay->text()); });
    if (outcome == SendOutcome::PortLost)
        return;
    if (outcome == SendOutcome::DelayFailed)
        prompts_.message(CheckSettingsText);
    setIndicator(QStringLiteral("ON"), Green);
    Timer1->start();
    prompts_.beep();
}

void MainWindow::on_Command4_Click()
{
    if (!prompts_.confirm(PasteAndSendQuestion)) {
        prompts_.beep();
        return;
    }
    const std::optional<int> delay = pasteDelayNearestEven(xmitdelay->text());
    if (!delay) {
        prompts_.message(CheckSettingsText);
        return;
    }
    const QString waitText = trimBlanks(Text4->text());
    if (!port_.isOpen())
        return;
    // What is shown is what is sent; the box shows line ends its own way, so
    // the clipboard's characters themselves go out.
    const QString text = lowerCase(QApplication::clipboard()->text());
    Text2->setPlainText(text);
    // No poll runs during a transmission, also while the window repaints.
    const bool polling = Timer1->isActive();
    Timer1->stop();
    if (transmit(text, waitText, [delay] { return delay; }) == SendOutcome::PortLost)
        return;
    setIndicator(QStringLiteral("ON"), Green);
    if (polling)
        Timer1->start();
}

void MainWindow::on_Check1_Click()
{
    const bool checked = Check1->checkState() == Qt::Checked;
    QPalette palette = eeprom->palette();
    if (checked) {
        Command16->setText(QStringLiteral("Load Eeprom"));
        eeprom->setEnabled(true);
        palette.setColor(QPalette::Base, QGuiApplication::palette().color(QPalette::Base));
        eeprom->setPalette(palette);
        Frame7->setTitle(QStringLiteral("Directly load  I2C Eeprom"));
        state_.eepromMode = true;
        xmitdelay->setText(QStringLiteral("200"));
    } else {
        Command16->setText(QStringLiteral("Send to LCD"));
        eeprom->setEnabled(false);
        palette.setColor(QPalette::Base, Grey);
        palette.setColor(QPalette::Disabled, QPalette::Base, Grey);
        eeprom->setPalette(palette);
        Frame7->setTitle(QStringLiteral("Directly load LCD"));
        eeprom->setText(QStringLiteral("0000"));
        state_.eepromMode = false;
        xmitdelay->setText(QStringLiteral("20"));
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window cannot go away under a running transmission.
    if (transmitting_) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::on_mnuExit_Click()
{
    if (port_.isOpen()) {
        try {
            port_.setOpen(false);
        } catch (const std::exception &) {
            // Ending anyway: there is nothing left to close.
        }
    }
    QCoreApplication::exit(0);
}

void MainWindow::on_mnuOpen_Click()
{
    const QString name = prompts_.openFileName(QStringLiteral("LCD File to Open"));
    if (name.isEmpty())
        return; // cancelled
    const FieldFileResult read = readFieldFile(name);
    // Appending sends nothing: only typed keys go to the PIC.
    QTextCursor end(Text2->document());
    end.movePosition(QTextCursor::End);
    end.insertText(displayableText(read.text));
    if (!read.error.isEmpty())
        prompts_.message(fileOpenErrorPrefix + read.error);
}

void MainWindow::on_mnuAbout_Click()
{
    frmAbout::showSingle(this, prompts_);
}

void MainWindow::on_mnuHelp_Click()
{
    frmHelp::showSingle(this);
}
