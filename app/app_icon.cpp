#include "app/app_icon.h"

#include <QString>

// The images are compiled into the static library, whose resource initialiser
// a linker may drop; register them by hand, once.
static bool registerIconResources()
{
    Q_INIT_RESOURCE(resources);
    return true;
}

QIcon applicationIcon()
{
    static const bool registered = registerIconResources();
    Q_UNUSED(registered);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/voxcel-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/voxcel-256.png"), QSize(256, 256));
    return icon;
}
