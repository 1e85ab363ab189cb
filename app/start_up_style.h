#pragma once

#include <QProxyStyle>

// The application's style: the default one, whose standard icons are read
// only when first drawn. Reading any picture file makes Qt load every
// image-format plugin it has (tens of milliseconds), and the menu bar asks
// for its overflow button's icon as it is made: the window's first paint
// must not wait for that.
class StartUpStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

// An icon made by the function the first time it is drawn or measured.
QIcon iconOnFirstUse(std::function<QIcon()> make);
