#include "app/control_factory.h"

#include "app/one_line_list.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

QFont sansFont(double points, bool bold)
{
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont serifFont(double points, bool bold)
{
    QFont font(QStringLiteral("Serif"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QRect geometry, const QColor &background,
              const QColor &foreground)
{
    auto *l = make<QLabel>(parent, name, geometry);
    l->setText(text);
    setColours(l, background, foreground);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, QRect geometry, bool enabled)
{
    auto *b = make<QPushButton>(parent, name, geometry);
    b->setText(text);
    b->setEnabled(enabled);
    b->setAutoDefault(false);
    return b;
}

QGroupBox *group(QWidget *parent, const char *name, const QString &title, QRect geometry)
{
    auto *g = make<QGroupBox>(parent, name, geometry);
    g->setTitle(title);
    g->setFlat(true);
    setColours(g, Colour::Grey, Colour::White);
    return g;
}

QWidget *container(QWidget *parent, const char *name, QRect geometry, const QColor &background)
{
    auto *w = make<QWidget>(parent, name, geometry);
    setColours(w, background, Colour::Black);
    return w;
}

OneLineList *oneLineList(QWidget *parent, const char *name, QRect geometry, const QStringList &entries)
{
    auto *list = make<OneLineList>(parent, name, geometry);
    list->addEntries(entries);
    list->setFixedHeight(list->height());
    return list;
}

QRadioButton *option(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *o = make<QRadioButton>(parent, name, geometry);
    o->setText(caption);
    return o;
}

const ControlEntry &entryIn(const QWidget *parent, Control control)
{
    const ControlEntry &e = entry(control);
    Q_ASSERT(parent->objectName() == QLatin1String(controlName(e.group)));
    Q_UNUSED(parent)
    return e;
}

QLabel *label(QWidget *parent, Control control, const QString &text, const QColor &background, const QColor &foreground)
{
    const ControlEntry &e = entryIn(parent, control);
    return label(parent, e.objectName, text, e.geometry, background, foreground);
}

QPushButton *button(QWidget *parent, Control control, const QString &text, bool enabled)
{
    const ControlEntry &e = entryIn(parent, control);
    return button(parent, e.objectName, text, e.geometry, enabled);
}

QGroupBox *group(QWidget *parent, Control control, const QString &title)
{
    const ControlEntry &e = entryIn(parent, control);
    return group(parent, e.objectName, title, e.geometry);
}

QWidget *container(QWidget *parent, Control control, const QColor &background)
{
    const ControlEntry &e = entryIn(parent, control);
    return container(parent, e.objectName, e.geometry, background);
}

OneLineList *oneLineList(QWidget *parent, Control control, const QStringList &entries)
{
    const ControlEntry &e = entryIn(parent, control);
    return oneLineList(parent, e.objectName, e.geometry, entries);
}

QRadioButton *option(QWidget *parent, Control control, const QString &caption)
{
    const ControlEntry &e = entryIn(parent, control);
    return option(parent, e.objectName, caption, e.geometry);
}
