#pragma once

#include "app/window_controls.h"
#include "app/window_look.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>

class OneLineList;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Controls made at their design values: each gets its objectName (the name
// tests and automation find it by), its parent and its place, in pixels at
// 96 dpi (15 twips to a pixel). The main window's take theirs from its
// table of controls (window_controls.h), the other windows' are given.

QFont sansFont(double points, bool bold = false);
QFont serifFont(double points, bool bold = false);

template <typename W> W *make(QWidget *parent, const char *name, QRect geometry)
{
    auto *widget = named(new W(parent), name);
    widget->setGeometry(geometry);
    return widget;
}

// A control of the main window, by its entry; parent is the entry's group.
const ControlEntry &entryIn(const QWidget *parent, Control control);
template <typename W> W *make(QWidget *parent, Control control)
{
    const ControlEntry &e = entryIn(parent, control);
    return make<W>(parent, e.objectName, e.geometry);
}

QLabel *label(QWidget *parent, Control control, const QString &text, const QColor &background = Colour::Grey,
              const QColor &foreground = Colour::White);
QPushButton *button(QWidget *parent, Control control, const QString &text, bool enabled = true);
QGroupBox *group(QWidget *parent, Control control, const QString &title);
QWidget *container(QWidget *parent, Control control, const QColor &background);
OneLineList *oneLineList(QWidget *parent, Control control, const QStringList &entries);
QRadioButton *option(QWidget *parent, Control control, const QString &caption);

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect geometry,
              const QColor &background = Colour::Grey, const QColor &foreground = Colour::White);
QPushButton *button(QWidget *parent, const char *name, const QString &text, QRect geometry, bool enabled = true);
QGroupBox *group(QWidget *parent, const char *name, const QString &title, QRect geometry);
QWidget *container(QWidget *parent, const char *name, QRect geometry, const QColor &background);
OneLineList *oneLineList(QWidget *parent, const char *name, QRect geometry, const QStringList &entries);
QRadioButton *option(QWidget *parent, const char *name, const QString &caption, QRect geometry);

template <typename Values> QStringList numbers(const Values &values)
{
    QStringList texts;
    for (auto v : values)
        texts << QString::number(v);
    return texts;
}
