#include "app/canvas_history.h"

CanvasChange::CanvasChange(Canvas &canvas, const Canvas::Pixels &before, const QString &what,
                           std::function<void()> changed)
    : QUndoCommand(what), canvas_(canvas), before_(before), after_(canvas.pixels()), changed_(std::move(changed))
{
}

void CanvasChange::undo()
{
    canvas_.setPixels(before_);
    changed_();
}

void CanvasChange::redo()
{
    // QUndoStack::push runs redo once; the change itself has been made.
    if (done_) {
        done_ = false;
        return;
    }
    canvas_.setPixels(after_);
    changed_();
}
