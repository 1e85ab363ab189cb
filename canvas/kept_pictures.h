#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

// Pictures kept when the program ends with a drawing that was never saved:
// BMP files in a folder of their own, named by the moment they were kept.
// Only the newest few stay.
class KeptPictures
{
public:
    static constexpr int Kept = 5;

    struct Entry
    {
        QString path;
        QDateTime when;
    };

    explicit KeptPictures(QString folder) : folder_(std::move(folder)) {}

    // Writes the picture, then removes the oldest beyond Kept. Returns why
    // it could not be kept, or an empty text.
    QString keep(const QImage &picture, const QDateTime &when = QDateTime::currentDateTime()) const;
    // The kept pictures, newest first.
    QList<Entry> list() const;

private:
    QString folder_;
};
