#pragma once

#include <QStringList>

// The pictures imported last, newest first, remembered per user across
// runs (QSettings). Files that have gone since are left out.
class RecentPictures
{
public:
    static constexpr int Kept = 8;

    QStringList list() const;
    // To the front; once only, however often it was imported.
    void add(const QString &fileName);
};
