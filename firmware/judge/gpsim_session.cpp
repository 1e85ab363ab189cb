#include "firmware/judge/gpsim_session.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

constexpr int EepromBytes = 32768;

// gpsim's FileStimulus and FileRecorder cut file names after 19
// characters, so every file of a run has a short name in the run's own
// folder, and gpsim runs there.
QString script(const GpsimSetup &setup)
{
    QString s = QStringLiteral("processor p16f877a\n"
                               "load fw.cod\n"
                               "frequency 18432000\n"
                               "module library libgpsim_modules\n"
                               "module load FileStimulus rx\n"
                               "rx.file = \"rx.stim\"\n"
                               "node rxline\n"
                               "attach rxline rx.pin portc7\n");
    if (setup.eeprom) {
        s += QStringLiteral("module load e24xx256 ee\n"
                            "module load pullup psc\n"
                            "module load pullup psd\n"
                            "node scl\n"
                            "node sda\n"
                            "attach scl portc3 ee.SCL psc.pin\n"
                            "attach sda portc4 ee.SDA psd.pin\n");
    }
    for (const QString &reg : setup.loggedRegisters)
        s += QStringLiteral("log w %1\n").arg(reg);
    if (!setup.loggedRegisters.isEmpty())
        s += QStringLiteral("log on w.log\n");
    s += QStringLiteral("break c %1\nrun\n").arg(setup.endCycle);
    if (!setup.loggedRegisters.isEmpty())
        s += QStringLiteral("log off\n");
    for (const QString &reg : setup.printedRegisters)
        s += reg + QLatin1Char('\n');
    if (setup.eeprom)
        s += QStringLiteral("ee.eeData\n");
    return s + QStringLiteral("quit\n");
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
}

} // namespace

std::optional<GpsimRun> runGpsim(const GpsimSetup &setup, QString *error)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !QFile::copy(setup.firmware, dir.filePath(QStringLiteral("fw.cod"))) ||
        !writeFile(dir.filePath(QStringLiteral("rx.stim")), setup.rxStimulus) ||
        !writeFile(dir.filePath(QStringLiteral("run.stc")), script(setup).toLatin1())) {
        *error = QStringLiteral("cannot set up a gpsim run with %1").arg(setup.firmware);
        return std::nullopt;
    }
    QProcess gpsim;
    gpsim.setWorkingDirectory(dir.path());
    gpsim.setProcessChannelMode(QProcess::MergedChannels);
    gpsim.setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (setup.mendFifo)
        environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VOXCEL_FIFO_MEND));
    gpsim.setProcessEnvironment(environment);
    gpsim.start(QStringLiteral(VOXCEL_GPSIM), {QStringLiteral("-i"), QStringLiteral("-c"), QStringLiteral("run.stc")});
    // A 1200 baud series is the longest run: about a minute on a busy machine.
    if (!gpsim.waitForFinished(600000)) {
        gpsim.kill();
        gpsim.waitForFinished();
        *error = QStringLiteral("gpsim did not finish");
        return std::nullopt;
    }
    GpsimRun run;
    // gpsim pads some of what it prints with NULs.
    run.output = QString::fromLocal8Bit(gpsim.readAll()).remove(QChar(0));
    QFile log(dir.filePath(QStringLiteral("w.log")));
    if (log.open(QIODevice::ReadOnly))
        run.log = QString::fromLatin1(log.readAll());
    // For a look at what gpsim did: its whole output kept where asked.
    const QString keep = qEnvironmentVariable("VOXCEL_GPSIM_OUTPUT");
    if (!keep.isEmpty()) {
        writeFile(keep, run.output.toLocal8Bit());
        writeFile(keep + QStringLiteral(".log"), run.log.toLatin1());
    }
    if (!run.output.contains(QStringLiteral("cycle break: 0x%1").arg(setup.endCycle, 0, 16))) {
        *error = QStringLiteral("gpsim stopped before cycle %1:\n%2").arg(setup.endCycle).arg(run.output.right(2000));
        return std::nullopt;
    }
    return run;
}

std::optional<int> printedValue(const QString &output, const QString &name)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1 = 0x([0-9a-fA-F]+)").arg(QRegularExpression::escape(name)));
    const auto match = pattern.match(output);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt(nullptr, 16);
}

std::vector<RegisterWrite> registerWrites(const QString &log)
{
    // An instruction line starts with its cycle; the writes it made follow:
    //   0x0000000000002A15 p16f877a 0x0016 0x0088 movwf portd
    //     Wrote: 0x0041 to portd(0x0008) was 0x0000
    // where a write may also share its line with a source line number.
    static const QRegularExpression wrote(QStringLiteral("\\bWrote: 0x([0-9A-Fa-f]+) to (\\w+)\\("));
    std::vector<RegisterWrite> writes;
    qint64 cycle = 0;
    for (const QStringView line : QStringView(log).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("0x")) && line.size() > 18) {
            cycle = line.mid(2, 16).toLongLong(nullptr, 16);
            continue;
        }
        const auto match = wrote.match(line);
        if (match.hasMatch())
            writes.push_back({cycle, match.captured(2), match.captured(1).toInt(nullptr, 16)});
    }
    return writes;
}

std::optional<QByteArray> eepromContents(const QString &output)
{
    static const QRegularExpression run(
        QStringLiteral("eeData\\[\\$([0-9a-fA-F]+)(?:\\.\\.\\$[0-9a-fA-F]+)?\\]\\s*=\\s*\\$([0-9a-fA-F]+)"));
    // Each run lasts until the next one starts.
    QByteArray contents(EepromBytes, '\0');
    int from = -1;
    char value = 0;
    for (auto it = run.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        const int start = match.captured(1).toInt(nullptr, 16);
        if (start < 0 || start >= EepromBytes || start < from)
            return std::nullopt;
        if (from >= 0)
            std::fill(contents.begin() + from, contents.begin() + start, value);
        from = start;
        value = static_cast<char>(match.captured(2).toInt(nullptr, 16));
    }
    if (from < 0)
        return std::nullopt;
    std::fill(contents.begin() + from, contents.end(), value);
    return contents;
}
