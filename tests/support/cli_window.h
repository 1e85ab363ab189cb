#pragma once

#include "serial/pic_settings.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>

#include <algorithm>

// voxcel-convert run as a program beside the real main window, for the
// tests that compare the two. The build names the program in
// VOXCEL_CONVERT_BIN.

struct CliResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline CliResult runCli(const QStringList &arguments, const QString &workingDir, const QString &stderrFile = {})
{
    QProcess process;
    process.setProgram(QStringLiteral(VOXCEL_CONVERT_BIN));
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDir);
    if (!stderrFile.isEmpty())
        process.setStandardErrorFile(stderrFile, QIODevice::Append);
    process.start();
    process.waitForFinished(-1);
    CliResult result;
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// A picture with a little of everything: an irregular pattern, pixels that
// are nearly black (clear), and a part beyond the canvas that is cut off.
inline QImage testPicture()
{
    QImage picture(140, 70, QImage::Format_RGB32);
    picture.fill(Qt::white);
    quint32 seed = 12345;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            seed = seed * 1103515245u + 12345u;
            const quint32 roll = (seed >> 16) % 8;
            if (roll < 3)
                picture.setPixel(x, y, qRgb(0, 0, 0));
            else if (roll == 3)
                picture.setPixel(x, y, qRgb(1, 0, 0));
        }
    }
    return picture;
}

// The window of WindowFixture with testPicture() as logo.bmp in its folder.
class CliWindowFixture : protected WindowFixture
{
protected:
    void openWindowWithPicture()
    {
        openWindow();
        QVERIFY(testPicture().save(path("logo.bmp"), "BMP"));
    }

    void loadPictureIntoWindow()
    {
        prompts->answers.enqueue(path("logo.bmp"));
        click(Control::LoadPicture);
        QVERIFY(prompts->messages.isEmpty());
    }

    // Reformat For Output in the window with empty Format and Delimiter.
    QString windowTransmission(int buffer, const QString &wait, int picDelay, const QString &eepromAddress)
    {
        loadPictureIntoWindow();
        find<QLineEdit>(Control::Format)->clear();
        find<QLineEdit>(Control::Delimiter)->clear();
        const auto row = [](const auto &choices, int value) {
            return static_cast<int>(std::find(choices.begin(), choices.end(), value) - choices.begin());
        };
        find<QListWidget>(Control::PicBuffer)->setCurrentRow(row(picBufferChoices, buffer));
        find<QListWidget>(Control::PicDelay)->setCurrentRow(row(picDelayChoices, picDelay));
        find<QLineEdit>(Control::WaitChars)->setText(wait);
        if (!eepromAddress.isEmpty()) {
            find<QCheckBox>(Control::EepromTarget)->click();
            find<QLineEdit>(Control::StartAddress)->setText(eepromAddress);
        }
        click(Control::Convert);
        click(Control::Reformat);
        return outputText();
    }
};
