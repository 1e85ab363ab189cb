#include "app/one_line_list.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>

namespace {
constexpr int ArrowWidth = 14;

QToolButton *arrowButton(QWidget *parent, const char *name, Qt::ArrowType arrow)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus); // the list itself takes the keys
    // Dark arrows on a light button, whatever colours the group around uses.
    QPalette palette = button->palette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, Qt::black);
    palette.setColor(QPalette::Button, QColor(224, 224, 224));
    button->setPalette(palette);
    return button;
}
} // namespace

OneLineList::OneLineList(QWidget *parent)
    : QListWidget(parent), upArrow_(arrowButton(this, "scrollUp", Qt::UpArrow)),
      downArrow_(arrowButton(this, "scrollDown", Qt::DownArrow))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setViewportMargins(0, 0, ArrowWidth, 0);
    setFixedHeight(rowHeight() + 2 * frameWidth());

    connect(upArrow_, &QToolButton::clicked, this, [this] { step(-1); });
    connect(downArrow_, &QToolButton::clicked, this, [this] { step(1); });
    // Whatever scrolls the view chooses the entry it brings up.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int top) {
        if (top < count() && currentRow() != top)
            setCurrentRow(top);
    });
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            scrollToItem(item(row), QAbstractItemView::PositionAtTop);
    });
}

int OneLineList::rowHeight() const
{
    return fontMetrics().height() + 4;
}

void OneLineList::addEntries(const QStringList &entries)
{
    for (const QString &entry : entries) {
        auto *added = new QListWidgetItem(entry, this);
        added->setSizeHint(QSize(0, rowHeight()));
    }
}

void OneLineList::step(int rows)
{
    if (count() == 0)
        return;
    // With nothing chosen yet, the step starts from the entry that shows.
    const int from = currentRow() < 0 ? verticalScrollBar()->value() : currentRow();
    const int to = qBound(0, from + rows, count() - 1);
    if (to != currentRow())
        setCurrentRow(to);
}

void OneLineList::wheelEvent(QWheelEvent *event)
{
    constexpr int Notch = 120;
    wheelAngle_ += event->angleDelta().y();
    for (; wheelAngle_ >= Notch; wheelAngle_ -= Notch)
        step(-1);
    for (; wheelAngle_ <= -Notch; wheelAngle_ += Notch)
        step(1);
    event->accept();
}

void OneLineList::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    const QRect inside = contentsRect();
    const int half = inside.height() / 2;
    upArrow_->setGeometry(inside.right() + 1 - ArrowWidth, inside.top(), ArrowWidth, half);
    downArrow_->setGeometry(inside.right() + 1 - ArrowWidth, inside.top() + half, ArrowWidth, inside.height() - half);
}
