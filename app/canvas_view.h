#pragma once

#include <QWidget>

class Canvas;

// The image box: shows the canvas inside a sunken border and reports mouse
// positions in canvas units (reals). In 128x64 mode one canvas pixel is one
// screen pixel; in 128x32 mode rows 0..31 are fitted to the inner height.
// While a button is held the box keeps the mouse, so positions outside it
// keep coming, negative ones included.
class CanvasView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Border = 2;

    CanvasView(const Canvas &canvas, QWidget *parent = nullptr);

    double heightTwips() const;
    void setHeightTwips(double twips);
    int scaleWidth() const { return 128; }
    int scaleHeight() const { return scaleHeight_; }
    void setScaleHeight(int rows);

    // Canvas units of a point given in the widget's own pixels.
    QPointF toCanvasUnits(QPointF widgetPos) const;

signals:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, double x, double y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect innerRect() const;

    const Canvas &canvas_;
    int scaleHeight_ = 64;
};
