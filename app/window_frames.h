#pragma once

class QGroupBox;
class QMainWindow;
class QWidget;

// The fixed frame of the main window: its client area and the strips and
// groups the panels put their controls into.
struct WindowFrames
{
    QWidget *client;
    QWidget *portStrip;        // across the top
    QGroupBox *graphics;       // the canvas, its tools and commands
    QGroupBox *eeprom;         // the I2C EEPROM target
    QGroupBox *outputFormat;   // header, footer, format, delimiter, wait character
    QGroupBox *byteMatrix;     // the byte order
    QGroupBox *io;             // the PIC buffer and delays
    QGroupBox *outputCommands; // the text output window's commands
    QGroupBox *directLoad;     // Reformat For Output and the send
};

// Sets the window's title, icon, flags and font and builds its frames.
WindowFrames buildWindowFrames(QMainWindow &window);

// Tab walks the controls in reading order, and the window takes its fixed
// size in the middle of the screen; once every control is there.
void finishWindow(QMainWindow &window);
