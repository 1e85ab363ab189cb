#include "cli/convert_options.h"

#include "convert/reformat.h"
#include "serial/pacing.h"
#include "serial/param_prefix.h"
#include "serial/pic_settings.h"
#include "text/shared_files.h"
#include "text/text_rules.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

const QString Order = QStringLiteral("order");
const QString Header = QStringLiteral("header");
const QString Footer = QStringLiteral("footer");
const QString Format = QStringLiteral("format");
const QString Delimiter = QStringLiteral("delimiter");
const QString Reformat = QStringLiteral("reformat");
const QString Buffer = QStringLiteral("buffer");
const QString Wait = QStringLiteral("wait");
const QString PicDelay = QStringLiteral("pic-delay");
const QString Eeprom = QStringLiteral("eeprom");
const QString Address = QStringLiteral("address");
const QString Send = QStringLiteral("send");
const QString Baud = QStringLiteral("baud");
const QString XmitDelay = QStringLiteral("xmit-delay");
const QString Output = QStringLiteral("output");
const QString Suffix = QStringLiteral("suffix");
const QString Help = QStringLiteral("help");
const QString Version = QStringLiteral("version");
const QString FromText = QStringLiteral("from-text");
const QString Fit = QStringLiteral("fit");
const QString Threshold = QStringLiteral("threshold");
const QString Dither = QStringLiteral("dither");
const QString Invert = QStringLiteral("invert");
const QString Text = QStringLiteral("text");
const QString Font = QStringLiteral("font");
const QString Size = QStringLiteral("size");
const QString Bold = QStringLiteral("bold");
const QString At = QStringLiteral("at");
const QString SavePicture = QStringLiteral("save-picture");
const QString ListFonts = QStringLiteral("list-fonts");
// --at beyond this lies far off the display.
constexpr int MaxTextOffset = 10000;
const QString Series = QStringLiteral("series");
const QString Hold = QStringLiteral("hold");
const QString Loop = QStringLiteral("loop");
const QString Rows = QStringLiteral("rows");

// The line speeds the window's settings list offers.
constexpr std::array<int, 3> baudChoices{9600, 2400, 1200};
// The window puts these into the Xmit Delay box for each target.
constexpr int LcdXmitDelayMs = 20;
constexpr int EepromXmitDelayMs = 200;

template <typename Choices> QString joinedChoices(const Choices &choices)
{
    QStringList texts;
    for (const auto value : choices)
        texts.append(QString::number(value));
    return texts.join(QStringLiteral(", "));
}

