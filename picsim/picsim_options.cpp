#include "picsim/picsim_options.h"

#include "picsim/lcd_picture.h"
#include "serial/pacing.h"

#include <QCommandLineParser>
#include <QLocale>

#include <algorithm>
#include <functional>

namespace {

QString picsimDescription()
{
    return QStringLiteral(
        "Plays the PIC at the far end of the serial line. Takes pictures as the PIC would: the parameter prefix "
        "exactly as the program writes it, then pieces of the announced buffer size behind the wait text, in lower-"
        "case hex, until 2048 digits have arrived (1024 with --rows 32), and nothing after them until the next "
        "picture's '*'. It judges the silence before each wait text on the wire of a line of the sender's speed, "
        "where a character takes (1 start + data + parity + stop bits) / baud seconds. Without --device it opens a "
        "pseudo-terminal and prints its device path on the first line of standard output. Each picture ends with "
        "one result line, on standard output and in the log; an I2C EEPROM picture also a line with its start "
        "address, checked to follow the EEPROM picture before it by one picture's bytes. Interrupting (SIGINT, "
        "SIGTERM) ends the run as reaching --count does.\n\n"
        "Exit status: 0 every picture arrived whole and faultless (and --count of them, if given); 1 a picture was "
        "faulty or short, fewer than --count arrived, nothing arrived before --timeout, or the line was lost; 2 a "
        "wrong option or a failure of the system.");
}

void addPicsimOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(picsimDescription());
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("device"), QStringLiteral("Serial device to listen on."), QStringLiteral("path")},
        {QStringLiteral("settings"), QStringLiteral("Line settings of --device (default 9600,n,8,1)."),
         QStringLiteral("baud,parity,data,stop"), QString::fromLatin1(DefaultLineSettingsText)},
        {QStringLiteral("baud"),
         QStringLiteral("Judge the line at this speed (default: the speed the sender set on the pseudo-terminal, "
                        "or that of --settings)."),
         QStringLiteral("N")},
        {QStringLiteral("wait"), QStringLiteral("The wait text (default \"]\")."), QStringLiteral("text"),
         QStringLiteral("]")},
        {QStringLiteral("expect-delay"),
         QStringLiteral("A picture fails when the silence before any of its wait texts is shorter than MS less "
                        "--allowance."),
         QStringLiteral("MS")},
        {QStringLiteral("allowance"),
         QStringLiteral("How much shorter than --expect-delay a measured silence may be (default 1 ms, for "
                        "scheduling). The kernel passes pseudo-terminal output on from a worker thread, on a busy "
                        "machine now and then a scheduler tick late, which shortens the silence measured after "
                        "that piece; a few ms more allow for it."),
         QStringLiteral("MS")},
        {QStringLiteral("count"),
         QStringLiteral("End after this many pictures (default: take pictures until interrupted)."),
         QStringLiteral("N")},
        {QStringLiteral("rows"),
         QStringLiteral("The display's rows: 64 (the default; 1024 bytes a picture) or 32 (512 bytes, as a 128 x 32 "
                        "display and its EEPROM pictures take them)."),
         QStringLiteral("64|32")},
        {QStringLiteral("out"),
         QStringLiteral("Write the display after each picture as a 128 x 64 picture, PNG or BMP by extension; %d "
                        "in the name stands for the picture's number. A regular file, never --link or --log; a "
                        "picture whose prefix was refused writes none."),
         QStringLiteral("file")},
        {QStringLiteral("log"), QStringLiteral("Log file (default: standard error)."), QStringLiteral("file")},
        {QStringLiteral("timeout"),
         QStringLiteral("End once the line has been quiet this many seconds; a picture in progress is reported "
                        "short (default: wait for ever)."),
         QStringLiteral("seconds")},
        {QStringLiteral("link"),
         QStringLiteral("Make a symbolic link to the pseudo-terminal at this path (replacing an old link there), "
                        "removed on exit."),
         QStringLiteral("path")},
    });
}

// Bounds that keep every number meaningful and far from overflowing the
// clock or the counters it feeds.
struct NumberOption
{
    QString name;
    double least;
    double most;
    bool whole;
    QString takes; // what the value counts, for the message
    QString hint;  // what to do instead, if there is a better way
    std::function<void(double)> keep;
};

