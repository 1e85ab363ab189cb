#pragma once

#include <QList>
#include <QRect>

class QWidget;

// The main window's controls, listed once: what each is for (the C++
// name), the objectName tests and scripts find it by (it never changes),
// the group it stands in, its place in that group in pixels at 96 dpi, its
// place in the Tab order and its tooltip. Panels make their controls from
// these entries; the Tab order and the tooltips come from here too.
enum class Control {
    None,
    // The frames: the client area, its bands and its groups.
    Client,
    PortStrip,
    Graphics,
    Eeprom,
    SettingsBand,
    OutputFormat,
    ByteMatrix,
    Io,
    BottomBand,
    OutputCommands,
    DirectLoad,
    // The port strip across the top.
    Com1,
    Com2,
    LineSettingsInForce,
    LineSettings,
    PortIndicator,
    PortButton,
    // Graphics.
    CanvasPosition,
    DisplaySize,
    Canvas,
    PenSizeLabel,
    PenSize,
    Draw,
    Erase,
    SavePicture,
    Convert,
    LoadPicture,
    ClearCanvas,
    // The I2C EEPROM target, and Paste and Send under it.
    EepromLoadLabel,
    EepromTarget,
    StartAddressLabel,
    StartAddress,
    PasteAndSend,
    // The terminal.
    ReceiveText,
    TransmitText,
    TransmitActive,
    ReceivePoll, // a timer, not a widget
    // Output Format.
    HeaderLabel,
    Header,
    FooterLabel,
    Footer,
    FormatLabel,
    Format,
    DelimiterLabel,
    Delimiter,
    WaitChars,
    WaitCharsLabel,
    // Byte Matrix.
    Vertical,
    Horizontal,
    // I/O.
    PicBufferLabel,
    PicBuffer,
    PicDelayLabel,
    PicDelay,
    XmitDelayLabel,
    XmitDelay,
    ApplySettings,
    // The text output window, and the progress of a send above it.
    OutputTextLabel,
    OutputText,
    SendResult,
    SendProgressText,
    SendProgress,
    Stop,
    // Text Output Window.
    CopyText,
    SaveText,
    ClearText,
    RestoreText,
    // Directly load LCD.
    Reformat,
    SendToLcd,
};

struct ControlEntry
{
    Control control;
    const char *objectName;
    Control group;       // the frame it stands in; None for the client area and the timer
    QRect geometry;      // in its group
    int tabPosition;     // 1 for the first control Tab reaches; 0 for one Tab skips
    const char *toolTip; // nullptr: none (Com1 and Com2 get theirs from the port panel)
};

const ControlEntry &entry(Control control);
// The objectName, for finding a control as tests and scripts do.
const char *controlName(Control control);
// The controls Tab reaches, in the order it reaches them.
QList<Control> tabOrder();
// Every entry, for a range-for.
struct ControlTable
{
    const ControlEntry *begin() const;
    const ControlEntry *end() const;
};
inline ControlTable allControls()
{
    return {};
}

// The table's widgets in a built window, found in one pass over its
// children (the window has over a hundred).
class WindowControls
{
public:
    explicit WindowControls(const QWidget &window);
    // Nothing for the timer.
    QWidget *widget(Control control) const { return widgets_.at(static_cast<qsizetype>(control)); }

private:
    QList<QWidget *> widgets_;
};
