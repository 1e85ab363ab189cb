#include "app/start_up_style.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

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
