#pragma once

#include <QByteArray>
#include <QString>

// The line listened on: a serial device, or a pseudo-terminal's master end.
struct Line
{
    int fd = -1;
    int keptSlave = -1; // held open so the sender may close and reopen freely
    QString name;
};

// Opens a pseudo-terminal in raw mode into line; on failure says why in
// *error.
bool openPseudoTerminal(Line &line, QString *error);

// A symbolic link to the pseudo-terminal, so a sender keeps one device name
// from one run to the next. A link left at the path (by a run that could
// not clean up) is replaced; anything else there is left alone. Removed on
// exit, unless another run has put its own link there meanwhile.
class DeviceLink
{
public:
    DeviceLink() = default;
    DeviceLink(const DeviceLink &) = delete;
    DeviceLink &operator=(const DeviceLink &) = delete;
    ~DeviceLink();

    bool create(const QString &path, const QString &target, QString *error);

private:
    bool pointsTo(const QByteArray &target) const;

    QByteArray path_;
    QByteArray target_;
};
