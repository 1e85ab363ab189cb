#include "app/lcd_canvas.h"

#include "canvas/canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {
struct LookColours
{
    QRgb background;
    QRgb dot;
    QColor grid;
};

LookColours coloursOf(LcdCanvas::Look look)
{
    // An STN panel: dark grey-green dots on yellow-green glass.
    if (look == LcdCanvas::Look::Lcd)
        return {qRgb(170, 196, 64), qRgb(36, 48, 24), QColor(150, 174, 56)};
    return {qRgb(255, 255, 255), qRgb(0, 0, 0), QColor(216, 216, 216)};
}
} // namespace

LcdCanvas::LcdCanvas(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
    dots_ = QImage(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
    dots_.fill(coloursOf(look_).background);
    fitSize();
}

void LcdCanvas::showPicture(const Canvas &canvas)
{
    const LookColours colours = coloursOf(look_);
    const int rows = canvas.shownRows();
    if (dots_.height() != rows)
        dots_ = QImage(Canvas::Width, rows, QImage::Format_RGB32);
    for (int y = 0; y < rows; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(dots_.scanLine(y));
        for (int x = 0; x < Canvas::Width; ++x)
            line[x] = canvas.pixelIsSet(x, y) ? colours.dot : colours.background;
    }
    fitSize();
    update();
}

void LcdCanvas::setZoom(int zoom)
{
    zoom_ = qBound(MinZoom, zoom, MaxZoom);
    fitSize();
    update();
}

void LcdCanvas::setGrid(bool on)
{
    grid_ = on;
    update();
}

void LcdCanvas::setLook(Look look)
{
    // The dots are recoloured: each is either colour of the old look.
    const LookColours from = coloursOf(look_);
    const LookColours to = coloursOf(look);
    for (int y = 0; y < dots_.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(dots_.scanLine(y));
        for (int x = 0; x < dots_.width(); ++x)
            line[x] = line[x] == from.dot ? to.dot : to.background;
    }
    look_ = look;
    update();
}

void LcdCanvas::fitSize()
{
    setFixedSize(dots_.width() * zoom_, dots_.height() * zoom_);
}

void LcdCanvas::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Only the dots under the exposed part are scaled up.
    const QRect exposed = event->rect();
    const QRect source(exposed.left() / zoom_, exposed.top() / zoom_, exposed.width() / zoom_ + 2,
                       exposed.height() / zoom_ + 2);
    const QRect dots = source.intersected(dots_.rect());
    painter.drawImage(QRect(dots.topLeft() * zoom_, dots.size() * zoom_), dots_, dots);
    if (!grid_)
        return;
    QVector<QLine> lines;
    lines.reserve(dots.width() + dots.height() + 2);
    for (int x = dots.left(); x <= dots.right() + 1; ++x)
        lines.append(QLine(x * zoom_, dots.top() * zoom_, x * zoom_, (dots.bottom() + 1) * zoom_));
    for (int y = dots.top(); y <= dots.bottom() + 1; ++y)
        lines.append(QLine(dots.left() * zoom_, y * zoom_, (dots.right() + 1) * zoom_, y * zoom_));
    painter.setPen(QPen(coloursOf(look_).grid, 0));
    painter.drawLines(lines);
}

QPoint LcdCanvas::dotAt(QPointF position) const
{
    return {static_cast<int>(std::floor(position.x() / zoom_)), static_cast<int>(std::floor(position.y() / zoom_))};
}

void LcdCanvas::mousePressEvent(QMouseEvent *event)
{
    emit pressed(dotAt(event->position()), event->button(), event->modifiers());
}

void LcdCanvas::mouseMoveEvent(QMouseEvent *event)
{
    emit moved(dotAt(event->position()), event->modifiers());
}

void LcdCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(dotAt(event->position()), event->button());
}

void LcdCanvas::leaveEvent(QEvent *event)
{
    emit left();
    QWidget::leaveEvent(event);
}

void LcdCanvas::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        emit arrowPressed({-1, 0});
        break;
    case Qt::Key_Right:
        emit arrowPressed({1, 0});
        break;
    case Qt::Key_Up:
        emit arrowPressed({0, -1});
        break;
    case Qt::Key_Down:
        emit arrowPressed({0, 1});
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit enterPressed();
        break;
    case Qt::Key_Escape:
        emit escapePressed();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
