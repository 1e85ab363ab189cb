#include "app/window_frames.h"

#include "app/app_title.h"
#include "app/control_factory.h"
#include "app/window_controls.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>

WindowFrames buildWindowFrames(QMainWindow &window)
{
    window.setWindowTitle(mainWindowTitle);
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFont(sansFont(8.25));

    WindowFrames frames{};
    frames.client = named(new QWidget(&window), controlName(Control::Client));
    frames.client->setFixedSize(entry(Control::Client).geometry.size());
    setColours(frames.client, Colour::Grey, Colour::Black);
    window.setCentralWidget(frames.client);

    frames.portStrip = container(frames.client, Control::PortStrip, Colour::Grey);
    frames.graphics = group(frames.client, Control::Graphics, QStringLiteral("Graphics"));
    frames.eeprom = group(frames.client, Control::Eeprom, QStringLiteral("I2C Eeprom"));
    // Band of three groups: Output Format, Byte Matrix, I/O.
    auto *settingsBand = container(frames.client, Control::SettingsBand, Colour::Grey);
    frames.outputFormat = group(settingsBand, Control::OutputFormat, QStringLiteral("Output Format"));
    frames.byteMatrix = group(settingsBand, Control::ByteMatrix, QStringLiteral("Byte Matrix"));
    frames.io = group(settingsBand, Control::Io, QStringLiteral("I/O"));
    // Bottom band: the output window's commands and the direct load.
    auto *bottomBand = container(frames.client, Control::BottomBand, Colour::Grey);
    frames.outputCommands = group(bottomBand, Control::OutputCommands, QStringLiteral("Text Output Window"));
    frames.directLoad = group(bottomBand, Control::DirectLoad, QStringLiteral("Directly load LCD"));
    return frames;
}

void finishWindow(QMainWindow &window)
{
    // In the multi-line boxes Tab moves on too, so no tab character ever
    // lands in a text.
    for (auto *box : window.findChildren<QPlainTextEdit *>())
        box->setTabChangesFocus(true);
    const WindowControls controls(window);
    QWidget *previous = nullptr;
    for (Control control : tabOrder()) {
        QWidget *next = controls.widget(control);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
    for (const ControlEntry &e : allControls())
        if (e.toolTip)
            controls.widget(e.control)->setToolTip(QString::fromUtf8(e.toolTip));

    // Fixed size: the window cannot be resized or maximised.
    window.adjustSize();
    window.setFixedSize(window.sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
