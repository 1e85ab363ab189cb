// The main window's start-up: controls, the connection of every command to
// its control, and the load step that sets the start values.

#include "app/main_window.h"

#include "app/one_line_list.h"
#include "canvas/canvas_view.h"
#include "serial/pic_settings.h"

#include "app/one_line_list.h"
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUndoStack>
#include <cmath>

MainWindow::MainWindow(Prompts &prompts, PortLayer &port, QWidget *parent)
    : QMainWindow(parent), prompts_(prompts), port_(port), canvasHistory_(new QUndoStack(this))
{
    canvasHistory_->setUndoLimit(200);
    setObjectName(QStringLiteral("Main"));
    buildControls();
    connectCommands();
    loadStartValues();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectCommands()
{
    // A list's choice runs its command on every change of the chosen entry,
    // by the user or by code: the load step relies on that.
    connect(penSizeCombo, &QComboBox::currentIndexChanged, this, &MainWindow::onPenSizeChosen);
    connect(drawButton, &QPushButton::clicked, this, &MainWindow::selectDrawPen);
    connect(eraseButton, &QPushButton::clicked, this, &MainWindow::selectErasePen);
    connect(canvasView, &CanvasView::mousePressed, this, &MainWindow::startStroke);
    connect(canvasView, &CanvasView::mouseMoved, this, &MainWindow::continueStroke);
    connect(canvasView, &CanvasView::mouseReleased, this, &MainWindow::endStroke);
    connect(clearCanvasButton, &QPushButton::clicked, this, &MainWindow::clearCanvas);
    connect(displaySizeButton, &QPushButton::clicked, this, &MainWindow::toggleDisplayHeight);
    connect(loadPictureButton, &QPushButton::clicked, this, &MainWindow::loadPicture);
    connect(savePictureButton, &QPushButton::clicked, this, &MainWindow::savePicture);
    connect(undoAction, &QAction::triggered, this, &MainWindow::undoCanvasChange);
    connect(redoAction, &QAction::triggered, this, &MainWindow::redoCanvasChange);

    connect(verticalOption, &QRadioButton::clicked, this, &MainWindow::onByteOrderChosen);
    connect(horizontalOption, &QRadioButton::clicked, this, &MainWindow::onByteOrderChosen);
    connect(convertButton, &QPushButton::clicked, this, &MainWindow::convert);
    connect(reformatButton, &QPushButton::clicked, this, &MainWindow::reformat);
    connect(copyButton, &QPushButton::clicked, this, &MainWindow::copyOutput);
    connect(saveTextButton, &QPushButton::clicked, this, &MainWindow::saveOutput);
    connect(clearTextButton, &QPushButton::clicked, this, &MainWindow::clearOutput);
    connect(restoreButton, &QPushButton::clicked, this, &MainWindow::restoreOutput);

    connect(portButton, &QPushButton::clicked, this, &MainWindow::openOrClosePort);
    connect(lineSettingsList, &QListWidget::currentRowChanged, this, &MainWindow::onLineSettingsChosen);
    connect(receivePollTimer, &QTimer::timeout, this, &MainWindow::pollReceived);
    connect(receiveText, &QPlainTextEdit::textChanged, this, &MainWindow::onReceiveTextChanged);
    transmitText->installEventFilter(this); // each key typed there goes to the PIC

    connect(picBufferList, &QListWidget::currentRowChanged, this, &MainWindow::onPicBufferChosen);
    connect(picDelayList, &QListWidget::currentRowChanged, this, &MainWindow::onPicDelayChosen);
    connect(waitCharsEdit, &QLineEdit::textChanged, this, &MainWindow::onWaitCharsEdited);
    connect(applyButton, &QPushButton::clicked, this, &MainWindow::applySettings);
    connect(eepromCheck, &QCheckBox::toggled, this, &MainWindow::onEepromTargetToggled);
    connect(sendButton, &QPushButton::clicked, this, &MainWindow::sendToLcd);
    connect(pasteAndSendButton, &QPushButton::clicked, this, &MainWindow::pasteAndSend);
    connect(stopButton, &QPushButton::clicked, this, &MainWindow::stopTransmission);

    connect(exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(openAction, &QAction::triggered, this, &MainWindow::openFieldFile);
    connect(importAction, &QAction::triggered, this, &MainWindow::importPictureFile);
    connect(fromTextAction, &QAction::triggered, this, &MainWindow::pictureFromText);
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(helpAction, &QAction::triggered, this, &MainWindow::showHelp);
}

void MainWindow::loadStartValues()
{
    lineSettingsList->addEntries(
        {QStringLiteral("9600,n,8,1"), QStringLiteral("2400,n,8,1"), QStringLiteral("1200,n,8,1")});
    lineSettingsList->setCurrentRow(-1);
    lineSettingsLabel->setText(QStringLiteral("9600,n,8,1"));
    state_.penDown = false;
    penSizeCombo->setCurrentIndex(0);
    picBufferList->setCurrentRow(defaultPicBufferIndex);
    picDelayList->setCurrentRow(defaultPicDelayIndex);
    state_.canvasFullHeight = static_cast<qint16>(std::nearbyint(canvasView->heightTwips()));
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

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == transmitText && event->type() == QEvent::KeyPress)
        sendTypedKey(*static_cast<QKeyEvent *>(event));
    return QMainWindow::eventFilter(watched, event); // the box edits as usual
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window cannot go away under a running transmission: it stops the
    // send, and goes once the send has ended.
    if (transmitting_) {
        closeAfterSend_ = true;
        stopTransmission();
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