void addOptions(QCommandLineParser &parser)
{
    parser.addOptions({
        {{QStringLiteral("o"), Output},
         QStringLiteral("Write the text to the file PATH instead of standard output: trimmed, with CR LF, "
                        "as the window's Save writes it. When PATH is a folder (an existing one, or one ending "
                        "in / that is then made), each picture gets a file there named after it with the suffix."),
         QStringLiteral("PATH")},
        {Suffix,
         QStringLiteral("Suffix of the files named after the pictures (default .inc). Without -o the files are "
                        "written next to the pictures."),
         QStringLiteral("TEXT")},
        {Order, QStringLiteral("Byte order: vertical (page by page, the default) or horizontal (column by column)."),
         QStringLiteral("vertical|horizontal")},
        {Header, QStringLiteral("Text put once before the bytes (default empty)."), QStringLiteral("TEXT")},
        {Footer, QStringLiteral("Text put once after the bytes (default empty)."), QStringLiteral("TEXT")},
        {Format, QStringLiteral("Text put before the two hex digits of every byte (default \"$\")."),
         QStringLiteral("TEXT")},
        {Delimiter, QStringLiteral("Text put between the bytes (default \",\")."), QStringLiteral("TEXT")},
        {Reformat,
         QStringLiteral("Print the transmission text instead: the parameter prefix, then the hex digits cut into "
                        "pieces of the PIC buffer size, each behind the wait text.")},
        {Buffer,
         QStringLiteral("PIC buffer: characters per piece, one of %1 (default 32).")
             .arg(joinedChoices(picBufferChoices)),
         QStringLiteral("N")},
        {Wait,
         QStringLiteral("Wait text put before each piece (default \"]\"); the pauses come before it when it "
                        "is one character."),
         QStringLiteral("TEXT")},
        {PicDelay,
         QStringLiteral("PIC delay for the prefix, one of %1 (default 10).").arg(joinedChoices(picDelayChoices)),
         QStringLiteral("MS")},
        {Eeprom, QStringLiteral("Target the I2C EEPROM instead of the LCD.")},
        {Address,
         QStringLiteral("EEPROM start address, a decimal number from 0 to 65535, rounded to the nearest whole "
                        "number (default 0). Needs --eeprom."),
         QStringLiteral("N")},
        {Send,
         QStringLiteral("Send the transmission text to the serial DEVICE (8 data bits, no parity, 1 stop bit), "
                        "one character at a time with a pause before every wait character, as Send to LCD does. "
                        "Implies --reformat; nothing is printed. One picture per call."),
         QStringLiteral("DEVICE")},
        {Baud, QStringLiteral("Line speed for --send, one of %1 (default 9600).").arg(joinedChoices(baudChoices)),
         QStringLiteral("BAUD")},
        {XmitDelay,
         QStringLiteral("Pause before each wait character for --send, in milliseconds, 0 to 60000, fractions "
                        "rounded down (default 20, or 200 with --eeprom, as the window sets it)."),
         QStringLiteral("MS")},
        {FromText,
         QStringLiteral("Read the picture back from converted text in FILE (- for standard input) and write it "
                        "as a BMP to the file -o names, as the window's Save writes a picture. The text is read "
                        "with --order and the Output Format options; byte lists in C or assembler source are read "
                        "as well. 1024 bytes make a 128 x 64 picture, 512 a 128 x 32 one."),
         QStringLiteral("FILE")},
        {Fit,
         QStringLiteral("Import the pictures as the window's Import does, from any picture format: fit (all of "
                        "it, aspect kept, white around; the default), fill (covers the display, cropped "
                        "centred), stretch, or none (original size, centred)."),
         QStringLiteral("fit|fill|stretch|none")},
        {Threshold,
         QStringLiteral("Import with this grey level (0 to 255) between dots and white, or auto (chosen from the "
                        "picture; the default)."),
         QStringLiteral("N|auto")},
        {Dither, QStringLiteral("Import with dithering (default none)."),
         QStringLiteral("none|floyd-steinberg|atkinson|ordered")},
        {Invert, QStringLiteral("Import with dots and white swapped.")},
        {Text,
         QStringLiteral("Draw STRING in dots onto the picture, as the window's LCD View places text: no grey, a dot "
                        "is on or off. Without a picture it is drawn onto a blank one. Line feeds start new lines."),
         QStringLiteral("STRING")},
        {Font,
         QStringLiteral("Font of --text: lcd5x7 (the built-in 5 x 7 dot font, the default) or an installed font "
                        "as --list-fonts names it."),
         QStringLiteral("NAME")},
        {Size,
         QStringLiteral("Size of --text in pixels, %1 to %2 (default 8); lcd5x7 doubles its dots at 16, triples "
                        "them at 24.")
             .arg(MinLcdTextSize)
             .arg(MaxLcdTextSize),
         QStringLiteral("PX")},
        {Bold, QStringLiteral("Bold --text.")},
        {At, QStringLiteral("Top-left of the text's box, in dots (default 0,0)."), QStringLiteral("X,Y")},
        {SavePicture,
         QStringLiteral("Also write the picture as it is converted (after any import and text) as a BMP, as the "
                        "window's Save writes it. One picture per call; with --series a pattern with %d for the "
                        "frame's number, a file a frame."),
         QStringLiteral("FILE.bmp")},
        {ListFonts, QStringLiteral("List the fonts --font takes, one per line, and exit.")},
        {Series,
         QStringLiteral("Take the pictures as one series: every frame of an animated GIF with its delay, the "
                        "pictures of a folder in name order, each frame imported. -o NAME%d.inc writes a file a "
                        "frame (numbered from 1), otherwise the frames are printed one after the other. With "
                        "--eeprom frame k goes to the start address + k x 1024.")},
        {Hold,
         QStringLiteral("With --series --send: the pause after each frame in milliseconds, 0 to 60000 "
                        "(default the animation's delay, or 500; the xmit delay with --eeprom)."),
         QStringLiteral("MS")},
        {Loop, QStringLiteral("With --series --send to the LCD: send the series N times, 1 to 10000 (default 1)."),
         QStringLiteral("N")},
        {Rows,
         QStringLiteral("With --series: the display's rows, 64 (the default) or 32: the frames are imported at "
                        "128 x 32, and the EEPROM keeps each in 512 bytes."),
         QStringLiteral("64|32")},
        {{QStringLiteral("h"), Help}, QStringLiteral("Show this help and exit.")},
        {Version, QStringLiteral("Show the version and exit.")},
    });
    parser.addPositionalArgument(QStringLiteral("picture.bmp"), QStringLiteral("The BMP pictures to convert."),
                                 QStringLiteral("picture.bmp..."));
}

