#include "app/font_warm_up.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/quit_signals.h"
#include "app/start_up_style.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "text/file_save.h"
#include "text/standard_output.h"

#include <QApplication>

#ifdef VOXCEL_FIRST_PAINT_PROBE
#include "first_paint_probe.h" // the start-up benchmark's build of the program
#endif

int main(int argc, char *argv[])
{
    guardStandardOutput("voxcel", 1);
    const FontWarmUp fonts;
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setStyle(new StartUpStyle);
    QApplication::setApplicationName(QStringLiteral("Voxcel"));
    QApplication::setApplicationVersion(QStringLiteral("0.8.0"));

    QtPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    const QuitSignals quitSignals;
    window.endOnQuitSignals(quitSignals);
    prompts.setParent(&window);
#ifdef VOXCEL_FIRST_PAINT_PROBE
    new FirstPaintProbe(window);
#endif
    window.show();
    return app.exec();
}
