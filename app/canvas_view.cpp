#include "app/canvas_view.h"

#include "canvas/canvas.h"
#include "canvas/display_height.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

CanvasView::CanvasView(const Canvas &canvas, QWidget *parent) : QWidget(parent), canvas_(canvas)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
}

double CanvasView::heightTwips() const
{
    return height() * twipsPerPixel;
}

void CanvasView::setHeightTwips(double twips)
{
    const int pixels = static_cast<int>(std::nearbyint(twips / twipsPerPixel));
    setFixedHeight(qMax(pixels, 2 * Border + 1));
}

void CanvasView::setScaleHeight(int rows)
{
    scaleHeight_ = rows;
    update();
}

QRect CanvasView::innerRect() const
{
    return rect().adjusted(Border, Border, -Border, -Border);
}

QPointF CanvasView::toCanvasUnits(QPointF widgetPos) const
{
    const QRect inner = innerRect();
    const double x = (widgetPos.x() - inner.left()) * scaleWidth() / qMax(inner.width(), 1);
    const double y = (widgetPos.y() - inner.top()) * scaleHeight_ / qMax(inner.height(), 1);
    return {x, y};
}

void CanvasView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A sunken border like a classic picture box.
    painter.fillRect(rect(), QColor(128, 128, 128));
    painter.fillRect(rect().adjusted(1, 1, 0, 0), QColor(255, 255, 255));
    painter.fillRect(rect().adjusted(1, 1, -1, -1), QColor(64, 64, 64));
    painter.fillRect(rect().adjusted(2, 2, -1, -1), QColor(212, 208, 200));

    const int rows = qMin(scaleHeight_, canvas_.shownRows());
    const QImage shown = canvas_.canvasImage().copy(0, 0, Canvas::Width, rows);
    painter.drawImage(innerRect(), shown);
}

void CanvasView::mousePressEvent(QMouseEvent *event)
{
    const QPointF p = toCanvasUnits(event->position());
    emit mousePressed(event->button(), event->modifiers(), p.x(), p.y());
}

void CanvasView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = toCanvasUnits(event->position());
    emit mouseMoved(event->buttons(), event->modifiers(), p.x(), p.y());
}

void CanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF p = toCanvasUnits(event->position());
    emit mouseReleased(event->button(), event->modifiers(), p.x(), p.y());
}
