#include "app/series_window.h"

#include "app/control_factory.h"
#include "app/import_dialog.h"
#include "app/picture_document.h"
#include "app/prompts.h"
#include "app/send_messages.h"
#include "app/tool_tips.h"
#include "convert/reformat.h"
#include "serial/port_session.h"
#include "text/text_rules.h"

#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
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

// A frame as the strip shows it: at the display's resolution, framed so
// that its white shows against the strip's.
QIcon thumbnail(const QImage &picture)
{
    QPixmap framed(picture.size() + QSize(2, 2));
    framed.fill(Qt::darkGray);
    QPainter painter(&framed);
    painter.drawImage(1, 1, picture);
    return QIcon(framed);
}

QPixmap enlarged(const QImage &picture)
{
    return QPixmap::fromImage(picture.scaled(picture.size() * 2));
}

const QString PictureFilter =
    QStringLiteral("Pictures (*.gif *.png *.bmp *.jpg *.jpeg *.webp *.tif *.tiff *.svg);;All files (*)");

} // namespace

SeriesWindow::SeriesWindow(SeriesHost host, PortSession &session, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window), host_(std::move(host)), session_(session), prompts_(prompts)
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
    connect(frameStrip, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row < int(frames_.size()) && !playTimer->isActive())
            preview->setPixmap(enlarged(frames_[std::size_t(row)].picture));
    });
    connect(earlierButton, &QPushButton::clicked, this, [this] { moveFrame(-1); });
    connect(laterButton, &QPushButton::clicked, this, [this] { moveFrame(1); });
    connect(deleteButton, &QPushButton::clicked, this, &SeriesWindow::deleteFrame);
    connect(new QShortcut(QKeySequence::Delete, frameStrip, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, this, &SeriesWindow::deleteFrame);
    connect(canvasButton, &QPushButton::clicked, this, &SeriesWindow::putOnCanvas);
    connect(playButton, &QPushButton::clicked, this, &SeriesWindow::togglePlay);
    connect(playTimer, &QTimer::timeout, this, &SeriesWindow::showNextPreview);
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
    plainLabel(this, "seriesHoldLabel", QStringLiteral("Hold (ms)"), {280, 220, 70, 20});
    holdBox = make<QSpinBox>(this, "seriesHold", {352, 218, 80, 24});
    holdBox->setRange(0, MaxXmitDelayMs);
    holdBox->setValue(defaultSeriesHoldMs({}));
    plainLabel(this, "seriesLoopsLabel", QStringLiteral("Loops"), {440, 220, 40, 20});
    loopsBox = make<QSpinBox>(this, "seriesLoops", {482, 218, 70, 24});
    loopsBox->setRange(0, 10000);
    loopsBox->setSpecialValueText(QStringLiteral("until Stop"));
    loopsBox->setValue(1);
    sendButton = button(this, "seriesSend", QStringLiteral("&Send"), {280, 250, 86, 24});
    stopButton = button(this, "seriesStop", QStringLiteral("Stop"), {372, 250, 86, 24});
    stopButton->hide();
    timeText = plainLabel(this, "seriesTime", QString(), {280, 280, 272, 40});
    playTimer = new QTimer(this);
    playTimer->setSingleShot(true);
}

// The Import dialog shows the first frame of the chosen file with the
// options every frame then gets; Cancel adds nothing.
void SeriesWindow::load()
{
    const QString file = prompts_.openFileName(QStringLiteral("Load a Series"), PictureFilter);
    if (file.isEmpty())
        return;
    const std::optional<ImportDialog::Imported> chosen =
        ImportDialog::run(this, prompts_, file, host_.picture->isHalfHeight(), &host_.picture->importOptions());
    if (chosen)
        loadPaths({chosen->fileName});
}

void SeriesWindow::loadPaths(const QStringList &paths)
{
    QString error;
    std::optional<std::vector<SeriesFrame>> loaded =
        loadSeries(paths, host_.picture->importOptions(), importTargetSize(host_.picture->isHalfHeight()), &error);
    if (loaded && frames_.size() + loaded->size() > std::size_t(MaxSeriesFrames)) {
        loaded.reset();
        error = QStringLiteral("A series holds at most %1 frames").arg(MaxSeriesFrames);
    }
    if (!loaded) {
        prompts_.message(error);
        return;
    }
    const bool first = frames_.empty();
    frames_.insert(frames_.end(), loaded->begin(), loaded->end());
    if (first) {
        std::vector<int> delays;
        for (const SeriesFrame &frame : frames_)
            delays.push_back(frame.delayMs);
        holdBox->setValue(defaultSeriesHoldMs(delays));
    }
    showFrames();
}

void SeriesWindow::showFrames()
{
    const int row = currentRow();
    frameStrip->clear();
    for (std::size_t k = 0; k < frames_.size(); ++k) {
        auto *item = new QListWidgetItem(thumbnail(frames_[k].picture), QString::number(k + 1));
        item->setToolTip(frames_[k].source);
        frameStrip->addItem(item);
    }
    frameStrip->setCurrentRow(std::min(std::max(row, 0), int(frames_.size()) - 1));
    showEstimate();
}

int SeriesWindow::currentRow() const
{
    return frameStrip->currentRow();
}

void SeriesWindow::moveFrame(int by)
{
    const int from = currentRow();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= int(frames_.size()))
        return;
    std::swap(frames_[std::size_t(from)], frames_[std::size_t(to)]);
    showFrames();
    frameStrip->setCurrentRow(to);
}

void SeriesWindow::deleteFrame()
{
    const int row = currentRow();
    if (row < 0)
        return;
    frames_.erase(frames_.begin() + row);
    showFrames();
}

void SeriesWindow::putOnCanvas()
{
    const int row = currentRow();
    if (row >= 0)
        host_.picture->place(frames_[std::size_t(row)].picture, QStringLiteral("Series frame %1").arg(row + 1));
}

void SeriesWindow::togglePlay()
{
    if (playTimer->isActive() || frames_.empty()) {
        playTimer->stop();
        playButton->setText(QStringLiteral("&Play"));
        return;
    }
    playButton->setText(QStringLiteral("Sto&p Play"));
    previewFrame_ = 0;
    showNextPreview();
}

// Each frame for its delay (the hold where the file gives none), or for
// the time the line takes to send it when that is longer.
void SeriesWindow::showNextPreview()
{
    const std::size_t k = std::size_t(previewFrame_) % frames_.size();
    preview->setPixmap(enlarged(frames_[k].picture));
    const int delayMs = frames_[k].delayMs > 0 ? frames_[k].delayMs : holdBox->value();
    QString unused;
    const std::optional<SeriesSendPlan> plan = makePlan(&unused);
    const SeriesHost::Settings settings = host_.settings();
    const int lineMs =
        plan ? int(std::chrono::ceil<std::chrono::milliseconds>(
                       pacedSendTime(plan->texts[qsizetype(k)], plan->waitText, plan->delayMs, settings.characterTime))
                       .count())
             : 0;
    rateText->setText(lineMs > delayMs
                          ? QStringLiteral("Playing at the line's rate, %1 s a frame: slower than the delays")
                                .arg(lineMs / 1000.0, 0, 'f', 2)
                          : QStringLiteral("Playing at the frames' delays"));
    ++previewFrame_;
    playTimer->start(std::max(delayMs, lineMs));
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
    playTimer->stop();
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
