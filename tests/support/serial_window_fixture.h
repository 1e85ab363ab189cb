#pragma once

#include "app/main_window.h"
#include "serial/port_session.h"
#include "support/controls.h"
#include "support/fake_port.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

// The real main window for the tests of its serial side, shown offscreen
// and active, with scripted dialogs, on the recording fake port or on any
// port layer a test makes. Controls are found by objectName.
class SerialWindowFixture
{
protected:
    void openWindow()
    {
        prompts = new ScriptedPrompts;
        fake = new FakePort;
        makeWindow([fake = fake] { return std::unique_ptr<PortLayer>(fake); });
    }

    void closeWindow()
    {
        delete window;
        window = nullptr;
        delete session;
        session = nullptr;
        delete prompts;
    }

    // A fresh window on a session over the port the factory makes, in
    // place of the one before.
    void makeWindow(PortSession::PortFactory makePort)
    {
        delete window;
        delete session;
        session = new PortSession(std::move(makePort));
        window = new MainWindow(*prompts, *session);
        window->show();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
    }

    template <typename T> T *find(const char *name) const { return control<T>(window, name); }
    void click(const char *name) { clickButton(window, name); }
    QString text(const char *name) const { return find<QPlainTextEdit>(name)->toPlainText(); }
    template <typename T> T *find(Control which) const { return control<T>(window, which); }
    void click(Control which) { clickButton(window, which); }
    QString text(Control which) const { return find<QPlainTextEdit>(which)->toPlainText(); }
    QString indicator() const { return find<QLabel>(Control::PortIndicator)->text(); }
    // Opens the port and waits until the window shows it open.
    void openPort()
    {
        click(Control::PortButton);
        QTRY_COMPARE(indicator(), QStringLiteral("ON"));
    }

    void convertAndReformatBlankPicture()
    {
        find<QLineEdit>(Control::Format)->clear();
        find<QLineEdit>(Control::Delimiter)->clear();
        click(Control::Convert);
        click(Control::Reformat);
    }

    ScriptedPrompts *prompts = nullptr;
    FakePort *fake = nullptr;
    PortSession *session = nullptr;
    MainWindow *window = nullptr;
};
