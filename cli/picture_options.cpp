// The options of the picture itself: what is drawn on it, how it is
// imported, and the series it belongs to.
#include "cli/option_readers.h"

#include "canvas/lcd_text.h"
#include "serial/pacing.h"

#include <QFileInfo>

using namespace OptionName;

namespace {

// --at beyond this lies far off the display.
constexpr int MaxTextOffset = 10000;

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

} // namespace

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
