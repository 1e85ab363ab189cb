#pragma once

#include "canvas/series_playback.h"
#include "import/picture_series.h"
#include "serial/line_model.h"

#include <QElapsedTimer>
#include <QObject>

#include <optional>

class QLabel;
class QPushButton;
class QTimer;

// A frame as the preview shows it: twice the display's size.
QPixmap seriesPreview(const QImage &picture);

// Plays a series in the Series window's preview as its animation (see
// SeriesPlayback), and says beside it how long each frame shows and how
// long sending it to the LCD takes.
class SeriesPlayer : public QObject
{
    Q_OBJECT
public:
    SeriesPlayer(QLabel *preview, QLabel *about, QPushButton *button, QObject *parent);

    // lineTimes: each frame's time on the line, or nothing when the
    // settings give none.
    void play(const std::vector<SeriesFrame> &frames, int holdMs,
              const std::optional<std::vector<LineDuration>> &lineTimes);
    // Back to the still preview, the labels as before play.
    void stop();
    bool isPlaying() const;

private:
    void showDue();

    QLabel *preview_;
    QLabel *about_;
    QPushButton *button_;
    QTimer *timer_;
    QElapsedTimer clock_;
    std::vector<SeriesFrame> frames_;
    std::optional<std::vector<LineDuration>> lineTimes_;
    SeriesPlayback playback_{{}, 0};
    int shown_ = -1;
};
