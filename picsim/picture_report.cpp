#include "picsim/picture_report.h"

#include "picsim/lcd_picture.h"
#include "serial/line_model.h"

#include <algorithm>

PictureReport::PictureReport(QTextStream &log, QTextStream &out, QTextStream &err,
                             const std::optional<QString> &outFile)
    : log_(log), out_(out), err_(err), outFile_(outFile)
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
             << " of " << PicReceiver::DisplayDigits << " digits\n";
        for (const QString &problem : pic.problems())
            log_ << "picture " << picture.number << ": problem: " << problem << '\n';
        const QString verdict = pictureResult(picture.number, pic);
        log_ << verdict << Qt::endl;
        out_ << verdict << Qt::endl;
        if (!pic.good())
            result_ = std::max<int>(result_, Faulty);
        if (outFile_) {
            const QString file = lcdPictureFileName(*outFile_, picture.number);
            const QString problem = saveLcdPicture(pic.displayBytes(), file);
            if (!problem.isEmpty()) {
                err_ << "voxcel-picsim: cannot write " << file << ": " << problem << '\n';
                result_ = Failed;
            }
        }
        ++taken_;
    }
}
