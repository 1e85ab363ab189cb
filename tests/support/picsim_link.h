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

// Fails unless ok, printing what picsim said whole but each pause's silence:
// a QVERIFY2 message is cut at 1024 characters, before the failing line.
#define VERIFY_PICSIM(ok, said)                                                                                        \
    do {                                                                                                               \
        if (!(ok)) {                                                                                                   \
            qWarning().noquote() << QString(said)                                                                      \
                                        .split(QLatin1Char('\n'))                                                      \
                                        .filter(QRegularExpression("^(?!.* of silence before)"))                       \
                                        .join(QLatin1Char('\n'));                                                      \
            QFAIL("voxcel-picsim: " #ok);                                                                              \
        }                                                                                                              \
    } while (false)

// The text of a file, or nothing.
inline QString fileText(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
