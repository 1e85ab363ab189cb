#include "app/window_controls.h"

#include <QHash>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace {
using C = Control;

// In the order of the enum, so that an entry is found by its index. One
// control a line, the tooltip on the next where it is long.
// clang-format off
const ControlEntry Controls[] = {
    {C::None, "", C::None, {}, 0, nullptr},
    {C::Client, "client", C::None, {0, 0, 496, 447}, 0, nullptr}, // 7440 x 6705 twips
    {C::PortStrip, "Frame3", C::Client, {0, 0, 496, 26}, 0, nullptr},
    {C::Graphics, "Frame6", C::Client, {4, 28, 216, 152}, 0, nullptr},
    {C::Eeprom, "Frame10", C::Client, {224, 28, 94, 104}, 0, nullptr},
    {C::SettingsBand, "Frame2", C::Client, {0, 182, 496, 110}, 0, nullptr},
    {C::OutputFormat, "Frame4", C::SettingsBand, {4, 0, 236, 108}, 0, nullptr},
    {C::ByteMatrix, "Frame1", C::SettingsBand, {244, 0, 88, 108}, 0, nullptr},
    {C::Io, "Frame5", C::SettingsBand, {336, 0, 156, 108}, 0, nullptr},
    {C::BottomBand, "Frame9", C::Client, {0, 396, 496, 51}, 0, nullptr},
    {C::OutputCommands, "Frame8", C::BottomBand, {4, 0, 240, 48}, 0, nullptr},
    {C::DirectLoad, "Frame7", C::BottomBand, {248, 0, 244, 48}, 0, nullptr},

    {C::Com1, "Option1_0", C::PortStrip, {4, 4, 54, 18}, 1, nullptr},
    {C::Com2, "Option1_1", C::PortStrip, {60, 4, 54, 18}, 2, nullptr},
    {C::LineSettingsInForce, "Label2", C::PortStrip, {118, 6, 78, 15}, 0, nullptr},
    {C::LineSettings, "List1", C::PortStrip, {200, 3, 92, 21}, 3,
     "Line settings: speed, parity, data bits, stop bits. Applied at once, also to an open port"},
    {C::PortIndicator, "comm", C::PortStrip, {300, 4, 48, 18}, 0, "The port: OFF closed, ON open, Busy sending"},
    {C::PortButton, "cmdcomm", C::PortStrip, {356, 2, 68, 22}, 4, "Open or close the serial port"},

    {C::CanvasPosition, "lblxy", C::Graphics, {130, 14, 82, 14}, 0, nullptr},
    {C::DisplaySize, "btnsize", C::Graphics, {8, 14, 50, 17}, 5, "Show the canvas as 128x64 or 128x32 dots"},
    {C::Canvas, "Picture1", C::Graphics, {8, 34, 132, 68}, 6, // 1980 x 1020 twips, border included
     "The picture: the left button draws or erases, as Draw and Erase say (Ctrl+Z undoes)"},
    {C::PenSizeLabel, "Label4", C::Graphics, {146, 32, 64, 14}, 0, nullptr},
    {C::PenSize, "Combo1", C::Graphics, {146, 48, 64, 20}, 7, "The pen's size in dots"},
    {C::Draw, "Command7", C::Graphics, {146, 72, 64, 22}, 8, "Draw: the left button sets dots"},
    {C::Erase, "Command6", C::Graphics, {146, 98, 64, 22}, 9, "Erase: the left button clears dots"},
    {C::SavePicture, "Command8", C::Graphics, {8, 124, 40, 22}, 10, "Save the picture as a BMP file"},
    {C::Convert, "Command9", C::Graphics, {50, 124, 52, 22}, 11,
     "Convert the picture into hex text in the Editable Text window"},
    {C::LoadPicture, "Command10", C::Graphics, {104, 124, 38, 22}, 12,
     "Load a BMP picture onto the canvas (or drop one on it)"},
    {C::ClearCanvas, "Command5", C::Graphics, {146, 124, 64, 22}, 13,
     "Clear the canvas (Ctrl+Z brings the picture back)"},

    {C::EepromLoadLabel, "Label13", C::Eeprom, {4, 16, 86, 24}, 0, nullptr},
    {C::EepromTarget, "Check1", C::Eeprom, {39, 42, 17, 17}, 14, "Load the I2C EEPROM instead of the LCD"},
    {C::StartAddressLabel, "Label12", C::Eeprom, {4, 60, 86, 14}, 0, nullptr},
    {C::StartAddress, "eeprom", C::Eeprom, {19, 76, 56, 20}, 15,
     "The EEPROM's start address: up to 4 characters, read as a decimal number (0 to 9999). For any address from "
     "0 to 65535, right-click the box and choose Start Address..."},
    {C::PasteAndSend, "Command4", C::Client, {224, 138, 94, 26}, 16,
     "Send the clipboard's text to the PIC, paced by the Xmit Delay"},

    {C::ReceiveText, "Text1", C::Client, {322, 30, 170, 82}, 17, "What the PIC sends"},
    {C::TransmitText, "Text2", C::Client, {322, 116, 170, 46}, 18, "Every key typed here goes to the PIC at once"},
    {C::TransmitActive, "lblxmit", C::Client, {322, 164, 170, 16}, 0, nullptr},
    {C::ReceivePoll, "Timer1", C::None, {}, 0, nullptr},

    {C::HeaderLabel, "Label3", C::OutputFormat, {6, 20, 44, 14}, 0, nullptr},
    {C::Header, "txthead", C::OutputFormat, {52, 17, 70, 20}, 19, "Header: text before the converted bytes"},
    {C::FooterLabel, "Label5", C::OutputFormat, {6, 44, 44, 14}, 0, nullptr},
    {C::Footer, "txtfoot", C::OutputFormat, {52, 41, 70, 20}, 21, "Footer: text after the converted bytes"},
    {C::FormatLabel, "lblfrmt", C::OutputFormat, {126, 20, 54, 14}, 0, nullptr},
    {C::Format, "txtfrmt", C::OutputFormat, {184, 17, 44, 20}, 20,
     "Format: text before each byte's two hex digits, such as $ or 0x; empty for sending"},
    {C::DelimiterLabel, "Label6", C::OutputFormat, {126, 44, 54, 14}, 0, nullptr},
    {C::Delimiter, "txtDelim", C::OutputFormat, {184, 41, 44, 20}, 22,
     "Delimiter: text between the bytes; empty for sending"},
    {C::WaitChars, "Text4", C::OutputFormat, {184, 65, 44, 20}, 23,
     "Wait character: put before each piece; the Xmit Delay pauses before it"},
    {C::WaitCharsLabel, "Label9", C::OutputFormat, {176, 88, 56, 14}, 0, nullptr},

    {C::Vertical, "Option2_0", C::ByteMatrix, {8, 26, 76, 18}, 24,
     "Vertical: the bytes page by page, each page left to right"},
    {C::Horizontal, "Option2_1", C::ByteMatrix, {8, 54, 76, 18}, 25,
     "Horizontal: the bytes column by column, each column's pages top to bottom"},

    {C::PicBufferLabel, "Label7", C::Io, {4, 20, 88, 14}, 0, nullptr},
    {C::PicBuffer, "List2", C::Io, {94, 16, 58, 21}, 26, "PIC Buffer: the length of each piece sent"},
    {C::PicDelayLabel, "Label8", C::Io, {4, 42, 88, 14}, 0, nullptr},
    {C::PicDelay, "List3", C::Io, {94, 38, 58, 21}, 27, "PIC Delay: the PIC's own delay, sent in the prefix"},
    {C::XmitDelayLabel, "Label11", C::Io, {4, 64, 88, 14}, 0, nullptr},
    {C::XmitDelay, "xmitdelay", C::Io, {94, 61, 58, 20}, 28,
     "Xmit Delay: milliseconds of silence before each wait character"},
    {C::ApplySettings, "cmdApply", C::Io, {94, 84, 58, 20}, 29, "Show the PIC settings in force"},

    {C::OutputTextLabel, "Label10", C::Client, {4, 294, 120, 16}, 0, nullptr},
    {C::OutputText, "Text3", C::Client, {4, 310, 488, 84}, 30,
     "The converted text, or the transmission after Reformat For Output (drop a text file here)"},
    // The progress area, in the free strip between the settings and the text
    // window: while a send runs, how far it got and the time left (the bar
    // says it over the label), and Stop; after it, what happened.
    {C::SendResult, "sendResult", C::Client, {130, 294, 362, 16}, 0, nullptr},
    {C::SendProgressText, "sendProgressText", C::Client, {130, 294, 300, 16}, 0, nullptr},
    {C::SendProgress, "sendProgress", C::Client, {130, 294, 300, 16}, 0, nullptr},
    {C::Stop, "cmdStop", C::Client, {434, 293, 58, 17}, 0, "Stop the send after the character in flight (Esc)"},

    {C::CopyText, "Command11", C::OutputCommands, {6, 18, 54, 24}, 31, "Copy the text to the clipboard"},
    {C::SaveText, "Command12", C::OutputCommands, {64, 18, 54, 24}, 32, "Save the text as a file"},
    {C::ClearText, "Command13", C::OutputCommands, {122, 18, 54, 24}, 33, "Clear the text"},
    {C::RestoreText, "Command14", C::OutputCommands, {180, 18, 54, 24}, 34, "Restore the text of the last Convert"},

    {C::Reformat, "Command15", C::DirectLoad, {6, 18, 126, 24}, 35,
     "Cut the converted text into the transmission: the prefix, then pieces behind the wait character"},
    {C::SendToLcd, "Command16", C::DirectLoad, {136, 18, 102, 24}, 36,
     "Send the transmission to the PIC, paced by the Xmit Delay"},
};
// clang-format on
static_assert(std::size(Controls) == static_cast<std::size_t>(Control::SendToLcd) + 1, "one entry per control");
} // namespace

