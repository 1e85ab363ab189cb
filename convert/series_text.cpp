#include "convert/series_text.h"

#include "canvas/canvas.h"
#include "convert/reformat.h"

QString pictureConvertedText(const QImage &picture, qint16 horizontalBytes, const OutputFormat &format, int pages)
{
    Canvas canvas;
    canvas.placePicture(picture);
    return formatByteMatrix(buildByteMatrix(canvas), horizontalBytes, format, pages);
}

QStringList seriesTransmissionTexts(const std::vector<QImage> &pictures, const SeriesTextSettings &settings,
                                    const QStringList &prefixes)
{
    Q_ASSERT(prefixes.size() == qsizetype(pictures.size()));
    QStringList texts;
    for (std::size_t k = 0; k < pictures.size(); ++k) {
        const QString converted =
            pictureConvertedText(pictures[k], settings.horizontalBytes, settings.format, settings.pages);
        texts << reformatForOutput(workTextFrom(converted), settings.picBuffer, settings.waitChars,
                                   prefixes[qsizetype(k)]);
    }
    return texts;
}
