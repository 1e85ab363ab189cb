// voxcel-gpsim-margins: the firmware's margins, measured in gpsim, and how
// far voxcel-picsim agrees with it. Prints two Markdown tables:
//  - for each line speed and target, the longest time a piece keeps the
//    firmware from listening, the smallest xmit delay it takes without
//    loss, and what a picture then takes against the line's floor;
//  - a sweep of the xmit delay, gpsim's overruns beside picsim's verdict,
//    picsim expecting the measured piece time less the three characters
//    the USART holds (its FIFO and shift register) as its allowance.
// Takes a few minutes: every row is a gpsim run of a whole picture.

#include "convert/reformat.h"
#include "firmware/judge/line_judge.h"
#include "picsim/pic_line.h"
#include "serial/line_model.h"
#include "serial/pacing.h"
#include "serial/param_prefix.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cmath>

namespace {

struct Case
{
    int baud;
    bool eeprom;
    int address;
};

QString transmission(const Case &c)
{
    // Every bit pattern, deterministically: a picture with no runs to hide
    // a misplaced byte.
    QString digits;
    quint32 state = 28;
    for (int i = 0; i < 1024; ++i) {
        state = state * 1664525u + 1013904223u;
        digits += QStringLiteral("%1").arg(state >> 24, 2, 16, QLatin1Char('0'));
    }
    const auto prefix = buildParamPrefix(c.eeprom, 32, QString::number(c.address), 10);
    return reformatForOutput(digits, 32, QStringLiteral("]"), *prefix);
}

LineDuration characterTimeAt(int baud)
{
    LineSettings settings;
    settings.baudRate = baud;
    return characterTime(settings);
}

struct Outcome
{
    bool judged = false;
    int overruns = 0;
    bool whole = false;
    double pieceMs = 0;
};

Outcome runFirmware(const Case &c, int delayMs, const JudgeOptions &options)
{
    const LineRecording recording = pacedRecording({transmission(c)}, QStringLiteral("]"), delayMs, 0, c.baud);
    FirmwareOutcome found;
    const Verdict verdict = judgeLine(recording, options, &found);
    Outcome outcome;
    outcome.judged = verdict.outcome != Verdict::Outcome::NoVerdict;
    outcome.overruns = found.overruns;
    outcome.whole = verdict.outcome == Verdict::Outcome::Pass;
    outcome.pieceMs = found.longestPieceMs;
    return outcome;
}

// picsim's verdict on the same timing: every pause at least expectMs less
// allowanceMs, and the picture whole.
bool picsimPasses(const Case &c, int delayMs, double expectMs, double allowanceMs)
{
    const LineRecording recording = pacedRecording({transmission(c)}, QStringLiteral("]"), delayMs, 0, c.baud);
    PicLine line(QStringLiteral("]"), expectMs, allowanceMs);
    for (const Arrival &arrival : recording.arrivals)
        line.receive(arrival.bytes, LineTime(std::chrono::nanoseconds(arrival.ns)), characterTimeAt(c.baud));
    line.endPicture();
    const auto pictures = line.takeEnded();
    return pictures.size() == 1 && pictures.front().receiver.good();
}

QString targetName(const Case &c)
{
    return c.eeprom ? QStringLiteral("EEPROM at %1").arg(c.address) : QStringLiteral("display");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    JudgeOptions options;
    options.firmwareDir = QStringLiteral(VOXCEL_FIRMWARE_DIR);

    QList<Case> cases;
    for (const int baud : {9600, 2400, 1200}) {
        cases.append({baud, false, 0});
        cases.append({baud, true, 0});
        cases.append({baud, true, 1000});
    }

    out << "| baud | target | piece time (ms) | smallest xmit delay (ms) | picture (s) | line floor (s) |\n"
        << "|---|---|---|---|---|---|\n";
    QList<double> pieceTimes;
    for (const Case &c : cases) {
        // The piece time from a run slow enough to lose nothing.
        const Outcome paced = runFirmware(c, 60, options);
        if (!paced.judged || !paced.whole) {
            out << "| " << c.baud << " | " << targetName(c) << " | no verdict even at 60 ms |\n";
            pieceTimes << 0;
            continue;
        }
        pieceTimes << paced.pieceMs;
        int lossless = 60;
        int lossy = -1;
        if (runFirmware(c, 0, options).whole)
            lossless = 0;
        while (lossless - lossy > 1) {
            const int middle = (lossless + lossy) / 2;
            (runFirmware(c, middle, options).whole ? lossless : lossy) = middle;
        }
        const QString text = transmission(c);
        const LineDuration character = characterTimeAt(c.baud);
        const auto seconds = [](LineDuration d) { return std::chrono::duration<double>(d).count(); };
        out << "| " << c.baud << " | " << targetName(c) << " | " << QString::number(paced.pieceMs, 'f', 2) << " | "
            << lossless << " | "
            << QString::number(seconds(pacedSendTime(text, QStringLiteral("]"), lossless, character)), 'f', 2) << " | "
            << QString::number(seconds(text.size() * character), 'f', 2) << " |\n";
        out.flush();
    }

    out << "\n| baud | target | xmit delay (ms) | gpsim overruns | gpsim | picsim (expect, allowance ms) | agree |\n"
        << "|---|---|---|---|---|---|---|\n";
    int disagreements = 0;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        // The USART holds two characters and shifts in a third before it
        // overruns: the firmware may stay busy that much longer than the
        // pause.
        const double allowanceMs = 3 * std::chrono::duration<double, std::milli>(characterTimeAt(c.baud)).count();
        const double expectMs = std::ceil(pieceTimes[i] * 10) / 10;
        for (const int delayMs : {0, 2, 5, 8, 10, 12, 15, 18, 20}) {
            const Outcome firmware = runFirmware(c, delayMs, options);
            const bool picsim = picsimPasses(c, delayMs, expectMs, allowanceMs);
            const bool agree = firmware.whole == picsim && firmware.whole == (firmware.overruns == 0);
            disagreements += !agree;
            out << "| " << c.baud << " | " << targetName(c) << " | " << delayMs << " | " << firmware.overruns << " | "
                << (firmware.whole ? "whole" : "lost") << " | " << (picsim ? "paced enough" : "too short") << " ("
                << expectMs << ", " << QString::number(allowanceMs, 'f', 2) << ") | " << (agree ? "yes" : "NO")
                << " |\n";
            out.flush();
        }
    }
    out << "\n" << disagreements << " disagreement(s)\n";
    return disagreements == 0 ? 0 : 1;
}
