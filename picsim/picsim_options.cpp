#include "picsim/picsim_options.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cmath>

namespace {

std::optional<double> nonNegativeNumber(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value >= 0 && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> positiveInteger(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? std::optional<int>(value) : std::nullopt;
}

} // namespace

std::optional<PicsimOptions> readPicsimOptions(const QCoreApplication &app, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the PIC at the far end of the serial line. Takes pictures as the PIC would: the parameter prefix "
        "exactly as the program writes it, then pieces of the announced buffer size behind the wait text, in "
        "lower-case hex, until 2048 digits have arrived, and nothing after them until the next picture's '*'. "
        "It judges the silence before each wait text on the wire of a line of the sender's speed, where a "
        "character takes (1 start + data + parity + stop bits) / baud seconds. Without --device it opens a "
        "pseudo-terminal and prints its device path on the first line of standard output. Each picture ends with "
        "one result line, on standard output and in the log. Interrupting (SIGINT, SIGTERM) ends the run as "
        "reaching --count does.\n\n"
        "Exit status: 0 every picture arrived whole and faultless (and --count of them, if given); 1 a picture "
        "was faulty or short, fewer than --count arrived, nothing arrived before --timeout, or the line was lost; "
        "2 a wrong option or a failure of the system."));
    parser.addHelpOption();
    const QCommandLineOption deviceOption(QStringLiteral("device"), QStringLiteral("Serial device to listen on."),
                                          QStringLiteral("path"));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"), QStringLiteral("Line settings of --device (default 9600,n,8,1)."),
        QStringLiteral("baud,parity,data,stop"), QString::fromLatin1(DefaultLineSettingsText));
    const QCommandLineOption baudOption(
        QStringLiteral("baud"),
        QStringLiteral("Judge the line at this speed (default: the speed the sender set on the pseudo-terminal, or "
                       "that of --settings)."),
        QStringLiteral("N"));
    const QCommandLineOption waitOption(QStringLiteral("wait"), QStringLiteral("The wait text (default \"]\")."),
                                        QStringLiteral("text"), QStringLiteral("]"));
    const QCommandLineOption expectOption(
        QStringLiteral("expect-delay"),
        QStringLiteral("A picture fails when the silence before any of its wait texts is shorter than MS less "
                       "--allowance."),
        QStringLiteral("MS"));
    const QCommandLineOption allowanceOption(
        QStringLiteral("allowance"),
        QStringLiteral("How much shorter than --expect-delay a measured silence may be (default 1 ms, for "
                       "scheduling). The kernel passes pseudo-terminal output on from a worker thread, on a busy "
                       "machine now and then a scheduler tick late, which shortens the silence measured after "
                       "that piece; a few ms more allow for it."),
        QStringLiteral("MS"));
    const QCommandLineOption countOption(
        QStringLiteral("count"),
        QStringLiteral("End after this many pictures (default: take pictures until interrupted)."),
        QStringLiteral("N"));
    const QCommandLineOption outOption(
        QStringLiteral("out"),
        QStringLiteral("Write the display after each picture as a 128 x 64 picture, PNG or BMP by extension; %d in "
                       "the name stands for the picture's number."),
        QStringLiteral("file"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Log file (default: standard error)."),
                                       QStringLiteral("file"));
    const QCommandLineOption timeoutOption(
        QStringLiteral("timeout"),
        QStringLiteral("End once the line has been quiet this many seconds; a picture in progress is reported "
                       "short (default: wait for ever)."),
        QStringLiteral("seconds"));
    const QCommandLineOption linkOption(
        QStringLiteral("link"),
        QStringLiteral("Make a symbolic link to the pseudo-terminal at this path (replacing an old link there), "
                       "removed on exit."),
        QStringLiteral("path"));
    parser.addOptions({deviceOption, settingsOption, baudOption, waitOption, expectOption, allowanceOption, countOption,
                       outOption, logOption, timeoutOption, linkOption});
    parser.process(app);

    auto usage = [error](const QString &message) {
        *error = message;
        return std::nullopt;
    };
    PicsimOptions o;
    o.waitText = parser.value(waitOption);
    const bool eightBit =
        std::all_of(o.waitText.begin(), o.waitText.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
    if (o.waitText.isEmpty() || !eightBit)
        return usage(QStringLiteral("the wait text must be one or more 8-bit characters"));
    if (parser.isSet(timeoutOption)) {
        o.timeoutSeconds = nonNegativeNumber(parser.value(timeoutOption));
        if (!o.timeoutSeconds || *o.timeoutSeconds <= 0)
            return usage(QStringLiteral("--timeout takes a positive number of seconds"));
    }
    if (parser.isSet(expectOption)) {
        const auto ms = nonNegativeNumber(parser.value(expectOption));
        if (!ms)
            return usage(QStringLiteral("--expect-delay takes a number of milliseconds"));
        o.expectDelayMs = *ms;
    }
    if (parser.isSet(allowanceOption)) {
        const auto ms = nonNegativeNumber(parser.value(allowanceOption));
        if (!ms)
            return usage(QStringLiteral("--allowance takes a number of milliseconds"));
        o.allowanceMs = *ms;
    }
    if (parser.isSet(countOption) && !(o.count = positiveInteger(parser.value(countOption))))
        return usage(QStringLiteral("--count takes a positive whole number"));
    if (parser.isSet(baudOption) && !(o.baud = positiveInteger(parser.value(baudOption))))
        return usage(QStringLiteral("--baud takes a positive whole number"));
    if (parser.isSet(deviceOption)) {
        if (parser.isSet(linkOption))
            return usage(QStringLiteral("--link goes with the pseudo-terminal, not with --device"));
        o.deviceSettings = parseLineSettings(parser.value(settingsOption));
        if (!o.deviceSettings)
            return usage(QStringLiteral("invalid --settings %1").arg(parser.value(settingsOption)));
        o.device = parser.value(deviceOption);
    }
    if (parser.isSet(linkOption))
        o.link = parser.value(linkOption);
    if (parser.isSet(outOption))
        o.out = parser.value(outOption);
    if (parser.isSet(logOption))
        o.log = parser.value(logOption);
    return o;
}
