#pragma once

#include "app/main_window.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/scripted_prompts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

// The real main window for the tests of its serial side, shown offscreen,
// with scripted dialogs, on the recording fake port or on any port layer a
// test gives it. Controls are found by objectName.
class SerialWindowFixture
{
protected:
    void openWindow()
    {
        prompts = new ScriptedPrompts;
        fake = new FakePort;
        makeWindow(*fake);
    }

    void closeWindow()
    {
        delete window;
        window = nullptr;
        delete fake;
        delete prompts;
    }

    // A fresh window on the port, in place of the one before.
    void makeWindow(PortLayer &port)
    {
        delete window;
        window = new MainWindow(*prompts, port);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

    template <typename T> T *find(const char *name) const { return control<T>(window, name); }
    void click(const char *name) { clickButton(window, name); }
    QString text(const char *name) const { return find<QPlainTextEdit>(name)->toPlainText(); }

    void convertAndReformatBlankPicture()
    {
        find<QLineEdit>("txtfrmt")->clear();
        find<QLineEdit>("txtDelim")->clear();
        click("Command9");
        click("Command15");
    }

    ScriptedPrompts *prompts = nullptr;
    FakePort *fake = nullptr;
    MainWindow *window = nullptr;
};
