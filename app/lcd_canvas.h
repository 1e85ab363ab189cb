#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class Canvas;

// The canvas enlarged: every dot a square of zoom x zoom pixels, in the
// colours of an LCD panel or of paper, with an optional grid between the
// dots. Reports the mouse in whole dots (floored, negative ones and those
// past the edge included while a button holds the mouse; Shift pressed or
// let go counts as a move where the pointer is) and the keys that move,
// commit or cancel a text.
class LcdCanvas : public QWidget
{
    Q_OBJECT
public:
    enum class Look { Lcd, Paper };
    static constexpr int MinZoom = 2;
    static constexpr int MaxZoom = 16;

    explicit LcdCanvas(QWidget *parent = nullptr);

    // The dots to show: the canvas's shown rows.
    void showPicture(const Canvas &canvas);
    int zoom() const { return zoom_; }
    void setZoom(int zoom);
    void setGrid(bool on);
    void setLook(Look look);
    // The widget's pixel for a dot's top-left corner.
    QPoint pixelOf(QPoint dot) const { return dot * zoom_; }

signals:
    void pressed(QPoint dot, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void moved(QPoint dot, Qt::KeyboardModifiers modifiers);
    void released(QPoint dot, Qt::MouseButton button);
    void left();
    void arrowPressed(QPoint step);
    void enterPressed();
    void escapePressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QPoint dotAt(QPointF position) const;
    // The size follows the dots and the zoom; the enlarged picture is made
    // again when it is next painted.
    void changed();
    void renderScaled();

    QPoint pointer_; // the dot under the pointer at the last mouse event
    QImage dots_;    // one pixel per dot, in the look's colours
    QImage scaled_;  // the widget's pixels: the dots enlarged, with the grid
    int zoom_ = 8;
    bool grid_ = true;
    Look look_ = Look::Lcd;
};
