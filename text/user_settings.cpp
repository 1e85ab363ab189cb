#include "text/user_settings.h"

#include "text/file_kind.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <atomic>
#include <cstdio>

QString userSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           QCoreApplication::applicationName() + QStringLiteral(".conf");
}

std::unique_ptr<QSettings> userSettings()
{
    const QString file = userSettingsFile();
    // QSettings reads its file as it is made, and locks it to write.
    for (const QString &path : {file, file + QStringLiteral(".lock")}) {
        if (QFileInfo::exists(path) && !isRegularFile(path)) {
            static std::atomic<bool> told{false};
            if (!told.exchange(true))
                std::fprintf(stderr, "%s: %s is not a regular file; the settings are neither read nor kept\n",
                             qPrintable(QCoreApplication::applicationName()), qPrintable(path));
            return nullptr;
        }
    }
    return std::make_unique<QSettings>(QCoreApplication::applicationName());
}
