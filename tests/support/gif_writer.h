#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Writes an animated GIF of grey frames (all of the first frame's size),
// each shown for its delay in ms (kept in hundredths of a second). The data
// is stored, not compressed: every pixel is a literal code. For tests and
// benchmarks, which need animations and have no encoder of their own.
bool writeGreyGif(const QString &fileName, const QList<QImage> &frames, const QList<int> &delaysMs);
