#include "firmware/judge/wire_timing.h"

#include "serial/series_plan.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>

QByteArray LineRecording::text() const
{
    QByteArray all;
    for (const Arrival &arrival : arrivals)
        all += arrival.bytes;
    return all;
}

bool writeRecording(const QString &path, const LineRecording &recording, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QTextStream out(&file);
    out << "baud " << recording.baud << '\n';
    for (const Arrival &arrival : recording.arrivals)
        out << arrival.ns << ' ' << arrival.bytes.toHex() << '\n';
    out.flush();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<LineRecording> readRecording(const QString &path, QString *error)
{
    QFile file(path);
    // A send of a few pictures is well under this; more is no recording.
    constexpr qint64 MostBytes = 64 << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MostBytes) {
        *error = QStringLiteral("cannot read the recording %1").arg(path);
        return std::nullopt;
    }
    LineRecording recording;
    const QList<QByteArray> lines = file.readAll().split('\n');
    const QList<QByteArray> header = lines.value(0).split(' ');
    bool ok = header.size() == 2 && header[0] == "baud";
    recording.baud = ok ? header[1].toInt(&ok) : 0;
    if (!ok || recording.baud < 300 || recording.baud > 115200) {
        *error = QStringLiteral("%1 is no recording: it does not start with \"baud N\"").arg(path);
        return std::nullopt;
    }
    qint64 last = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(' ');
        Arrival arrival;
        arrival.ns = fields.value(0).toLongLong(&ok);
        arrival.bytes = QByteArray::fromHex(fields.value(1));
        if (fields.size() != 2 || !ok || arrival.ns < last || arrival.bytes.isEmpty()) {
            *error = QStringLiteral("%1, line %2: not \"nanoseconds hex\" in time order").arg(path).arg(i + 1);
            return std::nullopt;
        }
        last = arrival.ns;
        recording.arrivals.push_back(arrival);
    }
    return recording;
}

namespace {

// A port that only notes when each character was handed over, on a clock
// that moves when the pacing sleeps.
class TimingPort : public PortLayer
{
public:
    TimingPort(LineDuration characterTime, LineRecording &recording)
        : characterTime_(characterTime), recording_(recording)
    {
    }

    LineTime now;

    bool isOpen() const override { return true; }
    void setOpen(bool) override {}
    qint16 commPort() const override { return 1; }
    void setCommPort(qint16) override {}
    QString settings() const override { return {}; }
    void setSettings(const QString &) override {}
    void output(char ch) override
    {
        const qint64 ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now - LineTime()).count();
        if (recording_.arrivals.empty() || recording_.arrivals.back().ns != ns)
            recording_.arrivals.push_back({ns, {}});
        recording_.arrivals.back().bytes.append(ch);
    }
    LineDuration characterTime() const override { return characterTime_; }
    bool drain(LineTime) override { return false; }
    QString input() override { return {}; }

private:
    LineDuration characterTime_;
    LineRecording &recording_;
};

} // namespace

LineRecording pacedRecording(const QStringList &texts, const QString &waitText, int delayMs, int holdMs, int baud)
{
    LineRecording recording;
    recording.baud = baud;
    LineSettings settings;
    settings.baudRate = baud;
    TimingPort port(characterTime(settings), recording);
    SeriesSendPlan plan;
    plan.texts = texts;
    plan.waitText = waitText;
    plan.delayMs = delayMs;
    plan.holdMs = holdMs;
    sendSeriesPaced(plan, port,
                    {[&](LineTime deadline) { port.now = std::max(port.now, deadline); }, [&] { return port.now; }});
    return recording;
}

std::vector<qint64> startCycles(const LineRecording &recording, qint64 leadCycles)
{
    const double characterCycles = 10.0 * CyclesPerSecond / recording.baud;
    std::vector<qint64> starts;
    double free = 0; // when the wire is free for the next start bit
    for (const Arrival &arrival : recording.arrivals) {
        const double arrived = leadCycles + arrival.ns * CyclesPerSecond / 1e9;
        for (qsizetype i = 0; i < arrival.bytes.size(); ++i) {
            const double start = std::max(arrived, free);
            starts.push_back(std::llround(start));
            free = start + characterCycles;
        }
    }
    return starts;
}

QByteArray rxStimulus(const QByteArray &bytes, const std::vector<qint64> &starts, int baud)
{
    const double bitCycles = CyclesPerSecond / baud;
    // Before the firmware turns its receiver on, or the edge is a start bit.
    QByteArray out = "1 0\n100 5\n";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        int level = 1;
        for (int bit = 0; bit < 10; ++bit) {
            const int next = bit == 0 ? 0 : bit == 9 ? 1 : (byte >> (bit - 1)) & 1;
            if (next == level)
                continue;
            level = next;
            out += QByteArray::number(starts[i] + std::llround(bit * bitCycles)) + (level ? " 5\n" : " 0\n");
        }
    }
    return out;
}
