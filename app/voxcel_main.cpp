#include "app/voxcel_main.h"

#include "app/font_warm_up.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/quit_signals.h"
#include "app/start_up_style.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "text/file_save.h"
#include "text/standard_output.h"
#include "voxcel_version.h"

#include <QApplication>

int voxcelMain(int argc, char *argv[], const std::function<void(QWidget &window)> &beforeShow)
{
    guardStandardOutput("voxcel", 1);
    const FontWarmUp fonts;
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setStyle(new StartUpStyle);
    QApplication::setApplicationName(QStringLiteral("Voxcel"));
    QApplication::setApplicationVersion(QStringLiteral(VOXCEL_VERSION));

    QtPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    const QuitSignals quitSignals;
    window.endOnQuitSignals(quitSignals);
    prompts.setParent(&window);
    if (beforeShow)
        beforeShow(window);
    window.show();
    return app.exec();
}
