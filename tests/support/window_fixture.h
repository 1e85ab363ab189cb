#pragma once

#include "app/canvas_view.h"
#include "app/main_window.h"
#include "canvas/canvas.h"
#include "serial/port_session.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

// The real main window for one test function, shown offscreen and active,
// with a fresh folder, scripted dialogs and a port in memory behind the
// window's serial session. Controls are found by objectName, as a user
// automating the program would.
class WindowFixture
{
protected:
    void openWindow()
    {
        dir = new QTemporaryDir;
        QVERIFY(dir->isValid());
        // What the program keeps per user goes to the test's folders: kept
        // pictures to this one's, settings to one of the whole test program
        // (the settings' path is read only once).
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir->filePath(QStringLiteral("data"))));
        prompts = new ScriptedPrompts;
        port = new FakePort;
        session = new PortSession([fake = port] { return std::unique_ptr<PortLayer>(fake); });
        window = new MainWindow(*prompts, *session);
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    void closeWindow()
    {
        delete window;
        delete session; // and the port with it
        delete prompts;
        delete dir;
    }

    template <typename T> T *find(const char *name) const { return control<T>(window, name); }
    void click(const char *name) { clickButton(window, name); }
    template <typename T> T *find(Control which) const { return control<T>(window, which); }
    void click(Control which) { clickButton(window, which); }
    QString outputText() const { return find<QPlainTextEdit>(Control::OutputText)->toPlainText(); }
    QString path(const QString &name) const { return dir->filePath(name); }
    // Opens the port and waits until the window shows it open.
    void openPort()
    {
        click(Control::PortButton);
        QTRY_COMPARE(find<QLabel>(Control::PortIndicator)->text(), QStringLiteral("ON"));
    }
    // A point of the image box for canvas pixel (x, y) in 128x64 mode.
    static QPoint at(int x, int y) { return {CanvasView::Border + x, CanvasView::Border + y}; }

    QTemporaryDir *dir = nullptr;
    ScriptedPrompts *prompts = nullptr;
    FakePort *port = nullptr;
    PortSession *session = nullptr;
    MainWindow *window = nullptr;
};
