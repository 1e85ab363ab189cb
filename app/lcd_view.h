#pragma once

#include "app/send_hold.h"
#include "canvas/lcd_editing.h"

#include <QPointer>
#include <QWidget>

class LcdCanvas;
class PictureDocument;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSpinBox;
class QToolButton;

// The LCD View: the main window's canvas enlarged, to draw in dot by dot
// with the pen, shapes, a flood fill and text. It edits the one picture of
// the main window live, and every finished shape is one step of the main
// window's undo history. During a send it takes no edits and says so. It
// opens beside the main window, as large as the room there allows, and
// zooms around the pointer with Ctrl+wheel and the + and - keys.
class LcdView : public QWidget
{
    Q_OBJECT
public:
    LcdView(PictureDocument &picture, QWidget *parent);

    // Creates the window if it does not exist, else brings it to the front.
    static LcdView *showSingle(QWidget *parent, PictureDocument &picture);
    // A text placed and not yet finished goes onto the picture (at the end
    // of the program: only Esc takes a placed text back).
    static void commitPlacedText();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildToolRow();
    QWidget *buildViewRow();
    QWidget *buildTextRow();
    void connectControls();
    void chooseTool(LcdTool tool);
    // The zoom and place the screen's room beside the main window allows.
    void place();
    // Zooms keeping the dot under `pointer` (in the scroll area's visible
    // pixels) where it is.
    void zoomAround(int zoom, QPointF pointer);
    // Shows the picture, with the edit under way on it.
    void refresh();
    void renderText();
    void press(QPoint dot, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void move(QPoint dot, Qt::KeyboardModifiers modifiers);
    void release();
    void keep(const std::optional<LcdEdit> &edit);
    void showPosition(QPoint dot);
    void hold(bool held);

    PictureDocument &picture_;
    LcdEditing editing_;
    SendHold hold_;
    int wheelTurned_ = 0; // of a notch not yet zoomed by

    QList<QToolButton *> toolButtons;
    QComboBox *penSizeCombo = nullptr;
    QSpinBox *zoomBox = nullptr;
    QCheckBox *gridBox = nullptr;
    QComboBox *lookCombo = nullptr;
    QLineEdit *textBox = nullptr;
    QComboBox *fontCombo = nullptr;
    QSpinBox *fontSizeBox = nullptr;
    QCheckBox *boldBox = nullptr;
    LcdCanvas *canvas = nullptr;
    QScrollArea *scroll = nullptr;
    QLabel *positionLabel = nullptr;
    QLabel *heldNote = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;

    static QPointer<LcdView> instance_;
};