// The value of a choice option when it is one of the choices.
template <typename Choices>
std::optional<typename Choices::value_type> choiceValue(const QString &text, const Choices &choices)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    const auto found = std::find(choices.begin(), choices.end(), value);
    if (found == choices.end())
        return std::nullopt;
    return *found;
}

QString invalidChoice(const QString &option, const QString &text, const QString &choices)
{
    return QStringLiteral("--%1: \"%2\" is not one of %3").arg(option, text, choices);
}

// Fills the options from the parser; returns the usage error, if any.
// The pictures, or the text of --from-text.
QString readInputs(const QCommandLineParser &parser, ConvertOptions &o)
{
    o.inputs = parser.positionalArguments();
    if (parser.isSet(FromText)) {
        o.fromText = parser.value(FromText);
        if (o.fromText.isEmpty())
            return QStringLiteral("--from-text: no file given");
        if (!o.inputs.isEmpty())
            return QStringLiteral("--from-text reads a text, not pictures: %1").arg(o.inputs.join(QLatin1Char(' ')));
        for (const QString &name : {Reformat, Send, Suffix, Text, SavePicture}) {
            if (parser.isSet(name))
                return QStringLiteral("--%1 does not go with --from-text").arg(name);
        }
        // A BMP is no text for a terminal or a pipe.
        if (!parser.isSet(Output))
            return QStringLiteral("--from-text needs -o picture.bmp");
        const QStringList text = o.fromText == QLatin1String("-") ? QStringList() : QStringList{o.fromText};
        const QString problem = sharedFileProblem(
            {{QStringLiteral("the text"), text, false}, {QStringLiteral("-o"), {parser.value(Output)}}});
        if (!problem.isEmpty())
            return problem;
    } else if (o.inputs.isEmpty() && !parser.isSet(Text)) {
        return QStringLiteral("no picture given");
    }
    return QString();
}

// "X,Y" in dots.
std::optional<QPoint> textPosition(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool xOk = false;
    bool yOk = false;
    const int x = parts.size() == 2 ? parts.at(0).trimmed().toInt(&xOk, 10) : 0;
    const int y = parts.size() == 2 ? parts.at(1).trimmed().toInt(&yOk, 10) : 0;
    if (!xOk || !yOk || qAbs(x) > MaxTextOffset || qAbs(y) > MaxTextOffset)
        return std::nullopt;
    return QPoint(x, y);
}

// The font, size, weight and place of the text.
QString readTextStyle(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (parser.isSet(Font)) {
        o.textStyle.font = lcdFontNamed(parser.value(Font));
        if (o.textStyle.font.isEmpty())
            return QStringLiteral("--font: no font \"%1\"; %2 lists the fonts there are")
                .arg(parser.value(Font), QStringLiteral("voxcel-convert --list-fonts"));
    }
    if (parser.isSet(Size)) {
        bool ok = false;
        o.textStyle.sizePx = parser.value(Size).toInt(&ok, 10);
        if (!ok || o.textStyle.sizePx < MinLcdTextSize || o.textStyle.sizePx > MaxLcdTextSize)
            return QStringLiteral("--size: \"%1\" is not a size from %2 to %3 pixels")
                .arg(parser.value(Size))
                .arg(MinLcdTextSize)
                .arg(MaxLcdTextSize);
    }
    o.textStyle.bold = parser.isSet(Bold);
    if (parser.isSet(At)) {
        const std::optional<QPoint> at = textPosition(parser.value(At));
        if (!at)
            return QStringLiteral("--at: \"%1\" is not X,Y in dots (whole numbers from -%2 to %2)")
                .arg(parser.value(At))
                .arg(MaxTextOffset);
        o.textAt = *at;
    }
    return QString();
}

