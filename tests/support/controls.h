#pragma once

#include <QObject>
#include <QPushButton>
#include <QtTest>

// Finds a control of a window by its name, as tests and users automating
// the program do; a missing control ends the test program at once.
template <typename T>
T *control(const QObject *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// Clicks a push button with the left mouse button.
inline void clickButton(const QObject *window, const char *name)
{
    QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
}
