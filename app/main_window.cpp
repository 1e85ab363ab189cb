#include "app/main_window.h"

#include "app/about_box.h"
#include "app/app_icon.h"
#include "app/app_title.h"
#include "app/help_window.h"
#include "app/keyboard_focus.h"
#include "app/lcd_view.h"
#include "app/output_panel.h"
#include "app/picture_document.h"
#include "app/picture_panel.h"
#include "app/port_menu.h"
#include "app/port_panel.h"
#include "app/quit_signals.h"
#include "app/send_panel.h"
#include "app/series_window.h"
#include "app/terminal_panel.h"
#include "app/undo_keys.h"
#include "app/window_frames.h"
#include "app/window_menus.h"
#include "canvas/kept_pictures.h"
#include "serial/line_model.h"
#include "serial/line_settings.h"
#include "serial/port_session.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>

MainWindow::MainWindow(Prompts &prompts, PortSession &session, QWidget *parent)
    : QMainWindow(parent), prompts_(prompts), session_(session), menus_(buildWindowMenus(*this))
{
    setObjectName(QStringLiteral("Main"));
    setAcceptDrops(true);
    const WindowFrames frames = buildWindowFrames(*this);
    document_ = new PictureDocument(this);
    // In the order of the window's reading, which Tab follows.
    port_ = new PortPanel(frames.portStrip, session_, prompts_, this);
    picture_ = new PicturePanel(frames.graphics, *document_, prompts_, this);
    terminal_ = new TerminalPanel(frames.client, session_, prompts_, this);
    send_ = new SendPanel(frames, session_, *port_, *terminal_, prompts_, this);
    output_ = new OutputPanel(frames, document_->canvas(), *send_, prompts_, this);
    send_->setTransmissionText([this] { return output_->transmissionText(); });
    finishWindow(*this);
    keepKeyboardFocus(*this);
    // What the last send did stays until the next command.
    for (QAbstractButton *command : frames.client->findChildren<QAbstractButton *>())
        connect(command, &QAbstractButton::clicked, send_, &SendPanel::clearSendResult);

    connect(port_, &PortPanel::opening, terminal_, &TerminalPanel::showOpening);
    connect(port_, &PortPanel::opened, terminal_, &TerminalPanel::showOpen);
    connect(port_, &PortPanel::closed, terminal_, &TerminalPanel::showClosed);
    connect(port_, &PortPanel::reconnected, terminal_, &TerminalPanel::showReconnected);
    connect(send_, &SendPanel::sentChars, terminal_, &TerminalPanel::logSent);
    connect(output_, &OutputPanel::reformatted, send_, &SendPanel::allowSendToLcd);
    connect(send_, &SendPanel::sendStarting, this, [this] {
        holdDuringSend(true, HeldForSendText);
        if (series_)
            series_->holdForOtherSend(true);
    });
    connect(send_, &SendPanel::sendEnded, this, [this] {
        holdDuringSend(false);
        if (series_)
            series_->holdForOtherSend(false);
    });
    connect(&session_, &PortSession::sendingChanged, this, [this](bool sending) {
        if (!sending && closeAfterSend_) // the user closed the window during the send: it goes now
            QTimer::singleShot(0, this, &QWidget::close);
    });
    connectMenus();
    // The desktop session ends, or the program is asked to quit: both may
    // end it without a close.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::keepPicture);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::keepPicture);

    // The load step: every start value, the lists' commands run as they are set.
    port_->loadStartValues();
    picture_->loadStartValues();
    send_->loadStartValues();
}

const Canvas &MainWindow::canvas() const
{
    return document_->canvas();
}

void MainWindow::connectMenus()
{
    connect(menus_.exit, &QAction::triggered, this, [this] { endProgram(0); });
    connect(menus_.open, &QAction::triggered, terminal_, &TerminalPanel::openFieldFile);
    connect(menus_.import, &QAction::triggered, picture_, [this] { picture_->importPicture(); });
    connect(menus_.fromText, &QAction::triggered, this, [this] {
        if (const std::optional<QImage> picture = output_->pictureFromText())
            document_->place(*picture, QStringLiteral("Picture from Text"));
    });
    connect(menus_.series, &QAction::triggered, this, &MainWindow::showSeries);
    connect(menus_.about, &QAction::triggered, this, [this] { AboutBox::showSingle(this, prompts_); });
    connect(menus_.help, &QAction::triggered, this, [this] { HelpWindow::showSingle(this); });
    connect(menus_.undo, &QAction::triggered, document_, [this] { undoPictureByKey(*document_); });
    connect(menus_.redo, &QAction::triggered, document_, [this] { redoPictureByKey(*document_); });

    const QList<QAction *> undoRedo = picture_->editActions();
    menus_.edit->insertActions(menus_.editImport, undoRedo);
    menus_.edit->insertSeparator(menus_.editImport);
    connect(menus_.editImport, &QAction::triggered, menus_.import, &QAction::trigger);
    connect(menus_.editFromText, &QAction::triggered, menus_.fromText, &QAction::trigger);
    connect(menus_.recover, &QAction::triggered, this, [this] { picture_->recover(keptPicturesFolder()); });
    connect(menus_.lcdView, &QAction::triggered, this, [this] { LcdView::showSingle(this, *document_); });

    auto *portMenu = new PortMenu(menus_.port, prompts_, this);
    connect(portMenu, &PortMenu::portDevicesChanged, port_, &PortPanel::showPortDevices);
    connect(menus_.hexView, &QAction::triggered, terminal_, &TerminalPanel::setHexView);
    connect(menus_.times, &QAction::triggered, terminal_, &TerminalPanel::setTimes);
    connect(menus_.log, &QAction::triggered, this,
            [this](bool on) { menus_.log->setChecked(terminal_->setLogging(on)); });
    connect(terminal_, &TerminalPanel::loggingStopped, this, [this] { menus_.log->setChecked(false); });
}

