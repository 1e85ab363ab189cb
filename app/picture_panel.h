#pragma once

#include "app/send_hold.h"
#include "canvas/canvas.h"
#include "import/picture_import.h"

#include <QObject>

class CanvasView;
class Prompts;
class QAction;
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
    bool halfHeight() const { return halfHeight_; }
    // The Import dialog's last choice, which a series is imported with too.
    ImportOptions &importOptions() { return importOptions_; }

    // The load step: pen size x1, the view's full height noted.
    void loadStartValues();
    // Puts a picture on the canvas as one undo step named `what`.
    void place(const QImage &picture, const QString &what);
    // A picture in any format, fitted, thresholded or dithered (the Import
    // dialog), onto the canvas: the file chosen in the file dialog, or the
    // one given.
    void importPicture(const QString &fileName = QString());
    // A BMP onto the canvas as Load puts it, with Load's message when it
    // cannot be read.
    void loadFile(const QString &fileName);
    // The keys' undo and redo: a text box with the focus keeps them for its
    // own text.
    void undo();
    void redo();
    // Whether a point of the window, in the window's own pixels, lies on
    // the canvas.
    bool isUnder(const QWidget *window, QPoint point) const;
    // The Edit menu's Undo and Redo, named for the change they undo.
    QList<QAction *> editActions() const { return {undoAction_, redoAction_}; }
    // At the end of the program: a picture changed since it was last
    // loaded or saved goes to the kept pictures, once. Returns why it could
    // not be kept, or an empty text.
    QString keepIfChanged(const QString &folder);
    // Recover Picture: one of the kept pictures back onto the canvas.
    void recover(const QString &folder);
    // During a send the picture does not change: the canvas takes no
    // strokes and its commands are disabled; afterwards they are as before.
    void holdDuringSend(bool held, const QString &why = QString());
    bool isHeld() const { return held_; }
    QString heldReason() const { return heldReason_; }

    // Edits made in the LCD View. The pixels go onto the canvas at once
    // (a pen stroke as it is drawn); applyEdit then keeps the change from
    // `before` as one undo step named `what`.
    void showPixels(const Canvas::Pixels &pixels);
    void applyEdit(const Canvas::Pixels &before, const Canvas::Pixels &after, const QString &what);
    // The pen size list's entry (x1 .. x10), chosen as a click on it does.
    int penSizeIndex() const;
    void choosePenSize(int index);

signals:
    // The picture or its shown rows changed: a stroke, a command, undo.
    void pictureChanged();
    void penSizeChosen(int index);
    // A send began (true) or ended (false): the picture takes no edits.
    void editingHeld(bool held);

private:
    void buildControls(QGroupBox *graphics);
    void onPenSizeChosen();
    void setPenMode(QRgb colour);
    void startStroke(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void continueStroke(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void endStroke();
    void clear();
    void toggleDisplayHeight();
    void load();
    void save();
    void makeEditActions();
    // Keeps a change of the picture as one undo step; `before` is the
    // picture as it was. No step when nothing changed.
    void recordChange(const Canvas::Pixels &before, const QString &what);
    // Shows a change of the picture, here and in the LCD View.
    void showChange();

    Prompts &prompts_;
    Canvas canvas_;
    QUndoStack *history_;
    bool penDown_ = false;       // a mouse button is held on the canvas
    double penX_ = 0, penY_ = 0; // the last position painted in the stroke
    Canvas::Pixels strokeBefore_{};
    bool halfHeight_ = false;     // the view shows 128x32
    qint16 canvasFullHeight_ = 0; // the view's height at start-up, in twips
    ImportOptions importOptions_; // the Import dialog starts from the last choice
    bool changed_ = false;        // since the picture was last loaded, saved or kept
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
    bool held_ = false;
    QString heldReason_;
};
