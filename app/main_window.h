#pragma once

#include "app/window_state.h"
#include "canvas/canvas.h"
#include "canvas/picture_import.h"
#include "serial/pacing.h"
#include "serial/receive_display.h"

#include <QElapsedTimer>
#include <QMainWindow>

class CanvasView;
class PortError;
class PortLayer;
class Prompts;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class OneLineList;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QUndoStack;
class TransmissionGuard;

// The one fixed main window. It reads its controls, calls the rules in
// canvas/, convert/ and serial/, and writes the results back; it holds no
// rules of its own. Its code is split by what it serves:
//   main_window.cpp           start-up, the signal connections, closing
//   main_window_controls.cpp  the construction of every control
//   picture_commands.cpp      the canvas: pen, drawing, Clear, 128x64/128x32, picture files
//   output_text_commands.cpp  Convert, Reformat For Output, Copy, Save, Clear, Restore
//   port_commands.cpp         the serial port, the receive and transmit windows
//   send_commands.cpp         the PIC settings, the EEPROM target, the paced sends
//   menu_commands.cpp         Exit, Open, About, Help
// Each control's objectName is the name tests and automation find it by; it
// stands next to the member on the line that creates the control.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Prompts &prompts, PortLayer &port, QWidget *parent = nullptr);
    ~MainWindow() override;

    WindowState &state() { return state_; }
    const Canvas &canvas() const { return canvas_; }

    // Builds paramPrefix from the target, the PIC buffer, the start-address
    // box and the PIC delay. Throws when the start address cannot be used;
    // paramPrefix then stays empty.
    void makeParamPrefix();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectCommands();
    void loadStartValues();

    // The picture
    void onPenSizeChosen();
    void selectDrawPen();
    void selectErasePen();
    void startStroke(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void continueStroke(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void endStroke(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void clearCanvas();
    void toggleDisplayHeight();
    void loadPicture();
    void savePicture();
    // A picture in any format, fitted, thresholded or dithered (the Import
    // dialog), onto the canvas.
    void importPictureFile();
    // The picture the text output window describes (converted text in the
    // Output Format boxes' shape, or a byte list from source code), read in
    // the chosen byte order, onto the canvas.
    void pictureFromText();
    // Keeps a change of the picture as one undo step; `before` is the
    // picture as it was. No step when nothing changed.
    void recordCanvasChange(const Canvas::Pixels &before, const QString &what);
    void undoCanvasChange();
    void redoCanvasChange();

    // The output text
    void onByteOrderChosen();
    void convert();
    void reformat();
    void copyOutput();
    void saveOutput();
    void clearOutput();
    void restoreOutput();

    // The serial port and the small terminal
    void openOrClosePort();
    void onLineSettingsChosen();
    void pollReceived();
    void onReceiveTextChanged();
    void sendTypedKey(const QKeyEvent &event);
    void showPortClosed();
    void showPortOpen();
    void setIndicator(const QString &caption, const QColor &background);
    // The device went away under an open port: back to the closed look,
    // and tell the user why.
    void portLost(const PortError &error);

    // The PIC settings and the paced sends
    void onPicBufferChosen();
    void onPicDelayChosen();
    void onWaitCharsEdited();
    void applySettings();
    void onEepromTargetToggled();
    void sendToLcd();
    void pasteAndSend();
    // Sends a text paced, with the Busy look and the progress bar; a lost
    // port has been handled (closed look, message) when this returns.
    // Input is dropped meanwhile; Stop, Esc and closing the window stop the
    // send after the character in flight.
    enum class SendOutcome { Sent, DelayFailed, PortLost, Stopped };
    SendOutcome transmit(const QString &text, const QString &waitText, const DelaySource &delay);
    void stopTransmission();
    // What a running send shows: characters sent, and the time left.
    struct SendProgress
    {
        const QString &text;
        const QString &waitText;
        int delayMs;
        LineDuration characterTime;
        qsizetype sent;
        qsizetype total;
    };
    // Shows progress and lets the window repaint between characters.
    void showSendProgress(const SendProgress &send);

    // The menus
    void exitProgram();
    void openFieldFile();
    void showAbout();
    void showHelp();

    Prompts &prompts_;
    PortLayer &port_;
    WindowState state_;
    Canvas canvas_;
    double penX_ = 0; // the last position painted in the current stroke
    double penY_ = 0;
    Canvas::Pixels strokeBefore_{}; // the picture when the current stroke began
    QUndoStack *canvasHistory_ = nullptr;
    ImportOptions importOptions_; // the Import dialog starts from the last choice
    ReceiveDisplay receiveDisplay_;
    bool transmitting_ = false;
    TransmissionGuard *guard_ = nullptr; // while a send runs
    bool closeAfterSend_ = false;        // the window was closed during a send
    QElapsedTimer progressClock_;        // since the last repaint of the progress

    // The controls the commands read or change; labels and groups that
    // never change after construction are not kept.
    // Port strip
    QRadioButton *com1Option = nullptr;
    QLabel *lineSettingsLabel = nullptr;
    OneLineList *lineSettingsList = nullptr;
    QLabel *portIndicator = nullptr;
    QPushButton *portButton = nullptr;
    // Graphics
    QLabel *positionLabel = nullptr;
    QPushButton *displaySizeButton = nullptr;
    CanvasView *canvasView = nullptr;
    QComboBox *penSizeCombo = nullptr;
    QPushButton *drawButton = nullptr;
    QPushButton *eraseButton = nullptr;
    QPushButton *clearCanvasButton = nullptr;
    QPushButton *savePictureButton = nullptr;
    QPushButton *convertButton = nullptr;
    QPushButton *loadPictureButton = nullptr;
    // I2C EEPROM
    QCheckBox *eepromCheck = nullptr;
    QLineEdit *startAddressEdit = nullptr;
    QPushButton *pasteAndSendButton = nullptr;
    // Terminal
    QPlainTextEdit *receiveText = nullptr;
    QPlainTextEdit *transmitText = nullptr;
    QLabel *transmitActiveLabel = nullptr;
    // Output Format, Byte Matrix, I/O
    QLineEdit *headerEdit = nullptr;
    QLineEdit *footerEdit = nullptr;
    QLineEdit *formatEdit = nullptr;
    QLineEdit *delimiterEdit = nullptr;
    QLineEdit *waitCharsEdit = nullptr;
    QRadioButton *verticalOption = nullptr;
    QRadioButton *horizontalOption = nullptr;
    OneLineList *picBufferList = nullptr;
    OneLineList *picDelayList = nullptr;
    QLineEdit *xmitDelayEdit = nullptr;
    QPushButton *applyButton = nullptr;
    // Text output window and its commands
    QPlainTextEdit *outputText = nullptr;
    QPushButton *copyButton = nullptr;
    QPushButton *saveTextButton = nullptr;
    QPushButton *clearTextButton = nullptr;
    QPushButton *restoreButton = nullptr;
    QGroupBox *directLoadGroup = nullptr;
    QPushButton *reformatButton = nullptr;
    QPushButton *sendButton = nullptr;
    QProgressBar *sendProgress = nullptr;
    QLabel *sendProgressText = nullptr; // "Sending: 1056 of 2122 characters, 1.7 s left"
    QPushButton *stopButton = nullptr;  // shown while a send runs
    // Not shown
    QTimer *receivePollTimer = nullptr;
    QAction *exitAction = nullptr;
    QAction *openAction = nullptr;
    QAction *importAction = nullptr;
    QAction *fromTextAction = nullptr;
    QAction *aboutAction = nullptr;
    QAction *helpAction = nullptr;
    QAction *undoAction = nullptr; // Ctrl+Z: the last change of the picture
    QAction *redoAction = nullptr; // Ctrl+Shift+Z, Ctrl+Y
};
