#pragma once

#include "app/main_window.h"
#include "canvas/canvas_view.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

// The real main window for one test function, shown offscreen, with a
// fresh folder, scripted dialogs and a port in memory. Controls are found
// by objectName, as a user automating the program would.
class WindowFixture
{
protected:
    // Keys go to the focused control of the active window only.
    enum class Focus { Any, Active };

    void openWindow(Focus focus = Focus::Any)
    {
        dir = new QTemporaryDir;
        QVERIFY(dir->isValid());
        prompts = new ScriptedPrompts;
        port = new FakePort;
        window = new MainWindow(*prompts, *port);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        if (focus == Focus::Active) {
            QApplication::setActiveWindow(window);
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
    }

    void closeWindow()
    {
        delete window;
        delete port;
        delete prompts;
        delete dir;
    }

    template <typename T>
    T *find(const char *name) const
    {
        return control<T>(window, name);
    }
    void click(const char *name) { clickButton(window, name); }
    QString outputText() const { return find<QPlainTextEdit>("Text3")->toPlainText(); }
    QString path(const QString &name) const { return dir->filePath(name); }
    // A point of the image box for canvas pixel (x, y) in 128x64 mode.
    static QPoint at(int x, int y) { return {CanvasView::Border + x, CanvasView::Border + y}; }

    QTemporaryDir *dir = nullptr;
    ScriptedPrompts *prompts = nullptr;
    FakePort *port = nullptr;
    MainWindow *window = nullptr;
};
