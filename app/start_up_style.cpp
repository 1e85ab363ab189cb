#include "app/start_up_style.h"

#include <QGroupBox>
#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include <functional>
#include <optional>

namespace {
class IconOnFirstUse : public QIconEngine
{
public:
    explicit IconOnFirstUse(std::function<QIcon()> make) : make_(std::move(make)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QIconEngine *clone() const override { return new IconOnFirstUse(*this); }
    QString key() const override { return QStringLiteral("IconOnFirstUse"); }

private:
    const QIcon &icon()
    {
        if (!icon_)
            icon_ = make_();
        return *icon_;
    }

    std::function<QIcon()> make_;
    std::optional<QIcon> icon_;
};
} // namespace

QIcon iconOnFirstUse(std::function<QIcon()> make)
{
    return QIcon(new IconOnFirstUse(std::move(make)));
}

QIcon StartUpStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    if (option)
        return QProxyStyle::standardIcon(standardIcon, option, widget); // cannot be kept for later
    // The widget may be gone by then; the style's icons do not depend on it.
    QPointer<QStyle> base(baseStyle());
    return iconOnFirstUse(
        [base, standardIcon] { return base ? base->standardIcon(standardIcon, nullptr, nullptr) : QIcon(); });
}

void StartUpStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    if (element != PE_FrameGroupBox || baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Fusion's frame, as its picture has it: a faint line a pixel inside
    // the box, below the title, with its corners cut, over a fainter shade.
    // Straight lines and fills only: a rounded, smoothed path is costly to
    // fill over the whole box.
    constexpr int BelowTitle = 3;
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    const bool titled = !box || box->isCheckable() || !box->title().isEmpty();
    const int top =
        BelowTitle + (titled ? qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) : 0);
    const QRect line = option->rect.adjusted(1, top + 1, -2, -2); // the line's pixels, corner to corner
    if (line.width() < 4 || line.height() < 4)
        return;
    const QColor edge(0x75, 0x75, 0x75, 0x32);
    painter->fillRect(line.adjusted(1, 1, -1, -1), QColor(0, 0, 0, 0x03));
    painter->fillRect(line.left() + 2, line.top(), line.width() - 4, 1, edge);
    painter->fillRect(line.left() + 2, line.bottom(), line.width() - 4, 1, edge);
    painter->fillRect(line.left(), line.top() + 2, 1, line.height() - 4, edge);
    painter->fillRect(line.right(), line.top() + 2, 1, line.height() - 4, edge);
    const QColor corner(0x60, 0x60, 0x60, 0x34);
    for (const QPoint &at : {line.topLeft(), line.topRight(), line.bottomLeft(), line.bottomRight()}) {
        const int inward = at.x() == line.left() ? 1 : -1;
        const int down = at.y() == line.top() ? 1 : -1;
        painter->fillRect(at.x() + inward, at.y(), 1, 1, corner);
        painter->fillRect(at.x(), at.y() + down, 1, 1, corner);
    }
}
