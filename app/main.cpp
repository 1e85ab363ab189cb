#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "serial/port_session.h"
#include "serial/qt_serial_port.h"
#include "text/file_save.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voxcel"));
    QApplication::setApplicationVersion(QStringLiteral("0.8.0"));

    QtPrompts prompts;
    PortSession session([] { return std::make_unique<QtSerialPort>(); });
    MainWindow window(prompts, session);
    prompts.setParent(&window);
    window.show();
    return app.exec();
}
