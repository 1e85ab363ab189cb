#include "picsim/pic_receiver.h"

#include <algorithm>
#include <cmath>

namespace {

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

std::optional<int> hexField(const QByteArray &text, qsizetype from, qsizetype length)
{
    if (length <= 0 || from + length > text.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = from; i < from + length; ++i) {
        const int digit = hexValue(text.at(i));
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
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
    if (text.at(1) != '0' && text.at(1) != '1')
        return refuse(QStringLiteral("the target is neither 0 nor 1"));
    const auto buffer = hexField(text, 2, 2);
    if (!buffer || *buffer == 0)
        return refuse(QStringLiteral("the buffer size is not two hex digits above 00"));
    const auto address = hexField(text, 4, 4);
    if (!address)
        return refuse(QStringLiteral("the start address is not four hex digits"));
    if (text.at(8) != '0')
        return refuse(QStringLiteral("the delay field does not start with 0"));
    const auto delay = hexField(text, 9, text.size() - 9);
    if (!delay)
        return refuse(QStringLiteral("the delay is not hex digits"));

    PicPrefix prefix;
    prefix.target = text.at(1) - '0';
    prefix.bufferSize = *buffer;
    prefix.startAddress = *address;
    prefix.picDelay = *delay;
    prefix.text = QString::fromLatin1(text);
    return prefix;
}

PicReceiver::PicReceiver(const QString &waitText) : waitText_(waitText.toLatin1()), display_(DisplayBytes, '\0')
{
    if (waitText_.isEmpty())
        waitText_ = "]";
}

void PicReceiver::receive(const QByteArray &chunk, double timeMs)
{
    for (const char ch : chunk) {
        if (stage_ == Stage::Done)
            return;
        take(ch, timeMs);
    }
}

void PicReceiver::take(char ch, double timeMs)
{
    recentGaps_.push_back(lastTime_ ? timeMs - *lastTime_ : 0.0);
    while (recentGaps_.size() > static_cast<std::size_t>(waitText_.size()))
        recentGaps_.pop_front();
    lastTime_ = timeMs;
    const qsizetype offset = offset_++;

    switch (stage_) {
    case Stage::Prefix:
        prefixText_.append(ch);
        if (prefixText_.endsWith(waitText_)) {
            QString error;
            prefix_ = parsePicPrefix(prefixText_.chopped(waitText_.size()), &error);
            if (!prefix_) {
                addProblem(error);
                stage_ = Stage::Done;
                return;
            }
            pieceLength_ = prefix_->bufferSize;
            waitTextComplete();
        } else if (prefixText_.size() > LongestPrefix + waitText_.size()) {
            addProblem(QStringLiteral("no wait text after the prefix \"%1...\"")
                           .arg(QString::fromLatin1(prefixText_.left(LongestPrefix))));
            stage_ = Stage::Done;
        }
        return;

    case Stage::Wait:
        if (ch == waitText_.at(waitMatched_)) {
            if (++waitMatched_ == waitText_.size())
                waitTextComplete();
            return;
        }
        addProblem(QStringLiteral("offset %1: %2 where the wait text was due").arg(offset).arg(shown(ch)));
        waitMatched_ = ch == waitText_.at(0) ? 1 : 0;
        return;

    case Stage::Piece: {
        const int value = hexValue(ch);
        if (value >= 0) {
            takeDigit(value);
            return;
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
            return;
        }
        addProblem(
            QStringLiteral("offset %1: %2 in piece %3 is not a hex digit").arg(offset).arg(shown(ch)).arg(pieces_));
        return;
    }

    case Stage::Done:
        return;
    }
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
    // The silence the PIC got to finish the previous piece came before the
    // first character of the wait text.
    const double gap = recentGaps_.size() == static_cast<std::size_t>(waitText_.size()) ? recentGaps_.front() : 0.0;
    ++pieces_;
    pauses_.push_back({pieces_, offset_ - waitText_.size(), gap});
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
    if (digits_ == DisplayDigits) {
        stage_ = Stage::Done;
        return;
    }
    if (pieceDigits_ == pieceLength_)
        stage_ = Stage::Wait;
}

PicReceiver receiveTransmission(const QByteArray &transmission, const QString &waitText)
{
    PicReceiver receiver(waitText);
    receiver.receive(transmission, 0.0);
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
