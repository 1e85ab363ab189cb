// voxcel-gpsim-judge: runs the reference firmware in gpsim behind the
// line Voxcel writes and says whether the pictures arrived whole.
//
// Exit status: 0 the pictures arrived whole, 1 they did not, 2 no verdict
// (gpsim's FIFO self-check failed, gpsim did not run, or a usage error).

#include "firmware/judge/line_judge.h"
#include "firmware/judge/line_recorder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

std::optional<QByteArray> hexBytes(const QString &path, QString *error)
{
    QFile file(path);
    constexpr qint64 MostBytes = 16 << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MostBytes) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return std::nullopt;
    }
    QByteArray digits;
    for (const char ch : file.readAll()) {
        if (std::isxdigit(static_cast<unsigned char>(ch)))
            digits.append(ch);
    }
    return QByteArray::fromHex(digits);
}

std::optional<int> number(const QCommandLineParser &parser, const QString &name, int fallback, QString *error)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0 || value > 600000) {
        *error = QStringLiteral("--%1: \"%2\" is not a whole number from 0 to 600000").arg(name, parser.value(name));
        return std::nullopt;
    }
    return value;
}

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Runs Voxcel's PIC receiver firmware in gpsim on the timing of a send and judges what it did."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("listen"), QStringLiteral("Record a real send on a pseudo-terminal linked at LINK."),
         QStringLiteral("LINK")},
        {QStringLiteral("save"), QStringLiteral("With --listen: also write the recording to FILE."),
         QStringLiteral("FILE")},
        {QStringLiteral("quiet-ms"), QStringLiteral("With --listen: the send is over after this quiet (1000)."),
         QStringLiteral("MS")},
        {QStringLiteral("replay"), QStringLiteral("Judge a recorded send."), QStringLiteral("FILE")},
        {QStringLiteral("text"),
         QStringLiteral("Judge transmission texts (one per line, a series) on the timing Voxcel's pacing gives "
                        "them."),
         QStringLiteral("FILE")},
        {QStringLiteral("baud"), QStringLiteral("With --text: the line speed (9600)."), QStringLiteral("BAUD")},
        {QStringLiteral("xmit-delay"), QStringLiteral("With --text: the pause before each wait character (20)."),
         QStringLiteral("MS")},
        {QStringLiteral("wait"), QStringLiteral("With --text: the wait text (\"]\")."), QStringLiteral("TEXT")},
        {QStringLiteral("hold"), QStringLiteral("With --text: the quiet after each text but the last (500)."),
         QStringLiteral("MS")},
        {QStringLiteral("expect"), QStringLiteral("The converted text the pictures must hold, one after another."),
         QStringLiteral("FILE")},
        {QStringLiteral("self-check"), QStringLiteral("Only check gpsim's receive FIFO.")},
        {QStringLiteral("no-mend"), QStringLiteral("Run gpsim without the library that mends its receive FIFO.")},
        {QStringLiteral("firmware-dir"), QStringLiteral("Where receiver-BAUD.cod and fifo_check.cod are."),
         QStringLiteral("DIR")},
    });
}

// The transmission texts of a file (one per line, a series) on the timing
// Voxcel's pacing gives them.
std::optional<LineRecording> textRecording(const QCommandLineParser &parser, QString *error)
{
    QFile file(parser.value(QStringLiteral("text")));
    if (!file.open(QIODevice::ReadOnly) || file.size() > (16 << 20)) {
        *error = QStringLiteral("cannot read %1").arg(file.fileName());
        return std::nullopt;
    }
    QStringList texts = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &text : texts)
        text = text.trimmed();
    const auto baud = number(parser, QStringLiteral("baud"), 9600, error);
    const auto delay = baud ? number(parser, QStringLiteral("xmit-delay"), 20, error) : std::nullopt;
    const auto hold = delay ? number(parser, QStringLiteral("hold"), 500, error) : std::nullopt;
    if (!hold)
        return std::nullopt;
    if (*baud != 1200 && *baud != 2400 && *baud != 9600) {
        *error = QStringLiteral("--baud: the firmware is built for 1200, 2400 and 9600");
        return std::nullopt;
    }
    const QString wait =
        parser.isSet(QStringLiteral("wait")) ? parser.value(QStringLiteral("wait")) : QStringLiteral("]");
    return pacedRecording(texts, wait, *delay, *hold, *baud);
}

// The send to judge: listened to, replayed from a file, or paced from texts.
std::optional<LineRecording> recordingToJudge(const QCommandLineParser &parser, QString *error)
{
    const int sources = parser.isSet(QStringLiteral("listen")) + parser.isSet(QStringLiteral("replay")) +
                        parser.isSet(QStringLiteral("text"));
    if (sources != 1) {
        *error = QStringLiteral("give one of --listen, --replay and --text (or --self-check)");
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("replay")))
        return readRecording(parser.value(QStringLiteral("replay")), error);
    if (parser.isSet(QStringLiteral("text")))
        return textRecording(parser, error);
    const auto quiet = number(parser, QStringLiteral("quiet-ms"), 1000, error);
    if (!quiet)
        return std::nullopt;
    auto recording = recordLine(parser.value(QStringLiteral("listen")), *quiet, 30000, error);
    if (recording && parser.isSet(QStringLiteral("save")) &&
        !writeRecording(parser.value(QStringLiteral("save")), *recording, error))
        return std::nullopt;
    return recording;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    JudgeOptions options;
    options.firmwareDir = parser.isSet(QStringLiteral("firmware-dir")) ? parser.value(QStringLiteral("firmware-dir"))
                                                                       : QStringLiteral(VOXCEL_FIRMWARE_DIR);
    options.mendFifo = !parser.isSet(QStringLiteral("no-mend"));
    QString error;
    auto usage = [&](const QString &why) {
        err << "voxcel-gpsim-judge: " << why << Qt::endl;
        return 2;
    };

    if (parser.isSet(QStringLiteral("self-check"))) {
        QString detail;
        if (!fifoSelfCheck(options, &detail)) {
            out << "self-check FAILED: " << detail << Qt::endl;
            return 2;
        }
        out << "self-check: gpsim reads \"AB\" received while busy as A then B" << Qt::endl;
        return 0;
    }
    if (parser.isSet(QStringLiteral("expect"))) {
        options.expected = hexBytes(parser.value(QStringLiteral("expect")), &error);
        if (!options.expected)
            return usage(error);
    }
    const std::optional<LineRecording> recording = recordingToJudge(parser, &error);
    if (!recording)
        return usage(error);

    const Verdict verdict = judgeLine(*recording, options);
    for (const QString &line : verdict.lines)
        out << line << '\n';
    out.flush();
    return verdict.exitCode();
}
