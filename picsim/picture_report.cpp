#include "picsim/picture_report.h"

#include "picsim/lcd_picture.h"
#include "serial/line_model.h"

#include <algorithm>

namespace {
QString hexAddress(int address)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}
} // namespace

EepromPlacement eepromPlacement(int number, int address, std::optional<int> previousAddress, int pictureBytes)
{
    const QString at = QStringLiteral("picture %1: EEPROM address %2").arg(number).arg(hexAddress(address));
    if (!previousAddress)
        return {at, true};
    const int expected = *previousAddress + pictureBytes;
    if (address == expected)
        return {at + QStringLiteral(", %1 bytes after picture %2").arg(pictureBytes).arg(number - 1), true};
    return {at + QStringLiteral(": FAILED: expected %1, %2 bytes after picture %3")
                     .arg(hexAddress(expected))
                     .arg(pictureBytes)
                     .arg(number - 1),
            false};
}

PictureReport::PictureReport(QTextStream &log, QTextStream &out, QTextStream &err,
                             const std::optional<QString> &outFile, const QList<FileGroup> &otherFiles)
    : log_(log), out_(out), err_(err), outFile_(outFile), otherFiles_(otherFiles)
{
}

void PictureReport::logProgress(const PicLine::Picture &picture, const LineSettings &settings)
{
    if (picture.number != loggedPicture_) {
        loggedPicture_ = picture.number;
        prefixLogged_ = false;
        pausesLogged_ = 0;
    }
    const PicReceiver &pic = picture.receiver;
    if (!prefixLogged_ && pic.prefix()) {
        const PicPrefix &p = *pic.prefix();
        log_ << "picture " << picture.number << ": prefix " << p.text << ": target "
             << (p.target ? "I2C EEPROM" : "LCD") << ", buffer " << p.bufferSize << ", start address 0x"
             << QStringLiteral("%1").arg(p.startAddress, 4, 16, QLatin1Char('0')).toUpper() << ", PIC delay "
             << p.picDelay << " ms; line " << formatLineSettings(settings) << ", "
             << QString::number(std::chrono::duration<double, std::milli>(characterTime(settings)).count(), 'f', 3)
             << " ms a character\n";
        prefixLogged_ = true;
    }
    for (; pausesLogged_ < pic.pauses().size(); ++pausesLogged_) {
        const auto &pause = pic.pauses()[pausesLogged_];
        log_ << "picture " << picture.number << ", piece " << pause.waitIndex << " (offset " << pause.offset
             << "): " << QString::number(pause.ms, 'f', 3) << " ms of silence before the wait text\n";
    }
}

void PictureReport::reportEnded(PicLine &pictures, const LineSettings &settings)
{
    for (const PicLine::Picture &picture : pictures.takeEnded()) {
        logProgress(picture, settings);
        const PicReceiver &pic = picture.receiver;
        log_ << "picture " << picture.number << ": " << pic.piecesReceived() << " pieces, " << pic.digitsReceived()
             << " of " << pic.pictureDigits() << " digits\n";
        for (const QString &problem : pic.problems())
            log_ << "picture " << picture.number << ": problem: " << problem << '\n';
        const QString verdict = pictureResult(picture.number, pic);
        log_ << verdict << Qt::endl;
        out_ << verdict << Qt::endl;
        if (!pic.good())
            result_ = std::max<int>(result_, Faulty);
        reportEepromPlacement(picture);
        // A picture refused at its prefix draws nothing: no file for it.
        if (outFile_ && pic.prefix()) {
            const QString file = lcdPictureFileName(*outFile_, picture.number);
            QString problem = sharedFileProblem(QList<FileGroup>{{QStringLiteral("--out"), {file}}} + otherFiles_);
            if (problem.isEmpty())
                problem = saveLcdPicture(pic.displayBytes(), file);
            if (!problem.isEmpty()) {
                err_ << "voxcel-picsim: cannot write " << file << ": " << problem << '\n';
                result_ = Failed;
            }
        }
        ++taken_;
    }
}

void PictureReport::reportEepromPlacement(const PicLine::Picture &picture)
{
    const std::optional<PicPrefix> &prefix = picture.receiver.prefix();
    if (!prefix || prefix->target != 1) {
        lastEepromAddress_.reset();
        return;
    }
    const EepromPlacement placement =
        eepromPlacement(picture.number, prefix->startAddress, lastEepromAddress_, picture.receiver.pictureBytes());
    log_ << placement.text << Qt::endl;
    out_ << placement.text << Qt::endl;
    if (!placement.good)
        result_ = std::max<int>(result_, Faulty);
    lastEepromAddress_ = prefix->startAddress;
}
