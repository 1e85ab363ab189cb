#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QtTest>

// voxcel-picsim as the PIC at the end of the window's Com1: it makes its
// pseudo-terminal behind the link, names it, and VOXCEL_COM1 points at the
// link. The build names the program in VOXCEL_PICSIM_PROGRAM.
inline bool startPicsimBehind(QProcess &picsim, const QString &link, QStringList arguments)
{
    arguments << QStringLiteral("--link") << link;
    picsim.start(QStringLiteral(VOXCEL_PICSIM_PROGRAM), arguments);
    if (!picsim.waitForReadyRead(10000))
        return false;
    picsim.readLine(); // the pseudo-terminal's own name
    qputenv("VOXCEL_COM1", QFile::encodeName(link));
    return true;
}

// What voxcel-picsim said (its output, and its log file if given), but the
// silence of each single pause: the results, problems, how the run ended.
inline QString picsimFindings(const QString &output, const QString &logFile = {})
{
    QFile log(logFile);
    const bool logged = !logFile.isEmpty() && log.open(QIODevice::ReadOnly);
    const QString text = output + (logged ? QString::fromUtf8(log.readAll()) : QString());
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeIf([](const QString &line) { return line.endsWith(QLatin1String(" of silence before the wait text")); });
    return lines.join(QLatin1Char('\n'));
}

// Fails unless ok, printing picsim's findings whole: a QVERIFY2 message is
// cut at 1024 characters, which a long log passes before the failing line.
#define VERIFY_PICSIM(ok, findings)                                                                                    \
    do {                                                                                                               \
        if (!(ok)) {                                                                                                   \
            qWarning().noquote() << (findings);                                                                        \
            QFAIL("voxcel-picsim: " #ok);                                                                              \
        }                                                                                                              \
    } while (false)
