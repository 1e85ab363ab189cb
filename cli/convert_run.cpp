#include "cli/convert_run.h"

#include "canvas/canvas.h"
#include "canvas/lcd_text.h"
#include "canvas/picture_file.h"
#include "cli/convert_help.h"
#include "cli/output_plan.h"
#include "cli/send_port.h"
#include "cli/series_run.h"
#include "convert/byte_matrix.h"
#include "convert/picture_text.h"
#include "convert/reformat.h"
#include "convert/series_text.h"
#include "convert/text_file.h"
#include "import/picture_import.h"
#include "serial/pacing.h"
#include "serial/qt_serial_port.h"
#include "text/file_kind.h"
#include "text/file_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

std::optional<QImage> readInput(const ConsoleStreams &console, const QString &input, const ConvertOptions &options)
{
    if (input.isEmpty()) { // --text alone: a blank picture
        QImage blank(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
        blank.fill(Qt::white);
        return blank;
    }
    if (options.import) {
        QString error;
        std::optional<QImage> imported = importPicture(input, *options.import, importTargetSize(false), &error);
        if (!imported)
            reportError(console, error);
        return imported;
    }
    QString reason;
    std::optional<QImage> picture = readPicture(input, &reason);
    if (picture)
        return picture;
    const QFileInfo file(input);
    if (!file.exists())
        reportError(console, QStringLiteral("%1: no such file").arg(input));
    else if (file.isDir())
        reportError(console, QStringLiteral("%1: is a folder, not a picture").arg(input));
    else if (!isRegularFile(input))
        reportError(console, QStringLiteral("%1: not a regular file (a FIFO, a device or a socket)").arg(input));
    else
        reportError(console, reason.isEmpty()
                                 ? QStringLiteral("%1: not a readable BMP picture").arg(input)
                                 : QStringLiteral("%1: not a readable BMP picture (%2)").arg(input, reason));
    return std::nullopt;
}

// The picture as it is converted: read or imported, with the text of
// --text drawn on it as the LCD View draws it, and written out by
// --save-picture when asked.
std::optional<QImage> pictureToConvert(const ConsoleStreams &console, const QString &input,
                                       const ConvertOptions &options)
{
    std::optional<QImage> picture = readInput(console, input, options);
    if (!picture || (!options.text && options.savePicture.isEmpty()))
        return picture;
    Canvas canvas;
    canvas.placePicture(*picture);
    if (options.text)
        drawLcdText(canvas, *options.text, options.textStyle, options.textAt, Canvas::Black);
    picture = canvas.canvasImage();
    if (!options.savePicture.isEmpty()) {
        const QString failure = writeBmp(*picture, options.savePicture);
        if (!failure.isEmpty()) {
            reportError(console, QStringLiteral("cannot write %1: %2").arg(options.savePicture, failure));
            return std::nullopt;
        }
    }
    return picture;
}

QString absoluteClean(const QString &path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// The outermost folder on the path that does not exist yet; the path itself
// when nothing of it is missing.
QString outermostMissing(const QString &path)
{
    QFileInfo part(absoluteClean(path));
    QString missing = part.filePath();
    while (!part.exists() && !part.isRoot()) {
        missing = part.filePath();
        part.setFile(part.path());
    }
    return missing;
}

// Why a folder could not be made: the nearest part of its path that exists
// tells.
QString folderProblem(const QString &path)
{
    QFileInfo part(QFileInfo(outermostMissing(path)).path());
    // Shown as the user gave the path: relative or absolute.
    const QString shown = QDir::isAbsolutePath(path)
                              ? part.filePath()
                              : QDir::cleanPath(QDir::current().relativeFilePath(part.filePath()));
    if (!part.isDir())
        return QStringLiteral("%1 is not a folder").arg(shown);
    if (!part.isWritable())
        return QStringLiteral("no permission to add a folder to %1").arg(shown);
    return QStringLiteral("it could not be created in %1").arg(shown);
}

// -o with a path that ends in a slash names a folder: it is made, with the
// folders above it, as mkdir -p does. *made is the outermost folder made.
QString makeOutputFolder(const QString &output, QString *made)
{
    const bool namesFolder = output.endsWith(QLatin1Char('/')) || output.endsWith(QDir::separator());
    if (!namesFolder || QFileInfo(output).isDir())
        return QString();
    const QString outermost = outermostMissing(output);
    if (!QDir().mkpath(output))
        return QStringLiteral("cannot make the folder %1: %2").arg(output, folderProblem(output));
    *made = outermost;
    return QString();
}

// A wrong choice of outputs changes nothing: the folders just made for them
// go again (they are still empty).
void removeMadeFolders(const QString &output, const QString &made)
{
    if (made.isEmpty())
        return;
    for (QString folder = absoluteClean(output); QDir().rmdir(folder) && folder != made;)
        folder = QFileInfo(folder).path();
}

int sendPicture(const ConsoleStreams &console, const ConvertOptions &options, const QString &input)
{
    const std::optional<QImage> picture = pictureToConvert(console, input, options);
    if (!picture)
        return ExitFailure;
    const QString sendText = pictureText(*picture, options);

    QtSerialPort port;
    const int delayMs = options.xmitDelayMs;
    std::optional<ProgressLine> progress;
    try {
        setUpSendPort(port, options);
        const LineDuration characterTime = port.characterTime();
        if (console.errIsTerminal) {
            const QString what = input.isEmpty() ? QStringLiteral("the text") : input;
            progress.emplace(console.err, QStringLiteral("Sending %1 to %2").arg(what, options.sendDevice));
        }
        port.setOpen(true);
        const PacedSendResult sent =
            sendPaced({sendText, options.waitChars, delayMs}, port, {}, [&](qsizetype sent, qsizetype total) {
                if (!progress)
                    return;
                progress->show(QStringLiteral("%1/%2").arg(sent).arg(total), sent == total, [&] {
                    return pacedSendTime(sendText, options.waitChars, delayMs, characterTime, sent);
                });
            });
        if (sent.end == PacedSendResult::End::PortLost)
            throw PortError(sent.portError.toStdString());
        port.setOpen(false);
        progress.reset();
        if (!sent.goneAfterEnd.isEmpty())
            reportNote(console, goneAfterEndNote(sent));
    } catch (const std::exception &failure) {
        progress.reset(); // ends the progress line before the message
        reportError(console, QString::fromStdString(failure.what()));
        return ExitFailure;
    }
    return ExitSuccess;
}

// --from-text: the picture read back from converted text, saved as the
// window saves a picture. Nothing is written unless the text gives one.
int pictureFromText(const ConsoleStreams &console, const ConvertOptions &options)
{
    // Far more than any byte list in source code needs.
    constexpr qint64 MaxTextBytes = 4 * 1024 * 1024;
    const bool fromStdin = options.fromText == QLatin1String("-");
    const QString name = fromStdin ? QStringLiteral("standard input") : options.fromText;
    QFile file(options.fromText);
    if (!fromStdin && !file.exists()) {
        reportError(console, QStringLiteral("%1: no such file").arg(name));
        return ExitFailure;
    }
    if (!fromStdin && QFileInfo(options.fromText).isDir()) {
        reportError(console, QStringLiteral("%1: is a folder, not a text").arg(name));
        return ExitFailure;
    }
    // A FIFO or a device could keep the read waiting for ever; standard
    // input is read only when asked for by name ("-").
    if (!fromStdin && !isRegularFile(options.fromText)) {
        reportError(console, QStringLiteral("%1: not a regular file (a FIFO, a device or a socket)").arg(name));
        return ExitFailure;
    }
    if (fromStdin && console.inIsClosed) {
        reportError(console, QStringLiteral("cannot read standard input: it is closed"));
        return ExitFailure;
    }
    if (!(fromStdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly))) {
        reportError(console, QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
        return ExitFailure;
    }
    QByteArray bytes;
    while (bytes.size() <= MaxTextBytes) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError) {
        reportError(console, QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
        return ExitFailure;
    }
    if (bytes.size() > MaxTextBytes) {
        reportError(console, QStringLiteral("%1: over 4 MiB, too long for a picture's text").arg(name));
        return ExitFailure;
    }
    // UTF-8 source, or the 8-bit text the window's Save writes.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);

    QString message;
    const std::optional<TextPicture> read = readPictureText(text, options.format, options.horizontalBytes, &message);
    if (!read) {
        reportError(console, QStringLiteral("%1: %2").arg(name, message));
        return ExitFailure;
    }
    const QString failure = writeBmp(pictureFromByteMatrix(read->matrix), options.output);
    if (!failure.isEmpty()) {
        reportError(console, QStringLiteral("cannot write %1: %2").arg(options.output, failure));
        return ExitFailure;
    }
    return ExitSuccess;
}

} // namespace

QString pictureText(const QImage &picture, const ConvertOptions &options)
{
    const QString converted = pictureConvertedText(picture, options.horizontalBytes, options.format);
    if (!options.reformat)
        return converted;
    return reformatForOutput(workTextFrom(converted), options.picBuffer, options.waitChars, options.paramPrefix);
}

int runConvert(const QStringList &arguments, const ConsoleStreams &console)
{
    const ParsedArguments parsed = parseConvertArguments(arguments);
    switch (parsed.outcome) {
    case ParsedArguments::Outcome::Help:
        return writeOut(console, convertHelpText().toLocal8Bit()) ? ExitSuccess : ExitFailure;
    case ParsedArguments::Outcome::Version:
        return writeOut(console,
                        QStringLiteral("voxcel-convert %1\n").arg(QStringLiteral(VOXCEL_VERSION)).toLocal8Bit())
                   ? ExitSuccess
                   : ExitFailure;
    case ParsedArguments::Outcome::ListFonts:
        return writeOut(console, (lcdFontNames().join(QLatin1Char('\n')) + QLatin1Char('\n')).toLocal8Bit())
                   ? ExitSuccess
                   : ExitFailure;
    case ParsedArguments::Outcome::UsageError:
        return usageError(console, parsed.error);
    case ParsedArguments::Outcome::Run:
        break;
    }
    const ConvertOptions &options = parsed.options;
    if (options.series)
        return runSeries(options, console);
    if (!options.fromText.isEmpty())
        return pictureFromText(console, options);

    QString madeFolder;
    const QString folderError = makeOutputFolder(options.output, &madeFolder);
    if (!folderError.isEmpty()) {
        reportError(console, folderError);
        return ExitFailure;
    }
    QString planError;
    const QList<OutputTarget> targets = planOutputs(options, &planError);
    if (!planError.isEmpty()) {
        removeMadeFolders(options.output, madeFolder);
        return usageError(console, planError);
    }

    if (!options.sendDevice.isEmpty())
        return sendPicture(console, options, targets.constFirst().input);

    // A picture that fails is reported and the others are still converted,
    // each file complete or not written at all.
    int status = ExitSuccess;
    for (const OutputTarget &target : targets) {
        const std::optional<QImage> picture = pictureToConvert(console, target.input, options);
        if (!picture) {
            status = ExitFailure;
            continue;
        }
        const QString text = pictureText(*picture, options);
        if (target.file.isEmpty()) {
            // 8-bit characters, as the window's Save writes them.
            if (!writeOut(console, text.toLatin1() + '\n'))
                status = ExitFailure;
            continue;
        }
        const QString failure = writeHexFile(text, target.file);
        if (!failure.isEmpty()) {
            reportError(console, QStringLiteral("cannot write %1: %2").arg(target.file, failure));
            status = ExitFailure;
        }
    }
    return status;
}
