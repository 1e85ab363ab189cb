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
