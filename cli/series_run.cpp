#include "cli/series_run.h"

#include "canvas/picture_file.h"
#include "cli/send_port.h"
#include "convert/series_text.h"
#include "convert/text_file.h"
#include "import/picture_series.h"
#include "serial/qt_serial_port.h"
#include "serial/series_plan.h"
#include "text/file_save.h"
#include "text/shared_files.h"

#include <QFileInfo>

namespace {

std::vector<QImage> picturesOf(const std::vector<SeriesFrame> &frames)
{
    std::vector<QImage> pictures;
    for (const SeriesFrame &frame : frames)
        pictures.push_back(frame.picture);
    return pictures;
}

bool savePictures(const ConsoleStreams &console, const QString &pattern, const std::vector<SeriesFrame> &frames)
{
    for (std::size_t k = 0; k < frames.size(); ++k) {
        const QString file = seriesFileName(pattern, int(k) + 1);
        const QString failure = writeBmp(frames[k].picture, file);
        if (!failure.isEmpty()) {
            reportError(console, QStringLiteral("cannot write %1: %2").arg(file, failure));
            return false;
        }
    }
    return true;
}

// Each frame's text, as one picture's would be; with --reformat behind the
// frame's own prefix.
std::optional<QStringList> frameTexts(const ConsoleStreams &console, const ConvertOptions &options,
                                      const std::vector<SeriesFrame> &frames)
{
    const std::vector<QImage> pictures = picturesOf(frames);
    if (!options.reformat) {
        QStringList texts;
        for (const QImage &picture : pictures)
            texts << pictureConvertedText(picture, options.horizontalBytes, options.format);
        return texts;
    }
    QString error;
    const int pictureBytes = seriesPictureBytes(options.eepromMode, options.halfHeight);
    const std::optional<QStringList> prefixes =
        seriesPrefixes(options.eepromMode, options.picBuffer, options.startAddressText, options.picDelay,
                       int(frames.size()), pictureBytes, &error);
    if (!prefixes) {
        reportError(console, error);
        return std::nullopt;
    }
    const SeriesTextSettings settings{options.horizontalBytes, options.format, pictureBytes / ByteMatrix::Columns,
                                      options.picBuffer, options.waitChars};
    return seriesTransmissionTexts(pictures, settings, *prefixes);
}

bool writeTexts(const ConsoleStreams &console, const ConvertOptions &options, const QStringList &texts)
{
    for (qsizetype k = 0; k < texts.size(); ++k) {
        if (options.output.isEmpty()) {
            // 8-bit characters, as the window's Save writes them.
            if (!writeOut(console, texts[k].toLatin1() + '\n'))
                return false;
            continue;
        }
        const QString file = seriesFileName(options.output, int(k) + 1);
        const QString failure = writeHexFile(texts[k], file);
        if (!failure.isEmpty()) {
            reportError(console, QStringLiteral("cannot write %1: %2").arg(file, failure));
            return false;
        }
    }
    return true;
}

SeriesSendPlan sendPlan(const ConvertOptions &options, const std::vector<SeriesFrame> &frames, const QStringList &texts)
{
    std::vector<int> delays;
    for (const SeriesFrame &frame : frames)
        delays.push_back(frame.delayMs);
    // The EEPROM needs its delay after each picture too, to store the last piece.
    const int hold = options.eepromMode ? options.xmitDelayMs : defaultSeriesHoldMs(delays);
    return {texts, options.waitChars, options.xmitDelayMs, options.holdMs.value_or(hold), options.loops};
}

bool sendSeries(const ConsoleStreams &console, const SeriesSendPlan &plan, const ConvertOptions &options)
{
    QtSerialPort port;
    std::optional<SeriesProgressLine> progress;
    try {
        setUpSendPort(port, options);
        if (console.errIsTerminal)
            progress.emplace(console.err, QStringLiteral("Sending the series to %1").arg(options.sendDevice), plan,
                             port.characterTime());
        port.setOpen(true);
        const SeriesSendResult sent =
            sendSeriesPaced(plan, port, {}, [&progress](int frame, int, qsizetype sent, qsizetype total) {
                if (progress)
                    progress->show(frame, sent, total);
            });
        if (sent.last.end == PacedSendResult::End::PortLost)
            throw PortError(QStringLiteral("frame %1: %2").arg(sent.frame + 1).arg(sent.last.portError).toStdString());
        port.setOpen(false);
        progress.reset();
        if (!sent.last.goneAfterEnd.isEmpty())
            reportNote(console, goneAfterEndNote(sent.last));
    } catch (const std::exception &failure) {
        progress.reset(); // ends the progress line before the message
        reportError(console, QString::fromStdString(failure.what()));
        return false;
    }
    return true;
}

// The files the inputs name: a folder's pictures, or the file itself.
QStringList inputFiles(const QStringList &inputs)
{
    QStringList files;
    for (const QString &input : inputs)
        files += QFileInfo(input).isDir() ? seriesFolderPictures(input) : QStringList{input};
    return files;
}

} // namespace

QString seriesFileName(const QString &pattern, int number)
{
    return numberedFile(pattern, number);
}

int runSeries(const ConvertOptions &options, const ConsoleStreams &console)
{
    QString error;
    const std::optional<std::vector<SeriesFrame>> frames = loadSeries(
        options.inputs, options.import.value_or(ImportOptions()), importTargetSize(options.halfHeight), &error);
    if (!frames) {
        reportError(console, error);
        return ExitFailure;
    }
    const QStringList inputs = inputFiles(options.inputs);
    const int count = int(frames->size());
    // Every frame's name, since f%d.inc and f1%d.inc meet at f11.inc.
    const QString problem =
        sharedFileProblem({{QStringLiteral("a picture"), inputs, false},
                           {QStringLiteral("-o"), numberedFiles(options.output, count)},
                           {QStringLiteral("--save-picture"), numberedFiles(options.savePicture, count)}});
    if (!problem.isEmpty()) {
        reportError(console, problem);
        return ExitUsage;
    }
    if (!options.savePicture.isEmpty() && !savePictures(console, options.savePicture, *frames))
        return ExitFailure;
    const std::optional<QStringList> texts = frameTexts(console, options, *frames);
    if (!texts)
        return ExitFailure;
    if (options.sendDevice.isEmpty())
        return writeTexts(console, options, *texts) ? ExitSuccess : ExitFailure;
    return sendSeries(console, sendPlan(options, *frames, *texts), options) ? ExitSuccess : ExitFailure;
}
