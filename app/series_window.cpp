#include "app/series_window.h"

#include "app/control_factory.h"
#include "app/import_dialog.h"
#include "app/picture_document.h"
#include "app/prompts.h"
#include "app/recent_pictures.h"
#include "app/send_messages.h"
#include "app/series_import.h"
#include "app/series_player.h"
#include "app/tool_tips.h"
#include "convert/reformat.h"
#include "serial/port_session.h"
#include "text/text_rules.h"

#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>

namespace {

double seconds(LineDuration duration)
{
    return std::chrono::duration<double>(duration).count();
}

// A label in the window's own colours.
QLabel *plainLabel(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *shown = make<QLabel>(parent, name, geometry);
    shown->setText(text);
    shown->setWordWrap(true);
    return shown;
}

} // namespace

SeriesWindow::SeriesWindow(SeriesHost host, PortSession &session, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window), host_(std::move(host)), session_(session), ownPrompts_(prompts.over(this)),
      prompts_(ownPrompts_ ? *ownPrompts_ : prompts)
{
    setObjectName(QStringLiteral("frmSeries"));
    setWindowTitle(QStringLiteral("Series"));
    setFixedSize(560, 330);
    if (parent)
        move(parent->geometry().center() - rect().center());
    buildControls();
    setToolTips(*this);
    connect(loadButton, &QPushButton::clicked, this, &SeriesWindow::load);
    connect(folderButton, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Load a Folder's Pictures"));
        if (!folder.isEmpty())
            loadPaths({folder});
    });
    connect(frameStrip, &QListWidget::currentRowChanged, this, [this] {
        if (!player->isPlaying())
            showSelected();
    });
    connect(earlierButton, &QPushButton::clicked, this, [this] { moveFrame(-1); });
    connect(laterButton, &QPushButton::clicked, this, [this] { moveFrame(1); });
    connect(deleteButton, &QPushButton::clicked, this, &SeriesWindow::deleteFrames);
    connect(new QShortcut(QKeySequence::Delete, frameStrip, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, this, &SeriesWindow::deleteFrames);
    connect(canvasButton, &QPushButton::clicked, this, &SeriesWindow::putOnCanvas);
    connect(playButton, &QPushButton::clicked, this, &SeriesWindow::togglePlay);
    connect(cancelImportButton, &QPushButton::clicked, this, &SeriesWindow::cancelImport);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), cancelImportButton), &QShortcut::activated, this,
            &SeriesWindow::cancelImport);
    connect(importer, &SeriesImport::progress, this, [this](int percent, int frames) {
        importProgress->setValue(percent);
        timeText->setText(QStringLiteral("Importing: %1 %2 so far, Esc cancels")
                              .arg(frames)
                              .arg(frames == 1 ? QStringLiteral("frame") : QStringLiteral("frames")));
    });
    connect(importer, &SeriesImport::finished, this,
            [this](const SeriesImport::Result &result) { imported(result.paths, result.frames, result.error); });
    connect(holdBox, &QSpinBox::valueChanged, this, &SeriesWindow::showEstimate);
    connect(loopsBox, &QSpinBox::valueChanged, this, &SeriesWindow::showEstimate);
    connect(sendButton, &QPushButton::clicked, this, &SeriesWindow::send);
    connect(stopButton, &QPushButton::clicked, this, [this] { stop(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), stopButton), &QShortcut::activated, this, [this] { stop(); });
    connect(&session_, &PortSession::seriesProgress, this, &SeriesWindow::frameProgress);
    connect(&session_, &PortSession::seriesFinished, this, &SeriesWindow::finished);
    showEstimate();
}

