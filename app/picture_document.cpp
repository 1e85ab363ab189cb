#include "app/picture_document.h"

#include "app/canvas_history.h"
#include "canvas/kept_pictures.h"
#include "canvas/picture_file.h"
#include "text/file_kind.h"

#include <QUndoStack>

PictureDocument::PictureDocument(QObject *parent) : QObject(parent), history_(new QUndoStack(this))
{
    history_->setUndoLimit(200);
    connect(history_, &QUndoStack::indexChanged, this, [this] {
        changed_ = true;
        emit historyChanged();
    });
}

void PictureDocument::setHalfHeight(bool half)
{
    canvas_.setHalfHeight(half);
    emit pictureChanged();
}

void PictureDocument::setDrawColour(QRgb colour)
{
    canvas_.setDrawColour(colour);
}

void PictureDocument::choosePenSize(int index)
{
    static constexpr int penSizeByIndex[] = {1, 2, 3, 4, 5, 10};
    if (index >= 0 && index < 6)
        canvas_.setPenSize(penSizeByIndex[index]);
    penSizeIndex_ = index;
    emit penSizeChosen(index);
}

void PictureDocument::place(const QImage &picture, const QString &what)
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.placePicture(picture);
    recordChange(before, what);
    emit pictureChanged();
}

void PictureDocument::clear()
{
    const Canvas::Pixels before = canvas_.pixels();
    canvas_.clearCanvas();
    recordChange(before, QStringLiteral("Clear"));
    emit pictureChanged();
}

void PictureDocument::showPixels(const Canvas::Pixels &pixels)
{
    canvas_.setPixels(pixels);
    emit pictureChanged();
}

void PictureDocument::applyEdit(const Canvas::Pixels &before, const Canvas::Pixels &after, const QString &what)
{
    canvas_.setPixels(after);
    recordChange(before, what);
    emit pictureChanged();
}

void PictureDocument::recordChange(const Canvas::Pixels &before, const QString &what)
{
    if (before == canvas_.pixels())
        return;
    history_->push(new CanvasChange(canvas_, before, what, [this] { emit pictureChanged(); }));
}

bool PictureDocument::load(const QString &fileName)
{
    // Never read a FIFO or a device: the read could wait for ever.
    const std::optional<QImage> picture = isRegularFile(fileName) ? readPicture(fileName) : std::nullopt;
    if (!picture)
        return false;
    place(*picture, QStringLiteral("Load"));
    changed_ = false;
    return true;
}

QString PictureDocument::save(const QString &fileName)
{
    // All 64 rows are written, also in 128x32 mode: the hidden rows are kept.
    const QString failure = writeBmp(canvas_.canvasImage(), fileName);
    if (failure.isEmpty())
        changed_ = false;
    return failure;
}

void PictureDocument::undo()
{
    history_->undo();
}

void PictureDocument::redo()
{
    history_->redo();
}

QString PictureDocument::undoText() const
{
    return history_->undoText();
}

QString PictureDocument::redoText() const
{
    return history_->redoText();
}

QString PictureDocument::keepIfChanged(const QString &folder)
{
    if (!changed_)
        return QString();
    changed_ = false; // the next end of the program keeps it no second time
    return KeptPictures(folder).keep(canvas_.canvasImage());
}

void PictureDocument::hold(bool held, const QString &why)
{
    held_ = held;
    heldReason_ = held ? why : QString();
    emit heldChanged(held);
}
