#pragma once

#include "app/send_hold.h"
#include "app/window_menus.h"

#include <QMainWindow>
#include <QPointer>

class Canvas;
class OutputPanel;
class PictureDocument;
class PicturePanel;
class PortPanel;
class PortSession;
class Prompts;
class QuitSignals;
class SendPanel;
class SeriesWindow;
struct SeriesHost;
class TerminalPanel;

// The one fixed main window. It owns the picture document, which it hands
// to whatever shows or edits the picture, and composes the panels, each of
// which owns its controls, its values and its commands:
//   PicturePanel   the canvas box, pens, picture files, Import, undo
//   OutputPanel    the Output Format, byte order, Convert, Reformat, the text window
//   PortPanel      Com1/Com2, line settings, Open/Close, the indicator
//   TerminalPanel  the receive and transmit windows
//   SendPanel      the PIC settings, the EEPROM target, the two sends, Stop
// The serial line is the session's, on its own thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(Prompts &prompts, PortSession &session, QWidget *parent = nullptr);

    const Canvas &canvas() const;
    // Ends the program as Exit does: at once, without a question, the
    // picture kept when it changed.
    void endProgram(int exitCode);
    // SIGTERM, SIGHUP and SIGINT end the program as Exit does.
    void endOnQuitSignals(const QuitSignals &quitSignals);

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // A file dropped on the canvas loads as Load does, on the text output
    // window gives its text, anywhere else opens the Import dialog.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void connectMenus();
    void holdDuringSend(bool held, const QString &why = QString());
    // The Series window, made when first asked for.
    void showSeries();
    SeriesHost seriesHost();
    void afterFirstPaint();
    // Whatever ends the program: a changed picture, with a text placed in
    // the LCD View, goes to the kept pictures; a failure is told on
    // standard error, and in a note at the next start.
    void keepPicture();
    void showNotKeptNote();
    // Where pictures are kept when the program ends with one not saved.
    static QString keptPicturesFolder();

    Prompts &prompts_;
    PortSession &session_;
    PictureDocument *document_;
    PicturePanel *picture_;
    PortPanel *port_;
    TerminalPanel *terminal_;
    SendPanel *send_;
    OutputPanel *output_;
    QPointer<SeriesWindow> series_;
    WindowMenus menus_;
    SendHold menusHeld_;
    bool closeAfterSend_ = false; // the window was closed during a send
    bool painted_ = false;
};
