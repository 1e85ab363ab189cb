#include "firmware/judge/line_judge.h"

#include "firmware/judge/gpsim_session.h"
#include "firmware/judge/ks0108_model.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

int lowerHex(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    return ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

int upperHex(char ch)
{
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return ch >= '0' && ch <= '9' ? ch - '0' : -1;
}

int upperHexField(const QByteArray &text, qsizetype from, qsizetype length)
{
    int value = 0;
    for (qsizetype i = from; i < from + length; ++i) {
        const int digit = i < text.size() ? upperHex(text.at(i)) : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Before the first character the firmware has started up; after the last
// it stores the last piece and sends its status line, or, when characters
// were lost, waits out its 2.05 s of silence first.
constexpr double LeadSeconds = 0.1;
constexpr double TailSeconds = 0.4;
constexpr double SilenceSeconds = 2.1;
constexpr int EepromSize = 32768;

qint64 cycles(double seconds)
{
    return std::llround(seconds * CyclesPerSecond);
}

QString firmwareFile(const JudgeOptions &options, const QString &name)
{
    return QDir(options.firmwareDir).filePath(name);
}

QStringList statusLines(const std::vector<RegisterWrite> &writes)
{
    QByteArray sent;
    for (const RegisterWrite &write : writes) {
        if (write.reg == QLatin1String("txreg"))
            sent.append(static_cast<char>(write.value));
    }
    QStringList lines = QString::fromLatin1(sent).split(QStringLiteral("\r\n"));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// How long each piece kept the firmware from listening: RC0 high.
double longestBusyMs(const std::vector<RegisterWrite> &writes)
{
    qint64 rose = -1;
    qint64 longest = 0;
    for (const RegisterWrite &write : writes) {
        if (write.reg != QLatin1String("portc"))
            continue;
        if ((write.value & 1) && rose < 0)
            rose = write.cycle;
        else if (!(write.value & 1) && rose >= 0) {
            longest = std::max(longest, write.cycle - rose);
            rose = -1;
        }
    }
    return longest * 1000.0 / CyclesPerSecond;
}

QString firstDifference(const QByteArray &got, const QByteArray &wanted, bool display)
{
    qsizetype differing = 0;
    qsizetype first = -1;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if (got.at(i) != wanted.at(i)) {
            ++differing;
            if (first < 0)
                first = i;
        }
    }
    if (differing == 0)
        return {};
    const QString where = display ? QStringLiteral("page %1 column %2").arg(first / 128).arg(first % 128)
                                  : QStringLiteral("byte %1").arg(first);
    return QStringLiteral("%1 of %2 bytes differ, the first at %3 (%4, not %5)")
        .arg(differing)
        .arg(wanted.size())
        .arg(where)
        .arg(static_cast<unsigned char>(got.at(first)), 2, 16, QLatin1Char('0'))
        .arg(static_cast<unsigned char>(wanted.at(first)), 2, 16, QLatin1Char('0'));
}

} // namespace

std::vector<SentPicture> sentPictures(const QByteArray &transmission)
{
    std::vector<SentPicture> pictures;
    for (qsizetype star = transmission.indexOf('*'); star >= 0;) {
        const qsizetype next = transmission.indexOf('*', star + 1);
        const QByteArray text = transmission.mid(star, next < 0 ? -1 : next - star);
        star = next;
        SentPicture picture;
        picture.target = text.size() > 1 && text.at(1) == '1';
        picture.address = upperHexField(text, 4, 4);
        // The delay field: "0", then hex digits up to the wait text.
        qsizetype data = 9;
        while (data < text.size() && upperHex(text.at(data)) >= 0)
            ++data;
        int high = -1;
        for (qsizetype i = data; i < text.size(); ++i) {
            const int digit = lowerHex(text.at(i));
            if (digit < 0)
                continue;
            if (high < 0) {
                high = digit;
            } else {
                picture.bytes.append(static_cast<char>(high * 16 + digit));
                high = -1;
            }
        }
        pictures.push_back(picture);
    }
    return pictures;
}

bool fifoSelfCheck(const JudgeOptions &options, QString *detail)
{
    // "A" and "B" back to back while the check firmware is busy: both wait
    // in the FIFO, then it reads RCREG twice.
    LineRecording ab;
    ab.arrivals.push_back({0, QByteArrayLiteral("AB")});
    GpsimSetup setup;
    setup.firmware = firmwareFile(options, QStringLiteral("fifo_check.cod"));
    const qint64 lead = cycles(LeadSeconds);
    const auto starts = startCycles(ab, lead);
    setup.rxStimulus = rxStimulus(ab.text(), starts, ab.baud);
    setup.endCycle = lead + cycles(0.01);
    setup.printedRegisters = QStringList{QStringLiteral("first_read"), QStringLiteral("second_read")};
    setup.mendFifo = options.mendFifo;
    QString error;
    const auto run = runGpsim(setup, &error);
    if (!run) {
        *detail = error;
        return false;
    }
    const auto first = printedValue(run->output, setup.printedRegisters[0]);
    const auto second = printedValue(run->output, setup.printedRegisters[1]);
    if (first == 'A' && second == 'B')
        return true;
    *detail = QStringLiteral("\"AB\" received while busy read back as %1 then %2")
                  .arg(first ? QString(QChar(*first)) : QStringLiteral("nothing"),
                       second ? QString(QChar(*second)) : QStringLiteral("nothing"));
    return false;
}

namespace {

const QStringList Counters{QStringLiteral("overruns"), QStringLiteral("framing"), QStringLiteral("bad")};

bool anyTo(const std::vector<SentPicture> &sent, int target)
{
    return std::any_of(sent.begin(), sent.end(), [target](const auto &p) { return p.target == target; });
}

// gpsim's run of the firmware over what the line carried: the registers
// that show what the firmware answered and drove, and its counters.
GpsimSetup setupFor(const LineRecording &recording, const JudgeOptions &options, const std::vector<SentPicture> &sent)
{
    GpsimSetup setup;
    setup.firmware = firmwareFile(options, QStringLiteral("receiver-%1.cod").arg(recording.baud));
    const QByteArray text = recording.text();
    const auto starts = startCycles(recording, cycles(LeadSeconds));
    setup.rxStimulus = rxStimulus(text, starts, recording.baud);
    // A picture cut short by lost characters ends only after the silence.
    setup.endCycle = starts.back() + cycles(TailSeconds + SilenceSeconds);
    setup.loggedRegisters = QStringList{QStringLiteral("txreg"), QStringLiteral("portc")};
    if (anyTo(sent, 0))
        setup.loggedRegisters << QStringLiteral("portb") << QStringLiteral("portd");
    setup.eeprom = anyTo(sent, 1);
    setup.mendFifo = options.mendFifo;
    setup.printedRegisters = QStringList{QStringLiteral("pictures")};
    for (const QString &counter : Counters)
        setup.printedRegisters << counter + QStringLiteral("_hi") << counter + QStringLiteral("_lo");
    return setup;
}

// What the firmware answered, and its counters of the last picture (high
// byte first), which see what gpsim's breakpoints cannot (OERR set by the
// hardware).
FirmwareOutcome outcomeOf(const std::vector<RegisterWrite> &writes, const GpsimRun &run, Verdict &verdict,
                          std::size_t pictures)
{
    FirmwareOutcome found;
    found.statusLines = statusLines(writes);
    found.longestPieceMs = longestBusyMs(writes);
    static const QRegularExpression overrunCount(QStringLiteral(" O(\\d+) "));
    for (const QString &line : found.statusLines)
        found.overruns += overrunCount.match(line).captured(1).toInt();
    verdict.lines << QStringLiteral("firmware: %1 picture(s), %2 status line(s): %3")
                         .arg(pictures)
                         .arg(found.statusLines.size())
                         .arg(found.statusLines.join(QStringLiteral(" | ")));
    QStringList counted;
    for (const QString &counter : Counters) {
        const int high = printedValue(run.output, counter + QStringLiteral("_hi")).value_or(-1);
        const int low = printedValue(run.output, counter + QStringLiteral("_lo")).value_or(-1);
        counted << QStringLiteral("%1 %2").arg(counter).arg(high < 0 || low < 0 ? -1 : high * 256 + low);
    }
    verdict.lines << QStringLiteral("last picture's counters: %1").arg(counted.join(QStringLiteral(", ")));
    verdict.lines << QStringLiteral("longest piece kept the firmware busy %1 ms").arg(found.longestPieceMs, 0, 'f', 3);
    return found;
}

// Each picture answered "OK <bytes>", nothing overran, and the line carried
// the pictures expected.
QStringList answerFaults(const std::vector<SentPicture> &sent, const FirmwareOutcome &found,
                         const JudgeOptions &options)
{
    QStringList faults;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const QString wanted = QStringLiteral("OK %1").arg(sent[i].bytes.size());
        const QString got = found.statusLines.value(static_cast<qsizetype>(i), QStringLiteral("nothing"));
        if (got != wanted)
            faults << QStringLiteral("picture %1 answered \"%2\", not \"%3\"").arg(i + 1).arg(got, wanted);
    }
    if (found.statusLines.size() > static_cast<qsizetype>(sent.size()))
        faults << QStringLiteral("more status lines than pictures");
    if (found.overruns > 0)
        faults << QStringLiteral("%1 overrun(s): the line did not pause long enough").arg(found.overruns);
    QByteArray wantedAll;
    for (const SentPicture &picture : sent)
        wantedAll += picture.bytes;
    if (options.expected && *options.expected != wantedAll)
        faults << QStringLiteral("the line carried other bytes than the expected pictures: %1")
                      .arg(firstDifference(wantedAll.leftJustified(options.expected->size(), '\0', true),
                                           *options.expected, false));
    return faults;
}

// The display, replayed from the firmware's writes, shows the last picture
// sent to it.
void judgeDisplay(const std::vector<RegisterWrite> &writes, const std::vector<SentPicture> &sent, Verdict &verdict,
                  QStringList &faults)
{
    Ks0108Model display;
    display.replay(writes);
    const auto last = std::find_if(sent.rbegin(), sent.rend(), [](const auto &p) { return p.target == 0; });
    QByteArray wanted = last->bytes.leftJustified(1024, '\0', true);
    const QString difference = firstDifference(display.shownBytes(), wanted, true);
    verdict.lines
        << QStringLiteral("display: %1").arg(difference.isEmpty() ? QStringLiteral("shows the picture") : difference);
    if (!difference.isEmpty())
        faults << QStringLiteral("the display does not show the picture");
    for (const QString &fault : display.faults())
        faults << QStringLiteral("display: %1").arg(fault);
}

// The EEPROM holds each picture sent to it at its address; false when gpsim
// printed no contents.
bool judgeEeprom(const GpsimRun &run, const std::vector<SentPicture> &sent, Verdict &verdict, QStringList &faults)
{
    const auto contents = eepromContents(run.output);
    if (!contents)
        return false;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (sent[i].target != 1)
            continue;
        QByteArray stored;
        for (qsizetype k = 0; k < sent[i].bytes.size(); ++k)
            stored.append(contents->at((sent[i].address + k) % EepromSize));
        const QString difference = firstDifference(stored, sent[i].bytes, false);
        verdict.lines << QStringLiteral("EEPROM picture %1 at %2: %3")
                             .arg(i + 1)
                             .arg(sent[i].address)
                             .arg(difference.isEmpty() ? QStringLiteral("holds the picture") : difference);
        if (!difference.isEmpty())
            faults << QStringLiteral("the EEPROM does not hold picture %1").arg(i + 1);
    }
    return true;
}

} // namespace

