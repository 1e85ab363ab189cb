#pragma once

#include "app/send_hold.h"
#include "canvas/canvas.h"
#include "canvas/picture_import.h"

#include <QObject>

class CanvasView;
class Prompts;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QUndoStack;

// The picture: the canvas and its pens, the 128x64 / 128x32 view, Clear,
// the picture files (Load, Save, Import), and undo and redo of every change
// of the picture. Its controls sit in the Graphics group.
class PicturePanel : public QObject
{
    Q_OBJECT
public:
    PicturePanel(QGroupBox *graphics, Prompts &prompts, QObject *parent);

    const Canvas &canvas() const { return canvas_; }

    // The load step: pen size x1, the view's full height noted.
    void loadStartValues();
    // Puts a picture on the canvas as one undo step named `what`.
    void place(const QImage &picture, const QString &what);
    // A picture in any format, fitted, thresholded or dithered (the Import
    // dialog), onto the canvas.
    void importPicture();
    void undo();
    void redo();
    // During a send the picture does not change: the canvas takes no
    // strokes and its commands are disabled; afterwards they are as before.
    void holdDuringSend(bool held);

private:
    void buildControls(QGroupBox *graphics);
    void onPenSizeChosen();
    void startStroke(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void continueStroke(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void endStroke();
    void clear();
    void toggleDisplayHeight();
    void load();
    void save();
    // Keeps a change of the picture as one undo step; `before` is the
    // picture as it was. No step when nothing changed.
    void recordChange(const Canvas::Pixels &before, const QString &what);

    Prompts &prompts_;
    Canvas canvas_;
    QUndoStack *history_;
    bool penDown_ = false;       // a mouse button is held on the canvas
    double penX_ = 0, penY_ = 0; // the last position painted in the stroke
    Canvas::Pixels strokeBefore_{};
    bool halfHeight_ = false;       // the view shows 128x32
    qint16 canvasFullHeight_ = 0;   // the view's height at start-up, in twips
    ImportOptions importOptions_;   // the Import dialog starts from the last choice

    QLabel *positionLabel = nullptr;
    QPushButton *displaySizeButton = nullptr;
    CanvasView *canvasView = nullptr;
    QComboBox *penSizeCombo = nullptr;
    QPushButton *drawButton = nullptr;
    QPushButton *eraseButton = nullptr;
    QPushButton *savePictureButton = nullptr;
    QPushButton *loadPictureButton = nullptr;
    QPushButton *clearCanvasButton = nullptr;
    SendHold hold_;
};
