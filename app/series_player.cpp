#include "app/series_player.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
const QString PlayText = QStringLiteral("&Play");
} // namespace

QPixmap seriesPreview(const QImage &picture)
{
    return QPixmap::fromImage(picture.scaled(picture.size() * 2));
}

SeriesPlayer::SeriesPlayer(QLabel *preview, QLabel *about, QPushButton *button, QObject *parent)
    : QObject(parent), preview_(preview), about_(about), button_(button), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    // A coarse timer may fire early; a frame never shows before its time.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &SeriesPlayer::showDue);
    button_->setText(PlayText);
}

void SeriesPlayer::play(const std::vector<SeriesFrame> &frames, int holdMs,
                        const std::optional<std::vector<LineDuration>> &lineTimes)
{
    if (frames.empty())
        return;
    frames_ = frames;
    lineTimes_ = lineTimes;
    std::vector<int> delays;
    for (const SeriesFrame &frame : frames_)
        delays.push_back(frame.delayMs);
    playback_ = SeriesPlayback(delays, holdMs);
    shown_ = -1;
    button_->setText(QStringLiteral("Sto&p Play"));
    clock_.start();
    showDue();
}

void SeriesPlayer::stop()
{
    timer_->stop();
    frames_.clear();
    button_->setText(PlayText);
    about_->clear();
}

bool SeriesPlayer::isPlaying() const
{
    return timer_->isActive();
}

void SeriesPlayer::showDue()
{
    const qint64 elapsed = clock_.elapsed();
    const int frame = playback_.frameAt(elapsed);
    if (frame != shown_) {
        shown_ = frame;
        preview_->setPixmap(seriesPreview(frames_[std::size_t(frame)].picture));
        QString text = QStringLiteral("Frame %1 of %2 shows %3 ms")
                           .arg(frame + 1)
                           .arg(frames_.size())
                           .arg(playback_.shownMs(frame));
        if (lineTimes_)
            text += QStringLiteral("; sending it to the LCD takes %1 s")
                        .arg(std::chrono::duration<double>((*lineTimes_)[std::size_t(frame)]).count(), 0, 'f', 2);
        about_->setText(text);
    }
    timer_->start(int(playback_.untilNext(elapsed)));
}