void SeriesWindow::buildControls()
{
    frameStrip = make<QListWidget>(this, "seriesFrames", {8, 8, 544, 112});
    frameStrip->setViewMode(QListView::IconMode);
    frameStrip->setFlow(QListView::LeftToRight);
    frameStrip->setWrapping(false);
    frameStrip->setMovement(QListView::Static);
    frameStrip->setIconSize(QSize(130, 66));
    frameStrip->setSelectionMode(QAbstractItemView::ExtendedSelection);
    preview = make<QLabel>(this, "seriesPreview", {8, 128, 260, 132});
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::Box);
    rateText = plainLabel(this, "seriesRate", QString(), {8, 264, 260, 32});
    loadButton = button(this, "seriesLoad", QStringLiteral("&Load..."), {280, 128, 86, 24});
    folderButton = button(this, "seriesFolder", QStringLiteral("&Folder..."), {372, 128, 86, 24});
    playButton = button(this, "seriesPlay", QStringLiteral("&Play"), {464, 128, 88, 24});
    earlierButton = button(this, "seriesEarlier", QStringLiteral("&Earlier"), {280, 158, 86, 24});
    laterButton = button(this, "seriesLater", QStringLiteral("La&ter"), {372, 158, 86, 24});
    deleteButton = button(this, "seriesDelete", QStringLiteral("&Delete"), {464, 158, 88, 24});
    canvasButton = button(this, "seriesToCanvas", QStringLiteral("To &Canvas"), {280, 188, 86, 24});
    plainLabel(this, "seriesHoldLabel", QStringLiteral("Hold (ms)"), {280, 220, 62, 20});
    holdBox = make<QSpinBox>(this, "seriesHold", {342, 218, 72, 24});
    holdBox->setRange(0, MaxXmitDelayMs);
    holdBox->setValue(defaultSeriesHoldMs({}));
    plainLabel(this, "seriesLoopsLabel", QStringLiteral("Loops"), {420, 220, 38, 20});
    // Room for "until Stop" whole.
    loopsBox = make<QSpinBox>(this, "seriesLoops", {458, 218, 94, 24});
    loopsBox->setRange(0, 10000);
    loopsBox->setSpecialValueText(QStringLiteral("until Stop"));
    loopsBox->setValue(1);
    sendButton = button(this, "seriesSend", QStringLiteral("&Send"), {280, 250, 86, 24});
    stopButton = button(this, "seriesStop", QStringLiteral("Stop"), {372, 250, 86, 24});
    stopButton->hide();
    cancelImportButton = button(this, "seriesCancelImport", QStringLiteral("Cancel"), {372, 250, 86, 24});
    cancelImportButton->hide();
    importProgress = make<QProgressBar>(this, "seriesImportProgress", {464, 250, 88, 24});
    importProgress->hide();
    timeText = plainLabel(this, "seriesTime", QString(), {280, 280, 272, 40});
    player = new SeriesPlayer(preview, rateText, playButton, this);
    importer = new SeriesImport(this);
}

// Each frame for its own delay; beside it the time the line takes to send
// it, which a send's frames take at least.
void SeriesWindow::togglePlay()
{
    if (player->isPlaying() || frames_.empty())
        return stopPlay();
    QString unused;
    const std::optional<SeriesSendPlan> plan = makePlan(&unused);
    std::optional<std::vector<LineDuration>> lineTimes;
    if (plan) {
        const LineDuration characterTime = host_.settings().characterTime;
        lineTimes.emplace();
        for (const QString &text : plan->texts)
            lineTimes->push_back(pacedSendTime(text, plan->waitText, plan->delayMs, characterTime));
    }
    player->play(frames_, holdBox->value(), lineTimes);
}

std::optional<SeriesSendPlan> SeriesWindow::makePlan(QString *error) const
{
    SeriesHost::Settings settings = host_.settings();
    if (!settings.xmitDelayMs) {
        *error = CheckSettingsText;
        return std::nullopt;
    }
    if (!formatAllowsReformat(settings.text.format.Format, settings.text.format.Delimiter)) {
        *error = QStringLiteral("Empty the Format and Delimiter boxes to send: the PIC reads plain hex digits");
        return std::nullopt;
    }
    const int pictureBytes = seriesPictureBytes(settings.eepromMode, host_.picture->isHalfHeight());
    settings.text.pages = pictureBytes / ByteMatrix::Columns;
    const std::optional<QStringList> prefixes =
        seriesPrefixes(settings.eepromMode, settings.picBuffer, settings.startAddressText, settings.picDelay,
                       int(frames_.size()), pictureBytes, error);
    if (!prefixes)
        return std::nullopt;
    std::vector<QImage> pictures;
    for (const SeriesFrame &frame : frames_)
        pictures.push_back(frame.picture);
    // The EEPROM takes the series once, with its delay after each picture.
    const int delay = *settings.xmitDelayMs;
    return SeriesSendPlan{seriesTransmissionTexts(pictures, settings.text, *prefixes), settings.text.waitChars, delay,
                          settings.eepromMode ? delay : holdBox->value(), settings.eepromMode ? 1 : loopsBox->value()};
}

