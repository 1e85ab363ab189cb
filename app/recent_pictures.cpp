#include "app/recent_pictures.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString Key = QStringLiteral("import/recentPictures");

// One file for the program, named after it: ~/.config/Voxcel.conf.
QSettings userSettings()
{
    return QSettings(QCoreApplication::applicationName());
}
} // namespace

QStringList RecentPictures::list() const
{
    QStringList present;
    for (const QString &name : userSettings().value(Key).toStringList())
        if (QFileInfo(name).isFile())
            present << name;
    return present;
}

void RecentPictures::add(const QString &fileName)
{
    QSettings settings = userSettings();
    QStringList names = settings.value(Key).toStringList();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    names.removeAll(path);
    names.prepend(path);
    settings.setValue(Key, names.mid(0, Kept));
}