// --text and its style, and --save-picture.
QString readText(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (!parser.isSet(Text)) {
        for (const QString &name : {Font, Size, Bold, At}) {
            if (parser.isSet(name))
                return QStringLiteral("--%1 needs --text").arg(name);
        }
    } else {
        o.text = parser.value(Text);
        if (o.text->size() > MaxLcdTextLength)
            return QStringLiteral("--text: over %1 characters, far more than the display holds").arg(MaxLcdTextLength);
        const QString error = readTextStyle(parser, o);
        if (!error.isEmpty())
            return error;
    }
    if (o.text && o.inputs.isEmpty()) {
        // The blank picture has no name to name a file after.
        const QString output = parser.value(Output);
        if (parser.isSet(Suffix) || QFileInfo(output).isDir() || output.endsWith(QLatin1Char('/')))
            return QStringLiteral("--text without a picture needs -o FILE or standard output, not a folder or "
                                  "--suffix");
        o.inputs = QStringList{QString()};
    }
    if (parser.isSet(SavePicture)) {
        o.savePicture = parser.value(SavePicture);
        if (o.savePicture.isEmpty())
            return QStringLiteral("--save-picture: no file given");
        if (o.inputs.size() > 1 && !parser.isSet(Series))
            return QStringLiteral("--save-picture takes one picture at a time");
    }
    return QString();
}

// The byte order and the Output Format boxes, and which options go with
// --reformat and --send.
QString readOutputFormat(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (parser.isSet(Order)) {
        const QString order = parser.value(Order).toLower();
        if (order == QLatin1String("vertical"))
            o.horizontalBytes = 0;
        else if (order == QLatin1String("horizontal"))
            o.horizontalBytes = 1;
        else
            return QStringLiteral("--order: \"%1\" is neither vertical nor horizontal").arg(parser.value(Order));
    }

    const bool sending = parser.isSet(Send);
    o.reformat = parser.isSet(Reformat) || sending;
    for (const QString &name : {Buffer, Wait, PicDelay, Eeprom, Address}) {
        if (parser.isSet(name) && !o.reformat)
            return QStringLiteral("--%1 needs --reformat or --send").arg(name);
    }
    for (const QString &name : {Baud, XmitDelay}) {
        if (parser.isSet(name) && !sending)
            return QStringLiteral("--%1 needs --send").arg(name);
    }

    // The PIC reads plain hex digits, so a transmission starts from empty
    // Format and Delimiter unless the user asks for something else.
    if (o.reformat)
        o.format.Format = o.format.Delimiter = QString();
    if (parser.isSet(Header))
        o.format.Header = parser.value(Header);
    if (parser.isSet(Footer))
        o.format.Footer = parser.value(Footer);
    if (parser.isSet(Format))
        o.format.Format = parser.value(Format);
    if (parser.isSet(Delimiter))
        o.format.Delimiter = parser.value(Delimiter);
    if (o.reformat && !formatAllowsReformat(o.format.Format, o.format.Delimiter))
        return oneBreakPerLine(NoFormatOrDelimitersMessage); // a terminal wants LF alone
    return QString();
}

// The PIC settings and the prefix built from them.
QString readPicSettings(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (parser.isSet(Buffer)) {
        const auto value = choiceValue(parser.value(Buffer), picBufferChoices);
        if (!value)
            return invalidChoice(Buffer, parser.value(Buffer), joinedChoices(picBufferChoices));
        o.picBuffer = *value;
    }
    if (parser.isSet(PicDelay)) {
        const auto value = choiceValue(parser.value(PicDelay), picDelayChoices);
        if (!value)
            return invalidChoice(PicDelay, parser.value(PicDelay), joinedChoices(picDelayChoices));
        o.picDelay = *value;
    }
    if (parser.isSet(Wait))
        o.waitChars = parser.value(Wait);

    o.eepromMode = parser.isSet(Eeprom);
    if (parser.isSet(Address)) {
        // In LCD mode the window keeps the address at 0000, out of reach.
        if (!o.eepromMode)
            return QStringLiteral("--address needs --eeprom: the LCD takes no start address");
        o.startAddressText = parser.value(Address);
    }
    if (o.reformat) {
        const auto prefix = buildParamPrefix(o.eepromMode, o.picBuffer, o.startAddressText, o.picDelay);
        if (!prefix) {
            return QStringLiteral("--address: \"%1\" is not an EEPROM start address (a decimal number from 0 to "
                                  "65535)")
                .arg(o.startAddressText);
        }
        o.paramPrefix = *prefix;
    }
    return QString();
}

