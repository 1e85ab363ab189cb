#include "app/window_frames.h"

#include "app/app_title.h"
#include "app/control_factory.h"
#include "app/tool_tips.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>

namespace {
constexpr int ClientWidth = 496;  // 7440 twips
constexpr int ClientHeight = 447; // 6705 twips

// The controls in reading order, by objectName.
constexpr const char *ReadingOrder[] = {"Option1_0", "Option1_1", "List1",     "cmdcomm",   "btnsize",   "Picture1",
                                        "Combo1",    "Command7",  "Command6",  "Command8",  "Command9",  "Command10",
                                        "Command5",  "Check1",    "eeprom",    "Command4",  "Text1",     "Text2",
                                        "txthead",   "txtfrmt",   "txtfoot",   "txtDelim",  "Text4",     "Option2_0",
                                        "Option2_1", "List2",     "List3",     "xmitdelay", "cmdApply",  "Text3",
                                        "Command11", "Command12", "Command13", "Command14", "Command15", "Command16"};
} // namespace

WindowFrames buildWindowFrames(QMainWindow &window)
{
    window.setWindowTitle(mainWindowTitle);
    window.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window.setFont(sansFont(8.25));

    WindowFrames frames{};
    frames.client = named(new QWidget(&window), "client");
    frames.client->setFixedSize(ClientWidth, ClientHeight);
    setColours(frames.client, Colour::Grey, Colour::Black);
    window.setCentralWidget(frames.client);

    frames.portStrip = container(frames.client, "Frame3", {0, 0, ClientWidth, 26}, Colour::Grey);
    frames.graphics = group(frames.client, "Frame6", QStringLiteral("Graphics"), {4, 28, 216, 152});
    frames.eeprom = group(frames.client, "Frame10", QStringLiteral("I2C Eeprom"), {224, 28, 94, 104});
    // Band of three groups: Output Format, Byte Matrix, I/O.
    auto *settingsBand = container(frames.client, "Frame2", {0, 182, ClientWidth, 110}, Colour::Grey);
    frames.outputFormat = group(settingsBand, "Frame4", QStringLiteral("Output Format"), {4, 0, 236, 108});
    frames.byteMatrix = group(settingsBand, "Frame1", QStringLiteral("Byte Matrix"), {244, 0, 88, 108});
    frames.io = group(settingsBand, "Frame5", QStringLiteral("I/O"), {336, 0, 156, 108});
    // Bottom band: the output window's commands and the direct load.
    auto *bottomBand = container(frames.client, "Frame9", {0, 396, ClientWidth, 51}, Colour::Grey);
    frames.outputCommands = group(bottomBand, "Frame8", QStringLiteral("Text Output Window"), {4, 0, 240, 48});
    frames.directLoad = group(bottomBand, "Frame7", QStringLiteral("Directly load LCD"), {248, 0, 244, 48});
    return frames;
}

void finishWindow(QMainWindow &window)
{
    // In the multi-line boxes Tab moves on too, so no tab character ever
    // lands in a text.
    for (auto *box : window.findChildren<QPlainTextEdit *>())
        box->setTabChangesFocus(true);
    // Each control by its name, from one pass over them all.
    QHash<QString, QWidget *> byName;
    for (QWidget *control : window.findChildren<QWidget *>())
        if (!byName.contains(control->objectName()))
            byName.insert(control->objectName(), control);
    QWidget *previous = nullptr;
    for (const char *name : ReadingOrder) {
        QWidget *next = byName.value(QLatin1String(name));
        Q_ASSERT(next);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }

    setToolTips(window);

    // Fixed size: the window cannot be resized or maximised.
    window.adjustSize();
    window.setFixedSize(window.sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
