#pragma once

#include "app/send_hold.h"
#include "canvas/canvas.h"

#include <QObject>

class CanvasView;
class PictureDocument;
class Prompts;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The Graphics group: shows the picture document in the canvas box and
// runs its commands there: the pens and their strokes, the 128x64 / 128x32
// view, Clear, the picture files (Load, Save, Import, Recover Picture) and
// the Edit menu's Undo and Redo named for their step.
class PicturePanel : public QObject
{
    Q_OBJECT
public:
    PicturePanel(QGroupBox *graphics, PictureDocument &picture, Prompts &prompts, QObject *parent);

    // The load step: pen size x1, the view's full height noted.
    void loadStartValues();
    // A picture in any format, fitted, thresholded or dithered (the Import
    // dialog), onto the canvas: the file chosen in the file dialog, or the
    // one given.
    void importPicture(const QString &fileName = QString());
    // A BMP onto the canvas as Load puts it, with Load's message when it
    // cannot be read.
    void loadFile(const QString &fileName);
    // Recover Picture: one of the kept pictures back onto the canvas.
    void recover(const QString &folder);
    // Whether a point of the window, in the window's own pixels, lies on
    // the canvas.
    bool isUnder(const QWidget *window, QPoint point) const;
    // The Edit menu's Undo and Redo, named for the change they undo.
    QList<QAction *> editActions() const { return {undoAction_, redoAction_}; }

private:
    void buildControls(QGroupBox *graphics);
    void setPenMode(QRgb colour);
    void startStroke(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void continueStroke(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void endStroke();
    void toggleDisplayHeight();
    void load();
    void save();
    void makeEditActions();
    // During a send the canvas takes no strokes and the commands are
    // disabled; afterwards they are as before.
    void holdDuringSend(bool held);

    PictureDocument &picture_;
    Prompts &prompts_;
    bool penDown_ = false;       // a mouse button is held on the canvas
    double penX_ = 0, penY_ = 0; // the last position painted in the stroke
    Canvas::Pixels strokeBefore_{};
    qint16 canvasFullHeight_ = 0; // the view's height at start-up, in twips
    QAction *undoAction_ = nullptr;
    QAction *redoAction_ = nullptr;

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