void MainWindow::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (!painted_) {
        painted_ = true;
        QTimer::singleShot(0, this, &MainWindow::afterFirstPaint);
    }
}

void MainWindow::afterFirstPaint()
{
    // What the first paint does not wait for: the icon (reading it loads
    // every image plugin) and the serial devices (listed on the session's
    // thread, for the Com1 and Com2 tooltips).
    setWindowIcon(applicationIcon());
    port_->findPortDevices();
    showNotKeptNote();
}

void MainWindow::showNotKeptNote()
{
    // A note, not a question: the window stays usable under it.
    const QString reason = KeptPictures(keptPicturesFolder()).takeFailureNote();
    if (reason.isEmpty())
        return;
    auto *note = new QMessageBox(
        QMessageBox::NoIcon, applicationTitle,
        QStringLiteral("The picture on the canvas when Voxcel last ended could not be kept:\n%1").arg(reason),
        QMessageBox::Ok, this);
    note->setObjectName(QStringLiteral("notKeptNote"));
    note->setTextFormat(Qt::PlainText); // a folder's name may hold any character
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setModal(false);
    note->show();
}

void MainWindow::holdDuringSend(bool held, const QString &why)
{
    port_->holdDuringSend(held, why);
    document_->hold(held, why);
    terminal_->holdDuringSend(held, why);
    send_->holdDuringSend(held, why);
    output_->holdDuringSend(held, why);
    if (held)
        menusHeld_.hold({}, QList<QAction *>{menus_.open, menus_.import, menus_.fromText, menus_.undo, menus_.redo,
                                             menus_.editImport, menus_.editFromText, menus_.recover} +
                                picture_->editActions());
    else
        menusHeld_.release();
}

SeriesHost MainWindow::seriesHost()
{
    SeriesHost host;
    host.settings = [this] {
        SeriesHost::Settings s;
        s.eepromMode = send_->eepromMode();
        s.startAddressText = send_->startAddressText();
        s.picBuffer = send_->picBuffer();
        s.picDelay = send_->picDelay();
        s.xmitDelayMs = send_->xmitDelay();
        s.text.horizontalBytes = output_->horizontalBytes();
        s.text.format = output_->outputFormat();
        s.text.picBuffer = send_->picBuffer();
        s.text.waitChars = send_->waitChars();
        const std::optional<LineSettings> line = parseLineSettings(port_->lineSettingsInForce());
        s.characterTime = characterTime(line.value_or(LineSettings()));
        return s;
    };
    host.portOpen = [this] { return port_->isOpen(); };
    host.picture = document_;
    // As for one picture: what must not change is held.
    host.holdWindow = [this](bool held) { holdDuringSend(held, HeldForSeriesText); };
    return host;
}

void MainWindow::showSeries()
{
    if (!series_) {
        series_ = new SeriesWindow(seriesHost(), session_, prompts_, this);
        connect(series_, &SeriesWindow::sentChars, terminal_, &TerminalPanel::logSent);
        if (session_.isSending()) // a new Series window sends nothing yet: the main window does
            series_->holdForOtherSend(true);
    }
    series_->show();
    series_->raise();
    series_->activateWindow();
}

QString MainWindow::keptPicturesFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/kept pictures");
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // One local file, and never while a send holds the window.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!session_.isSending() && urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString fileName = event->mimeData()->urls().first().toLocalFile();
    const QPoint at = event->position().toPoint();
    event->acceptProposedAction();
    // The dialogs the drop opens wait until the drag has ended.
    QTimer::singleShot(0, this, [this, fileName, at] {
        if (picture_->isUnder(this, at))
            picture_->loadFile(fileName);
        else if (output_->isUnder(this, at))
            output_->loadTextFile(fileName);
        else
            picture_->importPicture(fileName);
    });
}

void MainWindow::endProgram(int exitCode)
{
    // At once, without a question: a running send stops after the
    // character in flight, and the port closes.
    send_->stop(true);
    if (series_)
        series_->stop(true);
    keepPicture();
    session_.close();
    QCoreApplication::exit(exitCode);
}

void MainWindow::endOnQuitSignals(const QuitSignals &quitSignals)
{
    // The usual exit status of a program a signal ended.
    connect(&quitSignals, &QuitSignals::received, this, [this](int signalNumber) { endProgram(128 + signalNumber); });
}

void MainWindow::keepPicture()
{
    LcdView::commitPlacedText();
    const QString failure = document_->keepIfChanged(keptPicturesFolder());
    if (!failure.isEmpty())
        std::fprintf(stderr, "voxcel: the picture could not be kept: %s\n", qUtf8Printable(failure));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window cannot go away under a running send or series: it stops
    // it, and goes once it has ended.
    if (session_.isSending()) {
        closeAfterSend_ = true;
        send_->stop(true);
        if (series_)
            series_->stop(true);
        event->ignore();
        return;
    }
    keepPicture();
    QMainWindow::closeEvent(event);
}