// The device, its speed and the xmit delay of --send.
QString readSending(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (parser.isSet(Send)) {
        o.sendDevice = parser.value(Send);
        if (o.sendDevice.isEmpty())
            return QStringLiteral("--send: no device given");
        if (parser.isSet(Output) || parser.isSet(Suffix))
            return QStringLiteral("--send writes to the device; -o and --suffix do not go with it");
        if (o.inputs.size() > 1 && !parser.isSet(Series))
            return QStringLiteral("--send takes one picture at a time");
    }
    if (parser.isSet(Baud)) {
        const auto value = choiceValue(parser.value(Baud), baudChoices);
        if (!value)
            return invalidChoice(Baud, parser.value(Baud), joinedChoices(baudChoices));
        o.baudRate = *value;
    }
    o.xmitDelayMs = o.eepromMode ? EepromXmitDelayMs : LcdXmitDelayMs;
    if (parser.isSet(XmitDelay)) {
        const auto value = sendDelayFloor(parser.value(XmitDelay));
        if (!value) {
            return QStringLiteral("--xmit-delay: \"%1\" is not a delay in milliseconds from 0 to %2")
                .arg(parser.value(XmitDelay))
                .arg(MaxXmitDelayMs);
        }
        o.xmitDelayMs = *value;
    }
    return QString();
}

// The Import options.
QString readImport(const QCommandLineParser &parser, ConvertOptions &o)
{
    for (const QString &name : {Fit, Threshold, Dither, Invert}) {
        if (!parser.isSet(name))
            continue;
        if (!o.fromText.isEmpty())
            return QStringLiteral("--%1 does not go with --from-text").arg(name);
        if (!o.import)
            o.import = ImportOptions();
    }
    if (parser.isSet(Fit)) {
        const auto fit = importFitNamed(parser.value(Fit).toLower());
        if (!fit)
            return invalidChoice(Fit, parser.value(Fit), QStringLiteral("fit, fill, stretch, none"));
        o.import->fit = *fit;
    }
    if (parser.isSet(Threshold) && parser.value(Threshold).toLower() != QLatin1String("auto")) {
        bool ok = false;
        const int level = parser.value(Threshold).toInt(&ok, 10);
        if (!ok || level < 0 || level > 255)
            return QStringLiteral("--threshold: \"%1\" is neither auto nor a level from 0 to 255")
                .arg(parser.value(Threshold));
        o.import->autoThreshold = false;
        o.import->threshold = level;
    }
    if (parser.isSet(Dither)) {
        const auto dither = importDitherNamed(parser.value(Dither).toLower());
        if (!dither)
            return invalidChoice(Dither, parser.value(Dither),
                                 QStringLiteral("none, floyd-steinberg, atkinson, ordered"));
        o.import->dither = *dither;
    }
    if (parser.isSet(Invert))
        o.import->invert = true;
    return QString();
}

// Where the text goes.
QString readOutput(const QCommandLineParser &parser, ConvertOptions &o)
{
    if (parser.isSet(Output)) {
        o.output = parser.value(Output);
        if (o.output.isEmpty())
            return QStringLiteral("-o: no file or folder given");
    }
    if (parser.isSet(Suffix)) {
        o.suffix = parser.value(Suffix);
        o.suffixGiven = true;
    }
    return QString();
}

