// Renders the windows offscreen into PNGs for the README:
//   QT_QPA_PLATFORM=offscreen voxcel-screenshot docs/main-window.png [docs/about.png docs/help.png]
#include "app/about_box.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

namespace {
bool save(QWidget &widget, const char *fileName)
{
    QApplication::processEvents();
    if (widget.grab().save(QString::fromLocal8Bit(fileName)))
        return true;
    std::fprintf(stderr, "cannot write %s\n", fileName);
    return false;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s MAIN.png [ABOUT.png HELP.png]\n", argv[0]);
        return 2;
    }
    QtPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    window.show();
    if (!save(window, argv[1]))
        return 1;
    if (argc == 4) {
        if (!save(*AboutBox::showSingle(&window, prompts), argv[2]))
            return 1;
        if (!save(*HelpWindow::showSingle(&window), argv[3]))
            return 1;
    }
    return 0;
}