Verdict judgeLine(const LineRecording &recording, const JudgeOptions &options, FirmwareOutcome *outcome)
{
    Verdict verdict;
    QString detail;
    if (!fifoSelfCheck(options, &detail)) {
        verdict.lines << QStringLiteral("no verdict: gpsim's receive FIFO fails its self-check: %1").arg(detail);
        return verdict;
    }
    verdict.lines << QStringLiteral("self-check: gpsim reads \"AB\" received while busy as A then B");

    const std::vector<SentPicture> sent = sentPictures(recording.text());
    if (sent.empty()) {
        verdict.lines << QStringLiteral("no verdict: nothing on the line starts a picture");
        return verdict;
    }
    QString error;
    const auto run = runGpsim(setupFor(recording, options, sent), &error);
    if (!run || !printedValue(run->output, QStringLiteral("pictures"))) {
        verdict.lines
            << QStringLiteral("no verdict: %1").arg(run ? QStringLiteral("gpsim printed no counters") : error);
        return verdict;
    }
    const auto writes = registerWrites(run->log);
    const FirmwareOutcome found = outcomeOf(writes, *run, verdict, sent.size());
    if (outcome)
        *outcome = found;
    QStringList faults = answerFaults(sent, found, options);
    if (anyTo(sent, 0))
        judgeDisplay(writes, sent, verdict, faults);
    if (anyTo(sent, 1) && !judgeEeprom(*run, sent, verdict, faults)) {
        verdict.outcome = Verdict::Outcome::NoVerdict;
        verdict.lines << QStringLiteral("no verdict: gpsim printed no EEPROM contents");
        return verdict;
    }
    verdict.outcome = faults.isEmpty() ? Verdict::Outcome::Pass : Verdict::Outcome::Fail;
    verdict.lines << (faults.isEmpty() ? QStringLiteral("VERDICT: PASS")
                                       : QStringLiteral("VERDICT: FAIL: %1").arg(faults.join(QStringLiteral("; "))));
    return verdict;
}
