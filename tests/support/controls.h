#pragma once

#include "app/window_controls.h"

#include <QObject>
#include <QPushButton>
#include <QWindow>
#include <QtTest>
#include <qtestspontaneevent.h>

// Finds a control of a window by its name, as tests and users automating
// the program do; a missing control ends the test program at once.
template <typename T> T *control(const QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}
// A main window's control by what it is for (window_controls.h).
template <typename T> T *control(const QObject *window, Control which)
{
    return control<T>(window, controlName(which));
}

// Input as a person's arrives: through the top-level window (its QWindow)
// at the control's place, so whatever stands in the way (a filter, a
// disabled parent, a control on top) gets it first. Positions are in the
// control's own pixels; none means its middle.
namespace input {
inline QWindow *windowOf(QWidget *control)
{
    return control->window()->windowHandle();
}
inline QPoint at(QWidget *control, QPoint pos)
{
    return control->mapTo(control->window(), pos.isNull() ? control->rect().center() : pos);
}
inline void click(QWidget *control, Qt::MouseButton button = Qt::LeftButton, QPoint pos = {},
                  Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(windowOf(control), button, modifiers, at(control, pos));
}
inline void press(QWidget *control, Qt::MouseButton button, QPoint pos)
{
    QTest::mousePress(windowOf(control), button, {}, at(control, pos));
}
inline void move(QWidget *control, QPoint pos)
{
    QTest::mouseMove(windowOf(control), at(control, pos));
}
inline void release(QWidget *control, Qt::MouseButton button, QPoint pos)
{
    QTest::mouseRelease(windowOf(control), button, {}, at(control, pos));
}
// A turn of the wheel over the control, `angle` in eighths of a degree
// (a notch is 120, away from the user).
inline void wheel(QWidget *control, QPoint pos, int angle, Qt::KeyboardModifiers modifiers = {})
{
    const QPoint local = at(control, pos);
    QWheelEvent event(local, windowOf(control)->mapToGlobal(local), QPoint(), QPoint(0, angle), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    // As the system's: only such a wheel event goes on to the parents of
    // a control that does not take it.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(windowOf(control), &event);
}
// Keys go to the control with the focus, as typing does.
inline void key(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(windowOf(window), key, modifiers);
}
inline void type(QWidget *control, const QString &text)
{
    control->setFocus();
    for (const QChar ch : text)
        QTest::keyClick(windowOf(control), ch.toLatin1());
}
} // namespace input

// Clicks a control (a button, a check box) with the left mouse button.
inline void clickButton(const QObject *window, const char *name)
{
    input::click(control<QWidget>(window, name));
}
inline void clickButton(const QObject *window, Control which)
{
    clickButton(window, controlName(which));
}