QString shortest(double value)
{
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

bool readNumbers(const QCommandLineParser &parser, PicsimOptions &o, QString *error)
{
    constexpr double MostSeconds = 1e6;
    constexpr double MostPictures = 1e6;
    const NumberOption numbers[] = {
        {QStringLiteral("timeout"), 0.001, MostSeconds, false, QStringLiteral("seconds"),
         QStringLiteral(" (leave it out to wait for ever)"), [&](double value) { o.timeoutSeconds = value; }},
        {QStringLiteral("expect-delay"), 0, MaxXmitDelayMs, false, QStringLiteral("milliseconds"), QString(),
         [&](double value) { o.expectDelayMs = value; }},
        {QStringLiteral("allowance"), 0, MaxXmitDelayMs, false, QStringLiteral("milliseconds"), QString(),
         [&](double value) { o.allowanceMs = value; }},
        {QStringLiteral("count"), 1, MostPictures, true, QStringLiteral("a whole number"), QString(),
         [&](double value) { o.count = static_cast<int>(value); }},
        // The slowest and fastest rates a serial line is set to.
        {QStringLiteral("baud"), 50, 4000000, true, QStringLiteral("a whole number"), QString(),
         [&](double value) { o.baud = static_cast<int>(value); }},
    };
    for (const NumberOption &number : numbers) {
        if (!parser.isSet(number.name))
            continue;
        const QString text = parser.value(number.name);
        bool ok = false;
        const double value = number.whole ? text.toInt(&ok) : text.toDouble(&ok);
        // NaN fails both comparisons, infinities the range.
        if (!ok || !(value >= number.least && value <= number.most)) {
            *error = QStringLiteral("--%1 takes %2 from %3 to %4, not %5")
                         .arg(number.name, number.takes, shortest(number.least), shortest(number.most), text) +
                     number.hint;
            return false;
        }
        number.keep(value);
    }
    return true;
}

bool readLineOptions(const QCommandLineParser &parser, PicsimOptions &o, QString *error)
{
    o.waitText = parser.value(QStringLiteral("wait"));
    const bool eightBit =
        std::all_of(o.waitText.begin(), o.waitText.end(), [](QChar ch) { return ch.unicode() <= 0xFF; });
    if (o.waitText.isEmpty() || !eightBit) {
        *error = QStringLiteral("the wait text must be one or more 8-bit characters");
        return false;
    }
    if (parser.isSet(QStringLiteral("device"))) {
        const QString settings = parser.value(QStringLiteral("settings"));
        if (parser.isSet(QStringLiteral("link"))) {
            *error = QStringLiteral("--link goes with the pseudo-terminal, not with --device");
            return false;
        }
        if (!(o.deviceSettings = parseLineSettings(settings))) {
            *error = QStringLiteral("invalid --settings %1").arg(settings);
            return false;
        }
        o.device = parser.value(QStringLiteral("device"));
    }
    if (parser.isSet(QStringLiteral("link")))
        o.link = parser.value(QStringLiteral("link"));
    return true;
}

// The display's height, which sets the size of a picture.
bool readRows(const QCommandLineParser &parser, PicsimOptions &o, QString *error)
{
    if (!parser.isSet(QStringLiteral("rows")))
        return true;
    const QString rows = parser.value(QStringLiteral("rows"));
    if (rows != QLatin1String("64") && rows != QLatin1String("32")) {
        *error = QStringLiteral("--rows takes 64 or 32, not %1").arg(rows);
        return false;
    }
    o.pictureBytes = rows.toInt() * PicReceiver::DisplayBytes / 64;
    return true;
}

bool readFileOptions(const QCommandLineParser &parser, PicsimOptions &o, QString *error)
{
    if (parser.isSet(QStringLiteral("out"))) {
        o.out = parser.value(QStringLiteral("out"));
        // Said now rather than after the first picture has been sent.
        const QString problem = lcdPictureFileProblem(*o.out);
        if (!problem.isEmpty()) {
            *error = QStringLiteral("--out %1: %2").arg(*o.out, problem);
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("log")))
        o.log = parser.value(QStringLiteral("log"));
    // The first picture's file now, each later one as it is written.
    const QStringList first = o.out ? QStringList{lcdPictureFileName(*o.out, 1)} : QStringList();
    *error = sharedFileProblem(QList<FileGroup>{{QStringLiteral("--out"), first}} + linkAndLogFiles(o));
    return error->isEmpty();
}

} // namespace

QList<FileGroup> linkAndLogFiles(const PicsimOptions &options)
{
    QList<FileGroup> files;
    if (options.link)
        files.append({QStringLiteral("--link"), {*options.link}});
    if (options.log)
        files.append({QStringLiteral("--log"), {*options.log}});
    return files;
}

std::optional<PicsimOptions> readPicsimOptions(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    addPicsimOptions(parser);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    // Shows the help and ends the program when it is asked for.
    parser.process(arguments);

    PicsimOptions o;
    if (!readLineOptions(parser, o, error) || !readNumbers(parser, o, error) || !readRows(parser, o, error) ||
        !readFileOptions(parser, o, error))
        return std::nullopt;
    return o;
}
