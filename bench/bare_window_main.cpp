// The yardstick of the start-up benchmark: a Qt program that shows an empty
// QMainWindow, built as voxcel is.
#include "first_paint_probe.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voxcel"));
    QMainWindow window;
    window.resize(496, 447);
    new FirstPaintProbe(window);
    window.show();
    return app.exec();
}
