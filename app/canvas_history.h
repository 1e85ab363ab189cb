#pragma once

#include "canvas/canvas.h"

#include <QUndoCommand>

#include <functional>

// One change of the picture on the canvas (a stroke, Clear, Load, ...) as
// an undo step: the pixels before and after. Undo and redo put them back
// and call `changed` so the view repaints.
class CanvasChange : public QUndoCommand
{
public:
    CanvasChange(Canvas &canvas, const Canvas::Pixels &before, const QString &what, std::function<void()> changed);

    void undo() override;
    void redo() override;

private:
    Canvas &canvas_;
    Canvas::Pixels before_;
    Canvas::Pixels after_;
    std::function<void()> changed_;
    bool done_ = true; // the change is on the canvas already when it is pushed
};
