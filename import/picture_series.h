#pragma once

#include "canvas/decode_limits.h"
#include "import/picture_import.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A series of pictures for the display: the frames of an animation, several
// files, or a folder's pictures, each brought to the display through the
// import options (fit, threshold or dithering, invert).

struct SeriesFrame
{
    QImage picture;  // black and white, the display's size
    int delayMs = 0; // how long the animation shows it; 0 when the file says nothing
    QString source;  // where it came from, for messages: "run.gif, frame 3"
};

// Far more than a display animation needs, few enough to keep in memory at
// the display's size (32 KB a frame).
inline constexpr int MaxSeriesFrames = 1000;

// The pictures of a folder in name order, numbers by their value ("f2"
// before "f10"): the regular files whose names end in a kind of picture the
// reader takes. Hidden files are left out.
QStringList seriesFolderPictures(const QString &folder);

// A frame in memory as the display shows it under the options: the three
// steps of the import, as the Import dialog runs them.
QImage importSeriesFrame(const QImage &frame, const ImportOptions &options, QSize target);

// Watching a long load: how far it has come, and whether to stop.
struct SeriesLoadWatch
{
    std::function<void(double done, int frames)> progress; // done from 0 to 1, after each frame
    std::function<bool()> cancelled;                       // asked before each frame
};
inline const QString SeriesLoadCancelledText = QStringLiteral("The import was cancelled");

// Reads the series. A folder gives its pictures in name order; a picture
// with several frames (an animated GIF) gives every frame, each with its
// own delay; any other picture one frame. The files are checked as Import
// checks them (regular, whole, within the size limits). Nothing, with the
// file and the reason in error, when one cannot be read, when they hold no
// picture at all, or more than MaxSeriesFrames, or an animation whose
// frames hold more than animationPixels all told (see decode_limits.h).
// Cancelled, nothing and SeriesLoadCancelledText.
std::optional<std::vector<SeriesFrame>> loadSeries(const QStringList &paths, const ImportOptions &options, QSize target,
                                                   QString *error, qint64 animationPixels = MaxAnimationPixels,
                                                   const SeriesLoadWatch &watch = {});