void SeriesWindow::showEstimate()
{
    // The EEPROM takes the series once, each picture behind the xmit delay.
    const bool eeprom = host_.settings().eepromMode;
    sendButton->setText(eeprom ? QStringLiteral("&Load Eeprom") : QStringLiteral("&Send to LCD"));
    holdBox->setEnabled(!eeprom);
    loopsBox->setEnabled(!eeprom);
    if (importer->isRunning())
        return; // its progress shows
    if (otherSendHeld_) {
        timeText->setText(
            QStringLiteral("To Canvas and this window's send wait until the main window's send has ended"));
        return;
    }
    QString error;
    const std::optional<SeriesSendPlan> plan = frames_.empty() ? std::nullopt : makePlan(&error);
    if (!plan) {
        timeText->setText(oneBreakPerLine(error));
        return;
    }
    timeText->setText(QStringLiteral("%1 frames, estimated time %2 s%3")
                          .arg(frames_.size())
                          .arg(seconds(seriesSendTime(*plan, host_.settings().characterTime)), 0, 'f', 1)
                          .arg(plan->loops == 0 ? QStringLiteral(" a round") : QString()));
}

void SeriesWindow::changeEvent(QEvent *event)
{
    // The settings of the main window may have changed meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !sending_)
        showEstimate();
    QWidget::changeEvent(event);
}

void SeriesWindow::holdForOtherSend(bool held)
{
    otherSendHeld_ = held;
    if (held)
        otherSendHold_.hold({canvasButton, sendButton}, {}, HeldForMainSendText);
    else
        otherSendHold_.release();
    showEstimate();
}

void SeriesWindow::send()
{
    if (session_.isSending()) {
        prompts_.beep(); // one transmission at a time on the line
        return;
    }
    if (frames_.empty()) {
        prompts_.message(QStringLiteral("Load a series first"));
        return;
    }
    if (!host_.portOpen()) {
        prompts_.message(OpenPortFirstText);
        return;
    }
    // Refused before the first character: the PIC never gets half a series
    // because of a setting.
    QString error;
    const std::optional<SeriesSendPlan> plan = makePlan(&error);
    if (!plan) {
        prompts_.message(error);
        return;
    }
    session_.sendSeries(*plan); // none runs: checked above
    plan_ = *plan;
    inFlight_ = {-1, -1};
    sending_ = true;
    quietStop_ = false;
    stopPlay();
    host_.holdWindow(true);
    hold_.hold({loadButton, folderButton, earlierButton, laterButton, deleteButton, canvasButton, holdBox, loopsBox,
                sendButton, frameStrip});
    stopButton->show();
    stopButton->setFocus();
}

void SeriesWindow::logSent(int frame, int loop, qsizetype sent)
{
    if (std::pair(frame, loop) != inFlight_) {
        inFlight_ = {frame, loop};
        sentChars_.start(plan_.texts[frame]);
    }
    if (const QString fresh = sentChars_.take(sent); !fresh.isEmpty())
        emit sentChars(fresh);
}

void SeriesWindow::frameProgress(int frame, int loop, qsizetype sent, qsizetype total, double secondsLeft)
{
    logSent(frame, loop, sent);
    timeText->setText(QStringLiteral("Sending frame %1 of %2: %3 of %4 characters, %5 s left")
                          .arg(frame + 1)
                          .arg(plan_.texts.size())
                          .arg(sent)
                          .arg(total)
                          .arg(secondsLeft, 0, 'f', 1));
}

void SeriesWindow::finished(const SeriesSendResult &result)
{
    logSent(result.frame, result.loop, result.last.sent);
    sending_ = false;
    stopButton->hide();
    hold_.release();
    host_.holdWindow(false);
    showEstimate();
    // The port panel shows a loss; a closing window shows nothing.
    if (result.last.end == PacedSendResult::End::PortLost || quietStop_)
        return;
    if (result.last.end == PacedSendResult::End::Stopped)
        prompts_.message(seriesStopMessage(result));
    else
        prompts_.beep(); // all sent
}

void SeriesWindow::stop(bool quietly)
{
    if (!sending_)
        return;
    quietStop_ = quietStop_ || quietly;
    session_.stop();
}
