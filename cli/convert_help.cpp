#include "cli/convert_help.h"

#include "canvas/lcd_text.h"
#include "cli/convert_options.h"
#include "serial/pic_settings.h"

#include <QStringList>

namespace {

// Option names stand in a column this wide; a longer one puts its
// description on the next line.
constexpr int OptionColumn = 24;

struct HelpOption
{
    QString syntax; // "-o, --output PATH"
    QString description;
};

struct HelpGroup
{
    QString title;
    QList<HelpOption> options;
};

// The words of text in lines that fit behind `indent` spaces; the first
// line goes behind `firstUsed` characters already on it.
QStringList wrapped(const QString &text, int indent, int firstUsed)
{
    QStringList lines;
    QString line;
    int used = firstUsed;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && used + 1 + word.size() > HelpWidth) {
            lines << line;
            line.clear();
            used = indent;
        }
        if (!line.isEmpty()) {
            line += QLatin1Char(' ');
            ++used;
        }
        line += word;
        used += word.size();
    }
    lines << line;
    return lines;
}

QString optionText(const HelpOption &option)
{
    const QString name = QStringLiteral("  ") + option.syntax;
    const QString indent(OptionColumn, QLatin1Char(' '));
    const bool ownLine = name.size() + 2 > OptionColumn;
    QString text = ownLine ? name + QLatin1Char('\n') + indent : name.leftJustified(OptionColumn);
    text += wrapped(option.description, OptionColumn, OptionColumn).join(QLatin1Char('\n') + indent);
    return text + QLatin1Char('\n');
}

// A paragraph of plain text, wrapped.
QString paragraph(const QString &text)
{
    return wrapped(text, 0, 0).join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QList<HelpGroup> helpGroups()
{
    return {
        {QStringLiteral("Output"),
         {{QStringLiteral("-o, --output PATH"),
           QStringLiteral("Write the text to the file PATH instead of standard output: trimmed, with CR LF, as the "
                          "window's Save writes it. When PATH is a folder (an existing one, or one ending in / that "
                          "is then made), each picture gets a file there named after it with the suffix.")},
          {QStringLiteral("--suffix TEXT"),
           QStringLiteral("Suffix of the files named after the pictures (default .inc). Without -o the files are "
                          "written next to the pictures.")},
          {QStringLiteral("--save-picture FILE.bmp"),
           QStringLiteral("Also write the picture as it is converted (after any import and text) as a BMP, as the "
                          "window's Save writes it. One picture per call; with --series a pattern with %d for the "
                          "frame's number, a file a frame.")}}},
        {QStringLiteral("Output Format"),
         {{QStringLiteral("--order vertical|horizontal"),
           QStringLiteral("Byte order: vertical (page by page, the default) or horizontal (column by column).")},
          {QStringLiteral("--header TEXT"), QStringLiteral("Text put once before the bytes (default empty).")},
          {QStringLiteral("--footer TEXT"), QStringLiteral("Text put once after the bytes (default empty).")},
          {QStringLiteral("--format TEXT"),
           QStringLiteral("Text put before the two hex digits of every byte (default \"$\").")},
          {QStringLiteral("--delimiter TEXT"), QStringLiteral("Text put between the bytes (default \",\").")}}},
        {QStringLiteral("Reformat For Output"),
         {{QStringLiteral("--reformat"),
           QStringLiteral("Print the transmission text instead: the parameter prefix, then the hex digits cut into "
                          "pieces of the PIC buffer size, each behind the wait text.")},
          {QStringLiteral("--buffer N"), QStringLiteral("PIC buffer: characters per piece, one of %1 (default 32).")
                                             .arg(joinedChoices(picBufferChoices))},
          {QStringLiteral("--wait TEXT"),
           QStringLiteral("Wait text put before each piece (default \"]\"); the pauses come before it when it is "
                          "one character.")},
          {QStringLiteral("--pic-delay MS"),
           QStringLiteral("PIC delay for the prefix, one of %1 (default 10).").arg(joinedChoices(picDelayChoices))},
          {QStringLiteral("--eeprom"), QStringLiteral("Target the I2C EEPROM instead of the LCD.")},
          {QStringLiteral("--address N"),
           QStringLiteral("EEPROM start address, a decimal number from 0 to 65535, rounded to the nearest whole "
                          "number (default 0). Needs --eeprom.")}}},
        {QStringLiteral("Send to LCD"),
         {{QStringLiteral("--send DEVICE"),
           QStringLiteral("Send the transmission text to the serial DEVICE (8 data bits, no parity, 1 stop bit), "
                          "one character at a time with a pause before every wait character, as Send to LCD does. "
                          "Implies --reformat; nothing is printed. One picture per call.")},
          {QStringLiteral("--baud BAUD"),
           QStringLiteral("Line speed for --send, one of %1 (default 9600).").arg(joinedChoices(BaudChoices))},
          {QStringLiteral("--xmit-delay MS"),
           QStringLiteral("Pause before each wait character for --send, in milliseconds, 0 to 60000, fractions "
                          "rounded down (default 20, or 200 with --eeprom, as the window sets it).")}}},
        {QStringLiteral("Import (a picture in any format)"),
         {{QStringLiteral("--fit fit|fill|stretch|none"),
           QStringLiteral("Import the pictures as the window's Import does, from any picture format: fit (all of "
                          "it, aspect kept, white around; the default), fill (covers the display, cropped centred), "
                          "stretch, or none (original size, centred).")},
          {QStringLiteral("--threshold N|auto"),
           QStringLiteral("Import with this grey level (0 to 255) between dots and white, or auto (chosen from the "
                          "picture; the default).")},
          {QStringLiteral("--dither none|floyd-steinberg|atkinson|ordered"),
           QStringLiteral("Import with dithering (default none).")},
          {QStringLiteral("--invert"), QStringLiteral("Import with dots and white swapped.")}}},
        {QStringLiteral("Text"),
         {{QStringLiteral("--text STRING"),
           QStringLiteral("Draw STRING in dots onto the picture, as the window's LCD View places text: no grey, a "
                          "dot is on or off. Without a picture it is drawn onto a blank one. Line feeds start new "
                          "lines.")},
          {QStringLiteral("--font NAME"),
           QStringLiteral("Font of --text: lcd5x7 (the built-in 5 x 7 dot font, the default) or an installed font "
                          "as --list-fonts names it.")},
          {QStringLiteral("--size PX"),
           QStringLiteral("Size of --text in pixels, %1 to %2 (default 8); lcd5x7 doubles its dots at 16, triples "
                          "them at 24.")
               .arg(MinLcdTextSize)
               .arg(MaxLcdTextSize)},
          {QStringLiteral("--bold"), QStringLiteral("Bold --text.")},
          {QStringLiteral("--at X,Y"), QStringLiteral("Top-left of the text's box, in dots (default 0,0).")},
          {QStringLiteral("--list-fonts"), QStringLiteral("List the fonts --font takes, one per line, and exit.")}}},
        {QStringLiteral("Series"),
         {{QStringLiteral("--series"),
           QStringLiteral("Take the pictures as one series: every frame of an animated GIF with its delay, the "
                          "pictures of a folder in name order, each frame imported. -o NAME%d.inc writes a file a "
                          "frame (numbered from 1), otherwise the frames are printed one after the other. With "
                          "--eeprom frame k goes to the start address + k x 1024.")},
          {QStringLiteral("--hold MS"),
           QStringLiteral("With --series --send: the pause after each frame in milliseconds, 0 to 60000 (default "
                          "the animation's delay, or 500; the xmit delay with --eeprom).")},
          {QStringLiteral("--loop N"),
           QStringLiteral("With --series --send to the LCD: send the series N times, 1 to 10000 (default 1).")},
          {QStringLiteral("--rows 64|32"),
           QStringLiteral("With --series: the display's rows, 64 (the default) or 32: the frames are imported at "
                          "128 x 32, and the EEPROM keeps each in 512 bytes.")}}},
        {QStringLiteral("Reading text back"),
         {{QStringLiteral("--from-text FILE"),
           QStringLiteral("Read the picture back from converted text in FILE (- for standard input) and write it as "
                          "a BMP to the file -o names, as the window's Save writes a picture. The text is read with "
                          "--order and the Output Format options; byte lists in C or assembler source are read as "
                          "well. 1024 bytes make a 128 x 64 picture, 512 a 128 x 32 one.")}}},
        {QStringLiteral("Information"),
         {{QStringLiteral("-h, --help"), QStringLiteral("Show this help and exit.")},
          {QStringLiteral("--version"), QStringLiteral("Show the version and exit.")}}},
    };
}

} // namespace

