#include "app/recent_pictures.h"

#include "text/user_settings.h"

#include <QFileInfo>

namespace {
const QString Key = QStringLiteral("import/recentPictures");
} // namespace

QStringList RecentPictures::list() const
{
    const std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return {};
    QStringList present;
    for (const QString &name : settings->value(Key).toStringList())
        if (QFileInfo(name).isFile())
            present << name;
    return present;
}

void RecentPictures::add(const QString &fileName)
{
    const std::unique_ptr<QSettings> settings = userSettings();
    if (!settings)
        return;
    QStringList names = settings->value(Key).toStringList();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    names.removeAll(path);
    names.prepend(path);
    settings->setValue(Key, names.mid(0, Kept));
}