// A series' own options; every frame is imported.
QString readSeries(const QCommandLineParser &parser, ConvertOptions &o)
{
    o.series = parser.isSet(Series);
    for (const QString &name : {Hold, Loop, Rows})
        if (parser.isSet(name) && !o.series)
            return QStringLiteral("--%1 needs --series").arg(name);
    if (!o.series)
        return QString();
    if (o.eepromMode && parser.isSet(Loop))
        return QStringLiteral("--loop sends to the LCD; the EEPROM takes a series once");
    if (!o.fromText.isEmpty() || parser.isSet(Suffix) || parser.isSet(Text))
        return QStringLiteral("--series does not go with --from-text, --suffix or --text");
    if (parser.isSet(Send) && parser.isSet(SavePicture))
        return QStringLiteral("--series --send writes to the device; --save-picture does not go with it");
    for (const QString &name : {Output, SavePicture})
        if (parser.isSet(name) && !parser.value(name).contains(QLatin1String("%d")))
            return QStringLiteral("--%1: \"%2\" has no %d for the frame's number").arg(name, parser.value(name));
    if (parser.isSet(Rows)) {
        if (parser.value(Rows) != QLatin1String("64") && parser.value(Rows) != QLatin1String("32"))
            return QStringLiteral("--rows: \"%1\" is neither 64 nor 32").arg(parser.value(Rows));
        o.halfHeight = parser.value(Rows) == QLatin1String("32");
    }
    if (!o.import)
        o.import = ImportOptions();
    if (parser.isSet(Hold)) {
        o.holdMs = sendDelayFloor(parser.value(Hold));
        if (!o.holdMs || !parser.isSet(Send))
            return QStringLiteral("--hold: \"%1\" is not a pause in milliseconds from 0 to %2, after --send")
                .arg(parser.value(Hold))
                .arg(MaxXmitDelayMs);
    }
    if (parser.isSet(Loop)) {
        bool ok = false;
        o.loops = parser.value(Loop).toInt(&ok, 10);
        if (!ok || o.loops < 1 || o.loops > 10000 || !parser.isSet(Send))
            return QStringLiteral("--loop: \"%1\" is not a count from 1 to 10000, after --send")
                .arg(parser.value(Loop));
    }
    return QString();
}

QString readOptions(const QCommandLineParser &parser, ConvertOptions &o)
{
    // In this order: the first wrong option is the one reported.
    for (auto read : {readInputs, readOutputFormat, readPicSettings, readSending, readImport, readOutput, readText,
                      readSeries}) {
        const QString error = read(parser, o);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}

} // namespace

ParsedArguments parseConvertArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    ParsedArguments result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(Help)) {
        result.outcome = ParsedArguments::Outcome::Help;
        return result;
    }
    if (parser.isSet(Version)) {
        result.outcome = ParsedArguments::Outcome::Version;
        return result;
    }
    if (parser.isSet(ListFonts)) {
        result.outcome = ParsedArguments::Outcome::ListFonts;
        return result;
    }
    result.error = readOptions(parser, result.options);
    if (result.error.isEmpty())
        result.outcome = ParsedArguments::Outcome::Run;
    return result;
}

QString convertHelpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    // The parser's own usage line names the program by the path it was
    // started with; the rest (options and arguments) is kept as it is.
    QString options = parser.helpText();
    options = options.mid(options.indexOf(QLatin1Char('\n')) + 1);

    return QStringLiteral(
               "Usage: voxcel-convert [options] picture.bmp...\n"
               "       voxcel-convert --from-text FILE -o picture.bmp [--order ...] [--header ...] [--footer ...]\n"
               "                      [--format ...] [--delimiter ...]\n"
               "       voxcel-convert --text STRING [--font NAME|lcd5x7] [--size PX] [--bold] [--at X,Y]\n"
               "                      [options] [picture.bmp]\n"
               "       voxcel-convert --series [PICTURE|GIF|FOLDER]... [--send DEVICE] [--eeprom --address START]\n"
               "                      [--hold MS] [--loop N] [-o NAME%d.inc] [--save-picture NAME%d.bmp]\n"
               "\n"
               "Converts 128 x 64 BMP pictures into KS0108 page bytes written as hex text, exactly as the\n"
               "Voxcel window's Convert does with the same settings, and prints the text and a line end.\n"
               "The defaults are the window's: Vertical, Format \"$\", Delimiter \",\", no Header or Footer.\n"
               "With --reformat it prints the transmission text that Reformat For Output builds; with --send\n"
               "it sends that text to the PIC, paced as Send to LCD does. With either, Format and Delimiter\n"
               "default to empty; a non-empty one given on the command line is refused.\n"
               "With --fit, --threshold, --dither or --invert a picture in any format (PNG, JPEG, GIF, SVG,\n"
               "...) is imported as the window's Import does; without them it is taken as Load takes it.\n") +
           options +
           QStringLiteral(
               "\n"
               "Several pictures: one file each, with -o FOLDER or --suffix. A picture that cannot be read is\n"
               "reported and the others are still converted. Files are replaced only when completely written.\n"
               "Text is written as 8-bit (Latin-1) characters, like the window's Save.\n"
               "\n"
               "Exit status: 0 when everything was written or sent, 1 when a picture, file or device failed,\n"
               "2 for a wrong option or value.\n"
               "\n"
               "Example make rule:\n"
               "  %.inc: %.bmp\n"
               "  \tvoxcel-convert -o $@ $<\n");
}