QString convertHelpText()
{
    QString text = QStringLiteral("Usage: voxcel-convert [options] picture.bmp...\n"
                                  "       voxcel-convert --from-text FILE -o picture.bmp [--order ...]\n"
                                  "                      [--header ...] [--footer ...] [--format ...]\n"
                                  "                      [--delimiter ...]\n"
                                  "       voxcel-convert --text STRING [--font NAME|lcd5x7] [--size PX] [--bold]\n"
                                  "                      [--at X,Y] [options] [picture.bmp]\n"
                                  "       voxcel-convert --series [PICTURE|GIF|FOLDER]... [--send DEVICE]\n"
                                  "                      [--eeprom --address START] [--hold MS] [--loop N]\n"
                                  "                      [-o NAME%d.inc] [--save-picture NAME%d.bmp]\n"
                                  "\n");
    text += paragraph(QStringLiteral(
        "Converts 128 x 64 BMP pictures (picture.bmp...) into KS0108 page bytes written as hex text, exactly as "
        "the Voxcel window's Convert does with the same settings, and prints the text and a line end. The "
        "defaults are the window's: Vertical, Format \"$\", Delimiter \",\", no Header or Footer."));
    text += paragraph(QStringLiteral(
        "With --reformat it prints the transmission text that Reformat For Output builds; with --send it sends "
        "that text to the PIC, paced as Send to LCD does. With either, Format and Delimiter default to empty; a "
        "non-empty one given on the command line is refused."));
    text += paragraph(QStringLiteral(
        "With --fit, --threshold, --dither or --invert a picture in any format (PNG, JPEG, GIF, SVG, ...) is "
        "imported as the window's Import does; without them it is taken as Load takes it."));
    for (const HelpGroup &group : helpGroups()) {
        text += QLatin1Char('\n') + group.title + QStringLiteral(":\n");
        for (const HelpOption &option : group.options)
            text += optionText(option);
    }
    text += QLatin1Char('\n');
    text += paragraph(QStringLiteral(
        "Several pictures: one file each, with -o FOLDER or --suffix. A picture that cannot be read is reported "
        "and the others are still converted. Files are replaced only when completely written. Text is written as "
        "8-bit (Latin-1) characters, like the window's Save."));
    text += QLatin1Char('\n');
    text += paragraph(QStringLiteral("Exit status: 0 when everything was written or sent, 1 when a picture, file or "
                                     "device failed, 2 for a wrong option or value."));
    text += QStringLiteral("\n"
                           "Example make rule:\n"
                           "  %.inc: %.bmp\n"
                           "  \tvoxcel-convert -o $@ $<\n");
    return text;
}
