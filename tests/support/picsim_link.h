#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>

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
