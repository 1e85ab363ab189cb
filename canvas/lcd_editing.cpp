#include "canvas/lcd_editing.h"

#include "canvas/drawing.h"
#include "canvas/lcd_text.h"

namespace {

Shape shapeOf(LcdTool tool)
{
    switch (tool) {
    case LcdTool::Rectangle:
        return Shape::Rectangle;
    case LcdTool::FilledRectangle:
        return Shape::FilledRectangle;
    case LcdTool::Ellipse:
        return Shape::Ellipse;
    default:
        return Shape::Line;
    }
}

QString editName(LcdTool tool)
{
    static const char *const names[] = {"Pen", "Line", "Rectangle", "Filled Rectangle", "Ellipse", "Fill", "Text"};
    return QString::fromLatin1(names[static_cast<int>(tool)]);
}

// The middle of a dot, where the pen paints it.
QPointF centre(QPoint dot)
{
    return {dot.x() + 0.5, dot.y() + 0.5};
}

} // namespace

std::optional<LcdEdit> LcdEditing::setTool(const Canvas &picture, LcdTool tool)
{
    if (tool == tool_)
        return std::nullopt;
    std::optional<LcdEdit> text = commitText(picture);
    cancel();
    tool_ = tool;
    return text;
}

std::optional<LcdEdit> LcdEditing::press(const Canvas &picture, QPoint dot, bool erase, bool shift)
{
    colour_ = erase ? Canvas::White : Canvas::Black;
    from_ = to_ = dot;
    shift_ = shift;
    if (tool_ == LcdTool::Fill) {
        Canvas filled = picture;
        floodFill(filled, dot, colour_);
        return LcdEdit{picture.pixels(), filled.pixels(), editName(tool_)};
    }
    if (tool_ == LcdTool::Text) {
        textPlaced_ = hovering_ = true;
        return std::nullopt;
    }
    dragging_ = true;
    before_ = picture.pixels();
    stroke_ = picture;
    if (tool_ == LcdTool::Pen) {
        stroke_.setDrawColour(colour_);
        stroke_.plotDot(centre(dot).x(), centre(dot).y());
    }
    return std::nullopt;
}

void LcdEditing::moveTo(QPoint dot, bool shift)
{
    shift_ = shift;
    if (dragging_ && tool_ == LcdTool::Pen && dot != to_)
        plotStroke(stroke_, centre(to_).x(), centre(to_).y(), centre(dot).x(), centre(dot).y());
    if (dragging_ || (tool_ == LcdTool::Text && !textPlaced_)) {
        to_ = dot;
        if (!dragging_)
            from_ = dot;
        hovering_ = true;
    }
}

std::optional<LcdEdit> LcdEditing::release(const Canvas &picture)
{
    if (!dragging_)
        return std::nullopt;
    const std::optional<Canvas> finished = preview(picture);
    dragging_ = false;
    return LcdEdit{before_, finished->pixels(), editName(tool_)};
}

bool LcdEditing::nudge(QPoint step)
{
    if (!textPlaced_)
        return false;
    from_ += step;
    return true;
}

std::optional<LcdEdit> LcdEditing::commitText(const Canvas &picture)
{
    if (!textPlaced_)
        return std::nullopt;
    const Canvas finished = withTextAt(picture);
    textPlaced_ = hovering_ = false; // back under the pointer at its next move
    colour_ = Canvas::Black;
    return LcdEdit{picture.pixels(), finished.pixels(), editName(LcdTool::Text)};
}

void LcdEditing::cancel()
{
    dragging_ = textPlaced_ = hovering_ = false;
    colour_ = Canvas::Black;
}

Canvas LcdEditing::withTextAt(const Canvas &picture) const
{
    Canvas shown = picture;
    stampDots(shown, textDots_, from_, colour_);
    return shown;
}

std::optional<Canvas> LcdEditing::preview(const Canvas &picture) const
{
    if (tool_ == LcdTool::Text)
        return textPlaced_ || hovering_ ? std::optional<Canvas>(withTextAt(picture)) : std::nullopt;
    if (!dragging_)
        return std::nullopt;
    if (tool_ == LcdTool::Pen)
        return stroke_;
    Canvas shown = picture;
    const Shape shape = shapeOf(tool_);
    const QPoint end = shift_ ? constrainedEnd(shape, from_, to_) : to_;
    paintDots(shown, shapeDots(shape, from_, end), colour_);
    return shown;
}
