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
class QSpinBox;
class QToolButton;

// The LCD View: the main window's canvas enlarged, to draw in dot by dot
// with the pen, shapes, a flood fill and text. It edits the one picture of
// the main window live, and every finished shape is one step of the main
// window's undo history. During a send it takes no edits.
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

private:
    QWidget *buildToolRow();
    QWidget *buildTextRow();
    void connectControls();
    void chooseTool(LcdTool tool);
    void startZoom();
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
    QLabel *positionLabel = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;

    static QPointer<LcdView> instance_;
};