const ControlEntry &entry(Control control)
{
    const ControlEntry &found = Controls[static_cast<std::size_t>(control)];
    Q_ASSERT(found.control == control);
    return found;
}

const char *controlName(Control control)
{
    return entry(control).objectName;
}

QList<Control> tabOrder()
{
    QList<const ControlEntry *> reached;
    for (const ControlEntry &e : Controls)
        if (e.tabPosition > 0)
            reached.append(&e);
    std::sort(reached.begin(), reached.end(),
              [](const ControlEntry *a, const ControlEntry *b) { return a->tabPosition < b->tabPosition; });
    QList<Control> order;
    for (const ControlEntry *e : std::as_const(reached))
        order.append(e->control);
    return order;
}

const ControlEntry *ControlTable::begin() const
{
    return std::begin(Controls);
}

const ControlEntry *ControlTable::end() const
{
    return std::end(Controls);
}

WindowControls::WindowControls(const QWidget &window) : widgets_(std::size(Controls), nullptr)
{
    QHash<QString, Control> byName;
    for (const ControlEntry &e : Controls)
        byName.insert(QLatin1String(e.objectName), e.control);
    for (QWidget *child : window.findChildren<QWidget *>()) {
        const auto found = byName.constFind(child->objectName());
        if (found == byName.constEnd())
            continue;
        QWidget *&known = widgets_[static_cast<qsizetype>(*found)];
        if (!known) // the first of a name: the main window's own, not a later dialog's
            known = child;
    }
}
