#include "app/lcd_canvas.h"

#include "canvas/canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

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

LcdCanvas::LcdCanvas(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::CrossCursor);
    dots_ = QImage(Canvas::Width, Canvas::Height, QImage::Format_RGB32);
    dots_.fill(coloursOf(look_).background);
    changed();
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
    changed();
}

void LcdCanvas::setZoom(int zoom)
{
    zoom_ = qBound(MinZoom, zoom, MaxZoom);
    changed();
}

void LcdCanvas::setGrid(bool on)
{
    grid_ = on;
    changed();
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
    changed();
}

void LcdCanvas::changed()
{
    scaled_ = QImage(); // made again at the next paint
    setFixedSize(dots_.width() * zoom_, dots_.height() * zoom_);
    update();
}

void LcdCanvas::paintEvent(QPaintEvent *event)
{
    if (scaled_.isNull())
        renderScaled();
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.drawImage(exposed.topLeft(), scaled_, exposed);
}

void LcdCanvas::renderScaled()
{
    // Row by row: one row of pixels per row of dots, copied down the dot's
    // height; the grid is the first row and column of every dot.
    const QRgb grid = coloursOf(look_).grid.rgb();
    scaled_ = QImage(dots_.width() * zoom_, dots_.height() * zoom_, QImage::Format_RGB32);
    const auto rowBytes = static_cast<std::size_t>(scaled_.bytesPerLine());
    for (int y = 0; y < dots_.height(); ++y) {
        const QRgb *source = reinterpret_cast<const QRgb *>(dots_.constScanLine(y));
        QRgb *first = reinterpret_cast<QRgb *>(scaled_.scanLine(y * zoom_));
        for (int x = 0; x < dots_.width(); ++x) {
            QRgb *cell = first + x * zoom_;
            std::fill(cell, cell + zoom_, source[x]);
            if (grid_)
                cell[0] = grid;
        }
        for (int row = 1; row < zoom_; ++row)
            std::memcpy(scaled_.scanLine(y * zoom_ + row), first, rowBytes);
        if (grid_)
            std::fill(first, first + scaled_.width(), grid);
    }
}

QPoint LcdCanvas::dotAt(QPointF position) const
{
    return {static_cast<int>(std::floor(position.x() / zoom_)), static_cast<int>(std::floor(position.y() / zoom_))};
}

void LcdCanvas::mousePressEvent(QMouseEvent *event)
{
    pointer_ = dotAt(event->position());
    emit pressed(pointer_, event->button(), event->modifiers());
}

void LcdCanvas::mouseMoveEvent(QMouseEvent *event)
{
    pointer_ = dotAt(event->position());
    emit moved(pointer_, event->modifiers());
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
    case Qt::Key_Shift:
        emit moved(pointer_, event->modifiers() | Qt::ShiftModifier);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void LcdCanvas::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift)
        emit moved(pointer_, event->modifiers() & ~Qt::ShiftModifier);
    QWidget::keyReleaseEvent(event);
}
