#pragma once

#include "canvas/lcd_text.h"
#include "convert/byte_matrix.h"
#include "import/picture_import.h"

#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>

// What one call of voxcel-convert is asked to do, checked and complete: every
// value here is one the window itself could hold.
// The line speeds the window's settings list offers.
inline constexpr std::array<int, 3> BaudChoices{9600, 2400, 1200};

// "2, 4, 8": the choices of an option, for messages and the help.
template <typename Choices> QString joinedChoices(const Choices &choices)
{
    QStringList texts;
    for (const auto value : choices)
        texts.append(QString::number(value));
    return texts.join(QStringLiteral(", "));
}

struct ConvertOptions
{
    QStringList inputs;

    // Convert: the orientation option and the four Output Format boxes.
    qint16 horizontalBytes = 0;
    OutputFormat format = OutputFormat::startUp();

    // Reformat For Output, and the prefix built from the PIC settings.
    bool reformat = false;
    qint16 picBuffer = 32;
    QString waitChars = QStringLiteral("]");
    qint16 picDelay = 10;
    bool eepromMode = false;
    QString startAddressText = QStringLiteral("0");
    QString paramPrefix; // built from the four values above when reformatting

    // Send to LCD: a device instead of stdout or files.
    QString sendDevice;
    int baudRate = 9600;
    int xmitDelayMs = 20;

    // -o: one file, or a folder for one file per input named with suffix.
    QString output;
    QString suffix = QStringLiteral(".inc");
    bool suffixGiven = false;

    // --from-text: the converted text to read a picture back from ("-" for
    // standard input), written to output as a BMP.
    QString fromText;

    // --fit, --threshold, --dither, --invert: the pictures are imported as
    // the window's Import does (any format, scaled, thresholded or
    // dithered), with the Import dialog's defaults for the options not
    // given. Without them a picture is taken as Load takes it.
    std::optional<ImportOptions> import;

    // --text: drawn in dots onto each picture as the LCD View draws it, or
    // onto a blank picture when none is given (inputs then holds one empty
    // name).
    std::optional<QString> text;
    LcdTextStyle textStyle;
    QPoint textAt; // the top-left of the text's box
    // --save-picture: the picture as it is converted, written as a BMP;
    // with --series a pattern where %d stands for the frame's number.
    QString savePicture;
    // --series: the inputs (animations, pictures, folders) make one series,
    // each frame imported; -o is a pattern where %d stands for the
    // frame's number. --hold and --loop pace a --send.
    bool series = false;
    std::optional<int> holdMs; // without it, the animation's delay
    int loops = 1;
    bool halfHeight = false; // --rows 32: a 128 x 32 display
};

struct ParsedArguments
{
    enum class Outcome { Run, Help, Version, ListFonts, UsageError };

    Outcome outcome = Outcome::UsageError;
    ConvertOptions options;
    QString error; // for UsageError: what is wrong, for the user
};

// Reads the arguments (the program name first, as QCoreApplication gives
// them) and checks every value against what the window offers. Font names
// are looked up in the font database, which needs a GUI application.
ParsedArguments parseConvertArguments(const QStringList &arguments);

// The names of every option (without dashes), as the parser knows them.
QStringList convertOptionNames();
