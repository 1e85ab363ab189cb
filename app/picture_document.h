#pragma once

#include "canvas/canvas.h"
#include "import/picture_import.h"

#include <QObject>

class QUndoStack;

// The program's one picture, apart from any window: the canvas and its
// pens, the undo history of its changes, whether it changed since it was
// last loaded, saved or kept, the height shown (128x64 or 128x32) and the
// Import options. The Graphics group, the LCD View, Convert and the Series
// window are all handed this one document.
class PictureDocument : public QObject
{
    Q_OBJECT
public:
    explicit PictureDocument(QObject *parent = nullptr);

    const Canvas &canvas() const { return canvas_; }
    // The Import dialog's last choice, which a series is imported with too.
    ImportOptions &importOptions() { return importOptions_; }
    // In 128x32 mode only rows 0..31 are shown, drawn on and converted.
    bool isHalfHeight() const { return canvas_.shownRows() < Canvas::Height; }
    void setHalfHeight(bool half);

    // The pens: the colour the left button draws in, and the pen size
    // list's entry (0 .. 5 for x1 .. x10), shared by every view.
    void setDrawColour(QRgb colour);
    int penSizeIndex() const { return penSizeIndex_; }
    void choosePenSize(int index);

    // Each change below is one undo step, named `what`; none when the
    // pixels stay as they were.
    void place(const QImage &picture, const QString &what);
    void clear();
    // A live edit (a pen stroke as it is drawn) shows at once; applyEdit
    // then keeps the change from `before` as one step.
    void showPixels(const Canvas::Pixels &pixels);
    void applyEdit(const Canvas::Pixels &before, const Canvas::Pixels &after, const QString &what);

    // A picture file: a BMP put on the canvas as the step "Load" (false
    // when it cannot be read), or all 64 rows written (why not, or an empty
    // text). Either way the picture counts as unchanged afterwards.
    bool load(const QString &fileName);
    QString save(const QString &fileName);

    void undo();
    void redo();
    // The names of the steps undo and redo would take; empty when none.
    QString undoText() const;
    QString redoText() const;

    // Changed since the picture was last loaded, saved or kept; undo and
    // redo change it too.
    bool isChanged() const { return changed_; }
    // At the end of the program: a changed picture goes to the kept
    // pictures, once. Returns why it could not be kept, or an empty text.
    QString keepIfChanged(const QString &folder);

    // During a send the picture takes no edits: every view holds its
    // controls, and says why.
    void hold(bool held, const QString &why = QString());
    bool isHeld() const { return held_; }
    QString heldReason() const { return heldReason_; }

signals:
    // The picture or its shown rows changed: a stroke, a command, undo.
    void pictureChanged();
    // A step was taken, undone or redone: the names changed.
    void historyChanged();
    void penSizeChosen(int index);
    void heldChanged(bool held);

private:
    void recordChange(const Canvas::Pixels &before, const QString &what);

    Canvas canvas_;
    QUndoStack *history_;
    ImportOptions importOptions_;
    int penSizeIndex_ = -1; // none chosen before the load step
    bool changed_ = false;
    bool held_ = false;
    QString heldReason_;
};
