#pragma once

#include <QColor>
#include <QLatin1String>

class QWidget;

// The colours of the main window's controls.
namespace Colour {
inline const QColor Grey(128, 128, 128);
inline const QColor White(255, 255, 255);
inline const QColor Black(0, 0, 0);
inline const QColor Navy(0, 0, 128);
inline const QColor Maroon(128, 0, 0);
inline const QColor Red(192, 0, 0);
inline const QColor Green(0, 192, 0);
inline const QColor Orange(255, 128, 0);
inline const QColor PaleYellow(255, 255, 192);
inline const QColor PaleGreen(192, 255, 192);
inline const QColor LightGreen(128, 255, 128);
} // namespace Colour

// Gives a new control its objectName, the name tests and automation find
// it by, so that the name and the member stand on one line.
template <typename W> W *named(W *control, const char *name)
{
    control->setObjectName(QLatin1String(name));
    return control;
}

// Background and text colours in the roles each kind of control paints with.
void setColours(QWidget *widget, const QColor &background, const QColor &text);
