#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

// Pictures kept when the program ends with a drawing that was never saved:
// BMP files in a folder of their own. Each is numbered one past every kept
// picture before it, and the number alone orders them, so no clock (set
// back, another time zone, the hour repeated when daylight saving ends,
// files from another machine) can make a new picture look old. The UTC
// time in the name is only shown. Only the newest few stay.
class KeptPictures
{
public:
    static constexpr int Kept = 5;
    // A 128 x 64 picture at twice its size, as Recover lists it.
    static constexpr QSize ThumbnailSize{256, 128};
    using Clock = std::function<QDateTime()>;

    struct Entry
    {
        QString path;
        QDateTime when;
        qint64 number = 0; // 0: named by local time, by an earlier version
    };
    struct Read
    {
        std::optional<QImage> picture;
        QString failure; // why there is none
    };

    explicit KeptPictures(QString folder, Clock clock = &QDateTime::currentDateTimeUtc);

    // Writes the picture under a new name, then removes the oldest beyond
    // Kept, never the one just written. Returns why it could not be kept,
    // or an empty text; the reason is also noted for the next start.
    QString keep(const QImage &picture) const;
    // The kept pictures, the last written first.
    QList<Entry> list() const;
    // A kept picture, or why it cannot be read.
    static Read read(const QString &path);
    // The picture small: whole dots, fitted into ThumbnailSize.
    static QImage thumbnail(const QImage &picture);
    // Why the picture could not be kept at the last end, once: the note
    // goes as it is taken. Empty when there is none.
    QString takeFailureNote() const;

private:
    QString write(const QByteArray &bytes, qint64 number, QString *path) const;
    QString failureNotePath() const { return folder_ + QStringLiteral(".not-kept"); }

    QString folder_;
    Clock clock_;
};
