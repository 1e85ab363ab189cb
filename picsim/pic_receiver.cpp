#include "picsim/pic_receiver.h"

#include "serial/pic_settings.h"

#include <algorithm>

namespace {

int lowerHexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

int upperHexValue(char ch)
{
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return ch >= 'a' ? -1 : lowerHexValue(ch);
}

std::optional<int> upperHexField(const QByteArray &text, qsizetype from, qsizetype length)
{
    if (length <= 0 || from + length > text.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = from; i < from + length; ++i) {
        const int digit = upperHexValue(text.at(i));
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

template <typename Choices> QString listed(const Choices &choices)
{
    QStringList texts;
    for (const auto value : choices)
        texts << QString::number(value);
    return texts.join(QStringLiteral(", "));
}

QString shown(char ch)
{
    const auto code = static_cast<unsigned char>(ch);
    if (code >= 0x20 && code < 0x7F)
        return QStringLiteral("'%1'").arg(QLatin1Char(ch));
    return QStringLiteral("0x%1").arg(code, 2, 16, QLatin1Char('0'));
}

// Longest prefix: "*", target, 2 + 4 hex digits, "0" and two hex digits.
constexpr qsizetype LongestPrefix = 11;

} // namespace

std::optional<PicPrefix> parsePicPrefix(const QByteArray &text, QString *error)
{
    auto refuse = [&](const QString &why) -> std::optional<PicPrefix> {
        if (error)
            *error = QStringLiteral("prefix \"%1\" refused: %2").arg(QString::fromLatin1(text), why);
        return std::nullopt;
    };
    if (text.isEmpty() || text.at(0) != '*')
        return refuse(QStringLiteral("it does not start with '*'"));
    if (text.size() < 10 || text.size() > LongestPrefix)
        return refuse(QStringLiteral("it is %1 characters long, not 10 or 11").arg(text.size()));
    for (const char ch : text) {
        if (ch >= 'a' && ch <= 'f')
            return refuse(QStringLiteral("%1 is lower case; the program writes the prefix in capitals").arg(shown(ch)));
    }
    if (text.at(1) != '0' && text.at(1) != '1')
        return refuse(QStringLiteral("the target is neither 0 nor 1"));
    const auto buffer = upperHexField(text, 2, 2);
    if (!buffer || std::find(picBufferChoices.begin(), picBufferChoices.end(), *buffer) == picBufferChoices.end())
        return refuse(
            QStringLiteral("the buffer size is not one of %1 in two hex digits").arg(listed(picBufferChoices)));
    const auto address = upperHexField(text, 4, 4);
    if (!address)
        return refuse(QStringLiteral("the start address is not four hex digits"));
    if (text.at(8) != '0')
        return refuse(QStringLiteral("the delay field does not start with 0"));
    const auto delay = upperHexField(text, 9, text.size() - 9);
    if (!delay || std::find(picDelayChoices.begin(), picDelayChoices.end(), *delay) == picDelayChoices.end())
        return refuse(QStringLiteral("the delay is not one of %1 ms in hex").arg(listed(picDelayChoices)));
    if (text.mid(9) != QByteArray::number(*delay, 16).toUpper())
        return refuse(QStringLiteral("the delay has a leading zero the program never writes"));

    PicPrefix prefix;
    prefix.target = text.at(1) - '0';
    prefix.bufferSize = *buffer;
    prefix.startAddress = *address;
    prefix.picDelay = *delay;
    prefix.text = QString::fromLatin1(text);
    return prefix;
}

PicReceiver::PicReceiver(const QString &waitText, double expectDelayMs, double allowanceMs, int pictureBytes)
    : waitText_(waitText.toLatin1()), expectDelayMs_(expectDelayMs), allowanceMs_(allowanceMs),
      pictureBytes_(std::clamp(pictureBytes, 1, int(DisplayBytes))), display_(DisplayBytes, '\0')
{
    if (waitText_.isEmpty())
        waitText_ = "]";
}

bool PicReceiver::startsNextPicture(char ch) const
{
    return ch == '*' && !waitText_.contains('*');
}

bool PicReceiver::take(char ch, double silenceMs)
{
    if (finished_ || (startsNextPicture(ch) && (stage_ != Stage::Prefix || !prefixText_.isEmpty())))
        return false;
    recentSilences_.push_back(silenceMs);
    while (recentSilences_.size() > static_cast<std::size_t>(waitText_.size()))
        recentSilences_.pop_front();
    const qsizetype offset = offset_++;

    switch (stage_) {
    case Stage::Prefix:
        if (prefixText_.isEmpty() && ch != '*') {
            refusePrefix(QStringLiteral("%1 where the prefix's '*' was due").arg(shown(ch)));
            return true;
        }
        prefixText_.append(ch);
        if (prefixText_.endsWith(waitText_)) {
            QString error;
            prefix_ = parsePicPrefix(prefixText_.chopped(waitText_.size()), &error);
            if (!prefix_) {
                refusePrefix(error);
                return true;
            }
            pieceLength_ = prefix_->bufferSize;
            waitTextComplete();
        } else if (prefixText_.size() > LongestPrefix + waitText_.size()) {
            refusePrefix(QStringLiteral("no wait text after the prefix \"%1...\"")
                             .arg(QString::fromLatin1(prefixText_.left(LongestPrefix))));
        }
        return true;

    case Stage::Wait:
        if (ch == waitText_.at(waitMatched_)) {
            if (++waitMatched_ == waitText_.size())
                waitTextComplete();
            return true;
        }
        addProblem(QStringLiteral("offset %1: %2 where the wait text was due").arg(offset).arg(shown(ch)));
        waitMatched_ = ch == waitText_.at(0) ? 1 : 0;
        return true;

    case Stage::Piece: {
        const int value = upperHexValue(ch) >= 0 ? upperHexValue(ch) : lowerHexValue(ch);
        if (value >= 0) {
            if (ch >= 'A' && ch <= 'F')
                addProblem(QStringLiteral("offset %1: %2 in piece %3; the program writes data digits in lower case")
                               .arg(offset)
                               .arg(shown(ch))
                               .arg(pieces_));
            takeDigit(value);
            return true;
        }
        if (ch == waitText_.at(0)) {
            addProblem(QStringLiteral("piece %1 ended after %2 of %3 characters")
                           .arg(pieces_)
                           .arg(pieceDigits_)
                           .arg(pieceLength_));
            stage_ = Stage::Wait;
            waitMatched_ = 1;
            if (waitText_.size() == 1)
                waitTextComplete();
            return true;
        }
        addProblem(
            QStringLiteral("offset %1: %2 in piece %3 is not a hex digit").arg(offset).arg(shown(ch)).arg(pieces_));
        return true;
    }

    case Stage::After:
        ++trailing_;
        return true;

    case Stage::Refused:
        return true;
    }
    return true;
}

void PicReceiver::finish(const QString &why)
{
    if (finished_)
        return;
    finished_ = true;
    const QString because = why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why);
    switch (stage_) {
    case Stage::Prefix:
        addProblem(QStringLiteral("the prefix \"%1\" broke off").arg(QString::fromLatin1(prefixText_)) + because);
        break;
    case Stage::Wait:
    case Stage::Piece:
        addProblem(QStringLiteral("short: %1 of %2 digits").arg(digits_).arg(pictureDigits()) + because);
        break;
    case Stage::After:
        if (trailing_ > 0)
            addProblem(QStringLiteral("%1 %2 after the picture")
                           .arg(trailing_)
                           .arg(trailing_ == 1 ? QStringLiteral("byte") : QStringLiteral("bytes")));
        break;
    case Stage::Refused:
        break;
    }
}

void PicReceiver::refusePrefix(const QString &why)
{
    addProblem(why);
    stage_ = Stage::Refused;
}

void PicReceiver::addProblem(const QString &problem)
{
    // A sender out of step produces one complaint per character; the first
    // ones tell the story.
    constexpr int MostProblemsKept = 50;
    ++problemCount_;
    if (problems_.size() < MostProblemsKept)
        problems_.append(problem);
    else if (problems_.size() == MostProblemsKept)
        problems_.append(QStringLiteral("(more problems left out)"));
}

void PicReceiver::waitTextComplete()
{
    // The silence the PIC got to store the previous piece came before the
    // first character of the wait text.
    const double silence =
        recentSilences_.size() == static_cast<std::size_t>(waitText_.size()) ? recentSilences_.front() : 0.0;
    ++pieces_;
    if (pauses_.size() < MostPausesKept)
        pauses_.push_back({pieces_, offset_ - waitText_.size(), silence});
    if (expectDelayMs_ >= 0 && silence < expectDelayMs_ - allowanceMs_) {
        addProblem(QStringLiteral("piece %1: %2 ms of silence before the wait %3, %4 expected")
                       .arg(pieces_)
                       .arg(silence, 0, 'f', 3)
                       .arg(waitText_.size() == 1 ? QStringLiteral("character") : QStringLiteral("text"))
                       .arg(expectDelayMs_));
    }
    waitMatched_ = 0;
    pieceDigits_ = 0;
    stage_ = Stage::Piece;
}

void PicReceiver::takeDigit(int value)
{
    char &byte = display_[digits_ / 2];
    byte = static_cast<char>(digits_ % 2 == 0 ? value << 4 : (static_cast<unsigned char>(byte) | value));
    ++digits_;
    ++pieceDigits_;
    if (digits_ == pictureDigits()) {
        stage_ = Stage::After;
        return;
    }
    if (pieceDigits_ == pieceLength_)
        stage_ = Stage::Wait;
}

PicReceiver receiveTransmission(const QByteArray &transmission, const QString &waitText)
{
    PicReceiver receiver(waitText);
    for (const char ch : transmission) {
        if (!receiver.take(ch, 0.0))
            break;
    }
    receiver.finish();
    return receiver;
}

QString pauseSummary(const std::vector<PicReceiver::Pause> &pauses)
{
    if (pauses.empty())
        return QStringLiteral("no pauses");
    std::vector<double> ms;
    for (const auto &pause : pauses)
        ms.push_back(pause.ms);
    std::sort(ms.begin(), ms.end());
    const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    return QStringLiteral("%1 pauses: shortest %2 ms, median %3 ms, longest %4 ms")
        .arg(ms.size())
        .arg(ms.front(), 0, 'f', 3)
        .arg(median, 0, 'f', 3)
        .arg(ms.back(), 0, 'f', 3);
}

QString pictureResult(int number, const PicReceiver &picture)
{
    if (picture.good())
        return QStringLiteral("picture %1: OK; %2").arg(number).arg(pauseSummary(picture.pauses()));
    QString line =
        QStringLiteral("picture %1: FAILED: %2")
            .arg(number)
            .arg(picture.problems().value(
                0,
                QStringLiteral("short: %1 of %2 digits").arg(picture.digitsReceived()).arg(picture.pictureDigits())));
    if (picture.problemCount() > 1)
        line += QStringLiteral(" (%1 problems in all)").arg(picture.problemCount());
    return line;
}
