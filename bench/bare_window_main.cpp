// The yardsticks of the start-up benchmark: a Qt program that shows an empty
// QMainWindow, built as voxcel is; and, built with VOXCEL_BARE_MENU_BAR, the
// same window with a one-entry menu bar, started as voxcel starts (fonts
// warmed up, the same style), the least a window with text must do.
#include "first_paint_probe.h"

#include <QApplication>
#include <QMainWindow>

#ifdef VOXCEL_BARE_MENU_BAR
#include "app/font_warm_up.h"
#include "app/start_up_style.h"

#include <QMenuBar>
#endif

int main(int argc, char *argv[])
{
#ifdef VOXCEL_BARE_MENU_BAR
    const FontWarmUp fonts;
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voxcel"));
    QMainWindow window;
#ifdef VOXCEL_BARE_MENU_BAR
    QApplication::setStyle(new StartUpStyle);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    window.menuBar()->addAction(QStringLiteral("E&xit"));
#endif
    window.resize(496, 447);
    new FirstPaintProbe(window);
    window.show();
    return app.exec();
}
