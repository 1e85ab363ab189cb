#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The help text shown by the Help window: fourteen lines joined by CR LF,
// the twelfth empty, no line break after the last.
inline QString helpText()
{
    const QStringList lines = {
        QStringLiteral("Some Brief Beta Instructions"),
        QStringLiteral("1) When sending an image to the LCD: Clear the 'Format' fields, but not the 'Wait Char'!"),
        QStringLiteral(
            "2) The default Xmit delay of 20ms is used when sending directly to the LCD - adjust as needed."),
        QStringLiteral(
            "3) The xmit delay when sending to an external eeprom is much higher - around 200ms seems to work best."),
        QStringLiteral("4) Avoid setting the PIC Delay from 10ms to a higher value, which would then require extremely "
                       "long xmit delays"),
        QStringLiteral("5) The image box can load BMP format 128x64 bit B/W images. Hint: MS Paint (TM) works fine"),
        QStringLiteral("6) The 'Open' in the top menu is to load already formatted text into the Transmit Window (not "
                       "the editable window)"),
        QStringLiteral("7) The menu 'Exit' does exactly that, without any prompts!"),
        QStringLiteral("8) The Header, Footer, Delimiter and Format are used only when you want to generate code to be "
                       "used in an application"),
        QStringLiteral("9) There is no handshake in the xmit - it just pumps out the data, regardless of any serial "
                       "connection, so make sure that the PIC is ready to receive data before you transmit it!"),
        QStringLiteral("10) The Transmit Window can be used to send commands to the PIC"),
        QString(),
        QStringLiteral("There is much tidying up to do - such as the CRLF's in the receive window"),
        QStringLiteral("Any comments and or suggestions are welcome! - voxcel@example.org"),
    };
    return lines.join(QStringLiteral("\r\n"));
}

// The Help window: a Close button over an editable box holding the help
// text. It never blocks the main window; showSingle keeps it to one instance.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Creates the window (running its load step) if it does not exist, else
    // brings the shown one to the front without loading it again.
    static HelpWindow *showSingle(QWidget *parent);

    void loadStartValues();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Esc closes the window, as Close does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void centreOnScreen();

    QPushButton *closeButton;
    QPlainTextEdit *helpTextBox;

    static QPointer<HelpWindow> instance_;
};
