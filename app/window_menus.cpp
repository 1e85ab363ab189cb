#include "app/window_menus.h"

#include "app/window_look.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>

namespace {
// Ten entries share the fixed window's width: with no gap between them
// (each keeps the style's own padding), all of them stay in sight, none
// behind an overflow button.
class CompactMenuBarStyle : public QProxyStyle
{
public:
    explicit CompactMenuBarStyle(QObject *owner) { setParent(owner); }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        return metric == PM_MenuBarItemSpacing ? 0 : QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QAction *menuAction(QMenuBar *bar, const char *name, const QString &caption)
{
    return named(bar->addAction(caption), name);
}

QAction *toggle(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = named(menu->addAction(caption), name);
    action->setCheckable(true);
    return action;
}
} // namespace

WindowMenus buildWindowMenus(QMainWindow &window)
{
    // The menu bar belongs to the fixed window, whose size counts on it:
    // never a desktop's global menu (asking the desktop for one also costs
    // a round trip to its session bus before the first paint).
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QMenuBar *bar = window.menuBar();
    bar->setStyle(new CompactMenuBarStyle(bar));
    WindowMenus menus{};
    menus.exit = menuAction(bar, "mnuExit", QStringLiteral("E&xit"));
    menus.open = menuAction(bar, "mnuOpen", QStringLiteral("&Open"));
    menus.import = menuAction(bar, "mnuImport", QStringLiteral("&Import"));
    menus.import->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    menus.fromText = menuAction(bar, "mnuFromText", QStringLiteral("&Picture from Text"));
    menus.fromText->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    menus.about = menuAction(bar, "mnuAbout", QStringLiteral("&About"));
    menus.help = menuAction(bar, "mnuHelp", QStringLiteral("&Help"));

    // A text box takes these keys first, for its own text.
    menus.undo = named(new QAction(QStringLiteral("Undo"), &window), "canvasUndo");
    menus.undo->setShortcut(QKeySequence::Undo);
    menus.redo = named(new QAction(QStringLiteral("Redo"), &window), "canvasRedo");
    menus.redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    window.addActions({menus.undo, menus.redo});

    // Its entries name the keys of the bar's own entries, which act on them.
    menus.edit = named(bar->addMenu(QStringLiteral("&Edit")), "mnuEdit");
    menus.editImport = named(menus.edit->addAction(QStringLiteral("&Import...\tCtrl+I")), "mnuEditImport");
    menus.editFromText = named(menus.edit->addAction(QStringLiteral("&Picture from Text\tCtrl+T")), "mnuEditFromText");
    menus.recover = named(menus.edit->addAction(QStringLiteral("&Recover Picture...")), "mnuRecover");
    menus.recover->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));

    // The windows beside the main one: the canvas enlarged, and a series of
    // pictures. (The fixed window's bar has no room for more entries of
    // its own.)
    QMenu *view = named(bar->addMenu(QStringLiteral("&View")), "mnuView");
    menus.lcdView = named(view->addAction(QStringLiteral("&LCD View")), "mnuLcdView");
    menus.lcdView->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    menus.series = named(view->addAction(QStringLiteral("&Series...")), "mnuSeries");

    menus.port = named(bar->addMenu(QStringLiteral("&Port")), "mnuPort");
    menus.terminal = named(bar->addMenu(QStringLiteral("&Terminal")), "mnuTerminal");
    menus.hexView = toggle(menus.terminal, "termHex", QStringLiteral("&Hex View"));
    menus.times = toggle(menus.terminal, "termTimes", QStringLiteral("&Timestamps"));
    menus.log = toggle(menus.terminal, "termLog", QStringLiteral("&Log to File..."));
    return menus;
}
