#pragma once

#include <QProxyStyle>

// The application's style: the default one, with nothing in the window's
// first paint read from a picture file. Reading any picture makes Qt load
// every image-format plugin it has (tens of milliseconds), and the first
// paint must not wait for that:
// - the standard icons are read only when first drawn (the menu bar asks for
//   its overflow button's icon as it is made);
// - Fusion's group box frame, which Fusion reads from a picture, is drawn.
class StartUpStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

// An icon made by the function the first time it is drawn or measured.
QIcon iconOnFirstUse(std::function<QIcon()> make);
