#include "app/tool_tips.h"

#include <QWidget>

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
// By objectName.
const std::pair<const char *, const char *> ToolTips[] = {
    // The main window's are in its table of controls (window_controls.cpp).
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
