#pragma once

#include "app/window_state.h"
#include "canvas/canvas.h"
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
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QKeyEvent;

// The one fixed main window. Its controls carry the names the program's
// commands use (Command9, Text3, List2, ...), and each command is a handler
// named after its control and event. The handlers read the controls, call
// the subsystem code and write the results back; the rules live elsewhere.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Prompts &prompts, PortLayer &port, QWidget *parent = nullptr);
    ~MainWindow() override;

    WindowState &state() { return state_; }
    const Canvas &canvas() const { return canvas_; }

    // Builds the parameter prefix into paramPrefix from the target, the PIC
    // buffer, the start-address box and the PIC delay. Throws when the start
    // address cannot be used; paramPrefix then stays empty.
    void getparam();

private:
    void buildControls();
    void Form_Load();

    void on_Combo1_Click();
    void on_List2_Click();
    void on_List3_Click();
    void on_cmdApply_Click();
    void on_btnsize_Click();
    void on_Command5_Click();

    // Drawing
    void on_Command7_Click();
    void on_Command6_Click();
    void onPicture1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void onPicture1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, double x, double y);
    void onPicture1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    // Picture files
    void on_Command10_Click();
    void on_Command8_Click();
    // Conversion and the text output window
    void on_Option2_Click();
    void on_Command9_Click();
    void on_Command15_Click();
    void on_Command11_Click();
    void on_Command12_Click();
    void on_Command13_Click();
    void on_Command14_Click();
    // Serial port, terminal windows, transmissions, EEPROM target
    void on_cmdcomm_Click();
    void on_List1_Click();
    void on_Timer1_Timer();
    void on_Text1_Change();
    void on_Text2_KeyPress(const QKeyEvent &event);
    void on_Text4_Change();
    void on_Command16_Click();
    void on_Command4_Click();
    void on_Check1_Click();
    // Menu bar
    void on_mnuExit_Click();
    void on_mnuOpen_Click();
    void on_mnuAbout_Click();
    void on_mnuHelp_Click();

    void showPortClosed();
    void showPortOpen();
    void setIndicator(const QString &caption, const QColor &background);
    // The device went away under an open port: back to the closed look,
    // and tell the user why.
    void portLost(const PortError &error);
    // Sends a text paced, with the Busy look and the progress bar; a lost
    // port has been handled (closed look, message) when this returns.
    enum class SendOutcome { Sent, DelayFailed, PortLost };
    SendOutcome transmit(const QString &text, const QString &waitText, const DelaySource &delay);
    // Shows progress and lets the window repaint between characters.
    void showSendProgress(qsizetype sent, qsizetype total);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:

    Prompts &prompts_;
    PortLayer &port_;
    WindowState state_;
    Canvas canvas_;
    double penX_ = 0;  // the last position painted in the current stroke
    double penY_ = 0;
    ReceiveDisplay receiveDisplay_;
    bool transmitting_ = false;
    QElapsedTimer progressClock_;  // since the last repaint of the progress

    // Port strip
    QWidget *Frame3 = nullptr;
    QRadioButton *Option1_0 = nullptr;
    QRadioButton *Option1_1 = nullptr;
    QLabel *Label2 = nullptr;
    QListWidget *List1 = nullptr;
    QLabel *comm = nullptr;
    QPushButton *cmdcomm = nullptr;
    // Graphics
    QGroupBox *Frame6 = nullptr;
    QLabel *lblxy = nullptr;
    QPushButton *btnsize = nullptr;
    QLabel *Label4 = nullptr;
    CanvasView *Picture1 = nullptr;
    QComboBox *Combo1 = nullptr;
    QPushButton *Command7 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command8 = nullptr;
    QPushButton *Command9 = nullptr;
    QPushButton *Command10 = nullptr;
    // I2C Eeprom
    QGroupBox *Frame10 = nullptr;
    QLabel *Label13 = nullptr;
    QCheckBox *Check1 = nullptr;
    QLabel *Label12 = nullptr;
    QLineEdit *eeprom = nullptr;
    QPushButton *Command4 = nullptr;
    // Terminal
    QPlainTextEdit *Text1 = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    QLabel *lblxmit = nullptr;
    // Band: Output Format, Byte Matrix, I/O
    QWidget *Frame2 = nullptr;
    QGroupBox *Frame4 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txthead = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *txtfoot = nullptr;
    QLabel *lblfrmt = nullptr;
    QLineEdit *txtfrmt = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *txtDelim = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label9 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option2_0 = nullptr;
    QRadioButton *Option2_1 = nullptr;
    QGroupBox *Frame5 = nullptr;
    QLabel *Label7 = nullptr;
    QListWidget *List2 = nullptr;
    QLabel *Label8 = nullptr;
    QListWidget *List3 = nullptr;
    QLabel *Label11 = nullptr;
    QLineEdit *xmitdelay = nullptr;
    QPushButton *cmdApply = nullptr;
    // Text output window
    QLabel *Label10 = nullptr;
    QPlainTextEdit *Text3 = nullptr;
    QWidget *Frame9 = nullptr;
    QGroupBox *Frame8 = nullptr;
    QPushButton *Command11 = nullptr;
    QPushButton *Command12 = nullptr;
    QPushButton *Command13 = nullptr;
    QPushButton *Command14 = nullptr;
    QGroupBox *Frame7 = nullptr;
    QPushButton *Command15 = nullptr;
    QPushButton *Command16 = nullptr;
    QProgressBar *sendProgress = nullptr;
    // Non-visual
    QTimer *Timer1 = nullptr;
    QAction *mnuExit = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuAbout = nullptr;
    QAction *mnuHelp = nullptr;
};
