#pragma once

#include "convert/byte_matrix.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// The text of a picture as Convert writes it from the canvas: the picture
// placed at the top-left of a white canvas, its bytes in the given order
// and format; `pages` 4 for a 128 x 32 picture.
QString pictureConvertedText(const QImage &picture, qint16 horizontalBytes, const OutputFormat &format,
                             int pages = ByteMatrix::Pages);

// How the frames of a series are written for the PIC: as Convert and then
// Reformat For Output write one picture.
struct SeriesTextSettings
{
    qint16 horizontalBytes = 0;
    OutputFormat format;
    int pages = ByteMatrix::Pages;
    qint16 picBuffer = 32;
    QString waitChars = QStringLiteral("]");
};

// Frame k's transmission text behind prefixes[k]. The format must allow
// Reformat For Output (formatAllowsReformat); the caller checks.
QStringList seriesTransmissionTexts(const std::vector<QImage> &pictures, const SeriesTextSettings &settings,
                                    const QStringList &prefixes);
