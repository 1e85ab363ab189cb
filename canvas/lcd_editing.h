#pragma once

#include "canvas/canvas.h"
#include "canvas/shapes.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

// The tools of the LCD View, in the order of its tool buttons.
enum class LcdTool { Pen, Line, Rectangle, FilledRectangle, Ellipse, Fill, Text };

// A finished edit: the picture before it and after it, and its name for
// the undo history.
struct LcdEdit
{
    Canvas::Pixels before;
    Canvas::Pixels after;
    QString what;
};

// What a tool of the LCD View does with the mouse and the keys, without the
// window. Positions are whole dots. The edit under way is shown as a
// preview (the picture with the shape or the text on it) until it is
// finished; `picture` is always the canvas as it is now.
//   Pen, shapes: press starts, moves follow, release finishes.
//   Fill: a press finishes.
//   Text: follows the pointer; a press places it, the arrows move it,
//   commit finishes it, cancel takes it back. A placed text is also
//   finished when the tool changes: only cancel takes it back.
class LcdEditing
{
public:
    LcdTool tool() const { return tool_; }
    // Finishes a placed text (the edit returned), drops anything else under
    // way. The same tool again changes nothing.
    std::optional<LcdEdit> setTool(const Canvas &picture, LcdTool tool);
    // The dots the text tool places (see renderLcdText).
    void setTextDots(const QImage &dots) { textDots_ = dots; }

    // `erase`: the right button, which paints white.
    std::optional<LcdEdit> press(const Canvas &picture, QPoint dot, bool erase, bool shift);
    void moveTo(QPoint dot, bool shift);
    std::optional<LcdEdit> release(const Canvas &picture);
    // The pointer left the view: a text that only follows it is hidden.
    void leave() { hovering_ = false; }
    // Moves a placed text; false when no text is placed.
    bool nudge(QPoint step);
    std::optional<LcdEdit> commitText(const Canvas &picture);
    void cancel();

    bool isDragging() const { return dragging_; }
    bool isTextPlaced() const { return textPlaced_; }
    // The picture with the edit under way on it, or nothing to show but
    // the picture itself.
    std::optional<Canvas> preview(const Canvas &picture) const;

private:
    Canvas withTextAt(const Canvas &picture) const;

    LcdTool tool_ = LcdTool::Pen;
    QImage textDots_;
    bool dragging_ = false;
    bool textPlaced_ = false;
    bool hovering_ = false;
    bool shift_ = false;
    QRgb colour_ = Canvas::Black;
    QPoint from_, to_;
    Canvas::Pixels before_{}; // the picture at the press
    Canvas stroke_;           // the same, with the pen's dots so far
};
