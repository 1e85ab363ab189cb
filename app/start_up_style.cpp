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
    // Fusion's frame, as its picture has it: below the title, a faint line
    // along the box's last pixels but its left and top ones, with its
    // corners cut; inside it a fainter line, then a still fainter shade.
    // Straight lines and fills only: a rounded, smoothed path is costly to
    // fill over the whole box.
    constexpr int BelowTitle = 3;
    const auto *box = qobject_cast<const QGroupBox *>(widget);
    const bool titled = !box || box->isCheckable() || !box->title().isEmpty();
    const int top =
        BelowTitle + (titled ? qMax(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) : 0);
    const QRect line = option->rect.adjusted(1, top + 1, 0, 0); // the line's pixels, corner to corner
    if (line.width() < 6 || line.height() < 6)
        return;
    const auto ring = [painter](const QRect &r, int cut, const QColor &colour) {
        painter->fillRect(r.left() + cut, r.top(), r.width() - 2 * cut, 1, colour);
        painter->fillRect(r.left() + cut, r.bottom(), r.width() - 2 * cut, 1, colour);
        painter->fillRect(r.left(), r.top() + cut, 1, r.height() - 2 * cut, colour);
        painter->fillRect(r.right(), r.top() + cut, 1, r.height() - 2 * cut, colour);
    };
    const auto corners = [painter](const QRect &r, const QColor &colour) {
        for (const QPoint &at : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            painter->fillRect(at.x(), at.y(), 1, 1, colour);
    };
    painter->fillRect(line.adjusted(2, 2, -2, -2), QColor(0, 0, 0, 0x03));
    ring(line.adjusted(1, 1, -1, -1), 1, QColor(0, 0, 0, 0x07));
    corners(line.adjusted(1, 1, -1, -1), QColor(0x5a, 0x5a, 0x5a, 0x1f));
    ring(line, 2, QColor(0x75, 0x75, 0x75, 0x32));
    const QColor rounding(0x60, 0x60, 0x60, 0x34);
    corners(line.adjusted(1, 0, -1, 0), rounding);
    corners(line.adjusted(0, 1, 0, -1), rounding);
}
