// The main window's first frame reads no picture file: reading one makes Qt
// load every image-format plugin it has, which the first paint must not
// wait for.
#include "app/main_window.h"
#include "app/start_up_style.h"
#include "serial/port_session.h"
#include "support/fake_port.h"
#include "support/scripted_prompts.h"
#include "support/test_main.h"

#include <QApplication>
#include <QFile>
#include <QtTest>

class TestFirstFrame : public QObject
{
    Q_OBJECT
private slots:
    void loadsNoImagePlugin();
};

void TestFirstFrame::loadsNoImagePlugin()
{
    QApplication::setStyle(new StartUpStyle); // as the program starts
    ScriptedPrompts prompts;
    PortSession session([] { return std::make_unique<FakePort>(); });
    MainWindow window(prompts, session);
    window.grab(); // every control painted, as in the first frame

    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY2(!maps.readAll().contains("/imageformats/"), "the first frame loaded the image-format plugins");
}

VOXCEL_TEST_MAIN(TestFirstFrame)
#include "test_first_frame.moc"
