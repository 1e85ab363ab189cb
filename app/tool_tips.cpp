#include "app/tool_tips.h"

#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
// By objectName.
const std::pair<const char *, const char *> ToolTips[] = {
    // Com1 and Com2 have theirs from the port panel, which knows the devices.
    {"List1", "Line settings: speed, parity, data bits, stop bits. Applied at once, also to an open port"},
    {"cmdcomm", "Open or close the serial port"},
    {"comm", "The port: OFF closed, ON open, Busy sending"},
    {"btnsize", "Show the canvas as 128x64 or 128x32 dots"},
    {"Picture1", "The picture: the left button draws or erases, as Draw and Erase say (Ctrl+Z undoes)"},
    {"Combo1", "The pen's size in dots"},
    {"Command7", "Draw: the left button sets dots"},
    {"Command6", "Erase: the left button clears dots"},
    {"Command8", "Save the picture as a BMP file"},
    {"Command9", "Convert the picture into hex text in the Editable Text window"},
    {"Command10", "Load a BMP picture onto the canvas (or drop one on it)"},
    {"Command5", "Clear the canvas (Ctrl+Z brings the picture back)"},
    {"Check1", "Load the I2C EEPROM instead of the LCD"},
    {"eeprom", "The EEPROM's start address: up to 4 characters, read as a decimal number (0 to 9999). For any "
               "address from 0 to 65535, right-click the box and choose Start Address..."},
    {"Command4", "Send the clipboard's text to the PIC, paced by the Xmit Delay"},
    {"Text1", "What the PIC sends"},
    {"Text2", "Every key typed here goes to the PIC at once"},
    {"txthead", "Header: text before the converted bytes"},
    {"txtfoot", "Footer: text after the converted bytes"},
    {"txtfrmt", "Format: text before each byte's two hex digits, such as $ or 0x; empty for sending"},
    {"txtDelim", "Delimiter: text between the bytes; empty for sending"},
    {"Text4", "Wait character: put before each piece; the Xmit Delay pauses before it"},
    {"Option2_0", "Vertical: the bytes page by page, each page left to right"},
    {"Option2_1", "Horizontal: the bytes column by column, each column's pages top to bottom"},
    {"List2", "PIC Buffer: the length of each piece sent"},
    {"List3", "PIC Delay: the PIC's own delay, sent in the prefix"},
    {"xmitdelay", "Xmit Delay: milliseconds of silence before each wait character"},
    {"cmdApply", "Show the PIC settings in force"},
    {"Text3", "The converted text, or the transmission after Reformat For Output (drop a text file here)"},
    {"Command11", "Copy the text to the clipboard"},
    {"Command12", "Save the text as a file"},
    {"Command13", "Clear the text"},
    {"Command14", "Restore the text of the last Convert"},
    {"Command15", "Cut the converted text into the transmission: the prefix, then pieces behind the wait character"},
    {"Command16", "Send the transmission to the PIC, paced by the Xmit Delay"},
    {"cmdStop", "Stop the send after the character in flight (Esc)"},
    {"lcdCanvas", "The picture enlarged: the left button draws, the right button erases; Shift keeps lines at 0, 45 "
                  "or 90 degrees and boxes square"},
    {"lcdPenSize", "The pen's size in dots, as in the main window"},
    {"lcdZoom", "Screen pixels per dot; Ctrl+wheel, + and - zoom around the pointer"},
    {"lcdGrid", "Lines between the dots"},
    {"lcdLook", "Dark dots on a yellow-green LCD, or black on white"},
    {"lcdText", "The text the Text tool places: a click places it, the arrow keys move it, Enter keeps it, Esc "
                "takes it back"},
    {"lcdFont", "The font: lcd5x7 is the built-in 5 x 7 dot font, the others are installed fonts"},
    {"lcdFontSize", "The text's size in pixels; lcd5x7 doubles its dots at 16 px, triples them at 24 px"},
    {"lcdBold", "Bold text"},
    {"lcdPosition", "The dot under the pointer, and the byte that holds it: its page and column"},
    // The Series window's.
    {"seriesFrames", "The frames as the display shows them, in the order they are sent"},
    {"seriesLoad", "Add a picture, or every frame of an animated GIF, imported with the Import options"},
    {"seriesFolder", "Add a folder's pictures in name order"},
    {"seriesPlay", "Preview the frames at their delays, or at the line's rate when that is slower"},
    {"seriesEarlier", "Move the chosen frame one place earlier"},
    {"seriesLater", "Move the chosen frame one place later"},
    {"seriesDelete", "Take the chosen frame out of the series"},
    {"seriesToCanvas", "Put the chosen frame on the canvas (Ctrl+Z undoes)"},
    {"seriesHold", "Milliseconds the display keeps each frame once it has arrived, before the next is sent"},
    {"seriesLoops", "How many times the series goes to the LCD; until Stop at 0"},
    {"seriesSend", "Send every frame to the LCD, or into the EEPROM one picture after the other from the start "
                   "address"},
    {"seriesStop", "Stop the series after the character in flight (Esc)"},
};
} // namespace

void setToolTips(QWidget &window)
{
    // One pass over the controls (the main window has over a hundred), not
    // a search of them all for each name.
    for (QWidget *control : window.findChildren<QWidget *>()) {
        const QByteArray name = control->objectName().toLatin1();
        const auto tip = std::find_if(std::begin(ToolTips), std::end(ToolTips),
                                      [&name](const auto &entry) { return name == entry.first; });
        if (tip != std::end(ToolTips))
            control->setToolTip(QString::fromUtf8(tip->second));
    }
}
