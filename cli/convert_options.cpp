#include "cli/convert_options.h"

#include "cli/option_readers.h"

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

using namespace OptionName;

namespace {

// The window puts these into the Xmit Delay box for each target.
constexpr int LcdXmitDelayMs = 20;
constexpr int EepromXmitDelayMs = 200;

// Every option, each with the name of its value; their descriptions are
// in the help text.
QList<QCommandLineOption> optionList()
{
    const auto valued = [](const QStringList &names, const char *value) {
        return QCommandLineOption(names, QString(), QLatin1String(value));
    };
    const auto flag = [](const QStringList &names) { return QCommandLineOption(names); };
    return {
        valued({QStringLiteral("o"), Output}, "PATH"),
        valued({Suffix}, "TEXT"),
        valued({Order}, "vertical|horizontal"),
        valued({Header}, "TEXT"),
        valued({Footer}, "TEXT"),
        valued({Format}, "TEXT"),
        valued({Delimiter}, "TEXT"),
        flag({Reformat}),
        valued({Buffer}, "N"),
        valued({Wait}, "TEXT"),
        valued({PicDelay}, "MS"),
        flag({Eeprom}),
        valued({Address}, "N"),
        valued({Send}, "DEVICE"),
        valued({Baud}, "BAUD"),
        valued({XmitDelay}, "MS"),
        valued({FromText}, "FILE"),
        valued({Fit}, "fit|fill|stretch|none"),
        valued({Threshold}, "N|auto"),
        valued({Dither}, "none|floyd-steinberg|atkinson|ordered"),
        flag({Invert}),
        valued({Text}, "STRING"),
        valued({Font}, "NAME"),
        valued({Size}, "PX"),
        flag({Bold}),
        valued({At}, "X,Y"),
        valued({SavePicture}, "FILE.bmp"),
        flag({ListFonts}),
        flag({Series}),
        valued({Hold}, "MS"),
        valued({Loop}, "N"),
        valued({Rows}, "64|32"),
        flag({QStringLiteral("h"), Help}),
        flag({Version}),
    };
}

void addOptions(QCommandLineParser &parser)
{
    parser.addOptions(optionList());
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
        const auto value = choiceValue(parser.value(Baud), BaudChoices);
        if (!value)
            return invalidChoice(Baud, parser.value(Baud), joinedChoices(BaudChoices));
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

QString readOptions(const QCommandLineParser &parser, ConvertOptions &o)
{
    // In this order: the first wrong option is the one reported.
    for (auto read :
         {readInputs, readOutputFormat, readPicSettings, readSending, readImport, readOutput, readText, readSeries}) {
        const QString error = read(parser, o);
        if (!error.isEmpty())
            return error;
    }
    return QString();
}

} // namespace

QString invalidChoice(const QString &option, const QString &text, const QString &choices)
{
    return QStringLiteral("--%1: \"%2\" is not one of %3").arg(option, text, choices);
}

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

QStringList convertOptionNames()
{
    QStringList names;
    for (const QCommandLineOption &option : optionList())
        names += option.names();
    return names;
}
