// Renders the main window offscreen into a PNG for the README:
//   QT_QPA_PLATFORM=offscreen build/tools/screenshot/voxcel-screenshot docs/main-window.png
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "serial/qt_serial_port.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QtPrompts prompts;
    QtSerialPort port;
    MainWindow window(prompts, port);
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
